#include "ImgAdjUtil.h"

#include "HistogramRenderer.h"

#include "CfaLayout.h"
#include "ColourPipeline.h"
#include "FocusPeaking.h"
#include "ImgOrientation.h"
#include "ImgOverlay.h"
#include "ParallelLoop.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <opencv2/imgproc.hpp>

namespace {

constexpr qsizetype lutSize = ImgAdjBlock::lutSize;

// Rounds to the nearest integer, halves away from zero, within 0 .. 65535;
// a value that is not a number gives 0.
double clampRound16(double x)
{
    if (!(x > 0.0))
        return 0.0;
    if (x >= 65535.0)
        return 65535.0;
    return std::floor(x + 0.5);
}

// The 9-bit linear level of an 8-bit companded code.
int linear9(int code)
{
    if (code < 128)
        return code;
    if (code < 192)
        return 2 * code - 127;
    return 4 * code - 509;
}

// Runs body over the rows 0 .. rows-1 on OpenCV's thread pool, in stripes
// large enough that the hand-over costs little against the work.
template <typename Body> void forRows(int rows, const Body& body)
{
    const int stripes = std::clamp(rows / 32, 1, 32);
    ParallelLoop::run(cv::Range(0, rows), body, stripes);
}

// The first `count` samples of a list, zero-padded into `padded` when the list
// is shorter (a truncated record).
const quint16* samplesOf(const QList<quint16>& list, qsizetype count, std::vector<quint16>& padded)
{
    if (list.size() >= count)
        return list.constData();
    padded.assign(size_t(count), 0);
    std::copy(list.cbegin(), list.cend(), padded.begin());
    return padded.data();
}

// A monochrome frame: every output pixel read from its source pixel through
// lutG into all three channels, so that the table, the grey-to-BGR step and
// the rotation and mirroring take one pass.
void greyThroughLut(const cv::Mat& source, const quint16* lutG, const ImgOrientation& orientation,
                    cv::Mat& out)
{
    const quint16* base = source.ptr<quint16>();
    forRows(out.rows, [&](const cv::Range& rows) {
        for (int row = rows.start; row < rows.end; ++row) {
            qptrdiff index = orientation.origin() + row * orientation.rowStep();
            quint16* dst = out.ptr<quint16>(row);
            for (int col = 0; col < out.cols; ++col, index += orientation.colStep(), dst += 3) {
                const quint16 level = lutG[base[index]];
                dst[0] = level;
                dst[1] = level;
                dst[2] = level;
            }
        }
    });
}

} // namespace

ImgAdjUtil::ImgAdjUtil(QObject* parent)
    : QObject(parent), m_to8bit(size_t(lutSize)), m_to9bit(size_t(lutSize)), m_identity(size_t(lutSize))
{
    for (int code = 0; code < 256; ++code)
        m_expansion[size_t(code)] = quint16(clampRound16(linear9(code) * 128.24853228962817));
    for (qsizetype i = 0; i < lutSize; ++i) {
        m_to8bit[size_t(i)] = quint8(std::min(255.0, clampRound16(double(i) * 0.0038910505836575876)));
        m_to9bit[size_t(i)] = quint16(std::min(511.0, clampRound16(double(i) * 0.007797360189211872)));
        m_identity[size_t(i)] = quint16(i);
    }
}

void ImgAdjUtil::expand(const char* bytes, qsizetype byteCount, QList<quint16>& out) const
{
    const qsizetype count = std::clamp<qsizetype>(byteCount, 0, out.size());
    quint16* samples = out.data();
    const auto* codes = reinterpret_cast<const quint8*>(bytes);
    constexpr qsizetype chunk = 1 << 16;
    const int chunks = int((count + chunk - 1) / chunk);
    ParallelLoop::run(cv::Range(0, chunks), [&](const cv::Range& range) {
        const qsizetype end = std::min(count, qsizetype(range.end) * chunk);
        for (qsizetype i = qsizetype(range.start) * chunk; i < end; ++i)
            samples[i] = m_expansion[codes[i]];
    });
    std::fill(samples + count, samples + out.size(), quint16(0));
}

void ImgAdjUtil::expand(const QByteArray& bytes, QList<quint16>& out) const
{
    expand(bytes.constData(), bytes.size(), out);
}

void ImgAdjUtil::expand(const QByteArray& record, qsizetype offset, QList<quint16>& out) const
{
    const qsizetype start = std::clamp<qsizetype>(offset, 0, record.size());
    expand(record.constData() + start, record.size() - start, out);
}

const quint16* ImgAdjUtil::lutOrIdentity(const QList<quint16>& lut) const
{
    return lut.size() == lutSize ? lut.constData() : m_identity.data();
}

