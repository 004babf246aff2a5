#include "PlaybackVornObject.h"
#include "VornTestMain.h"

#include <QSignalSpy>

namespace {

// Time that moves only when the test says so.
class ManualClock : public PlaybackClock
{
public:
    explicit ManualClock(qint64* now) : m_now(now) {}
    void restart() override { m_start = *m_now; }
    qint64 nsecsElapsed() const override { return *m_now - m_start; }

private:
    qint64* m_now;
    qint64 m_start = 0;
};

// A recording of frames -100 .. lastFr whose frames are never fetched: the
// engine's positions are what is tested here.
class Recording : public PlaybackVornObject
{
public:
    explicit Recording(qint64 lastFr = 200)
        : PlaybackVornObject(TakeType, nullptr, QStringLiteral("-Test"),
                             [this](const QStringList& key, int type, const QStringList& altKey) {
                                 return new VornValue(key, type, this, nullptr, altKey);
                             })
    {
        setImageModel(new ImgAdjModel(this));
        loadValues(QJsonObject{{"first_fr", -100}, {"last_fr", lastFr}});
        setAFr(firstFrame(), true);
        setBFr(lastFrame(), true);
        setFr(firstFrame(), true);
    }
    int getFrame(RawFrame*, qint64) override
    {
        ++fetches;
        return -1;
    }
    int fetches = 0;
};

using S = PlaybackVornObject::State;
constexpr auto Loop = PlaybackVornObject::RepeatLoop;
constexpr auto PingPong = PlaybackVornObject::RepeatPingPong;

// Where a playing object stands `ns` after a command, and one period later:
// crossing an end of the range at ordinary rates (100 fps: 10 ms periods),
// and passes far beyond it at the top rate (100 ns periods), where one tick
// covers millions of frames and the step can overflow.
struct EndCase
{
    const char* name;
    PlaybackVornObject::RepeatMode mode;
    const char* command;
    int step;
    double rate;
    qint64 a, b, from, ns, to;
    S state;
    qint64 next;
};
const EndCase kEnds[] = {
    {"loop past B", Loop, "play", 1, 100, 0, 10, 10, 10000000, 0, S::Play, 1},
    {"loop within a period", Loop, "play", 1, 100, 0, 10, 8, 19999999, 9, S::Play, 10},
    {"loop below A", Loop, "playRev", 1, 100, 0, 10, 0, 10000000, 10, S::PlayRev, 9},
    {"loop fast past B", Loop, "playFastFwd", 1, 100, 0, 10, 10, 10000000, 0, S::PlayFastFwd, 10},
    {"ping-pong fast past B", PingPong, "playFastFwd", 1, 100, -100, 100, 90, 20000000, 100, S::PlayFastRev,
     90},
    {"ping-pong below A", PingPong, "playRev", 1, 100, -100, 100, -100, 10000000, -100, S::Play, -99},
    // 301 frames: from 50, 301e6 + 20 frames on is 70, as many back is 30.
    {"loop far past B", Loop, "play", 1, 1e7, -100, 200, 50, 30100002000, 70, S::Play, 71},
    {"loop far below A", Loop, "playRev", 1, 1e7, -100, 200, 50, 30100002000, 30, S::PlayRev, 29},
    // A round trip is 602 steps: B is reached after 150 and held for one more
    // as playback turns; A is held likewise 301 steps later.
    {"ping-pong far, turned", PingPong, "play", 1, 1e7, -100, 200, 50, 60200016000, 191, S::PlayRev, 190},
    {"ping-pong far, turned back", PingPong, "play", 1, 1e7, -100, 200, 50, 60200045600, -96, S::Play, -95},
    // 9e16 steps of 1e8 frames overflow qint64; ten steps make a pass.
    {"loop top step", Loop, "playFastFwd", 10000000, 1e7, -100, 999999899, -100, 9000000000000000300,
     299999900, S::PlayFastFwd, 399999900},
    {"ping-pong top step", PingPong, "playFastFwd", 10000000, 1e7, -100, 999999899, -100, 9000000000000001300,
     699999899, S::PlayFastRev, 599999899},
};

} // namespace

class TestPlaybackEngine : public QObject
{
    Q_OBJECT

private:
    qint64 m_now = 0;

