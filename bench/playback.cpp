// Playback at 240 frames per second requested, selected and painted in an
// offscreen window (picture and histogram, as the playback view shows them):
//
// - a 1280 x 1024 colour take from a simulated camera (bandwidth unlimited,
//   over loopback): the frames shown per second and where the time of one
//   frame goes: transfer, processing, painting;
// - a 1920 x 1080 colour VORN file (a take of a second simulated camera
//   saved by the program into a temporary folder): the frames shown per
//   second, the GUI thread's work per displayed frame (reading the record,
//   processing, histogram) as a share of the frame time, and how late a
//   50 ms timer beside the playback fires at worst.
//
// Run inside the network sandbox: scripts/bench playback

#include "BenchSupport.h"
#include "Camera.h"
#include "FrameSynth.h"
#include "FrameXfer.h"
#include "HistogramControl.h"
#include "ImgFrameControl.h"
#include "RawFrame.h"
#include "SaveManager.h"
#include "SimCamera.h"
#include "Take.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornFrame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>

namespace {

// Plays `object` (selected, 240 fps requested) in `window` for `ms` after a
// second of warm-up; counts the pictures shown and the paints, and the worst
// lateness of a 50 ms timer running beside it.
struct Playback
{
    int shown = 0;
    int paints = 0;
    qint64 paintNs = 0;
    double seconds = 0;
    double worstLateMs = 0;

