// vorn-screenshots OUT_DIR SAVE_DIR: starts the program's window as main()
// does, drives it through the states of the README's gallery and writes their
// pictures to OUT_DIR; saves go to SAVE_DIR. scripts/screenshots runs it
// under Xvfb in the network sandbox, beside simulated cameras.

#include "ScreenshotDriver.h"
#include "VornApp.h"
#include "VornStartup.h"

#include <QDir>
#include <QQmlApplicationEngine>
#include <QThread>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT_DIR SAVE_DIR\n", argv[0]);
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString saveDir = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    // The program opens its first argument as a VORN file: it gets none.
    int appArgc = 1;

    VornStartup::installSegfaultHandler();
    VornApp app(appArgc, argv);
    // A window the size of a README picture, where the screen's corner is.
    app.setSetting(QStringLiteral("window/maximized"), false);
    app.setSetting(QStringLiteral("window/x"), 0);
    app.setSetting(QStringLiteral("window/y"), 0);
    app.setSetting(QStringLiteral("window/width"), 1280);
    app.setSetting(QStringLiteral("window/height"), 800);

    QQmlApplicationEngine engine;
    QThread::currentThread()->setObjectName(QStringLiteral("Main Thread"));
    VornStartup::initFonts(app);
    VornStartup::logLibraryVersions();
    VornStartup::prepareEngine(engine);
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (engine.rootObjects().isEmpty()) {
        std::fprintf(stderr, "screenshots: main.qml did not load\n");
        return 1;
    }

    ScreenshotDriver driver(engine, outDir, saveDir);
    int rc = 1;
    QTimer::singleShot(0, &driver, [&] {
        rc = driver.run() ? 0 : 1;
        app.exit(rc);
    });
    app.exec();
    return rc;
}
