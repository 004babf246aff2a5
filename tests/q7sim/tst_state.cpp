// The state document and value writes of a simulated camera, over real HTTP.
#include "JsonPath.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QDateTime>
#include <QJsonArray>
#include <QTest>

using namespace q7sim;

class TestState : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void exposureWritesFollowTheGrid();
    void frameClockWritesAreClamped();
    void oddLimitsStillAnswer();
    void otherWrites();

private:
    QJsonValue at(const QJsonObject& doc, const char* path)
    {
        return JsonPath::get(doc, QString::fromLatin1(path));
    }

    std::unique_ptr<SimCamera> m_colour;
};

void TestState::initTestCase()
{
    CameraConfig colour;
    colour.address = QStringLiteral("127.0.0.2");
    colour.cfa = Cfa::GBRG;
    colour.serial = QStringLiteral("70001");
    m_colour = std::make_unique<SimCamera>(colour);
    QVERIFY2(m_colour->start(), qPrintable(m_colour->errorString()));
}

void TestState::cleanupTestCase()
{
    m_colour.reset();
}

void TestState::exposureWritesFollowTheGrid()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    const QJsonObject before = http.state();
    const qint64 ofst = at(before, "acq/exp_clks_ofst").toInteger();
    const qint64 mult = at(before, "acq/exp_clks_mult").toInteger();
    QVERIFY(mult > 1);

    // An off-grid count lands on the nearest grid count.
    QCOMPARE(http.put("/acq/exp_clks", QByteArray::number(ofst + 40 * mult + 2)).status, 200);
    QCOMPARE(at(http.state(), "acq/exp_clks").toInteger(), ofst + 40 * mult);
    QCOMPARE(http.put("/acq/exp_clks", QByteArray::number(ofst + 40 * mult + mult - 1)).status, 200);
    QCOMPARE(at(http.state(), "acq/exp_clks").toInteger(), ofst + 41 * mult);

    // Beyond the limits: the extreme grid counts inside them.
    QCOMPARE(http.put("/acq/exp_clks", "1").status, 200);
    QJsonObject doc = http.state();
    const qint64 minimum = at(doc, "acq/exp_clks_min").toInteger();
    QCOMPARE(at(doc, "acq/exp_clks").toInteger(), ofst + ((minimum - ofst + mult - 1) / mult) * mult);
    QCOMPARE(http.put("/acq/exp_clks", "999999999").status, 200);
    doc = http.state();
    const qint64 maximum = at(doc, "acq/exp_clks_max").toInteger();
    QCOMPARE(at(doc, "acq/exp_clks").toInteger(), ofst + ((maximum - ofst) / mult) * mult);
    QVERIFY(maximum < at(doc, "acq/fr_clks").toInteger()); // exposure fits in the frame

    // The exposure time in microseconds is an alternative way in.
    QCOMPARE(http.put("/acq/exp_time", "250.000000").status, 200);
    doc = http.state();
    QCOMPARE(at(doc, "acq/exp_clks").toInteger(), ofst + ((25000 - ofst + mult / 2) / mult) * mult);
    QCOMPARE(at(doc, "acq/exp_time").toDouble(), at(doc, "acq/exp_clks").toDouble() / 100.0);

    // A low-light exposure may be longer than a frame but stays on the grid.
    QCOMPARE(http.put("/camera/low_light/exp_clks", "5000000").status, 200);
    QCOMPARE((at(http.state(), "camera/low_light/exp_clks").toInteger() - ofst) % mult, 0);
}

void TestState::frameClockWritesAreClamped()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    QJsonObject doc = http.state();
    const qint64 frMin = at(doc, "acq/fr_clks_min").toInteger();
    const qint64 frMax = at(doc, "acq/fr_clks_max").toInteger();

    QCOMPARE(http.put("/acq/fr_clks", "10").status, 200);
    QCOMPARE(at(http.state(), "acq/fr_clks").toInteger(), frMin);
    QCOMPARE(http.put("/acq/fr_clks", QByteArray::number(frMax * 10)).status, 200);
    QCOMPARE(at(http.state(), "acq/fr_clks").toInteger(), frMax);
    QCOMPARE(http.put("/acq/fr_rate", "2000.000000").status, 200);
    doc = http.state();
    QCOMPARE(at(doc, "acq/fr_clks").toInteger(), 50000);
    QCOMPARE(at(doc, "acq/fr_rate").toDouble(), 2000.0);
    // A shorter frame shortens the longest exposure and pulls the exposure in.
    QCOMPARE(http.put("/acq/exp_clks", "49000").status, 200);
    QCOMPARE(http.put("/acq/fr_clks", "30000").status, 200);
    doc = http.state();
    QVERIFY(at(doc, "acq/exp_clks_max").toInteger() < 30000);
    QVERIFY(at(doc, "acq/exp_clks").toInteger() <= at(doc, "acq/exp_clks_max").toInteger());

    // A larger resolution raises the shortest frame period.
    QCOMPARE(http.put("/acq/res", "\"1920x1080\"").status, 200);
    doc = http.state();
    QCOMPARE(at(doc, "acq/res").toString(), QStringLiteral("1920x1080"));
    QVERIFY(at(doc, "acq/fr_clks_min").toInteger() > frMin);
    QVERIFY(at(doc, "acq/fr_clks").toInteger() >= at(doc, "acq/fr_clks_min").toInteger());
    // A resolution the sensor does not offer is refused and changes nothing.
    const SimHttpReply refused = http.put("/acq/res", "\"1000x1000\"");
    QCOMPARE(refused.status, 400);
    QVERIFY(!refused.json().value("error").toString().isEmpty());
    QCOMPARE(at(http.state(), "acq/res").toString(), QStringLiteral("1920x1080"));
    QCOMPARE(http.put("/acq/res", "\"640x480\"").status, 200);
}

