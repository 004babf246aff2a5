#include "Camera.h"
#include "CameraIO.h"
#include "SimCameras.h"
#include "VornApp.h"
#include "VornTestMain.h"

#include <QJsonObject>
#include <QSignalSpy>
#include <QStringListModel>

// The camera's I/O lines against a simulated camera: what the camera reports
// decides the choice lists, indices and adjustment flags; choices by index
// reach the camera as its codes.
class TestCameraIO : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;

    CameraIO* line(const QString& token) const
    {
        for (CameraIO* io : *m_camera->ios()) {
            if (io->token() == token)
                return io;
        }
        return nullptr;
    }

    QJsonValue simIo(const QString& token, const QString& key)
    {
        return m_sim->stateDocument().value("io").toObject().value(token).toObject().value(key);
    }

    // Sets a line on the camera behind the program's back and waits until a
    // poll has brought all three values in.
    bool putLine(const QString& token, const QString& signal, int mode, int polarity)
    {
        const QString base = "/io/" + token + "/";
        const QString address = m_sim->config().address;
        if (!SimCameras::put(address, base + "signal", "\"" + signal.toUtf8() + "\"") ||
            !SimCameras::put(address, base + "mode", QByteArray::number(mode)) ||
            !SimCameras::put(address, base + "polarity", QByteArray::number(polarity)))
            return false;
        CameraIO* io = line(token);
        return QTest::qWaitFor(
            [&] {
                return io->signal()->value().toString() == signal && io->mode()->value().toInt() == mode &&
                       io->polarity()->value().toInt() == polarity;
            },
            5000);
    }

    static QString enables(const CameraIO* io)
    {
        return QString("%1%2%3%4").arg(io->filterEn()).arg(io->delayEn()).arg(io->minEn()).arg(io->maxEn());
    }

    // Waits for the PUT of a line value and returns its body.
    QByteArray sentBody(const QString& token, const QString& key)
    {
        const QString path = "/io/" + token + "/" + key;
        if (!QTest::qWaitFor([&] { return !SimCameras::requests(m_sim, "PUT", path).isEmpty(); }, 2000))
            return "(nothing sent)";
        return SimCameras::requests(m_sim, "PUT", path).last().body;
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        m_sim = m_sims.start();
        QVERIFY(m_sim);
        m_camera = SimCameras::connect(m_sim);
        QVERIFY(m_camera);
    }

    void linesOfANewAndAConnectedCamera()
    {
        Camera unconnected(QHostAddress(QStringLiteral("127.0.0.9")), nullptr);
        QStringList names, tokens;
        for (CameraIO* io : *unconnected.ios()) {
            names << io->name();
            tokens << io->token();
            QCOMPARE(io->type(), io->token() == "trigger" ? CameraIO::Trig : CameraIO::User);
            QCOMPARE(io->signalList()->rowCount() + io->modeList()->rowCount(), 0);
        }
        QCOMPARE(names, QStringList({"Trigger I/O", "I/O 1", "I/O 2", "I/O 3", "I/O 4", "I/O 5", "I/O 6"}));
        QCOMPARE(tokens, QStringList({"trigger", "io1", "io2", "io3", "io4", "io5", "io6"}));

        // The simulator's defaults: trigger on input, io1 "ready" on output,
        // io5 disabled.
        CameraIO* trig = line("trigger");
        QCOMPARE(trig->signalList()->stringList(), QStringList({"Disabled", "Enabled"}));
        QCOMPARE(trig->signalIndex(), 1);
        QCOMPARE(trig->filter()->value().toInt(), 100);
        CameraIO* io1 = line("io1");
        QCOMPARE(io1->signalList()->stringList(),
                 QStringList({"Disabled", "Event 1", "Event 2", "Frame Sync", "IRIG", "Ready", "Record",
                              "Shutter", "Trigger"}));
        QCOMPARE(io1->signalIndex(), 5);
        QCOMPARE(io1->modeList()->stringList(), QStringList({"Disabled", "Output", "OD Output"}));
        QCOMPARE(io1->modeIndex(), 1);
        QCOMPARE(line("io5")->signalIndex(), 0);
        QCOMPARE(line("io5")->modeList()->stringList(), QStringList({"Disabled"}));
    }

    void signalsAndModes_data()
    {
        for (const char* column : {"token", "signal", "modes", "polarities", "enables"})
            QTest::addColumn<QString>(column);
        for (const char* column : {"mode", "polarity", "signalIndex", "modeIndex", "polarityIndex"})
            QTest::addColumn<int>(column);
        QTest::addColumn<bool>("cameraClock");
        // Lists as "|"-separated names; enables as filter, delay, min, max.
        const auto row = [](const char* name, const char* token, const char* signal, int mode, int polarity,
                            int signalIndex, const char* modes, int modeIndex, const char* polarities,
                            int polarityIndex, const char* enables, bool cameraClock) {
            QTest::newRow(name) << token << signal << modes << polarities << enables << mode << polarity
                                << signalIndex << modeIndex << polarityIndex << cameraClock;
        };
        const char* all = "Disabled|Input|Input w/ Pull-up|Output|OD Output|OD Bidirectional";
        const char* trigModes = "Disabled|Input|Input w/ Pull-up|OD Output|OD Bidirectional";
        const char* edges = "Rising Edge|Falling Edge";
        const char* trailing = "Rising Edge|Falling Edge|Falling (Trailing)|Rising (Trailing)";
        const char* levels = "Active High|Active Low";
        row("trig input", "io2", "trig", 1, 3, 8, all, 1, trailing, 3, "1111", false);
        row("trig pull-up", "io2", "trig", 2, 1, 8, all, 2, edges, 1, "1111", false);
        row("trig output", "io2", "trig", 4, 0, 8, all, 3, edges, 0, "0111", false);
        row("trig bidirectional", "io2", "trig", 16, 1, 8, all, 5, edges, 1, "1011", false);
        row("ready output", "io2", "ready", 4, 1, 5, "Disabled|Output|OD Output", 1, levels, 1, "0111",
            false);
        row("record OD output", "io2", "rec", 8, 0, 6, "Disabled|Output|OD Output", 2, levels, 0, "0111",
            false);
        row("event 1 input", "io2", "event1", 1, 1, 1, all, 1, levels, 1, "1111", false);
        row("event 1 output", "io2", "event1", 4, 0, 1, all, 3, levels, 0, "0111", false);
        row("event 2 bidirectional", "io2", "event2", 16, 0, 2, all, 5, levels, 0, "1011", false);
        row("level polarity 2", "io2", "event2", 1, 2, 2, all, 1, levels, -1, "1111", false);
        row("irig", "io2", "irig", 1, 1, 4, "Disabled|Input|Output", 1, "", 0, "0000", false);
        row("fsync input", "io2", "fsync", 1, 2, 3, "Disabled|Input|Output", 1, trailing, 2, "1111", true);
        row("fsync pull-up", "io2", "fsync", 2, 3, 3, "Disabled|Input|Output", -1, edges, -1, "1111", true);
        row("shutter", "io2", "shtr", 4, 1, 7, "Disabled|Output", 1, levels, 1, "0111", true);
        row("disabled", "io2", "", 0, 0, 0, "Disabled", 0, "", 0, "0000", true);
        row("trigger input", "trigger", "trig", 1, 3, 1, trigModes, 1, trailing, 3, "1111", false);
        row("trigger OD output", "trigger", "trig", 8, 1, 1, trigModes, 3, edges, 1, "0111", false);
        row("trigger bidirectional", "trigger", "trig", 16, 3, 1, trigModes, 4, edges, -1, "1011", false);
        row("trigger output, never offered", "trigger", "trig", 4, 0, 1, trigModes, -1, edges, 0, "0111",
            false);
        row("trigger disabled", "trigger", "", 0, 0, 0, "Disabled", 0, "", 0, "0000", false);
        // Codes this program does not know: newer firmware, or another line's.
        row("unknown signal", "io2", "strobe", 4, 1, -1, "Disabled", -1, "", 0, "0000", false);
        row("user signal on the trigger", "trigger", "fsync", 1, 0, -1, "Disabled", -1, "", 0, "0000", false);
        row("unknown mode", "io2", "trig", 32, 0, 8, all, -1, edges, 0, "0000", false);
        row("two mode bits", "io2", "event1", 3, 0, 1, all, -1, levels, 0, "0000", false);
        row("unknown polarity", "io2", "trig", 1, 9, 8, all, 1, trailing, -1, "1111", false);
    }

    void signalsAndModes()
    {
        QFETCH(QString, token);
        QFETCH(QString, signal);
        QFETCH(int, mode);
        QFETCH(int, polarity);
        QVERIFY(putLine(token, signal, mode, polarity));
        CameraIO* io = line(token);
        QTEST(io->signalIndex(), "signalIndex");
        QTEST(io->modeList()->stringList().join('|'), "modes");
        QTEST(io->modeIndex(), "modeIndex");
        QTEST(io->polarityList()->stringList().join('|'), "polarities");
        QTEST(io->polarityIndex(), "polarityIndex");
        QTEST(enables(io), "enables");
        QFETCH(bool, cameraClock);
        QCOMPARE(io->clkFreq(), cameraClock ? m_camera->clkFreq()->value().toUInt() : CameraIO::IoClockHz);
        QVERIFY(m_camera->clkFreq()->value().toUInt() != CameraIO::IoClockHz);
    }

    void choicesByIndexReachTheCamera()
    {
        QVERIFY(putLine("io6", "", 0, 0));
        QVERIFY(putLine("trigger", "", 0, 0));
        m_sim->clearRequests();
        CameraIO* io6 = line("io6");
        QSignalSpy indexSignals(io6, &CameraIO::signalIndexChanged);
        io6->setSignalByIndex(3); // "Frame Sync"
        QCOMPARE(io6->signalIndex(), 3);
        QCOMPARE(io6->modeList()->stringList(), QStringList({"Disabled", "Input", "Output"}));
        QVERIFY(indexSignals.count() >= 1);
        QCOMPARE(sentBody("io6", "signal"), QByteArray("\"fsync\""));
        io6->setModeByIndex(1);
        QCOMPARE(io6->polarityList()->rowCount(), 4);
        io6->setPolarityByIndex(3);
        QCOMPARE(sentBody("io6", "mode"), QByteArray("1"));
        QCOMPARE(sentBody("io6", "polarity"), QByteArray("3"));
        QCOMPARE(io6->polarityIndex(), 3);

        // The trigger line has no "Output": its fourth mode is "OD Output".
        CameraIO* trig = line("trigger");
        trig->setSignalByIndex(1);
        trig->setModeByIndex(3);
        QCOMPARE(sentBody("trigger", "signal"), QByteArray("\"trig\""));
        QCOMPARE(sentBody("trigger", "mode"), QByteArray("8"));

        // Level names map back to their codes too.
        QVERIFY(putLine("io4", "ready", 4, 0));
        m_sim->clearRequests();             // the log holds this test's own writes too
        line("io4")->setPolarityByIndex(1); // "Active Low"
        QCOMPARE(sentBody("io4", "polarity"), QByteArray("1"));

        // Polls after the writes bring the camera's values back unchanged.
        QTRY_COMPARE_WITH_TIMEOUT(simIo("io6", "polarity").toInt(), 3, 2000);
        QTest::qWait(700);
        QCOMPARE(io6->signal()->value().toString(), QStringLiteral("fsync"));
        QCOMPARE(io6->modeIndex(), 1);
        QCOMPARE(io6->polarityIndex(), 3);
        QCOMPARE(trig->modeIndex(), 3);
        QCOMPARE(simIo("trigger", "mode").toInt(), 8);
        QCOMPARE(line("io4")->polarityIndex(), 1);

        // Back to "Disabled": the empty code, sent as an empty JSON string.
        io6->setSignalByIndex(0);
        QTRY_COMPARE_WITH_TIMEOUT(simIo("io6", "signal").toString(), QStringLiteral(""), 2000);
        QCOMPARE(SimCameras::requests(m_sim, "PUT", "/io/io6/signal").last().body, QByteArray("\"\""));
        QCOMPARE(io6->polarityList()->rowCount(), 0);
    }

    void choicesOutsideTheListsSendNothing()
    {
        QVERIFY(putLine("io3", "trig", 1, 3));
        m_sim->clearRequests();
        CameraIO* io3 = line("io3");
        for (const int index : {-1, 1000}) {
            io3->setSignalByIndex(index);
            io3->setModeByIndex(index);
            io3->setPolarityByIndex(index);
        }
        io3->setSignalByIndex(9);
        io3->setModeByIndex(6);
        io3->setPolarityByIndex(4);
        QTest::qWait(300);
        int puts = 0;
        for (const q7sim::RecordedRequest& request : m_sim->requests())
            puts += request.method == "PUT";
        QCOMPARE(puts, 0);
        QCOMPARE(io3->polarity()->value().toInt(), 3);
        QCOMPARE(io3->polarityIndex(), 3);
        QCOMPARE(io3->signalIndex(), 8);

        // A line without polarities takes no polarity choice either.
        QVERIFY(putLine("io3", "irig", 1, 1));
        m_sim->clearRequests();
        io3->setPolarityByIndex(0);
        QTest::qWait(200);
        QVERIFY(SimCameras::requests(m_sim, "PUT", "/io/io3/polarity").isEmpty());
        QCOMPARE(io3->polarity()->value().toInt(), 1);
    }

    void cameraClockFollowsTheCamera()
    {
        QVERIFY(putLine("io5", "fsync", 1, 0));
        CameraIO* io5 = line("io5");
        CameraIO* io4 = line("io4");
        QVERIFY(putLine("io4", "event1", 1, 0));
        QSignalSpy clockSignals(io5, &CameraIO::clkFreqChanged);
        QVERIFY(SimCameras::put(m_sim->config().address, "/acq/clk_freq", "50000000"));
        QTRY_COMPARE_WITH_TIMEOUT(io5->clkFreq(), 50000000u, 3000);
        QCOMPARE(clockSignals.count(), 1);
        QCOMPARE(io4->clkFreq(), CameraIO::IoClockHz);

        // A camera clock of 0 would leave the timings unconvertible.
        QVERIFY(SimCameras::put(m_sim->config().address, "/acq/clk_freq", "0"));
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->clkFreq()->value().toInt(), 0, 3000);
        QCOMPARE(io5->clkFreq(), CameraIO::IoClockHz);
        QVERIFY(SimCameras::put(m_sim->config().address, "/acq/clk_freq", "100000000"));
        QTRY_COMPARE_WITH_TIMEOUT(io5->clkFreq(), 100000000u, 3000);
        // An unknown signal counts in the I/O clock.
        QVERIFY(putLine("io5", "strobe", 1, 0));
        QCOMPARE(io5->clkFreq(), CameraIO::IoClockHz);
    }
};

VORN_TEST_MAIN(TestCameraIO)
#include "tst_cameraio.moc"
