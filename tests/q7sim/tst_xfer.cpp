// Frame transfer from a simulated camera: the exact bytes and headers of
// ranges, single frames and the live image, and the synthetic frames' content.
#include "Compander.h"
#include "FrameSynth.h"
#include "JsonPath.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QDateTime>
#include <QJsonArray>
#include <QSet>
#include <QTest>
#include <QTimer>

using namespace q7sim;

namespace {

QJsonValue at(const QJsonObject& doc, const char* path)
{
    return JsonPath::get(doc, QString::fromLatin1(path));
}

QJsonObject takeOf(SimHttpClient& http, int take)
{
    return http.get(QStringLiteral("/takes/take%1").arg(take))
        .json()
        .value("takes")
        .toObject()
        .value(QStringLiteral("take%1").arg(take))
        .toObject();
}

// Records one take with about `preFrames` frames before the trigger.
QJsonObject recordTake(SimHttpClient& http, int preFrames, int postFrames)
{
    http.put("/acq/trig_offset", QByteArray::number(postFrames));
    http.post("/rec");
    QTest::qWait(preFrames + 5); // 1000 fps
    http.post("/trig");
    QElapsedTimer clock;
    clock.start();
    while (!at(http.state(), "acq/saved_takes").toArray().contains(1) && clock.elapsed() < 5000)
        QTest::qWait(10);
    return takeOf(http, 1);
}

QByteArray xferBody(int type, int take, qint64 start, qint64 count)
{
    return QStringLiteral("{\"type\":%1,\"src\":0,\"take\":%2,\"start\":%3,\"cnt\":%4}")
        .arg(type)
        .arg(take)
        .arg(start)
        .arg(count)
        .toLatin1();
}

// Little-endian 32-bit word `index` of a metadata block (0 past its end).
quint32 word(const QByteArray& block, int index)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i) {
        const int at = 4 * index + i;
        value = (value << 8) | (at < block.size() ? static_cast<uint8_t>(block.at(at)) : 0u);
    }
    return value;
}

} // namespace

class TestXfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void colourLayouts();
    void metadataOverTheTake();
    void pictureDependsOnSeedCameraTakeFrame();
    void lightFollowsExposureApertureAndShutter();
    void bandwidthLimit();

private:
    std::unique_ptr<SimCamera> m_camera;
    QJsonObject m_take;
};

void TestXfer::initTestCase()
{
    CameraConfig config;
    config.address = QStringLiteral("127.0.0.2");
    config.res = QStringLiteral("320x240");
    config.cfa = Cfa::RGGB;
    config.seed = 42;
    m_camera = std::make_unique<SimCamera>(config);
    QVERIFY(m_camera->start());
    SimHttpClient http(config.address);
    m_take = recordTake(http, 30, 400);
    QVERIFY(m_take.value("first_fr").toInt() <= -20);
    QCOMPARE(m_take.value("last_fr").toInt(), 399);
}

void TestXfer::cleanupTestCase()
{
    m_camera.reset();
}

void TestXfer::colourLayouts()
{
    // The image carries each site's own colour of the scene.
    FrameParams params = FrameParams::fromTakeDocument(m_take, 42, 1);
    const QByteArray image = FrameSynth::image(params, 3);
    for (int y : {0, 1, 100, 239})
        for (int x : {0, 1, 160, 319})
            QCOMPARE(uint8_t(image.at(y * 320 + x)), Compander::codeFromLinear(FrameSynth::sceneLinear(
                                                         params, 3, x, y, cfaChannelAt(Cfa::RGGB, x, y))));
}

void TestXfer::metadataOverTheTake()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    const qint64 first = m_take.value("first_fr").toInteger();
    const qint64 count = m_take.value("fr_cnt").toInteger();
    const SimHttpReply reply = http.post("/xfer", xferBody(2, 1, first, count));
    QCOMPARE(reply.body.size(), 32 * count);
    const qint64 yearOffset = at(m_take, "meta/year_offset").toInteger();
    const qint64 trigger = (m_take.value("trig_ts_s").toInteger() - yearOffset) * 1000000000LL +
                           m_take.value("trig_ts_ns").toInteger();
    QCOMPARE(at(m_take, "acq/fr_clks").toInteger(), 100000); // 1000 fps: 1 ms per frame
    QSet<bool> locks, events1, events2;
    for (qint64 i = 0; i < count; ++i) {
        const QByteArray block = reply.body.mid(32 * i, 32);
        const qint64 frame = first + i;
        const qint64 seconds = word(block, 0) & 0x1FFFFFF;
        const qint64 nanos = word(block, 1) & 0x3FFFFFFF;
        QVERIFY(nanos < 1000000000);
        QCOMPARE(seconds * 1000000000LL + nanos, trigger + frame * 1000000);
        locks.insert(word(block, 1) >> 30 & 1);
        events1.insert(word(block, 1) >> 31 & 1);
        events2.insert(word(block, 2) >> 31 & 1);
        QCOMPARE(word(block, 3), 1u); // user data: the take number, then the frame number
        QCOMPARE(qint32(word(block, 4)), qint32(frame));
    }
    // Time code lock and both events change during the take.
    QCOMPARE(locks.size(), 2);
    QCOMPARE(events1.size(), 2);
    QCOMPARE(events2.size(), 2);
    // The seconds fit 25 bits because they count from the year's start.
    QVERIFY(trigger / 1000000000LL < (1 << 25));
}

