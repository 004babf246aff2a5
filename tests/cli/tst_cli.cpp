// vorn-cli run as a separate process against simulated cameras: every
// command's effect on the camera, saves and conversions checked with ffprobe,
// Python's CSV parser and the frame bytes, exit codes and messages of the
// failures a script must tell apart, and Ctrl+C during a save.
#include "FrameSynth.h"
#include "SimCameras.h"
#include "VornTestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkDatagram>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtEndian>
#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

QString cliPath()
{
    return qEnvironmentVariable("VORN_TEST_BUILD_DIR") + "/src/vorn-cli";
}

// Starts vorn-cli; the simulated cameras of this process keep answering
// while it runs.
QProcess* startCli(const QStringList& arguments, QObject* parent)
{
    auto* process = new QProcess(parent);
    process->start(cliPath(), arguments);
    return process;
}

Run finish(QProcess* process, int ms = 60000)
{
    Run run;
    if (!QTest::qWaitFor([process] { return process->state() == QProcess::NotRunning; }, ms)) {
        process->kill();
        process->waitForFinished();
        run.err = "(still running)";
        return run;
    }
    run.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -2;
    run.out = process->readAllStandardOutput();
    run.err = QString::fromUtf8(process->readAllStandardError());
    delete process;
    return run;
}

Run cli(const QStringList& arguments, int ms = 60000)
{
    return finish(startCli(arguments, nullptr), ms);
}

QJsonObject probe(const QString& path)
{
    QProcess ffprobe;
    ffprobe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                              "stream=codec_name,width,height,nb_read_frames", "-of", "json", path});
    ffprobe.waitForFinished(60000);
    return QJsonDocument::fromJson(ffprobe.readAllStandardOutput())
        .object()
        .value("streams")
        .toArray()
        .first()
        .toObject();
}

int csvRows(const QString& path)
{
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, sys\n"
                             "with open(sys.argv[1], newline='') as f:\n"
                             "    print(len(list(csv.reader(f))))",
                             path});
    python.waitForFinished(10000);
    return python.readAllStandardOutput().trimmed().toInt();
}

