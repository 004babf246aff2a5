// Several cameras as one rig: 1, 4, 8 and 16 simulated cameras connected to
// the program's Camera objects.
//
// - CPU use of the program while idle and polling (no camera selected, so no
//   live picture): the process's CPU time (getrusage, all its threads) over
//   10 s of wall time, as a share of one core (target below 5 % at 16).
//   The simulated cameras run in a child process, so the figure is the
//   program's alone.
// - Trigger All: the spread between the first and the last trigger request
//   reaching its camera, from the trigger time stamps the cameras recorded
//   (their clocks are the host's, to the nanosecond, once the program has
//   set them), over 5 triggers; median and worst (target <= 5 ms at 16).
//   Arrival includes the way through loopback and the simulators' threads,
//   so it bounds the spread of the requests leaving the program from above;
//   beside it the rig's own figure, from the first request to the last being
//   handed to the network.
// - One take from each of 4 cameras paced like gigabit Ethernet, saved as
//   VORN files at once: the aggregate rate against 0.8 x the lower of the
//   sum of the links and the disk (dd of the same bytes), with the peak
//   growth of resident memory. Four curls of the same ranges at once show
//   what the simulators deliver on this machine at all.
//
// Run inside the network sandbox: scripts/bench cameras

#include "BenchSupport.h"
#include "Camera.h"
#include "CameraRig.h"
#include "FrameXfer.h"
#include "SaveManager.h"
#include "SimCamera.h"
#include "Take.h"
#include "VornApp.h"
#include "VornValue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 GigabitBytesPerSecond = 940000000 / 8; // gigabit Ethernet's payload

QString simAddress(int i)
{
    return QStringLiteral("127.0.0.%1").arg(10 + i);
}

// The child process: `count` simulated cameras until stdin closes.
int runSimulators(int count, const QString& res, qint64 bytesPerSecond)
{
    std::vector<std::unique_ptr<q7sim::SimCamera>> cameras;
    for (int i = 0; i < count; ++i) {
        q7sim::CameraConfig config;
        config.address = simAddress(i);
        config.res = res;
        config.xferBytesPerSecond = bytesPerSecond;
        cameras.push_back(std::make_unique<q7sim::SimCamera>(config));
        if (!cameras.back()->start()) {
            fprintf(stderr, "simulated camera at %s did not start (run inside scripts/sandbox): %s\n",
                    qPrintable(config.address), qPrintable(cameras.back()->errorString()));
            return 1;
        }
    }
    printf("ready\n");
    fflush(stdout);
    while (getchar() != EOF) {
    }
    return 0;
}

// Simulated cameras in a child process of their own.
class Simulators
{
public:
    Simulators(int count, const QString& res, qint64 bytesPerSecond)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("BENCH_CAMERAS_SIMS"),
                   QStringLiteral("%1,%2,%3").arg(count).arg(res).arg(bytesPerSecond));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(), {});
        bench::waitFor(
            [this] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; }, 20000);
        m_ready = m_process.readLine().trimmed() == "ready";
    }
    ~Simulators()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }
    bool ready() const { return m_ready; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    bool m_ready = false;
};

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// Trigger All, as the menu entry does it: every connected camera's trigger
// request is handed to the network in one go.
void triggerAll(VornApp& app)
{
    app.rig()->triggerAll();
}

// Connects the program to simulated cameras 0 .. count-1; empty when one did
// not connect.
QList<Camera*> connectCameras(VornApp& app, QNetworkAccessManager& nam, int count, int postFrames)
{
    QList<Camera*> cameras;
    for (int i = 0; i < count; ++i) {
        const QString base = QStringLiteral("http://") + simAddress(i);
        bench::send(nam, "PUT", base + "/acq/trig_offset", QByteArray::number(postFrames));
        bench::send(nam, "POST", base + "/prtn", "{\"cnt\":8}");
        app.connectCamera(simAddress(i));
        cameras.append(app.findCamera(QHostAddress(simAddress(i))));
    }
    const bool connected = bench::waitFor(
        [&] {
            return std::all_of(cameras.cbegin(), cameras.cend(), [](Camera* c) { return c->connected(); });
        },
        20000);
    // Idle: nothing selected, so no camera shows its live picture.
    app.setNullVornObject();
    if (!connected) {
        fprintf(stderr, "the cameras did not connect\n");
        cameras.clear();
    }
    return cameras;
}

void disconnectAll(VornApp& app, const QList<Camera*>& cameras)
{
    for (Camera* camera : cameras)
        camera->disconnectCamera();
    bench::waitFor([&] { return app.vornObjModel()->count() == 0; }, 5000);
}

