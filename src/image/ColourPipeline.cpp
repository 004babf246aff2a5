#include "ColourPipeline.h"

#include "ImgOrientation.h"
#include "ParallelLoop.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <opencv2/imgproc.hpp>

namespace {

// 32 rows of a 1920-pixel frame demosaiced are some 400 KB.
constexpr int stripeRows = 32;
// Rows demosaiced beyond a stripe on each side. Bilinear demosaicing reads
// one row beyond the row it makes; two keep the first row of every stripe's
// input even, so that the input has the frame's layout.
constexpr int overlapRows = 2;

int colourIndex(Util::Color colour)
{
    return colour == Util::R ? 0 : colour == Util::G ? 1 : 2;
}

} // namespace

ColourPipeline::ColourPipeline(const CfaLayout& layout, const double gains[3], GainTableCache& gainTables,
                               const quint16* lutR, const quint16* lutG, const quint16* lutB,
                               bool identityLuts)
    : m_layout(layout), m_lutR(lutR), m_lutG(lutG), m_lutB(lutB), m_identityLuts(identityLuts)
{
    for (int colour = 0; colour < 3; ++colour) {
        if (gains[colour] != 1.0)
            m_gainTables[colour] = gainTables.table(gains[colour]);
    }
    m_unityGains = !m_gainTables[0] && !m_gainTables[1] && !m_gainTables[2];
}

const quint16* ColourPipeline::gainTable(Util::Color colour) const
{
    const GainTableCache::Table& table = m_gainTables[colourIndex(colour)];
    return table ? table->data() : nullptr;
}

void ColourPipeline::balanceRows(const cv::Mat& mosaic, int first, int end, quint16* out) const
{
    // A colour without a gain goes through the identity table: one loop over
    // both sites of a pair reads and writes the row in order.
    static const std::vector<quint16> identity = [] {
        std::vector<quint16> table(65536);
        for (int i = 0; i < 65536; ++i)
            table[size_t(i)] = quint16(i);
        return table;
    }();
    const int cols = mosaic.cols;
    for (int row = first; row < end; ++row, out += cols) {
        const quint16* in = mosaic.ptr<quint16>(row);
        const quint16* even = gainTable(m_layout.siteColour(row, 0));
        const quint16* odd = gainTable(m_layout.siteColour(row, 1));
        even = even ? even : identity.data();
        odd = odd ? odd : identity.data();
        int col = 0;
        for (; col + 2 <= cols; col += 2) {
            const quint16 a = even[in[col]];
            const quint16 b = odd[in[col + 1]];
            out[col] = a;
            out[col + 1] = b;
        }
        if (col < cols)
            out[col] = even[in[col]];
    }
}

void ColourPipeline::processUpright(const cv::Mat& mosaic, cv::Mat& out, uchar* out8, qsizetype stride8,
                                    const cv::ParallelLoopBody* rowsDone) const
{
    const int rows = mosaic.rows;
    const int cols = mosaic.cols;
    auto to8bit = [&](int first, int end) {
        const cv::Mat done(end - first, cols * 3, CV_16UC1, out.ptr<quint16>(first));
        cv::Mat bytes(end - first, cols * 3, CV_8UC1, out8 + first * stride8, size_t(stride8));
        done.convertTo(bytes, CV_8U, 255.0 / 65535.0);
    };
    if (m_identityLuts && m_unityGains) {
        // Nothing to do before or after demosaicing: demosaic the whole
        // frame straight into out rather than copy stripes into it.
        cv::cvtColor(mosaic, out, m_layout.demosaicCode());
        if (out8 || rowsDone) {
            ParallelLoop::run(
                cv::Range(0, rows),
                [&](const cv::Range& range) {
                    if (out8)
                        to8bit(range.start, range.end);
                    if (rowsDone)
                        (*rowsDone)(range);
                },
                std::max(1, rows / stripeRows));
        }
        return;
    }
    forStripes(mosaic, [&](int first, int end, const cv::Mat& bgr, int inFirst) {
        if (m_identityLuts) {
            const size_t rowBytes = size_t(cols) * 3 * sizeof(quint16);
            for (int row = first; row < end; ++row)
                std::memcpy(out.ptr<quint16>(row), bgr.ptr<quint16>(row - inFirst), rowBytes);
        } else {
            for (int row = first; row < end; ++row)
                lutRow(bgr.ptr<quint16>(row - inFirst), out.ptr<quint16>(row), cols);
        }
        if (out8)
            to8bit(first, end);
        if (rowsDone)
            (*rowsDone)(cv::Range(first, end));
    });
}

