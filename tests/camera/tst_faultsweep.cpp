// Every fault a camera can show, through every kind of request the program
// makes of a connected camera: the poll, a value write, the live image and
// the image search (a frame of a take). Each ends as documented within its
// limit (a harmless fault changes nothing; a failure keeps what the program
// had and is not applied), nothing is left waiting, and once the fault is
// cleared the camera works again. Saves in every format go through the same
// faults in the save tests.
#include "Camera.h"
#include "CameraHttp.h"
#include "ImgFrame.h"
#include "ImgSearch.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornTestMain.h"

#include <QSignalSpy>

using q7sim::Fault;

namespace {

enum Operation { Poll, ValueWrite, LiveImage, Search };
enum Kind { Slow, ErrorJson, ErrorPlain, NotJson, Silent, EndsEarly, Cut, Unaligned };

const char* const OperationNames[] = {"poll", "value write", "live image", "search"};
const char* const KindNames[] = {"slow",   "HTTP error with JSON", "HTTP error", "not JSON",
                                 "silent", "no records",           "cut",        "unaligned"};

bool harmless(Kind kind)
{
    return kind == Slow || kind == Unaligned;
}

bool isTransfer(Operation operation)
{
    return operation == LiveImage || operation == Search;
}

Fault faultFor(Kind kind, Operation operation)
{
    const QString path = operation == Poll         ? QStringLiteral("/")
                         : operation == ValueWrite ? QStringLiteral("/camera/name")
                                                   : QStringLiteral("/xfer");
    // In the order of Kind.
    const Fault faults[] = {Fault::delay(400, path),
                            Fault::httpError(500, true, path),
                            Fault::httpError(503, false, path),
                            Fault::malformedJson(path),
                            Fault::noAnswer(path),
                            Fault::xferEndEarly(0),
                            Fault::xferDropMidRecord(0),
                            Fault::xferPieces(333, 1)};
    Fault fault = faults[kind];
    // The poll alone: the take documents share the root.
    fault.exactPath = operation == Poll;
    return fault;
}

constexpr int Limit = CameraHttp::PollTimeoutMs + 5000;
constexpr int FrameLimit = 2 * CameraHttp::FrameTimeoutMs + 5000;

} // namespace