    double fps() const { return shown / qMax(seconds, 1e-9); }
};

Playback play(VornApp& app, PlaybackVornObject* object, QQuickWindow& window, int ms)
{
    Playback result;
    QElapsedTimer paintTimer;
    const auto before = QObject::connect(
        &window, &QQuickWindow::beforeRendering, &window, [&] { paintTimer.start(); }, Qt::DirectConnection);
    const auto after = QObject::connect(
        &window, &QQuickWindow::afterRendering, &window,
        [&] {
            result.paintNs += paintTimer.nsecsElapsed();
            ++result.paints;
        },
        Qt::DirectConnection);
    const auto shown =
        QObject::connect(object->imgFrame(), &ImgFrame::imageChanged, &app, [&] { ++result.shown; });
    QElapsedTimer sinceTick;
    QTimer beside;
    beside.setInterval(50);
    QObject::connect(&beside, &QTimer::timeout, &app, [&] {
        result.worstLateMs = qMax(result.worstLateMs, sinceTick.nsecsElapsed() / 1e6 - 50.0);
        sinceTick.start();
    });

    app.setSelectedVornObject(object);
    object->setPlayFrRate(240);
    object->play();
    bench::waitFor([] { return false; }, 1000); // warm up
    result = Playback();
    sinceTick.start();
    beside.start();
    QElapsedTimer clock;
    clock.start();
    bench::waitFor([] { return false; }, ms);
    result.seconds = clock.nsecsElapsed() / 1e9;
    beside.stop();
    object->pause();
    QObject::disconnect(before);
    QObject::disconnect(after);
    QObject::disconnect(shown);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    bench::quietEnvironment(home);
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    VornApp app(argc, argv, VornApp::StartMode::Headless);
    QNetworkAccessManager nam;
    app.set_networkAccessManager(&nam);

    q7sim::CameraConfig config;
    config.res = QStringLiteral("1280x1024");
    q7sim::SimCamera sim(config);
    if (!sim.start()) {
        fprintf(stderr, "simulated camera did not start (run inside scripts/sandbox): %s\n",
                qPrintable(sim.errorString()));
        return 1;
    }
    Take* take = bench::recordTake(app, nam, config, 400);
    if (!take)
        return 1;
    Camera* camera = take->camera();

    // An offscreen window paints the picture and its histogram as the view does.
    QQuickWindow window;
    window.resize(1280, 1024);
    auto* view = new ImgFrameControl(window.contentItem());
    view->setSize(QSizeF(1280, 1024));
    view->setImgFrame(take->imgFrame());
    auto* histogram = new HistogramControl(window.contentItem());
    histogram->setSize(QSizeF(128, 64));
    histogram->setHistogram(take->histogram());
    window.show();

    const Playback fromCamera = play(app, take, window, 5000);
    const double fps = fromCamera.fps();
    const int shown = fromCamera.shown;
    const double seconds = fromCamera.seconds;
    const int paints = fromCamera.paints;
    const qint64 paintNs = fromCamera.paintNs;

    // Transfer alone: single-frame fetches one after the other.
    const int samples = 40;
    qint64 xferNs = 0;
    QByteArray record;
    for (int i = 0; i < samples; ++i) {
        auto* frame = new RawFrame(take);
        bool done = false;
        QObject::connect(frame, &RawFrame::initFinished, frame, [&] { done = true; });
        QElapsedTimer t;
        t.start();
        FrameXfer::postFrameXfer(frame, camera->address(),
                                 FrameXfer::takeFrameBody(0, take->takeId(), take->firstFrame() + i));
        bench::waitFor([&] { return done; }, 5000);
        xferNs += t.nsecsElapsed();
        record = frame->data();
        delete frame;
    }
    // Processing alone: the pipeline and the 8-bit picture, as for display.
    VornFrame processor(&take->imgAdjModel()->block());
    qint64 processNs = 0;
    for (int i = 0; i < samples; ++i) {
        QElapsedTimer t;
        t.start();
        processor.setFrameData(record, 1280, 1024, 1280 * 1024, take->metaSizeValue()->value().toUInt(), 0);
        const QImage image = processor.image();
        processNs += t.nsecsElapsed();
        Q_UNUSED(image)
    }

    // The simulator's own cost of making one frame record (a real camera
    // reads it from memory).
    const auto params = sim.takeFrameParams(take->takeId());
    qint64 synthNs = 0;
    for (int i = 0; i < samples && params; ++i) {
        QElapsedTimer t;
        t.start();
        const QByteArray bytes = q7sim::FrameSynth::record(*params, take->firstFrame() + i, q7sim::XferBoth);
        synthNs += t.nsecsElapsed();
        Q_UNUSED(bytes)
    }

    const double frameMs = 1000.0 / qMax(fps, 1e-9);
    const double xferMs = xferNs / 1e6 / samples;
    const double processMs = processNs / 1e6 / samples;
    const double paintMs = paints ? paintNs / 1e6 / paints : 0.0;
    printf(
        "playback 1280x1024 colour from a simulated camera, 240 fps requested, %d frames shown in %.2f s\n",
        shown, seconds);
    printf("  shown             %7.1f frames/s  (target >= 60)\n", fps);
    printf("  frame time        %7.2f ms\n", frameMs);
    printf("  transfer          %7.2f ms per frame (single fetch, loopback)\n", xferMs);
    printf("    of which the simulator makes the frame: %.2f ms\n", synthNs / 1e6 / samples);
    printf("  processing        %7.2f ms per frame  = %.0f %% of the frame time (target <= 25 %%)\n",
           processMs, 100.0 * processMs / frameMs);
    printf("  painting          %7.2f ms per paint (%d paints, software renderer)\n", paintMs, paints);
    printf("  a 50 ms timer beside it: at worst %.0f ms late (target <= 100)\n", fromCamera.worstLateMs);
    fflush(stdout);

    // A 1920 x 1080 VORN file: a take of a second camera saved by the program.
    q7sim::CameraConfig bigConfig;
    bigConfig.address = QStringLiteral("127.0.0.3");
    bigConfig.res = QStringLiteral("1920x1080");
    q7sim::SimCamera bigSim(bigConfig);
    if (!bigSim.start()) {
        fprintf(stderr, "second simulated camera did not start: %s\n", qPrintable(bigSim.errorString()));
        return 1;
    }
    Take* bigTake = bench::recordTake(app, nam, bigConfig, 200);
    if (!bigTake)
        return 1;
    const QString folder = home.filePath(QStringLiteral("files"));
    QDir().mkpath(folder);
    const qint64 fileFrames = 120;
    SaveJob* job = app.saveManager()->createSaveJob(
        bigTake, bigTake->aFr(), fileFrames, SaveManager::FileDest, Util::FormatVorn, Util::CodecVorn, 30, 30,
        QStringLiteral("playback"), folder, SaveJob::DontDeleteClose);
    bench::waitFor([job] { return job && job->state() == SaveJob::Done; }, 120000);
    const QStringList saved = QDir(folder).entryList({QStringLiteral("*.vorn")}, QDir::Files);
    if (!job || job->state() != SaveJob::Done || saved.isEmpty()) {
        fprintf(stderr, "the VORN file was not saved\n");
        return 1;
    }
    app.openVornFile(QUrl::fromLocalFile(QDir(folder).filePath(saved.first())).toString());
    auto* file = qobject_cast<VornFile*>(app.selectedVornObject());
    if (!file || !file->isOpen()) {
        fprintf(stderr, "the VORN file did not open\n");
        return 1;
    }
    window.resize(1920, 1080);
    view->setSize(QSizeF(1920, 1080));
    view->setImgFrame(file->imgFrame());
    histogram->setHistogram(file->histogram());
    const Playback fromFile = play(app, file, window, 5000);

    // The GUI thread's work for one displayed frame of the file: the fetch
    // cycle reads the record and processes and publishes it at once.
    file->pause();
    QElapsedTimer work;
    qint64 workNs = 0;
    for (int i = 0; i < samples; ++i) {
        file->setFr(file->aFr() + i % fileFrames, true);
        work.start();
        file->requestFrame();
        workNs += work.nsecsElapsed();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The same in its parts: reading the record, processing it (with its
    // 8-bit picture), the histogram.
    qint64 readNs = 0;
    qint64 frameNs = 0;
    qint64 histogramNs = 0;
    for (int i = 0; i < samples; ++i) {
        RawFrame frame;
        work.start();
        file->getFrame(&frame, file->aFr() + i % fileFrames);
        readNs += work.nsecsElapsed();
        work.start();
        file->vornFrame()->setRawFrame(&frame);
        file->imgFrame()->setImage(file->vornFrame()->image());
        frameNs += work.nsecsElapsed();
        work.start();
        file->histogram()->setImage(file->vornFrame()->clean(), file->vornFrame()->width(),
                                    file->vornFrame()->height());
        histogramNs += work.nsecsElapsed();
    }
    const double fileFrameMs = 1000.0 / qMax(fromFile.fps(), 1e-9);
    const double fileWorkMs = workNs / 1e6 / samples;
    printf("playback of a 1920x1080 colour VORN file (%lld frames), 240 fps requested, %d frames shown in "
           "%.2f s\n",
           fileFrames, fromFile.shown, fromFile.seconds);
    printf("  shown             %7.1f frames/s  (target >= 60)\n", fromFile.fps());
    printf("  read + processing %7.2f ms per frame  = %.0f %% of the frame time (target <= 25 %%)\n",
           fileWorkMs, 100.0 * fileWorkMs / fileFrameMs);
    printf("    of which reading %.2f ms, processing and 8-bit picture %.2f ms, histogram %.2f ms\n",
           readNs / 1e6 / samples, frameNs / 1e6 / samples, histogramNs / 1e6 / samples);
    printf("  painting          %7.2f ms per paint (%d paints, software renderer)\n",
           fromFile.paints ? fromFile.paintNs / 1e6 / fromFile.paints : 0.0, fromFile.paints);
    printf("  a 50 ms timer beside it: at worst %.0f ms late (target <= 100)\n", fromFile.worstLateMs);
    return 0;
}
