#include "PlaybackVornObject.h"
#include "VornTestMain.h"

#include <QJsonDocument>
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

// A recording of frames -100 .. 200 whose frames are never fetched: the
// engine's positions are what is tested here.
class Recording : public PlaybackVornObject
{
public:
    Recording()
        : PlaybackVornObject(TakeType, nullptr, QStringLiteral("-Test"),
                             [this](const QStringList& key, int type, const QStringList& altKey) {
                                 return new VornValue(key, type, this, nullptr, altKey);
                             })
    {
        setImageModel(new ImgAdjModel(this));
        loadValues(QJsonDocument::fromJson(R"({"first_fr": -100, "last_fr": 200})").object());
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

} // namespace

class TestPlaybackEngine : public QObject
{
    Q_OBJECT

private:
    qint64 m_now = 0;

    void prepare(Recording& rec)
    {
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

    void loopAtBothEnds()
    {
        Recording rec;
        prepare(rec);
        rec.setAFr(0, false);
        rec.setBFr(10, false);
        rec.setFr(8, false);
        rec.play();
        const qint64 period = rec.framePeriodNs();
        tick(rec, period);
        QCOMPARE(rec.fr(), 9);
        tick(rec, period / 2); // half a frame: no move
        QCOMPARE(rec.fr(), 9);
        tick(rec, period / 2 + 1);
        QCOMPARE(rec.fr(), 10);
        tick(rec, period);
        QCOMPARE(rec.fr(), 0); // past B: continues at A
        tick(rec, 3 * period);
        QCOMPARE(rec.fr(), 3);

        rec.playRev();
        tick(rec, 3 * period);
        QCOMPARE(rec.fr(), 0);
        tick(rec, period);
        QCOMPARE(rec.fr(), 10); // below A: continues at B

        rec.playFastFwd();
        rec.setFr(0, false);
        tick(rec, period);
        QCOMPARE(rec.fr(), 10);
        tick(rec, period);
        QCOMPARE(rec.fr(), 0);
    }

    void pingPongTurnsAtBothEnds()
    {
        Recording rec;
        prepare(rec);
        rec.setRepeatMode(PlaybackVornObject::RepeatPingPong);
        rec.setAFr(-100, false);
        rec.setBFr(100, false);
        rec.setFr(80, false);
        rec.playFastFwd();
        const qint64 period = rec.framePeriodNs();
        QSignalSpy state(&rec, &PlaybackVornObject::stateChanged);
        tick(rec, period);
        QCOMPARE(rec.fr(), 90);
        tick(rec, 2 * period); // 110 is past B
        QCOMPARE(rec.fr(), 100);
        QCOMPARE(rec.state(), PlaybackVornObject::PlayFastRev);
        QCOMPARE(state.count(), 1);
        tick(rec, period);
        QCOMPARE(rec.fr(), 90); // plays back from B

        rec.playRev();
        rec.setFr(-99, false);
        tick(rec, period);
        QCOMPARE(rec.fr(), -100);
        tick(rec, period);
        QCOMPARE(rec.fr(), -100); // turned at A
        QCOMPARE(rec.state(), PlaybackVornObject::Play);
        tick(rec, period);
        QCOMPARE(rec.fr(), -99);

        // A larger step and a rate change re-base the position.
        rec.setPlayStep(5);
        QCOMPARE(rec.fr(), -99);
        tick(rec, period);
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
