#include "HistogramRenderer.h"

#include "ParallelLoop.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Rounds to nearest with ties to even (the default floating-point mode).
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

constexpr int fixedShift = 16;
// Where a crossing lies within its pixel: just under one half, so that a
// crossing exactly halfway rounds down as OpenCV's fill has it.
constexpr qint64 pixelCentre = (1 << (fixedShift - 1)) - 1;

void drawLine(cv::Mat& plane, cv::Point from, cv::Point to, uchar value)
{
    cv::LineIterator line(plane, from, to, 8, true);
    for (int i = 0; i < line.count; ++i, ++line)
        **line = value;
}

// Rows counted by one task; each task counts into its own slot.
constexpr int maxTasks = 16;

} // namespace

void HistogramRenderer::count(const quint16* bgr, int width, int height, int bins, int* counts)
{
    std::fill(counts, counts + 3 * bins, 0);
    if (!bgr || width <= 0 || height <= 0 || bins <= 0 || bins > MaxBins)
        return;
    // Bin of a sample v: floor(v × bins / 65536), exact in integers (bins /
    // 65536 is a power-of-two fraction, so calcHist's scaling is exact too).
    const int tasks = std::clamp(height / 64, 1, maxTasks);
    std::array<std::array<int, 6 * MaxBins>, maxTasks> perTask;
    ParallelLoop::run(
        cv::Range(0, tasks),
        [&](const cv::Range& range) {
            for (int task = range.start; task < range.end; ++task) {
                // Two sets of counts, for even and odd pixels: neighbours
                // mostly fall into the same bin, and one set would make each
                // count wait for the previous one.
                int* even = perTask[size_t(task)].data();
                int* odd = even + 3 * MaxBins;
                std::fill(even, even + 6 * MaxBins, 0);
                const qsizetype first = qsizetype(height) * task / tasks * width;
                const qsizetype end = qsizetype(height) * (task + 1) / tasks * width;
                const quint16* pixel = bgr + first * 3;
                const quint16* pairsEnd = pixel + (end - first) / 2 * 6;
                const unsigned scale = unsigned(bins);
                for (; pixel < pairsEnd; pixel += 6) {
                    ++even[(pixel[0] * scale) >> 16];
                    ++even[MaxBins + ((pixel[1] * scale) >> 16)];
                    ++even[2 * MaxBins + ((pixel[2] * scale) >> 16)];
                    ++odd[(pixel[3] * scale) >> 16];
                    ++odd[MaxBins + ((pixel[4] * scale) >> 16)];
                    ++odd[2 * MaxBins + ((pixel[5] * scale) >> 16)];
                }
                if ((end - first) % 2) {
                    ++even[(pixel[0] * scale) >> 16];
                    ++even[MaxBins + ((pixel[1] * scale) >> 16)];
                    ++even[2 * MaxBins + ((pixel[2] * scale) >> 16)];
                }
            }
        },
        tasks);
    for (int task = 0; task < tasks; ++task) {
        const int* even = perTask[size_t(task)].data();
        const int* odd = even + 3 * MaxBins;
        for (int channel = 0; channel < 3; ++channel) {
            for (int bin = 0; bin < bins; ++bin)
                counts[channel * bins + bin] += even[channel * MaxBins + bin] + odd[channel * MaxBins + bin];
        }
    }
}

QImage HistogramRenderer::render(const quint16* bgr, int width, int height, int pictureWidth,
                                 int pictureHeight, int binLimit)
{
    HistogramRenderer renderer;
    QImage picture;
    renderer.render(bgr, width, height, pictureWidth, pictureHeight, binLimit, picture);
    return picture;
}

