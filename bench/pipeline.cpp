// The display path of one frame against OpenCV's bare demosaicing (cvtColor
// Bayer -> BGR) of the same 16-bit plane, each figure beside its target:
//
// - milliseconds per frame of the pipeline with its 8-bit picture
//   (ImgAdjUtil::process with the fused 8-bit output, as the display runs
//   it), for the default settings, the camera's white balance, adjusted
//   tables, a quarter turn, exposure assist and focus peaking, and the
//   histogram of the frame (counting and drawing); the median, the ratio to
//   the bare demosaic by wall clock and by processor time (all threads);
// - heap allocations per displayed frame once the size is steady, over what
//   the program does for a frame on the GUI thread (VornObject::frameReady:
//   processing, the 8-bit picture, the histogram at 128 x 64), counted by
//   replacing malloc and its kin in this executable: Qt's and OpenCV's
//   buffers come from malloc, not from operator new, so counting operator
//   new alone would miss them.
//
// The steps are timed in turn, frame by frame, so that a busy machine slows
// them alike.
//
//   bench_pipeline [frames per case, default 60]

#include "BenchSupport.h"
#include "HistogramControl.h"
#include "ImgAdjModel.h"
#include "ImgAdjUtil.h"
#include "RawFrame.h"
#include "VornApp.h"
#include "VornFrame.h"
#include "VornObject.h"
#include "VornValue.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <malloc.h>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORN_BENCH_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VORN_BENCH_SANITIZED 1
#endif

namespace {
std::atomic<long> allocations{0};
}

// Every allocation of the process, by any thread, through glibc's own
// allocator underneath. Not under AddressSanitizer, which has an allocator
// of its own: the counts then stay 0 and are not printed.
#ifndef VORN_BENCH_SANITIZED
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

extern "C" {
void* malloc(size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}
void* memalign(size_t alignment, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size)
{
    return memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size)
{
    *out = memalign(alignment, size);
    return *out ? 0 : ENOMEM;
}
void free(void* pointer)
{
    __libc_free(pointer);
}
}
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct Step
{
    Step(const char* name, std::function<void()> run) : name(name), run(std::move(run)) {}

    const char* name;
    std::function<void()> run;
    std::vector<double> ms;
    std::vector<double> cpuMs;

    static double median(std::vector<double> values)
    {
        std::nth_element(values.begin(), values.begin() + qsizetype(values.size() / 2), values.end());
        return values[values.size() / 2];
    }
};

// Processor time of all threads of the process: on a machine shared with
// other work it measures the work done, where the wall clock also measures
// the waiting.
double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// Runs every step once per frame, in turn, after a few untimed rounds.
void timeInTurn(std::vector<Step>& steps, int frames)
{
    for (int round = -3; round < frames; ++round) {
        for (Step& step : steps) {
            const double cpuStart = processCpuMs();
            const Clock::time_point start = Clock::now();
            step.run();
            if (round >= 0) {
                step.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
                step.cpuMs.push_back(processCpuMs() - cpuStart);
            }
        }
    }
}

// The code bytes of a mosaic with some structure (gradients and noise).
QByteArray testCodes(int rows, int cols)
{
    QByteArray codes(qsizetype(rows) * cols, Qt::Uninitialized);
    QRandomGenerator random(1);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col)
            codes[qsizetype(row) * cols + col] = char((row / 4 + col / 8 + random.bounded(24)) & 0xff);
    }
    return codes;
}

enum class Settings {
    Defaults,   // identity tables, unity white balance
    Calibrated, // identity tables, the camera's calibrated white balance
    Adjusted,   // offset, gain, gamma and contrast away from identity, and white balance
};

// Through the model's values, as the adjustment controls set them.
void applySettings(ImgAdjModel& model, int cfa, Settings settings)
{
    const bool adjusted = settings == Settings::Adjusted;
    model.reset();
    model.cfa()->setValue(cfa);
    for (VornValue* value : {model.offsetR(), model.offset(), model.offsetB()})
        value->setValue(adjusted ? 0.02 : 0.0);
    for (VornValue* value : {model.gainR(), model.gain(), model.gainB()})
        value->setValue(adjusted ? 1.2 : 1.0);
    for (VornValue* value : {model.gammaR(), model.gamma(), model.gammaB()})
        value->setValue(adjusted ? 1.4 : 1.0);
    for (VornValue* value : {model.contrastR(), model.contrast(), model.contrastB()})
        value->setValue(adjusted ? 0.1 : 0.0);
    model.wbCalR()->setValue(settings == Settings::Defaults ? 1.0 : 1.35);
    model.wbCalB()->setValue(settings == Settings::Defaults ? 1.0 : 1.6);
    model.wbR()->setValue(adjusted ? 1.1 : 1.0);
}

