// AVI and MP4 videos of a take from the simulator, checked with FFmpeg's own
// command-line tools: container, codec, pixel format, size, frame count,
// frame rate, time base and time stamps from ffprobe, and the pictures
// decoded by ffmpeg against what the display pipeline makes of the frames,
// also with text burned in.
#include "BurnInRenderer.h"
#include "Camera.h"
#include "FrameSynth.h"
#include "ImgAdjModel.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "VideoEncoder.h"
#include "VornFrame.h"
#include "VornTestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

namespace {

struct Probe
{
    QString formatName;
    QString codecName;
    QString profile;
    QString pixFmt;
    int width = 0;
    int height = 0;
    int frames = 0;
    QString frameRate;
    QString timeBase;
    QList<qint64> pts;
};

Probe probe(const QString& path)
{
    QProcess ffprobe;
    ffprobe.start("ffprobe",
                  {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                   "stream=codec_name,profile,pix_fmt,width,height,nb_read_frames,r_frame_rate,time_"
                   "base:format=format_name:frame=pts",
                   "-of", "json", path});
    Probe result;
    if (!ffprobe.waitForFinished(60000) || ffprobe.exitCode() != 0) {
        qWarning() << "ffprobe:" << ffprobe.readAllStandardError();
        return result;
    }
    const QJsonObject root = QJsonDocument::fromJson(ffprobe.readAllStandardOutput()).object();
    const QJsonObject stream = root.value("streams").toArray().first().toObject();
    result.formatName = root.value("format").toObject().value("format_name").toString();
    result.codecName = stream.value("codec_name").toString();
    result.profile = stream.value("profile").toString();
    result.pixFmt = stream.value("pix_fmt").toString();
    result.width = stream.value("width").toInt();
    result.height = stream.value("height").toInt();
    result.frames = stream.value("nb_read_frames").toString().toInt();
    result.frameRate = stream.value("r_frame_rate").toString();
    result.timeBase = stream.value("time_base").toString();
    for (const QJsonValue& frame : root.value("frames").toArray())
        result.pts.append(frame.toObject().value("pts").toInteger());
    return result;
}

// Every picture of the video as ffmpeg decodes it, in `pixFmt` ("bgr24" or
// "gray"), one QByteArray per frame.
QList<QByteArray> decode(const QString& path, const char* pixFmt, int frameBytes)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", pixFmt, "-"});
    QList<QByteArray> frames;
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
        qWarning() << "ffmpeg:" << ffmpeg.readAllStandardError();
        return frames;
    }
    const QByteArray all = ffmpeg.readAllStandardOutput();
    for (qsizetype at = 0; at + frameBytes <= all.size(); at += frameBytes)
        frames.append(all.mid(at, frameBytes));
    return frames;
}

// Raw pictures converted by ffmpeg from one pixel format to another.
QByteArray convert(const QByteArray& frames, QSize size, const char* from, const char* to)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-f", "rawvideo", "-pix_fmt", from, "-s",
                            QStringLiteral("%1x%2").arg(size.width()).arg(size.height()), "-i", "-", "-f",
                            "rawvideo", "-pix_fmt", to, "-"});
    ffmpeg.write(frames);
    ffmpeg.closeWriteChannel();
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return {};
    return ffmpeg.readAllStandardOutput();
}

// The packed bytes of an 8-bit picture, rows without padding.
QByteArray packed(const QImage& image)
{
    QByteArray bytes;
    const qsizetype rowBytes = qsizetype(image.width()) * image.depth() / 8;
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
    return bytes;
}

int maxDifference(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        worst = qMax(worst, qAbs(int(quint8(a[i])) - int(quint8(b[i]))));
    return worst;
}

double psnr(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size() || a.isEmpty())
        return 0;
    double sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const double d = double(quint8(a[i])) - double(quint8(b[i]));
        sum += d * d;
    }
    const double mse = sum / double(a.size());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

