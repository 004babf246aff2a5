// TIFF image sequences of a take from the simulator: image names and numbers,
// free names on a second save, and the pictures in each pixel layout equal
// to what the display pipeline makes of the same frames.
#include "Camera.h"
#include "FrameSynth.h"
#include "ImgAdjModel.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "VornFrame.h"
#include "VornTestMain.h"

#include <QDir>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

class TestImgFile : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QTemporaryDir m_dir;
    q7sim::SimCamera* m_sim = nullptr;
    Take* m_take = nullptr;

    SaveJob* saveTiff(qint64 startFr, qint64 frCnt, const QString& name, Util::Codec codec,
                      const QString& folder)
    {
        SaveJob* job = VornApp::instance()->saveManager()->createSaveJob(
            m_take, startFr, frCnt, SaveManager::FileDest, Util::FormatTiff, codec, 0, 0, name, folder,
            SaveJob::DontDeleteClose);
        // A save still running when the wait ends fails the checks on its state.
        if (job && !QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 20000))
            qWarning() << "save still running";
        return job;
    }

    static QStringList filesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }

    // The picture the display makes of a frame with the take's adjustments.
    QImage displayed(qint64 fr, Util::Codec codec)
    {
        const auto params = m_sim->takeFrameParams(m_take->takeId());
        const ImgAdjBlock block = m_take->imgAdjModel()->block();
        VornFrame frame(&block);
        frame.setFrameData(q7sim::FrameSynth::record(*params, fr, q7sim::XferBoth), 320, 240, 320 * 240, 32,
                           m_take->yearOffsetSeconds());
        return codec == Util::CodecRaw_Gray8    ? frame.gray8Image()
               : codec == Util::CodecRaw_Gray16 ? frame.gray16Image()
                                                : frame.image();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        VornApp* app = VornApp::instance();
        app->stopBroadcast();
        app->set_networkAccessManager(&m_nam);
        q7sim::CameraConfig config;
        config.res = QStringLiteral("320x240");
        config.memoryBytes = 60ULL * (320 * 240 + 32);
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        const int takeId = SimCameras::recordTake(m_sim, 100, 10);
        QVERIFY(takeId > 0);
        Camera* camera = SimCameras::connect(m_sim);
        QVERIFY(camera);
        QVERIFY(QTest::qWaitFor([&] { return camera->takes()->count() >= takeId; }, 3000));
        m_take = camera->takes()->at(takeId - 1);
        QVERIFY(QTest::qWaitFor([&] { return m_take->valuesInit(); }, 3000));
    }

    void namesAndNumbers()
    {
        const QString nine = m_dir.filePath("nine");
        QVERIFY(QDir().mkpath(nine));
        SaveJob* job = saveTiff(-5, 9, "shot", Util::CodecRaw_Gray8, nine);
        QCOMPARE(job->state(), SaveJob::Done);
        QCOMPARE(filesIn(nine),
                 (QStringList{"shot_0.tiff", "shot_1.tiff", "shot_2.tiff", "shot_3.tiff", "shot_4.tiff",
                              "shot_5.tiff", "shot_6.tiff", "shot_7.tiff", "shot_8.tiff"}));
        // Ten images need two digits; a second save of the same names gets " (2)".
        const QString ten = m_dir.filePath("ten");
        QVERIFY(QDir().mkpath(ten));
        QCOMPARE(saveTiff(0, 10, "shot", Util::CodecRaw_Gray8, ten)->state(), SaveJob::Done);
        QCOMPARE(filesIn(ten).first(), QStringLiteral("shot_00.tiff"));
        QCOMPARE(filesIn(ten).last(), QStringLiteral("shot_09.tiff"));
        QCOMPARE(saveTiff(0, 10, "shot", Util::CodecRaw_Gray8, ten)->state(), SaveJob::Done);
        QCOMPARE(filesIn(ten).size(), 20);
        QVERIFY(filesIn(ten).contains("shot_00 (2).tiff"));
        QVERIFY(filesIn(ten).contains("shot_09 (2).tiff"));

        // By frame number instead.
        const QString byFrame = m_dir.filePath("byframe");
        QVERIFY(QDir().mkpath(byFrame));
        QCOMPARE(saveTiff(-2, 3, "f<fr:5>", Util::CodecRaw_Gray8, byFrame)->state(), SaveJob::Done);
        QCOMPARE(filesIn(byFrame), (QStringList{"f-0001.tiff", "f-0002.tiff", "f00000.tiff"}));

        QCOMPARE(VornApp::instance()->saveManager()->estFileSize(m_take, 10, Util::FormatTiff,
                                                                 Util::CodecRaw_Gray16),
                 10LL * 320 * 240 * 2);
    }

    void picturesAsDisplayed()
    {
        const QList<QPair<Util::Codec, QImage::Format>> layouts = {
            {Util::CodecRaw_RGB24, QImage::Format_RGB32},
            {Util::CodecRaw_Gray8, QImage::Format_Grayscale8},
            {Util::CodecRaw_Gray16, QImage::Format_Grayscale16},
        };
        for (const auto& layout : layouts) {
            const QString folder = m_dir.filePath(QStringLiteral("codec%1").arg(int(layout.first)));
            QVERIFY(QDir().mkpath(folder));
            SaveJob* job = saveTiff(3, 2, "img", layout.first, folder);
            QCOMPARE(job->state(), SaveJob::Done);
            for (int k = 0; k < 2; ++k) {
                QImageReader reader(QDir(folder).filePath(QStringLiteral("img_%1.tiff").arg(k)), "tiff");
                QImage read = reader.read();
                QVERIFY2(!read.isNull(), qPrintable(reader.errorString()));
                QCOMPARE(read.size(), QSize(320, 240));
                QImage expected = displayed(3 + k, layout.first);
                if (layout.first == Util::CodecRaw_RGB24) {
                    // Colour comes back in the reader's own 8-bit layout.
                    QVERIFY(!read.allGray());
                    read = read.convertToFormat(QImage::Format_RGB888);
                    expected = expected.convertToFormat(QImage::Format_RGB888);
                } else {
                    QCOMPARE(read.format(), layout.second);
                }
                QVERIFY2(read == expected,
                         qPrintable(QStringLiteral("codec %1 image %2").arg(int(layout.first)).arg(k)));
            }
        }
    }
};

VORN_TEST_MAIN(TestImgFile)
#include "tst_imgfile.moc"