void TestXfer::pictureDependsOnSeedCameraTakeFrame()
{
    FrameParams params = FrameParams::fromTakeDocument(m_take, 42, 1);
    const QByteArray frame10 = FrameSynth::image(params, 10);
    QVERIFY(frame10 == FrameSynth::image(params, 10));
    QVERIFY(frame10 != FrameSynth::image(params, 11)); // the scene moves
    FrameParams other = params;
    other.seed = 43;
    QVERIFY(frame10 != FrameSynth::image(other, 10));
    other = params;
    other.take = 2;
    QVERIFY(frame10 != FrameSynth::image(other, 10));
    other = params;
    other.serial += QLatin1Char('x');
    QVERIFY(frame10 != FrameSynth::image(other, 10));
    // A scene with edges and gradients uses much of the code range.
    QSet<char> codes;
    for (char c : frame10)
        codes.insert(c);
    QVERIFY(codes.size() > 100);
    // A monochrome frame is the grey of the scene.
    other = params;
    other.cfa = Cfa::Mono;
    const QByteArray grey = FrameSynth::image(other, 10);
    QCOMPARE(uint8_t(grey.at(321)), Compander::codeFromLinear(FrameSynth::sceneLinear(other, 10, 1, 1, -1)));
}

void TestXfer::lightFollowsExposureApertureAndShutter()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    auto meanLinear = [&] {
        const QByteArray record = http.post("/xfer", "{\"type\":1,\"src\":1}").body;
        double sum = 0;
        for (char code : record)
            sum += Compander::linearFromCode(static_cast<uint8_t>(code));
        return record.isEmpty() ? -1.0 : sum / record.size();
    };
    const double normal = meanLinear();
    QCOMPARE(http.put("/acq/exp_time", "100.000000").status, 200);
    const double shortExposure = meanLinear();
    QCOMPARE(http.put("/acq/exp_time", "950.000000").status, 200); // nearly the whole frame
    const double longExposure = meanLinear();
    QVERIFY(shortExposure < normal / 3);
    QVERIFY(longExposure > normal * 1.5);
    QCOMPARE(http.put("/lens/fstop", "22.000000").status, 200);
    QVERIFY(meanLinear() < longExposure / 4);
    QCOMPARE(http.post("/shtr", "{\"pos\":1}").status, 200);
    QVERIFY(meanLinear() < 4); // only the sensor noise remains
    QCOMPARE(http.post("/shtr", "{\"pos\":0}").status, 200);
    QCOMPARE(http.put("/lens/fstop", "5.600000").status, 200);
    QCOMPARE(http.put("/acq/exp_time", "500.030000").status, 200);
    QCOMPARE(at(http.state(), "acq/exp_clks").toInteger(), 50003);
}

void TestXfer::bandwidthLimit()
{
    // 8 MB/s shared by the camera's transfers: one transfer, then two at once.
    const int64_t limit = 8000000;
    CameraConfig config;
    config.address = QStringLiteral("127.0.0.9");
    config.res = QStringLiteral("320x240");
    config.xferBytesPerSecond = limit;
    SimCamera camera(config);
    QVERIFY(camera.start());
    SimHttpClient http(config.address);
    recordTake(http, 120, 10);
    const int recordBytes = 320 * 240 + 32;
    const int frames = 100; // 7.7 MB, about a second

    // The same transfer from the first camera, which has no limit, shows the
    // pace this machine manages now: the limited one may fall short of the
    // limit only as far as the machine itself does.
    const SimHttpReply free =
        SimHttpClient(QStringLiteral("127.0.0.2")).post("/xfer", xferBody(3, 1, -20, frames), 10000);
    QCOMPARE(free.status, 200);
    const double machineRate = free.body.size() * 1000.0 / std::max<qint64>(free.elapsedMs, 1);
    const double floor = 0.5 * std::min<double>(limit, machineRate);

    const SimHttpReply one = http.post("/xfer", xferBody(3, 1, -100, frames), 10000);
    QCOMPARE(one.status, 200);
    QCOMPARE(one.body.size(), frames * recordBytes);
    const double rate = one.body.size() * 1000.0 / one.elapsedMs;
    qInfo("one transfer: %.2f MB/s at a limit of %.2f MB/s (machine %.1f MB/s)", rate / 1e6, limit / 1e6,
          machineRate / 1e6);
    QVERIFY2(rate > floor && rate < 1.1 * limit, qPrintable(QString::number(rate)));

    // Two concurrent transfers together keep within the same limit.
    QNetworkAccessManager manager;
    QList<QNetworkReply*> replies;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 2; ++i) {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.9/xfer")));
        request.setRawHeader("Content-Type", "application/json");
        replies.append(manager.post(request, xferBody(3, 1, -100 + i, frames / 2)));
    }
    QTRY_VERIFY_WITH_TIMEOUT(replies[0]->isFinished() && replies[1]->isFinished(), 10000);
    const qint64 elapsed = clock.elapsed();
    qint64 bytes = 0;
    for (QNetworkReply* reply : replies) {
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        bytes += reply->readAll().size();
        delete reply;
    }
    QCOMPARE(bytes, qint64(frames) * recordBytes);
    const double shared = bytes * 1000.0 / elapsed;
    qInfo("two transfers: %.2f MB/s together", shared / 1e6);
    QVERIFY2(shared > floor && shared < 1.1 * limit, qPrintable(QString::number(shared)));
}

QTEST_GUILESS_MAIN(TestXfer)
#include "tst_xfer.moc"
