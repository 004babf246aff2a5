#include "FocusPeaking.h"

#include "ParallelLoop.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <opencv2/calib3d.hpp>
#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// Rows of a stripe: small enough that a stripe's rows stay in the cache
// from equalising to painting, large enough that the rows it shares with
// its neighbours (three on each side) cost little.
constexpr int StripeRows = 64;
constexpr int Margin = 3;
constexpr int MaxLaplacian = 8 * 65535;

// The smallest |Laplacian| whose 8-bit strength (OpenCV's convertScaleAbs
// with the chain's scale) is above the threshold. The strength grows with
// |Laplacian|, so a binary search over OpenCV's own conversion finds it.
int cutoffFor(int threshold)
{
    // A row of one value, long enough that the conversion takes the vector
    // path it takes over a picture's rows.
    auto strength = [](int laplacian) {
        const cv::Mat value(1, 64, CV_32F, cv::Scalar(float(laplacian)));
        cv::Mat converted;
        cv::convertScaleAbs(value, converted, 255.0 / 65535.0);
        return int(converted.at<uchar>(0, 0));
    };
    int low = 0; // strength(low) <= threshold
    int high = MaxLaplacian + 1;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (strength(middle) > threshold ? high : low) = middle;
    }
    return high;
}

int cutoffForLevel(int level)
{
    static const std::array<int, 3> cutoffs = {cutoffFor(FocusPeaking::threshold(1)),
                                               cutoffFor(FocusPeaking::threshold(2)),
                                               cutoffFor(FocusPeaking::threshold(3))};
    return cutoffs[size_t(level >= 1 && level <= 3 ? level - 1 : 0)];
}

// Reflects an index about the first and last element (OpenCV's default
// border) for pictures of at least two rows or columns.
int reflect(int index, int size)
{
    return index < 0 ? -index : index >= size ? 2 * size - 2 - index : index;
}

// Copies a row of clean into display with the kept marks green, and into
// its 8-bit form when asked for; without branches, as marks fall where the
// picture says, which no branch predictor guesses.
void paintRow(const quint16* clean, const uchar* keep, int cols, quint16* display, uchar* out8)
{
    int col = 0;
    for (; col + 8 <= cols; col += 8) {
        cv::v_uint16x8 blue, green, red;
        cv::v_load_deinterleave(clean + col * 3, blue, green, red);
        const cv::v_uint16x8 marked = cv::v_load_expand(keep + col) != cv::v_setzero_u16();
        cv::v_store_interleave(display + col * 3, blue & ~marked, green | marked, red & ~marked);
    }
    for (; col < cols; ++col) {
        const quint16 marked = quint16(-int(keep[col] != 0));
        display[col * 3] = clean[col * 3] & quint16(~marked);
        display[col * 3 + 1] = clean[col * 3 + 1] | marked;
        display[col * 3 + 2] = clean[col * 3 + 2] & quint16(~marked);
    }
    if (out8) {
        const cv::Mat row16(1, cols * 3, CV_16UC1, display);
        cv::Mat row8(1, cols * 3, CV_8UC1, out8);
        row16.convertTo(row8, CV_8U, 255.0 / 65535.0);
    }
}

// The marks of `here` that have a marked neighbour among their four (the
// rows beyond the picture's edges come in unmarked).
void keepConnected(const uchar* above, const uchar* here, const uchar* below, int cols, uchar* keep)
{
    keep[0] = here[0] & (here[1] | above[0] | below[0]);
    for (int col = 1; col < cols - 1; ++col)
        keep[col] = here[col] & (here[col - 1] | here[col + 1] | above[col] | below[col]);
    keep[cols - 1] = here[cols - 1] & (here[cols - 2] | above[cols - 1] | below[cols - 1]);
}

} // namespace

// Scratch rows of one stripe, per worker thread, kept from frame to frame.
struct FocusPeaking::Stripe
{
    int cols = 0;
    int first = 0;
    int end = 0;
    std::vector<quint16> equalised; // rows first - 3 .. end + 3
    std::vector<int> columnSums;    // one row of the vertical blur sums
    std::vector<quint16> blurred;   // rows first - 2 .. end + 2
    std::vector<uchar> marks;       // rows first - 1 .. end + 1
    std::vector<uchar> keep;        // one row
    std::vector<uchar> unmarked;    // one row beyond the picture

    void size(int columns)
    {
        cols = columns;
        const size_t rows = StripeRows + 2 * Margin;
        equalised.resize(rows * size_t(cols));
        columnSums.resize(size_t(cols));
        blurred.resize(rows * size_t(cols));
        marks.resize(rows * size_t(cols));
        keep.resize(size_t(cols));
        unmarked.assign(size_t(cols), 0);
    }
    // Row `row` of the picture in a buffer that starts at picture row first - 3.
    template <typename T> T* rowOf(std::vector<T>& buffer, int row)
    {
        return buffer.data() + size_t(row - first + Margin) * size_t(cols);
    }
};

int FocusPeaking::threshold(int level)
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

