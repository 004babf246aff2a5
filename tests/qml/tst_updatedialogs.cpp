// The update offers in the window: the start-up check offers a newer VORN,
// "Check for Updates..." asks again, a connected camera offers newer firmware;
// each dialog's buttons decide what the next silent check may offer.

#include "Camera.h"
#include "ManifestServer.h"
#include "ShellHarness.h"
#include "SimCameras.h"
#include "UpdateManifest.h"
#include "VornTestMain.h"

#include <QJsonObject>

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestUpdateDialogs : public ShellHarness
{
    Q_OBJECT

    q7sim::ManifestServer m_server;
    SimCameras m_sims;

    QQuickWindow* waitForDialog(const QString& name)
    {
        QQuickWindow* dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = find<QQuickWindow>(name)) && dialog->isVisible(); },
                             5000))
            return nullptr;
        return dialog;
    }

    static QString labelText(QQuickWindow* dialog, const char* name)
    {
        QObject* label = childOf(dialog, QLatin1String(name));
        return label ? label->property("text").toString()
                     : QStringLiteral("(no %1)").arg(QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(recordingHandler);
        VornStartup::initFonts(*app());
        app()->stopBroadcast();
        QVERIFY(m_server.start(QStringLiteral("127.0.0.9"), 0));
        qputenv(UpdateManifest::AddressEnvironment, m_server.url().toUtf8());
        m_server.setManifest(QJsonObject{
            {"vorn", QJsonObject{{QSysInfo::productType(),
                                  QJsonObject{{"version", "99.0"}, {"msg", "Faster saves."}}}}},
            {"q7fw", QJsonObject{{"7201", QJsonObject{{"version", "3.6.0"}, {"msg", "Steadier sync."}}}}}});
        QVERIFY(load()); // starts the silent check, as the program's start does
    }

    void cleanupTestCase()
    {
        unload();
        m_sims.stopAll();
        m_server.stop();
        const QStringList warnings = takeWarnings() + m_engineWarnings;
        qInstallMessageHandler(previousHandler);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void startUpOffersANewerVorn()
    {
        QQuickWindow* dialog = waitForDialog("vornUpdateDialog");
        QVERIFY(dialog);
        QCOMPARE(labelText(dialog, "headline"), QStringLiteral("VORN 99.0 is now available for download!"));
        QCOMPARE(labelText(dialog, "message"), QStringLiteral("Faster saves."));
        saveScreenshot("vorn-update-dialog.png", dialog);
        clickItem(childOf<QQuickItem>(dialog, "skipButton"));
        QTRY_VERIFY(!find<QQuickWindow>("vornUpdateDialog"));
        QCOMPARE(app()->setting("vorn/skip_version").toString(), QStringLiteral("99.0"));

        // Skipped: the silent check of the next start keeps quiet ...
        const int requests = m_server.requests().size();
        app()->updateCheck(false);
        QTRY_COMPARE(m_server.requests().size(), requests + 1);
        QTest::qWait(300);
        QVERIFY(!find<QQuickWindow>("vornUpdateDialog"));

        // ... but the Help menu's check offers it; closing it without skipping
        // lets the next silent check offer it again.
        QMetaObject::invokeMethod(shellAction("checkForUpdates"), "trigger");
        dialog = waitForDialog("vornUpdateDialog");
        QVERIFY(dialog);
        clickItem(childOf<QQuickItem>(dialog, "remindButton"));
        QTRY_VERIFY(!find<QQuickWindow>("vornUpdateDialog"));
        QCOMPARE(app()->setting("vorn/skip_version").toString(), QString());
        app()->updateCheck(false);
        dialog = waitForDialog("vornUpdateDialog");
        QVERIFY(dialog);
        dialog->close(); // the window's own close button: not skipped either
        QTRY_VERIFY(!find<QQuickWindow>("vornUpdateDialog"));
        QCOMPARE(app()->setting("vorn/skip_version").toString(), QString());
    }

    void cameraOffersNewerFirmware()
    {
        q7sim::CameraConfig config;
        config.name = QStringLiteral("Bench Left");
        q7sim::SimCamera* sim = m_sims.start(config);
        QVERIFY(sim);
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        QQuickWindow* dialog = waitForDialog("cameraFwUpdateDialog");
        QVERIFY(dialog);
        QCOMPARE(labelText(dialog, "headline"),
                 QStringLiteral("Firmware Q7FW 3.6.0 is now available for download!"));
        QCOMPARE(labelText(dialog, "subject"), QStringLiteral("Bench Left"));
        QCOMPARE(labelText(dialog, "message"), QStringLiteral("Steadier sync."));
        saveScreenshot("camera-fw-update-dialog.png", dialog);
        clickItem(childOf<QQuickItem>(dialog, "skipButton"));
        QTRY_VERIFY(!find<QQuickWindow>("cameraFwUpdateDialog"));
        QCOMPARE(camera->setting("skip_version").toString(), QStringLiteral("3.6.0"));

        camera->updateCheck(true);
        dialog = waitForDialog("cameraFwUpdateDialog");
        QVERIFY(dialog);
        clickItem(childOf<QQuickItem>(dialog, "remindButton"));
        QTRY_VERIFY(!find<QQuickWindow>("cameraFwUpdateDialog"));
        QCOMPARE(camera->setting("skip_version").toString(), QString());
        camera->disconnectCamera();
    }
};

VORN_TEST_MAIN(TestUpdateDialogs)
#include "tst_updatedialogs.moc"
