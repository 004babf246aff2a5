// Saves that fail, in every format. Whatever ends a save (the transfer cut or
// refused, the camera or the take gone, a full disk, a folder that cannot be
// written, a camera announcing frames of another size), what it leaves on
// disk holds exactly the frames its error text says it kept, every one of
// them intact, and nothing at all when nothing was written.
#include "Camera.h"
#include "FrameSynth.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornFile.h"
#include "VornFileBytes.h"
#include "VornTestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStorageInfo>

using q7sim::Fault;

namespace {

struct Output
{
    const char* name;
    Util::Format format;
    Util::Codec codec;
};

const Output Outputs[] = {
    {"vorn", Util::FormatVorn, Util::CodecVorn}, {"tiff", Util::FormatTiff, Util::CodecRaw_RGB24},
    {"csv", Util::FormatCsv, Util::CodecCsv},    {"avi", Util::FormatAvi, Util::CodecRaw_BGR24},
    {"h264", Util::FormatMp4, Util::CodecH264},  {"av1", Util::FormatMp4, Util::CodecAV1_YUV420P},
};

enum Failure {
    TransferCut,
    TransferEndsEarly,
    CameraRefuses,
    RefusesPlainly,
    NotFrames,
    CameraGone,
    TakeDeleted,
    DiskFull
};

constexpr int Width = 128;
constexpr int Height = 64;
constexpr qint64 FrCnt = 100;

bool ended(const SaveJob* job)
{
    return job->state() >= SaveJob::Done;
}

qint64 residentBytes()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+) kB"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong() * 1024;
}

// Frames in a video as ffprobe counts them; -1 when it cannot read it.
int videoFrames(const QString& path)
{
    QProcess ffprobe;
    ffprobe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                              "stream=nb_read_frames", "-of", "csv=p=0", path});
    if (!ffprobe.waitForFinished(60000) || ffprobe.exitCode() != 0)
        return -1;
    bool ok = false;
    const int frames = ffprobe.readAllStandardOutput().trimmed().toInt(&ok);
    return ok ? frames : -1;
}

} // namespace