void FocusPeaking::markOpenCv(const cv::Mat& clean, int level, cv::Mat& marks)
{
    cv::Mat grey;
    cv::cvtColor(clean, grey, cv::COLOR_BGR2GRAY);
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
    cv::threshold(strength, marks, threshold(level), 255, cv::THRESH_BINARY);
    // Lone marked pixels are noise, not edges.
    cv::filterSpeckles(marks, 0, 1, 1);
}

void FocusPeaking::takeGrey(const cv::Mat& clean, const cv::Range& rows)
{
    cv::Mat grey = m_grey.rowRange(rows);
    cv::cvtColor(clean.rowRange(rows), grey, cv::COLOR_BGR2GRAY);
}

void FocusPeaking::paint(const cv::Mat& clean, int level, cv::Mat& display, uchar* out8, qsizetype stride8,
                         bool greyTaken)
{
    const int rows = clean.rows;
    const int cols = clean.cols;
    if (!Clahe16::equalises(rows, cols)) {
        // Too small for the tiles to be worth it (and for OpenCV's borders
        // to be simple): the chain itself.
        markOpenCv(clean, level, m_marks);
        for (int row = 0; row < rows; ++row)
            paintRow(clean.ptr<quint16>(row), m_marks.ptr<uchar>(row), cols, display.ptr<quint16>(row),
                     out8 ? out8 + row * stride8 : nullptr);
        return;
    }
    if (!greyTaken || m_grey.size() != clean.size())
        cv::cvtColor(clean, m_grey, cv::COLOR_BGR2GRAY);
    m_clahe.buildTables(m_grey);
    const int cutoff = cutoffForLevel(level);
    const int stripes = (rows + StripeRows - 1) / StripeRows;
    ParallelLoop::run(cv::Range(0, stripes), [&](const cv::Range& range) {
        thread_local Stripe stripe;
        if (stripe.cols != cols)
            stripe.size(cols);
        for (int index = range.start; index < range.end; ++index) {
            const int first = index * StripeRows;
            const int end = std::min(rows, first + StripeRows);
            markStripe(stripe, first, end, cutoff);
            for (int row = first; row < end; ++row) {
                const uchar* above = row > 0 ? stripe.rowOf(stripe.marks, row - 1) : stripe.unmarked.data();
                const uchar* here = stripe.rowOf(stripe.marks, row);
                const uchar* below =
                    row + 1 < rows ? stripe.rowOf(stripe.marks, row + 1) : stripe.unmarked.data();
                uchar* keep = stripe.keep.data();
                keepConnected(above, here, below, cols, keep);
                paintRow(clean.ptr<quint16>(row), keep, cols, display.ptr<quint16>(row),
                         out8 ? out8 + row * stride8 : nullptr);
            }
        }
    });
}

void FocusPeaking::markStripe(Stripe& stripe, int first, int end, int cutoff) const
{
    const int rows = m_grey.rows;
    const int cols = m_grey.cols;
    stripe.first = first;
    stripe.end = end;

    // Equalised rows first - 3 .. end + 3, blurred rows first - 2 .. end + 2
    // and marks of rows first - 1 .. end + 1, each within the picture; rows
    // beyond its edges are read reflected, as OpenCV's steps read them.
    const int equalisedFirst = std::max(first - Margin, 0);
    const int equalisedEnd = std::min(end + Margin, rows);
    for (int row = equalisedFirst; row < equalisedEnd; ++row)
        m_clahe.equaliseRow(m_grey, row, stripe.rowOf(stripe.equalised, row));

    int* sums = stripe.columnSums.data();
    for (int row = std::max(first - 2, 0); row < std::min(end + 2, rows); ++row) {
        const quint16* up = stripe.rowOf(stripe.equalised, reflect(row - 1, rows));
        const quint16* mid = stripe.rowOf(stripe.equalised, row);
        const quint16* down = stripe.rowOf(stripe.equalised, reflect(row + 1, rows));
        for (int col = 0; col < cols; ++col)
            sums[col] = up[col] + 2 * mid[col] + down[col];
        quint16* out = stripe.rowOf(stripe.blurred, row);
        out[0] = quint16((2 * sums[1] + 2 * sums[0] + 8) >> 4);
        for (int col = 1; col < cols - 1; ++col)
            out[col] = quint16((sums[col - 1] + 2 * sums[col] + sums[col + 1] + 8) >> 4);
        out[cols - 1] = quint16((2 * sums[cols - 2] + 2 * sums[cols - 1] + 8) >> 4);
    }

    for (int row = std::max(first - 1, 0); row < std::min(end + 1, rows); ++row) {
        const quint16* up = stripe.rowOf(stripe.blurred, reflect(row - 1, rows));
        const quint16* mid = stripe.rowOf(stripe.blurred, row);
        const quint16* down = stripe.rowOf(stripe.blurred, reflect(row + 1, rows));
        uchar* marks = stripe.rowOf(stripe.marks, row);
        auto mark = [&](int col, int left, int right) {
            const int laplacian = 2 * (up[left] + up[right] + down[left] + down[right]) - 8 * mid[col];
            return uchar(-int(std::abs(laplacian) >= cutoff));
        };
        marks[0] = mark(0, 1, 1);
        for (int col = 1; col < cols - 1; ++col)
            marks[col] = mark(col, col - 1, col + 1);
        marks[cols - 1] = mark(cols - 1, cols - 2, cols - 2);
    }
}
