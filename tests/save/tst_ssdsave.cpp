// Saves of memory takes onto the camera's SSD against the simulator: the
// request at each firmware level, the camera's sequence numbers (waiting
// behind other saves, written with progress, done), names chosen by the
// camera, older firmware that tells only whether it writes, the SSD or
// camera going away or falling silent, the automatic save of new takes, and
// how every save job (file saves too) ends and lets its queue move on.
#include "Camera.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "SsdSaveJob.h"
#include "VornTestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <functional>

using q7sim::Fault;

class TestSsdSave : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QTemporaryDir m_dir;
    int m_nextAddress = 2;

    struct Bench
    {
        q7sim::SimCamera* sim = nullptr;
        Camera* camera = nullptr;
        QList<Take*> takes;
        Take* take = nullptr; // the first
        QString address;
    };

    // A camera whose SSD writes `bytesPerSecond`, with `takeCount` recorded
    // takes of 60 frames of 320 x 240 (4.6 MB each), connected.
    Bench start(int64_t bytesPerSecond, int ssdLevel = 3, int takeCount = 1,
                const std::function<void(q7sim::CameraConfig&)>& tune = {})
    {
        Bench bench;
        q7sim::CameraConfig config;
        bench.address = QStringLiteral("127.0.0.%1").arg(m_nextAddress++);
        config.address = bench.address;
        config.res = QStringLiteral("320x240");
        config.memoryBytes = takeCount * 60ULL * (320 * 240 + 32);
        config.ssdBytes = 1ULL << 30;
        config.ssdWriteBytesPerSecond = bytesPerSecond;
        if (tune)
            tune(config);
        bench.sim = m_sims.start(config);
        if (!bench.sim)
            return bench;
        SimCameras::put(bench.address, "/features/ssd-save", QByteArray::number(ssdLevel));
        post(bench.address, "/prtn", QByteArray("{\"cnt\":") + QByteArray::number(takeCount) + "}");
        QList<int> ids;
        for (int i = 0; i < takeCount; ++i)
            ids << SimCameras::recordTake(bench.sim, 100, 10);
        bench.camera = SimCameras::connect(bench.sim);
        if (!bench.camera || ids.contains(0))
            return bench;
        for (int id : ids) {
            if (!QTest::qWaitFor([&] { return bench.camera->takes()->count() >= id; }, 3000))
                return bench;
            Take* take = bench.camera->takes()->at(id - 1);
            if (!QTest::qWaitFor([&] { return take->valuesInit(); }, 3000))
                return bench;
            bench.takes << take;
        }
        bench.take = bench.takes.value(0);
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

    SaveJob* fileSave(Take* take, qint64 frCnt, const QString& name)
    {
        return VornApp::instance()->saveManager()->createSaveJob(
            take, take->firstFrame(), frCnt, SaveManager::FileDest, Util::FormatVorn, Util::CodecVorn, 0, 0,
            name, m_dir.path(), SaveJob::DontDeleteClose);
    }

    static int cameraValue(Camera* camera, const char* name)
    {
        return camera->property(name).value<CameraValue*>()->value().toInt();
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

        bench.camera->disconnectCamera();
    }

    void olderFirmware_data()
    {
        QTest::addColumn<qint64>("bytesPerSecond");
        QTest::addColumn<int>("startMs"); // the camera's delay before it writes
        QTest::addColumn<int>("fault");   // 1: answers but never writes; 2: falls silent while writing
        QTest::addColumn<QString>("error");
        const qint64 fast = 1LL << 30;
        QTest::addRow("written over two seconds") << qint64(2300000) << 0 << 0 << QString();
        QTest::addRow("written before any poll") << fast << 0 << 0 << QString();
        QTest::addRow("begun late") << fast << 1500 << 0 << QString();
        QTest::addRow("never written") << fast << 0 << 1 << "camera did not start the save";
        QTest::addRow("camera falls silent") << qint64(2300000) << 0 << 2 << "camera stopped answering";
    }

    // Older firmware numbers no saves and reports no progress, only whether
    // it writes: the save is done when the camera is idle again and its SSD
    // lists the new file, never before.
    void olderFirmware()
    {
        QFETCH(qint64, bytesPerSecond);
        QFETCH(int, startMs);
        QFETCH(int, fault);
        QFETCH(QString, error);
        const int limit = SsdSaveJob::silenceLimitMs();
        SsdSaveJob::setSilenceLimitMs(4000);
        Bench bench = start(bytesPerSecond, 1, 1, [&](q7sim::CameraConfig& c) {
            c.ssdOldFirmware = true;
            c.ssdSaveStartMs = startMs;
        });
        QVERIFY(bench.take);
        if (fault == 1)
            bench.sim->addFault(Fault::reply("POST", "/ssd-save", 200, "{}"));
        QObject context;
        QList<SaveJob::State> ends;
        QString usedAtEnd;
        SaveJob* job = save(bench.take, bench.take->firstFrame(), 60, "old");
        connect(job, &SaveJob::finished, &context, [&] {
            ends << job->state();
            usedAtEnd = bench.sim->stateDocument().value("ssd").toObject().value("used").toString();
        });
        if (fault == 2) {
            QVERIFY(QTest::qWaitFor([&] { return cameraValue(bench.camera, "ssdWrState") == 1; }, 5000));
            bench.sim->addFault(Fault::noAnswer());
        }
        const bool ended = waitForEnd(job, 20000);
        SsdSaveJob::setSilenceLimitMs(limit);
        bench.sim->clearFaults();
        QVERIFY(ended);
        QCOMPARE(ends.size(), 1);
        QCOMPARE(job->error(), error);
        QCOMPARE(job->state(), error.isEmpty() ? SaveJob::Done : SaveJob::Error);
        if (error.isEmpty()) {
            QVERIFY(usedAtEnd != "0");
            // The job names the file the camera chose, so it opens.
            const QJsonArray listing = post(bench.address, "/ssd-ls", "{}").value("ssd-ls").toArray();
            QCOMPARE(listing, QJsonArray{job->fileName() + "." + job->fileExt()});
        }
        bench.camera->disconnectCamera();
    }

    // Faults on the save request itself: a slow or late answer still saves,
    // a refusal ends with its reason, and a reply the camera did not act on
    // ends once the camera shows no save; the camera then takes the next one.
    void faultsOnTheRequest_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("error");
        QTest::addRow("slow") << 0 << QString();
        QTest::addRow("HTTP error with JSON") << 1 << "simulated camera fault";
        QTest::addRow("HTTP error") << 2 << "HTTP 503";
        QTest::addRow("not JSON") << 3 << "camera sent an unreadable answer";
        QTest::addRow("silent, then answers") << 4 << QString();
    }

    void faultsOnTheRequest()
    {
        QFETCH(int, kind);
        QFETCH(QString, error);
        const int limit = SsdSaveJob::silenceLimitMs();
        SsdSaveJob::setSilenceLimitMs(4000);
        Bench bench = start(1LL << 30);
        QVERIFY(bench.take);
        const QString path = QStringLiteral("/ssd-save");
        const Fault faults[] = {Fault::delay(1500, path), Fault::httpError(500, true, path),
                                Fault::httpError(503, false, path), Fault::malformedJson(path),
                                Fault::noAnswer(path)};
        bench.sim->addFault(faults[kind]);
        SaveJob* job = save(bench.take, bench.take->firstFrame(), 60, "faulty");
        if (kind == 4) {
            QVERIFY(QTest::qWaitFor([&] { return !lastSaveBody(bench.sim).isEmpty(); }, 5000));
            QCOMPARE(job->state(), SaveJob::Saving);
            bench.sim->clearFaults();
        }
        const bool ended = waitForEnd(job, 20000);
        SsdSaveJob::setSilenceLimitMs(limit);
        bench.sim->clearFaults();
        QVERIFY(ended);
        QCOMPARE(job->error(), error);
        QCOMPARE(job->state(), error.isEmpty() ? SaveJob::Done : SaveJob::Error);
        SaveJob* again = save(bench.take, bench.take->firstFrame(), 10, "again");
        QVERIFY(waitForEnd(again, 20000));
        QCOMPARE(again->state(), SaveJob::Done);
        bench.camera->disconnectCamera();
    }

    void everyEnd_data()
    {
        QTest::addColumn<int>("subject");
        QTest::addColumn<int>("event");
        const char* subjects[] = {"SSD save queued",  "SSD save behind the camera's own",
                                  "SSD save written", "SSD save on older firmware",
                                  "file save queued", "file save running"};
        const char* events[] = {"take deleted", "camera gone", "cancel", "remove"};
        for (int subject = 0; subject < 6; ++subject)
            for (int event = 0; event < 4; ++event)
                QTest::addRow("%s, %s", subjects[subject], events[event]) << subject << event;
    }

    // Whatever ends a save job, in whatever state, it emits finished() once,
    // with its final state and reason, and the jobs behind it start in order.
    void everyEnd()
    {
        enum { SsdQueued, SsdBehind, SsdWritten, SsdOlder, FileQueued, FileRunning };
        enum { TakeDeleted, CameraGone, Cancel, Remove };
        QFETCH(int, subject);
        QFETCH(int, event);
        const bool ssd = subject <= SsdOlder;
        const bool queued = subject == SsdQueued || subject == FileQueued;
        SaveManager* manager = VornApp::instance()->saveManager();
        // A whole take takes the camera two seconds.
        Bench bench = start(2300000, subject == SsdOlder ? 1 : 3, 2,
                            [&](q7sim::CameraConfig& c) { c.ssdOldFirmware = subject == SsdOlder; });
        QCOMPARE(bench.takes.size(), 2);
        Take* mine = bench.takes[1];
        Take* other = bench.takes[0];
        QObject context;
        QHash<SaveJob*, QList<SaveJob::State>> ends;
        QHash<SaveJob*, QString> errors;
        const auto make = [&](Take* take, qint64 count, const QString& name) {
            SaveJob* job = ssd ? save(take, take->firstFrame(), count, name) : fileSave(take, count, name);
            connect(job, &SaveJob::finished, &context, [&, job] {
                ends[job] << job->state();
                errors[job] = job->error();
            });
            return job;
        };
        // Ahead of the subject: a job of ours that the camera holds up, the
        // camera's own save, or a transfer that trickles in.
        SaveJob* blocker = nullptr;
        if (queued) {
            bench.sim->addFault(Fault::noAnswer(ssd ? "/ssd-save" : "/xfer"));
            blocker = make(other, 1, "blocker");
        } else if (subject == SsdBehind) {
            const QString body = QStringLiteral("{\"take\":%1,\"start\":%2,\"cnt\":60}")
                                     .arg(other->takeId())
                                     .arg(other->firstFrame());
            QCOMPARE(post(bench.address, "/ssd-save", body.toUtf8()).value("seq").toInt(), 1);
        } else if (subject == FileRunning) {
            bench.sim->addFault(Fault::xferPieces(2048, 10));
        }
        SaveJob* job = make(mine, subject == SsdBehind ? 1 : 60, "subject");
        SaveJob* first = make(other, 1, "first");
        SaveJob* second = make(other, 1, "second");
        QVERIFY(QTest::qWaitFor(
            [&] {
                switch (subject) {
                case SsdBehind:
                    return job->state() == SaveJob::QueuedFW;
                case SsdWritten:
                    return job->progress() > 0;
                case SsdOlder:
                    return cameraValue(bench.camera, "ssdWrState") == 1;
                case FileRunning:
                    return job->progress() >= 5;
                default:
                    return true;
                }
            },
            10000));
        const SaveJob::State before = job->state();
        QCOMPARE(before, queued                 ? SaveJob::Queued
                         : subject == SsdBehind ? SaveJob::QueuedFW
                                                : SaveJob::Saving);

        SaveJobQueue* queue = ssd ? bench.camera->ssdSaveJobQueue() : bench.camera->fileSaveJobQueue();
        QList<SaveJob*> started;
        connect(queue, &SaveJobQueue::activeSaveJobChanged, &context, [&] {
            if (queue->activeSaveJob())
                started << queue->activeSaveJob();
        });
        switch (event) {
        case TakeDeleted:
            // The camera holds a take it saves; let it go.
            bench.sim->setTakeLocked(mine->takeId(), false);
            mine->deleteTake();
            break;
        case CameraGone:
            bench.camera->disconnectCamera();
            break;
        case Cancel:
            job->cancel();
            break;
        case Remove:
            manager->removeSaveJob(job);
            if (!queued) {
                // A running job stays until it is cancelled.
                QVERIFY(manager->saveJobs()->contains(job));
                QVERIFY(!job->ended() && ends.isEmpty());
                job->cancel();
            }
            break;
        }
        if (blocker && event != CameraGone) {
            // The subject ends first, then the job ahead of it lets the others go.
            QVERIFY(QTest::qWaitFor([&] { return ends.contains(job); }, 10000));
            blocker->cancel();
        }
        bench.sim->clearFaults();
        QVERIFY(QTest::qWaitFor(
            [&] {
                return ends.contains(job) && ends.contains(second) && (!blocker || ends.contains(blocker));
            },
            20000));

        const bool gone = event == CameraGone;
        const QString reason = event == TakeDeleted ? "take deleted or closed"
                               : gone               ? "camera disconnected"
                                                    : "";
        using States = QList<SaveJob::State>;
        QCOMPARE(ends.value(job), States{event == TakeDeleted || gone ? SaveJob::Error : SaveJob::Cancelled});
        // A file save that ran also says how much it kept.
        const QString error = errors.value(job);
        QVERIFY2(error == reason || (subject == FileRunning && error.startsWith(reason + " after ")),
                 qPrintable(error));
        QCOMPARE(manager->saveJobs()->contains(job), !(event == Remove && queued));
        if (blocker)
            QCOMPARE(ends.value(blocker), States{gone ? SaveJob::Error : SaveJob::Cancelled});
        for (SaveJob* follower : {first, second}) {
            QCOMPARE(ends.value(follower), States{gone ? SaveJob::Error : SaveJob::Done});
            QCOMPARE(errors.value(follower), gone ? reason : QString());
        }
        QCOMPARE(started, (gone ? QList<SaveJob*>() : QList<SaveJob*>{first, second}));
        if (!gone)
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