class TestSaveFaults : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QTemporaryDir m_dir;
    VornApp* m_app = nullptr;
    q7sim::SimCamera* m_sim = nullptr;
    QPointer<Camera> m_camera;
    int m_caseNumber = 0;

    QString newFolder(const QString& base)
    {
        const QString folder = QDir(base).filePath(QStringLiteral("case%1").arg(++m_caseNumber));
        return QDir().mkpath(folder) ? folder : QString();
    }

    Take* takeWithFrames()
    {
        if (!m_camera && !(m_camera = SimCameras::connect(m_sim)))
            return nullptr;
        // A camera connected anew loads its takes' values first.
        (void)QTest::qWaitFor(
            [this] {
                auto* first = qobject_cast<Take*>(m_camera->savedTakes()->get(0));
                return m_camera->savedTakes()->count() == 0 || (first && first->valuesInit());
            },
            5000);
        for (int i = 0; i < m_camera->savedTakes()->count(); ++i) {
            auto* take = qobject_cast<Take*>(m_camera->savedTakes()->get(i));
            if (take && take->valuesInit())
                return take;
        }
        const int id = SimCameras::recordTake(m_sim, 30, int(FrCnt));
        Take* take = nullptr;
        (void)QTest::qWaitFor(
            [&] {
                for (Take* t : *m_camera->takes())
                    if (t->takeId() == id && t->savedOpened() && t->valuesInit())
                        take = t;
                return take != nullptr;
            },
            5000);
        return take;
    }

    SaveJob* save(Take* take, const Output& output, const QString& folder, qint64 frCnt = FrCnt)
    {
        return m_app->saveManager()->createSaveJob(take, take->firstFrame(), frCnt, SaveManager::FileDest,
                                                   output.format, output.codec, 30, 30, "out", folder,
                                                   SaveJob::DontDeleteClose);
    }

    // The frames the job left in its folder, each checked against what the
    // camera sent; -1 (with a failed check) when the output is not sound.
    qint64 framesOnDisk(const SaveJob* job, const Output& output, const q7sim::FrameParams& params)
    {
        const QString folder = job->outputName().folder();
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        if (output.format == Util::FormatTiff) {
            for (int i = 0; i < files.size(); ++i) {
                const QString expected = QStringLiteral("out_%1.tiff").arg(i, 3, 10, QLatin1Char('0'));
                QImageReader reader(QDir(folder).filePath(files.at(i)));
                if (files.at(i) != expected || reader.read().size() != QSize(Width, Height)) {
                    qWarning() << "image" << files.at(i) << "is not image" << i << reader.errorString();
                    return -1;
                }
            }
            return files.size();
        }
        if (files.isEmpty())
            return 0;
        const QString path = QDir(folder).filePath(files.first());
        if (files.size() != 1 || files.first() != job->fileName() + "." + job->fileExt()) {
            qWarning() << "unexpected files" << files;
            return -1;
        }
        switch (output.format) {
        case Util::FormatVorn:
            return vornFrames(path, job->startFr(), params);
        case Util::FormatCsv:
            return csvRows(path, job->startFr());
        default:
            return videoFrames(path);
        }
    }

    // The file opens, its header counts exactly the records it holds and each
    // record is the camera's.
    qint64 vornFrames(const QString& path, qint64 startFr, const q7sim::FrameParams& params)
    {
        VornFile file(path, nullptr);
        if (!file.open() || file.firstFrame() != startFr)
            return -1;
        const qint64 frames = file.lastFrame() - file.firstFrame() + 1;
        QFile raw(path);
        if (!raw.open(QIODevice::ReadOnly) || frames != file.frCntValue()->value().toLongLong())
            return -1;
        const QByteArray bytes = raw.readAll();
        const qint64 record = q7sim::FrameSynth::recordSize(params, q7sim::XferBoth);
        if (bytes.size() != qint64(file.dataOffset()) + frames * record)
            return -1;
        for (qint64 i = 0; i < frames; ++i)
            if (bytes.mid(file.dataOffset() + i * record, record) !=
                q7sim::FrameSynth::record(params, startFr + i, q7sim::XferBoth))
                return -1;
        return frames;
    }

    static qint64 csvRows(const QString& path, qint64 startFr)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray text = file.readAll();
        if (!text.endsWith("\r\n"))
            return -1; // a row cut short
        const QList<QByteArray> lines = text.chopped(2).split('\n');
        for (int i = 1; i < lines.size(); ++i)
            if (!lines.at(i).startsWith(QByteArray::number(startFr + i - 1) + ","))
                return -1;
        return lines.size() - 1;
    }

    // Leaves about `bytes` free on the small disk.
    static bool fillSmallDisk(const QString& folder, qint64 bytes)
    {
        QFile filler(QDir(folder).filePath(".filler"));
        const qint64 size = QStorageInfo(folder).bytesAvailable() - bytes;
        return filler.open(QIODevice::WriteOnly) && filler.write(QByteArray(size, '\0')) == size;
    }

