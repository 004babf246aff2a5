// Times the display path of one frame: the image pipeline (ImgAdjUtil::process)
// plus the 8-bit picture the display paints (ImgAdjUtil::bgr888Image), against
// OpenCV's bare demosaicing (cvtColor Bayer -> BGR) of the same 16-bit plane.
// The steps are timed in turn, frame by frame, so that a busy machine slows
// them alike; prints the median and the best milliseconds per frame, frames
// per second and the ratio to the bare demosaicing, and the processor time
// (all threads) per frame with its ratio.
//
//   bench_pipeline [frames per case, default 100] [plain]
//
// "plain" leaves out the rotated and overlay variants.

#include "ImgAdjUtil.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Step
{
    Step(const char* name, std::function<void()> run) : name(name), run(std::move(run)) {}

    const char* name;
    std::function<void()> run;
    std::vector<double> ms;
    std::vector<double> cpuMs;

    double median()
    {
        std::vector<double> sorted = ms;
        std::nth_element(sorted.begin(), sorted.begin() + qsizetype(sorted.size() / 2), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double best() const { return *std::min_element(ms.cbegin(), ms.cend()); }
    double cpuMedian()
    {
        std::vector<double> sorted = cpuMs;
        std::nth_element(sorted.begin(), sorted.begin() + qsizetype(sorted.size() / 2), sorted.end());
        return sorted[sorted.size() / 2];
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

// A mosaic with some structure (gradients and noise), expanded like a frame.
QList<quint16> testFrame(const ImgAdjUtil& util, int rows, int cols)
{
    QByteArray codes(qsizetype(rows) * cols, Qt::Uninitialized);
    QRandomGenerator random(1);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col)
            codes[qsizetype(row) * cols + col] = char((row / 4 + col / 8 + random.bounded(24)) & 0xff);
    }
    QList<quint16> samples(codes.size());
    util.expand(codes, samples);
    return samples;
}

enum class Settings {
    Defaults,   // identity tables, unity white balance
    Calibrated, // identity tables, the camera's calibrated white balance
    Adjusted,   // a little gain and gamma as well
};

ImgAdjBlock displayBlock(int cfa, Settings settings)
{
    ImgAdjBlock block;
    block.cfa = cfa;
    const double gain = settings == Settings::Adjusted ? 1.2 : 1.0;
    const double gamma = settings == Settings::Adjusted ? 1.4 : 1.0;
    ImgAdjUtil::buildLut16(block.lutR, 0.0, gain, gamma, 0.0);
    ImgAdjUtil::buildLut16(block.lutG, 0.0, gain, gamma, 0.0);
    ImgAdjUtil::buildLut16(block.lutB, 0.0, gain, gamma, 0.0);
    if (settings != Settings::Defaults) {
        block.wbCalR = 1.35;
        block.wbCalB = 1.6;
    }
    if (settings == Settings::Adjusted)
        block.wbR = 1.1;
    return block;
}

struct Case
{
    const char* name;
    int cfa;
    int cols;
    int rows;
};

// The frame object's buffers, kept from frame to frame.
struct FrameBuffers
{
    QList<quint16> display;
    QList<quint16> clean;
    QImage shown;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(5, atoi(argv[1])) : 100;
    const bool plainOnly = argc > 2 && std::strcmp(argv[2], "plain") == 0;
    const ImgAdjUtil util;
    std::printf("OpenCV %s, %d threads; %d frames per case\n", CV_VERSION, cv::getNumThreads(), frames);
    std::printf("%-22s %-26s %8s %8s %9s %9s %9s %8s %9s\n", "frame", "step", "median", "best", "frames/s",
                "x bare", "x bare", "cpu", "x bare");
    std::printf("%-22s %-26s %8s %8s %9s %9s %9s %8s %9s\n", "", "", "ms", "ms", "(median)", "(median)",
                "(best)", "ms", "(cpu)");

    const Case cases[] = {
        {"1280x1024 colour", ImgAdjUtil::CfaRGGB, 1280, 1024},
        {"1920x1080 colour", ImgAdjUtil::CfaRGGB, 1920, 1080},
        {"1920x1080 GRBG", ImgAdjUtil::CfaGRBG, 1920, 1080},
        {"1280x1024 monochrome", ImgAdjUtil::CfaMono, 1280, 1024},
    };
    for (const Case& c : cases) {
        const QList<quint16> raw16 = testFrame(util, c.rows, c.cols);
        const cv::Mat plane(c.rows, c.cols, CV_16UC1, const_cast<quint16*>(raw16.constData()));
        cv::Mat bgr;
        std::vector<FrameBuffers> buffers(9);
        auto displayPath = [&](const ImgAdjBlock& block, FrameBuffers& frame) {
            return [&util, &raw16, &c, block, &frame] {
                int rows = c.rows;
                int cols = c.cols;
                util.process(block, raw16, frame.display, frame.clean, rows, cols);
                frame.shown = util.bgr888Image(frame.display, rows, cols);
            };
        };
        // The same with the 8-bit picture made by process itself.
        auto fusedPath = [&](const ImgAdjBlock& block, FrameBuffers& frame) {
            return [&util, &raw16, &c, block, &frame] {
                int rows = c.rows;
                int cols = c.cols;
                util.process(block, raw16, frame.display, frame.clean, rows, cols, &frame.shown);
            };
        };
        const ImgAdjBlock defaults = displayBlock(c.cfa, Settings::Defaults);
        const ImgAdjBlock calibrated = displayBlock(c.cfa, Settings::Calibrated);
        const ImgAdjBlock adjusted = displayBlock(c.cfa, Settings::Adjusted);
        std::vector<Step> steps;
        steps.emplace_back("bare demosaic", [&] { cv::cvtColor(plane, bgr, cv::COLOR_BayerBG2BGR); });
        steps.emplace_back("process + 8-bit, defaults", displayPath(defaults, buffers[0]));
        steps.emplace_back("  camera white balance", displayPath(calibrated, buffers[7]));
        steps.emplace_back("  adjusted tables", displayPath(adjusted, buffers[1]));
        steps.emplace_back("8-bit with process, def.", fusedPath(defaults, buffers[5]));
        steps.emplace_back("  camera white balance", fusedPath(calibrated, buffers[8]));
        steps.emplace_back("  adjusted tables", fusedPath(adjusted, buffers[6]));
        if (!plainOnly) {
            ImgAdjBlock rotated = adjusted;
            rotated.rotate = 90;
            steps.emplace_back("  rotated 90, adjusted", displayPath(rotated, buffers[2]));
            ImgAdjBlock exposure = adjusted;
            exposure.expAssist = 1;
            steps.emplace_back("  exposure assist, adj.", displayPath(exposure, buffers[3]));
            ImgAdjBlock focus = adjusted;
            focus.focusPeak = 2;
            steps.emplace_back("  focus peaking, adj.", displayPath(focus, buffers[4]));
            QList<quint16> expanded(raw16.size());
            const QByteArray codes(raw16.size(), '\x40');
            steps.emplace_back("expand codes",
                               [&util, expanded, codes]() mutable { util.expand(codes, expanded); });
        }
        timeInTurn(steps, frames);
        const double bareMedian = steps[0].median();
        const double bareBest = steps[0].best();
        const double bareCpu = steps[0].cpuMedian();
        for (Step& step : steps) {
            const double median = step.median();
            const double cpu = step.cpuMedian();
            std::printf("%-22s %-26s %8.2f %8.2f %9.1f %9.2f %9.2f %8.2f %9.2f\n", c.name, step.name, median,
                        step.best(), 1000.0 / median, median / bareMedian, step.best() / bareBest, cpu,
                        cpu / bareCpu);
        }
    }
    return 0;
}
