#include "../save/VornFileBytes.h"
#include "PlaybackVornObject.h"
#include "VornFile.h"
#include "VornTestMain.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

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

#ifdef __SANITIZE_ADDRESS__
constexpr qint64 kQuarantineMb = 256; // where AddressSanitizer holds freed blocks
#else
constexpr qint64 kQuarantineMb = 0;
#endif

// Resident memory of this process in MB; -1 when unknown.
qint64 residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    const auto rss = QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+)")).match(status.readAll());
    return rss.hasMatch() ? rss.captured(1).toLongLong() / 1024 : -1;
}

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
    void settersClampAndSteppingWraps()
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
        rec.setFr(50, false);
        rec.stepFrFwd();
        QCOMPARE(rec.fr(), -20); // stepping on from B wraps to A
        rec.stepFrRev();
        rec.stepFrRev();
        QCOMPARE(rec.fr(), 49); // and back from A to B
        QCOMPARE(frChanged.count(), 8);
        QCOMPARE(rec.state(), PlaybackVornObject::Paused);

        rec.setPlayStep(0);
        QCOMPARE(rec.playStep(), 1);
        rec.setPlayStep(20000000);
        QCOMPARE(rec.playStep(), 10000000);

        QVERIFY(qAbs(rec.playFrRate() - 30.0000003) < 1e-6);
        const std::pair<double, qint64> periods[] = {{59.94, 16683333}, {23.976, 41708333},
                                                     {0, 10000000000},  {1e9, 100},
                                                     {7e6, 142},        {29.97, 33366666}};
        for (const auto& [rate, period] : periods) {
            rec.setPlayFrRate(rate);
            QCOMPARE(rec.framePeriodNs(), period);
        }
        QVERIFY(qAbs(rec.playFrRate() - 1e9 / 33366666.0) < 1e-9);
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

    // Time spent unselected does not count, and a change of step or rate
    // starts counting afresh one step ahead.
    void selectionStepAndRateRebase()
    {
        Recording rec;
        rec.setClock(std::make_unique<ManualClock>(&m_now));
        rec.setFr(-99, false);
        rec.play();
        tick(rec, 10 * rec.framePeriodNs());
        QCOMPARE(rec.fr(), -99); // not selected: does not advance
        rec.setSelected(true);
        tick(rec, rec.framePeriodNs());
        QCOMPARE(rec.fr(), -98);
        rec.setPlayStep(5);
        QCOMPARE(rec.fr(), -98);
        tick(rec, rec.framePeriodNs());
        QCOMPARE(rec.fr(), -88);
        rec.setPlayFrRate(100);
        tick(rec, 10000000);
        QCOMPARE(rec.fr(), -78);
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

    // Frames made faster than the screen shows pictures would never be seen:
    // a small file at the top rate makes no more frames than the screen's
    // pictures, and the clock still moves on.
    void playbackMakesNoFramesTheScreenCannotShow()
    {
        QTemporaryDir dir;
        VornFileBytes::FileLayout layout;
        layout.width = 64;
        layout.height = 48;
        layout.frames = 400;
        const QString path = dir.filePath(QStringLiteral("small.vorn"));
        QVERIFY(VornFileBytes::write(path, VornFileBytes::build(layout)));
        VornFile file(path, nullptr);
        QVERIFY(file.open());
        file.setSelected(true);
        int made = 0;
        connect(file.imgFrame(), &ImgFrame::imageChanged, this, [&] { ++made; });
        file.setPlayFrRate(1e7);
        file.play();
        QEventLoop loop; // not qWait(), which sleeps between its rounds
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        file.pause();
        const int screenPictures = 1000 / PlaybackVornObject::displayIntervalMs();
        qInfo("%d frames made in 1 s, the screen shows %d", made, screenPictures);
        QVERIFY(made >= 2);
        QVERIFY2(made <= screenPictures + 3, qPrintable(QString::number(made)));
    }

    // A large file at the top rate takes longer to read and process per frame
    // than a period lasts; playback must still return to the event loop
    // between frames, skipping frames to keep time.
    void playingFasterThanFramesProcessYields()
    {
        QTemporaryDir dir;
        VornFileBytes::FileLayout layout;
        layout.width = 1920;
        layout.height = 1080;
        layout.frames = 8;
        layout.extra = {{"last_fr", 499}, {"fr_cnt", 500}};
        const QString path = dir.filePath(QStringLiteral("large.vorn"));
        const QByteArray bytes = VornFileBytes::build(layout);
        QVERIFY(VornFileBytes::write(path, bytes));
        // The frames after the eighth are blank: a sparse file, no disk used.
        QVERIFY(QFile::resize(path, bytes.size() + 492LL * VornFileBytes::recordSize(layout)));
        VornFile file(path, nullptr);
        QVERIFY(file.open());
        file.pause();
        file.setSelected(true);
        file.stepFrFwd(); // warm-up
        qint64 frameMs = 0;
        for (int i = 0; i < 4; ++i) {
            QElapsedTimer t;
            t.start();
            file.stepFrFwd();
            frameMs = qMax(frameMs, t.elapsed());
        }
        const qint64 memoryBefore = residentMb();
        QVERIFY(memoryBefore > 0);

        QSignalSpy frChanged(&file, &PlaybackVornObject::frChanged);
        QSet<qint64> shown;
        QElapsedTimer wall;
        // Should playback never yield, this ends it, so that the test fails
        // on the lateness instead of hanging.
        connect(file.imgFrame(), &ImgFrame::imageChanged, this, [&] {
            shown.insert(file.fr());
            if (wall.elapsed() > 10000)
                file.pause();
        });
        QEventLoop loop;
        QTimer beat;
        beat.setTimerType(Qt::PreciseTimer);
        beat.setInterval(50);
        qint64 lastBeat = 0;
        qint64 lateMs = 0;
        int changesAtPause = -1;
        connect(&beat, &QTimer::timeout, this, [&] {
            const qint64 now = wall.elapsed();
            lateMs = qMax(lateMs, now - lastBeat - 50);
            lastBeat = now;
            if (now >= 2000 && changesAtPause < 0) {
                file.pause();
                changesAtPause = frChanged.count();
            } else if (now >= 2500) {
                loop.quit();
            }
        });
        file.setPlayFrRate(1e7);
        file.play();
        wall.start();
        beat.start();
        loop.exec();
        const qint64 memoryAfter = residentMb();
        qInfo("one frame %lld ms, timer late %lld ms at most, %lld frames shown, memory %lld -> %lld MB",
              frameMs, lateMs, qint64(shown.size()), memoryBefore, memoryAfter);
        QVERIFY2(lateMs <= 100 + frameMs, qPrintable(QStringLiteral("%1 ms late").arg(lateMs)));
        QCOMPARE(frChanged.count(), changesAtPause);
        QVERIFY(shown.size() >= 3);
        QVERIFY(memoryAfter - memoryBefore < 150 + kQuarantineMb);
    }
};

VORN_TEST_MAIN(TestPlaybackEngine)
#include "tst_playbackengine.moc"
