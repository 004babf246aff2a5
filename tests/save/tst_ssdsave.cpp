// Saves of memory takes onto the camera's SSD against the simulator: the
// request at each firmware level, the camera's sequence numbers (waiting
// behind other saves, written with progress, done), names chosen by the
// camera, the SSD or camera going away, and the automatic save of new takes.
#include "Camera.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "SsdSaveJob.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>

class TestSsdSave : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    int m_nextAddress = 2;

    struct Bench
    {
        q7sim::SimCamera* sim = nullptr;
        Camera* camera = nullptr;
        Take* take = nullptr;
        QString address;
    };

    // A camera whose SSD writes `bytesPerSecond`, with one recorded take of
    // 60 frames of 320 x 240 (4.6 MB), connected.
    Bench start(int64_t bytesPerSecond, int ssdLevel = 3)
    {
        Bench bench;
        q7sim::CameraConfig config;
        bench.address = QStringLiteral("127.0.0.%1").arg(m_nextAddress++);
        config.address = bench.address;
        config.res = QStringLiteral("320x240");
        config.memoryBytes = 60ULL * (320 * 240 + 32);
        config.ssdBytes = 1ULL << 30;
        config.ssdWriteBytesPerSecond = bytesPerSecond;
        bench.sim = m_sims.start(config);
        if (!bench.sim)
            return bench;
        SimCameras::put(bench.address, "/features/ssd-save", QByteArray::number(ssdLevel));
        const int takeId = SimCameras::recordTake(bench.sim, 100, 10);
        bench.camera = SimCameras::connect(bench.sim);
        if (!bench.camera || takeId < 1)
            return bench;
        if (!QTest::qWaitFor([&] { return bench.camera->takes()->count() >= takeId; }, 3000))
            return bench;
        Take* take = bench.camera->takes()->at(takeId - 1);
        if (QTest::qWaitFor([&] { return take->valuesInit(); }, 3000))
            bench.take = take;
        return bench;
    }

    SaveJob* save(Take* take, qint64 startFr, qint64 frCnt, const QString& name,
                  SaveJob::DeleteCloseSource deleteClose = SaveJob::DontDeleteClose)
    {
        return VornApp::instance()->saveManager()->createSaveJob(take, startFr, frCnt, SaveManager::SsdDest,
                                                                 Util::FormatVorn, Util::CodecVorn, 0, 0,
                                                                 name, QString(), deleteClose);
    }

    QJsonObject post(const QString& address, const QString& path, const QByteArray& body)
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://%1%2").arg(address, path)));
        request.setRawHeader("Content-Type", "application/json");
        QNetworkReply* reply = m_nam.post(request, body);
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, 5000))
            reply->abort();
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        delete reply;
        return answer;
    }

    static QByteArray lastSaveBody(q7sim::SimCamera* sim)
    {
        const auto saves = SimCameras::requests(sim, "POST", "/ssd-save");
        return saves.isEmpty() ? QByteArray() : saves.last().body;
    }

    static bool waitForEnd(SaveJob* job, int ms = 10000)
    {
        return QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, ms);
    }

