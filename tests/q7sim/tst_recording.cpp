// Recording on a simulated camera: the acquisition states, partitions, takes
// and their documents, black reference, lens and shutter, over real HTTP.
#include "JsonPath.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QDateTime>
#include <QJsonArray>
#include <QTest>
#include <functional>

using namespace q7sim;

namespace {

QJsonValue at(const QJsonObject& doc, const char* path)
{
    return JsonPath::get(doc, QString::fromLatin1(path));
}

QJsonObject takeOf(SimHttpClient& http, int take)
{
    const SimHttpReply reply = http.get(QStringLiteral("/takes/take%1").arg(take));
    return reply.json().value("takes").toObject().value(QStringLiteral("take%1").arg(take)).toObject();
}

bool savedTakesAre(SimHttpClient& http, const QList<int>& takes)
{
    const QJsonArray saved = at(http.state(), "acq/saved_takes").toArray();
    QList<int> numbers;
    for (const QJsonValue& v : saved)
        numbers.append(v.toInt());
    return numbers == takes;
}

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recordTriggerSave();
    void abortBeforeAndAfterTrigger();
    void partitionsDeletesAndLocks();
    void delayedTrigger();
    void blackReferenceSlots();
    void lensAndShutter();
    void takeValuesWritable();

private:
    std::unique_ptr<SimCamera> start(const QString& address, int memoryFrames = 0, int brefSlots = 8);

    std::unique_ptr<SimCamera> m_camera;
};

std::unique_ptr<SimCamera> TestRecording::start(const QString& address, int memoryFrames, int brefSlots)
{
    CameraConfig config;
    config.address = address;
    config.res = QStringLiteral("320x240");
    config.brefSlots = brefSlots;
    config.brefDurationMs = 500;
    if (memoryFrames > 0)
        config.memoryBytes = static_cast<uint64_t>(memoryFrames) * (320 * 240 + 32);
    auto camera = std::make_unique<SimCamera>(config);
    if (!camera->start())
        qWarning() << camera->errorString();
    return camera;
}

void TestRecording::initTestCase()
{
    m_camera = start(QStringLiteral("127.0.0.2"));
    QVERIFY(m_camera->isRunning());
}

void TestRecording::recordTriggerSave()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    QCOMPARE(http.put("/acq/trig_offset", "1000").status, 200); // 1 s at 1000 fps
    const QJsonObject before = http.state();
    QCOMPARE(at(before, "acq/state").toInt(), 1);
    QCOMPARE(at(before, "acq/active_take").toInt(), 0);

    QCOMPARE(http.post("/rec").status, 200);
    QJsonObject doc = http.state();
    QCOMPARE(at(doc, "acq/state").toInt(), 2);
    QCOMPARE(at(doc, "acq/active_take").toInt(), 1);
    QTest::qWait(60);
    // While recording, the frames so far end just before the trigger.
    QJsonObject take = takeOf(http, 1);
    QCOMPARE(take.value("last_fr").toInt(), -1);
    QVERIFY(take.value("fr_cnt").toInt() >= 40);
    QCOMPARE(take.value("first_fr").toInt(), -take.value("fr_cnt").toInt());
    const qint64 beforeTrigger = QDateTime::currentSecsSinceEpoch();

    QCOMPARE(http.post("/trig").status, 200);
    QCOMPARE(at(http.state(), "acq/state").toInt(), 3);
    QVERIFY(!savedTakesAre(http, {1}));
    QTRY_VERIFY_WITH_TIMEOUT(savedTakesAre(http, {1}), 5000);
    doc = http.state();
    QCOMPARE(at(doc, "acq/state").toInt(), 1);
    QCOMPARE(at(doc, "acq/active_take").toInt(), 0);

    take = takeOf(http, 1);
    QCOMPARE(take.value("last_fr").toInt(), 999);
    QCOMPARE(take.value("pt_fr_cnt").toInt(), 1000);
    QCOMPARE(take.value("prtn_pt_cnt").toInt(), 1000);
    QVERIFY(take.value("first_fr").toInt() <= -40);
    QCOMPARE(take.value("fr_cnt").toInt(),
             take.value("last_fr").toInt() - take.value("first_fr").toInt() + 1);
    QCOMPARE(take.value("prtn_fr_cnt").toInt(), at(doc, "takes/take1/prtn_fr_cnt").toInt());
    QCOMPARE(at(take, "acq/res").toString(), QStringLiteral("320x240"));
    QCOMPARE(at(take, "camera/serial"), at(doc, "camera/serial"));
    QCOMPARE(at(take, "meta/year_offset"), at(doc, "meta/year_offset"));
    // The trigger time stamp is the camera clock at the trigger, in seconds since 1970.
    QVERIFY(take.value("trig_ts_s").toInteger() >= beforeTrigger);
    QVERIFY(take.value("trig_ts_s").toInteger() <= QDateTime::currentSecsSinceEpoch());
    QVERIFY(take.value("trig_ts_ns").toInteger() < 1000000000);

    // A take that is not in the partitions does not exist.
    QCOMPARE(http.get("/takes/take2").status, 404);
    QCOMPARE(http.post("/del", "{\"take\":1}").status, 200);
    QVERIFY(savedTakesAre(http, {}));
    QCOMPARE(takeOf(http, 1).value("fr_cnt").toInt(), 0);
}

