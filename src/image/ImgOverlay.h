#pragma once

#include <QtGlobal>
#include <opencv2/core.hpp>

// The two picture overlays of the display buffer, drawn on a copy of the
// processed 16-bit BGR picture: exposure assist (clipped white turns red,
// pure black turns blue) and focus peaking (sharp edges turn green).
class ImgOverlay
{
public:
    // display receives clean with the marked pixels replaced; both CV_16UC3 of
    // the same size, not the same buffer.
    static void exposureAssist(const cv::Mat& clean, cv::Mat& display);
    // level: ImgAdjModel::FocusPeak (1 low, 2 medium, 3 high).
    static void focusPeaking(const cv::Mat& clean, int level, cv::Mat& display);

    // The threshold on the 8-bit edge strength for a focus peaking level.
    static int focusThreshold(int level);
};
