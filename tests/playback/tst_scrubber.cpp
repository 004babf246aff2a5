#include "PlaybackScrubberHandleObject.h"
#include "PlaybackScrubberTemplate.h"

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
    }

    bool show()
    {
        if (!scrubber)
            return false;
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    PlaybackScrubberHandleObject* playHead() const { return scrubber->playHead(); }
    PlaybackScrubberHandleObject* aMarker() const { return scrubber->aMarker(); }
    PlaybackScrubberHandleObject* bMarker() const { return scrubber->bMarker(); }
    PlaybackScrubberHandleObject* trigMarker() const { return scrubber->trigMarker(); }

    // Window coordinates of a point of the scrubber.
    static QPoint at(int x, int y) { return ScrubberPos + QPoint(x, y); }

    // Window point on the middle of a handle's item.
    QPoint on(const PlaybackScrubberHandleObject* handle) const
    {
        const QQuickItem* item = handle->handle();
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

    void press(QPoint windowPos) { QTest::mousePress(&window, Qt::LeftButton, {}, windowPos); }
    void move(QPoint windowPos) { QTest::mouseMove(&window, windowPos); }
    void release(QPoint windowPos) { QTest::mouseRelease(&window, Qt::LeftButton, {}, windowPos); }

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

    int total() const { return fr.count() + position.count() + moved.count(); }
};

} // namespace

