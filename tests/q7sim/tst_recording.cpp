// A simulated camera's black reference over real HTTP (its recording, lens
// and shutter are driven through the program by the camera and view tests).
#include "JsonPath.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QTest>

using namespace q7sim;

namespace {

QJsonValue at(const QJsonObject& doc, const char* path)
{
    return JsonPath::get(doc, QString::fromLatin1(path));
}

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

private slots:
    void blackReferenceSlots();

private:
    std::unique_ptr<SimCamera> start(const QString& address, int brefSlots = 8);
};

std::unique_ptr<SimCamera> TestRecording::start(const QString& address, int brefSlots)
{
    CameraConfig config;
    config.address = address;
    config.res = QStringLiteral("320x240");
    config.brefSlots = brefSlots;
    config.brefDurationMs = 500;
    auto camera = std::make_unique<SimCamera>(config);
    if (!camera->start())
        qWarning() << camera->errorString();
    return camera;
}

void TestRecording::blackReferenceSlots()
{
    auto camera = start(QStringLiteral("127.0.0.6"), 2);
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

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
