// Side-by-side review: two recordings at different frame rates whose
// triggers lie at different times, as VORN files whose time stamps the test
// sets and as takes of two simulated cameras. The frames each member shows
// are checked against the nearest frame worked out here by trying every
// frame of the member (the later one of two equally near); stepping, the
// in/out window, ping-pong playback and an image search act on all
// members; the group's save writes each member's frames inside the window.

#include "../save/VornFileBytes.h"
#include "Camera.h"
#include "ImgSearch.h"
#include "ReviewGroup.h"
#include "SaveBatchObject.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornFile.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUrl>

namespace {

qint64 number(const VornValue* value)
{
    return value->value().toLongLong();
}

// The recording's own values: whole nanoseconds for every rate used here.
qint64 periodNs(const PlaybackVornObject* o)
{
    const qint64 clocks = number(o->frClksValue());
    const qint64 freq = number(o->clkFreqValue());
    return clocks > 0 && freq > 0 ? clocks * 1000000000 / freq
                                  : qRound64(1e9 / o->frRateValue()->value().toDouble());
}

qint64 frameTimeNs(const PlaybackVornObject* o, qint64 f)
{
    return number(o->trigTsSValue()) * 1000000000 + number(o->trigTsNsValue()) + f * periodNs(o);
}

// The frame of a member nearest to the axis' frame g (the later one of two
// equally near), by trying every frame.
qint64 nearest(const PlaybackVornObject* axis, const PlaybackVornObject* m, qint64 g)
{
    const qint64 t = frameTimeNs(axis, g);
    qint64 best = m->firstFrame();
    for (qint64 f = m->firstFrame(); f <= m->lastFrame(); ++f) {
        if (qAbs(frameTimeNs(m, f) - t) <= qAbs(frameTimeNs(m, best) - t))
            best = f;
    }
    return best;
}

// What a member should show at the axis' frame g with the window ga … gb:
// its frames whose times lie inside the window (none: it stays on its frame
// nearest to the in point), its frame nearest to g kept to those, and where
// the time lies against its frames.
struct Expected
{
    qint64 fr;
    ReviewMember::RangePosition position;
    bool hasWindowFrames;
    qint64 windowFirst;
    qint64 windowLast;
};

Expected expected(const PlaybackVornObject* axis, const PlaybackVornObject* m, qint64 g, qint64 ga, qint64 gb)
{
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    for (qint64 f = m->firstFrame(); f <= m->lastFrame(); ++f) {
        if (frameTimeNs(m, f) >= frameTimeNs(axis, ga) && frameTimeNs(m, f) <= frameTimeNs(axis, gb)) {
            first = qMin(first, f);
            last = qMax(last, f);
        }
    }
    const bool hasFrames = first <= last;
    if (!hasFrames)
        first = last = nearest(axis, m, ga);
    const qint64 t = frameTimeNs(axis, g);
    const qint64 half = periodNs(m) / 2;
    const auto position = t < frameTimeNs(m, m->firstFrame()) - half   ? ReviewMember::BeforeStart
                          : t >= frameTimeNs(m, m->lastFrame()) + half ? ReviewMember::AfterEnd
                                                                       : ReviewMember::InRange;
    return {qMax(first, qMin(last, nearest(axis, m, g))), position, hasFrames, first, last};
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestReview : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    QTemporaryDir m_dir;
    VornApp* m_app = nullptr;
    // Two files: 1000 frames per second, frames -20 … 39; 500 frames per
    // second from clocks, frames -12 … 17, triggered 3 ms later in the next
    // second.
    VornFileBytes::FileLayout m_fast;
    VornFileBytes::FileLayout m_slow;
    VornFile* m_fastFile = nullptr;
    VornFile* m_slowFile = nullptr;
    SimCameras m_sims;

    VornFile* open(VornFileBytes::FileLayout& layout, const QString& name, const QJsonObject& acq,
                   qint64 trigS, qint64 trigNs)
    {
        layout.width = 32;
        layout.height = 16;
        layout.cameraName = name;
        layout.extra = {{"acq", acq}, {"trig_ts_s", trigS}, {"trig_ts_ns", trigNs}};
        const QString path = m_dir.filePath(name + ".vorn");
        if (!VornFileBytes::write(path, VornFileBytes::build(layout)))
            return nullptr;
        m_app->openVornFile(QUrl::fromLocalFile(path).toString());
        return qobject_cast<VornFile*>(m_app->selectedVornObject());
    }

    ReviewGroup* review(const QList<PlaybackVornObject*>& sources)
    {
        QVariantList objects;
        for (PlaybackVornObject* source : sources)
            objects << QVariant::fromValue<QObject*>(source);
        return m_app->openReviewGroup(objects);
    }

    // Every member against the expectation at the group's position and window.
    static void checkMembers(const ReviewGroup* group, const PlaybackVornObject* axis)
    {
        for (int i = 0; i < group->memberCount(); ++i) {
            const ReviewMember* member = group->member(i);
            const PlaybackVornObject* source = member->source();
            const Expected e = expected(axis, source, group->fr(), group->aFr(), group->bFr());
            const QString where = QStringLiteral("member %1 at %2").arg(i).arg(group->fr());
            QVERIFY2(source->fr() == e.fr, qPrintable(where + QStringLiteral(": %1").arg(source->fr())));
            QVERIFY2(member->rangePosition() == e.position, qPrintable(where));
            QVERIFY2(source->aFr() == e.windowFirst && source->bFr() == e.windowLast, qPrintable(where));
            QCOMPARE(member->hasWindowFrames(), e.hasWindowFrames);
            if (e.hasWindowFrames) {
                QCOMPARE(member->windowFirstFr(), e.windowFirst);
                QCOMPARE(member->windowLastFr(), e.windowLast);
            }
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_app = VornApp::instance();
        VornTest::useNetwork(&m_nam);
        m_fast.firstFr = -20;
        m_fast.frames = 60;
        m_fastFile = open(m_fast, "fast", {{"res", "32x16"}, {"fr_rate", 1000.0}}, 1699999999, 999000000);
        m_slow.firstFr = -12;
        m_slow.frames = 30;
        m_slowFile = open(m_slow, "slow", {{"res", "32x16"}, {"fr_clks", 200000}, {"clk_freq", 100000000}},
                          1700000000, 2000000);
        QVERIFY(m_fastFile && m_slowFile);
    }

    void cleanup()
    {
        for (VornObject* o : m_app->vornObjModel()->toList()) {
            if (auto* group = qobject_cast<ReviewGroup*>(o))
                group->close();
        }
    }

    void stepsAndWindowActOnAllMembers()
    {
        // The slow file is listed first: the axis still runs in frames of
        // the fast one, and its frame 0 is the fast one's trigger.
        ReviewGroup* group = review({m_slowFile, m_fastFile});
        QVERIFY(group);
        QCOMPARE(m_app->selectedVornObject(), group);
        QVERIFY(m_fastFile->selected() && m_slowFile->selected());
        QCOMPARE(group->memberCount(), 2);
        // The slow file's frames reach 1 ms before the fast one's first.
        QCOMPARE(group->firstFrame(), qint64(-21));
        QCOMPARE(group->lastFrame(), qint64(39));
        QCOMPARE(group->fr(), qint64(0));
        QCOMPARE(group->clockText(), QStringLiteral("+0.000000 ms"));
        group->pause();

        enum Op { SetFr, StepFwd, StepRev, Window };
        struct Row
        {
            const char* name;
            Op op;
            qint64 a, b;
            qint64 fr; // the group's position afterwards
        };
        const Row rows[] = {
            // The slow file's frames -2 and -1 lie 1 ms either side: the later one.
            {"trigger, halfway between two frames", SetFr, 0, 0, 0},
            {"step: one frame of the fastest", StepFwd, 0, 0, 1},
            {"step back", StepRev, 0, 0, 0},
            {"first frame: the fast file not yet recording", SetFr, -21, 0, -21},
            {"step back from the in point wraps to the out point", StepRev, 0, 0, 39},
            {"last frame: the slow file no longer recording", SetFr, 38, 0, 38},
            {"a window before the position takes it along", Window, -5, 20, 20},
            {"step at the out point wraps to the in point", StepFwd, 0, 0, -5},
            {"a window between two slow frames", Window, 8, 8, 8},
            {"the whole range again", Window, -21, 39, 8},
        };
        for (const Row& row : rows) {
            switch (row.op) {
            case SetFr:
                group->setFr(row.a, false);
                break;
            case StepFwd:
                group->stepFrFwd();
                break;
            case StepRev:
                group->stepFrRev();
                break;
            case Window:
                group->setAFr(row.a, false);
                group->setBFr(row.b, false);
                group->setAFr(row.a, false);
                break;
            }
            QVERIFY2(group->fr() == row.fr, row.name);
            checkMembers(group, m_fastFile);
            QVERIFY2(!QTest::currentTestFailed(), row.name);
        }
        // Ping-pong at the top rate turns at an end of the window, the
        // members with it.
        group->setAFr(-5, false);
        group->setBFr(20, false);
        group->setRepeatMode(PlaybackVornObject::RepeatPingPong);
        group->setPlayFrRate(1e7);
        group->playFastFwd();
        QTRY_COMPARE(group->state(), PlaybackVornObject::PlayFastRev);
        group->pause();
        checkMembers(group, m_fastFile);
        QVERIFY(!m_fastFile->requestInFlight());
        QCOMPARE(m_fastFile->lastRequestedFr(), m_fastFile->fr());
    }

    void imageSearchOnAMemberMovesTheClock()
    {
        ReviewGroup* group = review({m_fastFile, m_slowFile});
        QVERIFY(group);
        group->pause();
        group->setSearchMember(group->member(1));
        QCOMPARE(group->memberSearch(), m_slowFile->imgSearch());
        group->setFr(0, false);
        QCOMPARE(m_slowFile->fr(), qint64(-1));
        // Every frame of the file differs from the one before: the search
        // stops after one step.
        m_slowFile->imgSearch()->setStep(3);
        m_slowFile->imgSearch()->start(true);
        QTRY_COMPARE(m_slowFile->imgSearch()->state(), ImgSearch::Idle);
        QCOMPARE(m_slowFile->fr(), qint64(2));
        // Slow frame 2 lies 7 ms after the fast file's trigger.
        QCOMPARE(frameTimeNs(m_slowFile, 2) - frameTimeNs(m_fastFile, 0), qint64(7000000));
        QCOMPARE(group->fr(), qint64(7));
        QCOMPARE(m_fastFile->fr(), qint64(7));
        QCOMPARE(m_slowFile->fr(), qint64(2));
    }

    void groupSaveWritesEachWindow()
    {
        ReviewGroup* group = review({m_fastFile, m_slowFile});
        QVERIFY(group);
        group->setAFr(-5, false);
        group->setBFr(20, false);
        QCOMPARE(group->addToSaveBatch(), 2);
        const QString out = m_dir.filePath("out");
        SaveManager* manager = m_app->saveManager();
        const int before = manager->saveJobs()->count();
        manager->createSaveJobBatch(m_app->saveBatchObjModel(), SaveManager::FileDest, Util::FormatVorn,
                                    Util::CodecVorn, 0, 0, QStringLiteral("<name>"), out,
                                    SaveJob::DontDeleteClose);
        QCOMPARE(manager->saveJobs()->count(), before + 2);
        struct Output
        {
            const char* name;
            const VornFileBytes::FileLayout& layout;
            qint64 first, last; // frames inside -5 … 20 ms of the fast file's time
        };
        const Output outputs[] = {{"fast", m_fast, -5, 20}, {"slow", m_slow, -4, 8}};
        for (int i = 0; i < 2; ++i) {
            auto* job = qobject_cast<SaveJob*>(manager->saveJobs()->get(before + i));
            QTRY_VERIFY_WITH_TIMEOUT(job->state() == SaveJob::Done || job->state() == SaveJob::Error, 10000);
            QCOMPARE(job->state(), SaveJob::Done);
            const Output& o = outputs[i];
            const QByteArray bytes = readAll(out + "/" + o.name + ".vorn");
            const QJsonObject header =
                QJsonDocument::fromJson(bytes.mid(36, int(VornFileBytes::u64(bytes, 16)))).object();
            QCOMPARE(header.value("first_fr").toInteger(), o.first);
            QCOMPARE(header.value("last_fr").toInteger(), o.last);
            const int size = VornFileBytes::recordSize(o.layout);
            const qint64 data = qint64(VornFileBytes::u64(bytes, 24));
            QCOMPARE(bytes.size(), data + (o.last - o.first + 1) * size);
            for (qint64 f : {o.first, o.last})
                QCOMPARE(bytes.mid(data + (f - o.first) * size, size), VornFileBytes::record(o.layout, f));
        }
        // The members stay open.
        QVERIFY(m_app->vornObjModel()->contains(m_fastFile) && m_app->vornObjModel()->contains(m_slowFile));
    }

    void takesOfTwoCameras()
    {
        q7sim::CameraConfig config;
        config.res = QStringLiteral("160x120");
        config.cfa = q7sim::Cfa::Mono;
        config.name = QStringLiteral("Q7 Fast");
        q7sim::SimCamera* fast = m_sims.start(config);
        config.address = QStringLiteral("127.0.0.3");
        config.name = QStringLiteral("Q7 Slow");
        q7sim::SimCamera* slow = m_sims.start(config);
        QVERIFY(fast && slow);
        QVERIFY(SimCameras::put(slow->config().address, "/acq/fr_rate", "400"));
        for (auto* sim : {fast, slow}) {
            QVERIFY(SimCameras::put(sim->config().address, "/acq/trig_offset", "30"));
            QVERIFY(SimCameras::post(sim->config().address, "/rec", {}));
        }
        QTest::qWait(80); // frames before the trigger
        for (auto* sim : {fast, slow})
            QVERIFY(SimCameras::post(sim->config().address, "/trig", {}));
        QList<Take*> takes;
        for (auto* sim : {fast, slow}) {
            Camera* camera = SimCameras::connect(sim);
            QVERIFY(camera);
            QTRY_VERIFY_WITH_TIMEOUT(camera->savedTakes()->count() == 1, 10000);
            takes << qobject_cast<Take*>(camera->savedTakes()->get(0));
            QTRY_VERIFY_WITH_TIMEOUT(takes.last()->valuesInit(), 5000);
        }
        QCOMPARE(periodNs(takes[1]), qint64(2500000));
        QVERIFY(frameTimeNs(takes[0], 0) != frameTimeNs(takes[1], 0));
        QCOMPARE(m_app->newestTakes().size(), 2);

        ReviewGroup* group = m_app->reviewNewestTakes();
        QVERIFY(group);
        group->pause();
        for (qint64 g : {group->firstFrame(), qint64(0), qint64(7), group->lastFrame()}) {
            group->setFr(g, false);
            checkMembers(group, takes[0]);
        }
        // The frames shown are the predicted ones: their time stamps say so.
        group->setFr(3, false);
        for (Take* take : takes) {
            const quint64 year = take->yearOffsetSeconds();
            const qint64 sinceYear = frameTimeNs(take, take->fr()) - qint64(year) * 1000000000;
            const QString stamp =
                VornObject::timeText(year + quint64(sinceYear / 1000000000), quint32(sinceYear % 1000000000));
            QTRY_COMPARE_WITH_TIMEOUT(take->timestamp(), stamp, 5000);
        }
    }
};

VORN_TEST_MAIN(TestReview)
#include "tst_review.moc"