struct Variant
{
    const char* name;
    Settings settings;
    int rotate;
    ImgAdjModel::ExpAssist expAssist;
    ImgAdjModel::FocusPeak focusPeak;
};

const Variant variants[] = {
    {"defaults", Settings::Defaults, 0, ImgAdjModel::ExpAssistDisabled, ImgAdjModel::FocusPeakDisabled},
    {"camera white balance", Settings::Calibrated, 0, ImgAdjModel::ExpAssistDisabled,
     ImgAdjModel::FocusPeakDisabled},
    {"adjusted tables", Settings::Adjusted, 0, ImgAdjModel::ExpAssistDisabled,
     ImgAdjModel::FocusPeakDisabled},
    {"rotated 90, adjusted", Settings::Adjusted, 90, ImgAdjModel::ExpAssistDisabled,
     ImgAdjModel::FocusPeakDisabled},
    {"exposure assist", Settings::Defaults, 0, ImgAdjModel::ExpAssistEnabled, ImgAdjModel::FocusPeakDisabled},
    {"focus peaking (med)", Settings::Defaults, 0, ImgAdjModel::ExpAssistDisabled, ImgAdjModel::FocusPeakMed},
};

void applyVariant(ImgAdjModel& model, int cfa, const Variant& variant)
{
    applySettings(model, cfa, variant.settings);
    model.setRotate(variant.rotate);
    model.setExpAssist(variant.expAssist);
    model.setFocusPeak(variant.focusPeak);
}

struct Case
{
    const char* name;
    int cfa;
    int cols;
    int rows;
    double focusTargetMs; // 0: none
};

// A selectable object as the program has them, with a histogram view bound
// to it at the size the window gives it.
class DisplayObject : public VornObject
{
public:
    DisplayObject() : VornObject(VornObject::UnknownType)
    {
        setImageModel(new ImgAdjModel(this));
        m_control.setSize(QSizeF(128, 64));
        m_control.setHistogram(histogram());
    }
    HistogramControl m_control;
};

// The program's handling of one arrived frame, as the fetch cycle runs it:
// a record delivered and frameReady() through the completion signal.
struct FrameDelivery
{
    DisplayObject& object;
    const QByteArray& record;
    const Case& c;

    RawFrame* arrive() const
    {
        auto* frame = new RawFrame(&object);
        frame->set(record, quint16(c.cols), quint16(c.rows), quint32(c.cols * c.rows), 64, 1700000000);
        QObject::connect(frame, &RawFrame::initFinished, &object, &VornObject::frameReady);
        return frame;
    }
};

