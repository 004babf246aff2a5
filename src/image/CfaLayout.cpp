#include "CfaLayout.h"

#include "ImgAdjUtil.h"

#include <opencv2/imgproc.hpp>

CfaLayout::CfaLayout(int cfa) : m_colour(cfa != ImgAdjUtil::CfaMono)
{
    using Util::B;
    using Util::G;
    using Util::R;
    struct Layout
    {
        Util::Color top[2];
        Util::Color bottom[2];
        int code;
    };
    static const Layout rggb{{R, G}, {G, B}, cv::COLOR_BayerBG2BGR};
    static const Layout gbrg{{G, B}, {R, G}, cv::COLOR_BayerGR2BGR};
    static const Layout bggr{{B, G}, {G, R}, cv::COLOR_BayerRG2BGR};
    static const Layout grbg{{G, R}, {B, G}, cv::COLOR_BayerGB2BGR};

    const Layout* layout = &rggb;
    switch (cfa) {
    case ImgAdjUtil::CfaMono:
        // Not demosaiced; automatic white balance of a monochrome frame reads
        // the sites as G B / R G, as it always has.
    case ImgAdjUtil::CfaGBRG:
        layout = &gbrg;
        break;
    case ImgAdjUtil::CfaBGGR:
        layout = &bggr;
        break;
    case ImgAdjUtil::CfaGRBG:
        layout = &grbg;
        break;
    default:
        // RGGB, and codes no camera sends: demosaicing and white balance then
        // at least agree on one layout.
        layout = &rggb;
        break;
    }
    for (int col = 0; col < 2; ++col) {
        m_sites[0][col] = layout->top[col];
        m_sites[1][col] = layout->bottom[col];
    }
    m_demosaicCode = layout->code;
}
