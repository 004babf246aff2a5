#include "ImgAdjUtil.h"
#include "VornTestMain.h"

#include <QRandomGenerator>
#include <QTest>
#include <array>
#include <cmath>
#include <opencv2/imgproc.hpp>
#include <thread>

// The pipeline checked against expectations computed here, independently of
// its own code: hand-made frames, scenes of known colour mosaicked by the
// test, and the literal mask-based white balance followed by OpenCV's
// demosaicing and rotation functions.
namespace {

using Pixel = std::array<int, 3>; // B, G, R

struct Picture
{
    QList<quint16> display;
    QList<quint16> clean;
    int rows = 0;
    int cols = 0;

    Pixel at(const QList<quint16>& buffer, int row, int col) const
    {
        const qsizetype i = (qsizetype(row) * cols + col) * 3;
        return {buffer[i], buffer[i + 1], buffer[i + 2]};
    }
    Pixel clean_(int row, int col) const { return at(clean, row, col); }
    Pixel shown(int row, int col) const { return at(display, row, col); }
};

Picture run(const ImgAdjUtil& util, const ImgAdjBlock& block, const QList<quint16>& raw16, int rows, int cols)
{
    Picture picture;
    picture.rows = rows;
    picture.cols = cols;
    util.process(block, raw16, picture.display, picture.clean, picture.rows, picture.cols);
    return picture;
}

void buildIdentity(ImgAdjBlock& block)
{
    for (QList<quint16>* lut : {&block.lutR, &block.lutG, &block.lutB})
        ImgAdjUtil::buildLut16(*lut, 0.0, 1.0, 1.0, 0.0);
}

ImgAdjBlock identityBlock(int cfa)
{
    ImgAdjBlock block;
    block.cfa = cfa;
    buildIdentity(block);
    return block;
}

// The colour of site (row, col) for a layout written as the top-left 2x2
// cell read row by row, e.g. "GBRG".
char siteOf(const char* layout, int row, int col)
{
    return layout[(row & 1) * 2 + (col & 1)];
}

// A uniform scene of colour (r, g, b) as the sensor of `layout` records it.
QList<quint16> mosaicOf(const char* layout, int rows, int cols, quint16 r, quint16 g, quint16 b)
{
    QList<quint16> mosaic(qsizetype(rows) * cols);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const char site = siteOf(layout, row, col);
            mosaic[qsizetype(row) * cols + col] = site == 'R' ? r : site == 'G' ? g : b;
        }
    }
    return mosaic;
}

QList<quint16> randomMosaic(const ImgAdjUtil& util, int rows, int cols, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray codes(qsizetype(rows) * cols, Qt::Uninitialized);
    for (char& code : codes)
        code = char(random.bounded(256));
    QList<quint16> samples(codes.size());
    util.expand(codes, samples);
    return samples;
}

quint16 roundHalfAway(double x)
{
    return quint16(std::clamp(std::floor(x + 0.5), 0.0, 65535.0));
}

// A frame with tables that change every channel differently.
ImgAdjBlock shapedBlock(int cfa)
{
    ImgAdjBlock block;
    block.cfa = cfa;
    ImgAdjUtil::buildLut16(block.lutR, 0.02, 1.3, 1.0, 0.0);
    ImgAdjUtil::buildLut16(block.lutG, 0.0, 1.0, 2.2, 0.1);
    ImgAdjUtil::buildLut16(block.lutB, -0.05, 0.9, 0.8, -0.2);
    block.wbR = 1.7;
    block.wbCalR = 1.1;
    block.wbG = 1.0;
    block.wbCalG = 0.95;
    block.wbB = 2.3;
    block.wbCalB = 1.25;
    return block;
}

const char* const layoutNames[] = {"", "RGGB", "GBRG", "BGGR", "GRBG"};

} // namespace

class TestImgAdjUtil : public QObject
{
    Q_OBJECT

    ImgAdjUtil m_util;

private slots:
    void fixedTables()
    {
        for (int code = 0; code < 256; ++code)
            QCOMPARE(int(m_util.expansion(quint8(code))), VornTest::expandedSample(code));

        QCOMPARE(m_util.pix16bTo9b(0), quint16(0));
        QCOMPARE(m_util.pix16bTo9b(65535), quint16(511));
        QCOMPARE(m_util.pix16bTo9b(64), quint16(0)); // 0.498
        QCOMPARE(m_util.pix16bTo9b(65), quint16(1)); // 0.507
        QCOMPARE(m_util.pix16bTo9b(16544), quint16(129));
        // (The 8-bit level of every sample is checked with the 8-bit picture.)
    }