void TestRecording::abortBeforeAndAfterTrigger()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    // Aborting a recording that waits for its trigger keeps nothing.
    QCOMPARE(http.post("/rec").status, 200);
    QCOMPARE(http.post("/rec").status, 409); // already recording
    QTest::qWait(30);
    QCOMPARE(http.post("/abort").status, 200);
    QJsonObject doc = http.state();
    QCOMPARE(at(doc, "acq/state").toInt(), 1);
    QVERIFY(savedTakesAre(http, {}));

    // After the trigger the frames so far are kept.
    QCOMPARE(http.put("/acq/trig_offset", "100000").status, 200);
    QCOMPARE(http.post("/trig").status, 409); // not recording
    QCOMPARE(http.post("/rec").status, 200);
    QTest::qWait(20);
    QCOMPARE(http.post("/trig").status, 200);
    QTest::qWait(100);
    QCOMPARE(http.post("/abort").status, 200);
    QVERIFY(savedTakesAre(http, {1}));
    const QJsonObject take = takeOf(http, 1);
    QVERIFY(take.value("last_fr").toInt() >= 50);
    QVERIFY(take.value("last_fr").toInt() < 100000);
    QCOMPARE(take.value("pt_fr_cnt").toInt(), take.value("last_fr").toInt() + 1);
    QCOMPARE(http.post("/del", "{\"take\":-1}").status, 200);
    QVERIFY(savedTakesAre(http, {}));
}

