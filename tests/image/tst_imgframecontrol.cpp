#include "ImgFrame.h"
#include "ImgFrameControl.h"

#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

// The item sits inside a larger window so that the cursor can leave it.
const QPoint ItemPos(50, 40);
const QSize ItemSize(200, 100);

// A picture whose left half is red and right half blue.
QImage halvesImage(int width, int height)
{
    QImage image(width, height, QImage::Format_BGR888);
    image.fill(Qt::blue);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixelColor(x, y, Qt::red);
    return image;
}

struct View
{
    QQuickWindow window;
    ImgFrame frame;
    ImgFrameControl* item = nullptr;

    explicit View(const QImage& image, bool sized = true)
    {
        window.resize(400, 300);
        window.setColor(Qt::black);
        item = new ImgFrameControl(window.contentItem());
        item->setPosition(ItemPos);
        if (sized)
            item->setSize(ItemSize);
        frame.setImage(image);
        item->setImgFrame(&frame);
    }

    bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    // Window coordinates of a point of the item.
    QPoint at(double x, double y) const { return (ItemPos + QPointF(x, y)).toPoint(); }

    void wheel(QPoint windowPos, int delta, Qt::KeyboardModifiers modifiers, QPoint angle = QPoint())
    {
        if (angle.isNull())
            angle = QPoint(0, delta);
        QWheelEvent event(windowPos, window.mapToGlobal(windowPos), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&window, &event);
    }
};

} // namespace

class TestImgFrameControl : public QObject
{
    Q_OBJECT

private slots:
    void layoutCentresSmallerPicture();
    void layoutOfZoomedPicture();
    void zoomFitStoresUnlimitedScale();
    void itemSizeFromImage();
    void paintsSourceIntoPaintedRect();
    void hoverMapsToImagePixels();
    void dragPans();
    void pressOutsidePictureOnlyForRightButton();
    void ctrlWheelKeepsPixelUnderCursor_data();
    void ctrlWheelKeepsPixelUnderCursor();
    void wheelPans();
    void keysZoomKeepingCentre();
};

void TestImgFrameControl::layoutCentresSmallerPicture()
{
    View view(halvesImage(101, 51));
    QSignalSpy rectSpy(view.item, &ImgFrameControl::paintedRectChanged);
    // Offsets (200 − 101) / 2 = 49.5 and (100 − 51) / 2 = 24.5 round up.
    QCOMPARE(view.item->paintedRect(), QRectF(50, 25, 101, 51));
    QCOMPARE(view.item->sourceRect(), QRectF(0, 0, 101, 51));
    QCOMPARE(view.frame.maxPanX(), 0.0); // nothing to pan
    QCOMPARE(view.frame.maxPanY(), 0.0);
    // 1.5× gives 151.5 × 76.5: offsets 24.25 → 25 and 11.75 → 12.
    view.frame.setZoomScale(1.5);
    QCOMPARE(view.item->paintedRect(), QRectF(25, 12, 151.5, 76.5));
    QCOMPARE(rectSpy.count(), 1);
    // A new image of the same size does not move the picture.
    view.frame.setImage(halvesImage(101, 51));
    QCOMPARE(rectSpy.count(), 1);
}

void TestImgFrameControl::layoutOfZoomedPicture()
{
    View view(halvesImage(100, 50));
    view.frame.setZoomScale(4.0);
    // 400 × 200 scaled, 200 × 100 visible: half of each dimension shows.
    QCOMPARE(view.item->paintedRect(), QRectF(0, 0, 200, 100));
    QCOMPARE(view.frame.maxPanX(), 0.5);
    QCOMPARE(view.frame.maxPanY(), 0.5);
    view.frame.setPanX(0.25);
    view.frame.setPanY(0.2);
    QCOMPARE(view.item->sourceRect(), QRectF(25, 10, 50, 25));
    // 0.07 × 100 is a hair above 7 in doubles; it is still pixel 7.
    view.frame.setPanX(0.07);
    QCOMPARE(view.item->sourceRect().x(), 7.0);
    view.frame.setPanX(0.071);
    QCOMPARE(view.item->sourceRect().x(), 8.0);
    view.frame.setPanX(0.9);
    QCOMPARE(view.frame.panX(), 0.5);
    QCOMPARE(view.item->sourceRect().x(), 50.0);
    // After zooming out to 3.75 the pan stays beyond its new limit, and the
    // source stops at (375 − 200) / 3.75 = 46.67 → 47 pixels hidden.
    view.frame.zoomOut();
    QCOMPARE(view.frame.maxPanX(), 1 - 200.0 / 375.0);
    QCOMPARE(view.item->sourceRect(), QRectF(47, 10, 200 / 3.75, 100 / 3.75));
}

