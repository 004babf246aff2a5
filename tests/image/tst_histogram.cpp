#include "Histogram.h"
#include "HistogramControl.h"
#include "HistogramRenderer.h"

#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <QRandomGenerator>
#include <opencv2/imgproc.hpp>

namespace {

// A frame of width × height pixels whose B, G and R samples are given per pixel.
struct Frame
{
    int width;
    int height;
    QList<quint16> samples;

    Frame(int width, int height, quint16 b, quint16 g, quint16 r)
        : width(width), height(height), samples(width * height * 3)
    {
        for (int i = 0; i < width * height; ++i)
            setPixel(i, b, g, r);
    }
    void setPixel(int index, quint16 b, quint16 g, quint16 r)
    {
        samples[index * 3] = b;
        samples[index * 3 + 1] = g;
        samples[index * 3 + 2] = r;
    }
    QImage render(int pictureWidth, int pictureHeight) const
    {
        return HistogramRenderer::render(samples.constData(), width, height, pictureWidth, pictureHeight);
    }
};

// The columns of a picture row where any channel is lit.
QList<int> litColumns(const QImage& picture, int row)
{
    QList<int> columns;
    for (int x = 0; x < picture.width(); ++x)
        if (picture.pixelColor(x, row) != QColor(Qt::black))
            columns.append(x);
    return columns;
}

// Whether every pixel has the same value in all three channels.
bool allGrey(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c.red() != c.green() || c.green() != c.blue())
                return false;
        }
    return true;
}

const QColor White(255, 255, 255);

// The histogram as drawn from the split planes with OpenCV's calcHist.
QImage referencePicture(const QList<quint16>& samples, int width, int height, int pictureWidth,
                        int pictureHeight, std::vector<cv::Mat>& counts)
{
    const cv::Mat frame(height, width, CV_16UC3, const_cast<quint16*>(samples.constData()));
    std::vector<cv::Mat> planes;
    cv::split(frame, planes);
    const int bins = std::min(256, pictureWidth);
    const int binWidth = int(std::nearbyint(double(pictureWidth) / bins));
    const int offset = binWidth != 1 ? binWidth / 2 - 1 : 0;
    const float range[] = {0.0f, 65536.0f};
    const float* ranges[] = {range};
    const int channel = 0;
    counts.assign(3, cv::Mat());
    double tallest = 0;
    for (int c = 0; c < 3; ++c) {
        cv::calcHist(&planes[c], 1, &channel, cv::Mat(), counts[c], 1, &bins, ranges);
        double peak = 0;
        cv::minMaxLoc(counts[c], nullptr, &peak);
        tallest = std::max(tallest, peak);
    }
    const int bottom = pictureHeight - 1;
    std::vector<cv::Mat> pictures;
    for (const cv::Mat& n : counts) {
        auto top = [&](int bin) {
            return bottom - int(std::nearbyint(n.at<float>(bin) * bottom / tallest));
        };
        std::vector<cv::Point> outline{{0, bottom}, {0, top(0)}};
        for (int bin = 0; bin < bins; ++bin)
            outline.emplace_back(bin * binWidth + offset, top(bin));
        outline.emplace_back(pictureWidth - 1, top(bins - 1));
        outline.emplace_back(pictureWidth - 1, bottom);
        cv::Mat picture = cv::Mat::zeros(pictureHeight, pictureWidth, CV_8UC1);
        cv::fillPoly(picture, std::vector<std::vector<cv::Point>>{outline}, 150);
        cv::polylines(picture, std::vector<cv::Point>(outline.begin() + 1, outline.end() - 1), false, 255);
        pictures.push_back(picture);
    }
    cv::Mat merged;
    cv::merge(pictures, merged);
    QImage result(pictureWidth, pictureHeight, QImage::Format_BGR888);
    for (int row = 0; row < pictureHeight; ++row)
        std::memcpy(result.scanLine(row), merged.ptr(row), size_t(pictureWidth) * 3);
    return result;
}

} // namespace

class TestHistogram : public QObject
{
    Q_OBJECT

private slots:
    void setImageSharesAndSignals();
    void uniformFrameGivesOneWhiteSpike_data();
    void uniformFrameGivesOneWhiteSpike();
    void channelsShareOneScale();
    void sameAsSplitPlanes_data();
    void sameAsSplitPlanes();
    void outlinesDrawnAsOpenCvDrawsThem();
    void nothingToDraw();
    void controlWithoutFrameHasNoSize();
    void controlPaintsPicture();
    void controlRendersNewFramesOfItsHistogram();
};