    void prepare(Recording& rec)
    {
        m_now = 0;
        rec.setClock(std::make_unique<ManualClock>(&m_now));
        rec.setSelected(true);
    }
    // Advances the clock and runs one tick.
    void tick(Recording& rec, qint64 ns)
    {
        m_now += ns;
        QMetaObject::invokeMethod(&rec, "incrementFrame", Qt::DirectConnection);
    }

private slots:
    void settersClamp()
    {
        Recording rec;
        rec.pause();
        QCOMPARE(rec.state(), PlaybackVornObject::Paused);
        rec.setAFr(-150, false);
        QCOMPARE(rec.aFr(), -100); // below the first frame
        rec.setAFr(10, false);
        rec.setBFr(5, false);
        QCOMPARE(rec.bFr(), 10); // below A
        rec.setBFr(500, false);
        QCOMPARE(rec.bFr(), 200);
        rec.setAFr(300, false);
        QCOMPARE(rec.aFr(), 200); // above B
        rec.setAFr(-20, false);
        rec.setBFr(50, false);

        QSignalSpy frChanged(&rec, &PlaybackVornObject::frChanged);
        rec.setFr(-30, false);
        QCOMPARE(rec.fr(), -20);
        rec.setFr(70, false);
        QCOMPARE(rec.fr(), 50);
        rec.setFr(20, false);
        QCOMPARE(rec.fr(), 20);
        QCOMPARE(frChanged.count(), 3);
        rec.setFr(20, false);
        QCOMPARE(frChanged.count(), 3);
        rec.setFr(20, true); // forced: emitted, the frame is fetched again
        QCOMPARE(frChanged.count(), 4);

        rec.setPlayStep(0);
        QCOMPARE(rec.playStep(), 1);
        rec.setPlayStep(20000000);
        QCOMPARE(rec.playStep(), 10000000);

        QVERIFY(qAbs(rec.playFrRate() - 30.0000003) < 1e-6);
        rec.setPlayFrRate(29.97);
        QCOMPARE(rec.framePeriodNs(), 33366666);
        QVERIFY(qAbs(rec.playFrRate() - 1e9 / 33366666.0) < 1e-9);
        rec.setPlayFrRate(59.94);
        QCOMPARE(rec.framePeriodNs(), 16683333);
        rec.setPlayFrRate(23.976);
        QCOMPARE(rec.framePeriodNs(), 41708333);
        rec.setPlayFrRate(0);
        QCOMPARE(rec.framePeriodNs(), 10000000000);
        rec.setPlayFrRate(1e9);
        QCOMPARE(rec.framePeriodNs(), 100);
    }

    void steppingWraps()
    {
        Recording rec;
        rec.pause();
        rec.setAFr(0, false);
        rec.setBFr(3, false);
        rec.setFr(3, false);
        QSignalSpy frChanged(&rec, &PlaybackVornObject::frChanged);
        rec.stepFrFwd();
        QCOMPARE(rec.fr(), 0);
        rec.stepFrFwd();
        QCOMPARE(rec.fr(), 1);
        rec.stepFrRev();
        rec.stepFrRev();
        QCOMPARE(rec.fr(), 3);
        QCOMPARE(frChanged.count(), 4);
        QCOMPARE(rec.state(), PlaybackVornObject::Paused);
    }

    void endsOfTheRange_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kEnds)); ++i)
            QTest::newRow(kEnds[i].name) << i;
    }

    void endsOfTheRange()
    {
        QFETCH(int, row);
        const EndCase& c = kEnds[row];
        Recording rec(999999899);
        prepare(rec);
        rec.setRepeatMode(c.mode);
        rec.setPlayStep(c.step);
        rec.setPlayFrRate(c.rate);
        rec.setAFr(c.a, false);
        rec.setBFr(c.b, false);
        rec.setFr(c.from, false);
        QVERIFY(QMetaObject::invokeMethod(&rec, c.command));
        tick(rec, c.ns);
        QCOMPARE(rec.fr(), c.to);
        QCOMPARE(rec.state(), c.state);
        tick(rec, rec.framePeriodNs());
        QCOMPARE(rec.fr(), c.next);
    }

    void stepAndRateChangesRebase()
    {
        Recording rec;
        prepare(rec);
        rec.setFr(-99, false);
        rec.play();
        rec.setPlayStep(5);
        QCOMPARE(rec.fr(), -99);
        tick(rec, rec.framePeriodNs());
        QCOMPARE(rec.fr(), -89); // re-based one step ahead, then one period
        rec.setPlayFrRate(100);
        tick(rec, 10000000);
        QCOMPARE(rec.fr(), -79);
    }

    void onlyTheSelectedObjectAdvances()
    {
        Recording rec;
        rec.setClock(std::make_unique<ManualClock>(&m_now));
        rec.setFr(0, false);
        rec.play();
        tick(rec, 10 * rec.framePeriodNs());
        QCOMPARE(rec.fr(), 0);
        // Time spent unselected does not count once selected.
        rec.setSelected(true);
        tick(rec, rec.framePeriodNs());
        QCOMPARE(rec.fr(), 1);
    }

    void pausedRetriesADroppedFetch()
    {
        Recording rec;
        prepare(rec);
        rec.pause();
        rec.setFr(5, false); // fetch fails at once (getFrame -1)
        QCOMPARE(rec.fetches, 1);
        QCOMPARE(rec.lastRequestedFr(), 5); // the request itself went out
        // Pretend a fetch was still on its way when the frame changed.
        rec.setSelected(false);
        rec.setFr(6, false); // dropped: not selected
        QCOMPARE(rec.fetches, 1);
        rec.setSelected(true);
        tick(rec, 1);
        QCOMPARE(rec.fetches, 2);
        QCOMPARE(rec.lastRequestedFr(), 6);
        tick(rec, 1);
        QCOMPARE(rec.fetches, 2); // nothing left to retry
    }
};

VORN_TEST_MAIN(TestPlaybackEngine)
#include "tst_playbackengine.moc"