class TestFaultSweep : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;
    Take* m_take = nullptr;
    int m_renames = 0;

    int requestCount(const QString& method, const QString& path) const
    {
        return SimCameras::requests(m_sim, method, path).size();
    }

    QString simName() const { return m_sim->stateDocument().value("camera")["name"].toString(); }
    QString name() const { return m_camera->name()->value().toString(); }

    bool showFrame(qint64 fr)
    {
        m_take->pause();
        m_take->setFr(fr, false);
        return QTest::qWaitFor([&] { return m_take->lastRequestedFr() == fr && !m_take->requestInFlight(); },
                               Limit);
    }

    void poll(Kind kind)
    {
        const QString before = name();
        const QString renamed = QStringLiteral("Renamed %1").arg(++m_renames);
        QSignalSpy responding(m_camera, &Camera::respondingChanged);
        if (harmless(kind)) {
            QVERIFY(SimCameras::put(m_sim->config().address, "/camera/name", '"' + renamed.toUtf8() + '"'));
            QTRY_COMPARE_WITH_TIMEOUT(name(), renamed, Limit);
            QCOMPARE(responding.count(), 0);
            return;
        }
        QSignalSpy polled(m_camera, &Camera::valuesPolled);
        QTRY_VERIFY_WITH_TIMEOUT(!m_camera->responding(), Limit);
        // A refusal with a JSON body is read, but never applied.
        if (kind == ErrorJson)
            QTRY_VERIFY_WITH_TIMEOUT(polled.count() > 0, Limit);
        // What the camera says while it fails is not taken in.
        QVERIFY(SimCameras::put(m_sim->config().address, "/camera/name", '"' + renamed.toUtf8() + '"'));
        const int polls = requestCount("GET", "/");
        QTRY_VERIFY_WITH_TIMEOUT(requestCount("GET", "/") >= polls + 2, 2 * Limit);
        QCOMPARE(name(), before);
        QVERIFY(m_camera->connected());
        m_sim->clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(m_camera->responding() && name() == renamed, Limit);
    }

    void valueWrite(Kind kind)
    {
        const QString before = name();
        const QString typed = QStringLiteral("Typed %1").arg(++m_renames);
        m_camera->name()->setValue(typed);
        if (harmless(kind)) {
            QTRY_COMPARE_WITH_TIMEOUT(simName(), typed, Limit);
            const int polls = requestCount("GET", "/");
            QTRY_VERIFY_WITH_TIMEOUT(requestCount("GET", "/") >= polls + 2, Limit);
            QCOMPARE(name(), typed); // the polls after it keep it
            return;
        }
        // A write the camera did not take is undone by the polls after it.
        QTRY_COMPARE_WITH_TIMEOUT(name(), before, Limit);
        QCOMPARE(simName(), before);
        m_sim->clearFaults();
        if (kind == Silent) // the camera acts on it late, and says so
            QTRY_COMPARE_WITH_TIMEOUT(name(), typed, Limit);
        m_camera->name()->setValue(before);
        QTRY_COMPARE_WITH_TIMEOUT(simName(), before, Limit);
    }

    void liveImage(Kind kind)
    {
        QSignalSpy images(m_camera->imgFrame(), &ImgFrame::imageChanged);
        if (harmless(kind)) {
            QTRY_VERIFY_WITH_TIMEOUT(images.count() >= 3, Limit);
            return;
        }
        // The fetch fails, and the next ones go out: none waits for ever, not
        // even one the camera never answers.
        const int fetches = requestCount("POST", "/xfer");
        QTRY_VERIFY_WITH_TIMEOUT(requestCount("POST", "/xfer") >= fetches + (kind == Silent ? 2 : 3),
                                 FrameLimit);
        QVERIFY(!m_camera->imgFrame()->image().isNull()); // the last picture stays
        images.clear();
        m_sim->clearFaults();
        QTRY_VERIFY_WITH_TIMEOUT(images.count() >= 2, Limit);
    }

    void search(Kind kind)
    {
        ImgSearch* search = m_take->imgSearch();
        const qint64 start = m_take->firstFrame() + 5;
        QVERIFY(showFrame(start));
        m_sim->addFault(faultFor(kind, Search));
        search->setStep(1);
        search->setThreshold(0);
        search->start(true);
        QTRY_COMPARE_WITH_TIMEOUT(search->state(), ImgSearch::Idle, FrameLimit);
        QCOMPARE(m_take->fr() > start, harmless(kind));
        m_sim->clearFaults();
        QVERIFY(showFrame(start));
        search->start(true);
        QTRY_COMPARE_WITH_TIMEOUT(search->state(), ImgSearch::Idle, Limit);
        QVERIFY(m_take->fr() > start);
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        q7sim::CameraConfig config;
        config.res = QStringLiteral("128x64");
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        m_take = SimCameras::recordedTake(m_sim, 30, 30);
        QVERIFY(m_take);
        m_camera = qobject_cast<Camera*>(m_take->parent());
        QVERIFY(m_camera);
    }

    void sweep_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("kind");
        for (int operation = Poll; operation <= Search; ++operation)
            for (int kind = Slow; kind <= Unaligned; ++kind)
                if (isTransfer(Operation(operation)) || kind < EndsEarly)
                    QTest::addRow("%s, %s", OperationNames[operation], KindNames[kind]) << operation << kind;
    }

    void sweep()
    {
        QFETCH(int, operation);
        QFETCH(int, kind);
        QVERIFY(QTest::qWaitFor([this] { return m_camera->responding(); }, Limit));
        VornApp::instance()->setSelectedVornObject(operation == LiveImage ? static_cast<VornObject*>(m_camera)
                                                                          : m_take);
        if (operation == LiveImage)
            QTRY_VERIFY_WITH_TIMEOUT(!m_camera->imgFrame()->image().isNull(), Limit);
        m_sim->clearRequests();
        if (operation != Search)
            m_sim->addFault(faultFor(Kind(kind), Operation(operation)));
        switch (operation) {
        case Poll:
            poll(Kind(kind));
            break;
        case ValueWrite:
            valueWrite(Kind(kind));
            break;
        case LiveImage:
            liveImage(Kind(kind));
            break;
        case Search:
            search(Kind(kind));
            break;
        }
        m_sim->clearFaults();
    }
};

VORN_TEST_MAIN(TestFaultSweep)
#include "tst_faultsweep.moc"
