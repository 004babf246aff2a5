#pragma once

#include <QImage>
#include <QtGlobal>
#include <array>
#include <opencv2/core.hpp>
#include <vector>

// Draws the three-colour histogram of a 16-bit BGR frame: per channel a filled
// outline (150) with its curve (255) in the channel's own colour component,
// all three on one vertical scale so that the tallest peak reaches the top.
//
// An instance keeps its scratch and the picture's buffer from frame to frame,
// so that drawing a frame of a steady size allocates nothing of its own.
class HistogramRenderer
{
public:
    // bgr holds width × height × 3 samples in B, G, R order. Gives a
    // QImage::Format_BGR888 picture of pictureWidth × pictureHeight with at
    // most binLimit bins (at most MaxBins) across it; a null picture when there is nothing to
    // draw (no samples or no picture area).
    static QImage render(const quint16* bgr, int width, int height, int pictureWidth, int pictureHeight,
                         int binLimit = 256);
    // The same into picture, whose buffer is reused when it has the size and
    // is not shared.
    void render(const quint16* bgr, int width, int height, int pictureWidth, int pictureHeight, int binLimit,
                QImage& picture);

    // The counts of `bins` uniform bins over 0 .. 65536 of each channel of
    // the interleaved picture (as OpenCV's calcHist of the split planes):
    // counts[channel * bins + bin], channels B, G, R. bins is 1 .. 256.
    static void count(const quint16* bgr, int width, int height, int bins, int* counts);

    static constexpr int MaxBins = 256;

    // The closed polygon through points filled with value, drawn as OpenCV's
    // fillPoly draws it (8-connected outline, spans between edge crossings
    // in 16.16 fixed point), and the open polyline through them as OpenCV's
    // polylines draws it (8-connected, 1 pixel); both without allocating
    // once the scratch has grown to the number of points.
    void fillPolygon(cv::Mat& plane, const cv::Point* points, int count, uchar value);
    static void drawPolyline(cv::Mat& plane, const cv::Point* points, int count, uchar value);

private:
    struct Edge
    {
        int y0;    // upper end
        int y1;    // lower end, not included
        qint64 x;  // at y0, 16.16 fixed point
        qint64 dx; // per row
    };

    std::array<int, 3 * MaxBins> m_counts{};
    std::vector<cv::Point> m_outline;
    std::vector<Edge> m_edges;
    std::vector<qint64> m_crossings;
    cv::Mat m_planes[3];
};