void TestHistogram::setImageSharesAndSignals()
{
    Histogram histogram;
    QCOMPARE(histogram.width(), quint16(0));
    QVERIFY(histogram.image().isEmpty());
    QSignalSpy imageSpy(&histogram, &Histogram::imageChanged);
    QSignalSpy widthSpy(&histogram, &Histogram::widthChanged);
    QSignalSpy heightSpy(&histogram, &Histogram::heightChanged);
    const Frame frame(4, 2, 1, 2, 3);
    histogram.setImage(frame.samples, 4, 2);
    QCOMPARE(histogram.width(), quint16(4));
    QCOMPARE(histogram.height(), quint16(2));
    // Shared, not copied.
    QCOMPARE(histogram.image().constData(), frame.samples.constData());
    // The same frame again still signals all three.
    histogram.setImage(frame.samples, 4, 2);
    QCOMPARE(imageSpy.count(), 2);
    QCOMPARE(widthSpy.count(), 2);
    QCOMPARE(heightSpy.count(), 2);
    QCOMPARE(histogram.property("image").value<QList<quint16>>(), frame.samples);
}

void TestHistogram::uniformFrameGivesOneWhiteSpike_data()
{
    QTest::addColumn<int>("sample");
    QTest::addColumn<int>("column");
    QTest::newRow("grey: 30000 × 128 / 65536 = 58.6") << 30000 << 58;
    QTest::newRow("black: the left edge") << 0 << 0;
}

void TestHistogram::uniformFrameGivesOneWhiteSpike()
{
    QFETCH(int, sample);
    QFETCH(int, column);
    const QImage picture = Frame(8, 4, sample, sample, sample).render(128, 64);
    QCOMPARE(picture.format(), QImage::Format_BGR888);
    QCOMPARE(picture.size(), QSize(128, 64));
    // The three spikes coincide, so nothing is coloured; the top is white.
    QVERIFY(allGrey(picture));
    QCOMPARE(litColumns(picture, 0), QList<int>{column});
    QCOMPARE(picture.pixelColor(column, 0), White);
    // The spike's flanks stay next to its column; the empty bins draw the
    // curve along the bottom line.
    for (int y = 1; y < 63; ++y)
        for (int x : litColumns(picture, y))
            QVERIFY2(qAbs(x - column) <= 1, qPrintable(QStringLiteral("x %1 y %2").arg(x).arg(y)));
    QCOMPARE(litColumns(picture, 63).size(), 128);
    QCOMPARE(picture.pixelColor(column + 10, 63), White);
}

void TestHistogram::channelsShareOneScale()
{
    // B: half the pixels 0 (bin 0), half 32768 (bin 64); G and R all 65535.
    // B's peaks are half of the tallest: 0.5 × 65 = 32.5, which rounds to
    // even 32, so they reach up to row 65 − 32 = 33.
    Frame frame(4, 4, 0, 65535, 65535);
    for (int i = 8; i < 16; ++i)
        frame.setPixel(i, 32768, 65535, 65535);
    const QImage picture = frame.render(128, 66);
    QCOMPARE(picture.pixelColor(127, 0), QColor(255, 255, 0));
    for (int column : {0, 64}) {
        QCOMPARE(picture.pixelColor(column, 33).blue(), 255);
        for (int y = 0; y < 33; ++y)
            QCOMPARE(picture.pixelColor(column, y).blue(), 0);
    }
    // Rows above B's peaks show only the G and R spike.
    for (int y = 0; y < 33; ++y)
        for (int x : litColumns(picture, y))
            QVERIFY2(x >= 126, qPrintable(QStringLiteral("x %1 y %2").arg(x).arg(y)));
}

