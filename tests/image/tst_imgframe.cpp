#include "ImgFrame.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// The view state of a displayed picture on its own; the layout that sets the
// pan limits and the fitted scale is tested with the painting item.
class TestImgFrame : public QObject
{
    Q_OBJECT

private slots:
    void zoomSteps_data();
    void zoomSteps();
    void zoomSignalsOnlyOnChange();
    void fittedScaleBeyondLimitsAndZoomInTurnsFitOff();
    void panClampsToLimits();
    void setImageSignals();
    void activityLastsOneSecondNotExtended();
};

// A scale written as from QML is clamped to 0.75 … 8; a step in or out
// goes to the next quarter within the limits.
void TestImgFrame::zoomSteps_data()
{
    QTest::addColumn<double>("written");
    QTest::addColumn<int>("step"); // 1 in, -1 out, 0 none
    QTest::addColumn<double>("expected");
    QTest::newRow("1.0 in") << 1.0 << 1 << 1.25;
    QTest::newRow("1.0 out") << 1.0 << -1 << 0.75;
    QTest::newRow("0.9 in rounds to quarter") << 0.9 << 1 << 1.25;
    QTest::newRow("0.9 out clamps") << 0.9 << -1 << 0.75;
    QTest::newRow("2.6 in") << 2.6 << 1 << 2.75;
    QTest::newRow("8.0 in stays") << 8.0 << 1 << 8.0;
    QTest::newRow("7.9 in clamps") << 7.9 << 1 << 8.0;
    QTest::newRow("0.75 out stays") << 0.75 << -1 << 0.75;
    QTest::newRow("20 written") << 20.0 << 0 << 8.0;
    QTest::newRow("0.1 written") << 0.1 << 0 << 0.75;
    QTest::newRow("-3 written") << -3.0 << 0 << 0.75;
    QTest::newRow("3.3 written kept") << 3.3 << 0 << 3.3;
}

void TestImgFrame::zoomSteps()
{
    QFETCH(double, written);
    QFETCH(int, step);
    QFETCH(double, expected);
    ImgFrame frame;
    QVERIFY(frame.setProperty("zoomScale", written));
    if (step > 0)
        frame.zoomIn();
    else if (step < 0)
        frame.zoomOut();
    QCOMPARE(frame.zoomScale(), expected);
}

void TestImgFrame::zoomSignalsOnlyOnChange()
{
    ImgFrame frame;
    frame.setZoomScale(8.0);
    QSignalSpy scaleSpy(&frame, &ImgFrame::zoomScaleChanged);
    QSignalSpy dataSpy(&frame, &ImgFrame::dataChanged);
    frame.zoomIn();
    QCOMPARE(scaleSpy.count(), 0);
    QCOMPARE(dataSpy.count(), 0);
    frame.zoomOut();
    QCOMPARE(scaleSpy.count(), 1);
    QCOMPARE(dataSpy.count(), 1);
    // A write within the fuzzy tolerance is no change.
    frame.setZoomScale(7.75 + 1e-14);
    QCOMPARE(scaleSpy.count(), 1);
    QCOMPARE(frame.zoomScale(), 7.75);
}

void TestImgFrame::fittedScaleBeyondLimitsAndZoomInTurnsFitOff()
{
    ImgFrame frame;
    QSignalSpy fitSpy(&frame, &ImgFrame::zoomFitChanged);
    QSignalSpy scaleSpy(&frame, &ImgFrame::zoomScaleChanged);
    frame.setZoomFit(true);
    frame.setZoomFit(true);
    QCOMPARE(fitSpy.count(), 1);

    frame.setFittedZoomScale(0.2);
    QCOMPARE(frame.zoomScale(), 0.2);
    frame.setFittedZoomScale(12.5);
    QCOMPARE(frame.zoomScale(), 12.5);
    QCOMPARE(scaleSpy.count(), 2);

    // Zooming in steps from the fitted scale ...
    frame.setFittedZoomScale(2.1);
    frame.zoomIn();
    QCOMPARE(frame.zoomFit(), false);
    QCOMPARE(fitSpy.count(), 2);
    QCOMPARE(frame.zoomScale(), 2.25);

    // ... and zooming out from a tiny fitted scale lands on the lower limit.
    frame.setZoomFit(true);
    frame.setFittedZoomScale(0.2);
    frame.zoomOut();
    QCOMPARE(frame.zoomFit(), false);
    QCOMPARE(frame.zoomScale(), 0.75);
}

