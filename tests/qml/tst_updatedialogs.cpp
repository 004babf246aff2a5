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

    static QList<QQuickWindow*> visibleWindows(const QString& name)
    {
        QList<QQuickWindow*> found;
        for (QWindow* w : QGuiApplication::topLevelWindows())
            if (auto* qw = qobject_cast<QQuickWindow*>(w); qw && qw->objectName() == name && qw->isVisible())
                found << qw;
        return found;
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
        QCOMPARE(dialog->title(), QStringLiteral("VORN Update"));
        QVERIFY(isCentred(dialog));
        saveScreenshot("vorn-update-dialog.png", dialog);
        clickItem(childOf<QQuickItem>(dialog, "skipButton"));
        QTRY_VERIFY(!find<QQuickWindow>("vornUpdateDialog"));
        QCOMPARE(app()->setting("vorn/skip_version").toString(), QStringLiteral("99.0"));

        // (What a skipped version means to the next check is the update
        // check's test.) The Help menu's check offers it; closing it without
        // skipping lets the next silent check offer it again.
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

    // Two cameras that start together offer their firmware at once: each
    // offer names its camera, and neither hides the other.
    void camerasOfferNewerFirmware()
    {
        QList<Camera*> cameras;
        for (const auto& [name, address] :
             {std::pair{"Bench Left", "127.0.0.2"}, {"Bench Right", "127.0.0.3"}}) {
            q7sim::CameraConfig config;
            config.name = QLatin1String(name);
            config.address = QLatin1String(address);
            cameras << SimCameras::connect(m_sims.start(config));
            QVERIFY(cameras.last());
        }
        QList<QQuickWindow*> offers;
        QTRY_COMPARE_WITH_TIMEOUT((offers = visibleWindows("cameraFwUpdateDialog")).size(), 2, 5000);
        QStringList titles;
        for (QQuickWindow* offer : offers) {
            QCOMPARE(labelText(offer, "headline"),
                     QStringLiteral("Firmware Q7FW 3.6.0 is now available for download!"));
            QCOMPARE(labelText(offer, "message"), QStringLiteral("Steadier sync."));
            QCOMPARE(offer->title(), "Firmware Update: " + labelText(offer, "subject"));
            titles << offer->title();
        }
        titles.sort();
        QCOMPARE(titles, (QStringList{"Firmware Update: Bench Left", "Firmware Update: Bench Right"}));
        QVERIFY(isCentred(offers[0]) || isCentred(offers[1]));
        QVERIFY(offers[0]->position() != offers[1]->position());
        saveScreenshot("camera-fw-update-dialog.png", offers[0]);

        // "Skip Update" on the top one, "Remind Me Later" on the other: only
        // the skipped camera keeps the version from its next silent check.
        QHash<QString, Camera*> byName{{"Bench Left", cameras[0]}, {"Bench Right", cameras[1]}};
        auto* top = qobject_cast<QQuickWindow*>(QGuiApplication::modalWindow());
        QVERIFY(offers.contains(top));
        Camera* skipped = byName.take(labelText(top, "subject"));
        clickItem(childOf<QQuickItem>(top, "skipButton"));
        QTRY_COMPARE((offers = visibleWindows("cameraFwUpdateDialog")).size(), 1);
        clickItem(childOf<QQuickItem>(offers[0], "remindButton"));
        QTRY_VERIFY(visibleWindows("cameraFwUpdateDialog").isEmpty());
        QCOMPARE(skipped->setting("skip_version").toString(), QStringLiteral("3.6.0"));
        QCOMPARE(byName.begin().value()->setting("skip_version").toString(), QString());
        for (Camera* camera : cameras)
            camera->disconnectCamera();
    }
};

VORN_TEST_MAIN(TestUpdateDialogs)
#include "tst_updatedialogs.moc"
