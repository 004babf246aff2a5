#include "PlaybackScrubberHandleObject.h"
#include "PlaybackScrubberTemplate.h"
#include "VornStartup.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

namespace {

constexpr qint64 SmallestFr = std::numeric_limits<qint64>::min();
constexpr qint64 LargestFr = std::numeric_limits<qint64>::max();

// Frames, positions and hover states of play head, A, B (and trigger) marker.
using Frames = QList<qint64>;
using Positions = QList<double>;
using Hovered = QList<bool>;

// Where the scrubber sits in the window, so that the pointer can leave it.
const QPoint ScrubberPos(50, 40);

// The scrubber as the playback pane will declare it: 200 pixels wide, the
// play head a thin bar over the whole height centred on its position, the A
// marker a bracket in the lower part just left of its position and the B
// marker one just right of its position.
const char* const ScrubberQml = R"(
import QtQuick
import Vorn
PlaybackScrubberTemplate {
    id: scrubber
    width: 200
    height: 40
    playHead.handle: Rectangle {
        width: 5; height: 40
        x: Math.round(scrubber.playHead.position * scrubber.width) - 2
    }
    aMarker.handle: Rectangle {
        width: 8; height: 15; y: 25
        x: Math.round(scrubber.aMarker.position * scrubber.width) - 8
    }
    bMarker.handle: Rectangle {
        width: 8; height: 15; y: 25
        x: Math.round(scrubber.bMarker.position * scrubber.width)
    }
}
)";

// Heights inside the scrubber: above the markers only the play head reaches.
constexpr int PlayHeadRow = 10;
constexpr int MarkerRow = 32;

struct View
{
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<PlaybackScrubberTemplate> scrubber;
    PlaybackScrubberHandleObject* playHead = nullptr;
    PlaybackScrubberHandleObject* a = nullptr;
    PlaybackScrubberHandleObject* b = nullptr;
    PlaybackScrubberHandleObject* trig = nullptr;

    View()
    {
        window.resize(400, 160);
        QQmlComponent component(&engine);
        component.setData(ScrubberQml, QUrl());
        scrubber.reset(qobject_cast<PlaybackScrubberTemplate*>(component.create()));
        if (!scrubber) {
            qWarning() << component.errors();
            return;
        }
        scrubber->setParentItem(window.contentItem());
        scrubber->setPosition(ScrubberPos);
        playHead = scrubber->playHead();
        a = scrubber->aMarker();
        b = scrubber->bMarker();
        trig = scrubber->trigMarker();
    }

    bool show()
    {
        if (!scrubber)
            return false;
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    // A range of one frame per pixel with the markers and play head inside.
    void setFrames(qint64 aFr, qint64 bFr, qint64 playFr)
    {
        scrubber->setFrRange(0, 200);
        b->setFr(bFr);
        a->setFr(aFr);
        playHead->setFr(playFr);
    }

    Frames frames() const { return {playHead->fr(), a->fr(), b->fr(), trig->fr()}; }
    Positions positions() const
    {
        return {playHead->position(), a->position(), b->position(), trig->position()};
    }
    Hovered hovered() const { return {playHead->hovered(), a->hovered(), b->hovered()}; }

    // Window coordinates of a point of the scrubber.
    static QPoint at(int x, int y) { return ScrubberPos + QPoint(x, y); }
    // Window point on the middle of a handle's item.
    static QPoint on(const PlaybackScrubberHandleObject* handle)
    {
        const QQuickItem* item = handle->handle();
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

    void press(QPoint pos) { QTest::mousePress(&window, Qt::LeftButton, {}, pos); }
    void move(QPoint pos) { QTest::mouseMove(&window, pos); }
    void release(QPoint pos) { QTest::mouseRelease(&window, Qt::LeftButton, {}, pos); }
    void click(QPoint pos) { QTest::mouseClick(&window, Qt::LeftButton, {}, pos); }

    Qt::CursorShape cursor() const { return scrubber->cursor().shape(); }
};

struct HandleSpies
{
    QSignalSpy fr;
    QSignalSpy position;
    QSignalSpy moved;

    explicit HandleSpies(PlaybackScrubberHandleObject* handle)
        : fr(handle, &PlaybackScrubberHandleObject::frChanged),
          position(handle, &PlaybackScrubberHandleObject::positionChanged),
          moved(handle, &PlaybackScrubberHandleObject::moved)
    {
    }
};

} // namespace

class TestScrubber : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { VornStartup::registerQmlTypes(); }

