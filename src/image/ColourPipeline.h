#pragma once

#include "CfaLayout.h"
#include "GainTableCache.h"

class ImgOrientation;

#include <QtGlobal>
#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <vector>

// The colour part of the image pipeline: white balance on the mosaic (each
// site times the gain of its colour, for frames of any size), demosaicing
// with the layout's OpenCV conversion, and the per-channel tables.
//
// An upright frame goes through all three steps in stripes of rows small
// enough to stay in the processor's cache, the stripes spread over OpenCV's
// thread pool; each stripe demosaics two extra rows above and below so that
// its own rows come out exactly as from demosaicing the whole frame.
class ColourPipeline
{
public:
    // gains: R, G, B white-balance gains, their tables from gainTables;
    // luts: 65536 entries each, identityLuts whether all three are identity.
    ColourPipeline(const CfaLayout& layout, const double gains[3], GainTableCache& gainTables,
                   const quint16* lutR, const quint16* lutG, const quint16* lutB, bool identityLuts);

    // The processed picture of an upright frame: mosaic CV_16UC1 in, out
    // CV_16UC3 of the same size. With out8, also its 8-bit form (each sample
    // through the to-8-bit rounding), rows stride8 bytes apart, made while
    // the rows are still in the cache. With rowsDone, that is called with
    // each range of rows of out once they are made, on the thread that made
    // them, while they are still in the cache (an overlay drawn there reads
    // them at no cost).
    void processUpright(const cv::Mat& mosaic, cv::Mat& out, uchar* out8 = nullptr, qsizetype stride8 = 0,
                        const cv::ParallelLoopBody* rowsDone = nullptr) const;
    // The processed picture turned and mirrored: out is CV_16UC3 of the
    // orientation's size; each stripe's pixels go straight to their places.
    void processTurned(const cv::Mat& mosaic, const ImgOrientation& orientation, cv::Mat& out) const;

private:
    // Balances rows [first, end) of the mosaic into out (cols samples a row).
    void balanceRows(const cv::Mat& mosaic, int first, int end, quint16* out) const;
    const quint16* gainTable(Util::Color colour) const;
    // Runs toStripe(first, end, bgr, inFirst) for every stripe of rows
    // [first, end) once it is balanced and demosaiced into bgr, whose row 0
    // is mosaic row inFirst.
    template <typename ToStripe> void forStripes(const cv::Mat& mosaic, const ToStripe& toStripe) const;
    // One demosaiced row through the tables.
    void lutRow(const quint16* in, quint16* out, int cols) const;
    // One demosaiced pixel through the tables.
    void lutPixel(const quint16* in, quint16* out) const
    {
        out[0] = m_lutB[in[0]];
        out[1] = m_lutG[in[1]];
        out[2] = m_lutR[in[2]];
    }

    CfaLayout m_layout;
    const quint16* m_lutR;
    const quint16* m_lutG;
    const quint16* m_lutB;
    bool m_identityLuts;
    // Gain tables of R, G and B; null for a gain of exactly 1.
    GainTableCache::Table m_gainTables[3];
    bool m_unityGains;
};
