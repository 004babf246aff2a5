// Simulator faults the program's tests rely on, seen by a real HTTP client.
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
    void singleFrameLockHoldsTheTake();

private:
    std::unique_ptr<SimCamera> m_camera;
    FrameParams m_params;
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
}

void TestFaults::cleanup()
{
    m_camera->clearFaults();
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

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