void TestImgFrameControl::zoomFitStoresUnlimitedScale()
{
    View big(halvesImage(1000, 500));
    big.frame.setZoomFit(true);
    QCOMPARE(big.frame.zoomScale(), 0.2);
    QCOMPARE(big.item->paintedRect(), QRectF(0, 0, 200, 100));
    // The fitted scale follows the item's size.
    big.item->setSize(QSizeF(100, 100));
    QCOMPARE(big.frame.zoomScale(), 0.1);
    QCOMPARE(big.item->paintedRect(), QRectF(0, 25, 100, 50));

    // The smaller ratio decides: 200 / 10 = 20 against 100 / 5 = 20, and
    // 200 / 40 = 5 against 100 / 10 = 10.
    View tiny(halvesImage(10, 5));
    tiny.frame.setZoomFit(true);
    QCOMPARE(tiny.frame.zoomScale(), 20.0);
    View wide(halvesImage(40, 10));
    wide.frame.setZoomFit(true);
    QCOMPARE(wide.frame.zoomScale(), 5.0);
    QCOMPARE(wide.item->paintedRect(), QRectF(0, 25, 200, 50));
}

void TestImgFrameControl::itemSizeFromImage()
{
    View view(QImage(), false);
    QCOMPARE(view.item->implicitWidth(), 0.0);
    QCOMPARE(view.item->implicitHeight(), 0.0);
    // An item without a size of its own takes the image's.
    view.frame.setImage(halvesImage(120, 80));
    QCOMPARE(view.item->width(), 120.0);
    QCOMPARE(view.item->height(), 80.0);
    QCOMPARE(view.item->paintedRect(), QRectF(0, 0, 120, 80));
    view.frame.setImage(halvesImage(60, 30));
    QCOMPARE(view.item->paintedRect(), QRectF(0, 0, 60, 30));
    view.frame.setImage(QImage());
    QCOMPARE(view.item->implicitWidth(), 0.0);
    QCOMPARE(view.item->implicitHeight(), 0.0);

    // A null image paints nothing: the window shows its background.
    QVERIFY(view.show());
    view.item->setSize(ItemSize);
    QCOMPARE(view.window.grabWindow().pixelColor(view.at(100, 50)), QColor(Qt::black));
    view.frame.setImage(halvesImage(100, 50));
    view.item->setImgFrame(nullptr);
    QCOMPARE(view.item->implicitWidth(), 0.0);
}

void TestImgFrameControl::paintsSourceIntoPaintedRect()
{
    View view(halvesImage(100, 50));
    QVERIFY(view.show());
    QImage grab = view.window.grabWindow();
    // The picture covers item x 50 … 149, y 25 … 74: red then blue.
    QCOMPARE(grab.pixelColor(view.at(60, 30)), QColor(Qt::red));
    QCOMPARE(grab.pixelColor(view.at(140, 70)), QColor(Qt::blue));
    QCOMPARE(grab.pixelColor(view.at(40, 30)), QColor(Qt::black));
    QCOMPARE(grab.pixelColor(view.at(100, 80)), QColor(Qt::black));

    // At 4× with a quarter hidden on the left, source x 25 … 74 fills the
    // item: red up to item x 100, blue after.
    view.frame.setZoomScale(4.0);
    view.frame.setPanX(0.25);
    grab = view.window.grabWindow();
    QCOMPARE(grab.pixelColor(view.at(5, 50)), QColor(Qt::red));
    QCOMPARE(grab.pixelColor(view.at(90, 50)), QColor(Qt::red));
    QCOMPARE(grab.pixelColor(view.at(110, 50)), QColor(Qt::blue));
    QCOMPARE(grab.pixelColor(view.at(195, 95)), QColor(Qt::blue));
    // Outside the item the window stays black.
    QCOMPARE(grab.pixelColor(view.at(-5, 50)), QColor(Qt::black));
    QCOMPARE(grab.pixelColor(view.at(205, 50)), QColor(Qt::black));
}