void TestRecording::partitionsDeletesAndLocks()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    const int whole = at(http.state(), "takes/take1/prtn_fr_cnt").toInt();
    QCOMPARE(http.post("/prtn", "{\"cnt\":3}").status, 200);
    QJsonObject doc = http.state();
    QCOMPARE(at(doc, "acq/prtn_cnt").toInt(), 3);
    for (const char* take : {"takes/take1/prtn_fr_cnt", "takes/take2/prtn_fr_cnt", "takes/take3/prtn_fr_cnt"})
        QCOMPARE(at(doc, take).toInt(), whole / 3);
    QVERIFY(at(doc, "takes/take4").isUndefined());

    QCOMPARE(http.put("/acq/trig_offset", "0").status, 200); // a trigger ends the recording at once
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(http.post("/rec").status, 200);
        QCOMPARE(at(http.state(), "acq/active_take").toInt(), n);
        QTest::qWait(5);
        QCOMPARE(http.post("/trig").status, 200);
        QTRY_COMPARE_WITH_TIMEOUT(at(http.state(), "acq/state").toInt(), 1, 2000);
    }
    QVERIFY(savedTakesAre(http, {1, 2, 3}));
    const SimHttpReply full = http.post("/rec");
    QCOMPARE(full.status, 409);
    QVERIFY(!full.json().value("error").toString().isEmpty());
    QCOMPARE(at(http.state(), "acq/state").toInt(), 1);
    QCOMPARE(http.post("/prtn", "{\"cnt\":2}").status, 409); // takes first

    // A locked take is listed and survives deletes.
    m_camera->setTakeLocked(2, true);
    QCOMPARE(at(http.state(), "acq/locked_takes").toArray(), QJsonArray{2});
    QCOMPARE(http.post("/del", "{\"take\":2}").status, 409);
    QCOMPARE(http.post("/del", "{\"take\":3}").status, 200);
    QVERIFY(savedTakesAre(http, {1, 2}));
    QCOMPARE(http.post("/del", "{\"take\":-1}").status, 200);
    QVERIFY(savedTakesAre(http, {2}));
    m_camera->setTakeLocked(2, false);
    QCOMPARE(at(http.state(), "acq/locked_takes").toArray(), QJsonArray());
    // The freed partition is the next one recorded.
    QCOMPARE(http.post("/rec").status, 200);
    QCOMPARE(at(http.state(), "acq/active_take").toInt(), 1);
    QCOMPARE(http.post("/abort").status, 200);
    QCOMPARE(http.post("/del", "{\"take\":-1}").status, 200);
    QCOMPARE(http.post("/prtn", "{\"cnt\":1}").status, 200);
    QCOMPARE(at(http.state(), "acq/prtn_cnt").toInt(), 1);
    QCOMPARE(http.post("/prtn", "{\"cnt\":0}").status, 400);
}

void TestRecording::delayedTrigger()
{
    // A trigger offset beyond the partition delays the recording: every frame
    // kept comes after the trigger.
    auto camera = start(QStringLiteral("127.0.0.5"), 100);
    SimHttpClient http(QStringLiteral("127.0.0.5"));
    const int partition = at(http.state(), "takes/take1/prtn_fr_cnt").toInt();
    QCOMPARE(partition, 100);
    QCOMPARE(http.put("/acq/trig_offset", "150").status, 200);
    QCOMPARE(http.post("/rec").status, 200);
    QTRY_COMPARE_WITH_TIMEOUT(at(http.state(), "acq/state").toInt(), 6, 2000); // partition wrapped
    QCOMPARE(http.post("/trig").status, 200);
    QTRY_VERIFY_WITH_TIMEOUT(savedTakesAre(http, {1}), 3000);
    const QJsonObject take = takeOf(http, 1);
    QCOMPARE(take.value("first_fr").toInt(), 50);
    QCOMPARE(take.value("last_fr").toInt(), 149);
    QCOMPARE(take.value("fr_cnt").toInt(), 100);
    QCOMPARE(take.value("pt_fr_cnt").toInt(), 100);
}

