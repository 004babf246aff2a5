// The camera's live image and a take's frames in the window: a simulated
// camera is connected, records a take from its view, and the take is
// scrubbed and played in its view.

#include "Camera.h"
#include "ImgFrameControl.h"
#include "PlaybackScrubberTemplate.h"
#include "ShellHarness.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornTestMain.h"

using namespace ShellTestSupport;

static const bool offscreenScreenConfigured = configureOffscreenScreen();

class TestFrameViews : public ShellHarness
{
    Q_OBJECT

    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(recordingHandler);
        VornStartup::initFonts(*app());
        app()->stopBroadcast();
        q7sim::CameraConfig config;
        config.res = QStringLiteral("640x480");
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        QVERIFY(load());
        app()->connectCamera(config.address);
        m_camera = qobject_cast<Camera*>(app()->vornObjModel()->first());
        QVERIFY(m_camera);
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->connected(), 5000);
    }

    void cleanupTestCase()
    {
        unload();
        m_sims.stopAll();
        const QStringList warnings = takeWarnings() + m_engineWarnings;
        qInstallMessageHandler(previousHandler);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void cameraViewShowsTheLiveImage()
    {
        QCOMPARE(app()->selectedVornObject(), m_camera);
        QTRY_COMPARE(loadedView(), QStringLiteral("cameraView"));
        auto* frameView = find<ImgFrameControl>("frameView");
        QVERIFY(frameView);
        QCOMPARE(frameView->imgFrame(), m_camera->imgFrame());
        QTRY_VERIFY_WITH_TIMEOUT(!m_camera->imgFrame()->image().isNull(), 5000);
        QCOMPARE(m_camera->imgFrame()->image().size(), QSize(640, 480));
        // Fitted into the view: the whole picture shows.
        QTRY_VERIFY(frameView->paintedRect().width() > 100);
        QVERIFY(qAbs(frameView->paintedRect().width() / frameView->paintedRect().height() - 640.0 / 480.0) <
                0.02);
        QTRY_VERIFY(!find("timestamp")->property("text").toString().isEmpty());
        saveScreenshot("camera-view.png");
    }

    void recordFromTheViewAndPlayTheTake()
    {
        m_camera->trigOffset()->setValue(120);
        QTest::qWait(400);
        auto* record = find<QQuickItem>("recordButton");
        QVERIFY(record);
        QTRY_VERIFY(record->isEnabled());
        clickItem(record);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->acqState()->value().toInt(), 2, 3000);
        QTest::qWait(200);
        // Recording, the record button triggers.
        QTRY_COMPARE(record->property("text").toString(), QStringLiteral("Trigger"));
        clickItem(record);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->savedTakes()->count(), 1, 10000);
        auto* take = qobject_cast<Take*>(m_camera->savedTakes()->get(0));
        QTRY_VERIFY_WITH_TIMEOUT(take->valuesInit(), 3000);

        app()->setSelectedVornObject(take);
        QTRY_COMPARE(loadedView(), QStringLiteral("takeView"));
        take->pause();
        auto* scrubber = find<PlaybackScrubberTemplate>("scrubber");
        QVERIFY(scrubber);
        QTRY_COMPARE(scrubber->firstFr(), take->firstFrame());
        QCOMPARE(scrubber->lastFr(), take->lastFrame());
        // The new view's rows stand in place once the window has rendered it.
        QVERIFY(!window()->grabWindow().isNull());

        // A click in the middle of the scrubber shows the middle frame.
        QTest::mouseClick(
            window(), Qt::LeftButton, Qt::NoModifier,
            scrubber->mapToScene(QPointF(scrubber->width() / 2, scrubber->height() / 2)).toPoint());
        const qint64 middle = take->firstFrame() + (take->lastFrame() - take->firstFrame()) / 2;
        QVERIFY2(qAbs(take->fr() - middle) <= 1, qPrintable(QString::number(take->fr())));
        QTRY_COMPARE_WITH_TIMEOUT(take->lastRequestedFr(), take->fr(), 3000);
        QTRY_VERIFY_WITH_TIMEOUT(!take->imgFrame()->image().isNull(), 3000);
        QCOMPARE(scrubber->property("playHead").value<QObject*>()->property("fr").toLongLong(), take->fr());

        // Play moves the position; the play head follows.
        const qint64 before = take->fr();
        clickItem(find<QQuickItem>("playButton"));
        QCOMPARE(take->state(), PlaybackVornObject::Play);
        QTRY_VERIFY_WITH_TIMEOUT(take->fr() != before, 3000);
        // The running playback's button pauses.
        clickItem(find<QQuickItem>("playButton"));
        QCOMPARE(take->state(), PlaybackVornObject::Paused);
        QTRY_COMPARE(scrubber->property("playHead").value<QObject*>()->property("fr").toLongLong(),
                     take->fr());
        saveScreenshot("take-view.png");
    }
};

VORN_TEST_MAIN(TestFrameViews)
#include "tst_frameviews.moc"
