// Saving as VORN files, each against the plain copy of the same bytes: a
// 1280 x 1024 take from a simulated camera (bandwidth unlimited, loopback)
// against curl of the same /xfer range into a file, and a VORN file of more
// than 1 GB saved again whole against cp of the file. Prints MB/s, the
// ratio to the plain copy (target at least 0.8) and how far the process's
// memory grows while the long save runs (one chunk of ten frames expected).
//
// Then the memory of long saves whose writer is slower than the link: a
// take of more than 1 GB from a camera paced like gigabit Ethernet saved as
// VORN, TIFF and AV1 MP4. The transfer waits for the writer, so the peak
// growth of resident memory stays below 100 MB whatever the format. AV1 runs
// for 30 s and is then cancelled: the link would have brought the whole take
// in about 10 s, so without that waiting it would all be in memory by then.
//
// Run inside the network sandbox: scripts/bench save

#include "BenchSupport.h"
#include "FrameXfer.h"
#include "SaveManager.h"
#include "SimCamera.h"
#include "Take.h"
#include "VideoEncoder.h"
#include "VornApp.h"
#include "VornFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

bool finished(const SaveJob* job)
{
    return job->state() == SaveJob::Done || job->state() == SaveJob::Cancelled ||
           job->state() == SaveJob::Error;
}

struct Timed
{
    double seconds = 0;
    bool ok = false;
};

// Runs a job to its end, or for maxMs and then cancels it; peak is the
// highest resident size seen meanwhile, halfway that seen until the save was
// half done (in frames, or in time when it is cut short).
Timed runJob(SaveManager* manager, PlaybackVornObject* source, qint64 start, qint64 count,
             const QString& name, const QString& folder, qint64* peak, Util::Format format = Util::FormatVorn,
             Util::Codec codec = Util::CodecVorn, int maxMs = 600000, qint64* framesSaved = nullptr,
             qint64* halfway = nullptr)
{
    sync();
    QElapsedTimer clock;
    clock.start();
    SaveJob* job = manager->createSaveJob(source, start, count, SaveManager::FileDest, format, codec, 30, 30,
                                          name, folder, SaveJob::DontDeleteClose);
    Timed result;
    if (!job)
        return result;
    QTimer sampler;
    sampler.setInterval(10);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        *peak = qMax(*peak, bench::residentBytes());
        if (halfway && job->progress() < 50 && clock.elapsed() * 2 < maxMs)
            *halfway = *peak;
    });
    sampler.start();
    bench::waitFor([job] { return finished(job); }, maxMs);
    result.seconds = clock.nsecsElapsed() / 1e9;
    if (framesSaved)
        *framesSaved = qint64(job->progress() * count / 100 + 0.5);
    if (!finished(job))
        job->cancel(); // the time is up: enough to see whether memory grows
    result.ok = job->state() == SaveJob::Done || job->state() == SaveJob::Cancelled;
    if (!result.ok)
        fprintf(stderr, "save %s ended %d: %s\n", qPrintable(name), int(job->state()),
                qPrintable(job->error()));
    return result;
}

Timed runProcess(const QString& program, const QStringList& arguments)
{
    sync();
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    // The simulated camera answers from this process's event loop.
    bench::waitFor([&process] { return process.state() == QProcess::NotRunning; }, 600000);
    Timed result;
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!result.ok)
        fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
    return result;
}

Timed best(const Timed& a, const Timed& b)
{
    if (!a.ok)
        return b;
    return (b.ok && b.seconds < a.seconds) ? b : a;
}

void report(const char* what, qint64 bytes, const Timed& save, const Timed& plain, const char* plainName)
{
    const double mb = bytes / 1e6;
    const double saveRate = mb / save.seconds;
    const double plainRate = mb / plain.seconds;
    printf("%s: %.0f MB\n", what, mb);
    printf("  save              %7.1f MB/s  (%.2f s)\n", saveRate, save.seconds);
    printf("  %-17s %7.1f MB/s  (%.2f s)\n", plainName, plainRate, plain.seconds);
    printf("  ratio             %7.2f       (target >= 0.80)\n", saveRate / plainRate);
}