    void expandShortRecords()
    {
        QList<quint16> out(6, 7);
        m_util.expand(QByteArray("\x00\x01\x7f\x80\xc0\xff", 6), out);
        QCOMPARE(out, (QList<quint16>{0, 128, 16288, 16544, 33216, 65535}));

        // A record whose image is cut short: the missing samples are 0.
        const QByteArray record("meta\x01\xff", 6);
        QList<quint16> image(5, 7);
        m_util.expand(record, 4, image);
        QCOMPARE(image, (QList<quint16>{128, 65535, 0, 0, 0}));
        // An image offset past the end reads nothing.
        m_util.expand(record, 40, image);
        QCOMPARE(image, (QList<quint16>(5, 0)));
        // More bytes than samples: only the samples are written.
        QList<quint16> two(2);
        m_util.expand(QByteArray("\x01\x01\x01\x01", 4), two);
        QCOMPARE(two, (QList<quint16>{128, 128}));

        // A short buffer given to the pipeline reads as 0 too.
        const Picture picture = run(m_util, identityBlock(0), {100, 200}, 2, 2);
        QCOMPARE(picture.clean, (QList<quint16>{100, 100, 100, 200, 200, 200, 0, 0, 0, 0, 0, 0}));
    }

    void tableFormula()
    {
        QList<quint16> lut;
        ImgAdjUtil::buildLut16(lut, 0.0, 1.0, 1.0, 0.0);
        QCOMPARE(lut.size(), 65536);
        for (int i = 0; i < 65536; ++i)
            QCOMPARE(int(lut.at(i)), i);
        // Every default table is the one identity table until it is rebuilt.
        QList<quint16> other;
        ImgAdjUtil::buildLut16(other, 0.0, 1.0, 1.0, 0.0);
        QCOMPARE(other.constData(), lut.constData());

        ImgAdjUtil::buildLut16(lut, 1.0, 1.0, 1.0, 0.0);
        QVERIFY(std::all_of(lut.cbegin(), lut.cend(), [](quint16 v) { return v == 65535; }));
        QCOMPARE(other.at(65535), quint16(65535));
        ImgAdjUtil::buildLut16(lut, -1.0, 1.0, 1.0, 0.0);
        QVERIFY(std::all_of(lut.cbegin(), lut.cend(), [](quint16 v) { return v == 0; }));
        // Mid-grey 32767.5 rounds up.
        ImgAdjUtil::buildLut16(lut, 0.0, 1.0, 1.0, -1.0);
        QVERIFY(std::all_of(lut.cbegin(), lut.cend(), [](quint16 v) { return v == 32768; }));

        // Offset 0.5 shifts by round(32767.5) = 32768.
        ImgAdjUtil::buildLut16(lut, 0.5, 1.0, 1.0, 0.0);
        QCOMPARE(lut[0], quint16(32768));
        QCOMPARE(lut[32766], quint16(65534));
        QCOMPARE(lut[32767], quint16(65535));
        QCOMPARE(lut[40000], quint16(65535));
        ImgAdjUtil::buildLut16(lut, 0.0, 2.0, 1.0, 0.0);
        QCOMPARE(lut[1000], quint16(2000));
        QCOMPARE(lut[32767], quint16(65534));
        QCOMPARE(lut[32768], quint16(65535));
        QCOMPARE(lut[65535], quint16(65535));
        // Gamma 2: 65535 * sqrt(16384 / 65535) = 32768.25.
        ImgAdjUtil::buildLut16(lut, 0.0, 1.0, 2.0, 0.0);
        QCOMPARE(lut[0], quint16(0));
        QCOMPARE(lut[16384], quint16(32768));
        QCOMPARE(lut[65535], quint16(65535));
        // Contrast 0.5: slope tan(3 pi / 8) = 2.41421 about mid-scale.
        ImgAdjUtil::buildLut16(lut, 0.0, 1.0, 1.0, 0.5);
        QCOMPARE(lut[32767], quint16(32766)); // 32766.29
        QCOMPARE(lut[32768], quint16(32769)); // 32768.71
        QCOMPARE(lut[20000], quint16(1944));  // 1944.23
        QCOMPARE(lut[10000], quint16(0));
        QCOMPARE(lut[50000], quint16(65535));
    }

