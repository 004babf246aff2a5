#include "VornApp.h"
#include "VornStartup.h"

#include <QQmlApplicationEngine>
#include <QThread>

int main(int argc, char* argv[])
{
    VornStartup::installSegfaultHandler();
    VornApp app(argc, argv);
    QQmlApplicationEngine engine;
    QThread::currentThread()->setObjectName(QStringLiteral("Main Thread"));
    VornStartup::initFonts(app);
    VornStartup::logLibraryVersions();
    VornStartup::prepareEngine(engine);

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
