// Faults a simulated camera can show, and the requests it records, seen by a
// real HTTP client.
#include "FrameSynth.h"
#include "JsonPath.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QJsonArray>
#include <QTest>

using namespace q7sim;

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void delays();
    void httpErrors();
    void singleFrameLockHoldsTheTake();
    void cameraStopsAnswering();

private:
    QByteArray range(int count) const
    {
        return QStringLiteral("{\"type\":3,\"src\":0,\"take\":1,\"start\":0,\"cnt\":%1}")
            .arg(count)
            .toLatin1();
    }
    QByteArray expectedRecords(int count) const
    {
        QByteArray bytes;
        for (int f = 0; f < count; ++f)
            bytes += FrameSynth::record(m_params, f, XferBoth);
        return bytes;
    }

    std::unique_ptr<SimCamera> m_camera;
    FrameParams m_params;
    int m_recordSize = 0;
};

void TestFaults::initTestCase()
{
    CameraConfig config;
    config.address = QStringLiteral("127.0.0.2");
    config.res = QStringLiteral("128x64");
    m_camera = std::make_unique<SimCamera>(config);
    QVERIFY(m_camera->start());
    SimHttpClient http(config.address);
    QCOMPARE(http.put("/acq/trig_offset", "20").status, 200);
    QCOMPARE(http.post("/rec").status, 200);
    QCOMPARE(http.post("/trig").status, 200);
    QTRY_VERIFY_WITH_TIMEOUT(m_camera->takeFrameParams(1).has_value(), 3000);
    m_params = *m_camera->takeFrameParams(1);
    m_recordSize = FrameSynth::recordSize(m_params, XferBoth);
    QCOMPARE(m_recordSize, 32 + 128 * 64);
}

void TestFaults::cleanup()
{
    m_camera->clearFaults();
}

void TestFaults::delays()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    m_camera->addFault(Fault::delay(300));
    SimHttpReply reply = http.get(QString());
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.elapsedMs >= 290);
    // Limited to one path, other paths answer at once.
    m_camera->clearFaults();
    m_camera->addFault(Fault::delay(300, QStringLiteral("/takes")));
    reply = http.get(QString());
    QVERIFY(reply.elapsedMs < 250);
    reply = http.get(QStringLiteral("/takes/take1"));
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.elapsedMs >= 290);
}

void TestFaults::httpErrors()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    m_camera->addFault(Fault::httpError(500, false));
    SimHttpReply reply = http.get(QString());
    QCOMPARE(reply.status, 500);
    QVERIFY(reply.error != QNetworkReply::NoError);
    QVERIFY(reply.body.isEmpty());

    m_camera->clearFaults();
    m_camera->addFault(Fault::httpError(503, true, QStringLiteral("/xfer")));
    reply = http.post("/xfer", range(1));
    QCOMPARE(reply.status, 503);
    QCOMPARE(reply.json().value("error").toString(), QStringLiteral("simulated camera fault"));
    QCOMPARE(http.get(QString()).status, 200); // other paths are fine

    // A fault can be limited to a number of requests.
    m_camera->clearFaults();
    Fault once = Fault::httpError(503, false);
    once.remaining = 1;
    m_camera->addFault(once);
    QCOMPARE(http.get(QString()).status, 503);
    QCOMPARE(http.get(QString()).status, 200);
}

void TestFaults::singleFrameLockHoldsTheTake()
{
    // A slow single-frame transfer with "lock" keeps its take locked until it ends.
    m_camera->addFault(Fault::xferPieces(500, 10));
    QNetworkAccessManager manager;
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.2/xfer")));
    request.setRawHeader("Content-Type", "application/json");
    QNetworkReply* reply = manager.post(
        request, QByteArray("{\"type\":3,\"src\":0,\"take\":1,\"start\":3,\"cnt\":1,\"lock\":1}"));
    QVERIFY(QTest::qWaitFor([reply] { return reply->bytesAvailable() > 0; }, 5000));
    auto lockedTakes = [this] {
        return m_camera->stateDocument().value("acq").toObject().value("locked_takes").toArray();
    };
    QCOMPARE(lockedTakes(), QJsonArray{1});
    QVERIFY(QTest::qWaitFor([reply] { return reply->isFinished(); }, 10000));
    QVERIFY(reply->readAll() == FrameSynth::record(m_params, 3, XferBoth));
    QTRY_COMPARE_WITH_TIMEOUT(lockedTakes(), QJsonArray(), 2000);
    delete reply;
}

void TestFaults::cameraStopsAnswering()
{
    CameraConfig config;
    config.address = QStringLiteral("127.0.0.3");
    SimCamera camera(config);
    QVERIFY(camera.start());
    SimHttpClient http(config.address);
    camera.addFault(Fault::noAnswer());
    const SimHttpReply hung = http.get(QString(), 500);
    QVERIFY(!hung.finished);
    QCOMPARE(camera.requests().size(), 1); // it arrived, and nothing came back
    camera.clearFaults();
    SimHttpClient again(config.address);
    QCOMPARE(again.get(QString()).status, 200);

    // A camera that hangs still stops at once.
    camera.addFault(Fault::noAnswer());
    QVERIFY(!http.get(QString(), 300).finished);
    QElapsedTimer clock;
    clock.start();
    camera.stop();
    QVERIFY(clock.elapsed() < 3000);
}

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
