#include "Camera.h"
#include "CameraRig.h"
#include "SimCameras.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QSignalSpy>

using q7sim::Fault;

// Several simulated cameras worked as one rig: commands to all at once, one
// message for those that did not follow, settings copied between cameras.
class TestRig : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QList<q7sim::SimCamera*> m_sim;
    QList<Camera*> m_cam;
    CameraRig* m_rig = nullptr;

    // Runs a rig command and returns its message; "timeout" when it never ended.
    QString run(void (CameraRig::*command)())
    {
        QSignalSpy finished(m_rig, &CameraRig::finished);
        (m_rig->*command)();
        if (finished.isEmpty() && !finished.wait(10000))
            return QStringLiteral("timeout");
        return finished.first().first().toString();
    }

    bool allInState(int state)
    {
        return QTest::qWaitFor(
            [&] {
                for (Camera* c : std::as_const(m_cam))
                    if (c->acqState()->value().toInt() != state)
                        return false;
                return true;
            },
            5000);
    }

    // The camera's state document, asked for over HTTP.
    QJsonObject acqOf(const q7sim::SimCamera* sim)
    {
        QNetworkReply* reply = m_nam.get(QNetworkRequest(QUrl("http://" + sim->config().address)));
        (void)QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000);
        const QJsonObject acq = QJsonDocument::fromJson(reply->readAll()).object().value("acq").toObject();
        delete reply;
        return acq;
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        VornApp::instance()->stopBroadcast();
        m_rig = VornApp::instance()->rig();
        QCOMPARE(m_rig->cameraCount(), 0);
        for (int i = 0; i < 3; ++i) {
            q7sim::CameraConfig config;
            config.address = QStringLiteral("127.0.0.%1").arg(i + 2);
            config.res = QStringLiteral("128x64");
            m_sim << m_sims.start(config);
            QVERIFY(m_sim.last());
            QVERIFY(SimCameras::put(config.address, "/acq/trig_offset", "5"));
            m_cam << SimCameras::connect(m_sim.last());
            QVERIFY(m_cam.last());
        }
        QTRY_COMPARE(m_rig->cameraCount(), 3);
        QCOMPARE(m_rig->cameras(), m_cam);
        QVERIFY(m_rig->canRecord());
        QVERIFY(!m_rig->canTrigger());
    }

    // All record and all trigger; then, with every camera recording again,
    // one camera does not follow Trigger All and the message names it.
    void commands_data()
    {
        QTest::addColumn<int>("odd");        // the camera that misbehaves, -1 none
        QTest::addColumn<int>("fault");      // Fault::Kind, -1: the camera is in stand-by
        QTest::addColumn<QString>("reason"); // what the message says of it
        QTest::newRow("all follow") << -1 << 0 << QString();
        QTest::newRow("refuses") << 1 << int(Fault::HttpErrorJson)
                                 << "refused: simulated camera fault (HTTP 409)";
        QTest::newRow("does not answer") << 0 << int(Fault::DelayAnswer) << "did not answer within 2 s";
        QTest::newRow("not recording") << 2 << -1 << "not recording (in stand-by)";
    }

    void commands()
    {
        QFETCH(int, odd);
        QFETCH(int, fault);
        QFETCH(QString, reason);
        m_rig->setAnswerTimeoutMs(2000);
        QCOMPARE(run(&CameraRig::recordAll), QString());
        QVERIFY(allInState(Camera::AcqRecording));
        QVERIFY(m_rig->canTrigger() && m_rig->canAbort());
        QTRY_VERIFY(!m_rig->canRecord());
        for (q7sim::SimCamera* sim : std::as_const(m_sim))
            sim->clearRequests();
        if (fault == -1) {
            m_cam[odd]->abort();
            QTRY_COMPARE_WITH_TIMEOUT(m_cam[odd]->acqState()->value().toInt(), int(Camera::AcqStandby), 3000);
        } else if (fault == Fault::HttpErrorJson) {
            Fault refuse = Fault::httpError(409, true, "/trig");
            m_sim[odd]->addFault(refuse);
        } else if (fault == Fault::DelayAnswer) {
            m_sim[odd]->addFault(Fault::delayAnswer(6000, "/trig"));
        }

        QSignalSpy sent(m_rig, &CameraRig::requestsSent);
        QSignalSpy finished(m_rig, &CameraRig::finished);
        QSignalSpy answered(m_rig, &CameraRig::answered);
        m_rig->triggerAll();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().at(1).toInt(), fault == -1 ? 2 : 3);
        QVERIFY(m_rig->lastTriggerSpreadNs() >= 0);
        if (fault == Fault::DelayAnswer) {
            // The others got theirs while the first camera still held its answer.
            QTRY_VERIFY(SimCameras::requests(m_sim[1], "POST", "/trig").size() == 1 &&
                        SimCameras::requests(m_sim[2], "POST", "/trig").size() == 1);
            for (const QList<QVariant>& answer : std::as_const(answered))
                QVERIFY(answer.first().value<Camera*>() != m_cam[odd]);
            QVERIFY(finished.isEmpty() && m_rig->busy());
        }
        QVERIFY(finished.wait(10000));
        const QString message = finished.first().first().toString();
        QCOMPARE(m_rig->lastMessage(), message);
        QVERIFY(!m_rig->busy());
        if (odd < 0) {
            QCOMPARE(message, QString());
        } else {
            QVERIFY2(message.contains(m_cam[odd]->name()->value().toString() + ": " + reason),
                     qPrintable(message));
            QVERIFY(message.contains("1 of 3 cameras"));
            QCOMPARE(SimCameras::requests(m_sim[odd], "POST", "/trig").size(), fault == -1 ? 0 : 1);
        }
        // Every camera that followed saved its take.
        for (int i = 0; i < m_cam.size(); ++i) {
            if (i != odd || fault == Fault::DelayAnswer)
                QTRY_COMPARE_WITH_TIMEOUT(m_cam[i]->savedTakes()->count(), 1, 5000);
            if (i != odd)
                QVERIFY(!message.contains(m_cam[i]->name()->value().toString()));
        }
        for (q7sim::SimCamera* sim : std::as_const(m_sim))
            sim->clearFaults();
        if (fault == Fault::HttpErrorJson)
            m_cam[odd]->abort();
        for (Camera* c : std::as_const(m_cam))
            c->deleteAllTakes();
        QVERIFY(allInState(Camera::AcqStandby));
        for (Camera* c : std::as_const(m_cam))
            QTRY_COMPARE_WITH_TIMEOUT(c->savedTakes()->count(), 0, 3000);
    }

    void recordAndAbortAll()
    {
        QCOMPARE(run(&CameraRig::recordAll), QString());
        QVERIFY(allInState(Camera::AcqRecording));
        // A second Record All finds no camera in stand-by.
        const QString again = run(&CameraRig::recordAll);
        QVERIFY2(again.contains("3 of 3 cameras") && again.contains(": not in stand-by (recording)"),
                 qPrintable(again));
        QCOMPARE(run(&CameraRig::abortAll), QString());
        QVERIFY(allInState(Camera::AcqStandby));
        QTRY_VERIFY(m_rig->canRecord() && !m_rig->canAbort());
        // Cameras in stand-by have nothing to abort: none is asked or named.
        QSignalSpy sent(m_rig, &CameraRig::requestsSent);
        QCOMPARE(run(&CameraRig::abortAll), QString());
        QCOMPARE(sent.first().at(1).toInt(), 0);
        for (Camera* c : std::as_const(m_cam))
            QCOMPARE(c->savedTakes()->count(), 0);
    }

    // Camera 0's settings to camera 1 (same model) and, refused, to a
    // monochrome camera; camera 2's exposure grid does not hold the source's
    // exposure, which the report tells. The exposure is longer than the
    // targets' frame period allows until the frame period has been copied.
    void copySettings()
    {
        q7sim::CameraConfig config;
        config.address = QStringLiteral("127.0.0.9");
        config.cfa = q7sim::Cfa::Mono;
        q7sim::SimCamera* mono = m_sims.start(config);
        Camera* monoCamera = SimCameras::connect(mono);
        QVERIFY(monoCamera);
        const QString address = m_sim[0]->config().address;
        for (const auto& [path, body] : QList<QPair<QString, QByteArray>>{{"/acq/res", "\"320x240\""},
                                                                          {"/acq/fr_clks", "400000"},
                                                                          {"/acq/exp_clks", "300003"},
                                                                          {"/acq/trig_offset", "77"}})
            QVERIFY(SimCameras::put(address, path, body));
        QVERIFY(SimCameras::post(address, "/prtn", "{\"cnt\":2}"));
        QVERIFY(SimCameras::put(m_sim[2]->config().address, "/acq/exp_clks_ofst", "7"));
        QTRY_COMPARE_WITH_TIMEOUT(m_cam[0]->prtnCnt()->value().toInt(), 2, 3000);
        QTRY_COMPARE_WITH_TIMEOUT(m_cam[0]->trigOffset()->value().toInt(), 77, 3000);

        const QVariantList targets = m_rig->copyTargets(m_cam[0]);
        QCOMPARE(targets.size(), 3);
        QCOMPARE(targets.last().toMap().value("enabled").toBool(), false);
        QCOMPARE(targets.last().toMap().value("reason").toString(), QString("another model (Q7-2000M)"));
        mono->clearRequests();
        QSignalSpy copied(m_rig, &CameraRig::copyFinished);
        m_rig->copySettings(m_cam[0], QList<Camera*>{m_cam[1], m_cam[2], monoCamera});
        QVERIFY(m_rig->copying());
        QVERIFY(copied.wait(15000));
        const QString report = copied.first().first().toString();
        const QString name1 = m_cam[1]->name()->value().toString();
        const QString name2 = m_cam[2]->name()->value().toString();
        QVERIFY2(
            report.contains("All settings were copied to " + name1 + ".") &&
                report.contains(name2 + ": exposure 3000.030 µs became 3000.070 µs") &&
                report.contains(monoCamera->name()->value().toString() + ": not copied, another model") &&
                !report.contains(name2 + ": resolution"),
            qPrintable(report));
        for (const auto& request : mono->requests())
            QCOMPARE(request.method, QString("GET")); // nothing was written to it
        const QJsonObject acq = acqOf(m_sim[1]);
        QCOMPARE(acq.value("res").toString(), QString("320x240"));
        QCOMPARE(acq.value("fr_clks").toInt(), 400000);
        QCOMPARE(acq.value("exp_clks").toInt(), 300003);
        QCOMPARE(acq.value("trig_offset").toInt(), 77);
        QCOMPARE(acq.value("prtn_cnt").toInt(), 2);
        QCOMPARE(acq.value("fsync_mode").toInt(), 0);
    }
};

VORN_TEST_MAIN(TestRig)
#include "tst_rig.moc"
