// The display overlays against the plain OpenCV chains that define them:
// focus peaking and exposure assist must mark exactly the pixels the
// step-by-step chains mark, on the simulator's footage and on noise, at every
// level and at the camera's frame sizes, through the real pipeline.

#include "FrameSynth.h"
#include "ImgAdjUtil.h"

#include <QRandomGenerator>
#include <QTest>
#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// Marks of the plain chain, each step as OpenCV does it on the whole frame.
cv::Mat focusMarks(const cv::Mat& clean, int level)
{
    cv::Mat grey, equalised, blurred, laplacian, strength, marks;
    cv::cvtColor(clean, grey, cv::COLOR_BGR2GRAY);
    cv::createCLAHE(2.0, cv::Size(8, 8))->apply(grey, equalised);
    cv::GaussianBlur(equalised, blurred, cv::Size(3, 3), 0);
    cv::Laplacian(blurred, laplacian, CV_32F, 3, 1, 0);
    cv::convertScaleAbs(laplacian, strength, 255.0 / 65535.0);
    cv::threshold(strength, marks, level == 3 ? 50 : level == 2 ? 100 : 150, 255, cv::THRESH_BINARY);
    cv::filterSpeckles(marks, 0, 1, 1);
    return marks;
}

cv::Mat exposureMarks(const cv::Mat& clean, cv::Mat& over)
{
    cv::Mat grey;
    cv::cvtColor(clean, grey, cv::COLOR_BGR2GRAY);
    over = grey > 65534;
    return grey <= 0;
}

struct Frame
{
    QList<quint16> raw16;
    int rows;
    int cols;
    int cfa;
};

// A frame of the simulated sensor; a long exposure clips its highlights.
Frame footage(const ImgAdjUtil& util, int cols, int rows, int frame, quint32 expClks)
{
    q7sim::FrameParams params;
    params.width = cols;
    params.height = rows;
    params.cfa = q7sim::Cfa::RGGB;
    params.expClks = expClks;
    const QByteArray codes = q7sim::FrameSynth::image(params, frame);
    Frame result{QList<quint16>(codes.size()), rows, cols, ImgAdjUtil::CfaRGGB};
    util.expand(codes, result.raw16);
    return result;
}

Frame noise(const ImgAdjUtil& util, int cols, int rows, int cfa, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray codes(qsizetype(rows) * cols, Qt::Uninitialized);
    for (char& code : codes)
        code = char(random.bounded(256));
    // A band of white and one of black for exposure assist to mark.
    const qsizetype band = qsizetype(std::min(rows / 4, 8)) * cols;
    std::fill(codes.begin(), codes.begin() + band, char(255));
    std::fill(codes.end() - band, codes.end(), char(0));
    Frame result{QList<quint16>(codes.size()), rows, cols, cfa};
    util.expand(codes, result.raw16);
    return result;
}

} // namespace

class TestOverlays : public QObject
{
    Q_OBJECT

    ImgAdjUtil m_util;

private slots:
    void matchTheOpenCvChains_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("gamma");
        QTest::addColumn<int>("rotate");
        for (const QSize& size : {QSize(1920, 1080), QSize(1280, 1024)}) {
            const QByteArray name =
                QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
            QTest::newRow("footage " + name) << "footage" << size.width() << size.height() << 1.0 << 0;
            QTest::newRow("noise " + name) << "noise" << size.width() << size.height() << 1.0 << 0;
        }
        // Sizes that do not split into whole tiles, a picture too small for
        // tiles, adjusted tables and a turned picture.
        QTest::newRow("footage 643x481 gamma") << "footage" << 643 << 481 << 2.2 << 0;
        QTest::newRow("noise 100x37 turned") << "noise" << 100 << 37 << 1.0 << 90;
        QTest::newRow("noise 15x40") << "noise" << 15 << 40 << 1.0 << 0;
        QTest::newRow("mono noise 333x17") << "mono" << 333 << 17 << 0.6 << 0;
    }

    void matchTheOpenCvChains()
    {
        QFETCH(QString, source);
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(double, gamma);
        QFETCH(int, rotate);
        // Footage lit normally and overexposed; noise of two seeds.
        const std::vector<Frame> frames =
            source == "footage" ? std::vector<Frame>{footage(m_util, cols, rows, 7, 50000),
                                                     footage(m_util, cols, rows, 40, 400000)}
                                : std::vector<Frame>{noise(m_util, cols, rows, source == "mono" ? 0 : 1, 1),
                                                     noise(m_util, cols, rows, source == "mono" ? 0 : 2, 2)};
        for (const Frame& frame : frames) {
            for (int overlay = 0; overlay <= 3; ++overlay) {
                ImgAdjBlock block;
                block.cfa = frame.cfa;
                for (QList<quint16>* lut : {&block.lutR, &block.lutG, &block.lutB})
                    ImgAdjUtil::buildLut16(*lut, 0.0, 1.0, gamma, 0.0);
                block.rotate = rotate;
                block.focusPeak = overlay;
                block.expAssist = overlay == 0 ? 1 : 0;
                QList<quint16> display;
                QList<quint16> clean;
                QImage shown;
                int height = frame.rows;
                int width = frame.cols;
                m_util.process(block, frame.raw16, display, clean, height, width, &shown);

                const cv::Mat picture(height, width, CV_16UC3, clean.data());
                cv::Mat expected = picture.clone();
                int marked = 0;
                if (overlay == 0) {
                    cv::Mat over;
                    const cv::Mat under = exposureMarks(picture, over);
                    expected.setTo(cv::Scalar(65535, 0, 0), under);
                    expected.setTo(cv::Scalar(0, 0, 65535), over);
                    marked = cv::countNonZero(under | over);
                } else {
                    const cv::Mat marks = focusMarks(picture, overlay);
                    expected.setTo(cv::Scalar(0, 65535, 0), marks);
                    marked = cv::countNonZero(marks);
                }
                const cv::Mat actual(height, width, CV_16UC3, display.data());
                const int differing = cv::countNonZero(cv::Mat(actual.reshape(1) != expected.reshape(1)));
                QVERIFY2(differing == 0,
                         qPrintable(QStringLiteral("overlay %1: %2 samples differ of %3 marked")
                                        .arg(overlay)
                                        .arg(differing)
                                        .arg(marked)));
                QVERIFY2(shown == m_util.bgr888Image(display, height, width), "8-bit picture");
                // Marks there are, but not everywhere: the comparison says
                // something (at the high level, and where the picture clips).
                const bool mustMark =
                    overlay == 3 || (overlay == 0 && (source != "footage" || &frame == &frames.back()));
                QVERIFY2(marked < width * height && (marked > 0 || !mustMark),
                         qPrintable(QStringLiteral("overlay %1: %2 marked").arg(overlay).arg(marked)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestOverlays)
#include "tst_overlays.moc"
