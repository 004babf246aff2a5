#include "Camera.h"
#include "FrameSynth.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QPointer>
#include <QSignalSpy>

using q7sim::Fault;

// Takes in camera memory, driven through the objects' interfaces against
// the simulator.
class TestTakes : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;

    Take* savedTake(int index) const { return qobject_cast<Take*>(m_camera->savedTakes()->get(index)); }

    // Records through the camera object and waits for the take to be saved.
    Take* recordTake(int postFrames)
    {
        const int before = m_camera->savedTakes()->count();
        m_camera->trigOffset()->setValue(postFrames);
        QTest::qWait(600); // the value is sent and polled back
        m_camera->record();
        if (!QTest::qWaitFor([&] { return m_camera->acqState()->value().toInt() == 2; }, 3000))
            return nullptr;
        QTest::qWait(100);
        m_camera->trigger();
        if (!QTest::qWaitFor([&] { return m_camera->savedTakes()->count() > before; }, 10000))
            return nullptr;
        return savedTake(m_camera->savedTakes()->count() - 1);
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        VornApp* app = VornApp::instance();
        q7sim::CameraConfig config;
        config.res = QStringLiteral("320x240");
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        app->connectCamera(config.address);
        m_camera = qobject_cast<Camera*>(app->vornObjModel()->first());
        QVERIFY(m_camera);
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->connected(), 5000);
    }

    void recordTriggerSaveLockDelete()
    {
        QCOMPARE(m_camera->takes()->count(), m_camera->prtnCnt()->value().toInt());
        QCOMPARE(m_camera->takesAvailable(), 1);
        Take* take = recordTake(60);
        QVERIFY(take);
        QCOMPARE(take->takeId(), 1);
        QVERIFY(take->savedOpened());
        QCOMPARE(m_camera->takesAvailable(), 0);
        QVERIFY(take->objectName().endsWith("-Take"));
        // Its values come from the take document once it is saved.
        QTRY_VERIFY_WITH_TIMEOUT(take->valuesInit(), 3000);
        QVERIFY(take->firstFrame() < 0);
        QCOMPARE(take->lastFrame(), 59);
        QCOMPARE(take->aFr(), take->firstFrame());
        QCOMPARE(take->bFr(), take->lastFrame());
        QCOMPARE(take->fr(), take->firstFrame());
        QCOMPARE(take->property("res").value<VornValue*>()->value().toString(), QStringLiteral("320x240"));

        m_sim->setTakeLocked(1, true);
        QTRY_VERIFY_WITH_TIMEOUT(take->locked(), 2000);
        m_sim->setTakeLocked(1, false);
        QTRY_VERIFY_WITH_TIMEOUT(!take->locked(), 2000);

        VornApp::instance()->setSelectedVornObject(take);
        QSignalSpy gone(take, &AbstractTake::deletedClosed);
        take->deleteTake();
        QVERIFY(gone.wait(3000));
        QVERIFY(!take->savedOpened());
        QCOMPARE(m_camera->savedTakes()->count(), 0);
        QCOMPARE(VornApp::instance()->selectedVornObject(), m_camera); // the camera shows instead
        QCOMPARE(SimCameras::requests(m_sim, "POST", "/del").last().body, QByteArray("{\"take\":1}"));
    }

    void framesShownAreTheCamerasFrames()
    {
        Take* take = recordTake(40);
        QVERIFY(take);
        QTRY_VERIFY_WITH_TIMEOUT(take->valuesInit(), 3000);
        const auto params = m_sim->takeFrameParams(take->takeId());
        QVERIFY(params);
        QCOMPARE(take->firstFrame(), params->firstFr); // the new recording, not the deleted one
        VornApp::instance()->setSelectedVornObject(take);
        take->pause();
        const qint64 frame = take->firstFrame() + 17;
        take->setFr(frame, false);
        QTRY_COMPARE_WITH_TIMEOUT(take->lastRequestedFr(), frame, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!take->requestInFlight(), 3000);
        // The expanded samples are the camera's codes through the expansion
        // table, computed here from the companding rule.
        const QByteArray codes = q7sim::FrameSynth::image(*params, frame);
        const QList<quint16>& raw = take->vornFrame()->raw16();
        QCOMPARE(raw.size(), codes.size());
        for (int i = 0; i < codes.size(); i += 97)
            QCOMPARE(int(raw.at(i)), VornTest::expandedSample(quint8(codes.at(i))));
        QCOMPARE(take->imgFrame()->image().size(), QSize(320, 240));
        QVERIFY(take->timestamp().endsWith('Z'));

        // One fetch in flight: changes meanwhile are dropped, and the paused
        // tick fetches the frame that is shown last.
        m_sim->addFault(Fault::delay(300, "/xfer"));
        m_sim->clearRequests();
        take->setFr(frame + 1, false);
        take->setFr(frame + 2, false);
        take->setFr(frame + 3, false);
        QTRY_COMPARE_WITH_TIMEOUT(take->lastRequestedFr(), frame + 3, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!take->requestInFlight(), 3000);
        m_sim->clearFaults();
        const auto fetches = SimCameras::requests(m_sim, "POST", "/xfer");
        QCOMPARE(fetches.size(), 2);
        QVERIFY(fetches.last().body.contains(",\"start\":" + QByteArray::number(frame + 3) + ","));

        take->deleteTake();
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->savedTakes()->count(), 0, 3000);
    }

    void partitionsReplaceTakes()
    {
        QPointer<Take> first = m_camera->takes()->first();
        QVERIFY(first);
        m_camera->partition(4);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->takes()->count(), 4, 3000);
        QTRY_VERIFY(first.isNull()); // released
        QCOMPARE(m_camera->takesAvailable(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(m_camera->takes()->at(i)->takeId(), i + 1);
        QCOMPARE(SimCameras::requests(m_sim, "POST", "/prtn").last().body, QByteArray("{\"cnt\":4}"));

        Take* take = recordTake(10);
        QVERIFY(take);
        QCOMPARE(m_camera->takesAvailable(), 3);
        m_camera->record();
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->activeTake() != nullptr, 3000);
        QVERIFY(m_camera->activeTake() != take);
        QVERIFY(m_camera->activeTake()->active());
        m_camera->abort();
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->acqState()->value().toInt(), 1, 3000);

        m_camera->deleteAllTakes();
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->savedTakes()->count(), 0, 3000);
        m_camera->partition(1);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->takes()->count(), 1, 3000);
    }
};

VORN_TEST_MAIN(TestTakes)
#include "tst_takes.moc"