void TestHistogram::sameAsSplitPlanes_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("pictureWidth");
    QTest::addColumn<int>("pictureHeight");
    QTest::newRow("7x5 into 40x20") << 7 << 5 << 40 << 20;
    QTest::newRow("37x23 into 100x33") << 37 << 23 << 100 << 33;
    QTest::newRow("640x480 into 128x64") << 640 << 480 << 128 << 64;
    QTest::newRow("641x1031 into 300x64") << 641 << 1031 << 300 << 64;
    QTest::newRow("1000x200 into 1000x90") << 1000 << 200 << 1000 << 90;
    QTest::newRow("255x129 into 257x50") << 255 << 129 << 257 << 50;
    // Bin widths 1.5, 2.5 and 3.5 round to even; width 6 has offset 2.
    QTest::newRow("30x20 into 384x40") << 30 << 20 << 384 << 40;
    QTest::newRow("30x20 into 640x40") << 30 << 20 << 640 << 40;
    QTest::newRow("30x20 into 896x40") << 30 << 20 << 896 << 40;
    QTest::newRow("30x20 into 1536x40") << 30 << 20 << 1536 << 40;
}

// The whole picture, each channel in its own colour component, equals the
// one drawn from the split planes.
void TestHistogram::sameAsSplitPlanes()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, pictureWidth);
    QFETCH(int, pictureHeight);
    // Noise over the whole range, with a crowd of samples at bin edges.
    QRandomGenerator random(quint32(width * height));
    QList<quint16> samples(width * height * 3);
    for (quint16& sample : samples)
        sample = random.bounded(4) ? quint16(random.bounded(65536)) : quint16(random.bounded(8) * 8192 - 1);
    std::vector<cv::Mat> counts;
    const QImage expected = referencePicture(samples, width, height, pictureWidth, pictureHeight, counts);
    const int bins = std::min(256, pictureWidth);
    std::vector<int> counted(3 * bins);
    HistogramRenderer::count(samples.constData(), width, height, bins, counted.data());
    for (int c = 0; c < 3; ++c)
        for (int bin = 0; bin < bins; ++bin)
            QCOMPARE(counted[c * bins + bin], int(counts[c].at<float>(bin)));
    QCOMPARE(Frame(1, 1, 0, 0, 0).render(1, 1).size(), QSize(1, 1));
    HistogramRenderer renderer;
    QImage picture;
    renderer.render(samples.constData(), width, height, pictureWidth, pictureHeight, 256, picture);
    QCOMPARE(picture, expected);
    // Drawn again into the same buffer.
    const uchar* bits = picture.constBits();
    renderer.render(samples.constData(), width, height, pictureWidth, pictureHeight, 256, picture);
    QCOMPARE(picture.constBits(), bits);
    QCOMPARE(picture, expected);
}

void TestHistogram::outlinesDrawnAsOpenCvDrawsThem()
{
    // Histogram outlines of every shape: noise, spikes on an empty floor,
    // shallow ripples; bins within the picture and beyond narrow ones.
    QRandomGenerator random(5);
    HistogramRenderer renderer;
    for (int n = 0; n < 3000; ++n) {
        const int pictureWidth = 1 + random.bounded(n % 3 ? 300 : 1100);
        const int bottom = random.bounded(n % 5 ? 100 : 300);
        const int bins = std::min(256, pictureWidth);
        const int binWidth = int(std::nearbyint(double(pictureWidth) / bins));
        const int shape = random.bounded(3);
        auto height = [&] {
            return shape == 0   ? random.bounded(bottom + 1)
                   : shape == 1 ? (random.bounded(10) ? bottom : random.bounded(bottom + 1))
                                : bottom - random.bounded(std::min(bottom + 1, 4));
        };
        std::vector<cv::Point> outline{{0, bottom}, {0, height()}};
        for (int bin = 0; bin < bins; ++bin)
            outline.emplace_back(bin * binWidth + (binWidth != 1 ? binWidth / 2 - 1 : 0),
                                 bin ? height() : outline[1].y);
        outline.emplace_back(pictureWidth - 1, outline.back().y);
        outline.emplace_back(pictureWidth - 1, bottom);
        cv::Mat expected = cv::Mat::zeros(bottom + 1, pictureWidth, CV_8UC1);
        cv::Mat drawn = expected.clone();
        cv::fillPoly(expected, std::vector<std::vector<cv::Point>>{outline}, 150);
        cv::polylines(expected, std::vector<cv::Point>(outline.begin() + 1, outline.end() - 1), false, 255);
        renderer.fillPolygon(drawn, outline.data(), int(outline.size()), 150);
        HistogramRenderer::drawPolyline(drawn, outline.data() + 1, int(outline.size()) - 2, 255);
        QVERIFY2(cv::norm(expected, drawn, cv::NORM_INF) == 0, qPrintable(QString::number(n)));
    }
}

