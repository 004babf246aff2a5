#include "ImgOverlay.h"

#include "FocusPeaking.h"
#include "ParallelLoop.h"

#include <algorithm>
#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

// Rows whose grey is taken at once, while they are in the cache.
constexpr int BlockRows = 16;

// Row `row` of display in 8 bits, when asked for.
void to8bitRow(const cv::Mat& display, int row, uchar* out8, qsizetype stride8)
{
    if (!out8)
        return;
    const cv::Mat samples(1, display.cols * 3, CV_16UC1, const_cast<quint16*>(display.ptr<quint16>(row)));
    cv::Mat bytes(1, display.cols * 3, CV_8UC1, out8 + row * stride8);
    samples.convertTo(bytes, CV_8U, 255.0 / 65535.0);
}

} // namespace

void ImgOverlay::exposureAssist(const cv::Mat& clean, cv::Mat& display, uchar* out8, qsizetype stride8)
{
    const int blocks = (clean.rows + BlockRows - 1) / BlockRows;
    ParallelLoop::run(cv::Range(0, blocks), [&](const cv::Range& range) {
        exposureAssistRows(clean, display,
                           cv::Range(range.start * BlockRows, std::min(clean.rows, range.end * BlockRows)),
                           out8, stride8);
    });
}

void ImgOverlay::exposureAssistRows(const cv::Mat& clean, cv::Mat& display, const cv::Range& rows,
                                    uchar* out8, qsizetype stride8)
{
    const int cols = clean.cols;
    thread_local std::vector<quint16> greyRows;
    greyRows.resize(size_t(BlockRows) * size_t(cols));
    for (int first = rows.start; first < rows.end; first += BlockRows) {
        const int end = std::min(rows.end, first + BlockRows);
        cv::Mat grey(end - first, cols, CV_16UC1, greyRows.data());
        cv::cvtColor(clean.rowRange(first, end), grey, cv::COLOR_BGR2GRAY);
        for (int row = first; row < end; ++row) {
            const quint16* level = grey.ptr<quint16>(row - first);
            const quint16* in = clean.ptr<quint16>(row);
            quint16* out = display.ptr<quint16>(row);
            // Clipped white (grey above 65534) becomes pure red, pure black
            // (grey 0) pure blue; without branches.
            int col = 0;
            const cv::v_uint16x8 full = cv::v_setall_u16(65535);
            const cv::v_uint16x8 none = cv::v_setzero_u16();
            for (; col + 8 <= cols; col += 8) {
                cv::v_uint16x8 blue, green, red;
                cv::v_load_deinterleave(in + col * 3, blue, green, red);
                const cv::v_uint16x8 grey8 = cv::v_load(level + col);
                const cv::v_uint16x8 over = grey8 == full;
                const cv::v_uint16x8 under = grey8 == none;
                const cv::v_uint16x8 marked = over | under;
                cv::v_store_interleave(out + col * 3, (blue & ~marked) | under, green & ~marked,
                                       (red & ~marked) | over);
            }
            for (; col < cols; ++col) {
                const quint16 over = quint16(-int(level[col] > 65534));
                const quint16 under = quint16(-int(level[col] <= 0));
                const quint16 marked = over | under;
                out[col * 3] = quint16((in[col * 3] & ~marked) | under);
                out[col * 3 + 1] = quint16(in[col * 3 + 1] & ~marked);
                out[col * 3 + 2] = quint16((in[col * 3 + 2] & ~marked) | over);
            }
            to8bitRow(display, row, out8, stride8);
        }
    }
}

FocusPeaking& ImgOverlay::focusPeakingOfThread()
{
    thread_local FocusPeaking peaking;
    return peaking;
}

void ImgOverlay::focusPeaking(const cv::Mat& clean, int level, cv::Mat& display, uchar* out8,
                              qsizetype stride8)
{
    focusPeakingOfThread().paint(clean, level, display, out8, stride8);
}