    // A new scrubber has no range; its handles hold the extremes of qint64,
    // are laid out from them and cannot move, neither by property nor by mouse.
    void startsWithoutRange()
    {
        View view;
        QVERIFY(view.show());
        QVERIFY(!view.scrubber->rangeSet());
        QCOMPARE(view.scrubber->firstFr(), SmallestFr);
        QCOMPARE(view.scrubber->lastFr(), LargestFr);
        QCOMPARE(QList<int>({view.playHead->type(), view.a->type(), view.b->type(), view.trig->type()}),
                 QList<int>({0, 1, 2, 3}));
        QCOMPARE(view.frames(), Frames({SmallestFr, SmallestFr, LargestFr, 0}));
        // Frame 0 lies in the middle of the whole qint64 range.
        QCOMPARE(view.positions(), Positions({0.0, 0.0, 1.0, 0.5}));

        // Handles declared as property values end up on the scrubber.
        for (auto* handle : {view.playHead, view.a, view.b}) {
            QVERIFY(handle->handle());
            QCOMPARE(handle->handle()->parentItem(), view.scrubber.get());
            QCOMPARE(handle->parent(), view.scrubber.get());
        }

        HandleSpies playHead(view.playHead), a(view.a);
        for (auto* handle : {view.playHead, view.a, view.b})
            handle->setFr(5);
        QVERIFY(QQmlProperty::write(view.a, "fr", 7));
        view.press(View::at(100, PlayHeadRow));
        view.move(View::at(150, PlayHeadRow));
        view.release(View::at(150, PlayHeadRow));
        QCOMPARE(view.frames(), Frames({SmallestFr, SmallestFr, LargestFr, 0}));
        QCOMPARE(playHead.fr.count() + playHead.position.count() + a.fr.count() + a.position.count(), 0);
    }

    // A new range puts the markers at its ends and the play head at its start,
    // regardless of the frames the handles had in the old range. A range whose
    // first frame lies after its last, or the range already set, changes
    // nothing at all.
    void rangeResetsHandles()
    {
        View view;
        QVERIFY(view.scrubber);
        QSignalSpy firstFrSpy(view.scrubber.get(), &PlaybackScrubberTemplate::firstFrChanged);
        QSignalSpy lastFrSpy(view.scrubber.get(), &PlaybackScrubberTemplate::lastFrChanged);
        view.scrubber->setFrRange(10, 5);
        QVERIFY(!view.scrubber->rangeSet());
        QCOMPARE(view.scrubber->firstFr(), SmallestFr);
        QCOMPARE(view.scrubber->lastFr(), LargestFr);
        QCOMPARE(firstFrSpy.count() + lastFrSpy.count(), 0);

        view.scrubber->setFrRange(0, 100);
        QVERIFY(view.scrubber->rangeSet());
        QCOMPARE(firstFrSpy.count(), 1);
        QCOMPARE(lastFrSpy.count(), 1);
        QCOMPARE(view.frames(), Frames({0, 0, 100, 0}));
        QCOMPARE(view.positions(), Positions({0.0, 0.0, 1.0, 0.0}));

        view.b->setFr(30);
        view.a->setFr(20);
        view.playHead->setFr(25);
        HandleSpies a(view.a), b(view.b), playHead(view.playHead);
        view.scrubber->setFrRange(10, 5);
        view.scrubber->setFrRange(0, 100);
        QCOMPARE(view.frames(), Frames({25, 20, 30, 0}));
        QCOMPARE(firstFrSpy.count() + lastFrSpy.count() + a.fr.count() + a.position.count(), 2);
        // Clamped against the old markers, A would stay at 30 and B at 20.
        view.scrubber->setFrRange(200, 300);
        QCOMPARE(view.frames(), Frames({200, 200, 300, 0}));
        // Frame 0 before the range: the trigger marker stays at the track's start.
        QCOMPARE(view.positions(), Positions({0.0, 0.0, 1.0, 0.0}));
        for (const HandleSpies* spies : {&a, &b, &playHead}) {
            // Recomputed at the end of the reset, but signalled once each.
            QCOMPARE(spies->fr.count(), 1);
            QCOMPARE(spies->position.count(), 1);
            QCOMPARE(spies->moved.count(), 0);
        }

        view.scrubber->setFrRange(-300, -200);
        QCOMPARE(view.trig->fr(), 0);
        QCOMPARE(view.trig->position(), 1.0);
        view.scrubber->setFrRange(-100, 100);
        QCOMPARE(view.trig->position(), 0.5);
    }

