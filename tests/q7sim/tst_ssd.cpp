// The simulated camera's SSD over real HTTP where the program's own tests do
// not reach it: the camera's autosave, and a card pulled out during a save.
#include "JsonPath.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>

using namespace q7sim;

namespace {

const int Width = 320;
const int Height = 240;
const int RecordBytes = Width * Height + 32;
const int PartitionFrames = 50;
// A file: a 4096-byte header, then the frame records.
const qint64 FileBytes = PartitionFrames * qint64(RecordBytes) + 4096;

QJsonValue at(const QJsonObject& doc, const char* path)
{
    return JsonPath::get(doc, QString::fromLatin1(path));
}

std::unique_ptr<SimCamera> startCamera(const QString& address, int64_t writeBytesPerSecond = 1LL << 30,
                                       bool oldFirmware = false)
{
    CameraConfig config;
    config.address = address;
    config.res = QStringLiteral("320x240");
    config.memoryBytes = uint64_t(PartitionFrames) * RecordBytes;
    config.ssdBytes = 1ULL << 30;
    config.ssdStepMs = 150;
    config.ssdFormatMs = 300;
    config.ssdWriteBytesPerSecond = writeBytesPerSecond;
    config.oldFirmware = oldFirmware;
    auto camera = std::make_unique<SimCamera>(config);
    if (!camera->start())
        qWarning() << camera->errorString();
    return camera;
}

// Records take 1, a whole partition: frames -40 .. 9.
bool recordTake(SimHttpClient& http)
{
    if (http.put("/acq/trig_offset", "10").status != 200 || http.post("/rec").status != 200)
        return false;
    QTest::qWait(100); // more than a partition at 1000 fps
    if (http.post("/trig").status != 200)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!at(http.state(), "acq/saved_takes").toArray().contains(1) && clock.elapsed() < 5000)
        QTest::qWait(10);
    return at(http.state(), "acq/saved_takes").toArray().contains(1);
}

QByteArray saveBody(qint64 start, qint64 count, const QString& name = QString())
{
    return QStringLiteral("{\"take\":1,\"start\":%1,\"cnt\":%2,\"name\":\"%3\",\"del_take\":0}")
        .arg(start)
        .arg(count)
        .arg(name)
        .toLatin1();
}

bool waitForWrSeq(SimHttpClient& http, int seq, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (at(http.state(), "ssd/wr_seq").toInt() < seq && clock.elapsed() < timeoutMs)
        QTest::qWait(10);
    return at(http.state(), "ssd/wr_seq").toInt() >= seq;
}

} // namespace

class TestSsd : public QObject
{
    Q_OBJECT

private slots:
    void cameraAutosave();
    void cardPulledDuringASave();
};

void TestSsd::cameraAutosave()
{
    // Slow writes, so the take is seen before a deleting autosave removes it.
    auto camera = startCamera(QStringLiteral("127.0.0.10"), 8LL << 20);
    SimHttpClient http(QStringLiteral("127.0.0.10"));
    // Enabled with a selection: frames -5 .. 4 of each new take, named "auto".
    QCOMPARE(http.put("/ssd/autosave/mode", "3").status, 200);
    QCOMPARE(http.put("/ssd/autosave/start", "-5").status, 200);
    QCOMPARE(http.put("/ssd/autosave/cnt", "10").status, 200);
    QCOMPARE(http.put("/ssd/autosave/name", "\"auto\"").status, 200);
    QVERIFY(recordTake(http));
    QVERIFY(waitForWrSeq(http, 1));
    QCOMPARE(http.post("/ssd-fopen", "{\"name\":\"auto.vorn\"}").json().value("take").toInt(), 1);
    const QJsonObject doc = http.get("/ssd/takes/take1").json();
    QCOMPARE(at(doc, "ssd/takes/take1/first_fr").toInt(), -5);
    QCOMPARE(at(doc, "ssd/takes/take1/last_fr").toInt(), 4);
    QVERIFY(at(http.state(), "acq/saved_takes").toArray().contains(1)); // kept

    // Disabled: a new take stays in memory only.
    QCOMPARE(http.put("/ssd/autosave/mode", "0").status, 200);
    QCOMPARE(http.post("/del", "{\"take\":1}").status, 200);
    QVERIFY(recordTake(http));
    QTest::qWait(300);
    QCOMPARE(at(http.state(), "ssd/wr_seq").toInt(), 1);
    QCOMPARE(at(http.state(), "ssd/wr_state").toInt(), 0);

    // Whole takes, deleted from memory once written; no name: the camera's.
    QCOMPARE(http.put("/ssd/autosave/mode", "5").status, 200);
    QCOMPARE(http.put("/ssd/autosave/name", "\"\"").status, 200);
    QCOMPARE(http.post("/del", "{\"take\":1}").status, 200);
    QVERIFY(recordTake(http));
    QCOMPARE(at(http.state(), "acq/locked_takes").toArray(), QJsonArray{1});
    QVERIFY(waitForWrSeq(http, 2));
    QVERIFY(at(http.state(), "acq/saved_takes").toArray().isEmpty());
    const QJsonArray listing = http.post("/ssd-ls", "{\"long\": 1}").json().value("ssd-ls").toArray();
    QCOMPARE(listing.size(), 2);
    QJsonObject whole;
    for (const QJsonValue& entry : listing)
        if (entry.toObject().value("name").toString() != QLatin1String("auto.vorn"))
            whole = entry.toObject();
    QVERIFY(whole.value("name").toString().startsWith("clip_"));
    QCOMPARE(whole.value("size").toDouble(), double(FileBytes));
}

void TestSsd::cardPulledDuringASave()
{
    auto camera = startCamera(QStringLiteral("127.0.0.11"), 4LL << 20);
    SimHttpClient http(QStringLiteral("127.0.0.11"));
    QVERIFY(recordTake(http));
    QCOMPARE(http.post("/ssd-save", saveBody(-40, 50, QStringLiteral("kept"))).status, 200);
    QVERIFY(waitForWrSeq(http, 1));

    // A card pulled out during a save: the save is lost, the take unlocked.
    QCOMPARE(http.post("/ssd-save", saveBody(-40, 50, QStringLiteral("lost"))).status, 200);
    QCOMPARE(at(http.state(), "ssd/wr_state").toInt(), 1);
    camera->removeSsd();
    QJsonObject doc = http.state();
    QCOMPARE(at(doc, "ssd/state").toInt(), 0);
    QCOMPARE(at(doc, "ssd/wr_state").toInt(), 0);
    QCOMPARE(at(doc, "ssd/wr_seq").toInt(), 2); // done with, though not written
    QVERIFY(at(doc, "acq/locked_takes").toArray().isEmpty());
    const SimHttpReply reply = http.post("/ssd-save", saveBody(0, 5));
    QCOMPARE(reply.status, 409);
    QCOMPARE(reply.json().value("error").toString(), QStringLiteral("SSD not ready"));
    QCOMPARE(http.post("/ssd-fopen", "{\"name\":\"kept.vorn\"}").status / 100, 4);
}

QTEST_MAIN(TestSsd)
#include "tst_ssd.moc"