void ImgAdjUtil::process(const ImgAdjBlock& block, const QList<quint16>& raw16, QList<quint16>& display,
                         QList<quint16>& clean, int& height, int& width, QImage* display8) const
{
    const int sourceRows = std::max(height, 0);
    const int sourceCols = std::max(width, 0);
    const ImgOrientation orientation(block.rotate.toInt(), block.flipH.toBool(), block.flipV.toBool(),
                                     sourceRows, sourceCols);
    height = orientation.rows();
    width = orientation.cols();
    const qsizetype pixels = qsizetype(sourceRows) * sourceCols;

    // Without an overlay display shares clean's data; letting go of that share
    // first lets clean be overwritten in place instead of copied or allocated.
    if (display.constData() == clean.constData())
        display = QList<quint16>();
    if (clean.size() != pixels * 3 || !clean.isDetached()) {
        clean = QList<quint16>();
        clean.resize(pixels * 3);
    }
    if (pixels == 0) {
        display = clean;
        if (display8)
            *display8 = QImage();
        return;
    }
    const bool overlay = block.focusPeak > 0 || block.expAssist > 0;
    uchar* bits8 = nullptr;
    qsizetype stride8 = 0;
    if (display8) {
        if (display8->size() != QSize(width, height) || display8->format() != QImage::Format_BGR888 ||
            !display8->isDetached())
            *display8 = QImage(width, height, QImage::Format_BGR888);
        bits8 = display8->bits();
        stride8 = display8->bytesPerLine();
    }

    if (overlay && (display.size() != pixels * 3 || !display.isDetached())) {
        display = QList<quint16>();
        display.resize(pixels * 3);
    }
    cv::Mat overlaid = overlay ? cv::Mat(height, width, CV_16UC3, display.data()) : cv::Mat();

    std::vector<quint16> padded;
    const cv::Mat mosaic(sourceRows, sourceCols, CV_16UC1,
                         const_cast<quint16*>(samplesOf(raw16, pixels, padded)));
    cv::Mat picture(height, width, CV_16UC3, clean.data());
    const quint16* lutR = lutOrIdentity(block.lutR);
    const quint16* lutG = lutOrIdentity(block.lutG);
    const quint16* lutB = lutOrIdentity(block.lutB);
    const CfaLayout layout(block.cfa.toInt());
    bool overlayDrawn = false;
    if (!layout.isColour()) {
        greyThroughLut(mosaic, lutG, orientation, picture);
    } else {
        const double gains[3] = {block.wbR.toDouble() * block.wbCalR.toDouble(),
                                 block.wbG.toDouble() * block.wbCalG.toDouble(),
                                 block.wbB.toDouble() * block.wbCalB.toDouble()};
        const ColourPipeline colour(layout, gains, m_gainTables, lutR, lutG, lutB,
                                    isIdentity(lutR) && isIdentity(lutG) && isIdentity(lutB));
        if (!orientation.isIdentity()) {
            colour.processTurned(mosaic, orientation, picture);
        } else if (block.focusPeak > 0) {
            // The grey that focus peaking starts from is taken from each
            // stripe of the picture as it is made.
            FocusPeaking& peaking = ImgOverlay::focusPeakingOfThread();
            peaking.prepareGrey(picture.size());
            const auto takeGrey = [&](const cv::Range& rows) {
                peaking.takeGrey(picture, rows);
            };
            const ParallelLoop::LoopBody<decltype(takeGrey)> greyOfStripe(takeGrey);
            colour.processUpright(mosaic, picture, nullptr, 0, &greyOfStripe);
            peaking.paint(picture, block.focusPeak, overlaid, bits8, stride8, true);
            overlayDrawn = true;
        } else if (block.expAssist > 0) {
            // Exposure assist is drawn on each stripe as it is made.
            const auto drawRows = [&](const cv::Range& rows) {
                ImgOverlay::exposureAssistRows(picture, overlaid, rows, bits8, stride8);
            };
            const ParallelLoop::LoopBody<decltype(drawRows)> drawOnStripe(drawRows);
            colour.processUpright(mosaic, picture, nullptr, 0, &drawOnStripe);
            overlayDrawn = true;
        } else {
            colour.processUpright(mosaic, picture, bits8, stride8);
            bits8 = nullptr; // done
        }
    }

    if (!overlay) {
        display = clean;
    } else {
        if (!overlayDrawn && block.focusPeak > 0)
            ImgOverlay::focusPeaking(picture, block.focusPeak, overlaid, bits8, stride8);
        else if (!overlayDrawn)
            ImgOverlay::exposureAssist(picture, overlaid, bits8, stride8);
        bits8 = nullptr; // done with the overlay
    }
    if (bits8)
        to8bit(display.constData(), height, width * 3, bits8, stride8);
}