private slots:
    void initTestCase() { VornTest::useNetwork(&m_nam); }

    void requestAtEachLevel()
    {
        Bench bench = start(1LL << 30);
        QVERIFY(bench.take);
        const qint64 first = bench.take->firstFrame();

        SaveJob* kept = save(bench.take, first, 20, "keep_<fr>");
        QVERIFY(kept);
        QCOMPARE(kept->dest(), SaveJob::SsdDest);
        QVERIFY(waitForEnd(kept));
        QCOMPARE(kept->state(), SaveJob::Done);
        QCOMPARE(lastSaveBody(bench.sim),
                 QStringLiteral("{\"take\":1,\"start\":%1,\"cnt\":20,\"name\":\"keep_%2\","
                                "\"del_take\":0}")
                     .arg(first)
                     .arg(first)
                     .toUtf8());
        // The camera's name for the file is the job's.
        QCOMPARE(kept->fileName(), QStringLiteral("keep_%1").arg(first));
        QCOMPARE(kept->fileExt(), QStringLiteral("vorn"));
        QCOMPARE(kept->progress(), 100.0);
        QCOMPARE(kept->sourceCameraName(), bench.camera->name()->value().toString());

        // The same name again: the camera picks another, which the job shows.
        SaveJob* again = save(bench.take, first, 5, QStringLiteral("keep_%1").arg(first));
        QVERIFY(waitForEnd(again));
        QCOMPARE(again->state(), SaveJob::Done);
        QVERIFY(again->fileName() != kept->fileName());
        QVERIFY(again->fileName().startsWith(kept->fileName()));

        // Opening a written file opens it as an SSD take.
        again->open();
        QVERIFY(QTest::qWaitFor([&] { return bench.camera->ssdTakes()->count() == 1; }, 5000));
        QCOMPARE(bench.camera->ssdTakes()->at(0)->name(), again->fileName() + ".vorn");

        // Level 2: no del_take; level 1: the range only.
        QVERIFY(SimCameras::put(bench.address, "/features/ssd-save", "2"));
        QTest::qWait(400);
        SaveJob* level2 = save(bench.take, 0, 5, "two", SaveJob::ForceDeleteClose);
        QVERIFY(waitForEnd(level2));
        QCOMPARE(level2->state(), SaveJob::Done);
        QCOMPARE(lastSaveBody(bench.sim), QByteArray("{\"take\":1,\"start\":0,\"cnt\":5,\"name\":\"two\"}"));
        QVERIFY(SimCameras::put(bench.address, "/features/ssd-save", "1"));
        QTest::qWait(400);
        SaveJob* level1 = save(bench.take, 0, 5, "one");
        QVERIFY(waitForEnd(level1));
        QCOMPARE(level1->state(), SaveJob::Done);
        QCOMPARE(lastSaveBody(bench.sim), QByteArray("{\"take\":1,\"start\":0,\"cnt\":5}"));
        QVERIFY(bench.take->savedOpened());

        // Level 3 with the take given up: the camera deletes it once written.
        QVERIFY(SimCameras::put(bench.address, "/features/ssd-save", "3"));
        QTest::qWait(400);
        SaveJob* moved = save(bench.take, first, 10, "moved", SaveJob::ForceDeleteClose);
        QVERIFY(waitForEnd(moved));
        QCOMPARE(moved->state(), SaveJob::Done);
        QVERIFY(lastSaveBody(bench.sim).endsWith(",\"del_take\":1}"));
        QVERIFY(QTest::qWaitFor([&] { return !bench.take->savedOpened(); }, 5000));
        QCOMPARE(moved->state(), SaveJob::Done);
        bench.camera->disconnectCamera();
    }

    void waitsBehindTheCamerasOtherSaves()
    {
        // 4 MB/s: each whole-take save takes about a second on the camera.
        Bench bench = start(4LL << 20);
        QVERIFY(bench.take);
        const qint64 first = bench.take->firstFrame();
        const QByteArray whole =
            QStringLiteral("{\"take\":1,\"start\":%1,\"cnt\":60,\"name\":\"other\"}").arg(first).toUtf8();
        // Two saves of someone else are ahead on the camera.
        QCOMPARE(post(bench.address, "/ssd-save", whole).value("seq").toInt(), 1);
        QCOMPARE(post(bench.address, "/ssd-save", whole).value("seq").toInt(), 2);
        SaveJob* job = save(bench.take, first, 60, "mine");
        QList<SaveJob::State> states;
        QList<double> progress;
        connect(job, &SaveJob::stateChanged, this, [&] { states << job->state(); });
        connect(job, &SaveJob::progressChanged, this, [&] { progress << job->progress(); });
        QVERIFY(waitForEnd(job, 15000));
        QCOMPARE(job->state(), SaveJob::Done);
        QVERIFY(states.contains(SaveJob::QueuedFW));
        QCOMPARE(states.last(), SaveJob::Done);
        const int queuedAt = states.indexOf(SaveJob::QueuedFW);
        QVERIFY(states.mid(queuedAt).contains(SaveJob::Saving)); // written after the others
        // The camera's progress while it was written, then 100.
        QVERIFY(progress.size() >= 2);
        QCOMPARE(progress.last(), 100.0);
        bool between = false;
        for (double p : progress)
            between |= p > 0 && p < 100;
        QVERIFY(between);
        bench.camera->disconnectCamera();
    }

    void completedBeforeTheAnswer()
    {
        Bench bench = start(1LL << 30);
        QVERIFY(bench.take);
        // The camera writes at once but answers late: the poll has already
        // shown the write when the answer comes.
        bench.sim->addFault(q7sim::Fault::delayAnswer(800, "/ssd-save"));
        QtMessageHandler previous = qInstallMessageHandler(nullptr);
        static QStringList lines;
        lines.clear();
        qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& msg) { lines << msg; });
        SaveJob* job = save(bench.take, 0, 5, "quick");
        const bool ended = waitForEnd(job);
        qInstallMessageHandler(previous);
        QVERIFY(ended);
        QCOMPARE(job->state(), SaveJob::Done);
        QVERIFY(lines.contains("Save completed quickly"));
        bench.sim->clearFaults();
        bench.camera->disconnectCamera();
    }

    void ssdOrCameraGoing()
    {
        Bench bench = start(2LL << 20);
        QVERIFY(bench.take);
        const qint64 first = bench.take->firstFrame();
        SaveJob* failing = save(bench.take, first, 60, "lost");
        QVERIFY(QTest::qWaitFor(
            [&] { return failing->state() == SaveJob::Saving && failing->progress() > 0; }, 5000));
        bench.sim->failSsd();
        QVERIFY(waitForEnd(failing));
        QCOMPARE(failing->state(), SaveJob::Error);
        QCOMPARE(failing->error(), QStringLiteral("ssd.state = 7"));

        // A refused request ends with the camera's words.
        SaveJob* refused = save(bench.take, first, 60, "refused");
        QVERIFY(waitForEnd(refused));
        QCOMPARE(refused->state(), SaveJob::Error);
        QCOMPARE(refused->error(), QStringLiteral("SSD not ready"));

        // A camera that goes while one save runs and one waits behind it.
        Bench second = start(2LL << 20);
        QVERIFY(second.take);
        SaveJob* running = save(second.take, second.take->firstFrame(), 60, "running");
        SaveJob* waiting = save(second.take, second.take->firstFrame(), 60, "waiting");
        QVERIFY(QTest::qWaitFor(
            [&] { return running->state() == SaveJob::Saving && running->progress() > 0; }, 5000));
        QCOMPARE(waiting->state(), SaveJob::Queued);
        second.camera->disconnectCamera();
        QVERIFY(waitForEnd(running));
        QVERIFY(waitForEnd(waiting));
        QCOMPARE(running->state(), SaveJob::Error);
        QCOMPARE(running->error(), QStringLiteral("camera disconnected"));
        QCOMPARE(waiting->state(), SaveJob::Error);
        QCOMPARE(waiting->error(), QStringLiteral("camera disconnected"));
        // The one that waited was never sent.
        QCOMPARE(SimCameras::requests(second.sim, "POST", "/ssd-save").size(), 1);
        bench.camera->disconnectCamera();
    }

    void automaticSaveOfNewTakes()
    {
        VornApp* app = VornApp::instance();
        app->setSetting("vorn/x-autosave", true);
        app->setSetting("vorn/x-autosave_filename", "");
        app->setSetting("vorn/x-autosave_restart", true);
        // The take recorded before connecting is not saved.
        Bench bench = start(1LL << 30);
        QVERIFY(bench.take);
        QTest::qWait(500);
        QVERIFY(SimCameras::requests(bench.sim, "POST", "/ssd-save").isEmpty());

        // A take recorded now is saved whole, named by the time, and the
        // camera records again once it is written.
        QVERIFY(QTest::qWaitFor([&] { return bench.camera->takesAvailable() == 0; }, 2000));
        bench.take->deleteTake(false);
        QVERIFY(QTest::qWaitFor([&] { return !bench.take->savedOpened(); }, 3000));
        QVERIFY(SimCameras::recordTake(bench.sim, 100, 10) > 0);
        QVERIFY(QTest::qWaitFor(
            [&] { return !SimCameras::requests(bench.sim, "POST", "/ssd-save").isEmpty(); }, 5000));
        const QJsonObject body =
            QJsonDocument::fromJson(SimCameras::requests(bench.sim, "POST", "/ssd-save").first().body)
                .object();
        QCOMPARE(body.value("start").toInteger(), bench.take->firstFrame());
        QCOMPARE(body.value("cnt").toInt(), 60);
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d{6}Z$")
                    .match(body.value("name").toString())
                    .hasMatch());
        QCOMPARE(body.value("del_take").toInt(), 0);
        QVERIFY(QTest::qWaitFor([&] { return !SimCameras::requests(bench.sim, "POST", "/rec").isEmpty(); },
                                5000));
        QVERIFY(!SimCameras::requests(bench.sim, "POST", "/del").isEmpty());
        app->setSetting("vorn/x-autosave", false);
        bench.camera->disconnectCamera();
    }
};

VORN_TEST_MAIN(TestSsdSave)
#include "tst_ssdsave.moc"
