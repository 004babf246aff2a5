#include "VornStartup.h"

#include "VornApp.h"

#include <QDebug>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>

#include <csignal>
#include <opencv2/core/version.hpp>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswscale/swscale.h>
}

namespace {

void segfaultHandler(int sig)
{
    qCritical("segfault %d", sig);
    std::signal(sig, SIG_DFL);
}

QString ffmpegIdent(const char* prefix, unsigned version)
{
    return QStringLiteral("%1%2.%3.%4")
        .arg(QLatin1String(prefix))
        .arg(AV_VERSION_MAJOR(version))
        .arg(AV_VERSION_MINOR(version))
        .arg(AV_VERSION_MICRO(version));
}

} // namespace

// Generated from the classes' QML_ELEMENT declarations.
void qml_register_types_Vorn();

namespace VornStartup {

void installSegfaultHandler()
{
    std::signal(SIGSEGV, segfaultHandler);
}

void initFonts(QGuiApplication& app)
{
    qDebug() << Q_FUNC_INFO;
    const int interId = QFontDatabase::addApplicationFont(QStringLiteral(":/Inter-Regular.ttf"));
    if (interId < 0)
        qWarning() << "error adding Inter-Regular.ttf from resource";
    const QStringList families = QFontDatabase::applicationFontFamilies(interId);
    if (!families.isEmpty()) {
        app.setFont(QFont(families.first(), 9));
    } else {
        const QFont font = QFontDatabase::font(QStringLiteral("Inter"), QString(), 9);
        app.setFont(font);
        if (font.family() != QLatin1String("Inter"))
            qWarning() << "Inter Regular font not installed. Using" << font.family();
    }
    if (QFontDatabase::addApplicationFont(QStringLiteral(":/remixicon.ttf")) < 0) {
        qWarning() << "error adding remixicon.ttf from resource";
        if (!QFontDatabase::families().contains(QStringLiteral("remixicon")))
            qCritical() << "remixicon font not installed";
    }
}

void logLibraryVersions()
{
    qDebug() << "FFmpeg:";
    qDebug().noquote() << "  " + ffmpegIdent("Lavu", avutil_version());
    qDebug().noquote() << "  " + ffmpegIdent("Lavc", avcodec_version());
    qDebug().noquote() << "  " + ffmpegIdent("Lavf", avformat_version());
    qDebug().noquote() << "  " + ffmpegIdent("SwS", swscale_version());
    qDebug().noquote() << "OpenCV: " + QStringLiteral(CV_VERSION);
}

void registerQmlTypes()
{
    // The module's registration function lives in the static library beside
    // the classes; naming it links it in. It registers the types when QML
    // first imports Vorn.
    volatile auto registration = &qml_register_types_Vorn;
    Q_UNUSED(registration)
}

void prepareEngine(QQmlApplicationEngine& engine)
{
    VornApp* app = VornApp::instance();
    qDebug() << "set_networkAccessManager";
    app->set_networkAccessManager(engine.networkAccessManager());
    app->updateCheck(false);
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/QUELM.png")));
    qDebug() << "register types";
    registerQmlTypes();
    qDebug() << "setContextProperty";
    engine.rootContext()->setContextProperty(QStringLiteral("vornApp"), app);
}

} // namespace VornStartup