    void rotationMatchesOpenCv_data()
    {
        QTest::addColumn<int>("cfa");
        QTest::newRow("mono") << int(ImgAdjUtil::CfaMono);
        QTest::newRow("GRBG") << int(ImgAdjUtil::CfaGRBG);
    }

    void rotationMatchesOpenCv()
    {
        // A frame turned by the pipeline equals the unturned one turned and
        // mirrored by OpenCV; angles off the quarter turns do not turn it.
        QFETCH(int, cfa);
        const int rows = 10, cols = 14;
        const QList<quint16> raw16 = randomMosaic(m_util, rows, cols, 5);
        const ImgAdjBlock plain = shapedBlock(cfa);
        const Picture upright = run(m_util, plain, raw16, rows, cols);
        const cv::Mat reference(rows, cols, CV_16UC3, const_cast<quint16*>(upright.clean.constData()));
        for (int rotate : {0, 90, 180, 270, -90, 450, -450, 45}) {
            for (int flips = 0; flips < 4; ++flips) {
                ImgAdjBlock block = plain;
                block.rotate = rotate;
                block.flipH = bool(flips & 1);
                block.flipV = bool(flips & 2);
                cv::Mat expected = reference.clone();
                const int turn = ((rotate % 360) + 360) % 360;
                if (turn == 90)
                    cv::rotate(reference, expected, cv::ROTATE_90_CLOCKWISE);
                else if (turn == 180)
                    cv::rotate(reference, expected, cv::ROTATE_180);
                else if (turn == 270)
                    cv::rotate(reference, expected, cv::ROTATE_90_COUNTERCLOCKWISE);
                if (flips == 3)
                    cv::flip(expected.clone(), expected, -1);
                else if (flips == 1)
                    cv::flip(expected.clone(), expected, 1);
                else if (flips == 2)
                    cv::flip(expected.clone(), expected, 0);
                const Picture turned = run(m_util, block, raw16, rows, cols);
                QCOMPARE(turned.rows, expected.rows);
                QCOMPARE(turned.cols, expected.cols);
                const QList<quint16> want(expected.ptr<quint16>(),
                                          expected.ptr<quint16>() + expected.total() * 3);
                QVERIFY2(turned.clean == want,
                         qPrintable(QStringLiteral("rotate %1 flips %2").arg(rotate).arg(flips)));
                QCOMPARE(turned.display, turned.clean);
            }
        }
    }

    void whiteBalanceOnEveryLayout_data()
    {
        QTest::addColumn<int>("cfa");
        for (int cfa = 1; cfa <= 4; ++cfa)
            QTest::newRow(layoutNames[cfa]) << cfa;
    }

    void whiteBalanceOnEveryLayout()
    {
        // A uniform scene of a known colour, recorded through the layout, comes
        // out in that colour times the gains at every pixel, edges included;
        // any other demosaicing or site pattern would swap or mix channels.
        QFETCH(int, cfa);
        for (const QSize size : {QSize(8, 6), QSize(1920, 1080), QSize(700, 501)}) {
            const QList<quint16> raw16 =
                mosaicOf(layoutNames[cfa], size.height(), size.width(), 10000, 20000, 30000);
            ImgAdjBlock block = identityBlock(cfa);
            block.wbR = 2.0;
            block.wbCalR = 1.5; // R gain 3 -> 30000
            block.wbG = 1.0;
            block.wbCalG = 1.25; // G gain 1.25 -> 25000
            block.wbB = 0.5;
            block.wbCalB = 1.0; // B gain 0.5 -> 15000
            const Picture picture = run(m_util, block, raw16, size.height(), size.width());
            QCOMPARE(picture.rows, size.height());
            QCOMPARE(picture.cols, size.width());
            const Pixel expected{15000, 25000, 30000};
            for (int row = 0; row < picture.rows; ++row) {
                for (int col = 0; col < picture.cols; ++col) {
                    if (picture.clean_(row, col) != expected)
                        QFAIL(qPrintable(QStringLiteral("%1x%2 pixel %3,%4: %5 %6 %7")
                                             .arg(size.width())
                                             .arg(size.height())
                                             .arg(row)
                                             .arg(col)
                                             .arg(picture.clean_(row, col)[0])
                                             .arg(picture.clean_(row, col)[1])
                                             .arg(picture.clean_(row, col)[2])));
                }
            }
            // Unbalanced, the scene keeps its own colour.
            const Picture unbalanced = run(m_util, identityBlock(cfa), raw16, size.height(), size.width());
            QCOMPARE(unbalanced.clean_(0, 0), (Pixel{30000, 20000, 10000}));
            QCOMPARE(unbalanced.clean_(size.height() - 1, size.width() - 1), (Pixel{30000, 20000, 10000}));
        }
    }

