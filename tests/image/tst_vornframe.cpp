#include "ImgAdjModel.h"
#include "ImgAdjUtil.h"
#include "VornApp.h"
#include "VornFrame.h"
#include "VornObject.h"
#include "VornTestMain.h"
#include "VornValue.h"

#include <QSignalSpy>

namespace {

// A record of a mono frame: a metadata block, then one code per pixel.
QByteArray record(const QByteArray& meta, const QByteArray& codes)
{
    return meta + codes;
}

QByteArray metaBlock(quint32 w0, quint32 w1, quint32 w2, int size = 32)
{
    QByteArray block(size, '\0');
    for (int i = 0; i < 4; ++i) {
        block[i] = char((w0 >> (8 * i)) & 0xFF);
        block[4 + i] = char((w1 >> (8 * i)) & 0xFF);
        block[8 + i] = char((w2 >> (8 * i)) & 0xFF);
    }
    return block;
}

// 16-bit sample of codes below 128 (linear = code).
quint16 sample(int code)
{
    return quint16(std::lround(code * 65535.0 / 511.0));
}

} // namespace

class TestVornFrame : public QObject
{
    Q_OBJECT

private slots:
    void timeStampAndProbeFollowTheFrame()
    {
        ImgAdjModel model;
        model.updateLut();
        VornFrame frame(&model.block());
        // 4 x 2 mono frame, codes 1..8 row by row.
        const QByteArray codes("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
        const quint32 seconds = 0x1FFFFFF;
        frame.setFrameData(record(metaBlock(seconds | 0xFE000000, 123456789 | 0xC0000000, 0), codes), 4, 2, 8,
                           32, 1700000000);
        QCOMPARE(frame.width(), quint16(4));
        QCOMPARE(frame.height(), quint16(2));
        QCOMPARE(frame.seconds(), seconds);
        QCOMPARE(frame.nanoseconds(), 123456789u);
        QCOMPARE(frame.yearOffset(), 1700000000ull);
        QCOMPARE(frame.imgOffset(), 32u);

        QSignalSpy rgb(&frame, &VornFrame::rgbChanged);
        QSignalSpy point(&frame, &VornFrame::rgbPointChanged);
        frame.setRgbPoint(QPoint(2, 1)); // code 7
        QCOMPARE(rgb.count(), 1);
        QCOMPARE(point.count(), 1);
        QCOMPARE(frame.r(), sample(7));
        QCOMPARE(frame.g(), sample(7));
        QCOMPARE(frame.b(), sample(7));
        frame.setRgbPoint(QPoint(2, 1));
        QCOMPARE(point.count(), 1);
        frame.setRgbPoint(QPoint(9, 9)); // outside: values stay
        QCOMPARE(rgb.count(), 1);
        QCOMPARE(frame.g(), sample(7));

        // After a quarter turn clockwise the picture is 2 wide and 4 high and
        // the probe reads the pixel shown at its position.
        model.setRotate(90);
        frame.setRgbPoint(QPoint(0, 0));
        frame.setFrameData(record(metaBlock(0, 0, 0), codes), 4, 2, 8, 32, 0);
        QCOMPARE(frame.width(), quint16(2));
        QCOMPARE(frame.height(), quint16(4));
        // Clockwise: the top row of the new picture is the first column read
        // from the bottom: codes 5, 1.
        QCOMPARE(frame.g(), sample(5));
        frame.setRgbPoint(QPoint(1, 3)); // bottom right: last column, top row: code 4
        QCOMPARE(frame.g(), sample(4));

        const QImage image = frame.image();
        QCOMPARE(image.format(), QImage::Format_BGR888);
        QCOMPARE(image.size(), QSize(2, 4));
        QCOMPARE(qBlue(image.pixel(1, 3)), int(std::lround(sample(4) * 255.0 / 65535.0)));
        QCOMPARE(frame.gray16Image().format(), QImage::Format_Grayscale16);
        QCOMPARE(frame.gray8Image().size(), QSize(2, 4));
    }

    void buffersKeptWhileTheSizeStays()
    {
        // The display's frame: the histogram keeps the clean buffer and the
        // window the picture until the next frame replaces them.
        ImgAdjModel model;
        model.cfa()->setValue(ImgAdjUtil::CfaRGGB);
        model.updateLut();
        VornFrame frame(&model.block());
        frame.setImageWithFrame(true);
        QList<quint16> heldClean;
        QImage heldImage;
        const quint16* cleanOf[2] = {};
        const uchar* imageOf[2] = {};
        auto show = [&](int width, int height, int seed) {
            QByteArray codes(width * height, Qt::Uninitialized);
            for (int i = 0; i < codes.size(); ++i)
                codes[i] = char((i * seed + i / width) & 0xFF);
            const QByteArray data = metaBlock(0, 0, 0) + codes;
            frame.setFrameData(data, width, height, width * height, 32, 0);
            VornFrame reference(&model.block());
            reference.setFrameData(data, width, height, width * height, 32, 0);
            QCOMPARE(frame.clean(), reference.clean());
            QCOMPARE(frame.image(), reference.image());
            heldClean = frame.clean();
            heldImage = frame.image();
        };
        for (int round = 0; round < 6; ++round) {
            const QList<quint16> before = heldClean;
            show(66, 40, round + 3);
            // A buffer still held elsewhere is never written ...
            if (round > 0)
                QVERIFY(frame.clean().constData() != before.constData());
            // ... and from the third frame on the two sets take turns.
            if (round >= 2) {
                QCOMPARE(frame.clean().constData(), cleanOf[round % 2]);
                QCOMPARE(frame.image().constBits(), imageOf[round % 2]);
            }
            cleanOf[round % 2] = frame.clean().constData();
            imageOf[round % 2] = frame.image().constBits();
        }
        // A new size gets buffers of its size, with the right content.
        show(34, 70, 9);
        QCOMPARE(frame.image().size(), QSize(34, 70));
        // Nothing else holding it, the same set is used again.
        heldClean = QList<quint16>();
        heldImage = QImage();
        const quint16* last = frame.clean().constData();
        const uchar* lastImage = frame.image().constBits();
        show(34, 70, 10);
        QCOMPARE(frame.clean().constData(), last);
        QCOMPARE(frame.image().constBits(), lastImage);
    }

    void timeText()
    {
        QCOMPARE(VornObject::timeText(1709294405, 123456), QStringLiteral("2024-03-01T12:00:05.000123456Z"));
        QCOMPARE(VornObject::timeText(0, 999999999), QStringLiteral("1970-01-01T00:00:00.999999999Z"));
    }
};

VORN_TEST_MAIN(TestVornFrame)
#include "tst_vornframe.moc"