    // With a single frame every handle sits at the start of the track, also
    // after a click anywhere.
    void singleFrameRange()
    {
        View view;
        QVERIFY(view.show());
        view.setFrames(0, 200, 50);
        view.scrubber->setFrRange(7, 7);
        QCOMPARE(view.frames(), Frames({7, 7, 7, 0}));
        QCOMPARE(view.positions(), Positions({0.0, 0.0, 0.0, 0.0}));

        QSignalSpy moved(view.playHead, &PlaybackScrubberHandleObject::moved);
        view.click(View::at(150, PlayHeadRow));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(view.frames(), Frames({7, 7, 7, 0}));
        QCOMPARE(view.positions(), Positions({0.0, 0.0, 0.0, 0.0}));
    }

    // Each handle keeps to its own limits; the trigger marker stays at 0.
    void framesClampedByType()
    {
        View view;
        view.scrubber->setFrRange(0, 100);
        PlaybackScrubberHandleObject* a = view.a;
        PlaybackScrubberHandleObject* b = view.b;

        const QList<std::tuple<PlaybackScrubberHandleObject*, qint64, qint64>> steps = {
            {a, -5, 0},
            {a, 150, 100},
            {a, 20, 20},
            {b, 200, 100},
            {b, 10, 20},
            {b, 80, 80},
            {a, 90, 80},
            {a, 20, 20},
            {view.playHead, 10, 20},
            {view.playHead, 90, 80},
            {view.playHead, 50, 50},
            {view.trig, 5, 0},
            {view.trig, -7, 0},
            {view.trig, LargestFr, 0},
        };
        for (const auto& [handle, wanted, expected] : steps) {
            handle->setFr(wanted);
            QCOMPARE(handle->fr(), expected);
        }

        // Written from QML as an int property.
        QSignalSpy trigFr(view.trig, &PlaybackScrubberHandleObject::frChanged);
        QVERIFY(QQmlProperty::write(view.trig, "fr", 42));
        QVERIFY(QQmlProperty::write(view.playHead, "fr", 60));
        QCOMPARE(view.frames(), Frames({60, 20, 80, 0}));
        QCOMPARE(QQmlProperty::read(view.playHead, "fr").toInt(), 60);
        QCOMPARE(trigFr.count(), 0);
    }

    // Positions follow the frames and signal only real changes; frames keep
    // all their 64 bits.
    void positionsFollowFrames()
    {
        View view;
        view.setFrames(40, 150, 50);
        QCOMPARE(view.positions(), Positions({0.25, 0.2, 0.75, 0.0}));
        HandleSpies spies(view.playHead);
        view.playHead->setFr(50);
        view.playHead->setFr(60);
        QCOMPARE(view.playHead->position(), 0.3);
        QCOMPARE(spies.fr.count(), 1);
        QCOMPARE(spies.position.count(), 1);
        QCOMPARE(spies.moved.count(), 0);

        constexpr qint64 Big = (qint64(1) << 53) + 1;
        view.scrubber->setFrRange(-Big, Big);
        view.playHead->setFr(Big - 2);
        QCOMPARE(view.frames(), Frames({Big - 2, -Big, Big, 0}));
        QCOMPARE(view.trig->position(), 0.5);
    }

