// Playback of a 1280 x 1024 colour take from a simulated camera (bandwidth
// unlimited, over loopback) at 240 frames per second requested, selected and
// painted in an offscreen window. Prints the frames shown per second and
// where the time of one frame goes: transfer, processing, painting.
//
// Run inside the network sandbox: scripts/bench playback

#include "BenchSupport.h"
#include "Camera.h"
#include "FrameSynth.h"
#include "FrameXfer.h"
#include "ImgFrameControl.h"
#include "RawFrame.h"
#include "SimCamera.h"
#include "Take.h"
#include "VornApp.h"
#include "VornFrame.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <cstdio>

namespace {

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
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

    // An offscreen window paints the take's picture as the view does.
    QQuickWindow window;
    window.resize(1280, 1024);
    auto* view = new ImgFrameControl(window.contentItem());
    view->setSize(QSizeF(1280, 1024));
    view->setImgFrame(take->imgFrame());
    qint64 paintNs = 0;
    int paints = 0;
    QElapsedTimer paintTimer;
    QObject::connect(
        &window, &QQuickWindow::beforeRendering, &window, [&] { paintTimer.start(); }, Qt::DirectConnection);
    QObject::connect(
        &window, &QQuickWindow::afterRendering, &window,
        [&] {
            paintNs += paintTimer.nsecsElapsed();
            ++paints;
        },
        Qt::DirectConnection);
    window.show();

    app.setSelectedVornObject(take);
    take->setPlayFrRate(240);
    take->play();
    int shown = 0;
    QObject::connect(take->imgFrame(), &ImgFrame::imageChanged, &app, [&] { ++shown; });
    waitFor([] { return false; }, 1000); // warm up
    shown = 0;
    paints = 0;
    paintNs = 0;
    QElapsedTimer clock;
    clock.start();
    waitFor([] { return false; }, 5000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    take->pause();
    const double fps = shown / seconds;

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
        waitFor([&] { return done; }, 5000);
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
    printf("playback 1280x1024 colour, 240 fps requested, %d frames shown in %.2f s\n", shown, seconds);
    printf("  shown             %7.1f frames/s  (target >= 60)\n", fps);
    printf("  frame time        %7.2f ms\n", frameMs);
    printf("  transfer          %7.2f ms per frame (single fetch, loopback)\n", xferMs);
    printf("    of which the simulator makes the frame: %.2f ms\n", synthNs / 1e6 / samples);
    printf("  processing        %7.2f ms per frame  = %.0f %% of the frame time (target <= 25 %%)\n",
           processMs, 100.0 * processMs / frameMs);
    printf("  painting          %7.2f ms per paint (%d paints, software renderer)\n", paintMs, paints);
    return 0;
}