void TestHistogram::nothingToDraw()
{
    const Frame frame(2, 2, 100, 100, 100);
    QVERIFY(HistogramRenderer::render(nullptr, 2, 2, 128, 64).isNull());
    QVERIFY(HistogramRenderer::render(frame.samples.constData(), 0, 2, 128, 64).isNull());
    QVERIFY(HistogramRenderer::render(frame.samples.constData(), 2, 2, 0, 64).isNull());
    QVERIFY(HistogramRenderer::render(frame.samples.constData(), 2, 2, 128, 0).isNull());
}

void TestHistogram::controlWithoutFrameHasNoSize()
{
    QQuickWindow window;
    window.resize(200, 100);
    window.setColor(Qt::black);
    auto* control = new HistogramControl(window.contentItem());
    QCOMPARE(control->implicitWidth(), 0.0);
    QCOMPARE(control->implicitHeight(), 0.0);

    Histogram histogram;
    QSignalSpy histogramSpy(control, &HistogramControl::histogramChanged);
    control->setHistogram(&histogram);
    QCOMPARE(histogramSpy.count(), 1);
    QCOMPARE(control->histogram(), &histogram);
    control->setSize(QSizeF(128, 64));
    QVERIFY(control->picture().isNull());
    QCOMPARE(control->implicitWidth(), 0.0);
    QCOMPARE(control->implicitHeight(), 0.0);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.grabWindow().pixelColor(20, 63), QColor(Qt::black));

    // A buffer shorter than its stated size draws nothing rather than read
    // past its end.
    histogram.setImage(QList<quint16>(11, 0), 2, 2);
    QVERIFY(control->picture().isNull());
}

void TestHistogram::controlPaintsPicture()
{
    QQuickWindow window;
    window.resize(200, 100);
    window.setColor(Qt::black);
    auto* control = new HistogramControl(window.contentItem());
    control->setPosition(QPointF(10, 20));
    control->setSize(QSizeF(128, 64));
    Histogram histogram;
    control->setHistogram(&histogram);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const Frame frame(6, 4, 30000, 30000, 30000);
    histogram.setImage(frame.samples, 6, 4);
    QCOMPARE(control->picture(), frame.render(128, 64));
    QCOMPARE(control->implicitWidth(), 128.0);
    QCOMPARE(control->implicitHeight(), 64.0);

    const QImage grab = window.grabWindow();
    QCOMPARE(grab.pixelColor(10 + 58, 20), White);
    QCOMPARE(grab.pixelColor(10 + 20, 20 + 30), QColor(Qt::black));
    QCOMPARE(grab.pixelColor(10 + 20, 20 + 63), White);
    // Outside the item.
    QCOMPARE(grab.pixelColor(10 + 20, 20 + 66), QColor(Qt::black));
}

void TestHistogram::controlRendersNewFramesOfItsHistogram()
{
    QQuickWindow window;
    auto* control = new HistogramControl(window.contentItem());
    control->setSize(QSizeF(128, 64));
    Histogram first;
    Histogram second;
    const Frame black(2, 2, 0, 0, 0);
    const Frame bright(2, 2, 65535, 65535, 65535);
    first.setImage(black.samples, 2, 2);
    second.setImage(bright.samples, 2, 2);

    // A newly bound histogram shows its frame at once; the previous one no
    // longer draws.
    control->setHistogram(&first);
    QCOMPARE(litColumns(control->picture(), 0), QList<int>{0});
    control->setHistogram(&second);
    QCOMPARE(litColumns(control->picture(), 0), QList<int>{127});
    first.setImage(black.samples, 2, 2);
    QCOMPARE(litColumns(control->picture(), 0), QList<int>{127});

    // A resize shows with the next frame.
    control->setSize(QSizeF(256, 32));
    QCOMPARE(control->picture().size(), QSize(128, 64));
    second.setImage(black.samples, 2, 2);
    QCOMPARE(control->picture().size(), QSize(256, 32));

    control->setHistogram(nullptr);
    QVERIFY(control->picture().isNull());
    QCOMPARE(control->implicitWidth(), 0.0);
}

QTEST_MAIN(TestHistogram)
#include "tst_histogram.moc"
