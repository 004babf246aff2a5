// DNG sequences of takes from the simulator and of VORN files, read back by
// LibRaw's tools and exiftool, for every sensor layout and odd sizes: the raw
// samples are the program's expansion of the camera's codes, the tags carry
// the timing and the camera, and LibRaw's own development matches the
// program's picture.
#include "Camera.h"
#include "FrameSynth.h"
#include "ImgAdjModel.h"
#include "ImgAdjUtil.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "VornFile.h"
#include "VornFileBytes.h"
#include "VornFrame.h"
#include "VornTestMain.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtEndian>
#include <optional>

namespace {

// A binary 16-bit PGM or PPM as LibRaw's tools write them.
struct Pnm
{
    int width = 0;
    int height = 0;
    int channels = 0;
    QList<quint16> samples;
};

Pnm readPnm(const QByteArray& bytes)
{
    static const QRegularExpression header(QStringLiteral("^P([56])\n(\\d+) (\\d+)\n65535\n"));
    const QRegularExpressionMatch m = header.match(QString::fromLatin1(bytes.left(32)));
    const int channels = m.captured(1) == "6" ? 3 : 1;
    const qsizetype count = m.captured(2).toLongLong() * m.captured(3).toLongLong() * channels;
    if (!m.hasMatch() || bytes.size() - m.capturedLength() < count * 2)
        return {};
    Pnm pnm{m.captured(2).toInt(), m.captured(3).toInt(), channels, {}};
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData() + m.capturedLength());
    for (qsizetype i = 0; i < count; ++i)
        pnm.samples.append(quint16(data[2 * i] << 8 | data[2 * i + 1]));
    return pnm;
}

// A tool's standard output; empty when it failed.
QByteArray run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

} // namespace