void TestImgFrameControl::hoverMapsToImagePixels()
{
    View view(halvesImage(100, 50));
    QVERIFY(view.show());
    ImgFrameControl& item = *view.item;
    QSignalSpy xySpy(&item, &ImgFrameControl::mouseXYChanged);
    auto mouseXY = [&] {
        return QPoint(item.mouseX(), item.mouseY());
    };

    // Centred at 1×: item (50, 25) is pixel (0, 0), (149, 74) is (99, 49).
    QTest::mouseMove(&view.window, view.at(149, 74));
    QCOMPARE(item.containsMouse(), true);
    QCOMPARE(mouseXY(), QPoint(99, 49));
    QCOMPARE(item.cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(&view.window, view.at(50, 25));
    QCOMPARE(mouseXY(), QPoint(0, 0));
    QCOMPARE(xySpy.count(), 2);
    // Inside the item but beside the picture.
    QTest::mouseMove(&view.window, view.at(160, 60));
    QCOMPARE(item.containsMouse(), false);
    QCOMPARE(mouseXY(), QPoint(0, 0));
    QCOMPARE(item.cursor().shape(), Qt::ArrowCursor);

    // At 4× with pan (0.25, 0.2) the view starts at pixel (25, 10) and each
    // pixel is 4 screen pixels wide: item (13, 9) → (25 + 3, 10 + 2).
    view.frame.setZoomScale(4.0);
    view.frame.setPanX(0.25);
    view.frame.setPanY(0.2);
    QTest::mouseMove(&view.window, view.at(13, 9));
    QCOMPARE(item.containsMouse(), true);
    QCOMPARE(mouseXY(), QPoint(28, 12));
    // Another screen pixel of the same image pixel does not signal.
    const int changes = xySpy.count();
    QTest::mouseMove(&view.window, view.at(14, 10));
    QCOMPARE(xySpy.count(), changes);
    QTest::mouseMove(&view.window, view.at(199, 99));
    QCOMPARE(mouseXY(), QPoint(74, 34));

    // Leaving the item resets.
    QTest::mouseMove(&view.window, QPoint(10, 10));
    QCOMPARE(item.containsMouse(), false);
    QCOMPARE(mouseXY(), QPoint(0, 0));
    QCOMPARE(xySpy.count(), changes + 2);
    QCOMPARE(item.cursor().shape(), Qt::ArrowCursor);
}

void TestImgFrameControl::dragPans()
{
    View view(halvesImage(100, 50));
    QVERIFY(view.show());
    view.frame.setZoomScale(4.0);
    view.frame.setPanX(0.25);
    view.frame.setPanY(0.2);

    QTest::mousePress(&view.window, Qt::LeftButton, {}, view.at(100, 50));
    // Dragging 20 screen pixels left hides 20 / (100 × 4) more of the width;
    // 5 up hides 5 / (50 × 4) more of the height.
    QTest::mouseMove(&view.window, view.at(80, 45));
    QCOMPARE(view.frame.panX(), 0.3);
    QCOMPARE(view.frame.panY(), 0.225);
    QCOMPARE(view.item->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseMove(&view.window, view.at(60, 45));
    QCOMPARE(view.frame.panX(), 0.35);
    // Dragging right and down, beyond the item, reveals the left and top
    // parts again, down to the limit.
    QTest::mouseMove(&view.window, view.at(300, 150));
    QCOMPARE(view.frame.panX(), 0.0);
    QCOMPARE(view.frame.panY(), 0.0);
    // Moving back counts from the last position, not from the limit.
    QTest::mouseMove(&view.window, view.at(150, 60));
    QCOMPARE(view.frame.panX(), 0.375);
    QCOMPARE(view.frame.panY(), 0.45);
    QTest::mouseRelease(&view.window, Qt::LeftButton, {}, view.at(150, 60));
    QCOMPARE(view.item->cursor().shape(), Qt::CrossCursor);

    // A move without a held button does not pan.
    QTest::mouseMove(&view.window, view.at(10, 10));
    QCOMPARE(view.frame.panX(), 0.375);
    QCOMPARE(view.frame.panY(), 0.45);
}

void TestImgFrameControl::pressOutsidePictureOnlyForRightButton()
{
    // 100 × 20 at 3×: 300 × 60 scaled, painted at (0, 20, 200, 60).
    View view(halvesImage(100, 20));
    QVERIFY(view.show());
    view.frame.setZoomScale(3.0);
    QCOMPARE(view.item->paintedRect(), QRectF(0, 20, 200, 60));
    QCOMPARE(view.frame.maxPanX(), 1 - 200.0 / 300.0);

    // A left press above the picture is not taken, so no drag follows.
    QTest::mousePress(&view.window, Qt::LeftButton, {}, view.at(150, 10));
    QTest::mouseMove(&view.window, view.at(50, 10));
    QTest::mouseRelease(&view.window, Qt::LeftButton, {}, view.at(50, 10));
    QCOMPARE(view.frame.panX(), 0.0);

    // The same drag on the picture pans by 100 / 300.
    QTest::mousePress(&view.window, Qt::LeftButton, {}, view.at(150, 50));
    QTest::mouseMove(&view.window, view.at(50, 50));
    QCOMPARE(view.frame.panX(), 1 / 3.0);
    // Released outside the picture: the default cursor.
    QTest::mouseRelease(&view.window, Qt::LeftButton, {}, view.at(50, 5));
    QCOMPARE(view.item->cursor().shape(), Qt::ArrowCursor);

    // The right button is taken on and beside the picture.
    QSignalSpy rightSpy(view.item, &ImgFrameControl::rightClicked);
    QTest::mouseClick(&view.window, Qt::RightButton, {}, view.at(100, 50));
    QTest::mouseClick(&view.window, Qt::RightButton, {}, view.at(100, 5));
    QCOMPARE(rightSpy.count(), 2);
    QTest::mouseClick(&view.window, Qt::LeftButton, {}, view.at(100, 50));
    QTest::mouseClick(&view.window, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(rightSpy.count(), 2);
}

void TestImgFrameControl::ctrlWheelKeepsPixelUnderCursor_data()
{
    QTest::addColumn<QPointF>("cursor");
    QTest::newRow("right of centre") << QPointF(130, 70);
    QTest::newRow("top left") << QPointF(3, 2);
    QTest::newRow("bottom right") << QPointF(197, 98);
}

void TestImgFrameControl::ctrlWheelKeepsPixelUnderCursor()
{
    QFETCH(QPointF, cursor);
    // At 2× the 100 × 50 picture fills the 200 × 100 item exactly.
    View view(halvesImage(100, 50));
    QVERIFY(view.show());
    view.frame.setZoomScale(2.0);
    const QPoint windowPos = view.at(cursor.x(), cursor.y());
    const QPointF itemPos = windowPos - ItemPos;
    const QPoint pixel(int(std::floor(itemPos.x() / 2)), int(std::floor(itemPos.y() / 2)));

    // The pixel under the cursor from the zoom and pan alone.
    auto pixelUnderCursor = [&] {
        const double zoom = view.frame.zoomScale();
        const double hiddenX = std::ceil(100 * std::min(view.frame.panX(), view.frame.maxPanX()) - 1e-9);
        const double hiddenY = std::ceil(50 * std::min(view.frame.panY(), view.frame.maxPanY()) - 1e-9);
        return QPoint(int(std::floor(hiddenX + itemPos.x() / zoom)),
                      int(std::floor(hiddenY + itemPos.y() / zoom)));
    };

    double expectedScale = 2.0;
    for (int step = 0; step < 30; ++step) {
        view.wheel(windowPos, 120, Qt::ControlModifier);
        expectedScale = std::min(8.0, expectedScale + 0.25);
        QCOMPARE(view.frame.zoomScale(), expectedScale);
        QCOMPARE(pixelUnderCursor(), pixel);
    }
    QTest::mouseMove(&view.window, windowPos);
    QCOMPARE(QPoint(view.item->mouseX(), view.item->mouseY()), pixel);
    for (int step = 0; step < 24; ++step) {
        view.wheel(windowPos, -120, Qt::ControlModifier);
        expectedScale -= 0.25;
        QCOMPARE(view.frame.zoomScale(), expectedScale);
        QCOMPARE(pixelUnderCursor(), pixel);
    }
    QCOMPARE(view.frame.zoomScale(), 2.0);
    QCOMPARE(view.frame.panX(), 0.0);
    QCOMPARE(view.frame.panY(), 0.0);
}

void TestImgFrameControl::wheelPans()
{
    View view(halvesImage(100, 50));
    QVERIFY(view.show());
    view.frame.setZoomScale(4.0);
    view.frame.setPanX(0.25);
    view.frame.setPanY(0.2);
    const QPoint windowPos = view.at(100, 50);

    view.wheel(windowPos, 120, Qt::NoModifier);
    QCOMPARE(view.frame.panY(), 0.1);
    view.wheel(windowPos, -120, Qt::NoModifier);
    view.wheel(windowPos, -120, Qt::NoModifier);
    QCOMPARE(view.frame.panY(), 0.3);
    view.wheel(windowPos, 0, Qt::NoModifier, QPoint(0, 0));
    QCOMPARE(view.frame.panY(), 0.3);
    for (int i = 0; i < 4; ++i)
        view.wheel(windowPos, 120, Qt::NoModifier);
    QCOMPARE(view.frame.panY(), 0.0);
    QCOMPARE(view.frame.panX(), 0.25);

    view.wheel(windowPos, 120, Qt::ShiftModifier);
    QCOMPARE(view.frame.panX(), 0.15);
    view.wheel(windowPos, -120, Qt::ShiftModifier);
    view.wheel(windowPos, -120, Qt::ShiftModifier);
    QCOMPARE(view.frame.panX(), 0.35);
    // A platform that turns Shift + wheel into a horizontal wheel.
    view.wheel(windowPos, 0, Qt::ShiftModifier, QPoint(120, 0));
    QCOMPARE(view.frame.panX(), 0.25);
    for (int i = 0; i < 4; ++i)
        view.wheel(windowPos, -120, Qt::ShiftModifier);
    QCOMPARE(view.frame.panX(), 0.5);
    QCOMPARE(view.frame.panY(), 0.0);
}

void TestImgFrameControl::keysZoomKeepingCentre()
{
    View view(halvesImage(100, 50));
    QVERIFY(view.show());
    view.window.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&view.window));
    view.item->forceActiveFocus();
    QVERIFY(view.item->hasActiveFocus());
    view.frame.setZoomScale(4.0);
    view.frame.setPanX(0.25);
    view.frame.setPanY(0.2);
    // Half of each dimension shows: the view centre is at (0.5, 0.45).
    const double centreX = 0.5;
    const double centreY = 0.45;
    auto checkCentre = [&](double scale) {
        QCOMPARE(view.frame.zoomScale(), scale);
        const double visibleX = 200 / (100 * scale);
        const double visibleY = 100 / (50 * scale);
        QCOMPARE(view.frame.panX(), centreX - visibleX / 2);
        QCOMPARE(view.frame.panY(), centreY - visibleY / 2);
    };

    QTest::keyClick(&view.window, Qt::Key_Plus, Qt::ControlModifier);
    checkCentre(4.25);
    QTest::keyClick(&view.window, Qt::Key_Equal, Qt::ControlModifier);
    checkCentre(4.5);
    QTest::keyClick(&view.window, Qt::Key_Minus, Qt::ControlModifier);
    checkCentre(4.25);
    QTest::keyClick(&view.window, Qt::Key_Underscore, Qt::ControlModifier | Qt::ShiftModifier);
    checkCentre(4.0);

    // Without Ctrl, and other keys, nothing happens.
    QTest::keyClick(&view.window, Qt::Key_Plus);
    QTest::keyClick(&view.window, Qt::Key_A, Qt::ControlModifier);
    checkCentre(4.0);

    // Zooming out to where the whole picture shows centres it.
    view.frame.setZoomScale(1.0);
    QTest::keyClick(&view.window, Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(view.frame.zoomScale(), 0.75);
    QCOMPARE(view.frame.panX(), 0.0);
    QCOMPARE(view.frame.panY(), 0.0);
}

QTEST_MAIN(TestImgFrameControl)
#include "tst_imgframecontrol.moc"