class TestVideoFile : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QTemporaryDir m_dir;
    q7sim::SimCamera* m_sim = nullptr;
    Take* m_take = nullptr;
    qint64 m_first = 0;

    SaveJob* save(qint64 startFr, qint64 frCnt, const QString& name, Util::Format format, Util::Codec codec,
                  double frameRate, int quality, const QString& folder = QString())
    {
        SaveJob* job = VornApp::instance()->saveManager()->createSaveJob(
            m_take, startFr, frCnt, SaveManager::FileDest, format, codec, frameRate, quality, name,
            folder.isEmpty() ? m_dir.path() : folder, SaveJob::DontDeleteClose);
        if (job && !QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 60000))
            qWarning() << "save still running";
        return job;
    }

    // The processed frame as the display makes it with the take's adjustments.
    void process(VornFrame* frame, qint64 fr)
    {
        const auto params = m_sim->takeFrameParams(m_take->takeId());
        frame->setFrameData(q7sim::FrameSynth::record(*params, fr, q7sim::XferBoth), 320, 240, 320 * 240, 32,
                            m_take->yearOffsetSeconds());
    }

    QByteArray displayedBgr(qint64 fr)
    {
        const ImgAdjBlock block = m_take->imgAdjModel()->block();
        VornFrame frame(&block);
        process(&frame, fr);
        return packed(frame.image().convertToFormat(QImage::Format_BGR888));
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
        m_take = SimCameras::recordedTake(m_sim, 100, 20);
        QVERIFY(m_take);
        m_first = m_take->firstFrame();
        QVERIFY(m_take->lastFrame() - m_first >= 20);
    }

    void aviPictures()
    {
        // BGR24 at 29.97: uncompressed, stored bottom-up, decoded upright and
        // equal to the display's 8-bit picture.
        SaveJob* job = save(m_first, 5, "colour", Util::FormatAvi, Util::CodecRaw_BGR24, 29.97, 0);
        QCOMPARE(job->state(), SaveJob::Done);
        const QString path = m_dir.filePath("colour.avi");
        const Probe p = probe(path);
        QCOMPARE(p.formatName, QStringLiteral("avi"));
        QCOMPARE(p.codecName, QStringLiteral("rawvideo"));
        QCOMPARE(p.pixFmt, QStringLiteral("bgr24"));
        QCOMPARE(QSize(p.width, p.height), QSize(320, 240));
        QCOMPARE(p.frames, 5);
        QCOMPARE(p.frameRate, QStringLiteral("30000/1001"));
        QCOMPARE(p.timeBase, QStringLiteral("1001/30000"));
        QCOMPARE(p.pts, (QList<qint64>{0, 1, 2, 3, 4}));
        const QList<QByteArray> frames = decode(path, "bgr24", 320 * 240 * 3);
        QCOMPARE(frames.size(), 5);
        for (int k = 0; k < 5; ++k) {
            const QByteArray expected = displayedBgr(m_first + k);
            QVERIFY2(frames[k] == expected, qPrintable(QString::number(k)));
            // Neighbouring frames differ, so the right frame is in the right place.
            if (k > 0)
                QVERIFY(maxDifference(frames[k], displayedBgr(m_first + k - 1)) > 1);
        }
        QCOMPARE(
            VornApp::instance()->saveManager()->estFileSize(m_take, 5, Util::FormatAvi, Util::CodecRaw_BGR24),
            5LL * 320 * 240 * 3);

        // Grey: the luma of the processed picture, full range like the grey TIFFs.
        job = save(m_first + 2, 3, "grey", Util::FormatAvi, Util::CodecRaw_Gray8, 30, 0);
        QCOMPARE(job->state(), SaveJob::Done);
        const Probe grey = probe(m_dir.filePath("grey.avi"));
        QCOMPARE(grey.pixFmt, QStringLiteral("gray"));
        QCOMPARE(grey.frames, 3);
        QCOMPARE(grey.timeBase, QStringLiteral("1/30"));
        const QList<QByteArray> greyFrames = decode(m_dir.filePath("grey.avi"), "gray", 320 * 240);
        QCOMPARE(greyFrames.size(), 3);
        const ImgAdjBlock block = m_take->imgAdjModel()->block();
        VornFrame frame(&block);
        process(&frame, m_first + 3);
        QVERIFY2(maxDifference(greyFrames[1], packed(frame.gray8Image())) <= 2,
                 qPrintable(QString::number(maxDifference(greyFrames[1], packed(frame.gray8Image())))));
        QCOMPARE(
            VornApp::instance()->saveManager()->estFileSize(m_take, 5, Util::FormatAvi, Util::CodecRaw_Gray8),
            5LL * 320 * 240);

        // Text burned in: the decoded pictures are the display's with the
        // expected lines drawn into them, the rest of each picture untouched.
        const QString camera = m_take->camera()->name()->value().toString() +
                               QString::fromUtf8(" \u00b7 Take %1").arg(m_take->takeId());
        job = VornApp::instance()->saveManager()->createSaveJob(
            m_take, m_first + 1, 2, SaveManager::FileDest, Util::FormatAvi, Util::CodecRaw_BGR24, 30, 0,
            "burned", m_dir.path(), SaveJob::DontDeleteClose, BurnInOptions::AllLines,
            BurnInOptions::TopLeft);
        QVERIFY(job && QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 20000));
        QCOMPARE(job->state(), SaveJob::Done);
        const QList<QByteArray> burned = decode(m_dir.filePath("burned.avi"), "bgr24", 320 * 240 * 3);
        QCOMPARE(burned.size(), 2);
        BurnInRenderer renderer({BurnInOptions::AllLines, BurnInOptions::TopLeft}, {320, 240}, camera, 0);
        for (int k = 0; k < 2; ++k) {
            const QByteArray plain = displayedBgr(m_first + 1 + k);
            QImage expected(reinterpret_cast<const uchar*>(plain.constData()), 320, 240, 320 * 3,
                            QImage::Format_BGR888);
            renderer.draw(&expected,
                          SimCameras::burnInLines(*m_sim->takeFrameParams(m_take->takeId()), m_first + 1 + k,
                                                  m_take->yearOffsetSeconds(), camera));
            QVERIFY(burned[k] == packed(expected));
            const QRect region = renderer.region();
            int changed = 0;
            for (int i = 0; i < plain.size(); ++i) {
                if (plain[i] != burned[k][i]) {
                    QVERIFY(region.contains(i / 3 % 320, i / 3 / 320));
                    ++changed;
                }
            }
            QVERIFY(changed > 1000);
        }

        // A second save of the same name gets the first free suffix.
        QCOMPARE(save(m_first, 1, "grey", Util::FormatAvi, Util::CodecRaw_Gray8, 30, 0)->state(),
                 SaveJob::Done);
        QVERIFY(QFile::exists(m_dir.filePath("grey (2).avi")));
        QCOMPARE(probe(m_dir.filePath("grey.avi")).frames, 3);
    }

    void mp4Codecs()
    {
        struct Case
        {
            Util::Codec codec;
            double frameRate;
            int quality;
            QString codecName;
            QString pixFmt;
            QString frameRateText;
            QString timeBase;
            qint64 ptsStep;
            double minLuma;
            double maxLuma = 99;
        };
        // The MP4 muxer keeps time bases of 10000 and more; a coarser one it
        // refines (30 fps: 1/15360, 512 per frame).
        const QList<Case> cases = {
            {Util::CodecH264, 30, 20, "h264", "yuv420p", "30/1", "1/15360", 512, 40},
            {Util::CodecH264, 29.97, 20, "h264", "yuv420p", "30000/1001", "1/30000", 1001, 40},
            // Coarser quantisers lose visibly more: the quality reaches the encoder.
            {Util::CodecH264, 25, 45, "h264", "yuv420p", "25/1", "1/12800", 512, 20, 38},
            {Util::CodecAV1_YUV420P, 29.97, 30, "av1", "yuv420p", "30000/1001", "1/30000", 1001, 40},
            {Util::CodecAV1_YUV420P10, 59.94, 30, "av1", "yuv420p10le", "60000/1001", "1/60000", 1001, 40},
        };
        for (const Case& c : cases) {
            const QString name = QStringLiteral("mp4_%1_%2").arg(int(c.codec)).arg(c.frameRate);
            SaveJob* job = save(m_first, 6, name, Util::FormatMp4, c.codec, c.frameRate, c.quality);
            QCOMPARE(job->state(), SaveJob::Done);
            const QString path = m_dir.filePath(name + ".mp4");
            const Probe p = probe(path);
            QVERIFY2(p.formatName.contains("mp4"), qPrintable(p.formatName));
            QCOMPARE(p.codecName, c.codecName);
            QCOMPARE(p.pixFmt, c.pixFmt);
            QCOMPARE(QSize(p.width, p.height), QSize(320, 240));
            QCOMPARE(p.frames, 6);
            QCOMPARE(p.frameRate, c.frameRateText);
            QCOMPARE(p.timeBase, c.timeBase);
            QCOMPARE(p.pts.size(), 6);
            for (int n = 0; n < 6; ++n)
                QCOMPARE(p.pts[n] - p.pts[0], n * c.ptsStep);
            if (c.codec == Util::CodecH264)
                QCOMPARE(p.profile, QStringLiteral("High"));
            // Colour detail of the test pattern is lost to 4:2:0 sampling,
            // so the luma tells the codec's own loss.
            const QList<QByteArray> frames = decode(path, "bgr24", 320 * 240 * 3);
            const QList<QByteArray> lumas = decode(path, "gray", 320 * 240);
            QCOMPARE(frames.size(), 6);
            QCOMPARE(lumas.size(), 6);
            for (int k = 0; k < 6; k += 5) {
                const QByteArray expected = displayedBgr(m_first + k);
                const double colour = psnr(frames[k], expected);
                const double luma = psnr(lumas[k], convert(expected, {320, 240}, "bgr24", "gray"));
                qInfo("%s frame %d: PSNR %.1f dB, luma %.1f dB", qPrintable(name), k, colour, luma);
                QVERIFY2(colour > 25 && luma > c.minLuma && luma < c.maxLuma,
                         qPrintable(QStringLiteral("%1: frame %2, %3 dB, luma %4 dB")
                                        .arg(name)
                                        .arg(k)
                                        .arg(colour)
                                        .arg(luma)));
            }
        }
        QCOMPARE(VornApp::instance()->saveManager()->estFileSize(m_take, 5, Util::FormatMp4, Util::CodecH264),
                 0);
    }

    void rotatedSource()
    {
        ImgAdjModel* adjustments = m_take->imgAdjModel();
        adjustments->setProperty("rotate", 90);
        QCOMPARE(adjustments->block().rotate.toInt(), 90);
        SaveJob* job = save(m_first, 2, "turned", Util::FormatAvi, Util::CodecRaw_BGR24, 25, 0);
        const QByteArray expected = displayedBgr(m_first + 1);
        adjustments->setProperty("rotate", 0);
        QCOMPARE(job->state(), SaveJob::Done);
        const Probe p = probe(m_dir.filePath("turned.avi"));
        QCOMPARE(QSize(p.width, p.height), QSize(240, 320));
        const QList<QByteArray> frames = decode(m_dir.filePath("turned.avi"), "bgr24", 320 * 240 * 3);
        QCOMPARE(frames.size(), 2);
        QVERIFY(frames[1] == expected);
    }

    void encoderSizesAndOptions()
    {
        // A picture of 32 x 32: AV1 makes 64 x 64 with the picture centred on black.
        QList<quint16> picture(32 * 32 * 3, 0xC000);
        const QString small = m_dir.filePath("small.mp4");
        {
            VideoEncoder encoder(small, 32, 32, Util::FormatMp4, Util::CodecAV1_YUV420P, 30, 10);
            QCOMPARE(QSize(encoder.width(), encoder.height()), QSize(64, 64));
            QVERIFY(encoder.open());
            QVERIFY(encoder.isOpen());
            for (int i = 0; i < 3; ++i)
                QVERIFY(encoder.encode(picture) >= 0);
            QVERIFY(encoder.close());
            QVERIFY(!encoder.isOpen());
            QCOMPARE(encoder.encode(picture), -1);
        }
        QList<QByteArray> frames = decode(small, "gray", 64 * 64);
        QCOMPARE(frames.size(), 3);
        auto at = [](const QByteArray& f, int width, int x, int y) {
            return int(quint8(f[y * width + x]));
        };
        QVERIFY(at(frames[0], 64, 32, 32) > 150);
        QVERIFY(at(frames[0], 64, 17, 17) > 150);
        QVERIFY(at(frames[0], 64, 46, 46) > 150);
        QVERIFY(at(frames[0], 64, 3, 3) < 30);
        QVERIFY(at(frames[0], 64, 60, 32) < 30);
        QVERIFY(at(frames[0], 64, 32, 60) < 30);

        // An odd size: H.264 needs even sides and gets one black column and row.
        const QString odd = m_dir.filePath("odd.mp4");
        {
            VideoEncoder encoder(odd, 33, 21, Util::FormatMp4, Util::CodecH264, 30, 10);
            QCOMPARE(QSize(encoder.width(), encoder.height()), QSize(34, 22));
            QVERIFY(encoder.open());
            QVERIFY(encoder.encode(QList<quint16>(33 * 21 * 3, 0xFFFF)) >= 0);
            QVERIFY(encoder.close());
        }
        QCOMPARE(QSize(probe(odd).width, probe(odd).height), QSize(34, 22));
        frames = decode(odd, "gray", 34 * 22);
        QCOMPARE(frames.size(), 1);
        QVERIFY(at(frames[0], 34, 16, 10) > 220);
        QVERIFY(at(frames[0], 34, 0, 0) > 220);
        QVERIFY(at(frames[0], 34, 33, 10) < 60);
        QVERIFY(at(frames[0], 34, 16, 21) < 60);

        // Options follow quality and size.
        auto options = [](int width, int height, Util::Codec codec, int quality) {
            return VideoEncoder(QString(), width, height, Util::FormatMp4, codec, 30, quality).options();
        };
        QCOMPARE(options(1920, 1080, Util::CodecAV1_YUV420P, 30).value("color_primaries"),
                 QByteArray("bt709"));
        QCOMPARE(options(2048, 1080, Util::CodecAV1_YUV420P, 30).value("color_primaries"),
                 QByteArray("bt2020"));
        QCOMPARE(options(1920, 1088, Util::CodecAV1_YUV420P10, 30).value("color_primaries"),
                 QByteArray("bt2020"));
        QCOMPARE(options(64, 64, Util::CodecH264, 50).value("qmin"), QByteArray("50"));
        QCOMPARE(options(64, 64, Util::CodecH264, 50).value("qmax"), QByteArray("51"));
        QCOMPARE(options(64, 64, Util::CodecH264, 1).value("qmin"), QByteArray("1"));
        QCOMPARE(options(64, 64, Util::CodecH264, 1).value("qmax"), QByteArray("6"));
        const auto avi =
            VideoEncoder(QString(), 320, 240, Util::FormatAvi, Util::CodecRaw_BGR24, 30, 0).options();
        QCOMPARE(avi.value("video_size"), QByteArray("320x240"));
        QCOMPARE(avi.value("flipped_raw_rgb"), QByteArray("1"));
        QVERIFY(!VideoEncoder(QString(), 320, 240, Util::FormatAvi, Util::CodecRaw_Gray8, 30, 0)
                     .options()
                     .contains("flipped_raw_rgb"));

        // Frame rates and time bases.
        auto same = [](AVRational a, AVRational b) {
            return a.num == b.num && a.den == b.den;
        };
        QVERIFY(same(VideoEncoder::frameRateOf(23.976), {24000, 1001}));
        QVERIFY(same(VideoEncoder::frameRateOf(23.98), {24000, 1001}));
        QVERIFY(same(VideoEncoder::frameRateOf(12.5), {25, 2}));
        QVERIFY(same(VideoEncoder(QString(), 8, 8, Util::FormatAvi, Util::CodecRaw_Gray8, 12.5, 0).timeBase(),
                     {2, 25}));
        QVERIFY(same(VideoEncoder(QString(), 8, 8, Util::FormatMp4, Util::CodecH264, 12.5, 0).timeBase(),
                     {1, 25}));
        // No frame rate makes no video, whatever the size.
        VideoEncoder noRate(m_dir.filePath("norate.avi"), 8, 8, Util::FormatAvi, Util::CodecRaw_Gray8, 0, 0);
        QVERIFY(!noRate.open());
        QVERIFY(!QFile::exists(m_dir.filePath("norate.avi")));
    }

    void cancelRemovesThePartialVideo()
    {
        // Cancel while frames trickle in: the partial video is removed.
        m_sim->addFault(q7sim::Fault::xferPieces(4, 20));
        SaveJob* job = VornApp::instance()->saveManager()->createSaveJob(
            m_take, m_first, 20, SaveManager::FileDest, Util::FormatMp4, Util::CodecH264, 30, 20, "cancelled",
            m_dir.path(), SaveJob::DontDeleteClose);
        QVERIFY(QTest::qWaitFor([job] { return job->state() == SaveJob::Saving; }, 5000));
        QTest::qWait(200);
        QVERIFY(QFile::exists(m_dir.filePath("cancelled.mp4")));
        job->cancel();
        QVERIFY(QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 5000));
        QCOMPARE(job->state(), SaveJob::Cancelled);
        QVERIFY(!QFile::exists(m_dir.filePath("cancelled.mp4")));
        m_sim->clearFaults();
    }
};

VORN_TEST_MAIN(TestVideoFile)
#include "tst_videofile.moc"
