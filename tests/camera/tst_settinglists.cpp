#include "Camera.h"
#include "SettingListMath.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QStringListModel>
#include <algorithm>

namespace {

CameraValue* cameraValue(Camera* camera, const char* name)
{
    return camera->property(name).value<CameraValue*>();
}

QStringList decimals(QList<qint64> values, bool highestFirst)
{
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    if (highestFirst)
        std::reverse(values.begin(), values.end());
    QStringList texts;
    for (const qint64 value : values)
        texts << QString::number(value);
    return texts;
}

// The frame-rate list as a plain walk over every clock count between the
// limits, the way the camera's documentation describes it; only for small
// ranges.
QStringList plainRateScan(quint32 clk, quint32 frClks, quint32 min, quint32 max)
{
    QList<qint64> rates{clk / frClks};
    if (min > 0)
        rates << clk / min;
    for (quint64 n = std::max<quint32>(min, 1); n <= max; ++n) {
        if (clk % n == 0 && (clk / n) % 1000 == 0)
            rates << clk / n;
    }
    return decimals(rates, true);
}

// Microseconds of a clock count at 100 MHz, three decimals.
QString us100MHz(qint64 clocks)
{
    return QStringLiteral("%1.%2").arg(clocks / 100).arg(clocks % 100 * 10, 3, 10, QLatin1Char('0'));
}

} // namespace

class TestSettingLists : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_nam;
    SimCameras m_sims;

    q7sim::SimCamera* m_sim = nullptr;

    // A simulated camera (m_sim) and the program's camera connected to it.
    Camera* connectedCamera(const q7sim::CameraConfig& config = {})
    {
        m_sim = m_sims.start(config);
        return SimCameras::connect(m_sim);
    }

    // Puts a value on the camera and waits until the program has polled it.
    bool putAndWait(Camera* camera, const char* value, const QString& path, const QByteArray& body,
                    const QVariant& expected)
    {
        if (!SimCameras::put(m_sim->config().address, path, body))
            return false;
        return QTest::qWaitFor([&] { return cameraValue(camera, value)->value() == expected; }, 5000);
    }