void TestImgFrame::panClampsToLimits()
{
    ImgFrame frame;
    QSignalSpy panXSpy(&frame, &ImgFrame::panXChanged);
    QSignalSpy dataSpy(&frame, &ImgFrame::dataChanged);
    // With the whole picture visible there is nothing to pan.
    frame.setPanX(0.3);
    frame.setPanY(0.3);
    QCOMPARE(frame.panX(), 0.0);
    QCOMPARE(frame.panY(), 0.0);
    QCOMPARE(panXSpy.count(), 0);
    QCOMPARE(dataSpy.count(), 0);

    QSignalSpy maxXSpy(&frame, &ImgFrame::maxPanXChanged);
    QSignalSpy maxYSpy(&frame, &ImgFrame::maxPanYChanged);
    frame.setMaxPan(0.5, 0.25);
    frame.setMaxPan(0.5, 0.25);
    QCOMPARE(maxXSpy.count(), 1);
    QCOMPARE(maxYSpy.count(), 1);

    frame.setPanX(0.3);
    QCOMPARE(frame.panX(), 0.3);
    QCOMPARE(panXSpy.count(), 1);
    QCOMPARE(dataSpy.count(), 1);
    frame.setPanX(0.9);
    QCOMPARE(frame.panX(), 0.5);
    frame.setPanX(-1.0);
    QCOMPARE(frame.panX(), 0.0);
    frame.setPanY(0.9);
    QCOMPARE(frame.panY(), 0.25);
    frame.setPanY(0.1);
    QCOMPARE(frame.panY(), 0.1);
}

void TestImgFrame::setImageSignals()
{
    ImgFrame frame;
    QSignalSpy imageSpy(&frame, &ImgFrame::imageChanged);
    QSignalSpy dataSpy(&frame, &ImgFrame::dataChanged);
    QImage image(4, 3, QImage::Format_BGR888);
    image.fill(Qt::red);
    frame.setImage(image);
    QCOMPARE(frame.image(), image);
    QCOMPARE(imageSpy.count(), 1);
    QCOMPARE(dataSpy.count(), 1);
    // Every new frame counts, even an equal one.
    frame.setImage(image);
    QCOMPARE(imageSpy.count(), 2);
    QCOMPARE(dataSpy.count(), 2);
}

void TestImgFrame::activityLastsOneSecondNotExtended()
{
    ImgFrame frame;
    frame.setMaxPan(0.5, 0.5);
    QSignalSpy activeSpy(&frame, &ImgFrame::panZoomActiveChanged);
    QElapsedTimer clock;
    clock.start();
    frame.setPanX(0.1);
    QCOMPARE(frame.panZoomActive(), true);
    QCOMPARE(activeSpy.count(), 1);

    // Further changes while active neither signal nor restart the timer.
    QTest::qWait(600);
    frame.setPanY(0.2);
    frame.zoomIn();
    QCOMPARE(activeSpy.count(), 1);

    QVERIFY(activeSpy.wait(2000));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(frame.panZoomActive(), false);
    // A coarse timer may fire up to 5 % early; an extended one would end
    // near 1600 ms.
    QVERIFY2(elapsed >= 900 && elapsed < 1400, qPrintable(QString::number(elapsed)));

    // Unchanged pan writes still count as activity; so does zooming.
    frame.setPanX(frame.panX());
    QCOMPARE(frame.panZoomActive(), true);
    QVERIFY(activeSpy.wait(2000));
    frame.zoomOut();
    QCOMPARE(frame.panZoomActive(), true);
    // A zoomScale write from QML alone is no pan or zoom gesture.
    QVERIFY(activeSpy.wait(2000));
    frame.setZoomScale(3.0);
    QCOMPARE(frame.panZoomActive(), false);
}

QTEST_MAIN(TestImgFrame)
#include "tst_imgframe.moc"
