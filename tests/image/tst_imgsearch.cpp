#include "Camera.h"
#include "FrameSynth.h"
#include "ImgSearch.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornApp.h"
#include "VornFrame.h"
#include "VornTestMain.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <algorithm>
#include <cmath>
#include <optional>

using q7sim::Fault;

// Image search on a take of a monochrome simulated camera. With default
// adjustments the processed grey picture of a monochrome frame is its
// expanded samples, so the test computes every frame's grey picture from the
// simulator's codes and the companding rule, derives the largest difference
// between any two frames, and predicts where each search must stop.
class TestImgSearch : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;
    Take* m_take = nullptr;
    ImgSearch* m_search = nullptr;
    qint64 m_first = 0;
    qint64 m_last = 0;
    // Expected grey picture of each frame, from m_first on.
    std::vector<std::vector<int>> m_grey;
    // Largest absolute difference between two frames' grey pictures (-1: not
    // computed yet), indexed by frame - m_first.
    std::vector<std::vector<int>> m_diff;

    int maxDiff(qint64 a, qint64 b)
    {
        int& d = m_diff[size_t(a - m_first)][size_t(b - m_first)];
        if (d < 0) {
            const auto& ga = m_grey[size_t(a - m_first)];
            const auto& gb = m_grey[size_t(b - m_first)];
            d = 0;
            for (size_t i = 0; i < ga.size(); ++i)
                d = std::max(d, std::abs(ga[i] - gb[i]));
            m_diff[size_t(b - m_first)][size_t(a - m_first)] = d;
        }
        return d;
    }

    // Where a search must stop: the first examined frame that differs from
    // its reference by more than `level`, or the range boundary once a step
    // leaves the range. `fetched` receives the frames the search fetches.
    qint64 predict(qint64 start, bool forward, qint64 step, int level, ImgSearch::RefFrame ref,
                   QList<qint64>* fetched = nullptr)
    {
        qint64 reference = start;
        qint64 fr = start;
        if (fetched)
            fetched->append(start);
        for (;;) {
            fr += forward ? step : -step;
            if (fr < m_first)
                return m_first;
            if (fr > m_last)
                return m_last;
            if (fetched)
                fetched->append(fr);
            if (maxDiff(reference, fr) > level)
                return fr;
            if (ref == ImgSearch::PreviousFrame)
                reference = fr;
        }
    }

    // A threshold whose level (threshold x 65535, truncated) is `level`.
    static double thresholdFor(int level) { return (level + 0.5) / 65535.0; }

    // Shows `fr` and waits until its fetch for display is done, so that the
    // paused take has nothing left to retry.
    bool showFrame(qint64 fr)
    {
        m_take->pause();
        m_take->setFr(fr, false);
        return QTest::qWaitFor([&] { return m_take->lastRequestedFr() == fr && !m_take->requestInFlight(); },
                               5000);
    }

    // The frames the camera was asked for since the last clearRequests().
    QList<qint64> requestedFrames() const
    {
        static const QRegularExpression start(QStringLiteral("\"start\":(-?\\d+)"));
        QList<qint64> frames;
        for (const auto& request : SimCameras::requests(m_sim, "POST", "/xfer"))
            frames.append(start.match(QString::fromUtf8(request.body)).captured(1).toLongLong());
        return frames;
    }

    // Runs one search to its end; returns the take's position afterwards.
    std::optional<qint64> search(qint64 start, bool forward, qint64 step, int level, ImgSearch::RefFrame ref)
    {
        if (!showFrame(start))
            return std::nullopt;
        m_search->setStep(step);
        m_search->setThreshold(thresholdFor(level));
        m_search->setRefFrame(ref);
        if (m_search->level() != level)
            return std::nullopt;
        m_sim->clearRequests();
        m_search->start(forward);
        if (m_search->state() != ImgSearch::Searching || m_take->state() != PlaybackVornObject::Paused ||
            !m_search->searchThread()->isRunning())
            return std::nullopt;
        if (!QTest::qWaitFor([&] { return m_search->state() == ImgSearch::Idle; }, 20000))
            return std::nullopt;
        // Stopping waited for the thread.
        if (!m_search->searchThread()->isFinished())
            return std::nullopt;
        return m_take->fr();
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        VornApp* app = VornApp::instance();
        q7sim::CameraConfig config;
        config.res = QStringLiteral("128x64");
        config.cfa = q7sim::Cfa::Mono;
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        app->connectCamera(config.address);
        m_camera = qobject_cast<Camera*>(app->vornObjModel()->first());
        QVERIFY(m_camera);
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->connected(), 5000);

        const int takeId = SimCameras::recordTake(m_sim, 60, 60);
        QVERIFY(takeId > 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->savedTakes()->count() > 0, 5000);
        m_take = qobject_cast<Take*>(m_camera->savedTakes()->get(m_camera->savedTakes()->count() - 1));
        QVERIFY(m_take);
        QCOMPARE(m_take->takeId(), takeId);
        QTRY_VERIFY_WITH_TIMEOUT(m_take->valuesInit(), 5000);
        m_search = m_take->imgSearch();
        QVERIFY(m_search);
        QCOMPARE(m_search->parent(), m_take);
        QCOMPARE(m_take->property("imgSearch").value<ImgSearch*>(), m_search);

        m_first = m_take->firstFrame();
        m_last = m_take->lastFrame();
        QCOMPARE(m_take->aFr(), m_first);
        QCOMPARE(m_take->bFr(), m_last);
        QVERIFY(m_last - m_first >= 60);
        const auto params = m_sim->takeFrameParams(takeId);
        QVERIFY(params);
        for (qint64 fr = m_first; fr <= m_last; ++fr) {
            const QByteArray codes = q7sim::FrameSynth::image(*params, fr);
            std::vector<int> grey(size_t(codes.size()));
            for (int i = 0; i < codes.size(); ++i)
                grey[size_t(i)] = VornTest::expandedSample(quint8(codes.at(i)));
            m_grey.push_back(std::move(grey));
        }
        m_diff.assign(m_grey.size(), std::vector<int>(m_grey.size(), -1));

        VornApp::instance()->setSelectedVornObject(m_take);
        // The premise: the shown frame's grey picture is its expanded samples.
        const qint64 shown = m_first + 7;
        QVERIFY(showFrame(shown));
        const QImage grey = m_take->vornFrame()->gray16Image();
        QCOMPARE(grey.size(), QSize(128, 64));
        for (int y = 0; y < 64; ++y) {
            const auto* row = reinterpret_cast<const quint16*>(grey.constScanLine(y));
            for (int x = 0; x < 128; ++x)
                QCOMPARE(int(row[x]), m_grey[size_t(shown - m_first)][size_t(y * 128 + x)]);
        }
    }

    void propertiesAndThresholdClamps()
    {
        ImgSearch search(m_take);
        QCOMPARE(search.state(), ImgSearch::Idle);
        QCOMPARE(search.refFrame(), ImgSearch::PreviousFrame);
        QCOMPARE(search.step(), qint64(100));
        QCOMPARE(search.threshold(), 0.5);
        QCOMPARE(search.level(), 32767);

        QSignalSpy thresholdSpy(&search, &ImgSearch::thresholdChanged);
        search.setThreshold(1.5);
        QCOMPARE(search.threshold(), 0.99);
        QCOMPARE(search.level(), 64879);
        QCOMPARE(thresholdSpy.count(), 1);
        search.setThreshold(0.99);
        search.setThreshold(0.99 + 1e-15); // equal within the fuzzy comparison
        QCOMPARE(thresholdSpy.count(), 1);
        search.setThreshold(0);
        QCOMPARE(search.threshold(), 0.01);
        QCOMPARE(search.level(), 655);
        QCOMPARE(thresholdSpy.count(), 2);
        search.setThreshold(-3);
        QCOMPARE(search.threshold(), 0.01);
        search.setThreshold(0.25);
        QCOMPARE(search.threshold(), 0.25);
        QCOMPARE(search.level(), 16383);
    }

    // Forward and backward with PreviousFrame: the level is the largest
    // change of the first few steps, so the search passes them and stops at
    // the first larger change, fetching exactly the frames on its way.
    void forwardAndBackward()
    {
        const QThread* thread = m_search->searchThread();
        for (bool forward : {true, false}) {
            const qint64 start = forward ? m_first : m_last;
            bool tested = false;
            for (qint64 step = 1; step <= 6 && !tested; ++step) {
                int level = 0;
                for (int k = 1; k <= 3; ++k) {
                    const qint64 a = start + (forward ? 1 : -1) * step * (k - 1);
                    const qint64 b = a + (forward ? step : -step);
                    level = std::max(level, maxDiff(a, b));
                }
                if (level < 655 || level > 64879)
                    continue;
                QList<qint64> fetched;
                const qint64 expected =
                    predict(start, forward, step, level, ImgSearch::PreviousFrame, &fetched);
                if (expected == m_first || expected == m_last)
                    continue; // ran through: not a found frame
                QVERIFY(std::abs(expected - start) > 3 * step);
                QVERIFY(showFrame(start));
                const int startSignal = m_search->fr() != start ? 1 : 0;
                QSignalSpy frSpy(m_search, &ImgSearch::frChanged);
                const auto stop = search(start, forward, step, level, ImgSearch::PreviousFrame);
                QVERIFY(stop);
                QCOMPARE(*stop, expected);
                QCOMPARE(m_search->fr(), expected);
                QCOMPARE(frSpy.count(), startSignal + fetched.size() - 1); // every step signalled
                // The search fetched the frames on its way; then the take
                // fetched the found frame for display.
                QTRY_VERIFY_WITH_TIMEOUT(!m_take->requestInFlight(), 3000);
                QCOMPARE(requestedFrames(), fetched + QList<qint64>{expected});
                QCOMPARE(m_search->searchThread(), thread); // one thread for all searches
                QCOMPARE(thread->objectName(), QStringLiteral("ImgSearch Thread"));
                tested = true;
            }
            QVERIFY2(tested, forward ? "no forward case in the footage" : "no backward case in the footage");
        }
    }

    // StartFrame compares every frame with the start frame; PreviousFrame
    // with the frame examined before. Finds a case in the footage where
    // StartFrame finds a change built up over several steps that PreviousFrame
    // misses until later (or never); failing that, one where the two stop at
    // different frames.
    void referenceModes()
    {
        struct Case
        {
            qint64 start, step;
            int level;
            qint64 startStop, previousStop;
        };
        std::optional<Case> drift, different;
        for (qint64 step = 1; step <= 8 && !drift; ++step) {
            for (qint64 start = m_first; start + 3 * step <= m_last && !drift; ++start) {
                // Candidate levels: the differences along the way from start.
                for (int k = 1; start + k * step <= m_last && k <= 12; ++k) {
                    const int level = maxDiff(start, start + k * step);
                    if (level < 655 || level > 64879)
                        continue;
                    const qint64 s = predict(start, true, step, level, ImgSearch::StartFrame);
                    const qint64 p = predict(start, true, step, level, ImgSearch::PreviousFrame);
                    if (s == p)
                        continue;
                    const Case c{start, step, level, s, p};
                    // A drift: StartFrame stops at a real find after at
                    // least one passed comparison, PreviousFrame later.
                    if (s != m_last && s > start + step && p > s) {
                        drift = c;
                        break;
                    }
                    if (!different)
                        different = c;
                }
            }
        }
        QVERIFY(drift || different);
        const Case c = drift ? *drift : *different;
        if (!drift)
            qInfo("no drift case in the footage; the modes stop at different frames");
        qInfo("start %lld step %lld level %d: StartFrame stops at %lld, PreviousFrame at %lld", c.start,
              c.step, c.level, c.startStop, c.previousStop);

        auto stop = search(c.start, true, c.step, c.level, ImgSearch::StartFrame);
        QVERIFY(stop);
        QCOMPARE(*stop, c.startStop);
        stop = search(c.start, true, c.step, c.level, ImgSearch::PreviousFrame);
        QVERIFY(stop);
        QCOMPARE(*stop, c.previousStop);
        QVERIFY(m_search->searchThread()->isFinished());
    }

    // A step that leaves the range ends the search on the boundary without
    // comparing: only the start frame is fetched by the search, even at the
    // most sensitive threshold.
    void boundaryEnd()
    {
        const int level = 655;
        // Forward, less than one step before bFr.
        auto stop = search(m_last - 4, true, 5, level, ImgSearch::PreviousFrame);
        QVERIFY(stop);
        QCOMPARE(*stop, m_last);
        QCOMPARE(m_search->fr(), m_last);
        QTRY_VERIFY_WITH_TIMEOUT(!m_take->requestInFlight(), 3000);
        QCOMPARE(requestedFrames(), (QList<qint64>{m_last - 4, m_last}));

        // Backward from aFr + 1.
        stop = search(m_first + 1, false, 5, level, ImgSearch::StartFrame);
        QVERIFY(stop);
        QCOMPARE(*stop, m_first);
        QTRY_VERIFY_WITH_TIMEOUT(!m_take->requestInFlight(), 3000);
        QCOMPARE(requestedFrames(), (QList<qint64>{m_first + 1, m_first}));

        // From bFr itself: the position does not change, the search still ends.
        stop = search(m_last, true, 1, level, ImgSearch::PreviousFrame);
        QVERIFY(stop);
        QCOMPARE(*stop, m_last);
        QCOMPARE(requestedFrames(), QList<qint64>{m_last});

        // A narrower in/out range is the boundary.
        m_take->setBFr(m_first + 20, false);
        stop = search(m_first + 18, true, 10, level, ImgSearch::PreviousFrame);
        QVERIFY(stop);
        QCOMPARE(*stop, m_first + 20);
        m_take->setBFr(m_last, false);
        QCOMPARE(m_take->bFr(), m_last);
    }

    // Moving the position during a search cancels it at once; nothing of
    // the cancelled search changes the position afterwards.
    void cancelByMovingPosition()
    {
        // A threshold no two frames exceed: the search would run to the end.
        const int level = 64879;
        QCOMPARE(predict(m_first, true, 1, level, ImgSearch::PreviousFrame), m_last);
        QVERIFY(showFrame(m_first));
        m_search->setStep(1);
        m_search->setThreshold(1.5);
        QCOMPARE(m_search->level(), level);
        m_sim->addFault(Fault::delay(60, "/xfer"));
        m_take->play(); // the search pauses the take
        m_search->start(true);
        QCOMPARE(m_take->state(), PlaybackVornObject::Paused);
        QCOMPARE(m_search->state(), ImgSearch::Searching);
        QTRY_VERIFY_WITH_TIMEOUT(m_search->fr() >= m_first + 3, 5000);
        QSignalSpy stateSpy(m_search, &ImgSearch::stateChanged);
        // An adjustment refreshes the shown frame without moving it: the
        // search goes on with its own snapshot.
        m_take->imgAdjModel()->gain()->setValue(1.5);
        QCOMPARE(m_search->state(), ImgSearch::Searching);
        const qint64 moved = m_first + 40;
        m_take->setFr(moved, false);
        QCOMPARE(m_search->state(), ImgSearch::Idle);
        QCOMPARE(stateSpy.count(), 1);
        QVERIFY(m_search->searchThread()->isFinished());
        const qint64 searchFr = m_search->fr();
        QVERIFY(searchFr < m_first + 40);
        QTest::qWait(400);
        QCOMPARE(m_take->fr(), moved);
        QCOMPARE(m_search->fr(), searchFr);
        QCOMPARE(stateSpy.count(), 1);

        // cancel() itself, and a new start() while searching restarting from
        // the take's current frame.
        m_search->start(true);
        QTRY_VERIFY_WITH_TIMEOUT(m_search->fr() >= moved + 2, 5000);
        m_search->start(false);
        QCOMPARE(m_search->fr(), moved);
        QCOMPARE(m_search->state(), ImgSearch::Searching);
        QTRY_VERIFY_WITH_TIMEOUT(m_search->fr() <= moved - 2, 5000);
        m_search->cancel();
        QCOMPARE(m_search->state(), ImgSearch::Idle);
        QVERIFY(m_search->searchThread()->isFinished());
        QTest::qWait(200);
        QCOMPARE(m_take->fr(), moved);
        m_sim->clearFaults();
    }

    // A failed frame fetch ends the search silently, leaving the position.
    // (Every kind of failure reaches the search as the take's failed fetch:
    // the fault sweep and the transfer test's false frame sizes.)
    void failedFetchEndsSearch()
    {
        QSignalSpy messages(VornApp::instance(), &VornApp::showMessage);
        const qint64 start = m_first + 10;
        m_search->setStep(1);
        m_search->setThreshold(1.5);
        // The first fetch fails.
        QVERIFY(showFrame(start));
        m_sim->addFault(Fault::httpError(500, true, "/xfer"));
        m_search->start(true);
        QTRY_COMPARE_WITH_TIMEOUT(m_search->state(), ImgSearch::Idle, 5000); // at once, with slack
        QVERIFY(m_search->searchThread()->isFinished());
        QCOMPARE(m_take->fr(), start);
        QCOMPARE(m_search->fr(), start);
        m_sim->clearFaults();

        // A later fetch fails.
        m_sim->addFault(Fault::delay(60, "/xfer"));
        m_search->start(true);
        QTRY_VERIFY_WITH_TIMEOUT(m_search->fr() >= start + 2, 5000);
        m_sim->clearFaults();
        m_sim->addFault(Fault::httpError(500, true, "/xfer"));
        QTRY_COMPARE_WITH_TIMEOUT(m_search->state(), ImgSearch::Idle, 5000);
        QVERIFY(m_search->searchThread()->isFinished());
        QCOMPARE(m_take->fr(), start);
        QVERIFY(m_search->fr() < m_last);
        m_sim->clearFaults();
        QCOMPARE(messages.count(), 0);
    }

    // Step 0 examines the start frame again and again until cancelled.
    void stepZeroUntilCancelled()
    {
        QVERIFY(showFrame(m_first + 5));
        m_search->setStep(0);
        m_search->setThreshold(0);
        m_sim->clearRequests();
        m_search->start(true);
        // The same frame again and again: identical pictures never differ.
        QTRY_VERIFY_WITH_TIMEOUT(requestedFrames().size() >= 5, 5000);
        QCOMPARE(m_search->state(), ImgSearch::Searching);
        QCOMPARE(m_search->fr(), m_first + 5);
        m_search->cancel();
        QCOMPARE(m_search->state(), ImgSearch::Idle);
        QCOMPARE(m_take->fr(), m_first + 5);
        for (qint64 fr : requestedFrames())
            QCOMPARE(fr, m_first + 5);
    }

    // Shutting the application down cancels a running search.
    void aboutToQuitCancels()
    {
        QVERIFY(showFrame(m_first));
        m_search->setStep(1);
        m_search->setThreshold(1.5);
        m_sim->addFault(Fault::delay(60, "/xfer"));
        m_search->start(true);
        QCOMPARE(m_search->state(), ImgSearch::Searching);
        QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection));
        QCOMPARE(m_search->state(), ImgSearch::Idle);
        QVERIFY(m_search->searchThread()->isFinished());
        m_sim->clearFaults();
    }
};

VORN_TEST_MAIN(TestImgSearch)
#include "tst_imgsearch.moc"