private slots:
    void initTestCase() { VornTest::useNetwork(&m_nam); }

    void cleanup()
    {
        VornApp* app = VornApp::instance();
        for (VornObject* object : app->vornObjModel()->toList()) {
            app->vornObjModel()->remove(object);
            delete object;
        }
        m_sims.stopAll();
    }

    void frameRateExample()
    {
        Camera* camera = connectedCamera();
        QVERIFY(camera);
        QVERIFY(putAndWait(camera, "clkFreq", "/acq/clk_freq", "100000000", 100000000));
        QVERIFY(putAndWait(camera, "frClksMax", "/acq/fr_clks_max", "100000", 100000));
        QVERIFY(putAndWait(camera, "frClksMin", "/acq/fr_clks_min", "50000", 50000));
        QVERIFY(putAndWait(camera, "frClks", "/acq/fr_clks", "100000", 100000));
        QTRY_COMPARE(camera->frRateList()->stringList(), QStringList({"2000", "1000"}));
        QCOMPARE(camera->frRateListIndex(), 1);

        // A current rate off the thousands is still listed, in its place.
        QSignalSpy indexSignals(camera, &Camera::frRateListIndexChanged);
        QVERIFY(putAndWait(camera, "frClks", "/acq/fr_clks", "70000", 70000));
        QTRY_COMPARE(camera->frRateList()->stringList(), QStringList({"2000", "1428", "1000"}));
        QCOMPARE(camera->frRateListIndex(), 1);
        QVERIFY(indexSignals.count() >= 1);

        // External sync: the camera's own rate is the only choice.
        QSignalSpy listSignals(camera, &Camera::frRateListChanged);
        QVERIFY(putAndWait(camera, "fsyncMode", "/acq/fsync_mode", "1", 1));
        QTRY_COMPARE(camera->frRateList()->stringList(), QStringList({"1428.57"}));
        QCOMPARE(camera->frRateListIndex(), 0);
        QVERIFY(listSignals.count() >= 1);
        QVERIFY(putAndWait(camera, "fsyncMode", "/acq/fsync_mode", "0", 0));
        QTRY_COMPARE(camera->frRateList()->stringList(), QStringList({"2000", "1428", "1000"}));
    }

    void frameRateWideRangeIsBounded()
    {
        Camera* camera = connectedCamera();
        QVERIFY(camera);
        // -1 read as an unsigned 32-bit count: up to 0xFFFFFFFF clocks per frame.
        QVERIFY(putAndWait(camera, "frClksMax", "/acq/fr_clks_max", "-1", -1));
        QVERIFY(putAndWait(camera, "frClksMin", "/acq/fr_clks_min", "1", 1));
        // Every rate 1000 k with k a divisor of 100000 (clk = 10^8).
        QList<qint64> expected;
        for (qint64 k = 1; k <= 100000; ++k) {
            if (100000 % k == 0)
                expected << 1000 * k;
        }
        QTRY_COMPARE(camera->frRateList()->stringList(), decimals(expected, true));
        QCOMPARE(camera->frRateList()->rowCount(), 36);
        const QString current =
            QString::number(100000000 / quint32(cameraValue(camera, "frClks")->value().toInt()));
        QCOMPARE(camera->frRateListIndex(), camera->frRateList()->stringList().indexOf(current));
        QVERIFY(camera->frRateListIndex() >= 0);

        // The widest limits a camera can report, computed directly, stay fast.
        QElapsedTimer timer;
        timer.start();
        const auto widest = SettingListMath::frameRates(0xFFFFFFFFu, 1, 1, 0xFFFFFFFFu, 0);
        const auto round = SettingListMath::frameRates(2000000000u, 7, 1, 0xFFFFFFFFu, 0);
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(widest.entries,
                 QStringList({"4294967295"})); // 2^32-1 has no rate divisible by 1000 but itself
        QVERIFY(round.entries.contains("2000000000"));
        QVERIFY(round.entries.contains("1000"));
    }

    // A rate chosen or typed is the rate the list then shows and the rate a
    // take recorded at it reports: whole frames per second, truncated, the
    // period clk / r truncated. At 1280x1024 the camera runs 1525.88 fps at
    // most, listed as 1525.
    void frameRateRoundTrip()
    {
        q7sim::CameraConfig config;
        config.res = QStringLiteral("1280x1024");
        Camera* camera = connectedCamera(config);
        QVERIFY(camera);
        QTRY_COMPARE(camera->frRateList()->stringList().value(0), QStringLiteral("1525"));
        const auto shown = [camera] {
            return camera->frRateList()->stringList().value(camera->frRateListIndex());
        };
        const QStringList listed = camera->frRateList()->stringList();
        const auto onCamera = [this] {
            return m_sim->stateDocument().value("acq").toObject().value("fr_clks").toInt();
        };
        for (const QString& rate : listed + QStringList{"1524", "999", "30", "25", "1525"}) {
            QVERIFY(camera->writeFrameRate(rate.toDouble()));
            QTRY_COMPARE(onCamera(), cameraValue(camera, "frClks")->value().toInt());
            QTRY_COMPARE(shown(), rate);
        }
        QCOMPARE(onCamera(), 100000000 / 1525);
        const int takeId = SimCameras::recordTake(m_sim, 100, 5);
        QVERIFY(takeId > 0);
        QTRY_VERIFY(camera->takes()->count() >= takeId && camera->takes()->at(takeId - 1)->valuesInit());
        const double recorded =
            camera->takes()->at(takeId - 1)->property("frRate").value<VornValue*>()->value().toDouble();
        QCOMPARE(VornApp::instance()->frameRateText(recorded), QStringLiteral("1525"));

        // A rate above the clock is one clock per frame; none, or no clock, writes nothing.
        QCOMPARE(SettingListMath::frameClocksForRate(100000000, 3e8), 1);
        QCOMPARE(SettingListMath::frameClocksForRate(100000000, 23.98), 4170141);
        QCOMPARE(SettingListMath::frameClocksForRate(100000000, 0), -1);
        QCOMPARE(SettingListMath::frameClocksForRate(0, 30), -1);
        QCOMPARE(SettingListMath::exposureClocks(100000000, 12.345), 1235);
        QCOMPARE(SettingListMath::frameRateText(1524.99), QStringLiteral("1524"));
        QCOMPARE(SettingListMath::frameRateText(999.9999999), QStringLiteral("1000"));
    }

    void frameRateMatchesPlainScan()
    {
        const quint32 clocks[] = {100000000, 120000000, 96000, 2000000, 1000, 7};
        for (const quint32 clk : clocks) {
            for (const quint32 min : {0u, 1u, 3u, 50u, 997u}) {
                for (const quint32 max : {0u, 5u, 1000u, 20000u, 100000u}) {
                    for (const quint32 frClks : {1u, 96u, 1000u, 4096u}) {
                        const auto found = SettingListMath::frameRates(clk, frClks, min, max, 0);
                        const QString what = QStringLiteral("clk %1 min %2 max %3 fr %4")
                                                 .arg(clk)
                                                 .arg(min)
                                                 .arg(max)
                                                 .arg(frClks);
                        QVERIFY2(found.entries == plainRateScan(clk, frClks, min, max), qPrintable(what));
                        QCOMPARE(found.current, QString::number(clk / frClks));
                    }
                }
            }
        }
        // No clock or no frame count: only the camera's own rate.
        QCOMPARE(SettingListMath::frameRates(0, 1000, 1, 100, 25).entries, QStringList({"25"}));
        QCOMPARE(SettingListMath::frameRates(100000000, 0, 1, 100, 1428.571428).entries,
                 QStringList({"1428.57"}));
    }

    void exposureList()
    {
        Camera* camera = connectedCamera();
        QVERIFY(camera);
        // Grid 3 + 10 k at 100 MHz; a 100000-clock frame allows 99800 clocks.
        QVERIFY(putAndWait(camera, "frClksMin", "/acq/fr_clks_min", "5000", 5000));
        QVERIFY(putAndWait(camera, "frClks", "/acq/fr_clks", "100000", 100000));
        QVERIFY(putAndWait(camera, "expClks", "/acq/exp_clks", "50003", 50003));
        QCOMPARE(cameraValue(camera, "expClksMax")->value().toInt(), 99800);
        QList<qint64> counts{99793, 50003};
        for (int p = 1; p <= 10; ++p)
            counts << p * 1000 + 3;
        for (int p = 1; p <= 9; ++p)
            counts << p * 100 + 3;
        for (int n = 43; n < 103; n += 10)
            counts << n;
        std::sort(counts.begin(), counts.end(), std::greater<qint64>());
        QStringList expected;
        for (const qint64 n : counts)
            expected << us100MHz(n);
        QCOMPARE(expected.first(), QStringLiteral("997.930"));
        QTRY_COMPARE(camera->expList()->stringList(), expected);
        QCOMPARE(camera->expListIndex(), 1);

        // A shorter frame lowers the longest exposure: the list follows, and
        // the round exposures stop at the first one that no longer fits.
        QVERIFY(putAndWait(camera, "frClks", "/acq/fr_clks", "8000", 8000));
        QTRY_COMPARE(camera->expList()->stringList().first(), QStringLiteral("77.930"));
        QVERIFY(camera->expList()->stringList().contains("70.030"));
        QVERIFY(!camera->expList()->stringList().contains("80.030"));
        QVERIFY(!camera->expList()->stringList().contains("100.030"));
    }

    void exposureOffGrid()
    {
        Camera* camera = connectedCamera();
        QVERIFY(camera);
        // Grid 3 + 1000 k with limits 43..800: no grid count inside, so the
        // camera keeps an exposure of 500 clocks, off the grid.
        QVERIFY(putAndWait(camera, "expClksMult", "/acq/exp_clks_mult", "1000", 1000));
        QVERIFY(putAndWait(camera, "frClksMin", "/acq/fr_clks_min", "200", 200));
        QVERIFY(putAndWait(camera, "frClks", "/acq/fr_clks", "1000", 1000));
        QVERIFY(putAndWait(camera, "expClks", "/acq/exp_clks", "500", 500));
        QTRY_COMPARE(camera->expList()->stringList(), QStringList({"5.000", "0.430", "0.030"}));
        QCOMPARE(camera->expListIndex(), 0);
    }

    void exposureWithoutGrid()
    {
        Camera* camera = connectedCamera();
        QVERIFY(camera);
        for (const QByteArray& mult : {QByteArray("0"), QByteArray("-10")}) {
            QVERIFY(putAndWait(camera, "expClksMult", "/acq/exp_clks_mult", mult, mult.toInt()));
            const int current = cameraValue(camera, "expClks")->value().toInt();
            const int max = cameraValue(camera, "expClksMax")->value().toInt();
            const int min = cameraValue(camera, "expClksMin")->value().toInt();
            QList<qint64> counts{current, max, min};
            std::sort(counts.begin(), counts.end(), std::greater<qint64>());
            counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
            QStringList expected;
            for (const qint64 n : counts)
                expected << us100MHz(n);
            QTRY_COMPARE(camera->expList()->stringList(), expected);
            QCOMPARE(camera->expListIndex(), expected.indexOf(us100MHz(current)));
        }
        // Extreme limits and grids end at once, and no clock gives no list.
        QElapsedTimer timer;
        timer.start();
        const auto wide = SettingListMath::exposures(2147483647, 1, 0, 2147483647, 1, 0);
        const auto negative =
            SettingListMath::exposures(100000000, 5, -2147483647, 2147483647, 1, -2147483647);
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY(wide.entries.size() <= 2200);
        QVERIFY(!negative.entries.isEmpty());
        QVERIFY(SettingListMath::exposures(0, 5, 1, 10, 1, 0).entries.isEmpty());
    }

    void trigOffsetList()
    {
        Camera* camera = connectedCamera();
        QVERIFY(camera);
        const QJsonObject state = m_sim->stateDocument();
        const qint64 frames =
            state.value("takes").toObject().value("take1").toObject().value("prtn_fr_cnt").toInteger();
        QVERIFY(frames > 100);
        QTRY_COMPARE(camera->trigOffsetList()->stringList(),
                     decimals({1000, 2, frames / 2, frames - 1}, false));
        QCOMPARE(camera->trigOffsetListIndex(), camera->trigOffsetList()->stringList().indexOf("1000"));

        QVERIFY(putAndWait(camera, "trigOffset", "/acq/trig_offset", "20", 20u));
        QTRY_COMPARE(camera->trigOffsetList()->stringList(),
                     decimals({20, 2, frames / 2, frames - 1}, false));
        QCOMPARE(camera->trigOffsetListIndex(), 1);

        // A local choice rebuilds at once; a value already listed is listed once.
        QSignalSpy indexSignals(camera, &Camera::trigOffsetListIndexChanged);
        camera->trigOffset()->setValue(2u);
        QCOMPARE(camera->trigOffsetList()->stringList(), decimals({2, frames / 2, frames - 1}, false));
        QCOMPARE(camera->trigOffsetListIndex(), 0);
        QCOMPARE(indexSignals.count(), 1);

        // Sorted as signed 32-bit numbers: the largest offset counts as -1.
        QCOMPARE(SettingListMath::trigOffsets(0xFFFFFFFFu, 100).entries,
                 QStringList({"4294967295", "2", "50", "99"}));
        QCOMPARE(SettingListMath::trigOffsets(7, 0).entries, QStringList({"-1", "0", "2", "7"}));
        QCOMPARE(SettingListMath::trigOffsets(7, -5).entries, QStringList({"-6", "-2", "2", "7"}));
    }

    void fstopList()
    {
        Camera* camera = connectedCamera();
        QVERIFY(camera);
        const QStringList wide{"2.8", "3.2", "3.5", "4",  "4.5", "5",  "5.6", "6.3", "7.1", "8",
                               "9",   "10",  "11",  "13", "14",  "16", "18",  "20",  "22"};
        QCOMPARE(camera->fstopList()->stringList(), wide);
        QCOMPARE(camera->fstopIndex(), 6);

        QSignalSpy listSignals(camera, &Camera::fstopListChanged);
        QVERIFY(putAndWait(camera, "lensFstopMin", "/lens/fstop_min", "5.6", 5.6));
        QTRY_COMPARE(camera->fstopList()->stringList(), wide.mid(0, 7));
        QCOMPARE(listSignals.count(), 1);
        QCOMPARE(camera->fstopIndex(), 6);

        // An inverted range keeps only the table entries equal to a limit.
        QVERIFY(putAndWait(camera, "lensFstopMin", "/lens/fstop_min", "2.8", 2.8));
        QVERIFY(putAndWait(camera, "lensFstopMax", "/lens/fstop_max", "5.6", 5.6));
        QTRY_COMPARE(camera->fstopList()->stringList(), QStringList({"2.8", "5.6"}));
        QCOMPARE(camera->fstopIndex(), 1);

        // The lens moving outside the list leaves no entry selected.
        QSignalSpy indexSignals(camera, &Camera::fstopIndexChanged);
        cameraValue(camera, "lensFstop")->setValue(8.0);
        QCOMPARE(camera->fstopIndex(), -1);
        QCOMPARE(indexSignals.count(), 1);

        QCOMPARE(SettingListMath::fstops(90, 1),
                 QStringList({"1",   "1.1", "1.2", "1.4", "1.6", "1.8", "2",   "2.2", "2.5", "2.8",
                              "3.2", "3.5", "4",   "4.5", "5",   "5.6", "6.3", "7.1", "8",   "9",
                              "10",  "11",  "13",  "14",  "16",  "18",  "20",  "22",  "25",  "29",
                              "32",  "36",  "40",  "45",  "51",  "57",  "64",  "72",  "80",  "90"}));
        QCOMPARE(SettingListMath::fstops(21.5, 2.9), wide.mid(1, 17));
        QCOMPARE(SettingListMath::fstops(4.0000000000001, 4.0), QStringList({"4"}));
        QCOMPARE(SettingListMath::fstops(0, 0), QStringList());
    }

    void resolutionAndVideoFormatLists()
    {
        m_sim = m_sims.start();
        QVERIFY(m_sim);
        VornApp* app = VornApp::instance();
        app->connectCamera(m_sim->config().address);
        Camera* camera = app->findCamera(QHostAddress(m_sim->config().address));
        QVERIFY(camera);
        QSignalSpy resSignals(camera, &Camera::resListChanged);
        QSignalSpy formatSignals(camera, &Camera::vidFormatListChanged);
        QTRY_VERIFY(camera->connected());

        QStringList validRes;
        const QJsonObject state = m_sim->stateDocument();
        for (const QJsonValue& res : state.value("acq").toObject().value("valid_res").toArray())
            validRes << res.toString();
        QVERIFY(validRes.size() > 1);
        QCOMPARE(camera->resList()->stringList(), validRes);
        QCOMPARE(camera->resIndex(), validRes.indexOf("640x480"));
        QCOMPARE(resSignals.count(), 0); // the model's reset informs the views

        const QStringList formats{"1280x720p50",  "1280x720p59.94", "1280x720p60",     "1920x1080p23.98",
                                  "1920x1080p24", "1920x1080p25",   "1920x1080p29.97", "1920x1080p30"};
        QCOMPARE(camera->vidFormatList()->stringList(), formats);
        QCOMPARE(camera->vidFormatIndex(), 5);
        QCOMPARE(formatSignals.count(), 0);

        const QString other = validRes.last() == "640x480" ? validRes.first() : validRes.last();
        QVERIFY(putAndWait(camera, "res", "/acq/res", "\"" + other.toUtf8() + "\"", other));
        QCOMPARE(camera->resIndex(), validRes.indexOf(other));

        QVERIFY(putAndWait(camera, "vidFormat", "/video/format", "\"1280x720p60\"", "1280x720p60"));
        QCOMPARE(camera->vidFormatIndex(), 2);
        cameraValue(camera, "vidFormat")->setValue("720x576i50"); // the camera refuses it
        QCOMPARE(camera->vidFormatIndex(), -1);
        QTRY_COMPARE_WITH_TIMEOUT(camera->vidFormatIndex(), 2, 5000);
    }

    void defaultVideoFormats()
    {
        q7sim::CameraConfig config;
        config.oldFirmware = true; // reports no valid_format
        Camera* camera = connectedCamera(config);
        QVERIFY(camera);
        const QStringList defaults{"1280x720p23.98",  "1280x720p24",  "1280x720p25",    "1280x720p29.97",
                                   "1280x720p30",     "1280x720p50",  "1280x720p59.94", "1280x720p60",
                                   "1920x1080p23.98", "1920x1080p24", "1920x1080p25",   "1920x1080p29.97",
                                   "1920x1080p30"};
        QCOMPARE(camera->vidFormatList()->stringList(), defaults);
        QCOMPARE(camera->vidFormatIndex(),
                 defaults.indexOf(cameraValue(camera, "vidFormat")->value().toString()));
        QVERIFY(camera->vidFormatIndex() >= 0);
    }
};

VORN_TEST_MAIN(TestSettingLists)
#include "tst_settinglists.moc"
