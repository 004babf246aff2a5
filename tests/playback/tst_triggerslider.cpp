#include "TriggerSliderHandleObject.h"
#include "TriggerSliderTemplate.h"
#include "VornStartup.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// Where the slider sits in the window, so that the pointer can leave it.
const QPoint SliderPos(50, 40);

// The slider as the camera pane will declare it: a track inset 10 pixels
// from the item's edges, the handle a bar centred at track.x + position ×
// (track width − 1), the trigger marker a small tick below it.
const char* const SliderQml = R"(
import QtQuick
import Vorn
TriggerSliderTemplate {
    id: slider
    width: 200
    height: 30
    Item {
        id: track
        x: 10
        width: slider.width - 20
        height: slider.height
    }
    trigHandle.handle: Rectangle {
        width: 9; height: 20
        x: Math.round(track.x + slider.trigHandle.position * (track.width - 1)) - 4
    }
    trigMarker.handle: Rectangle {
        width: 3; height: 10; y: 20
        x: Math.round(track.x + slider.trigMarker.position * (track.width - 1)) - 1
    }
}
)";

constexpr int HandleRow = 10;
constexpr int MarkerRow = 25;

struct View
{
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<TriggerSliderTemplate> slider;

    View()
    {
        window.resize(400, 160);
        QQmlComponent component(&engine);
        component.setData(SliderQml, QUrl());
        slider.reset(qobject_cast<TriggerSliderTemplate*>(component.create()));
        if (!slider) {
            qWarning() << component.errors();
            return;
        }
        slider->setParentItem(window.contentItem());
        slider->setPosition(SliderPos);
    }

    bool show()
    {
        if (!slider)
            return false;
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    TriggerSliderHandleObject* trigHandle() const { return slider->trigHandle(); }
    TriggerSliderHandleObject* trigMarker() const { return slider->trigMarker(); }

    // Window coordinates of a point of the slider.
    static QPoint at(int x, int y) { return SliderPos + QPoint(x, y); }

    void press(QPoint windowPos) { QTest::mousePress(&window, Qt::LeftButton, {}, windowPos); }
    void move(QPoint windowPos) { QTest::mouseMove(&window, windowPos); }
    void release(QPoint windowPos) { QTest::mouseRelease(&window, Qt::LeftButton, {}, windowPos); }

    Qt::CursorShape cursor() const { return slider->cursor().shape(); }
};

} // namespace

