// TIFF image sequences of a take from the simulator: image names and numbers,
// free names on a second save, the pictures in each pixel layout equal to
// what the display pipeline makes of the same frames, and text burned in.
#include "BurnInRenderer.h"
#include "Camera.h"
#include "FrameSynth.h"
#include "ImgAdjModel.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "VornFrame.h"
#include "VornTestMain.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QProcess>
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

    // libtiff's own reading of an image's tags, "Bits/Sample: 8" and the like.
    static QStringList tiffTags(const QString& path)
    {
        QProcess tiffinfo;
        tiffinfo.start("tiffinfo", {path});
        if (!tiffinfo.waitForFinished(10000) || tiffinfo.exitCode() != 0)
            return {};
        QStringList tags;
        for (const QString& line : QString::fromUtf8(tiffinfo.readAllStandardOutput()).split('\n'))
            tags.append(line.trimmed());
        return tags;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        VornTest::useNetwork(&m_nam);
        q7sim::CameraConfig config;
        config.res = QStringLiteral("320x240");
        config.memoryBytes = 60ULL * (320 * 240 + 32);
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        m_take = SimCameras::recordedTake(m_sim, 100, 10);
        QVERIFY(m_take);
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
        struct Layout
        {
            Util::Codec first;
            QImage::Format second;
            QStringList tags;
        };
        const QList<Layout> layouts = {
            {Util::CodecRaw_RGB24,
             QImage::Format_RGB32,
             {"Bits/Sample: 8", "Samples/Pixel: 3", "Photometric Interpretation: RGB color"}},
            {Util::CodecRaw_Gray8,
             QImage::Format_Grayscale8,
             {"Bits/Sample: 8", "Photometric Interpretation: min-is-black"}},
            {Util::CodecRaw_Gray16,
             QImage::Format_Grayscale16,
             {"Bits/Sample: 16", "Photometric Interpretation: min-is-black"}},
        };
        for (const auto& layout : layouts) {
            const QString folder = m_dir.filePath(QStringLiteral("codec%1").arg(int(layout.first)));
            QVERIFY(QDir().mkpath(folder));
            SaveJob* job = saveTiff(3, 2, "img", layout.first, folder);
            QCOMPARE(job->state(), SaveJob::Done);
            const QStringList tags = tiffTags(QDir(folder).filePath("img_0.tiff"));
            QVERIFY(tags.contains("Image Width: 320 Image Length: 240"));
            for (const QString& tag : layout.tags)
                QVERIFY2(tags.contains(tag), qPrintable(tag));
            if (layout.first != Util::CodecRaw_RGB24) // one sample per pixel is libtiff's default
                QVERIFY(!tags.filter("Samples/Pixel").value(0, "Samples/Pixel: 1").endsWith(" 3"));
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

    void burnIn()
    {
        // Every line, in two corners and two layouts: the pictures are those
        // without burn-in with the expected text drawn over them, and nothing
        // outside the text block changed.
        const auto params = m_sim->takeFrameParams(m_take->takeId());
        const QString camera = m_take->camera()->name()->value().toString() +
                               QString::fromUtf8(" \u00b7 Take %1").arg(m_take->takeId());
        const qint64 first = m_take->firstFrame() + 1;
        for (const auto corner : {BurnInOptions::BottomLeft, BurnInOptions::TopRight}) {
            for (const Util::Codec codec : {Util::CodecRaw_RGB24, Util::CodecRaw_Gray16}) {
                const QString tag = QStringLiteral("burn%1_%2").arg(int(corner)).arg(int(codec));
                const QString plainFolder = m_dir.filePath(tag + "plain");
                const QString burnFolder = m_dir.filePath(tag);
                QVERIFY(QDir().mkpath(plainFolder) && QDir().mkpath(burnFolder));
                QCOMPARE(saveTiff(first, 2, "img", codec, plainFolder)->state(), SaveJob::Done);
                SaveJob* job = VornApp::instance()->saveManager()->createSaveJob(
                    m_take, first, 2, SaveManager::FileDest, Util::FormatTiff, codec, 0, 0, "img", burnFolder,
                    SaveJob::DontDeleteClose, BurnInOptions::AllLines, corner);
                QVERIFY(job && QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 20000));
                QCOMPARE(job->state(), SaveJob::Done);
                BurnInOptions options;
                options.lines = BurnInOptions::AllLines;
                options.corner = corner;
                BurnInRenderer renderer(options, QSize(320, 240), camera, 0);
                for (int k = 0; k < 2; ++k) {
                    const QString name = QStringLiteral("img_%1.tiff").arg(k);
                    const QImage plain =
                        QImage(QDir(plainFolder).filePath(name))
                            .convertToFormat(codec == Util::CodecRaw_Gray16 ? QImage::Format_Grayscale16
                                                                            : QImage::Format_RGB888);
                    const QImage burned =
                        QImage(QDir(burnFolder).filePath(name)).convertToFormat(plain.format());
                    QImage expected = plain;
                    renderer.draw(&expected, SimCameras::burnInLines(*params, first + k,
                                                                     m_take->yearOffsetSeconds(), camera));
                    QVERIFY2(burned == expected, qPrintable(tag));
                    const QRect region = renderer.region();
                    QVERIFY(!region.isEmpty() && QRect(0, 0, 320, 240).contains(region));
                    const bool top = corner == BurnInOptions::TopRight;
                    QVERIFY(top ? region.top() < 30 && region.left() > 100
                                : region.bottom() > 210 && region.left() < 30);
                    // Light glyphs on dark outlines, whatever lies below.
                    int changed = 0, white = 0, black = 0;
                    const QImage grey = burned.convertToFormat(QImage::Format_Grayscale8);
                    for (int y = 0; y < 240; ++y) {
                        for (int x = 0; x < 320; ++x) {
                            if (burned.pixel(x, y) == plain.pixel(x, y))
                                continue;
                            QVERIFY2(region.contains(x, y),
                                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                            ++changed;
                            white += qGray(grey.pixel(x, y)) >= 224;
                            black += qGray(grey.pixel(x, y)) <= 32;
                        }
                    }
                    QVERIFY2(changed > region.width() * region.height() / 5 && white > 100 && black > 200,
                             qPrintable(QStringLiteral("%1 %2 %3").arg(changed).arg(white).arg(black)));
                }
            }
        }
    }

    void cancelKeepsImages()
    {
        // Frames trickle in; images written before the cancel stay.
        const QString folder = m_dir.filePath("cancelled");
        QVERIFY(QDir().mkpath(folder));
        m_sim->addFault(q7sim::Fault::xferPieces(16384, 20));
        SaveJob* job = VornApp::instance()->saveManager()->createSaveJob(
            m_take, m_take->firstFrame(), 40, SaveManager::FileDest, Util::FormatTiff, Util::CodecRaw_Gray8,
            0, 0, "part", folder, SaveJob::DontDeleteClose);
        QVERIFY(job);
        QVERIFY(QTest::qWaitFor([&] { return !filesIn(folder).isEmpty(); }, 10000));
        job->cancel();
        QVERIFY(QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 5000));
        m_sim->clearFaults();
        QCOMPARE(job->state(), SaveJob::Cancelled);
        const QStringList kept = filesIn(folder);
        QVERIFY(!kept.isEmpty() && kept.size() < 40);
        QCOMPARE(kept.first(), QStringLiteral("part_00.tiff"));
        QVERIFY(!QImageReader(QDir(folder).filePath(kept.first())).read().isNull());
    }
};

VORN_TEST_MAIN(TestImgFile)
#include "tst_imgfile.moc"