const char* verdict(bool met)
{
    return met ? "ok" : "MISSED";
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    bench::quietEnvironment(home);
    VornApp app(argc, argv, VornApp::StartMode::Headless);
    const int frames = argc > 1 ? std::max(5, atoi(argv[1])) : 60;
    const ImgAdjUtil& util = *app.imgAdjUtil();
    std::printf(
        "OpenCV %s, %d threads, %d frames per case; median ms per frame, ratio to the bare demosaic by "
        "wall clock and by processor time\n",
        CV_VERSION, cv::getNumThreads(), frames);

    const Case cases[] = {
        {"1280x1024 colour", ImgAdjUtil::CfaRGGB, 1280, 1024, 20.0},
        {"1920x1080 colour", ImgAdjUtil::CfaRGGB, 1920, 1080, 33.0},
        {"1280x1024 monochrome", ImgAdjUtil::CfaMono, 1280, 1024, 0.0},
    };
    for (const Case& c : cases) {
        const QByteArray codes = testCodes(c.rows, c.cols);
        QList<quint16> raw16(codes.size());
        util.expand(codes, raw16);
        const cv::Mat plane(c.rows, c.cols, CV_16UC1, const_cast<quint16*>(raw16.constData()));
        const bool colour = c.cfa != ImgAdjUtil::CfaMono;

        // Timing: the pipeline with its fused 8-bit picture on the expanded
        // samples, buffers kept from frame to frame as the display's frame
        // keeps them; each variant with its own model and buffers.
        struct Buffers
        {
            ImgAdjModel model;
            QList<quint16> display;
            QList<quint16> clean;
            QImage picture;
        };
        std::vector<std::unique_ptr<Buffers>> buffers;
        cv::Mat bgr;
        std::vector<Step> steps;
        steps.emplace_back("bare demosaic", [&] { cv::cvtColor(plane, bgr, cv::COLOR_BayerBG2BGR); });
        for (const Variant& variant : variants) {
            buffers.push_back(std::make_unique<Buffers>());
            Buffers* b = buffers.back().get();
            applyVariant(b->model, c.cfa, variant);
            steps.emplace_back(variant.name, [b, &raw16, &c, &util] {
                int rows = c.rows;
                int cols = c.cols;
                util.process(b->model.block(), raw16, b->display, b->clean, rows, cols, &b->picture);
            });
        }
        HistogramRenderer renderer;
        QImage histogramPicture;
        steps.emplace_back("histogram 128x64", [&] {
            const Buffers& b = *buffers.front();
            renderer.render(b.clean.constData(), c.cols, c.rows, 128, 64, HistogramControl::BinLimit,
                            histogramPicture);
        });
        timeInTurn(steps, frames);

        std::printf("%s%s\n", c.name, colour ? "" : " (no demosaic: ratios for comparison only)");
        const double bare = Step::median(steps[0].ms);
        const double bareCpu = Step::median(steps[0].cpuMs);
        for (size_t i = 0; i < steps.size(); ++i) {
            Step& step = steps[i];
            const double ms = Step::median(step.ms);
            const double ratio = ms / bare;
            char target[64] = "";
            const Variant* variant = i >= 1 && i <= std::size(variants) ? &variants[i - 1] : nullptr;
            if (variant && colour) {
                if (variant->focusPeak && c.focusTargetMs > 0) {
                    std::snprintf(target, sizeof target, "<= %.0f ms%s  %s", c.focusTargetMs,
                                  c.focusTargetMs > 30 ? " (moonshot 16)" : "",
                                  verdict(ms <= c.focusTargetMs));
                } else if (variant->expAssist || variant->settings == Settings::Adjusted) {
                    if (!variant->rotate)
                        std::snprintf(target, sizeof target, "<= 2.5 x  %s", verdict(ratio <= 2.5));
                } else if (variant->settings == Settings::Defaults) {
                    std::snprintf(target, sizeof target, "<= 1.4 x  %s", verdict(ratio <= 1.4));
                }
            }
            std::printf("  %-22s %7.2f ms %6.2f x %6.2f x cpu   %s\n", step.name, ms, ratio,
                        Step::median(step.cpuMs) / bareCpu, target);
        }

        // Allocations of the program's handling of one arrived frame, once
        // the size is steady.
#ifdef VORN_BENCH_SANITIZED
        continue;
#endif
        const QByteArray record = QByteArray(64, '\0') + codes;
        std::printf("  allocations per displayed frame, steady size (target 0):\n   ");
        long outsideText = 0;
        long outsideDelivery = 0;
        long wholeSlot = 0;
        long allDisplayPaths = 0;
        for (const Variant& variant : variants) {
            DisplayObject object;
            applyVariant(*object.imgAdjModel(), c.cfa, variant);
            const FrameDelivery delivery{object, record, c};
            const int warmUp = 4;
            const int counted = 8;
            long displayPath = 0;
            for (int round = 0; round < warmUp + counted; ++round) {
                const long arrival = allocations.load();
                RawFrame* frame = delivery.arrive();
                const long start = allocations.load();
                // What frameReady() does for the picture, step by step ...
                VornFrame* vornFrame = object.vornFrame();
                vornFrame->setRawFrame(frame);
                object.imgFrame()->setImage(vornFrame->image());
                object.histogram()->setImage(vornFrame->clean(), vornFrame->width(), vornFrame->height());
                const long picture = allocations.load();
                // ... and the slot itself, once more with the same record.
                emit frame->initFinished();
                const long slot = allocations.load();
                const QString text =
                    VornObject::timeText(1700000000 + vornFrame->seconds(), vornFrame->nanoseconds());
                const long textDone = allocations.load();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                if (round >= warmUp) {
                    displayPath += picture - start;
                    wholeSlot += slot - picture;
                    outsideText += textDone - slot;
                    outsideDelivery += start - arrival;
                }
            }
            allDisplayPaths += displayPath;
            std::printf(" %s %.1f %s;", variant.name, double(displayPath) / counted,
                        verdict(displayPath == 0));
        }
        const double per = double(std::size(variants)) * 8;
        std::printf("\n   the whole frameReady() slot %.1f = the above %.1f + the time text %.1f "
                    "(QDateTime::toString "
                    "and the nanoseconds: a new QString by design) + the record's deferred deletion %.1f;\n"
                    "   before it, the fetch's RawFrame object and its connections %.1f\n",
                    double(wholeSlot) / per, double(allDisplayPaths) / per, double(outsideText) / per,
                    double(wholeSlot - allDisplayPaths - outsideText) / per, double(outsideDelivery) / per);
    }
    return 0;
}
