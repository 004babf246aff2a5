// Exports of the same 300 frames at 1280 x 1024 colour (a take from a simulated
// camera, saved once as a VORN file and exported from there) to MP4 AV1
// (quality 30), MP4 H.264 (quality 20), AVI BGR24 and TIFF RGB24, in frames
// per second. Beside them the ffmpeg command-line tool encodes the same
// processed frames (raw 16-bit BGR from a file) with the same AV1 settings;
// the ratio of the two times is printed (target: the export takes at most
// 1.15 times as long). Target for H.264: at least 40 frames per second; with
// all four burned-in lines at least 80 % of its speed without them.
//
// Run inside the network sandbox: scripts/bench export

#include "BenchSupport.h"
#include "BurnInRenderer.h"
#include "FrameSynth.h"
#include "ImgAdjModel.h"
#include "SaveManager.h"
#include "SimCamera.h"
#include "Take.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornFrame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int Frames = 300;
constexpr int Width = 1280;
constexpr int Height = 1024;

// CPU seconds (user and system) of this process, or of its finished children.
double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Seconds a save job took, or a negative number when it did not end Done.
double runJob(SaveManager* manager, PlaybackVornObject* source, qint64 start, Util::Format format,
              Util::Codec codec, int quality, const QString& name, const QString& folder, int burnIn = 0)
{
    QElapsedTimer clock;
    clock.start();
    SaveJob* job = manager->createSaveJob(source, start, Frames, SaveManager::FileDest, format, codec, 30,
                                          quality, name, folder, SaveJob::DontDeleteClose, burnIn);
    if (!job)
        return -1;
    bench::waitFor([job] { return job->state() >= SaveJob::Done; }, 1800000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (job->state() != SaveJob::Done) {
        fprintf(stderr, "%s ended %d: %s\n", qPrintable(name), int(job->state()), qPrintable(job->error()));
        return -1;
    }
    return seconds;
}

double runProcess(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    bench::waitFor([&process] { return process.state() == QProcess::NotRunning; }, 1800000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? seconds : -1;
}

} // namespace

int main(int argc, char** argv)
{
    Q_UNUSED(argc)
    bench::QuietApp quiet(argv);
    VornApp& app = quiet.app();
    QNetworkAccessManager& nam = quiet.nam();
    QTemporaryDir out(QDir::current().filePath(QStringLiteral("bench-export-XXXXXX")));

    q7sim::CameraConfig config;
    config.res = QStringLiteral("1280x1024");
    config.memoryBytes = 440ULL * (Width * Height + 64);
    q7sim::SimCamera sim(config);
    if (!sim.start()) {
        fprintf(stderr, "simulated camera did not start (run inside scripts/sandbox): %s\n",
                qPrintable(sim.errorString()));
        return 1;
    }
    Take* take = bench::recordTake(app, nam, config, 420);
    if (!take)
        return 1;
    SaveManager* manager = app.saveManager();

    // The frames once as a VORN file: the exports read the disk, not the camera.
    if (runJob(manager, take, take->firstFrame(), Util::FormatVorn, Util::CodecVorn, 0, "source",
               out.path()) < 0)
        return 1;
    app.openVornFile(QUrl::fromLocalFile(out.filePath("source.vorn")).toString());
    auto* file = qobject_cast<VornFile*>(app.selectedVornObject());
    if (!file)
        return 1;
    file->pause();
    app.setNullVornObject();

    // The processed frames as raw 16-bit BGR for the ffmpeg command line.
    const QString raw = out.filePath("frames.bgr48");
    {
        const auto params = sim.takeFrameParams(take->takeId());
        const ImgAdjBlock block = file->imgAdjModel()->block();
        VornFrame frame(&block);
        QFile rawFile(raw);
        if (!params || !rawFile.open(QIODevice::WriteOnly))
            return 1;
        const quint32 metaSize = quint32(take->metaSizeValue()->value().toUInt());
        qint64 processingNs = 0;
        qint64 burnInNs = 0;
        BurnInRenderer burnIn({BurnInOptions::AllLines, BurnInOptions::BottomLeft}, QSize(Width, Height),
                              QStringLiteral("Bench 2 \u00b7 Take 3"), 1e-3);
        for (int k = 0; k < Frames; ++k) {
            const QByteArray record =
                q7sim::FrameSynth::record(*params, take->firstFrame() + k, q7sim::XferBoth);
            QElapsedTimer clock;
            clock.start();
            frame.setFrameData(record, Width, Height, Width * Height, metaSize, file->yearOffsetSeconds());
            processingNs += clock.nsecsElapsed();
            QImage picture8 = frame.image();
            clock.restart();
            burnIn.draw(&picture8, burnIn.linesFor(take->firstFrame() + k, frame));
            burnInNs += clock.nsecsElapsed();
            const QList<quint16>& picture = frame.display();
            rawFile.write(reinterpret_cast<const char*>(picture.constData()), picture.size() * 2);
        }
        printf("  %-24s %7.1f frames/s\n", "processing alone", Frames / (processingNs / 1e9));
        printf("  %-24s %7.2f ms/frame (all four lines)\n", "burn-in alone", burnInNs / 1e6 / Frames);
    }

    const qint64 first = file->firstFrame();
    struct Export
    {
        const char* what;
        Util::Format format;
        Util::Codec codec;
        int quality;
        int burnIn = 0;
    };
    const QList<Export> exports = {
        {"MP4 AV1, quality 30", Util::FormatMp4, Util::CodecAV1_YUV420P, 30},
        {"MP4 H.264, quality 20", Util::FormatMp4, Util::CodecH264, 20},
        {"MP4 H.264 + burn-in", Util::FormatMp4, Util::CodecH264, 20, BurnInOptions::AllLines},
        {"AVI BGR24", Util::FormatAvi, Util::CodecRaw_BGR24, 0},
        {"TIFF RGB24", Util::FormatTiff, Util::CodecRaw_RGB24, 0},
    };
    printf("%d frames of %dx%d colour, exported from a VORN file\n", Frames, Width, Height);
    double av1Seconds = 0;
    double av1Cpu = 0;
    double h264Fps = 0;
    double burnInFps = 0;
    // VORN_BENCH_EXPORTS=H.264 (say) runs only the exports whose name has it.
    const QString only = qEnvironmentVariable("VORN_BENCH_EXPORTS");
    for (int i = 0; i < exports.size(); ++i) {
        const Export& e = exports[i];
        if (!QString::fromLatin1(e.what).contains(only))
            continue;
        const QString folder = out.filePath(QStringLiteral("export%1").arg(i));
        QDir().mkpath(folder);
        const double cpuBefore = cpuSeconds(RUSAGE_SELF);
        const double seconds =
            runJob(manager, file, first, e.format, e.codec, e.quality, "export", folder, e.burnIn);
        if (seconds < 0)
            return 1;
        const double cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
        printf("  %-24s %7.1f frames/s  (%.2f s, %.2f s of CPU)\n", e.what, Frames / seconds, seconds, cpu);
        if (i == 0) {
            av1Seconds = seconds;
            av1Cpu = cpu;
        }
        if (i == 1)
            h264Fps = Frames / seconds;
        if (i == 2)
            burnInFps = Frames / seconds;
        QDir(folder).removeRecursively();
    }

    if (h264Fps > 0 && burnInFps > 0)
        printf("  H.264 with burn-in        %5.0f %% of the speed without  (target >= 80 %%)\n",
               100 * burnInFps / h264Fps);
    if (!only.isEmpty())
        return 0;
    const double cli = runProcess("ffmpeg", {"-y",
                                             "-v",
                                             "error",
                                             "-f",
                                             "rawvideo",
                                             "-pix_fmt",
                                             "bgr48le",
                                             "-s",
                                             QStringLiteral("%1x%2").arg(Width).arg(Height),
                                             "-r",
                                             "30",
                                             "-i",
                                             raw,
                                             "-c:v",
                                             "libsvtav1",
                                             "-crf",
                                             "30",
                                             "-preset",
                                             "5",
                                             "-color_primaries",
                                             "bt709",
                                             "-pix_fmt",
                                             "yuv420p",
                                             out.filePath("cli.mp4")});
    if (cli < 0) {
        fprintf(stderr, "ffmpeg failed\n");
        return 1;
    }
    const double cliCpu = cpuSeconds(RUSAGE_CHILDREN);
    printf("  %-24s %7.1f frames/s  (%.2f s, %.2f s of CPU)\n", "ffmpeg CLI, AV1", Frames / cli, cli, cliCpu);
    // CPU time is the fairer figure when something else runs on the machine.
    printf("  AV1 export / ffmpeg CLI   %.2f in time, %.2f in CPU time  (target <= 1.15)\n", av1Seconds / cli,
           av1Cpu / cliCpu);
    printf("  H.264 export              %7.1f frames/s  (target >= 40)\n", h264Fps);
    QFile::remove(raw);
    return 0;
}
