#pragma once

#include <QtGlobal>
#include <opencv2/core.hpp>

class FocusPeaking;

// The two picture overlays of the display buffer, drawn on a copy of the
// processed 16-bit BGR picture: exposure assist (clipped white turns red,
// pure black turns blue) and focus peaking (sharp edges turn green).
//
// display receives clean with the marked pixels replaced; both CV_16UC3 of
// the same size, not the same buffer. With out8 the rows of display also go
// through the 8-bit rounding into rows stride8 bytes apart, while they are
// still in the cache. Scratch buffers are kept per thread, so nothing is
// allocated while the picture size stays.
class ImgOverlay
{
public:
    static void exposureAssist(const cv::Mat& clean, cv::Mat& display, uchar* out8 = nullptr,
                               qsizetype stride8 = 0);
    // The same for some rows, on the calling thread: a pass that makes the
    // picture in stripes draws each stripe's overlay while it is in the cache.
    static void exposureAssistRows(const cv::Mat& clean, cv::Mat& display, const cv::Range& rows,
                                   uchar* out8 = nullptr, qsizetype stride8 = 0);
    // level: ImgAdjModel::FocusPeak (1 low, 2 medium, 3 high).
    static void focusPeaking(const cv::Mat& clean, int level, cv::Mat& display, uchar* out8 = nullptr,
                             qsizetype stride8 = 0);
    // The calling thread's focus peaking, whose buffers stay from frame to
    // frame (the display, the writers and the image search each run their
    // own frames).
    static FocusPeaking& focusPeakingOfThread();
};