class TestDngFile : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QTemporaryDir m_dir;
    int m_cameras = 0;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        VornTest::useNetwork(&m_nam);
        for (const char* tool : {"raw-identify", "unprocessed_raw", "dcraw_emu", "exiftool"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is missing: scripts/setup installs it").arg(tool)));
        }
    }

    void readByLibRaw_data()
    {
        // The camera makes even sizes only; odd ones come from VORN files,
        // shown turned (degrees) and mirrored (H, V).
        QTest::addColumn<int>("cfa");
        QTest::addColumn<QString>("res");
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QString>("flip");
        const auto row = [](const char* tag, q7sim::Cfa cfa, const char* res, bool fromFile,
                            const char* pattern, int rotate = 0, const char* flip = "") {
            QTest::newRow(tag) << int(cfa) << QString::fromLatin1(res) << fromFile
                               << QString::fromLatin1(pattern) << rotate << QString::fromLatin1(flip);
        };
        row("mono take", q7sim::Cfa::Mono, "320x240", false, "");
        row("RGGB take", q7sim::Cfa::RGGB, "320x240", false, "RGGB");
        row("GBRG take", q7sim::Cfa::GBRG, "320x240", false, "GBRG");
        row("BGGR take", q7sim::Cfa::BGGR, "320x240", false, "BGGR");
        row("GRBG take", q7sim::Cfa::GRBG, "320x240", false, "GRBG");
        row("GRBG odd size file", q7sim::Cfa::GRBG, "161x121", true, "GRBG", 90, "H");
        row("mono odd width file", q7sim::Cfa::Mono, "97x64", true, "", -90, "V");
        row("BGGR odd size file", q7sim::Cfa::BGGR, "63x45", true, "BGGR", 180, "HV");
    }

    void readByLibRaw()
    {
        QFETCH(int, cfa);
        QFETCH(QString, res);
        QFETCH(bool, fromFile);
        QFETCH(QString, pattern);
        QFETCH(int, rotate);
        QFETCH(QString, flip);
        const int width = res.section('x', 0, 0).toInt();
        const int height = res.section('x', 1, 1).toInt();
        PlaybackVornObject* source = nullptr;
        std::optional<q7sim::FrameParams> params;
        VornFileBytes::FileLayout layout;
        if (fromFile) {
            layout.width = width;
            layout.height = height;
            layout.frames = 8;
            layout.extra = {{"camera", QJsonObject{{"model", "Q7-2000X"}, {"serial", "S9"}}},
                            {"adjust", QJsonObject{{"cfa", cfa}, {"wb_r", 1.4}, {"wb_b", 1.8}}}};
            const QString file = m_dir.filePath(QStringLiteral("%1.vorn").arg(QTest::currentDataTag()));
            QVERIFY(VornFileBytes::write(file, VornFileBytes::build(layout)));
            VornApp::instance()->openVornFile(QUrl::fromLocalFile(file).toString());
            source = qobject_cast<VornFile*>(VornApp::instance()->vornObjModel()->last());
            QVERIFY(source);
            source->imgAdjModel()->setRotate(rotate);
            source->imgAdjModel()->setFlipH(flip.contains('H'));
            source->imgAdjModel()->setFlipV(flip.contains('V'));
        } else {
            q7sim::CameraConfig config;
            config.cfa = q7sim::Cfa(cfa);
            config.res = res;
            config.address = QStringLiteral("127.0.0.%1").arg(2 + m_cameras++);
            config.memoryBytes = 40ULL * (width * height + 32);
            q7sim::SimCamera* sim = m_sims.start(config);
            QVERIFY(sim);
            Take* take = SimCameras::recordedTake(sim, 100, 10);
            QVERIFY(take && (params = sim->takeFrameParams(take->takeId())));
            source = take;
        }
        const auto record = [&](qint64 fr) {
            return fromFile ? VornFileBytes::record(layout, fr)
                            : q7sim::FrameSynth::record(*params, fr, q7sim::XferBoth);
        };

        const QString folder = m_dir.filePath(QTest::currentDataTag());
        const qint64 startFr = source->firstFrame() + 3;
        SaveJob* job = VornApp::instance()->saveManager()->createSaveJob(
            source, startFr, 2, SaveManager::FileDest, Util::FormatDng, Util::CodecDng, 0, 0, "raw", folder,
            SaveJob::DontDeleteClose);
        QVERIFY(job);
        QVERIFY(QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 20000));
        QVERIFY2(job->state() == SaveJob::Done, qPrintable(job->error()));
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), (QStringList{"raw_0.dng", "raw_1.dng"}));
        // The dialog's estimate holds the files, tags and all, and little more.
        const qint64 written =
            QFileInfo(folder + "/raw_0.dng").size() + QFileInfo(folder + "/raw_1.dng").size();
        const qint64 estimate =
            VornApp::instance()->saveManager()->estFileSize(source, 2, Util::FormatDng, Util::CodecDng);
        QVERIFY2(estimate >= written && estimate < written + 8192,
                 qPrintable(QString::number(estimate - written)));

        const ImgAdjUtil* util = VornApp::instance()->imgAdjUtil();
        const ImgAdjBlock block = source->imgAdjModel()->block();
        for (int k = 0; k < 2; ++k) {
            const qint64 fr = startFr + k;
            const QByteArray bytes = record(fr);
            const QByteArray codes = bytes.mid(32);
            const QString path = QDir(folder).filePath(QStringLiteral("raw_%1.dng").arg(k));

            const QString identified = QString::fromUtf8(run("raw-identify", {"-v", path}));
            QVERIFY2(identified.contains(
                         QRegularExpression(QStringLiteral("Full size: +%1 x %2\n").arg(width).arg(height))),
                     qPrintable(identified));
            QVERIFY(identified.contains(pattern.isEmpty() ? "Raw colors: 1" : "Raw colors: 3"));
            QCOMPARE(identified.contains("Filter pattern: " + pattern.repeated(4)), !pattern.isEmpty());

            // The raw samples: the camera's codes through the program's expansion.
            QVERIFY(!run("unprocessed_raw", {path}).isNull());
            QFile pgmFile(path + ".pgm");
            QVERIFY(pgmFile.open(QIODevice::ReadOnly));
            const Pnm raw = readPnm(pgmFile.readAll());
            QCOMPARE(raw.width, width);
            QList<quint16> expanded(width * height);
            util->expand(codes, expanded);
            QCOMPARE(raw.samples, expanded);

            // Timing, frame number, camera and levels.
            const QJsonObject tags =
                QJsonDocument::fromJson(
                    run("exiftool", {"-j", "-n", "-DateTimeOriginal", "-SubSecTimeOriginal", "-FrameRate",
                                     "-Make", "-Model", "-CameraSerialNumber", "-ExposureTime",
                                     "-ImageDescription", "-BlackLevel", "-WhiteLevel", path}))
                    .array()
                    .at(0)
                    .toObject();
            // Time stamp seconds in bits 0..24 of the record's first word,
            // nanoseconds in bits 0..29 of the second (at most 999999999).
            const quint32 seconds = qFromLittleEndian<quint32>(bytes.constData()) & 0x1FFFFFF;
            const quint32 ns =
                qMin(qFromLittleEndian<quint32>(bytes.constData() + 4) & 0x3FFFFFFF, 999999999u);
            const QDateTime time = QDateTime::fromSecsSinceEpoch(
                qint64(source->yearOffsetSeconds() + seconds), QTimeZone::utc());
            QCOMPARE(tags["DateTimeOriginal"].toString(), time.toString("yyyy:MM:dd HH:mm:ss"));
            QCOMPARE(tags["SubSecTimeOriginal"].toVariant().toString().rightJustified(9, '0'),
                     QString::number(ns).rightJustified(9, '0'));
            const auto value = [source](const char* name) {
                return source->property(name).value<VornValue*>()->value();
            };
            const double frameRate = value("frRate").toDouble();
            QVERIFY(frameRate > 0);
            QVERIFY2(qAbs(tags["FrameRate"].toDouble() - frameRate) < frameRate * 1e-6,
                     qPrintable(QString::number(tags["FrameRate"].toDouble())));
            QCOMPARE(tags["Make"].toString(), QStringLiteral("Korvanstead"));
            QCOMPARE(tags["Model"].toString(), value("cameraModel").toString());
            QCOMPARE(tags["CameraSerialNumber"].toVariant().toString(), value("cameraSerial").toString());
            // Microseconds in the take, seconds in the file; none when unknown.
            const double exposure = value("expTime").toDouble() * 1e-6;
            QVERIFY2(exposure > 0 ? qAbs(tags["ExposureTime"].toDouble() - exposure) < exposure * 1e-6
                                  : !tags.contains("ExposureTime"),
                     qPrintable(QString::number(tags["ExposureTime"].toDouble())));
            QCOMPARE(tags["ImageDescription"].toString(), QStringLiteral("Frame %1").arg(fr));
            QCOMPARE(tags["BlackLevel"].toInt(-1), 0);
            QCOMPARE(tags["WhiteLevel"].toInt(), 65535);

            // LibRaw's development with the file's white balance, colour
            // matrix (into linear sRGB) and orientation is the program's
            // picture; its bilinear demosaicing differs from OpenCV's only in
            // rounding, except on the border rows and columns.
            const Pnm developed =
                readPnm(run("dcraw_emu", {"-w", "-4", "-c", "0", "-q", "0", "-o", "1", "-Z", "-", path}));
            VornFrame frame(&block, nullptr, util);
            QVERIFY(
                frame.setFrameData(bytes, width, height, width * height, 32, source->yearOffsetSeconds()));
            const int shownWidth = frame.width();
            QCOMPARE(developed.width, shownWidth);
            QCOMPARE(developed.height, int(frame.height()));
            QCOMPARE(developed.channels, pattern.isEmpty() ? 1 : 3);
            int worst = 0;
            for (int y = 1; y < developed.height - 1; ++y) {
                for (int x = 1; x < shownWidth - 1; ++x) {
                    for (int c = 0; c < developed.channels; ++c) {
                        const int ours = frame.clean().at((y * shownWidth + x) * 3 + (2 - c));
                        const int theirs =
                            developed.samples.at((y * shownWidth + x) * developed.channels + c);
                        worst = qMax(worst, qAbs(ours - theirs));
                    }
                }
            }
            QVERIFY2(worst <= 8, qPrintable(QStringLiteral("differs by up to %1").arg(worst)));
        }
    }
};

VORN_TEST_MAIN(TestDngFile)
#include "tst_dngfile.moc"
