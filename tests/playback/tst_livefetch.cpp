#include "Camera.h"
#include "ImgSearch.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

using q7sim::Fault;

// The selected camera shows its live image through the fetch cycle.
class TestLiveFetch : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_nam;
    SimCameras m_sims;

private slots:
    void initTestCase() { VornTest::useNetwork(&m_nam); }

    void liveImageOfTheSelectedCamera()
    {
        q7sim::CameraConfig colour;
        colour.res = QStringLiteral("1280x1024");
        auto* sim = m_sims.start(colour);
        q7sim::CameraConfig monoConfig;
        monoConfig.address = QStringLiteral("127.0.0.3");
        monoConfig.cfa = q7sim::Cfa::Mono;
        auto* monoSim = m_sims.start(monoConfig);
        QVERIFY(sim && monoSim);
        VornApp* app = VornApp::instance();
        Camera* camera = SimCameras::connect(sim);
        Camera* mono = SimCameras::connect(monoSim);
        QVERIFY(camera && mono);
        QCOMPARE(app->selectedVornObject(), camera); // the first one

        QSignalSpy imageChanged(camera->imgFrame(), &ImgFrame::imageChanged);
        QTRY_VERIFY_WITH_TIMEOUT(imageChanged.count() >= 3, 5000);
        const QImage image = camera->imgFrame()->image();
        QCOMPARE(image.size(), QSize(1280, 1024));
        // A real scene: bright and dark parts, and colour.
        int minGrey = 255, maxGrey = 0, coloured = 0;
        for (int y = 0; y < image.height(); y += 16) {
            for (int x = 0; x < image.width(); x += 16) {
                const QRgb p = image.pixel(x, y);
                minGrey = qMin(minGrey, qGray(p));
                maxGrey = qMax(maxGrey, qGray(p));
                if (qAbs(qRed(p) - qBlue(p)) > 30)
                    ++coloured;
            }
        }
        QVERIFY2(maxGrey - minGrey > 100, qPrintable(QStringLiteral("%1..%2").arg(minGrey).arg(maxGrey)));
        QVERIFY(coloured > 0);
        QVERIFY2(QRegularExpression("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}\\.\\d{9}Z$")
                     .match(camera->timestamp())
                     .hasMatch(),
                 qPrintable(camera->timestamp()));
        QCOMPARE(camera->histogram()->width(), quint16(1280));
        QCOMPARE(camera->histogram()->image().size(), 1280 * 1024 * 3);

        // Only the selected camera fetches.
        QVERIFY(mono->imgFrame()->image().isNull());
        monoSim->clearRequests();
        QTest::qWait(300);
        QCOMPARE(SimCameras::requests(monoSim, "POST", "/xfer").size(), 0);
        app->setSelectedVornObject(mono);
        QTRY_VERIFY_WITH_TIMEOUT(!mono->imgFrame()->image().isNull(), 5000);
        const QImage monoImage = mono->imgFrame()->image();
        bool grey = true;
        for (int x = 0; x < monoImage.width(); x += 7) {
            const QRgb p = monoImage.pixel(x, monoImage.height() / 2);
            grey = grey && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
        }
        QVERIFY(grey);
    }

    // While a take of the camera is saved to a file (its camera's queue) the
    // camera fetches no live image and a search on the take ends at once;
    // the live image comes back when the save is done.
    void liveFetchPausesWhileATakeIsSaved()
    {
        q7sim::CameraConfig config;
        config.address = QStringLiteral("127.0.0.4");
        config.res = QStringLiteral("320x240");
        auto* sim = m_sims.start(config);
        QVERIFY(sim);
        Take* take = SimCameras::recordedTake(sim, 100, 60);
        QVERIFY(take);
        Camera* camera = take->camera();
        SaveJobQueue* queue = camera->fileSaveJobQueue();
        QCOMPARE(take->property("fileSaveJobQueue").value<SaveJobQueue*>(), queue);
        VornApp* app = VornApp::instance();
        app->setSelectedVornObject(camera);
        QSignalSpy images(camera->imgFrame(), &ImgFrame::imageChanged);
        QTRY_VERIFY_WITH_TIMEOUT(images.count() >= 2, 5000);

        // About a second of save: its transfer comes in pieces.
        sim->addFault(Fault::xferPieces(16384, 5));
        qsizetype imagesAtEnd = -1;
        QObject guard;
        connect(queue, &SaveJobQueue::activeSaveJobChanged, &guard, [&] {
            if (!queue->activeSaveJob())
                imagesAtEnd = images.count();
        });
        QTemporaryDir dir;
        QElapsedTimer saving;
        saving.start();
        SaveJob* job = app->saveManager()->createSaveJob(take, take->firstFrame(), 40, SaveManager::FileDest,
                                                         Util::FormatVorn, Util::CodecVorn, 0, 0, "busy",
                                                         dir.path(), SaveJob::DontDeleteClose);
        QVERIFY(job);
        QVERIFY(camera->frameBusy() && take->frameBusy());
        QTRY_VERIFY_WITH_TIMEOUT(!camera->requestInFlight(), 5000); // the one sent before the save
        const qsizetype imagesBefore = images.count();
        const qint64 fr = take->fr();
        take->imgSearch()->start(true);
        QCOMPARE(take->imgSearch()->state(), ImgSearch::Idle);
        QCOMPARE(take->fr(), fr);

        QTRY_VERIFY_WITH_TIMEOUT(job->state() >= SaveJob::Done, 20000);
        QCOMPARE(job->state(), SaveJob::Done);
        QVERIFY(saving.elapsed() > 300); // many live ticks passed meanwhile
        QCOMPARE(imagesAtEnd, imagesBefore);
        sim->clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(images.count() >= imagesAtEnd + 2, 5000);
    }
};

VORN_TEST_MAIN(TestLiveFetch)
#include "tst_livefetch.moc"