private slots:
    void initTestCase()
    {
        m_app = VornApp::instance();
        VornTest::useNetwork(&m_nam);
        QVERIFY(!qEnvironmentVariableIsEmpty("VORN_SMALL_DISK"));
        q7sim::CameraConfig config;
        config.res = QStringLiteral("%1x%2").arg(Width).arg(Height);
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        m_camera = SimCameras::connect(m_sim);
        QVERIFY(m_camera);
        m_camera->partition(4);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->takes()->count(), 4, 5000);
    }

    void failures_data()
    {
        QTest::addColumn<int>("failure");
        QTest::addColumn<int>("output");
        const char* names[] = {
            "transfer cut", "transfer ends early", "camera refuses", "camera refuses plainly",
            "not frames",   "camera gone",         "take deleted",   "disk full"};
        for (int failure = TransferCut; failure <= DiskFull; ++failure)
            for (int output = 0; output < int(std::size(Outputs)); ++output)
                QTest::addRow("%s, %s", names[failure], Outputs[output].name) << failure << output;
    }

    void failures()
    {
        QFETCH(int, failure);
        QFETCH(int, output);
        const Output& out = Outputs[output];
        Take* take = takeWithFrames();
        QVERIFY(take);
        const int takeId = take->takeId();
        const auto params = m_sim->takeFrameParams(takeId);
        QVERIFY(params);
        const QString folder =
            newFolder(failure == DiskFull ? qEnvironmentVariable("VORN_SMALL_DISK") : m_dir.path());
        QVERIFY(!folder.isEmpty());

        QString reason;
        qint64 keptAtLeast = 0;
        qint64 keptExactly = -1;
        switch (failure) {
        case TransferCut:
            m_sim->addFault(Fault::xferDropMidRecord(12));
            reason = "connection lost";
            keptExactly = 12;
            break;
        case TransferEndsEarly:
            m_sim->addFault(Fault::xferEndEarly(7));
            reason = "short transfer";
            keptExactly = 7;
            break;
        case CameraRefuses:
            m_sim->addFault(Fault::httpError(503, true, "/xfer"));
            reason = "simulated camera fault";
            keptExactly = 0;
            break;
        case RefusesPlainly:
            m_sim->addFault(Fault::httpError(503, false, "/xfer"));
            reason = "HTTP 503";
            keptExactly = 0;
            break;
        case NotFrames:
            m_sim->addFault(Fault::malformedJson("/xfer"));
            reason = "bad frame size from camera";
            keptExactly = 0;
            break;
        case CameraGone:
        case TakeDeleted:
            // Frames trickle in, so that the save is cut off in the middle.
            m_sim->addFault(Fault::xferPieces(2048, 10));
            reason = failure == CameraGone ? "camera disconnected" : "take deleted or closed";
            keptAtLeast = 5;
            break;
        case DiskFull: {
            // Room for the start of each output: a few frames, or a part of the
            // CSV's rows; a video then cannot be completed at all.
            const qint64 room = out.format == Util::FormatVorn  ? 4096 + 5 * 8224
                                : out.format == Util::FormatCsv ? 4096
                                : out.format == Util::FormatMp4 ? 8192
                                                                : 100000;
            QVERIFY(fillSmallDisk(folder, room));
            keptAtLeast = out.format == Util::FormatVorn || out.format == Util::FormatCsv ||
                                  out.format == Util::FormatTiff
                              ? 1
                              : 0;
            reason = "write error (No space left on device)";
            break;
        }
        }

        SaveJob* job = save(take, out, folder);
        QVERIFY(job);
        if (failure == CameraGone || failure == TakeDeleted) {
            QTRY_VERIFY_WITH_TIMEOUT(job->progress() >= 5.0 || ended(job), 20000);
            QCOMPARE(job->state(), SaveJob::Saving);
            if (failure == CameraGone)
                m_camera->disconnectCamera();
            else
                take->deleteTake();
        }
        QTRY_VERIFY_WITH_TIMEOUT(ended(job), 30000);
        m_sim->clearFaults();
        QCOMPARE(job->state(), SaveJob::Error);

        QFile::remove(QDir(folder).filePath(".filler"));
        // The text says what happened and what the user finds on disk: the
        // frames kept, or an output that could not be finished and is gone.
        const QRegularExpressionMatch said =
            QRegularExpression(
                QStringLiteral("^(.*) after (\\d+) of %1 frames(; .* was removed)?$").arg(FrCnt))
                .match(job->error());
        QVERIFY2(said.hasMatch() && said.captured(1).startsWith(reason), qPrintable(job->error()));
        const qint64 saved = said.captured(2).toLongLong();
        const bool removed = said.lastCapturedIndex() == 3;
        const qint64 kept = framesOnDisk(job, out, *params);
        QVERIFY2(kept >= 0, qPrintable(job->error()));
        QCOMPARE(kept, removed ? 0 : saved);
        if (keptExactly >= 0)
            QCOMPARE(saved, keptExactly);
        QVERIFY2(kept >= keptAtLeast && kept < FrCnt, qPrintable(job->error()));

        // The camera is usable afterwards: the same save now succeeds.
        if (failure == CameraGone)
            QTRY_VERIFY_WITH_TIMEOUT(m_camera.isNull(), 5000);
        take = failure == CameraGone || failure == TakeDeleted ? takeWithFrames() : take;
        QVERIFY(take);
        SaveJob* again = save(take, Outputs[0], newFolder(m_dir.path()), 3);
        QTRY_VERIFY_WITH_TIMEOUT(ended(again), 10000);
        QCOMPARE(again->state(), SaveJob::Done);
    }

    void destinations_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("codec");
        const QList<QPair<Util::Format, Util::Codec>> all = {
            {Util::FormatVorn, Util::CodecVorn},       {Util::FormatCsv, Util::CodecCsv},
            {Util::FormatTiff, Util::CodecRaw_RGB24},  {Util::FormatTiff, Util::CodecRaw_Gray8},
            {Util::FormatTiff, Util::CodecRaw_Gray16}, {Util::FormatAvi, Util::CodecRaw_BGR24},
            {Util::FormatAvi, Util::CodecRaw_Gray8},   {Util::FormatMp4, Util::CodecH264},
            {Util::FormatMp4, Util::CodecAV1_YUV420P}, {Util::FormatMp4, Util::CodecAV1_YUV420P10},
        };
        for (const auto& [format, codec] : all)
            QTest::addRow("%s %d", qPrintable(Util::formatExtension(format)), int(codec))
                << int(format) << int(codec);
    }

    // A folder that does not exist yet is made; one that cannot be written
    // ends the save at once with the system's reason, without holding up the
    // program.
    void destinations()
    {
        QFETCH(int, format);
        QFETCH(int, codec);
        const Output out{"", Util::Format(format), Util::Codec(codec)};
        Take* take = takeWithFrames();
        QVERIFY(take);

        const QString missing = m_dir.filePath(QStringLiteral("new%1/deeper").arg(++m_caseNumber));
        SaveJob* created = save(take, out, missing, 3);
        QTRY_VERIFY_WITH_TIMEOUT(ended(created), 20000);
        QCOMPARE(created->state(), SaveJob::Done);
        QVERIFY(!QDir(missing).entryList(QDir::Files).isEmpty());

        QElapsedTimer clock;
        clock.start();
        SaveJob* refused = save(take, out, qEnvironmentVariable("VORN_READ_ONLY_DIR"), 3);
        const qint64 startMs = clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(ended(refused), 5000);
        qInfo("ended in Error after %lld ms (the call returned after %lld ms)", clock.elapsed(), startMs);
        QCOMPARE(refused->state(), SaveJob::Error);
        QCOMPARE(refused->error(), QStringLiteral("can't open file for writing (Read-only file system)"));
        QVERIFY2(clock.elapsed() < 1000, "within a second");
        const QString inReadOnly = QDir(qEnvironmentVariable("VORN_READ_ONLY_DIR")).filePath("sub");
        SaveJob* noFolder = save(take, out, inReadOnly, 3);
        QTRY_VERIFY_WITH_TIMEOUT(ended(noFolder), 5000);
        QCOMPARE(noFolder->error(), QStringLiteral("can't create folder (Read-only file system)"));
    }

    void badFrameSizes_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<QString>("takeDocument"); // replaces the take's "res" when set
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<qint64>("imgSize");
        QTest::addColumn<qint64>("metaSize");
        QTest::addColumn<bool>("sentAsAnnounced"); // records of that geometry, not just headers
        const qint64 huge = 65535LL * 65535;
        for (int output : {0, 1, 3}) {
            const char* name = Outputs[output].name;
            QTest::addRow("65535 x 65535, %s", name)
                << output << QString() << 65535 << 65535 << huge << qint64(32) << false;
            QTest::addRow("size not the take's, %s", name)
                << output << QString() << Width << Height << qint64(4000) << qint64(32) << false;
            QTest::addRow("metadata not the take's, %s", name)
                << output << QString() << Width << Height << qint64(Width * Height) << qint64(64) << false;
            QTest::addRow("another geometry, %s", name)
                << output << QString() << 64 << 32 << qint64(64 * 32) << qint64(32) << true;
            QTest::addRow("take of 65535 x 65535, %s", name)
                << output << QStringLiteral("65535x65535") << 0 << 0 << qint64(0) << qint64(0) << false;
        }
    }

    // A camera announcing frames the take does not have: the save ends at
    // once with a clear error, before anything is sized from the numbers.
    void badFrameSizes()
    {
        QFETCH(int, output);
        QFETCH(QString, takeDocument);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(qint64, imgSize);
        QFETCH(qint64, metaSize);
        QFETCH(bool, sentAsAnnounced);
        Take* take = takeWithFrames();
        QVERIFY(take);
        VornValue* resValue = take->property("res").value<VornValue*>();
        const QString res = resValue->value().toString();
        // As though the camera's take document said so.
        if (!takeDocument.isEmpty())
            resValue->setJsonValue(takeDocument);
        else if (sentAsAnnounced)
            m_sim->addFault(Fault::xferGeometry(width, height));
        else
            m_sim->addFault(Fault::xferHeaders(width, height, imgSize, metaSize));
        const qint64 before = residentBytes();
        QElapsedTimer clock;
        clock.start();
        const QString folder = newFolder(m_dir.path());
        SaveJob* job = save(take, Outputs[output], folder);
        QTRY_VERIFY_WITH_TIMEOUT(ended(job), 5000);
        const qint64 ms = clock.elapsed();
        const qint64 grown = residentBytes() - before;
        m_sim->clearFaults();
        resValue->setJsonValue(res);
        qInfo("ended after %lld ms, resident memory grew by %lld kB", ms, grown / 1024);
        QCOMPARE(job->state(), SaveJob::Error);
        QVERIFY2(job->error().startsWith("bad frame size from camera"), qPrintable(job->error()));
        QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());
        QVERIFY2(ms < 1000, "within a second");
        QVERIFY2(grown < 100 << 20, "memory bounded");
    }
};

VORN_TEST_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