class TestTriggerSlider : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VornStartup::registerQmlTypes(); }

    // Both handles start at the track's start, idle, with their QML items
    // placed on the slider.
    void initialState()
    {
        View view;
        QVERIFY(view.show());
        QCOMPARE(view.trigHandle()->type(), 0);
        QCOMPARE(view.trigMarker()->type(), 1);
        for (auto* handle : {view.trigHandle(), view.trigMarker()}) {
            QCOMPARE(handle->position(), 0.0);
            QVERIFY(!handle->pressed());
            QVERIFY(!handle->hovered());
            QCOMPARE(handle->parent(), view.slider.get());
            QVERIFY(handle->handle());
            QCOMPARE(handle->handle()->parentItem(), view.slider.get());
        }
        QCOMPARE(view.trigHandle()->handle()->x(), 6.0);

        // An item that already has a parent item keeps it.
        QQuickItem elsewhere;
        QQuickItem child(&elsewhere);
        QSignalSpy handleSpy(view.trigMarker(), &TriggerSliderHandleObject::handleChanged);
        view.trigMarker()->setHandle(&child);
        QCOMPARE(child.parentItem(), &elsewhere);
        QCOMPARE(handleSpy.count(), 1);
        view.trigMarker()->setHandle(&child);
        QCOMPARE(handleSpy.count(), 1);
        view.trigMarker()->setHandle(nullptr);
    }

    // Positions are kept within 0 … 1 and signal only real changes, for both
    // handles and from QML as well.
    void positionsClamped()
    {
        View view;
        for (auto* handle : {view.trigHandle(), view.trigMarker()}) {
            QSignalSpy spy(handle, &TriggerSliderHandleObject::positionChanged);
            const QList<std::tuple<double, double, int>> steps = {
                {-0.5, 0.0, 0}, {0.3, 0.3, 1}, {0.3 + 1e-14, 0.3, 1},
                {1.5, 1.0, 2},  {7.0, 1.0, 2}, {std::numeric_limits<double>::quiet_NaN(), 1.0, 2},
            };
            for (const auto& [wanted, expected, signalCount] : steps) {
                handle->setPosition(wanted);
                QCOMPARE(handle->position(), expected);
                QCOMPARE(spy.count(), signalCount);
            }
            QVERIFY(QQmlProperty::write(handle, "position", -2.0));
            QCOMPARE(handle->position(), 0.0);
            QCOMPARE(spy.count(), 3);
        }

        // The handle item follows the position along the inset track.
        view.trigHandle()->setPosition(1.0);
        QCOMPARE(view.trigHandle()->handle()->x(), 185.0);
    }

    // A press anywhere jumps the handle to the pointer; it then follows the
    // pointer, clamped to the item, until the release.
    void pressAnywhereAndDrag()
    {
        View view;
        QVERIFY(view.show());
        TriggerSliderHandleObject* handle = view.trigHandle();
        QSignalSpy moved(handle, &TriggerSliderHandleObject::moved);
        QSignalSpy pressed(handle, &TriggerSliderHandleObject::pressedChanged);

        view.press(View::at(150, MarkerRow));
        QVERIFY(handle->pressed());
        QCOMPARE(handle->position(), 0.75);
        QCOMPARE(moved.count(), 1);
        // round(10 + 0.75 × 179) − 4
        QCOMPARE(handle->handle()->x(), 140.0);

        const QList<std::pair<QPoint, double>> drag = {{View::at(50, HandleRow), 0.25},
                                                       {View::at(260, 90), 1.0},
                                                       {View::at(-40, HandleRow), 0.0},
                                                       {View::at(61, HandleRow), 0.305}};
        for (const auto& [pos, position] : drag) {
            view.move(pos);
            QCOMPARE(handle->position(), position);
        }
        QCOMPARE(moved.count(), 5);
        view.release(View::at(61, HandleRow));
        QVERIFY(!handle->pressed());
        QCOMPARE(pressed.count(), 2);

        // Moves after the release, or of a drag whose pressed state was
        // cleared from outside, leave the handle alone.
        view.move(View::at(120, HandleRow));
        QCOMPARE(handle->position(), 0.305);
        view.press(View::at(20, HandleRow));
        QCOMPARE(handle->position(), 0.1);
        handle->setPressed(false);
        view.move(View::at(180, HandleRow));
        QCOMPARE(handle->position(), 0.1);
        QCOMPARE(moved.count(), 6);
        view.release(View::at(180, HandleRow));

        // The marker is not dragged by the mouse.
        QCOMPARE(view.trigMarker()->position(), 0.0);
        QVERIFY(!view.trigMarker()->pressed());
    }

    // Only the left button works the slider.
    void otherButtonsIgnored()
    {
        View view;
        QVERIFY(view.show());
        QSignalSpy moved(view.trigHandle(), &TriggerSliderHandleObject::moved);
        QTest::mouseClick(&view.window, Qt::RightButton, {}, View::at(100, HandleRow));
        QTest::mouseClick(&view.window, Qt::MiddleButton, {}, View::at(100, HandleRow));
        QCOMPARE(view.trigHandle()->position(), 0.0);
        QVERIFY(!view.trigHandle()->pressed());
        QCOMPARE(moved.count(), 0);
    }

    // The handle is hovered exactly while the pointer is over its item, with
    // the resize cursor; the marker never is.
    void hover()
    {
        View view;
        QVERIFY(view.show());
        TriggerSliderHandleObject* handle = view.trigHandle();
        handle->setPosition(0.5);
        view.trigMarker()->setPosition(0.5);
        // round(10 + 0.5 × 179) − 4 = 96: the handle covers x 96 … 104.
        QCOMPARE(handle->handle()->x(), 96.0);

        // Enter, move and leave; the marker below the handle is never hovered.
        const QList<std::tuple<QPoint, bool, Qt::CursorShape>> moves = {
            {View::at(100, -20), false, Qt::ArrowCursor},
            {View::at(100, HandleRow), true, Qt::SizeHorCursor},
            {View::at(150, HandleRow), false, Qt::ArrowCursor},
            {View::at(104, HandleRow), true, Qt::SizeHorCursor},
            {View::at(100, MarkerRow), false, Qt::ArrowCursor},
            {View::at(100, HandleRow), true, Qt::SizeHorCursor},
            {View::at(100, 60), false, Qt::ArrowCursor},
            {View::at(20, -20), false, Qt::ArrowCursor},
            {View::at(20, HandleRow), false, Qt::ArrowCursor},
        };
        for (const auto& [pos, hovered, cursor] : moves) {
            view.move(pos);
            QCOMPARE(handle->hovered(), hovered);
            QCOMPARE(view.cursor(), cursor);
            QVERIFY(!view.trigMarker()->hovered());
        }
    }
};

QTEST_MAIN(TestTriggerSlider)
#include "tst_triggerslider.moc"
