#include "VornStartup.h"

#include "Camera.h"
#include "HistogramControl.h"
#include "ImgFrameControl.h"
#include "ImgSearch.h"
#include "PlaybackScrubberTemplate.h"
#include "QQmlObjectListModelBase.h"
#include "SaveChoices.h"
#include "SaveManager.h"
#include "SsdSaveJob.h"
#include "TriggerSliderTemplate.h"
#include "Util.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornObject.h"

#include <QDebug>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QtQml>

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
    const char* uri = "Vorn";
    qmlRegisterUncreatableType<VornApp>(uri, 1, 0, "VornApp", QString());
    qmlRegisterUncreatableType<VornObject>(uri, 1, 0, "VornObject", QString());
    qmlRegisterUncreatableType<PlaybackScrubberHandleObject>(uri, 1, 0, "PlaybackScrubberHandleObject",
                                                             QString());
    qmlRegisterUncreatableType<PlaybackVornObject>(uri, 1, 0, "PlaybackVornObject", QString());
    qmlRegisterUncreatableType<Camera>(uri, 1, 0, "Camera", QString());
    qmlRegisterUncreatableType<CameraIO>(uri, 1, 0, "CameraIO", QString());
    qmlRegisterUncreatableType<ImgAdjModel>(uri, 1, 0, "ImgAdjModel", QString());
    qmlRegisterUncreatableType<ImgAdjUtil>(uri, 1, 0, "ImgAdjUtil", QString());
    qmlRegisterUncreatableType<ImgFrame>(uri, 1, 0, "ImgFrame", QString());
    qmlRegisterUncreatableType<ImgSearch>(uri, 1, 0, "ImgSearch", QString());
    qmlRegisterUncreatableType<QQmlObjectListModelBase>(uri, 1, 0, "QQmlObjectListModelBase", QString());
    qmlRegisterUncreatableType<SavedTakeModel>(uri, 1, 0, "SavedTakeModel", QString());
    qmlRegisterUncreatableType<SaveBatchObject>(uri, 1, 0, "SaveBatchObject", QString());
    qmlRegisterUncreatableType<SaveJob>(uri, 1, 0, "SaveJob", QString());
    qmlRegisterUncreatableType<SaveJobQueue>(uri, 1, 0, "SaveJobQueue", QString());
    qmlRegisterUncreatableType<SaveManager>(uri, 1, 0, "SaveManager", QString());
    qmlRegisterSingletonType<SaveChoices>(uri, 1, 0, "SaveChoices",
                                          [](QQmlEngine*, QJSEngine*) { return new SaveChoices; });
    qmlRegisterUncreatableType<SsdLsEntry>(uri, 1, 0, "SsdLsEntry", QString());
    qmlRegisterUncreatableType<SsdLsListModel>(uri, 1, 0, "SsdLsListModel", QString());
    qmlRegisterUncreatableType<SsdLsSortProxyModel>(uri, 1, 0, "SsdLsSortProxyModel", QString());
    qmlRegisterUncreatableType<SsdSaveJob>(uri, 1, 0, "SsdSaveJob", QString());
    qmlRegisterUncreatableType<SsdTake>(uri, 1, 0, "SsdTake", QString());
    qmlRegisterUncreatableType<SsdTakeSortProxyModel>(uri, 1, 0, "SsdTakeSortProxyModel", QString());
    qmlRegisterUncreatableType<VornFile>(uri, 1, 0, "VornFile", QString());
    qmlRegisterUncreatableType<VornFrame>(uri, 1, 0, "VornFrame", QString());
    qmlRegisterUncreatableType<Take>(uri, 1, 0, "Take", QString());
    qmlRegisterUncreatableType<TriggerSliderHandleObject>(uri, 1, 0, "TriggerSliderHandleObject", QString());
    qmlRegisterUncreatableMetaObject(Util::staticMetaObject, uri, 1, 0, "Util", QString());
    qmlRegisterType<HistogramControl>(uri, 1, 0, "HistogramControl");
    qmlRegisterType<ImgFrameControl>(uri, 1, 0, "ImgFrameControl");
    qmlRegisterType<PlaybackScrubberTemplate>(uri, 1, 0, "PlaybackScrubberTemplate");
    qmlRegisterType<TriggerSliderTemplate>(uri, 1, 0, "TriggerSliderTemplate");
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