bool ImgAdjUtil::isIdentity(const quint16* lut) const
{
    return lut == m_identity.data() || lut == identityLut().constData() ||
           std::memcmp(lut, m_identity.data(), m_identity.size() * sizeof(quint16)) == 0;
}

void ImgAdjUtil::lut16Adjust(cv::Mat& bgr16, const QList<quint16>& lutR, const QList<quint16>& lutG,
                             const QList<quint16>& lutB) const
{
    if (bgr16.type() != CV_16UC3)
        return;
    const quint16* r = lutOrIdentity(lutR);
    const quint16* g = lutOrIdentity(lutG);
    const quint16* b = lutOrIdentity(lutB);
    forRows(bgr16.rows, [&](const cv::Range& rows) {
        for (int row = rows.start; row < rows.end; ++row) {
            quint16* pixel = bgr16.ptr<quint16>(row);
            for (int col = 0; col < bgr16.cols; ++col, pixel += 3) {
                pixel[0] = b[pixel[0]];
                pixel[1] = g[pixel[1]];
                pixel[2] = r[pixel[2]];
            }
        }
    });
}

const QList<quint16>& ImgAdjUtil::identityLut()
{
    static const QList<quint16> identity = [] {
        QList<quint16> table(lutSize);
        std::iota(table.begin(), table.end(), quint16(0));
        return table;
    }();
    return identity;
}

void ImgAdjUtil::buildLut16(QList<quint16>& lut, double offset, double gain, double gamma, double contrast)
{
    // The defaults give lut[i] = i. Every take builds its tables when it is
    // made, most with the defaults, and a camera may hold hundreds of takes:
    // they all share one identity table (a list is copied when written).
    if (offset == 0.0 && gain == 1.0 && gamma == 1.0 && contrast == 0.0) {
        lut = identityLut();
        return;
    }
    lut.resize(lutSize);
    const double shift = std::round(offset * 65535.0);
    const double exponent = 1.0 / gamma;
    const double slope = std::tan(contrast * M_PI / 4.0 + M_PI / 4.0);
    for (qsizetype i = 0; i < lutSize; ++i) {
        double x = double(i) + shift;
        x = clampRound16(x) * gain;
        // Gamma 1 leaves the level as it is (the next rounding gives the same
        // integer either way); every take builds its tables at creation, so
        // the default ones must be cheap.
        x = exponent == 1.0 ? clampRound16(x) : 65535.0 * std::pow(clampRound16(x) / 65535.0, exponent);
        x = (clampRound16(x) - 32767.5) * slope + 32767.5;
        lut[i] = quint16(clampRound16(x));
    }
}

ImgAdjUtil::WhiteBalance ImgAdjUtil::autoWhiteBalance(const ImgAdjBlock& block, const QList<quint16>& raw16,
                                                      int height, int width) const
{
    const int rows = std::max(height, 0);
    const int cols = std::max(width, 0);
    std::vector<quint16> padded;
    const quint16* samples = samplesOf(raw16, qsizetype(rows) * cols, padded);
    const CfaLayout layout(block.cfa.toInt());

    // Sums and counts of the R, G and B sites.
    quint64 sums[3] = {0, 0, 0};
    quint64 counts[3] = {0, 0, 0};
    auto colourIndex = [](Util::Color colour) {
        return colour == Util::R ? 0 : colour == Util::G ? 1 : 2;
    };
    for (int row = 0; row < rows; ++row) {
        const quint16* line = samples + qsizetype(row) * cols;
        for (int parity = 0; parity < 2; ++parity) {
            quint64 sum = 0;
            for (int col = parity; col < cols; col += 2)
                sum += line[col];
            const int colour = colourIndex(layout.siteColour(row, parity));
            sums[colour] += sum;
            counts[colour] += quint64((cols - parity + 1) / 2);
        }
    }
    double means[3];
    for (int colour = 0; colour < 3; ++colour) {
        const double mean = counts[colour] ? double(sums[colour]) / double(counts[colour]) : 0.0;
        // A colour with nothing to measure must not divide by zero.
        means[colour] = std::abs(mean) <= 1e-12 ? 1e-10 : mean;
    }
    const double reference = std::max({means[0], means[1], means[2]});
    WhiteBalance gains;
    gains.r = (reference / means[0]) / block.wbCalR.toDouble();
    gains.g = (reference / means[1]) / block.wbCalG.toDouble();
    gains.b = (reference / means[2]) / block.wbCalB.toDouble();
    return gains;
}

