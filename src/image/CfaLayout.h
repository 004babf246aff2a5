#pragma once

#include "Util.h"

// The colour-filter layout of a sensor, from the `cfa` code of its frames
// (ImgAdjUtil::CfaType): which colour each site of the repeating 2x2 cell
// carries, and the OpenCV demosaicing conversion that reads that layout.
//
// OpenCV names its Bayer conversions after the second and third pixel of the
// second row, not after the top-left cell, so a sensor whose top-left cell is
// R G / G B needs COLOR_BayerBG2BGR. The tests pin every layout down with a
// frame of known colours.
class CfaLayout
{
public:
    explicit CfaLayout(int cfa);

    // False for monochrome sensors, whose frames are not demosaiced.
    bool isColour() const { return m_colour; }
    // The colour of the site at (row, col) of the frame.
    Util::Color siteColour(int row, int col) const { return m_sites[row & 1][col & 1]; }
    // The cv::ColorConversionCodes value that demosaics this layout to BGR.
    int demosaicCode() const { return m_demosaicCode; }

private:
    bool m_colour;
    Util::Color m_sites[2][2];
    int m_demosaicCode;
};