    // A click at the middle of the range -100 … 100 moves the play head to 0;
    // a frame from x rounds to the nearest frame, halves away from zero.
    void clickMovesPlayHead()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(-100, 100);
        HandleSpies playHead(view.playHead), a(view.a), b(view.b);
        QSignalSpy pressed(view.playHead, &PlaybackScrubberHandleObject::pressedChanged);

        view.press(View::at(100, PlayHeadRow));
        QCOMPARE(view.frames(), Frames({0, -100, 100, 0}));
        QCOMPARE(view.playHead->position(), 0.5);
        QVERIFY(view.playHead->pressed());
        QCOMPARE(playHead.moved.count(), 1);
        view.release(View::at(100, PlayHeadRow));
        QVERIFY(!view.playHead->pressed());
        QCOMPARE(pressed.count(), 2);
        QCOMPARE(playHead.moved.count(), 1);
        QCOMPARE(a.moved.count() + a.fr.count() + b.moved.count() + b.fr.count(), 0);
        QVERIFY(!view.a->pressed() && !view.b->pressed());
        // The handle item follows the position.
        QCOMPARE(view.playHead->handle()->x(), 98.0);

        view.scrubber->setFrRange(0, 10);
        for (const auto& [x, fr] : QList<std::pair<int, qint64>>{{10, 1}, {29, 1}, {31, 2}}) {
            view.click(View::at(x, PlayHeadRow));
            QCOMPARE(view.playHead->fr(), fr);
        }