// Records on every camera and triggers them all; the new take of each, with
// its values, or an empty list.
QList<Take*> recordAndTriggerAll(VornApp& app, const QList<Camera*>& cameras, int preMs)
{
    QList<QList<int>> before;
    for (Camera* camera : cameras) {
        QList<int> saved;
        for (Take* take : *camera->takes()) {
            if (take->savedOpened())
                saved.append(take->takeId());
        }
        before.append(saved);
        camera->record();
    }
    auto recording = [](Camera* c) {
        const int state = c->acqState()->value().toInt();
        return state == Camera::AcqRecording || state == Camera::AcqRecordingWrapped;
    };
    if (!bench::waitFor([&] { return std::all_of(cameras.cbegin(), cameras.cend(), recording); }, 10000)) {
        fprintf(stderr, "the cameras did not all record\n");
        return {};
    }
    bench::waitFor([] { return false; }, preMs);
    triggerAll(app);
    QList<Take*> takes(cameras.size(), nullptr);
    auto saved = [&] {
        for (qsizetype i = 0; i < cameras.size(); ++i) {
            for (Take* take : *cameras.at(i)->takes()) {
                if (take->savedOpened() && take->valuesInit() && !before.at(i).contains(take->takeId()))
                    takes[i] = take;
            }
        }
        return !takes.contains(nullptr);
    };
    if (!bench::waitFor(saved, 30000)) {
        fprintf(stderr, "the takes were not all saved\n");
        return {};
    }
    return takes;
}

qint64 triggerNs(const Take* take)
{
    return take->property("trigTsS").value<VornValue*>()->value().toLongLong() * 1000000000LL +
           take->property("trigTsNs").value<VornValue*>()->value().toLongLong();
}

bool idleAndTrigger(VornApp& app, QNetworkAccessManager& nam)
{
    printf("cameras   CPU idle and polling (target < 5 %% at 16)   Trigger All spread, median / worst of 5 "
           "(target <= 5 ms at 16)\n");
    for (int count : {1, 4, 8, 16}) {
        Simulators sims(count, QStringLiteral("640x480"), 0);
        if (!sims.ready())
            return false;
        const QList<Camera*> cameras = connectCameras(app, nam, count, 10);
        if (cameras.isEmpty())
            return false;
        bench::waitFor([] { return false; }, 2000); // past the connection's own work
        QElapsedTimer wall;
        wall.start();
        const double cpuBefore = cpuSeconds();
        bench::waitFor([] { return false; }, 10000);
        const double cpuShare = (cpuSeconds() - cpuBefore) / (wall.nsecsElapsed() / 1e9);

        QList<qint64> spreads;
        qint64 handedOver = 0;
        for (int trial = 0; trial < 5; ++trial) {
            const QList<Take*> takes = recordAndTriggerAll(app, cameras, 100);
            if (takes.isEmpty())
                return false;
            handedOver = qMax(handedOver, app.rig()->lastTriggerSpreadNs());
            QList<qint64> times;
            for (const Take* take : takes)
                times.append(triggerNs(take));
            const auto [first, last] = std::minmax_element(times.cbegin(), times.cend());
            spreads.append(*last - *first);
        }
        std::sort(spreads.begin(), spreads.end());
        printf("%5d     %6.2f %% of one core%s                       %7.3f / %7.3f ms%s   (handed to the "
               "network within %.3f ms)\n",
               count, cpuShare * 100, count == 16 ? (cpuShare < 0.05 ? "        " : " missed ") : "        ",
               spreads.at(2) / 1e6, spreads.last() / 1e6,
               count == 16 ? (spreads.last() <= 5000000 ? "         " : "   missed") : "         ",
               handedOver / 1e6);
        fflush(stdout);
        disconnectAll(app, cameras);
    }
    return true;
}

double secondsOf(const QString& program, const QStringList& arguments)
{
    sync();
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(program, arguments);
    bench::waitFor([&process] { return process.state() == QProcess::NotRunning; }, 600000);
    return clock.nsecsElapsed() / 1e9;
}