class TestScrubber : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qmlRegisterType<PlaybackScrubberTemplate>("Vorn", 1, 0, "PlaybackScrubberTemplate");
        qmlRegisterUncreatableType<PlaybackScrubberHandleObject>("Vorn", 1, 0, "PlaybackScrubberHandleObject",
                                                                 "handles belong to their scrubber");
    }

    // A new scrubber has no range; its handles hold the extremes of qint64,
    // are laid out from them and cannot move, neither by property nor by mouse.
    void startsWithoutRange()
    {
        View view;
        QVERIFY(view.show());
        PlaybackScrubberTemplate* scrubber = view.scrubber.get();

        QVERIFY(!scrubber->rangeSet());
        QCOMPARE(scrubber->firstFr(), SmallestFr);
        QCOMPARE(scrubber->lastFr(), LargestFr);
        QCOMPARE(view.playHead()->type(), 0);
        QCOMPARE(view.aMarker()->type(), 1);
        QCOMPARE(view.bMarker()->type(), 2);
        QCOMPARE(view.trigMarker()->type(), 3);
        QCOMPARE(view.playHead()->fr(), SmallestFr);
        QCOMPARE(view.aMarker()->fr(), SmallestFr);
        QCOMPARE(view.bMarker()->fr(), LargestFr);
        QCOMPARE(view.trigMarker()->fr(), 0);
        QCOMPARE(view.aMarker()->position(), 0.0);
        QCOMPARE(view.bMarker()->position(), 1.0);
        QCOMPARE(view.playHead()->position(), 0.0);
        // Frame 0 lies in the middle of the whole qint64 range.
        QVERIFY(qAbs(view.trigMarker()->position() - 0.5) < 1e-9);

        // Handles declared as property values end up on the scrubber.
        for (auto* handle : {view.playHead(), view.aMarker(), view.bMarker()}) {
            QVERIFY(handle->handle());
            QCOMPARE(handle->handle()->parentItem(), scrubber);
            QCOMPARE(handle->parent(), scrubber);
        }
        QVERIFY(!view.trigMarker()->handle());

        HandleSpies playHead(view.playHead()), aMarker(view.aMarker()), bMarker(view.bMarker());
        view.playHead()->setFr(5);
        view.aMarker()->setFr(5);
        view.bMarker()->setFr(5);
        QVERIFY(QQmlProperty::write(view.aMarker(), "fr", 7));
        view.press(View::at(100, PlayHeadRow));
        view.move(View::at(150, PlayHeadRow));
        view.release(View::at(150, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), SmallestFr);
        QCOMPARE(view.aMarker()->fr(), SmallestFr);
        QCOMPARE(view.bMarker()->fr(), LargestFr);
        QCOMPARE(playHead.fr.count() + playHead.position.count(), 0);
        QCOMPARE(aMarker.total() + bMarker.total(), 0);
    }

    // A range whose first frame lies after its last, or the range already set,
    // changes nothing at all.
    void rangeRejected()
    {
        View view;
        PlaybackScrubberTemplate* scrubber = view.scrubber.get();
        QVERIFY(scrubber);
        QSignalSpy firstFrSpy(scrubber, &PlaybackScrubberTemplate::firstFrChanged);
        QSignalSpy lastFrSpy(scrubber, &PlaybackScrubberTemplate::lastFrChanged);
        HandleSpies aMarker(view.aMarker());

        scrubber->setFrRange(10, 5);
        QVERIFY(!scrubber->rangeSet());
        QCOMPARE(scrubber->firstFr(), SmallestFr);
        QCOMPARE(scrubber->lastFr(), LargestFr);
        QCOMPARE(firstFrSpy.count() + lastFrSpy.count() + aMarker.total(), 0);
        view.aMarker()->setFr(3);
        QCOMPARE(view.aMarker()->fr(), SmallestFr);

        scrubber->setFrRange(0, 100);
        view.aMarker()->setFr(20);
        firstFrSpy.clear();
        lastFrSpy.clear();
        aMarker.fr.clear();
        aMarker.position.clear();

        scrubber->setFrRange(10, 5);
        scrubber->setFrRange(0, 100);
        QCOMPARE(scrubber->firstFr(), 0);
        QCOMPARE(scrubber->lastFr(), 100);
        QCOMPARE(view.aMarker()->fr(), 20);
        QCOMPARE(firstFrSpy.count() + lastFrSpy.count() + aMarker.total(), 0);
    }

    // A new range puts the markers at its ends and the play head at its start,
    // regardless of the frames the handles had in the old range.
    void rangeResetsHandles()
    {
        View view;
        PlaybackScrubberTemplate* scrubber = view.scrubber.get();
        QVERIFY(scrubber);
        QSignalSpy firstFrSpy(scrubber, &PlaybackScrubberTemplate::firstFrChanged);
        QSignalSpy lastFrSpy(scrubber, &PlaybackScrubberTemplate::lastFrChanged);

        scrubber->setFrRange(0, 100);
        QVERIFY(scrubber->rangeSet());
        QCOMPARE(firstFrSpy.count(), 1);
        QCOMPARE(lastFrSpy.count(), 1);
        QCOMPARE(view.aMarker()->fr(), 0);
        QCOMPARE(view.bMarker()->fr(), 100);
        QCOMPARE(view.playHead()->fr(), 0);
        QCOMPARE(view.trigMarker()->fr(), 0);
        QCOMPARE(view.aMarker()->position(), 0.0);
        QCOMPARE(view.bMarker()->position(), 1.0);
        QCOMPARE(view.playHead()->position(), 0.0);
        QCOMPARE(view.trigMarker()->position(), 0.0);

        view.bMarker()->setFr(30);
        view.aMarker()->setFr(20);
        view.playHead()->setFr(25);
        HandleSpies aMarker(view.aMarker()), bMarker(view.bMarker()), playHead(view.playHead());

        // Clamped against the old markers, A would stay at 30 and B at 20.
        scrubber->setFrRange(200, 300);
        QCOMPARE(view.aMarker()->fr(), 200);
        QCOMPARE(view.bMarker()->fr(), 300);
        QCOMPARE(view.playHead()->fr(), 200);
        QCOMPARE(aMarker.fr.count(), 1);
        QCOMPARE(bMarker.fr.count(), 1);
        QCOMPARE(playHead.fr.count(), 1);
        QCOMPARE(view.aMarker()->position(), 0.0);
        QCOMPARE(view.bMarker()->position(), 1.0);
        QCOMPARE(view.playHead()->position(), 0.0);
        QCOMPARE(aMarker.moved.count() + bMarker.moved.count() + playHead.moved.count(), 0);
        // Recomputed at the end of the reset, but signalled once each.
        QCOMPARE(aMarker.position.count(), 1);
        QCOMPARE(bMarker.position.count(), 1);
        QCOMPARE(playHead.position.count(), 1);
        // Frame 0 before the range: the trigger marker stays at the track's start.
        QCOMPARE(view.trigMarker()->position(), 0.0);

        scrubber->setFrRange(-300, -200);
        QCOMPARE(view.trigMarker()->fr(), 0);
        QCOMPARE(view.trigMarker()->position(), 1.0);
        scrubber->setFrRange(-100, 100);
        QCOMPARE(view.trigMarker()->position(), 0.5);
    }

    // With a single frame every handle sits at the start of the track, also
    // after a click anywhere.
    void singleFrameRange()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(0, 100);
        view.playHead()->setFr(50);

        view.scrubber->setFrRange(7, 7);
        QCOMPARE(view.aMarker()->fr(), 7);
        QCOMPARE(view.bMarker()->fr(), 7);
        QCOMPARE(view.playHead()->fr(), 7);
        QCOMPARE(view.trigMarker()->fr(), 0);
        for (auto* handle : {view.playHead(), view.aMarker(), view.bMarker(), view.trigMarker()})
            QCOMPARE(handle->position(), 0.0);

        QSignalSpy moved(view.playHead(), &PlaybackScrubberHandleObject::moved);
        view.press(View::at(150, PlayHeadRow));
        view.release(View::at(150, PlayHeadRow));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(view.playHead()->fr(), 7);
        QCOMPARE(view.playHead()->position(), 0.0);
    }

    // Each handle keeps to its own limits; the trigger marker stays at 0.
    void framesClampedByType()
    {
        View view;
        view.scrubber->setFrRange(0, 100);
        PlaybackScrubberHandleObject* a = view.aMarker();
        PlaybackScrubberHandleObject* b = view.bMarker();
        PlaybackScrubberHandleObject* playHead = view.playHead();

        a->setFr(-5);
        QCOMPARE(a->fr(), 0);
        a->setFr(150);
        QCOMPARE(a->fr(), 100);
        a->setFr(20);
        b->setFr(200);
        QCOMPARE(b->fr(), 100);
        b->setFr(10);
        QCOMPARE(b->fr(), 20);
        b->setFr(80);
        QCOMPARE(b->fr(), 80);
        a->setFr(90);
        QCOMPARE(a->fr(), 80);
        a->setFr(20);

        playHead->setFr(10);
        QCOMPARE(playHead->fr(), 20);
        playHead->setFr(90);
        QCOMPARE(playHead->fr(), 80);
        playHead->setFr(50);
        QCOMPARE(playHead->fr(), 50);

        QSignalSpy trigFr(view.trigMarker(), &PlaybackScrubberHandleObject::frChanged);
        for (qint64 fr : {qint64(5), qint64(-7), LargestFr})
            view.trigMarker()->setFr(fr);
        QVERIFY(QQmlProperty::write(view.trigMarker(), "fr", 42));
        QCOMPARE(view.trigMarker()->fr(), 0);
        QCOMPARE(trigFr.count(), 0);

        // Written from QML as an int property.
        QVERIFY(QQmlProperty::write(playHead, "fr", 60));
        QCOMPARE(playHead->fr(), 60);
        QCOMPARE(QQmlProperty::read(playHead, "fr").toInt(), 60);
    }

    // Positions follow the frames and signal only real changes; frames keep
    // all their 64 bits.
    void positionsFollowFrames()
    {
        View view;
        view.scrubber->setFrRange(0, 200);
        PlaybackScrubberHandleObject* playHead = view.playHead();
        HandleSpies spies(playHead);

        playHead->setFr(50);
        QCOMPARE(playHead->position(), 0.25);
        QCOMPARE(spies.fr.count(), 1);
        QCOMPARE(spies.position.count(), 1);
        playHead->setFr(50);
        QCOMPARE(spies.fr.count(), 1);
        QCOMPARE(spies.position.count(), 1);
        QCOMPARE(spies.moved.count(), 0);

        view.aMarker()->setFr(40);
        QCOMPARE(view.aMarker()->position(), 0.2);
        view.bMarker()->setFr(150);
        QCOMPARE(view.bMarker()->position(), 0.75);

        constexpr qint64 Big = (qint64(1) << 53) + 1;
        view.scrubber->setFrRange(-Big, Big);
        QCOMPARE(view.aMarker()->fr(), -Big);
        QCOMPARE(view.bMarker()->fr(), Big);
        playHead->setFr(Big - 2);
        QCOMPARE(playHead->fr(), Big - 2);
        QVERIFY(qAbs(playHead->position() - 1.0) < 1e-9);
        QCOMPARE(view.trigMarker()->position(), 0.5);
    }

    // A click at the middle of the range -100 … 100 moves the play head to 0.
    void clickMovesPlayHead()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(-100, 100);
        HandleSpies playHead(view.playHead()), aMarker(view.aMarker()), bMarker(view.bMarker());
        QSignalSpy pressed(view.playHead(), &PlaybackScrubberHandleObject::pressedChanged);

        view.press(View::at(100, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 0);
        QCOMPARE(view.playHead()->position(), 0.5);
        QVERIFY(view.playHead()->pressed());
        QCOMPARE(playHead.moved.count(), 1);
        view.release(View::at(100, PlayHeadRow));
        QVERIFY(!view.playHead()->pressed());
        QCOMPARE(pressed.count(), 2);
        QCOMPARE(playHead.moved.count(), 1);
        QCOMPARE(aMarker.total() + bMarker.total(), 0);
        QVERIFY(!view.aMarker()->pressed());
        QVERIFY(!view.bMarker()->pressed());
        // The handle item follows the position.
        QCOMPARE(view.playHead()->handle()->x(), 98.0);

        // A frame from x rounds to the nearest frame, halves away from zero.
        view.scrubber->setFrRange(0, 10);
        view.press(View::at(10, PlayHeadRow));
        view.release(View::at(10, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 1);
        view.press(View::at(29, PlayHeadRow));
        view.release(View::at(29, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 1);
        view.press(View::at(31, PlayHeadRow));
        view.release(View::at(31, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 2);

        // Only the left button works the scrubber.
        playHead.moved.clear();
        QTest::mouseClick(&view.window, Qt::RightButton, {}, View::at(150, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 2);
        QCOMPARE(playHead.moved.count(), 0);
    }

    // Dragging the play head moves it with the pointer, kept between the
    // markers, also beyond the item's edges.
    void dragPlayHead()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(0, 200);
        view.aMarker()->setFr(20);
        view.bMarker()->setFr(180);
        QSignalSpy moved(view.playHead(), &PlaybackScrubberHandleObject::moved);

        view.press(View::at(100, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 100);
        view.move(View::at(120, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 120);
        view.move(View::at(260, 80));
        QCOMPARE(view.playHead()->fr(), 180);
        QCOMPARE(view.playHead()->position(), 0.9);
        view.move(View::at(-30, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 20);
        QCOMPARE(moved.count(), 4);
        QCOMPARE(view.aMarker()->fr(), 20);
        QCOMPARE(view.bMarker()->fr(), 180);
        view.release(View::at(-30, PlayHeadRow));
        QVERIFY(!view.playHead()->pressed());

        // Moves without a pressed handle change nothing, also while the
        // pointer is still held after the pressed state was cleared.
        view.move(View::at(90, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 20);
        QCOMPARE(moved.count(), 4);
        view.press(View::at(100, PlayHeadRow));
        view.playHead()->setPressed(false);
        view.move(View::at(120, PlayHeadRow));
        QCOMPARE(view.playHead()->fr(), 100);
        QCOMPARE(moved.count(), 5);
        view.release(View::at(120, PlayHeadRow));
    }

    // A marker grabbed by its handle follows the pointer up to the other
    // marker, and the play head follows it.
    void dragMarkers()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(0, 200);
        view.bMarker()->setFr(150);
        view.aMarker()->setFr(50);
        view.playHead()->setFr(100);
        HandleSpies playHead(view.playHead()), aMarker(view.aMarker()), bMarker(view.bMarker());

        view.press(view.on(view.aMarker()));
        QVERIFY(view.aMarker()->pressed());
        QVERIFY(!view.playHead()->pressed());
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);
        QCOMPARE(view.playHead()->fr(), 100);
        QCOMPARE(playHead.moved.count() + aMarker.moved.count(), 0);

        view.move(View::at(80, MarkerRow));
        QCOMPARE(view.aMarker()->fr(), 80);
        QCOMPARE(view.playHead()->fr(), 80);
        QCOMPARE(aMarker.moved.count(), 1);
        QCOMPARE(playHead.moved.count(), 1);

        view.move(View::at(190, MarkerRow));
        QCOMPARE(view.aMarker()->fr(), 150);
        QCOMPARE(view.aMarker()->position(), view.bMarker()->position());
        QCOMPARE(view.playHead()->fr(), 150);
        QCOMPARE(view.bMarker()->fr(), 150);
        QCOMPARE(bMarker.total(), 0);
        view.release(View::at(190, MarkerRow));
        QVERIFY(!view.aMarker()->pressed());

        // The markers now overlap at frame 150: B's handle right of it.
        view.press(view.on(view.bMarker()));
        QVERIFY(view.bMarker()->pressed());
        QVERIFY(!view.aMarker()->pressed());
        view.move(View::at(170, MarkerRow));
        QCOMPARE(view.bMarker()->fr(), 170);
        QCOMPARE(view.playHead()->fr(), 170);
        view.move(View::at(10, MarkerRow));
        QCOMPARE(view.bMarker()->fr(), 150);
        QCOMPARE(view.playHead()->fr(), 150);
        QCOMPARE(view.aMarker()->fr(), 150);
        QCOMPARE(bMarker.moved.count(), 2);
        view.release(View::at(10, MarkerRow));
        QVERIFY(!view.bMarker()->pressed());

        // Where both marker handles lie under the pointer, the A marker wins.
        view.aMarker()->setFr(0);
        view.bMarker()->setFr(100);
        view.aMarker()->setFr(104);
        QCOMPARE(view.aMarker()->fr(), 100);
        view.aMarker()->handle()->setX(100);
        view.press(View::at(102, MarkerRow));
        QVERIFY(view.aMarker()->pressed());
        QVERIFY(!view.bMarker()->pressed());
        view.release(View::at(102, MarkerRow));
    }

    // The trigger marker is never pressed or hovered, nor moved by the mouse.
    void triggerMarkerUntouched()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(-100, 100);
        view.trigMarker()->setHandle(new QQuickItem(view.scrubber.get()));
        view.trigMarker()->handle()->setSize(QSizeF(6, 40));
        view.trigMarker()->handle()->setX(97);
        QSignalSpy frSpy(view.trigMarker(), &PlaybackScrubberHandleObject::frChanged);

        view.move(View::at(100, PlayHeadRow));
        QVERIFY(!view.trigMarker()->hovered());
        view.press(View::at(100, PlayHeadRow));
        QVERIFY(!view.trigMarker()->pressed());
        view.move(View::at(150, PlayHeadRow));
        view.release(View::at(150, PlayHeadRow));
        QCOMPARE(view.trigMarker()->fr(), 0);
        QCOMPARE(frSpy.count(), 0);
        QCOMPARE(view.playHead()->fr(), 50);
    }

    // Markers win over the play head; the play head is hovered only inside
    // its handle; leaving clears everything.
    void hoverRules()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(0, 200);
        view.bMarker()->setFr(150);
        view.aMarker()->setFr(50);
        view.playHead()->setFr(100);
        auto hovered = [&] {
            return QList<bool>{view.playHead()->hovered(), view.aMarker()->hovered(),
                               view.bMarker()->hovered()};
        };
        using Hover = QList<bool>;

        view.move(QPoint(5, 5));
        view.move(View::at(20, PlayHeadRow));
        QCOMPARE(hovered(), Hover({false, false, false}));
        QCOMPARE(view.cursor(), Qt::ArrowCursor);

        view.move(View::at(46, MarkerRow));
        QCOMPARE(hovered(), Hover({false, true, false}));
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);

        view.move(View::at(154, MarkerRow));
        QCOMPARE(hovered(), Hover({false, false, true}));
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);

        view.move(View::at(101, PlayHeadRow));
        QCOMPARE(hovered(), Hover({true, false, false}));
        QCOMPARE(view.cursor(), Qt::ArrowCursor);

        view.move(View::at(110, PlayHeadRow));
        QCOMPARE(hovered(), Hover({false, false, false}));

        // A marker at the play head's frame wins where their handles overlap.
        view.aMarker()->setFr(100);
        view.move(View::at(99, MarkerRow));
        QCOMPARE(hovered(), Hover({false, true, false}));
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);
        view.move(View::at(99, PlayHeadRow));
        QCOMPARE(hovered(), Hover({true, false, false}));
        QCOMPARE(view.cursor(), Qt::ArrowCursor);

        view.move(View::at(154, MarkerRow));
        QCOMPARE(hovered(), Hover({false, false, true}));
        view.move(View::at(154, 60));
        QCOMPARE(hovered(), Hover({false, false, false}));
        QCOMPARE(view.cursor(), Qt::ArrowCursor);

        view.move(View::at(101, PlayHeadRow));
        QCOMPARE(hovered(), Hover({true, false, false}));
        view.move(View::at(101, -20));
        QCOMPARE(hovered(), Hover({false, false, false}));
    }

    // The pointer entering the item straight onto a handle hovers it.
    void hoverEnter()
    {
        View view;
        QVERIFY(view.show());
        view.scrubber->setFrRange(0, 200);
        view.bMarker()->setFr(150);
        view.aMarker()->setFr(50);
        view.playHead()->setFr(100);

        view.move(View::at(46, 60));
        view.move(View::at(46, MarkerRow));
        QVERIFY(view.aMarker()->hovered());
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);
        view.move(View::at(46, 60));
        QVERIFY(!view.aMarker()->hovered());
        QCOMPARE(view.cursor(), Qt::ArrowCursor);

        view.move(View::at(154, 60));
        view.move(View::at(154, MarkerRow));
        QVERIFY(view.bMarker()->hovered());
        QCOMPARE(view.cursor(), Qt::SizeHorCursor);
        view.move(View::at(154, 60));

        view.move(View::at(100, -10));
        view.move(View::at(100, PlayHeadRow));
        QVERIFY(view.playHead()->hovered());
        QVERIFY(!view.aMarker()->hovered());
        QVERIFY(!view.bMarker()->hovered());
        QCOMPARE(view.cursor(), Qt::ArrowCursor);
    }
};

QTEST_MAIN(TestScrubber)
#include "tst_scrubber.moc"