        // Only the left button works the scrubber.
        playHead.moved.clear();
        QTest::mouseClick(&view.window, Qt::RightButton, {}, View::at(150, PlayHeadRow));
        QCOMPARE(view.playHead->fr(), 2);
        QCOMPARE(playHead.moved.count(), 0);
    }

    // Dragging the play head moves it with the pointer, kept between the
    // markers, also beyond the item's edges.
    void dragPlayHead()
    {
        View view;
        QVERIFY(view.show());
        view.setFrames(20, 180, 20);
        QSignalSpy moved(view.playHead, &PlaybackScrubberHandleObject::moved);

        const QList<std::pair<QPoint, qint64>> drag = {{View::at(100, PlayHeadRow), 100},
                                                       {View::at(120, PlayHeadRow), 120},
                                                       {View::at(260, 80), 180},
                                                       {View::at(-30, PlayHeadRow), 20}};
        view.press(drag[0].first);
        for (const auto& [pos, fr] : drag) {
            view.move(pos);
            QCOMPARE(view.frames(), Frames({fr, 20, 180, 0}));
        }
        QCOMPARE(moved.count(), 4);
        view.release(View::at(-30, PlayHeadRow));
        QVERIFY(!view.playHead->pressed());

        // Moves without a pressed handle change nothing, also while the
        // pointer is still held after the pressed state was cleared.
        view.move(View::at(90, PlayHeadRow));
        view.press(View::at(100, PlayHeadRow));
        view.playHead->setPressed(false);
        view.move(View::at(120, PlayHeadRow));
        QCOMPARE(view.playHead->fr(), 100);
        QCOMPARE(moved.count(), 5);
        view.release(View::at(120, PlayHeadRow));
    }

    // A marker grabbed by its handle follows the pointer up to the other
    // marker, and the play head follows it.
    void dragMarkers()
    {
        View view;
        QVERIFY(view.show());
        view.setFrames(50, 150, 100);
        HandleSpies playHead(view.playHead), a(view.a), b(view.b);

        view.press(View::on(view.a));
        QVERIFY(view.a->pressed());
        QVERIFY(!view.playHead->pressed());
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);
        QCOMPARE(view.playHead->fr(), 100);
        QCOMPARE(playHead.moved.count() + a.moved.count(), 0);

        view.move(View::at(80, MarkerRow));
        QCOMPARE(view.frames(), Frames({80, 80, 150, 0}));
        QCOMPARE(a.moved.count(), 1);
        QCOMPARE(playHead.moved.count(), 1);
        view.move(View::at(190, MarkerRow));
        QCOMPARE(view.frames(), Frames({150, 150, 150, 0}));
        QCOMPARE(view.a->position(), view.b->position());
        QCOMPARE(b.fr.count() + b.moved.count(), 0);
        view.release(View::at(190, MarkerRow));
        QVERIFY(!view.a->pressed());

        // The markers now overlap at frame 150: B's handle right of it.
        view.press(View::on(view.b));
        QVERIFY(view.b->pressed() && !view.a->pressed());
        view.move(View::at(170, MarkerRow));
        QCOMPARE(view.frames(), Frames({170, 150, 170, 0}));
        view.move(View::at(10, MarkerRow));
        QCOMPARE(view.frames(), Frames({150, 150, 150, 0}));
        QCOMPARE(b.moved.count(), 2);
        view.release(View::at(10, MarkerRow));
        QVERIFY(!view.b->pressed());

        // Where both marker handles lie under the pointer, the A marker wins.
        view.a->setFr(0);
        view.b->setFr(100);
        view.a->setFr(100);
        view.a->handle()->setX(100);
        view.press(View::at(102, MarkerRow));
        QVERIFY(view.a->pressed() && !view.b->pressed());
        view.release(View::at(102, MarkerRow));
    }

    // The trigger marker is never pressed or hovered, nor moved by the mouse.
    void triggerMarkerUntouched()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(-100, 100);
        view.trig->setHandle(new QQuickItem(view.scrubber.get()));
        view.trig->handle()->setSize(QSizeF(6, 40));
        view.trig->handle()->setX(97);
        QSignalSpy frSpy(view.trig, &PlaybackScrubberHandleObject::frChanged);

        view.move(View::at(100, PlayHeadRow));
        view.press(View::at(100, PlayHeadRow));
        QVERIFY(!view.trig->hovered() && !view.trig->pressed());
        view.move(View::at(150, PlayHeadRow));
        view.release(View::at(150, PlayHeadRow));
        QCOMPARE(view.frames(), Frames({50, -100, 100, 0}));
        QCOMPARE(frSpy.count(), 0);
    }

    // Markers win over the play head; the play head is hovered only inside
    // its handle; leaving clears everything; entering onto a handle hovers it.
    void hoverRules()
    {
        View view;
        QVERIFY(view.show());
        view.setFrames(50, 150, 100);

        const QList<std::tuple<QPoint, Hovered, Qt::CursorShape>> moves = {
            {QPoint(5, 5), {false, false, false}, Qt::ArrowCursor},
            {View::at(20, PlayHeadRow), {false, false, false}, Qt::ArrowCursor},
            {View::at(46, MarkerRow), {false, true, false}, Qt::SizeHorCursor},
            {View::at(154, MarkerRow), {false, false, true}, Qt::SizeHorCursor},
            {View::at(101, PlayHeadRow), {true, false, false}, Qt::ArrowCursor},
            {View::at(110, PlayHeadRow), {false, false, false}, Qt::ArrowCursor},
            {View::at(110, 60), {false, false, false}, Qt::ArrowCursor},
            {View::at(154, MarkerRow), {false, false, true}, Qt::SizeHorCursor},
            {View::at(154, 60), {false, false, false}, Qt::ArrowCursor},
            {View::at(46, MarkerRow), {false, true, false}, Qt::SizeHorCursor},
            {View::at(46, 60), {false, false, false}, Qt::ArrowCursor},
            {View::at(101, PlayHeadRow), {true, false, false}, Qt::ArrowCursor},
            {View::at(101, -20), {false, false, false}, Qt::ArrowCursor},
        };
        for (const auto& [pos, hovered, cursor] : moves) {
            view.move(pos);
            QCOMPARE(view.hovered(), hovered);
            QCOMPARE(view.cursor(), cursor);
        }

        // A marker at the play head's frame wins where their handles overlap.
        view.a->setFr(100);
        view.move(View::at(99, MarkerRow));
        QCOMPARE(view.hovered(), Hovered({false, true, false}));
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);
        view.move(View::at(99, PlayHeadRow));
        QCOMPARE(view.hovered(), Hovered({true, false, false}));
        QCOMPARE(view.cursor(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestScrubber)
#include "tst_scrubber.moc"