    void whiteBalanceSaturatesAndRounds()
    {
        // Gain 3 on 30000 saturates; gain 1.5 on 3 is 4.5, rounded away from 0.
        ImgAdjBlock block = identityBlock(ImgAdjUtil::CfaRGGB);
        block.wbR = 3.0;
        block.wbB = 1.5;
        const Picture picture = run(m_util, block, mosaicOf("RGGB", 4, 4, 30000, 100, 3), 4, 4);
        QCOMPARE(picture.clean_(1, 1), (Pixel{5, 100, 65535}));
    }

    void manyGainsInTurn()
    {
        // More gains than the pipeline keeps tables for, twice over: each
        // frame is balanced with its own gain.
        for (int round = 0; round < 2; ++round) {
            for (int step = 0; step < 20; ++step) {
                const double gain = 0.1 + 0.37 * step;
                ImgAdjBlock block = identityBlock(ImgAdjUtil::CfaRGGB);
                block.wbR = gain;
                block.wbG = gain;
                block.wbB = gain;
                const Picture picture = run(m_util, block, mosaicOf("RGGB", 4, 4, 1001, 2003, 3005), 4, 4);
                const Pixel expected{roundHalfAway(3005 * gain), roundHalfAway(2003 * gain),
                                     roundHalfAway(1001 * gain)};
                QCOMPARE(picture.clean_(2, 2), expected);
            }
        }
    }

    void largeFramesMatchSiteWiseBalance_data()
    {
        QTest::addColumn<int>("cfa");
        for (int cfa = 1; cfa <= 4; ++cfa)
            QTest::newRow(layoutNames[cfa]) << cfa;
    }

