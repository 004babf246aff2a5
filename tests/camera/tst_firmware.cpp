// A camera's firmware: uploading a file to the simulator at both firmware
// levels with the status line through a whole installation, failures, and
// the camera's check of the update manifest.
#include "Camera.h"
#include "ManifestServer.h"
#include "SimCameras.h"
#include "UpdateManifest.h"
#include "VornTestMain.h"

#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

class TestFirmware : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    q7sim::ManifestServer m_server;
    SimCameras m_sims;
    QTemporaryDir m_dir;

    QString firmwareFile(int bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("Q7FW-3.5.0.q7fw"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        QByteArray content(bytes, 'F');
        content.replace(0, 4, "Q7FW");
        file.write(content);
        return path;
    }

    static QVariant valueOf(Camera* camera, const char* name)
    {
        auto* value = camera->property(name).value<CameraValue*>();
        return value ? value->value() : QVariant();
    }

    q7sim::SimCamera* startCamera(const QString& address, int64_t uploadBytesPerSecond = 0,
                                  int installMs = 500)
    {
        q7sim::CameraConfig config;
        config.address = address;
        config.fwUploadBytesPerSecond = uploadBytesPerSecond;
        config.fwInstallMs = installMs;
        return m_sims.start(config);
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        QVERIFY(m_dir.isValid());
        QVERIFY(m_server.start(QStringLiteral("127.0.0.9"), 0));
        qputenv(UpdateManifest::AddressEnvironment, m_server.url().toUtf8());
        m_server.setHeld(true); // the checks of new cameras wait until a test wants them
    }

    void uploadAndInstall()
    {
        q7sim::SimCamera* sim = startCamera(QStringLiteral("127.0.0.2"), 4 << 20);
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        QCOMPARE(valueOf(camera, "featureQ7FW").toInt(), 2);
        QStringList lines;
        connect(camera, &Camera::fwUpdateStatusChanged, this, [&] {
            if (lines.isEmpty() || lines.last() != camera->fwUpdateStatus())
                lines << camera->fwUpdateStatus();
        });
        QList<double> progress;
        connect(camera, &Camera::fwUpdateProgressChanged, this,
                [&] { progress << camera->fwUpdateProgress(); });

        // 8 MiB read at 4 MiB/s: the upload is seen in steps.
        camera->fwUpdate(QUrl::fromLocalFile(firmwareFile(8 << 20)).toString());
        QCOMPARE(camera->fwUpdateProgress(), 0.0001); // at once, before any byte
        QCOMPARE(camera->fwUpdateStatus(), QStringLiteral("Uploading Q7FW file...0%"));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return lines.contains("Firmware update installed! Restart camera to "
                                      "complete update.");
            },
            15000));
        QCOMPARE(camera->fwUpdateProgress(), 0.0);
        QVERIFY(!camera->fwFinalizing());
        int uploading = 0;
        for (const QString& line : lines)
            uploading += line.startsWith("Uploading Q7FW file...") && line.endsWith('%');
        QVERIFY2(uploading >= 3, qPrintable(lines.join(" | ")));
        QVERIFY(lines.contains("Installing firmware update...Do NOT power off camera!"));
        QVERIFY(!lines.contains("Update error: upload failed"));
        for (int i = 1; i + 1 < progress.size(); ++i)
            QVERIFY(progress[i] >= progress[i - 1]);

        const q7sim::FirmwareUpload received = sim->firmwareUploads().last();
        QCOMPARE(received.partName, QStringLiteral("q7fw"));
        QCOMPARE(received.fileName, QStringLiteral("Q7FW-3.5.0.q7fw"));
        QCOMPARE(received.content.size(), 8 << 20);
        QVERIFY(received.content.startsWith("Q7FW"));
        const auto requests = SimCameras::requests(sim, "POST", "/q7fw");
        QCOMPARE(requests.last().header("User-Agent"), QByteArray("Vorn 1.0"));
        QVERIFY(requests.last().header("Content-Type").startsWith("multipart/form-data; boundary="));

        // An installation that the camera reports failed.
        sim->setFirmwareOutcome(7);
        lines.clear();
        camera->fwUpdate(firmwareFile(1000));
        QVERIFY(QTest::qWaitFor([&] { return camera->fwUpdateStatus() == "Update error: 7"; }, 10000));
        camera->disconnectCamera();
    }

    void olderFirmwareFinalizes()
    {
        q7sim::SimCamera* sim = startCamera(QStringLiteral("127.0.0.3"));
        QVERIFY(SimCameras::put(QStringLiteral("127.0.0.3"), "/features/q7fw", "1"));
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        auto* timer = camera->findChild<QTimer*>(QStringLiteral("fwFinalizeTimer"));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 90000);
        timer->setInterval(600); // the wait itself is not what is tested

        camera->fwUpdate(firmwareFile(4096));
        QVERIFY(QTest::qWaitFor([&] { return camera->fwUpdateStatus().startsWith("Finalizing"); }, 10000));
        QCOMPARE(camera->fwUpdateStatus(),
                 QStringLiteral("Finalizing firmware update...Do NOT power off camera!"));
        QVERIFY(camera->fwFinalizing());
        QVERIFY(timer->isActive());
        QVERIFY(QTest::qWaitFor([&] { return !camera->fwFinalizing(); }, 3000));
        QCOMPARE(camera->fwUpdateStatus(),
                 QStringLiteral("Firmware update installed! Restart camera to complete update."));
        camera->disconnectCamera();
    }

    // A camera that answers only once it has flashed the file is silent for
    // minutes after the last byte: that wait has a limit of its own, far
    // beyond the upload's (both cut short here).
    void installationOutlastsTheUploadLimit()
    {
        q7sim::SimCamera* sim = startCamera(QStringLiteral("127.0.0.7"), 0, 2500);
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        auto* uploadLimit = camera->findChild<QTimer*>(QStringLiteral("fwUploadIdleTimer"));
        auto* installLimit = camera->findChild<QTimer*>(QStringLiteral("fwInstallTimer"));
        QVERIFY(uploadLimit && installLimit);
        QVERIFY(installLimit->interval() >= 5 * uploadLimit->interval());
        uploadLimit->setInterval(600);
        QStringList lines;
        QObject linesContext; // a failed check returns early: the lines go with it
        connect(camera, &Camera::fwUpdateStatusChanged, &linesContext,
                [&] { lines << camera->fwUpdateStatus(); });
        const auto installed = [&] {
            return camera->fwUpdateStatus().startsWith("Firmware update installed!");
        };

        camera->fwUpdate(firmwareFile(4096));
        QVERIFY(QTest::qWaitFor([&] { return camera->fwInstalling(); }, 5000));
        QCOMPARE(camera->fwUpdateStatus(),
                 QStringLiteral("Installing firmware update...Do NOT power off camera!"));
        QVERIFY(QTest::qWaitFor(installed, 10000));
        QVERIFY(!camera->fwInstalling());
        QVERIFY2(!lines.join('|').contains("Update error"), qPrintable(lines.join(" | ")));

        // Past the installation's own limit the camera is not called failed:
        // it may still be flashing, and its state tells the end.
        installLimit->setInterval(600);
        camera->fwUpdate(firmwareFile(4096));
        QVERIFY(QTest::qWaitFor([&] { return camera->fwUpdateStatus().startsWith("Update error"); }, 5000));
        QCOMPARE(camera->fwUpdateStatus(),
                 QStringLiteral("Update error: the camera did not confirm the installation. Do NOT power off "
                                "camera until it reports the result!"));
        QCOMPARE(camera->fwUpdateProgress(), 0.0);
        QVERIFY(!camera->fwInstalling());
        QVERIFY(QTest::qWaitFor(installed, 10000));
        camera->disconnectCamera();
    }

    void failedUploads()
    {
        q7sim::SimCamera* sim = startCamera(QStringLiteral("127.0.0.4"));
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);

        // A file that cannot be read is not sent at all.
        camera->fwUpdate(QUrl::fromLocalFile(m_dir.filePath("missing.q7fw")).toString());
        QCOMPARE(camera->fwUpdateStatus(), QStringLiteral("Update error: can't open Q7FW file"));
        QCOMPARE(camera->fwUpdateProgress(), 0.0);
        QTest::qWait(200);
        QVERIFY(SimCameras::requests(sim, "POST", "/q7fw").isEmpty());

        // Refused by the camera: an error and progress back at 0.
        sim->addFault(q7sim::Fault::httpError(503, true, QStringLiteral("/q7fw")));
        camera->fwUpdate(firmwareFile(2048));
        QVERIFY(
            QTest::qWaitFor([&] { return camera->fwUpdateStatus() == "Update error: upload failed"; }, 5000));
        QCOMPARE(camera->fwUpdateProgress(), 0.0);
        sim->clearFaults();

        // An empty file goes out and the camera refuses it.
        QFile empty(m_dir.filePath("empty.q7fw"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        camera->fwUpdate(empty.fileName());
        QVERIFY(
            QTest::qWaitFor([&] { return camera->fwUpdateStatus() == "Update error: upload failed"; }, 5000));
        QCOMPARE(sim->firmwareUploads().last().content.size(), 0);

        // A camera that takes no uploads this way refuses too.
        QVERIFY(SimCameras::put(QStringLiteral("127.0.0.4"), "/features/q7fw", "0"));
        QTest::qWait(400);
        camera->fwUpdate(firmwareFile(2048));
        QVERIFY(
            QTest::qWaitFor([&] { return camera->fwUpdateStatus() == "Update error: upload failed"; }, 5000));
        camera->disconnectCamera();
    }

    void firmwareOffers()
    {
        VornApp* app = VornApp::instance();
        q7sim::SimCamera* sim = startCamera(QStringLiteral("127.0.0.5"));
        const QJsonObject newer{
            {"q7fw", QJsonObject{{"7201", QJsonObject{{"version", "3.6.0"}, {"msg", "Notes"}}},
                                 {"3000", QJsonObject{{"version", "4.0.0"}, {"msg", ""}}}}}};
        m_server.setManifest(newer);
        m_server.clearRequests();
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        QSignalSpy offers(camera, &Camera::cameraFWUpdateAvailable);
        QSignalSpy messages(app, &VornApp::showMessage);
        // The first poll started a silent check; held until now.
        QVERIFY(QTest::qWaitFor([&] { return m_server.requests().size() == 1; }, 5000));
        m_server.setHeld(false);
        QVERIFY(offers.wait(5000));
        QCOMPARE(offers.last(), (QVariantList{"3.6.0", "Notes"}));

        auto checkAndWait = [&](bool manual) {
            const int before = m_server.requests().size();
            camera->updateCheck(manual);
            QVERIFY(QTest::qWaitFor([&] { return m_server.requests().size() > before; }, 5000));
            QTest::qWait(150);
        };

        // Skipped: silent checks stay quiet, a manual one offers it.
        camera->setSetting("skip_version", "3.6.0");
        offers.clear();
        checkAndWait(false);
        QCOMPARE(offers.size(), 0);
        checkAndWait(true);
        QCOMPARE(offers.size(), 1);

        // Up to date: a message when asked, and the running version becomes the skipped one.
        m_server.setManifest(QJsonObject{{"q7fw", QJsonObject{{"7201", QJsonObject{{"version", "3.4.2"}}}}}});
        messages.clear();
        checkAndWait(true);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.last().at(0).toString(),
                 QStringLiteral("<b>Firmware Q7FW 3.4.2 is up to date!</b>"));
        QCOMPARE(camera->setting("skip_version").toString(), QStringLiteral("3.4.2"));

        // Model id 0: known by its name, or "0" for a name not in the table.
        QVERIFY(SimCameras::put(QStringLiteral("127.0.0.5"), "/camera/model_id", "0"));
        QVERIFY(SimCameras::put(QStringLiteral("127.0.0.5"), "/camera/model", "\"Q7\u2022Cedar\""));
        QVERIFY(QTest::qWaitFor([&] { return valueOf(camera, "cameraModelId").toInt() == 0; }, 2000));
        QVERIFY(QTest::qWaitFor([&] { return valueOf(camera, "cameraModel").toString() == "Q7\u2022Cedar"; },
                                2000));
        m_server.setManifest(newer);
        offers.clear();
        checkAndWait(true);
        QCOMPARE(offers.size(), 1);
        QCOMPARE(offers.last().at(0).toString(), QStringLiteral("4.0.0"));
        QCOMPARE(UpdateManifest::cameraModelKey(0, QStringLiteral("Q7\u2022Larch")), QStringLiteral("0"));
        QCOMPARE(UpdateManifest::cameraModelKey(0, QStringLiteral("Q7-Cedar")), QStringLiteral("0"));

        // No entry for the model: only a manual check reports it.
        m_server.setManifest(QJsonObject{{"q7fw", QJsonObject{{"7200", QJsonObject{{"version", "1"}}}}}});
        messages.clear();
        offers.clear();
        checkAndWait(false);
        QCOMPARE(messages.size(), 0);
        checkAndWait(true);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.last().at(0).toString(),
                 QStringLiteral("<b>Check for firmware updates failed!</b>"));
        QCOMPARE(offers.size(), 0);
        camera->disconnectCamera();
    }

    void numericFirmwareVersion()
    {
        // Older firmware gives its version as a number: it never compares
        // equal, so a manifest naming that number is still offered.
        q7sim::CameraConfig config;
        config.address = QStringLiteral("127.0.0.6");
        config.oldFirmware = true;
        q7sim::SimCamera* sim = m_sims.start(config);
        m_server.setManifest(QJsonObject{{"q7fw", QJsonObject{{"7201", QJsonObject{{"version", "342"}}}}}});
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        QSignalSpy offers(camera, &Camera::cameraFWUpdateAvailable);
        QVERIFY(valueOf(camera, "fwVer").toString().isEmpty());
        QVERIFY(offers.wait(5000));
        QCOMPARE(offers.last().at(0).toString(), QStringLiteral("342"));
        camera->disconnectCamera();
    }

    void cleanupTestCase()
    {
        m_server.setHeld(false);
        m_server.stop();
    }
};

VORN_TEST_MAIN(TestFirmware)
#include "tst_firmware.moc"