void ColourPipeline::processTurned(const cv::Mat& mosaic, const ImgOrientation& orientation,
                                   cv::Mat& out) const
{
    const int cols = mosaic.cols;
    quint16* base = out.ptr<quint16>();
    // Where a step along a source row and down a source column lands.
    const qptrdiff origin = orientation.outputIndex(0, 0);
    const qptrdiff alongRow = (orientation.outputIndex(0, 1) - origin) * 3;
    const qptrdiff downCol = (orientation.outputIndex(1, 0) - origin) * 3;
    const bool rowsStayRows = alongRow == 3 || alongRow == -3;
    forStripes(mosaic, [&](int first, int end, const cv::Mat& bgr, int inFirst) {
        const qptrdiff start = orientation.outputIndex(first, 0) * 3;
        if (rowsStayRows) {
            for (int row = first; row < end; ++row) {
                const quint16* in = bgr.ptr<quint16>(row - inFirst);
                qptrdiff at = start + (row - first) * downCol;
                for (int col = 0; col < cols; ++col, in += 3, at += alongRow)
                    lutPixel(in, base + at);
            }
            return;
        }
        // Turned a quarter: a source column becomes a run along an output
        // row, so walk the stripe column by column to write runs.
        for (int col = 0; col < cols; ++col) {
            qptrdiff at = start + col * alongRow;
            for (int row = first; row < end; ++row, at += downCol)
                lutPixel(bgr.ptr<quint16>(row - inFirst, col), base + at);
        }
    });
}

template <typename ToStripe>
void ColourPipeline::forStripes(const cv::Mat& mosaic, const ToStripe& toStripe) const
{
    const int rows = mosaic.rows;
    const int cols = mosaic.cols;
    const int stripes = (rows + stripeRows - 1) / stripeRows;
    ParallelLoop::run(
        cv::Range(0, stripes),
        [&](const cv::Range& range) {
            // Scratch of the worker thread, reused from stripe to stripe and
            // frame to frame (it only grows, so a steady frame size allocates
            // nothing); nothing of a frame survives in it.
            thread_local std::vector<quint16> balancedRows;
            thread_local std::vector<quint16> bgrRows;
            const size_t mostRows = size_t(stripeRows + 2 * overlapRows);
            if (bgrRows.size() < mostRows * size_t(cols) * 3)
                bgrRows.resize(mostRows * size_t(cols) * 3);
            if (!m_unityGains && balancedRows.size() < mostRows * size_t(cols))
                balancedRows.resize(mostRows * size_t(cols));
            for (int stripe = range.start; stripe < range.end; ++stripe) {
                const int first = stripe * stripeRows;
                const int end = std::min(rows, first + stripeRows);
                const int inFirst = std::max(0, first - overlapRows);
                const int inEnd = std::min(rows, end + overlapRows);
                cv::Mat input = mosaic.rowRange(inFirst, inEnd);
                if (!m_unityGains) {
                    balanceRows(mosaic, inFirst, inEnd, balancedRows.data());
                    input = cv::Mat(inEnd - inFirst, cols, CV_16UC1, balancedRows.data());
                }
                // Of the stripe's size, so that cvtColor writes into it
                // instead of allocating.
                cv::Mat bgr(inEnd - inFirst, cols, CV_16UC3, bgrRows.data());
                cv::cvtColor(input, bgr, m_layout.demosaicCode());
                toStripe(first, end, bgr, inFirst);
            }
        },
        stripes);
}

void ColourPipeline::lutRow(const quint16* in, quint16* out, int cols) const
{
    const quint16* lutR = m_lutR;
    const quint16* lutG = m_lutG;
    const quint16* lutB = m_lutB;
    int col = 0;
    // Two pixels a turn, all six look-ups before any store: the stores can
    // then not make the compiler wait for the loads of the next pixel.
    for (; col + 2 <= cols; col += 2, in += 6, out += 6) {
        const quint16 b0 = lutB[in[0]], g0 = lutG[in[1]], r0 = lutR[in[2]];
        const quint16 b1 = lutB[in[3]], g1 = lutG[in[4]], r1 = lutR[in[5]];
        out[0] = b0;
        out[1] = g0;
        out[2] = r0;
        out[3] = b1;
        out[4] = g1;
        out[5] = r1;
    }
    if (col < cols)
        lutPixel(in, out);
}