void TestState::oddLimitsStillAnswer()
{
    CameraConfig config;
    config.address = QStringLiteral("127.0.0.4");
    SimCamera camera(config);
    QVERIFY(camera.start());
    SimHttpClient http(config.address);
    // Limits a test sets to provoke the program: the camera keeps answering.
    QCOMPARE(http.put("/acq/exp_clks_mult", "0").status, 200);
    QCOMPARE(http.put("/acq/exp_clks", "12345").status, 200);
    QCOMPARE(at(http.state(), "acq/exp_clks").toInteger(), 12345);
    QCOMPARE(http.put("/acq/exp_clks_mult", "-7").status, 200);
    QCOMPARE(http.put("/acq/exp_clks", "777").status, 200);
    QCOMPARE(at(http.state(), "acq/exp_clks").toInteger(), 777);
    QCOMPARE(http.put("/acq/fr_clks_max", "4294967295").status, 200);
    QCOMPARE(http.put("/acq/fr_clks", "4294967295").status, 200);
    QJsonObject doc = http.state();
    QCOMPARE(at(doc, "acq/fr_clks_max").toInteger(), Q_INT64_C(4294967295));
    QCOMPARE(at(doc, "acq/fr_clks").toInteger(), Q_INT64_C(4294967295));
    QCOMPARE(http.put("/acq/fr_rate", "0").status, 200);
    QCOMPARE(http.put("/acq/clk_freq", "0").status, 200);
    QCOMPARE(http.put("/acq/fr_rate", "100").status, 200);
    doc = http.state();
    QCOMPARE(at(doc, "acq/clk_freq").toInteger(), 0);
    QCOMPARE(at(doc, "acq/fr_rate").toDouble(), 0.0);
}

void TestState::otherWrites()
{
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    // Strings, with the program's quoting.
    QCOMPARE(http.put("/camera/name", "\"Bench camera\"").status, 200);
    QCOMPARE(at(http.state(), "camera/name").toString(), QStringLiteral("Bench camera"));
    QCOMPARE(http.put("/video/format", "\"1920x1080p30\"").status, 200);
    QCOMPARE(http.put("/video/format", "\"4096x2160p60\"").status, 400);
    QCOMPARE(at(http.state(), "video/format").toString(), QStringLiteral("1920x1080p30"));

    // The trigger offset is an unsigned 32-bit frame count.
    QCOMPARE(http.put("/acq/trig_offset", "4294967300").status, 200);
    QCOMPARE(at(http.state(), "acq/trig_offset").toInteger(), Q_INT64_C(4294967295));
    QCOMPARE(http.put("/acq/trig_offset", "250").status, 200);
    QCOMPARE(at(http.state(), "acq/trig_offset").toInteger(), 250);

    // The lens stops at third-stop f-numbers between its limits.
    QCOMPARE(http.put("/lens/fstop", "7.000000").status, 200);
    QCOMPARE(at(http.state(), "lens/fstop").toDouble(), 7.1);
    QCOMPARE(http.put("/lens/fstop", "1.000000").status, 200);
    QCOMPARE(at(http.state(), "lens/fstop").toDouble(), at(http.state(), "lens/fstop_max").toDouble());

    // I/O lines: timings are clamped to their widths.
    QCOMPARE(http.put("/io/io5/signal", "\"event1\"").status, 200);
    QCOMPARE(http.put("/io/io5/filter", "999999").status, 200);
    QCOMPARE(http.put("/io/io5/delay", "-5").status, 200);
    QJsonObject doc = http.state();
    QCOMPARE(at(doc, "io/io5/signal").toString(), QStringLiteral("event1"));
    QCOMPARE(at(doc, "io/io5/filter").toInteger(), (1 << 18) - 1);
    QCOMPARE(at(doc, "io/io5/delay").toInteger(), 0);

    // Frame sync without a signal reports a negative state.
    QCOMPARE(http.put("/acq/fsync_mode", "1").status, 200);
    QVERIFY(at(http.state(), "acq/fsync_state").toInt() < 0);
    QCOMPARE(http.put("/acq/fsync_mode", "0").status, 200);
    QCOMPARE(at(http.state(), "acq/fsync_state").toInt(), 0);

    // Setting the clock moves the camera time.
    QCOMPARE(http.put("/meta/time", "\"2024-03-01 12:00:05\"").status, 200);
    doc = http.state();
    const QDateTime time =
        QDateTime::fromString(at(doc, "meta/time").toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QVERIFY(time >= QDateTime(QDate(2024, 3, 1), QTime(12, 0, 5)));
    QVERIFY(time <= QDateTime(QDate(2024, 3, 1), QTime(12, 0, 8)));
    QCOMPARE(at(doc, "meta/year_offset").toInteger(),
             QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
    QCOMPARE(http.put("/meta/time",
                      QByteArray("\"") +
                          QDateTime::currentDateTimeUtc().toString("yyyy-MM-dd hh:mm:ss").toLatin1() + "\"")
                 .status,
             200);

    // What the camera derives itself cannot be written; unknown values do not exist.
    QCOMPARE(http.put("/acq/state", "3").status, 403);
    QCOMPARE(at(http.state(), "acq/state").toInt(), 1);
    QCOMPARE(http.put("/acq/no_such_value", "1").status, 404);
    QCOMPARE(http.put("/acq/exp_clks", "not json").status, 400);
}

QTEST_GUILESS_MAIN(TestState)
#include "tst_state.moc"
