#include "SingleInstance.h"
#include "VornApp.h"
#include "VornStartup.h"

#include <QQmlApplicationEngine>
#include <QThread>
#include <QUrl>
#include <QWindow>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before anything starts: no window, no discovery, no log.
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("vorn %s\n", VORN_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::printf("Usage: vorn [FILE.vorn]\n\n"
                        "Controls Q7 high-speed cameras and reviews their recordings; opens FILE.vorn\n"
                        "when one is named. A second start hands the file to the running window.\n\n"
                        "  --version   print the version and exit\n"
                        "  -h, --help  print this text and exit\n");
            return 0;
        }
    }
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (SingleInstance::handOver(SingleInstance::filesOf(arguments)))
        return 0;

    VornStartup::installSegfaultHandler();
    VornApp app(argc, argv);
    QQmlApplicationEngine engine;
    QThread::currentThread()->setObjectName(QStringLiteral("Main Thread"));
    VornStartup::initFonts(app);
    VornStartup::logLibraryVersions();
    VornStartup::prepareEngine(engine);

    SingleInstance instance;
    QObject::connect(&instance, &SingleInstance::filesHandedOver, &app, [&app](const QStringList& files) {
        for (const QString& file : files)
            app.openVornFile(QUrl::fromLocalFile(file).toString());
        for (QWindow* window : app.topLevelWindows()) {
            if (window->isVisible() && !window->transientParent()) {
                window->raise();
                window->requestActivate();
            }
        }
    });
    instance.listen();

    const QUrl url(QStringLiteral("qrc:/Vorn/main.qml"));
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, &app,
        [url](QObject* obj, const QUrl& objUrl) {
            if (!obj && url == objUrl) {
                qCritical() << "QQmlApplicationEngine load failed";
                QCoreApplication::exit(-1);
            }
        },
        Qt::QueuedConnection);
    qDebug() << "engine.load()";
    engine.load(url);
    qDebug() << "app.exec()";
    return app.exec();
}