    void largeFramesMatchSiteWiseBalance()
    {
        // A random mosaic, 1920 x 1080, an odd size and a narrow one: every
        // site balanced by its own colour's gain, then the layout's OpenCV demosaicing (BGGR
        // reads as OpenCV's "RG", GRBG as "GB"), then the tables.
        QFETCH(int, cfa);
        for (const QSize size : {QSize(1920, 1080), QSize(37, 19), QSize(7, 33)}) {
            const int rows = size.height(), cols = size.width();
            const char* layout = layoutNames[cfa];
            const int codes[] = {0, cv::COLOR_BayerBG2BGR, cv::COLOR_BayerGR2BGR, cv::COLOR_BayerRG2BGR,
                                 cv::COLOR_BayerGB2BGR};
            const QList<quint16> raw16 = randomMosaic(m_util, rows, cols, 77);
            const ImgAdjBlock block = shapedBlock(cfa);
            const double gainR = block.wbR.toDouble() * block.wbCalR.toDouble();
            const double gainG = block.wbG.toDouble() * block.wbCalG.toDouble();
            const double gainB = block.wbB.toDouble() * block.wbCalB.toDouble();
            cv::Mat balanced(rows, cols, CV_16UC1);
            for (int row = 0; row < rows; ++row) {
                for (int col = 0; col < cols; ++col) {
                    const char site = siteOf(layout, row, col);
                    const double gain = site == 'R' ? gainR : site == 'G' ? gainG : gainB;
                    balanced.at<quint16>(row, col) = roundHalfAway(raw16[qsizetype(row) * cols + col] * gain);
                }
            }
            cv::Mat bgr;
            cv::cvtColor(balanced, bgr, codes[cfa]);
            const Picture picture = run(m_util, block, raw16, rows, cols);
            for (int row = 0; row < rows; ++row) {
                for (int col = 0; col < cols; ++col) {
                    const quint16* in = bgr.ptr<quint16>(row, col);
                    const Pixel expected{block.lutB[in[0]], block.lutG[in[1]], block.lutR[in[2]]};
                    if (picture.clean_(row, col) != expected)
                        QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(row).arg(col)));
                }
            }
        }
    }

    void monochromeIgnoresColourSettings()
    {
        ImgAdjBlock block = identityBlock(ImgAdjUtil::CfaMono);
        ImgAdjUtil::buildLut16(block.lutG, 0.0, 2.0, 1.0, 0.0);
        block.lutR.fill(0);
        block.lutB.fill(0);
        block.wbR = 5.0;
        block.wbG = 3.0;
        block.wbCalB = 0.2;
        const Picture picture = run(m_util, block, {100, 40000, 7, 0}, 2, 2);
        QCOMPARE(picture.clean, (QList<quint16>{200, 200, 200, 65535, 65535, 65535, 14, 14, 14, 0, 0, 0}));
    }

    void exposureAssistMarksOnlyTheShownPicture()
    {
        // Which pixels are marked is compared with the OpenCV chain in the
        // overlay test; here the clean picture keeps the frame unmarked.
        ImgAdjBlock block = identityBlock(ImgAdjUtil::CfaMono);
        ImgAdjUtil::buildLut16(block.lutG, 0.0, 2.0, 1.0, 0.0);
        block.expAssist = 1;
        // 40000 doubles into clipping; 32767 stays just below it.
        const Picture picture = run(m_util, block, {0, 40000, 32767}, 1, 3);
        QCOMPARE(picture.shown(0, 0), (Pixel{65535, 0, 0}));
        QCOMPARE(picture.shown(0, 1), (Pixel{0, 0, 65535}));
        QCOMPARE(picture.shown(0, 2), (Pixel{65534, 65534, 65534}));
        QCOMPARE(picture.clean_(0, 0), (Pixel{0, 0, 0}));
        QCOMPARE(picture.clean_(0, 1), (Pixel{65535, 65535, 65535}));
    }

    void autoWhiteBalanceGains_data()
    {
        QTest::addColumn<int>("cfa");
        QTest::addColumn<QString>("layout");
        QTest::newRow("mono reads G B / R G") << 0 << "GBRG";
        for (int cfa = 1; cfa <= 4; ++cfa)
            QTest::newRow(layoutNames[cfa]) << cfa << layoutNames[cfa];
    }

    void autoWhiteBalanceGains()
    {
        QFETCH(int, cfa);
        QFETCH(QString, layout);
        const QByteArray name = layout.toLatin1();
        ImgAdjBlock block;
        block.cfa = cfa;
        block.wbCalR = 2.0;
        block.wbCalB = 0.5;
        // Means R 10000, G 20000, B 40000 against the largest, 40000.
        for (const QSize size : {QSize(6, 4), QSize(1921, 1081)}) {
            const QList<quint16> raw16 =
                mosaicOf(name.constData(), size.height(), size.width(), 10000, 20000, 40000);
            const ImgAdjUtil::WhiteBalance gains =
                m_util.autoWhiteBalance(block, raw16, size.height(), size.width());
            QCOMPARE(gains.r, 2.0); // 4 / 2
            QCOMPARE(gains.g, 2.0);
            QCOMPARE(gains.b, 2.0); // 1 / 0.5
        }
        // A black frame: every mean counts as 1e-10, so only calibration is left.
        const ImgAdjUtil::WhiteBalance black = m_util.autoWhiteBalance(block, QList<quint16>(24, 0), 4, 6);
        QCOMPARE(black.r, 0.5);
        QCOMPARE(black.g, 1.0);
        QCOMPARE(black.b, 2.0);
    }

    void autoWhiteBalanceBalancesTheFrame()
    {
        // Gains found on a tinted scene turn it grey through the pipeline.
        ImgAdjBlock block = identityBlock(ImgAdjUtil::CfaBGGR);
        const QList<quint16> raw16 = mosaicOf("BGGR", 6, 8, 8000, 16000, 32000);
        const ImgAdjUtil::WhiteBalance gains = m_util.autoWhiteBalance(block, raw16, 6, 8);
        block.wbR = gains.r;
        block.wbG = gains.g;
        block.wbB = gains.b;
        const Picture picture = run(m_util, block, raw16, 6, 8);
        QCOMPARE(picture.clean_(3, 3), (Pixel{32000, 32000, 32000}));
    }

    void eightBitAndGrey()
    {
        const QList<quint16> bgr16{0, 128, 129, 257, 32896, 65535};
        QByteArray bytes;
        m_util.to8bit(bgr16, bytes);
        QCOMPARE(bytes, QByteArray("\x00\x00\x01\x01\x80\xff", 6));
        // Every 16-bit level, in a buffer longer than one stripe of the loop.
        QList<quint16> ramp(65536 + 70000);
        for (qsizetype i = 0; i < ramp.size(); ++i)
            ramp[i] = quint16(i);
        m_util.to8bit(ramp, bytes);
        QCOMPARE(bytes.size(), ramp.size());
        for (qsizetype i = 0; i < ramp.size(); ++i) {
            const int expected = int(std::floor(ramp[i] * 255.0 / 65535.0 + 0.5));
            if (quint8(bytes[i]) != expected || m_util.pix16bTo8b(ramp[i]) != expected)
                QFAIL(qPrintable(QStringLiteral("level %1").arg(ramp[i])));
        }

        // Two pixels, pure red and a grey, in a row of 2 (the scan line is
        // padded to 8 bytes).
        const QList<quint16> pixels{0, 0, 65535, 257, 32896, 65535};
        const QImage image = m_util.bgr888Image(pixels, 1, 2);
        QCOMPARE(image.format(), QImage::Format_BGR888);
        QCOMPARE(image.size(), QSize(2, 1));
        QCOMPARE(image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(1, 0), qRgb(255, 128, 1));

        // Grey of pure red, green and blue by the BT.601 weights (OpenCV's
        // fixed-point weights may be off by one), and white.
        const QList<quint16> primaries{0, 0, 65535, 0, 65535, 0, 65535, 0, 0, 65535, 65535, 65535};
        QList<quint16> grey;
        m_util.gray16(primaries, 2, 2, grey);
        QCOMPARE(grey.size(), 4);
        QVERIFY(std::abs(grey[0] - 0.299 * 65535) <= 2);
        QVERIFY(std::abs(grey[1] - 0.587 * 65535) <= 2);
        QVERIFY(std::abs(grey[2] - 0.114 * 65535) <= 2);
        QCOMPARE(grey[3], quint16(65535));
        QByteArray grey8;
        m_util.gray8(primaries, 2, 2, grey8);
        QCOMPARE(grey8.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(quint8(grey8[i]), m_util.pix16bTo8b(grey[i]));
        const QImage grey16Image = m_util.gray16Image(primaries, 2, 2);
        QCOMPARE(grey16Image.format(), QImage::Format_Grayscale16);
        QCOMPARE(reinterpret_cast<const quint16*>(grey16Image.constScanLine(1))[1], quint16(65535));
        const QImage grey8Image = m_util.gray8Image(primaries, 2, 2);
        QCOMPARE(grey8Image.format(), QImage::Format_Grayscale8);
        QCOMPARE(grey8Image.constScanLine(0)[1], uchar(grey8[1]));
        QVERIFY(m_util.bgr888Image(pixels, 2, 2).isNull()); // too few samples
    }

    void eightBitPictureWithTheFrame()
    {
        // The 8-bit picture made with the frame equals the one made from the
        // display buffer afterwards, on every path through the pipeline.
        const int rows = 70, cols = 90; // more than one stripe of rows
        const QList<quint16> raw16 = randomMosaic(m_util, rows, cols, 9);
        QImage picture8;
        for (int variant = 0; variant < 6; ++variant) {
            ImgAdjBlock block = shapedBlock(variant == 5 ? ImgAdjUtil::CfaMono : ImgAdjUtil::CfaGBRG);
            if (variant == 1)
                buildIdentity(block);
            block.rotate = variant == 2 ? 270 : 0;
            block.expAssist = variant == 3 ? 1 : 0;
            block.focusPeak = variant == 4 ? 1 : 0;
            QList<quint16> display;
            QList<quint16> clean;
            int height = rows;
            int width = cols;
            const QImage kept = picture8; // shared: must not be written into
            m_util.process(block, raw16, display, clean, height, width, &picture8);
            const QImage expected = m_util.bgr888Image(display, height, width);
            QCOMPARE(picture8.format(), QImage::Format_BGR888);
            QVERIFY2(picture8 == expected, qPrintable(QStringLiteral("variant %1").arg(variant)));
            if (!kept.isNull())
                QVERIFY(kept.constBits() != picture8.constBits());
        }
        // An unshared picture of the right size is reused.
        QList<quint16> display;
        QList<quint16> clean;
        int height = rows;
        int width = cols;
        m_util.process(identityBlock(1), raw16, display, clean, height, width, &picture8);
        const uchar* bits = picture8.constBits();
        height = rows;
        width = cols;
        m_util.process(identityBlock(1), raw16, display, clean, height, width, &picture8);
        QCOMPARE(picture8.constBits(), bits);
    }

    void differs()
    {
        QList<quint16> a(12, 1000);
        QList<quint16> b = a;
        QVERIFY(!m_util.differs(a, b, 3, 4, 0));
        b[7] = 1010;
        QVERIFY(m_util.differs(a, b, 3, 4, 9));
        QVERIFY(!m_util.differs(a, b, 3, 4, 10));
        b[7] = 990;
        QVERIFY(m_util.differs(a, b, 3, 4, 9));
        QVERIFY(!m_util.differs(a, b, 1, 4, 0)); // only the first row compared
    }

    void displaySharesCleanWithoutOverlay()
    {
        ImgAdjBlock block = identityBlock(ImgAdjUtil::CfaRGGB);
        Picture picture = run(m_util, block, mosaicOf("RGGB", 4, 6, 1, 2, 3), 4, 6);
        QCOMPARE(picture.display.constData(), picture.clean.constData());
        // The next frame reuses the buffer and leaves no stale share behind.
        const quint16* buffer = picture.clean.constData();
        picture.rows = 4;
        picture.cols = 6;
        m_util.process(block, mosaicOf("RGGB", 4, 6, 4, 5, 6), picture.display, picture.clean, picture.rows,
                       picture.cols);
        QCOMPARE(picture.clean.constData(), buffer);
        QCOMPARE(picture.clean_(2, 2), (Pixel{6, 5, 4}));
        // A copy kept elsewhere (a histogram) keeps the old frame.
        const QList<quint16> kept = picture.clean;
        picture.rows = 4;
        picture.cols = 6;
        m_util.process(block, mosaicOf("RGGB", 4, 6, 7, 8, 9), picture.display, picture.clean, picture.rows,
                       picture.cols);
        QCOMPARE(kept[(2 * 6 + 2) * 3], quint16(6));
        QCOMPARE(picture.clean_(2, 2), (Pixel{9, 8, 7}));
    }

    void severalThreadsAtOnce()
    {
        // The pipeline keeps no per-frame state: frames of different sizes and
        // layouts processed at once in four threads come out as one by one.
        struct Job
        {
            int cfa, rows, cols;
            QList<quint16> raw16;
            QList<quint16> alone;
            QList<quint16> together;
        };
        std::vector<Job> jobs;
        for (int i = 0; i < 4; ++i) {
            Job job{i + 1, 300 + 101 * i, 700 + 257 * i, {}, {}, {}};
            job.raw16 = randomMosaic(m_util, job.rows, job.cols, quint32(100 + i));
            Picture picture = run(m_util, shapedBlock(job.cfa), job.raw16, job.rows, job.cols);
            job.alone = picture.clean;
            jobs.push_back(job);
        }
        std::vector<std::thread> threads;
        for (Job& job : jobs) {
            threads.emplace_back([this, &job] {
                for (int repeat = 0; repeat < 3; ++repeat)
                    job.together = run(m_util, shapedBlock(job.cfa), job.raw16, job.rows, job.cols).clean;
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        for (const Job& job : jobs)
            QVERIFY(job.together == job.alone);
    }

    void tinyFrames()
    {
        // Frames too small to demosaic still give pictures of their size (an
        // empty one none), and a frame of 33 rows ends with a stripe of one row.
        for (const QSize size :
             {QSize(0, 0), QSize(1, 1), QSize(5, 1), QSize(2, 2), QSize(1, 3), QSize(7, 33)}) {
            ImgAdjBlock block = shapedBlock(ImgAdjUtil::CfaBGGR);
            const QList<quint16> raw16 = randomMosaic(m_util, size.height(), size.width(), 3);
            const Picture picture = run(m_util, block, raw16, size.height(), size.width());
            QCOMPARE(picture.rows, size.height());
            QCOMPARE(picture.cols, size.width());
            QCOMPARE(picture.clean.size(), qsizetype(size.width()) * size.height() * 3);
            QCOMPARE(picture.display.size(), picture.clean.size());
            block.rotate = 90;
            const Picture turned = run(m_util, block, raw16, size.height(), size.width());
            QCOMPARE(turned.rows, size.width());
            QCOMPARE(turned.cols, size.height());
        }
    }
};

QTEST_GUILESS_MAIN(TestImgAdjUtil)
#include "tst_imgadjutil.moc"