void ImgAdjUtil::to8bit(const QList<quint16>& bgr16, QByteArray& out) const
{
    out.resize(bgr16.size());
    // Spread over the pool as rows of at most 64 Ki samples.
    constexpr qsizetype rowSamples = 1 << 16;
    const qsizetype fullRows = bgr16.size() / rowSamples;
    auto* bytes = reinterpret_cast<uchar*>(out.data());
    if (fullRows > 0)
        to8bit(bgr16.constData(), int(fullRows), int(rowSamples), bytes, rowSamples);
    const qsizetype done = fullRows * rowSamples;
    const qsizetype rest = bgr16.size() - done;
    if (rest > 0)
        to8bit(bgr16.constData() + done, 1, int(rest), bytes + done, rest);
}

void ImgAdjUtil::to8bit(const quint16* samples, int rows, int rowSamples, uchar* out,
                        qsizetype outStride) const
{
    // round(v * 255 / 65535) is never a tie, so OpenCV's vectorised scaling
    // (round to nearest) gives exactly the entries of the to-8-bit table, at a
    // fraction of the cost of a look-up per sample.
    forRows(rows, [=](const cv::Range& range) {
        const cv::Mat in(range.size(), rowSamples, CV_16UC1,
                         const_cast<quint16*>(samples + qsizetype(range.start) * rowSamples));
        cv::Mat line(range.size(), rowSamples, CV_8UC1, out + qsizetype(range.start) * outStride,
                     size_t(outStride));
        in.convertTo(line, CV_8U, 255.0 / 65535.0);
    });
}

QImage ImgAdjUtil::bgr888Image(const QList<quint16>& bgr16, int height, int width) const
{
    if (height <= 0 || width <= 0 || bgr16.size() < qsizetype(height) * width * 3)
        return QImage();
    QImage image(width, height, QImage::Format_BGR888);
    to8bit(bgr16.constData(), height, width * 3, image.bits(), image.bytesPerLine());
    return image;
}

void ImgAdjUtil::toGray16(const QList<quint16>& bgr16, int height, int width, cv::Mat& grey) const
{
    if (height <= 0 || width <= 0 || bgr16.size() < qsizetype(height) * width * 3) {
        grey = cv::Mat();
        return;
    }
    const cv::Mat bgr(height, width, CV_16UC3, const_cast<quint16*>(bgr16.constData()));
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
}

void ImgAdjUtil::gray16(const QList<quint16>& bgr16, int height, int width, QList<quint16>& out) const
{
    if (height <= 0 || width <= 0 || bgr16.size() < qsizetype(height) * width * 3) {
        out.clear();
        return;
    }
    // Straight into out, which keeps its buffer when it has the size and is
    // not shared.
    out.resize(qsizetype(height) * width);
    const cv::Mat bgr(height, width, CV_16UC3, const_cast<quint16*>(bgr16.constData()));
    cv::Mat grey(height, width, CV_16UC1, out.data());
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
}

void ImgAdjUtil::gray8(const QList<quint16>& bgr16, int height, int width, QByteArray& out) const
{
    cv::Mat grey;
    toGray16(bgr16, height, width, grey);
    out.resize(qsizetype(grey.total()));
    if (!grey.empty())
        to8bit(grey.ptr<quint16>(), grey.rows, grey.cols, reinterpret_cast<uchar*>(out.data()), grey.cols);
}

QImage ImgAdjUtil::gray16Image(const QList<quint16>& bgr16, int height, int width) const
{
    cv::Mat grey;
    toGray16(bgr16, height, width, grey);
    if (grey.empty())
        return QImage();
    QImage image(width, height, QImage::Format_Grayscale16);
    for (int row = 0; row < height; ++row)
        std::copy(grey.ptr<quint16>(row), grey.ptr<quint16>(row) + width,
                  reinterpret_cast<quint16*>(image.scanLine(row)));
    return image;
}

QImage ImgAdjUtil::gray8Image(const QList<quint16>& bgr16, int height, int width) const
{
    cv::Mat grey;
    toGray16(bgr16, height, width, grey);
    if (grey.empty())
        return QImage();
    QImage image(width, height, QImage::Format_Grayscale8);
    to8bit(grey.ptr<quint16>(), height, width, image.bits(), image.bytesPerLine());
    return image;
}

bool ImgAdjUtil::differs(const QList<quint16>& a16, const QList<quint16>& b16, int rows, int cols,
                         int threshold) const
{
    const qsizetype count =
        std::min({qsizetype(std::max(rows, 0)) * std::max(cols, 0), a16.size(), b16.size()});
    for (qsizetype i = 0; i < count; ++i) {
        if (std::abs(int(a16[i]) - int(b16[i])) > threshold)
            return true;
    }
    return false;
}

QImage ImgAdjUtil::renderHistogram(const QList<quint16>& bgr16, int width, int height, int pictureWidth,
                                   int pictureHeight, int binLimit) const
{
    if (bgr16.size() < qsizetype(width) * height * 3)
        return QImage();
    return HistogramRenderer::render(bgr16.constData(), width, height, pictureWidth, pictureHeight, binLimit);
}
