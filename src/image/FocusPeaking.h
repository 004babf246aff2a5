#pragma once

#include "Clahe16.h"

#include <QtGlobal>
#include <opencv2/core.hpp>
#include <vector>

// Focus peaking: paints the sharp edges of a processed 16-bit BGR picture
// green. The marks are defined by a chain of OpenCV steps (markOpenCv()):
// grey, CLAHE (clip 2.0, 8 x 8 tiles), 3 x 3 Gaussian blur, Laplacian
// (aperture 3) into float, |v| x 255 / 65535 saturated to 8 bits, a binary
// threshold by level, and removal of isolated marks by the speckle filter
// (size 1, difference 1).
//
// paint() gives the same marks, pixel for pixel, fast enough for the live
// view: the CLAHE by Clahe16, and every later step fused into one pass over
// stripes of rows on OpenCV's thread pool, in integers where the chain's
// arithmetic is exact in them (the blur is [1 2 1] x [1 2 1] / 16 rounded
// half up, the Laplacian 2 x the diagonal neighbours less 8 x the centre, the
// threshold a cut-off on |Laplacian| taken from OpenCV's own conversion, and
// a marked pixel is isolated exactly when none of its four neighbours is
// marked). Buffers are kept from frame to frame: nothing is allocated while
// the picture size stays.
class FocusPeaking
{
public:
    // display receives clean with the marked pixels pure green; both
    // CV_16UC3 of the same size. With out8, the rows of display also go
    // through the 8-bit rounding into rows stride8 bytes apart.
    // greyTaken: takeGrey() has already been given every row of clean.
    void paint(const cv::Mat& clean, int level, cv::Mat& display, uchar* out8 = nullptr,
               qsizetype stride8 = 0, bool greyTaken = false);
    // Takes the grey of rows of clean (of `size`) ahead of paint(), while
    // they are still in the cache; any thread may take its own rows.
    void prepareGrey(const cv::Size& size) { m_grey.create(size, CV_16UC1); }
    void takeGrey(const cv::Mat& clean, const cv::Range& rows);

    // The marks (255 marked, 0 not) of the OpenCV chain, step by step.
    static void markOpenCv(const cv::Mat& clean, int level, cv::Mat& marks);
    // The threshold on the 8-bit edge strength for a level (1 low, 2
    // medium, 3 high; any other level reads as low).
    static int threshold(int level);

private:
    struct Stripe;
    void markStripe(Stripe& stripe, int first, int end, int cutoff) const;

    Clahe16 m_clahe;
    cv::Mat m_grey;
    cv::Mat m_marks;
};
