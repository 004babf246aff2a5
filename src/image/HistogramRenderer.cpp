#include "HistogramRenderer.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Rounds to nearest with ties to even (the default floating-point mode).
int roundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

cv::Mat channelHistogram(const cv::Mat& plane, int bins)
{
    const int channel = 0;
    const float range[] = {0.0f, 65536.0f};
    const float* ranges[] = {range};
    cv::Mat counts;
    cv::calcHist(&plane, 1, &channel, cv::Mat(), counts, 1, &bins, ranges, true, false);
    return counts;
}

} // namespace

QImage HistogramRenderer::render(const quint16* bgr, int width, int height, int pictureWidth,
                                 int pictureHeight, int binLimit)
{
    if (!bgr || width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0 || binLimit <= 0)
        return QImage();

    const int bins = std::min(binLimit, pictureWidth);
    const int binWidth = roundHalfEven(double(pictureWidth) / bins);
    // Puts each bin's point in the middle of its span on the picture.
    const int binOffset = binWidth != 1 ? binWidth / 2 - 1 : 0;

    // calcHist reads only; the const_cast does not lead to a write.
    const cv::Mat frame(height, width, CV_16UC3, const_cast<quint16*>(bgr));
    std::vector<cv::Mat> planes;
    cv::split(frame, planes);

    std::vector<cv::Mat> counts;
    double tallestPeak = 0.0;
    for (const cv::Mat& plane : planes) {
        counts.push_back(channelHistogram(plane, bins));
        double peak = 0.0;
        cv::minMaxLoc(counts.back(), nullptr, &peak);
        tallestPeak = std::max(tallestPeak, peak);
    }
    if (tallestPeak <= 0.0)
        return QImage();

    const int bottom = pictureHeight - 1;
    std::vector<cv::Mat> pictures;
    for (const cv::Mat& channelCounts : counts) {
        // One scale for all three channels: the tallest peak of any channel
        // spans the whole height.
        std::vector<cv::Point> outline;
        outline.reserve(bins + 4);
        auto top = [&](int bin) {
            return bottom - roundHalfEven(channelCounts.at<float>(bin) * bottom / tallestPeak);
        };
        outline.emplace_back(0, bottom);
        outline.emplace_back(0, top(0));
        for (int bin = 0; bin < bins; ++bin)
            outline.emplace_back(bin * binWidth + binOffset, top(bin));
        outline.emplace_back(pictureWidth - 1, top(bins - 1));
        outline.emplace_back(pictureWidth - 1, bottom);

        cv::Mat picture = cv::Mat::zeros(pictureHeight, pictureWidth, CV_8UC1);
        const cv::Point* outlinePoints = outline.data();
        const int outlineSize = int(outline.size());
        cv::fillPoly(picture, &outlinePoints, &outlineSize, 1, cv::Scalar(150), cv::LINE_8);
        // The curve leaves out the two corners on the bottom line.
        const std::vector<cv::Point> curve(outline.begin() + 1, outline.end() - 1);
        cv::polylines(picture, curve, false, cv::Scalar(255), 1, cv::LINE_8);
        pictures.push_back(picture);
    }

    cv::Mat merged;
    cv::merge(pictures, merged);
    QImage result(pictureWidth, pictureHeight, QImage::Format_BGR888);
    for (int row = 0; row < pictureHeight; ++row)
        std::memcpy(result.scanLine(row), merged.ptr(row), size_t(pictureWidth) * 3);
    return result;
}