void TestRecording::blackReferenceSlots()
{
    auto camera = start(QStringLiteral("127.0.0.6"), 0, 2);
    SimHttpClient http(QStringLiteral("127.0.0.6"));
    QCOMPARE(at(http.state(), "acq/bref_state").toInt(), 0);
    SimHttpReply reply = http.post("/bref");
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.json().value("bref_state").toInt(), 2); // in progress
    QCOMPARE(at(http.state(), "acq/bref_state").toInt(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(at(http.state(), "acq/bref_state").toInt(), 0, 2000);

    // Each saved take holds the reference it was recorded with.
    auto recordTake = [&] {
        QCOMPARE(http.put("/acq/trig_offset", "0").status, 200);
        QCOMPARE(http.post("/rec").status, 200);
        QTest::qWait(5);
        QCOMPARE(http.post("/trig").status, 200);
        QTRY_COMPARE_WITH_TIMEOUT(at(http.state(), "acq/state").toInt(), 1, 2000);
    };
    QCOMPARE(http.post("/prtn", "{\"cnt\":2}").status, 200);
    recordTake();
    QCOMPARE(http.post("/bref").json().value("bref_state").toInt(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(at(http.state(), "acq/bref_state").toInt(), 0, 2000);
    recordTake();
    // Both slots are held by takes: no new reference can be taken.
    QCOMPARE(at(http.state(), "acq/bref_state").toInt(), 4);
    QCOMPARE(http.post("/bref").json().value("bref_state").toInt(), 4);
    QCOMPARE(http.post("/del", "{\"take\":1}").status, 200);
    QCOMPARE(at(http.state(), "acq/bref_state").toInt(), 0);

    // A new sensor set-up makes the reference invalid until the next one.
    QCOMPARE(http.put("/acq/res", "\"640x480\"").status, 200);
    QCOMPARE(at(http.state(), "acq/bref_state").toInt(), 1);
    QCOMPARE(http.post("/bref").json().value("bref_state").toInt(), 3);
    QTRY_COMPARE_WITH_TIMEOUT(at(http.state(), "acq/bref_state").toInt(), 0, 2000);
}

void TestRecording::lensAndShutter()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    QCOMPARE(http.post("/focus", "{\"step\":32767}").status, 200);
    QCOMPARE(at(http.state(), "lens/focus_dist").toDouble(), 65535.0);
    QCOMPARE(http.post("/focus", "{\"step\":0}").status, 200);
    const double nearest = at(http.state(), "lens/focus_dist").toDouble();
    QVERIFY(nearest > 0 && nearest < 1);
    QCOMPARE(http.post("/focus", "{\"step\":100}").status, 200);
    const double further = at(http.state(), "lens/focus_dist").toDouble();
    QVERIFY(further > nearest);
    QCOMPARE(http.post("/focus", "{\"step\":-100}").status, 200);
    QVERIFY(at(http.state(), "lens/focus_dist").toDouble() < further);

    QCOMPARE(http.post("/shtr", "{\"pos\":1}").status, 200);
    QCOMPARE(at(http.state(), "shtr/state").toInt(), 1);
    QCOMPARE(http.post("/shtr", "{\"pos\":0}").status, 200);
    QCOMPARE(at(http.state(), "shtr/state").toInt(), 0);
    QCOMPARE(http.post("/shtr", "{\"pos\":2}").status, 400);

    // A lens that is not ready does not move.
    QCOMPARE(http.put("/lens/state", "1").status, 200);
    QCOMPARE(http.post("/focus", "{\"step\":1}").status, 409);
    QCOMPARE(http.put("/lens/state", "3").status, 200);
    QCOMPARE(http.post("/nonsense").status, 404);
}

void TestRecording::takeValuesWritable()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    QCOMPARE(http.put("/acq/trig_offset", "0").status, 200);
    QCOMPARE(http.post("/rec").status, 200);
    QTest::qWait(10);
    QCOMPARE(http.post("/trig").status, 200);
    QTRY_VERIFY_WITH_TIMEOUT(savedTakesAre(http, {1}), 2000);

    QCOMPARE(http.put("/takes/take1/adjust/gain", "2.500000").status, 200);
    QCOMPARE(http.put("/takes/take1/adjust/wb_r", "1.250000").status, 200);
    QCOMPARE(http.put("/takes/take1/acq/corr_mode", "1").status, 200);
    QCOMPARE(http.put("/takes/take1/name", "\"shot one\"").status, 200);
    const QJsonObject take = takeOf(http, 1);
    QCOMPARE(at(take, "adjust/gain").toDouble(), 2.5);
    QCOMPARE(at(take, "adjust/wb_r").toDouble(), 1.25);
    QCOMPARE(at(take, "acq/corr_mode").toInt(), 1);
    QCOMPARE(take.value("name").toString(), QStringLiteral("shot one"));
    // The camera's own adjustments are separate from the take's.
    QCOMPARE(at(http.state(), "adjust/gain").toDouble(), 1.0);
    // What was recorded stays as it was.
    QCOMPARE(http.put("/takes/take1/acq/res", "\"1920x1080\"").status, 403);
    QCOMPARE(http.put("/takes/take1/first_fr", "0").status, 403);
    QCOMPARE(http.put("/takes/take2/adjust/gain", "2.0").status, 404);
    QCOMPARE(http.post("/del", "{\"take\":-1}").status, 200);
}

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
