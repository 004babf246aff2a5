#include "ImgOverlay.h"

#include <algorithm>
#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// Copies clean into display row by row, painting every pixel for which
// colourOf(row, col) gives a colour.
template <typename ColourOf> void paint(const cv::Mat& clean, cv::Mat& display, ColourOf colourOf)
{
    cv::parallel_for_(
        cv::Range(0, clean.rows),
        [&](const cv::Range& rows) {
            for (int row = rows.start; row < rows.end; ++row) {
                const quint16* in = clean.ptr<quint16>(row);
                quint16* out = display.ptr<quint16>(row);
                for (int col = 0; col < clean.cols; ++col, in += 3, out += 3) {
                    const quint16* colour = colourOf(row, col);
                    const quint16* from = colour ? colour : in;
                    out[0] = from[0];
                    out[1] = from[1];
                    out[2] = from[2];
                }
            }
        },
        std::max(1, clean.rows / 16));
}

cv::Mat grey16(const cv::Mat& bgr16)
{
    cv::Mat grey;
    cv::cvtColor(bgr16, grey, cv::COLOR_BGR2GRAY);
    return grey;
}

} // namespace

void ImgOverlay::exposureAssist(const cv::Mat& clean, cv::Mat& display)
{
    static const quint16 red[3] = {0, 0, 65535};
    static const quint16 blue[3] = {65535, 0, 0};
    // Grey is a per-pixel step, so each block of rows takes its own grey
    // while its rows are still in the cache.
    constexpr int blockRows = 16;
    const int blocks = (clean.rows + blockRows - 1) / blockRows;
    cv::parallel_for_(
        cv::Range(0, blocks),
        [&](const cv::Range& range) {
            cv::Mat grey;
            for (int block = range.start; block < range.end; ++block) {
                const int first = block * blockRows;
                const int end = std::min(clean.rows, first + blockRows);
                cv::cvtColor(clean.rowRange(first, end), grey, cv::COLOR_BGR2GRAY);
                for (int row = first; row < end; ++row) {
                    const quint16* level = grey.ptr<quint16>(row - first);
                    const quint16* in = clean.ptr<quint16>(row);
                    quint16* out = display.ptr<quint16>(row);
                    for (int col = 0; col < clean.cols; ++col, in += 3, out += 3) {
                        const quint16* from = level[col] > 65534 ? red : level[col] <= 0 ? blue : in;
                        out[0] = from[0];
                        out[1] = from[1];
                        out[2] = from[2];
                    }
                }
            }
        },
        blocks);
}

int ImgOverlay::focusThreshold(int level)
{
    switch (level) {
    case 2:
        return 100;
    case 3:
        return 50;
    default:
        return 150;
    }
}

void ImgOverlay::focusPeaking(const cv::Mat& clean, int level, cv::Mat& display)
{
    static const quint16 green[3] = {0, 65535, 0};
    const cv::Mat grey = grey16(clean);
    // Equalising first makes edges in dark and flat parts of the picture
    // stand out as well as those in bright ones.
    cv::Mat equalised;
    cv::createCLAHE(2.0, cv::Size(8, 8))->apply(grey, equalised);
    cv::Mat blurred;
    cv::GaussianBlur(equalised, blurred, cv::Size(3, 3), 0);
    cv::Mat laplacian;
    cv::Laplacian(blurred, laplacian, CV_32F, 3, 1, 0);
    cv::Mat strength;
    cv::convertScaleAbs(laplacian, strength, 255.0 / 65535.0);
    cv::Mat marks;
    cv::threshold(strength, marks, focusThreshold(level), 255, cv::THRESH_BINARY);
    // Lone marked pixels are noise, not edges.
    cv::filterSpeckles(marks, 0, 1, 1);
    paint(clean, display, [&marks](int row, int col) -> const quint16* {
        return marks.at<uchar>(row, col) ? green : nullptr;
    });
}