// Resident growth of an AV1 encoder alone for the paced take's frames, in a
// process of its own: its working memory, which no save can do without.
int av1EncoderAlone(int frames)
{
    QTemporaryDir dir;
    VideoEncoder encoder(dir.filePath(QStringLiteral("alone.mp4")), 1280, 1024, Util::FormatMp4,
                         Util::CodecAV1_YUV420P, 30, 30);
    const qint64 before = bench::residentBytes();
    qint64 peak = before;
    if (!encoder.open())
        return 1;
    QList<quint16> picture(1280 * 1024 * 3);
    for (int i = 0; i < frames; ++i) {
        for (qsizetype p = 0; p < picture.size(); ++p)
            picture[p] = quint16((p * 7 + i * 4099) & 0xffff);
        encoder.encode(picture);
        peak = qMax(peak, bench::residentBytes());
    }
    encoder.close();
    printf("%lld\n", peak - before);
    return 0;
}

// Long saves from a camera paced like gigabit Ethernet, in formats whose
// writers are slower than the link. Memory is sampled through each save:
// the peak growth, and the growth over the second half of the save, which
// shows whether it grows with the range.
bool pacedSaves(VornApp& app, QNetworkAccessManager& nam, const QTemporaryDir& out)
{
    q7sim::CameraConfig config;
    config.address = QStringLiteral("127.0.0.3");
    config.res = QStringLiteral("1280x1024");
    config.xferBytesPerSecond = 940000000 / 8; // gigabit Ethernet's payload
    q7sim::SimCamera sim(config);
    if (!sim.start())
        return false;
    Take* take = bench::recordTake(app, nam, config, 800);
    if (!take)
        return false;
    const qint64 first = take->firstFrame();
    const qint64 count = take->lastFrame() - first + 1;
    const qint64 record = 1280 * 1024 + take->metaSizeValue()->value().toLongLong();
    printf("Paced take (940 Mbit/s): %lld frames, %.0f MB; growth of resident memory while saving "
           "(target < 100 MB)\n",
           count, count * record / 1e6);
    struct Run
    {
        const char* name;
        Util::Format format;
        Util::Codec codec;
        int maxMs;
    };
    const Run runs[] = {
        {"VORN", Util::FormatVorn, Util::CodecVorn, 600000},
        {"TIFF RGB24", Util::FormatTiff, Util::CodecRaw_RGB24, 600000},
        {"MP4 AV1", Util::FormatMp4, Util::CodecAV1_YUV420P, 30000},
    };
    qint64 av1Frames = 0;
    for (const Run& run : runs) {
        const QString folder = out.filePath(QString::fromLatin1(run.name).replace(' ', '-'));
        const qint64 before = bench::residentBytes();
        qint64 peak = before;
        qint64 halfway = before;
        qint64 frames = 0;
        const Timed saved = runJob(app.saveManager(), take, first, count, QStringLiteral("paced"), folder,
                                   &peak, run.format, run.codec, run.maxMs, &frames, &halfway);
        QDir(folder).removeRecursively();
        if (!saved.ok)
            return false;
        printf("  %-11s %5lld of %lld frames in %6.1f s (%6.1f MB/s from the camera)   peak %+7.1f MB, "
               "second half %+7.1f MB\n",
               run.name, frames, count, saved.seconds, frames * record / 1e6 / saved.seconds,
               (peak - before) / 1e6, (peak - halfway) / 1e6);
        if (run.format == Util::FormatMp4)
            av1Frames = frames;
    }
    QProcess alone;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BENCH_AV1_ALONE"), QString::number(av1Frames));
    alone.setProcessEnvironment(env);
    alone.start(QCoreApplication::applicationFilePath(), {});
    if (alone.waitForFinished(300000) && alone.exitCode() == 0)
        printf("  (the AV1 encoder alone, %lld frames of 1280 x 1024 in a process of its own: %+.1f MB)\n",
               av1Frames, alone.readAllStandardOutput().trimmed().toLongLong() / 1e6);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("BENCH_AV1_ALONE")) {
        QCoreApplication app(argc, argv);
        return av1EncoderAlone(qEnvironmentVariableIntValue("BENCH_AV1_ALONE"));
    }
    Q_UNUSED(argc)
    bench::QuietApp quiet(argv);
    VornApp& app = quiet.app();
    QNetworkAccessManager& nam = quiet.nam();
    QTemporaryDir out(QDir::current().filePath(QStringLiteral("bench-save-XXXXXX")));

    q7sim::CameraConfig config;
    config.res = QStringLiteral("1280x1024");
    q7sim::SimCamera sim(config);
    if (!sim.start()) {
        fprintf(stderr, "simulated camera did not start (run inside scripts/sandbox): %s\n",
                qPrintable(sim.errorString()));
        return 1;
    }
    const QString base = QStringLiteral("http://") + config.address;
    Take* take = bench::recordTake(app, nam, config, 800);
    if (!take)
        return 1;
    const qint64 first = take->firstFrame();
    const qint64 count = take->lastFrame() - first + 1;
    const qint64 record = 1280 * 1024 + take->metaSizeValue()->value().toLongLong();
    SaveManager* manager = app.saveManager();

    // Take -> VORN against curl of the same range. The disk of a virtual
    // machine answers unevenly, so each side runs twice, alternately, and
    // the faster run of each counts.
    qint64 peak = 0;
    const QString takeFile = out.filePath(QStringLiteral("take.vorn"));
    const QString curlFile = out.filePath(QStringLiteral("curl.bin"));
    const QStringList curlArgs{"-s",
                               "-f",
                               "-X",
                               "POST",
                               "-H",
                               "Content-Type: application/json",
                               "--data-binary",
                               QString::fromUtf8(FrameXfer::rangeBody(3, 0, take->takeId(), first, count)),
                               "-o",
                               curlFile,
                               base + "/xfer"};
    Timed takeSave, curl;
    for (int run = 0; run < 2; ++run) {
        const Timed plain = runProcess(QStringLiteral("curl"), curlArgs);
        const qint64 curlBytes = QFileInfo(curlFile).size();
        QFile::remove(curlFile);
        if (!plain.ok || curlBytes != record * count) {
            fprintf(stderr, "curl failed (%lld bytes)\n", curlBytes);
            return 1;
        }
        QFile::remove(takeFile);
        const Timed saved = runJob(manager, take, first, count, QStringLiteral("take"), out.path(), &peak);
        if (!saved.ok)
            return 1;
        curl = best(curl, plain);
        takeSave = best(takeSave, saved);
    }
    report("take -> VORN, 1280x1024", record * count, takeSave, curl, "curl of /xfer");

    // VORN -> VORN of the whole file against cp.
    app.openVornFile(QUrl::fromLocalFile(takeFile).toString());
    auto* file = qobject_cast<VornFile*>(app.selectedVornObject());
    if (!file) {
        fprintf(stderr, "saved take does not open\n");
        return 1;
    }
    // Opening selects and plays the file; the display would share the two
    // cores with the save.
    file->pause();
    app.setNullVornObject();
    const qint64 fileBytes = QFileInfo(takeFile).size();
    const qint64 before = bench::residentBytes();
    peak = before;
    const QString copyFile = out.filePath(QStringLiteral("copy.vorn"));
    const QString cpFile = out.filePath(QStringLiteral("cp.vorn"));
    Timed fileSave, cp, dd;
    for (int run = 0; run < 2; ++run) {
        const Timed plain = runProcess(QStringLiteral("cp"), {takeFile, cpFile});
        QFile::remove(cpFile);
        // dd copies through user space with read and write, as the save does;
        // cp lets the kernel copy.
        const Timed byDd =
            runProcess(QStringLiteral("dd"), {"if=" + takeFile, "of=" + cpFile, "bs=1M", "status=none"});
        QFile::remove(cpFile);
        dd = best(dd, byDd);
        const Timed saved = runJob(manager, file, first, count, QStringLiteral("copy"), out.path(), &peak);
        QFile::remove(copyFile);
        if (!plain.ok || !saved.ok)
            return 1;
        cp = best(cp, plain);
        fileSave = best(fileSave, saved);
    }
    report("VORN -> VORN", fileBytes, fileSave, cp, "cp of the file");
    printf("  dd bs=1M          %7.1f MB/s  (%.2f s; ratio of the save to it %.2f)\n",
           fileBytes / 1e6 / dd.seconds, dd.seconds, dd.seconds / fileSave.seconds);
    printf("  memory            %7.1f MB resident before, peak %.1f MB during the save (+%.1f MB; one chunk "
           "is %.1f MB)\n",
           before / 1e6, peak / 1e6, (peak - before) / 1e6, 10 * record / 1e6);
    if (fileBytes < 1000000000)
        printf("  (file below 1 GB: the take was shorter than asked)\n");
    file->close();
    return pacedSaves(app, nam, out) ? 0 : 1;
}