void HistogramRenderer::render(const quint16* bgr, int width, int height, int pictureWidth, int pictureHeight,
                               int binLimit, QImage& picture)
{
    if (!bgr || width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0 || binLimit <= 0) {
        picture = QImage();
        return;
    }

    const int bins = std::min({binLimit, pictureWidth, MaxBins});
    const int binWidth = roundHalfEven(double(pictureWidth) / bins);
    // Puts each bin's point in the middle of its span on the picture.
    const int binOffset = binWidth != 1 ? binWidth / 2 - 1 : 0;

    count(bgr, width, height, bins, m_counts.data());
    // The counts as calcHist gives them (floats), so that the scaling below
    // rounds exactly as it always has.
    double tallestPeak = 0.0;
    for (int i = 0; i < 3 * bins; ++i)
        tallestPeak = std::max(tallestPeak, double(float(m_counts[size_t(i)])));
    if (tallestPeak <= 0.0) {
        picture = QImage();
        return;
    }

    const int bottom = pictureHeight - 1;
    m_outline.resize(size_t(bins) + 4);
    for (int channel = 0; channel < 3; ++channel) {
        const int* channelCounts = m_counts.data() + channel * bins;
        // One scale for all three channels: the tallest peak of any channel
        // spans the whole height.
        auto top = [&](int bin) {
            const float binCount = float(channelCounts[bin]);
            return bottom - roundHalfEven(binCount * bottom / tallestPeak);
        };
        cv::Point* outline = m_outline.data();
        outline[0] = cv::Point(0, bottom);
        outline[1] = cv::Point(0, top(0));
        for (int bin = 0; bin < bins; ++bin)
            outline[bin + 2] = cv::Point(bin * binWidth + binOffset, top(bin));
        outline[bins + 2] = cv::Point(pictureWidth - 1, top(bins - 1));
        outline[bins + 3] = cv::Point(pictureWidth - 1, bottom);

        cv::Mat& plane = m_planes[channel];
        plane.create(pictureHeight, pictureWidth, CV_8UC1);
        std::memset(plane.data, 0, plane.total());
        const cv::Point* outlinePoints = outline;
        const int outlineSize = bins + 4;
        fillPolygon(plane, outlinePoints, outlineSize, 150);
        // The curve leaves out the two corners on the bottom line.
        drawPolyline(plane, outline + 1, bins + 2, 255);
    }

    if (picture.size() != QSize(pictureWidth, pictureHeight) || picture.format() != QImage::Format_BGR888 ||
        !picture.isDetached())
        picture = QImage(pictureWidth, pictureHeight, QImage::Format_BGR888);
    for (int row = 0; row < pictureHeight; ++row) {
        uchar* line = picture.scanLine(row);
        const uchar* b = m_planes[0].ptr(row);
        const uchar* g = m_planes[1].ptr(row);
        const uchar* r = m_planes[2].ptr(row);
        for (int col = 0; col < pictureWidth; ++col, line += 3) {
            line[0] = b[col];
            line[1] = g[col];
            line[2] = r[col];
        }
    }
}

void HistogramRenderer::drawPolyline(cv::Mat& plane, const cv::Point* points, int count, uchar value)
{
    for (int i = 1; i < count; ++i)
        drawLine(plane, points[i - 1], points[i], value);
}

void HistogramRenderer::fillPolygon(cv::Mat& plane, const cv::Point* points, int count, uchar value)
{
    if (count <= 0)
        return;
    // Edges that leave the picture are clipped by rules of their own: those
    // polygons (bins beyond a narrow picture) go to OpenCV itself.
    const cv::Rect area(0, 0, plane.cols, plane.rows);
    for (int i = 0; i < count; ++i) {
        if (!area.contains(points[i])) {
            cv::fillPoly(plane, &points, &count, 1, cv::Scalar(value), cv::LINE_8);
            return;
        }
    }
    m_edges.clear();
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (int i = 0; i < count; ++i) {
        const cv::Point from = points[i == 0 ? count - 1 : i - 1];
        const cv::Point to = points[i];
        drawLine(plane, from, to, value);
        if (from.y == to.y)
            continue;
        // The edge's line in 16.16 fixed point, through the pixel centres.
        const qint64 fromX = (qint64(from.x) << fixedShift) + pixelCentre;
        const qint64 toX = (qint64(to.x) << fixedShift) + pixelCentre;
        Edge edge;
        edge.dx = (toX - fromX) / (to.y - from.y);
        edge.y0 = std::min(from.y, to.y);
        edge.y1 = std::max(from.y, to.y);
        edge.x = from.y < to.y ? fromX : toX;
        m_edges.push_back(edge);
        top = std::min(top, edge.y0);
        bottom = std::max(bottom, edge.y1);
    }
    if (m_edges.size() < 2)
        return;
    // Each row: the spans between the first and second, third and fourth ...
    // crossing of an edge, from left to right; an edge counts from its upper
    // end to just above its lower one.
    bottom = std::min(bottom, plane.rows);
    for (int y = std::max(top, 0); y < bottom; ++y) {
        m_crossings.clear();
        for (const Edge& edge : m_edges) {
            if (edge.y0 <= y && y < edge.y1)
                m_crossings.push_back(edge.x + qint64(y - edge.y0) * edge.dx);
        }
        std::sort(m_crossings.begin(), m_crossings.end());
        uchar* row = plane.ptr(y);
        for (size_t k = 0; k + 1 < m_crossings.size(); k += 2) {
            const qint64 left = std::max<qint64>(m_crossings[k] >> fixedShift, 0);
            const qint64 right = std::min<qint64>(m_crossings[k + 1] >> fixedShift, plane.cols - 1);
            for (qint64 x = left; x <= right; ++x)
                row[x] = value;
        }
    }
}