// True for exit code 0; otherwise what the command said goes to the log.
bool succeeded(const Run& run)
{
    if (run.exitCode != 0)
        qWarning().noquote() << "exit" << run.exitCode << run.err;
    return run.exitCode == 0;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    SimCameras m_sims;
    QTemporaryDir m_dir;
    q7sim::SimCamera* m_sim = nullptr;
    QString m_address;

    QString out(const QString& name) const { return m_dir.filePath(name); }

    // Records a take with vorn-cli; its number, or 0.
    int recordTake()
    {
        if (!succeeded(cli({"record", m_address})))
            return 0;
        QTest::qWait(200);
        return QJsonDocument::fromJson(cli({"--json", "trigger", m_address}).out)
            .object()
            .value("take")
            .toInt();
    }

    QJsonObject post(const QString& path, const QByteArray& body)
    {
        QNetworkAccessManager nam;
        QNetworkRequest request(QUrl("http://" + m_address + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        QNetworkReply* reply = nam.post(request, body);
        (void)QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000);
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        delete reply;
        return answer;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath()));
        q7sim::CameraConfig config;
        config.res = QStringLiteral("320x240");
        config.memoryBytes = 800ULL * (320 * 240 + 32);
        config.ssdBytes = 1ULL << 30;
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        m_address = m_sim->config().address;
    }

    void cameraCommands()
    {
        // Values by name: one that sticks, one the camera clamps.
        Run run = cli({"set", m_address, "trigOffset=30", "name=Bench 4"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("trigOffset = 30\nname = Bench 4\n"));
        run = cli({"--json", "info", m_address});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject values = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(values.value("trigOffset").toInt(), 30);
        QCOMPARE(values.value("name").toString(), QStringLiteral("Bench 4"));
        QVERIFY(values.contains("acqState") && values.contains("serial") && values.contains("res"));
        run = cli({"set", m_address, "trigOffset=-5"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("trigOffset did not stick: asked -5, the camera reports 0"),
                 qPrintable(run.err));
        QCOMPARE(cli({"set", m_address, "noSuchValue=1"}).exitCode, 2);
        QVERIFY(succeeded(cli({"set", m_address, "trigOffset=30"})));

        // Partitions, then a take: record, trigger, and the new take's number.
        QVERIFY(succeeded(cli({"partition", m_address, "2"})));
        QCOMPARE(cli({"--json", "info", m_address}).out.contains("\"prtnCnt\": 2"), true);
        QVERIFY(succeeded(cli({"partition", m_address, "8"})));
        QCOMPARE(cli({"record", m_address}).out, QByteArray("recording\n"));
        QTest::qWait(200);
        run = cli({"--json", "trigger", m_address});
        QCOMPARE(run.exitCode, 0);
        const int take = QJsonDocument::fromJson(run.out).object().value("take").toInt();
        QVERIFY(take > 0);
        run = cli({"--json", "info", m_address, "--take", QString::number(take)});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(run.out).object().value("takeId").toInt(), take);

        // Abort of a recording, black reference.
        QVERIFY(succeeded(cli({"record", m_address})));
        QCOMPARE(cli({"abort", m_address}).out, QByteArray("standby\n"));
        QVERIFY(succeeded(cli({"bref", m_address})));
    }

    void saveAndConvert()
    {
        const int take = recordTake();
        QVERIFY(take > 0);
        const QString takeArg = QString::number(take);
        const auto params = m_sim->takeFrameParams(take);
        QVERIFY(params);

        // MP4 of a range, CSV of the same range.
        Run run = cli({"save", m_address, "--take", takeArg, "--range", "-4:5", "--format", "mp4", "--folder",
                       m_dir.path(), "--name", "clip"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out.trimmed(), out("clip.mp4").toUtf8());
        QJsonObject video = probe(out("clip.mp4"));
        QCOMPARE(video.value("codec_name").toString(), QStringLiteral("h264"));
        QCOMPARE(video.value("nb_read_frames").toString(), QStringLiteral("10"));
        QCOMPARE(cli({"save", m_address, "--take", takeArg, "--range", "-4:5", "--format", "csv", "--folder",
                      m_dir.path(), "--name", "clip"})
                     .exitCode,
                 0);
        QCOMPARE(csvRows(out("clip.csv")), 11);

        // The whole take as a VORN file holds the camera's frame bytes.
        run = cli(
            {"--json", "save", m_address, "--take", takeArg, "--format", "vorn", "--folder", m_dir.path()});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject saved = QJsonDocument::fromJson(run.out).object();
        const QString vornPath = saved.value("path").toString();
        QCOMPARE(vornPath, out(QStringLiteral("take%1.vorn").arg(take)));
        const QByteArray bytes = readAll(vornPath);
        const qint64 dataOffset = qint64(qFromLittleEndian<quint64>(bytes.constData() + 24));
        const qint64 first = qint64(saved.value("first").toInteger());
        const qint64 frames = qint64(saved.value("frames").toInteger());
        QVERIFY(frames > 30);
        const qint64 record = 320 * 240 + 32;
        QCOMPARE(bytes.size() - dataOffset, frames * record);
        for (qint64 k : {qint64(0), frames / 2, frames - 1})
            QVERIFY(bytes.mid(dataOffset + k * record, record) ==
                    q7sim::FrameSynth::record(*params, first + k, q7sim::XferBoth));

        // The VORN file converted, turned a quarter, white-balanced and with
        // text burned in; a metadata file takes no text.
        run = cli({"convert", vornPath, "--format", "avi", "--codec", "gray8", "--rotate", "90", "--wb",
                   "auto", "--range", QStringLiteral("%1:%2").arg(first).arg(first + 2), "--burn-in",
                   "frame,Camera", "--burn-in-corner", "top-right"});
        QCOMPARE(run.exitCode, 0);
        video = probe(out(QStringLiteral("take%1.avi").arg(take)));
        QCOMPARE(video.value("width").toInt(), 240);
        QCOMPARE(video.value("height").toInt(), 320);
        QCOMPARE(video.value("nb_read_frames").toString(), QStringLiteral("3"));
        run = cli({"convert", vornPath, "--format", "csv", "--burn-in", "time"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("Can't burn text into CSV (Metadata) files!"), qPrintable(run.err));

        // An SSD take saves like a memory take.
        const QJsonObject ssdSave =
            post(QStringLiteral("/ssd-save"), QStringLiteral("{\"take\":%1,\"start\":%2,\"cnt\":8,\"name\":"
                                                             "\"ssdclip\",\"del_take\":0}")
                                                  .arg(take)
                                                  .arg(first)
                                                  .toUtf8());
        QVERIFY(ssdSave.contains("seq"));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return QJsonDocument::fromJson(cli({"--json", "info", m_address}).out)
                           .object()
                           .value("ssdWrSeq")
                           .toInt() >= ssdSave.value("seq").toInt();
            },
            20000));
        run = cli({"save", m_address, "--ssd-take", "ssdclip.vorn", "--format", "tiff", "--codec", "gray8",
                   "--folder", m_dir.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(m_dir.path()).entryList({"ssdclip_*.tiff"}).size(), 8);
        // The raw mosaic of an SSD take, one DNG per frame; the path printed is their folder.
        run = cli(
            {"save", m_address, "--ssd-take", "ssdclip.vorn", "--format", "dng", "--folder", m_dir.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QString::fromUtf8(run.out).trimmed(), QDir(m_dir.path()).absolutePath());
        QCOMPARE(QDir(m_dir.path()).entryList({"ssdclip_*.dng"}).size(), 8);
        // The program saves no metadata of an SSD take, and says so.
        run = cli(
            {"save", m_address, "--ssd-take", "ssdclip.vorn", "--format", "csv", "--folder", m_dir.path()});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("Can't save the metadata of an SSD take!"), qPrintable(run.err));

        QVERIFY(succeeded(cli({"delete", m_address, "--take", takeArg})));
        QVERIFY(!cli({"--json", "info", m_address, "--take", takeArg}).out.contains("takeId"));
    }

    void failuresAScriptCanTellApart()
    {
        Run run = cli({"--timeout", "2", "info", "127.0.0.99"});
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.err, QStringLiteral("vorn-cli: no camera answers at 127.0.0.99\n"));
        run = cli({"info", m_address, "--take", "77"});
        QCOMPARE(run.exitCode, 4);
        QVERIFY2(run.err.contains("has no take 77"), qPrintable(run.err));
        // The camera's own reason for refusing an SSD file reaches the user.
        run = cli({"save", m_address, "--ssd-take", "missing.vorn", "--format", "tiff"});
        QCOMPARE(run.exitCode, 4);
        QVERIFY2(run.err.startsWith("vorn-cli: Error opening SSD Take:"), qPrintable(run.err));
        QCOMPARE(cli({"convert", out("none.vorn"), "--format", "csv"}).exitCode, 4);
        QCOMPARE(cli({"save", m_address, "--take", "1", "--format", "gif"}).exitCode, 2);
        QCOMPARE(cli({"save", m_address, "--take", "1", "--format", "avi", "--codec", "h264"}).exitCode, 2);
        QCOMPARE(cli({"frobnicate"}).exitCode, 2);
        const Run badGain = cli({"convert", out("none.vorn"), "--format", "csv", "--gain", "abc"});
        QCOMPARE(badGain.exitCode, 2);
        QCOMPARE(badGain.err, QStringLiteral("vorn-cli: --gain wants a number above 0\n"));
        const Run badLine = cli({"convert", out("none.vorn"), "--format", "tiff", "--burn-in", "time,date"});
        QCOMPARE(badLine.exitCode, 2);
        QCOMPARE(badLine.err,
                 QStringLiteral("vorn-cli: unknown burn-in line \"date\" (time, frame, trigger, camera)\n"));
        QCOMPARE(
            cli({"convert", out("none.vorn"), "--format", "tiff", "--burn-in-corner", "middle"}).exitCode, 2);
        QVERIFY(succeeded(cli({"--help"})));

        // A full disk (a file size limit on the process stands in for it).
        const QString take = QString::number(recordTake());
        auto* process = new QProcess;
        process->setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{200000, 200000};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        process->start(cliPath(), {"save", m_address, "--take", take, "--format", "avi", "--folder",
                                   m_dir.path(), "--name", "full"});
        run = finish(process);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.err.startsWith(QStringLiteral("vorn-cli: save failed: write error (File too large) after ")),
            qPrintable(run.err));
    }

    void ctrlCCancelsTheSave()
    {
        // Frames trickle in, so the save is still running when Ctrl+C comes.
        m_sim->addFault(q7sim::Fault::xferPieces(16384, 20));
        const QString take = QString::number(recordTake());
        QProcess* process = startCli(
            {"save", m_address, "--take", take, "--format", "mp4", "--folder", m_dir.path(), "--name", "cut"},
            this);
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(out("cut.mp4")); }, 20000));
        ::kill(pid_t(process->processId()), SIGINT);
        const Run run = finish(process);
        m_sim->clearFaults();
        QCOMPARE(run.exitCode, 130);
        QVERIFY2(run.err.contains("interrupted; the save was cancelled"), qPrintable(run.err));
        QVERIFY(!QFile::exists(out("cut.mp4")));
    }

    // A camera that sends three frames, then a kilobyte every 20 s: the link
    // never goes quiet, but --timeout bounds the wait for a frame, and the
    // failed save keeps what came, as a file that says so.
    void stalledTransferFails()
    {
        m_sim->addFault(q7sim::Fault::xferTrickle(3));
        const QString take = QString::number(recordTake());
        const Run run = cli({"--timeout", "2", "save", m_address, "--take", take, "--format", "vorn",
                             "--folder", m_dir.path(), "--name", "stalled"},
                            30000);
        m_sim->clearFaults();
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("vorn-cli: save failed: transfer stalled (no frame for 2 s) after 3 of "),
                 qPrintable(run.err));
        QVERIFY(succeeded(cli({"convert", out("stalled.vorn"), "--format", "csv"})));
        QCOMPARE(csvRows(out("stalled.csv")), 4);
    }

    // Several cameras at once, their clocks 2 s apart: one refuses, one
    // hangs, and at one address nothing answers; the others go on.
    void severalCameras()
    {
        struct Sim
        {
            const char* address;
            int clockOffsetMs;
            std::optional<q7sim::Fault> fault;
        };
        const Sim table[] = {{"127.0.0.3", 1200, {}},
                             {"127.0.0.4", -800, {}},
                             {"127.0.0.5", 0, q7sim::Fault::httpError(500, true, "/abort")},
                             {"127.0.0.6", 0, q7sim::Fault::noAnswer("/abort")}};
        QHash<QString, q7sim::SimCamera*> sims;
        for (const Sim& row : table) {
            q7sim::CameraConfig config;
            config.address = row.address;
            config.res = QStringLiteral("128x64");
            config.clockOffsetNs = row.clockOffsetMs * 1000000LL;
            q7sim::SimCamera* sim = m_sims.start(config);
            QVERIFY(sim);
            sims.insert(row.address, sim);
            if (row.fault)
                sim->addFault(*row.fault);
        }
        Run run = cli({"record", "127.0.0.3", "127.0.0.4"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("127.0.0.3\trecording\n127.0.0.4\trecording\n"));
        run = cli({"--json", "trigger", "127.0.0.3", "127.0.0.4"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject triggered = QJsonDocument::fromJson(run.out).object();
        const QJsonArray cameras = triggered.value("cameras").toArray();
        QCOMPARE(cameras.size(), 2);
        for (const QJsonValue& camera : cameras) {
            const QJsonObject acq =
                sims.value(camera["address"].toString())->stateDocument().value("acq").toObject();
            QCOMPARE(acq.value("saved_takes").toArray(), QJsonArray{camera["take"].toInt()});
        }
        // The one trigger as the two clocks dated it (each request's way
        // to its camera adds a little).
        QVERIFY(cameras[0]["triggerTime"].toString() > cameras[1]["triggerTime"].toString());
        const double spreadMs = triggered.value("spreadNs").toDouble() / 1e6;
        QVERIFY2(qAbs(spreadMs - 2000) < 300, qPrintable(QString::number(spreadMs)));

        run = cli({"--timeout", "2", "abort", "127.0.0.3", "127.0.0.5", "127.0.0.6", "127.0.0.99"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray("127.0.0.3\tstandby\n"
                                     "127.0.0.5\tfailed: refused: simulated camera fault\n"
                                     "127.0.0.6\tfailed: does not answer\n"
                                     "127.0.0.99\tfailed: no camera answers\n"));
        for (const char* named :
             {"127.0.0.5: refused", "127.0.0.6: does not answer", "127.0.0.99: no camera"})
            QVERIFY2(run.err.contains(QStringLiteral("vorn-cli: ") + named), qPrintable(run.err));
    }

    void discoverAcrossTheLink()
    {
        // Cameras on the sandbox's camera host, their clocks 0.7 s apart;
        // only discover and --all broadcast.
        const QStringList far = qEnvironmentVariable("VORN_CAMERA_HOST_IPS").split(' ');
        QStringList arguments{"--net=" + qEnvironmentVariable("VORN_CAMERA_HOST_NETNS"),
                              qEnvironmentVariable("VORN_TEST_BUILD_DIR") + "/tools/q7sim/q7sim"};
        for (int i = 0; i < far.size(); ++i)
            arguments << "--camera" << far.at(i) << "--name" << QStringLiteral("Far %1").arg(i)
                      << "--clock-offset" << QString::number(700 * i);
        QProcess sim;
        sim.start("nsenter", arguments);
        QVERIFY(sim.waitForStarted());
        QUdpSocket listener;
        QVERIFY(listener.bind(QHostAddress(qEnvironmentVariable("VORN_BROADCAST_IP")), 8890,
                              QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
        int searches = 0;
        connect(&listener, &QUdpSocket::readyRead, &listener, [&] {
            while (listener.hasPendingDatagrams())
                searches += listener.receiveDatagram().data() == "VORN_BCAST\n";
        });
        QVERIFY(QTest::qWaitFor(
            [&] {
                return cli({"--timeout", "1", "info", far.last()}).exitCode == 0;
            },
            10000));
        QCOMPARE(searches, 0);
        const Run run = cli({"--json", "discover"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(searches, 2);
        const QJsonArray cameras = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(cameras.size(), far.size());
        for (const QJsonValue& camera : cameras) {
            const int i = far.indexOf(camera["address"].toString());
            QCOMPARE(camera["name"].toString(), QStringLiteral("Far %1").arg(i));
            QVERIFY(!camera["serial"].toString().isEmpty());
        }

        QCOMPARE(cli({"record", "--all"}).out.count("\trecording\n"), far.size());
        const QJsonObject triggered =
            QJsonDocument::fromJson(cli({"--json", "trigger", "--all"}).out).object();
        sim.terminate();
        sim.waitForFinished(3000);
        QCOMPARE(triggered["cameras"].toArray().size(), far.size());
        const double spreadMs = triggered["spreadNs"].toDouble() / 1e6;
        QVERIFY2(qAbs(spreadMs - 700 * (far.size() - 1)) < 300, qPrintable(QString::number(spreadMs)));
    }
};

VORN_TEST_MAIN(TestCli)
#include "tst_cli.moc"