bool savesAtOnce(VornApp& app, QNetworkAccessManager& nam)
{
    const int count = 4;
    Simulators sims(count, QStringLiteral("1280x1024"), GigabitBytesPerSecond);
    if (!sims.ready())
        return false;
    const QList<Camera*> cameras = connectCameras(app, nam, count, 300);
    const QList<Take*> takes = cameras.isEmpty() ? QList<Take*>() : recordAndTriggerAll(app, cameras, 50);
    if (takes.isEmpty())
        return false;
    QTemporaryDir out(QDir::current().filePath(QStringLiteral("bench-cameras-XXXXXX")));
    qint64 totalBytes = 0;
    QStringList curlRanges;
    for (const Take* take : takes) {
        const qint64 frames = take->lastFrame() - take->firstFrame() + 1;
        totalBytes += frames * (1280 * 1024 + take->metaSizeValue()->value().toLongLong());
        curlRanges.append(
            QString::fromUtf8(FrameXfer::rangeBody(3, 0, take->takeId(), take->firstFrame(), frames)));
    }

    sync();
    const qint64 before = bench::residentBytes();
    qint64 peak = before;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { peak = qMax(peak, bench::residentBytes()); });
    sampler.start(10);
    QElapsedTimer clock;
    clock.start();
    QList<SaveJob*> jobs;
    for (Take* take : takes)
        jobs.append(app.saveManager()->createSaveJob(
            take, take->firstFrame(), take->lastFrame() - take->firstFrame() + 1, SaveManager::FileDest,
            Util::FormatVorn, Util::CodecVorn, 30, 30,
            QStringLiteral("cam%1").arg(take->camera()->ipString()), out.path(), SaveJob::DontDeleteClose));
    auto ended = [](SaveJob* job) {
        return job && job->state() >= SaveJob::Done;
    };
    bench::waitFor([&] { return std::all_of(jobs.cbegin(), jobs.cend(), ended); }, 600000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    sampler.stop();
    for (SaveJob* job : jobs) {
        if (!job || job->state() != SaveJob::Done) {
            fprintf(stderr, "a save did not finish: %s\n", job ? qPrintable(job->error()) : "not created");
            return false;
        }
    }
    for (const QString& file : QDir(out.path()).entryList(QDir::Files))
        QFile::remove(out.filePath(file));

    // The disk, written the same way (through the page cache, no sync).
    const double ddSeconds = secondsOf(
        QStringLiteral("dd"), {"if=/dev/zero", "of=" + out.filePath(QStringLiteral("dd.bin")), "bs=1M",
                               QStringLiteral("count=%1").arg(totalBytes >> 20), "status=none"});
    QFile::remove(out.filePath(QStringLiteral("dd.bin")));
    // What the four simulators deliver at all on this machine.
    double curlSeconds = 0;
    {
        sync();
        QElapsedTimer curlClock;
        curlClock.start();
        std::vector<std::unique_ptr<QProcess>> curls;
        for (int i = 0; i < count; ++i) {
            curls.push_back(std::make_unique<QProcess>());
            curls.back()->start(QStringLiteral("curl"),
                                {"-s", "-f", "-X", "POST", "-H", "Content-Type: application/json",
                                 "--data-binary", curlRanges.at(i), "-o", "/dev/null",
                                 QStringLiteral("http://%1/xfer").arg(simAddress(i))});
        }
        bench::waitFor(
            [&] {
                return std::all_of(curls.cbegin(), curls.cend(),
                                   [](const auto& p) { return p->state() == QProcess::NotRunning; });
            },
            600000);
        curlSeconds = curlClock.nsecsElapsed() / 1e9;
    }
    disconnectAll(app, cameras);

    const double mb = totalBytes / 1e6;
    const double links = count * GigabitBytesPerSecond / 1e6;
    const double disk = mb / ddSeconds;
    const double rate = mb / seconds;
    const double target = 0.8 * qMin(links, disk);
    printf("\n4 takes of 1280x1024 saved as VORN at once, %.0f MB, each camera paced at 940 Mbit/s:\n", mb);
    printf("  aggregate            %7.1f MB/s  (%.2f s)   target >= %.1f MB/s (0.8 x the lower of links and "
           "disk)%s\n",
           rate, seconds, target, rate >= target ? "" : "   missed");
    printf("  sum of the links     %7.1f MB/s\n", links);
    printf("  disk (dd bs=1M)      %7.1f MB/s\n", disk);
    printf("  4 curls to /dev/null %7.1f MB/s  (what the simulators deliver on this machine; the save "
           "reaches %.2f of it)\n",
           mb / curlSeconds, rate / (mb / curlSeconds));
    printf("  memory               %7.1f MB resident before, peak +%.1f MB during the saves\n", before / 1e6,
           (peak - before) / 1e6);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("BENCH_CAMERAS_SIMS")) {
        const QStringList setup = qEnvironmentVariable("BENCH_CAMERAS_SIMS").split(',');
        return runSimulators(setup.value(0).toInt(), setup.value(1), setup.value(2).toLongLong());
    }
    Q_UNUSED(argc)
    bench::QuietApp quiet(argv);
    VornApp& app = quiet.app();
    QNetworkAccessManager& nam = quiet.nam();
    if (!idleAndTrigger(app, nam) || !savesAtOnce(app, nam))
        return 1;
    return 0;
}
