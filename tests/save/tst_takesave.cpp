#include "Camera.h"
#include "FrameSynth.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "Take.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornFileBytes.h"
#include "VornTestMain.h"

#include <QJsonDocument>
#include <QPointer>
#include <QSignalSpy>
#include <QtEndian>

using q7sim::Fault;

namespace {

bool finished(const SaveJob* job)
{
    return job->state() == SaveJob::Done || job->state() == SaveJob::Cancelled ||
           job->state() == SaveJob::Error;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Saves of takes from simulated cameras: the bytes saved, the camera's queue,
// batches, and a save cancelled while it runs (how jobs end when the camera
// or the take goes away is tst_ssdsave's table).
class TestTakeSave : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QTemporaryDir m_dir;
    VornApp* m_app = nullptr;
    SaveManager* m_manager = nullptr;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;

    Take* recordTake(q7sim::SimCamera* sim, Camera* camera, int postFrames)
    {
        const int id = SimCameras::recordTake(sim, 100, postFrames);
        if (id == 0)
            return nullptr;
        Take* take = nullptr;
        (void)QTest::qWaitFor(
            [&] {
                for (Take* t : *camera->takes()) {
                    if (t->takeId() == id && t->savedOpened() && t->valuesInit())
                        take = t;
                }
                return take != nullptr;
            },
            5000);
        return take;
    }

    SaveJob* save(PlaybackVornObject* source, qint64 startFr, qint64 frCnt, const QString& name,
                  const QString& folder = QString())
    {
        return m_manager->createSaveJob(source, startFr, frCnt, SaveManager::FileDest, Util::FormatVorn,
                                        Util::CodecVorn, 0, 0, name, folder.isEmpty() ? m_dir.path() : folder,
                                        SaveJob::DontDeleteClose);
    }

    QString outputPath(const SaveJob* job) const { return m_dir.filePath(job->fileName() + ".vorn"); }

private slots:
    void initTestCase()
    {
        m_app = VornApp::instance();
        VornTest::useNetwork(&m_nam);
        m_manager = m_app->saveManager();
        q7sim::CameraConfig config;
        config.res = QStringLiteral("320x240");
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        m_camera = SimCameras::connect(m_sim);
        QVERIFY(m_camera);
    }

    void takeToVornFile()
    {
        Take* take = recordTake(m_sim, m_camera, 60);
        QVERIFY(take);
        const auto params = m_sim->takeFrameParams(take->takeId());
        QVERIFY(params);
        const qint64 first = take->firstFrame();
        const qint64 count = take->lastFrame() - first + 1;
        QVERIFY(count > 60);
        QCOMPARE(m_manager->estFileSize(take, count, Util::FormatVorn, Util::CodecVorn),
                 (320 * 240 + 32) * count + 4096);

        SaveJob* job = save(take, first, count, "<name>_<fr:6>");
        QVERIFY(job);
        QCOMPARE(job->state(), SaveJob::Saving);
        QCOMPARE(job->queue(), m_camera->fileSaveJobQueue());
        QCOMPARE(m_camera->fileSaveJobQueue()->activeSaveJob(), job);
        QVERIFY(m_camera->fileSaveBusy()); // no display fetches meanwhile
        QCOMPARE(job->sourceType(), SaveJob::TakeSourceType);
        QCOMPARE(job->sourceTakeId(), take->takeId());
        QCOMPARE(job->sourceCameraName(), m_camera->name()->value().toString());
        QVERIFY(!job->sourceCameraName().isEmpty());
        QCOMPARE(job->sourceFileName(), QString());
        QCOMPARE(job->fileName(), QStringLiteral("Take%1_").arg(take->takeId()) +
                                      QStringLiteral("%1").arg(first, 6, 10, QLatin1Char('0')));
        QSignalSpy progress(job, &SaveJob::progressChanged);
        QTRY_VERIFY_WITH_TIMEOUT(finished(job), 20000);
        QCOMPARE(job->state(), SaveJob::Done);
        QCOMPARE(job->progress(), 100.0);
        QVERIFY(progress.count() >= 1);
        QCOMPARE(m_camera->fileSaveJobQueue()->activeSaveJob(), nullptr);
        QVERIFY(!m_camera->fileSaveBusy());

        const QByteArray bytes = readAll(outputPath(job));
        const quint64 jsonSize = VornFileBytes::u64(bytes, 16);
        const quint64 dataOffset = VornFileBytes::u64(bytes, 24);
        const QJsonObject header = QJsonDocument::fromJson(bytes.mid(36, int(jsonSize))).object();
        QCOMPARE(header.value("first_fr").toInteger(), first);
        QCOMPARE(header.value("fr_cnt").toInteger(), count);
        QCOMPARE(header.value("acq").toObject().value("res").toString(), QStringLiteral("320x240"));
        QCOMPARE(header.value("camera").toObject().value("serial").toString(), params->serial);
        QVERIFY(header.contains("prtn_fr_cnt")); // the take's own values come along
        const int record = q7sim::FrameSynth::recordSize(*params, q7sim::XferBoth);
        QCOMPARE(quint64(bytes.size()), dataOffset + quint64(record) * count);
        for (qint64 i = 0; i < count; ++i) {
            if (bytes.mid(int(dataOffset + i * record), record) !=
                q7sim::FrameSynth::record(*params, first + i, q7sim::XferBoth))
                QFAIL(qPrintable(QStringLiteral("record %1 differs").arg(first + i)));
        }

        // The saved take opens as a file and saves a part of itself again.
        job->open();
        auto* file = qobject_cast<VornFile*>(m_app->selectedVornObject());
        QVERIFY(file);
        QCOMPARE(file->firstFrame(), first);
        SaveJob* part = save(file, first + 10, 20, "part");
        QTRY_VERIFY_WITH_TIMEOUT(finished(part), 10000);
        QCOMPARE(part->state(), SaveJob::Done);
        const QByteArray partBytes = readAll(outputPath(part));
        const quint64 partData = VornFileBytes::u64(partBytes, 24);
        QCOMPARE(partBytes.mid(int(partData), record), q7sim::FrameSynth::record(*params, first + 10, 3));
        file->close();
    }

    void oneCameraOneAtATime()
    {
        Take* take =
            m_camera->savedTakes()->count() ? qobject_cast<Take*>(m_camera->savedTakes()->get(0)) : nullptr;
        QVERIFY(take);
        const qint64 first = take->firstFrame();
        SaveJobQueue* queue = m_camera->fileSaveJobQueue();
        // About a second per save, so that each is seen while it runs.
        m_sim->addFault(Fault::xferPieces(16384, 5));
        SaveJob* a = save(take, first, 40, "a");
        SaveJob* failing = save(take, first, 40, "b", qEnvironmentVariable("VORN_READ_ONLY_DIR"));
        SaveJob* removed = save(take, first, 40, "removed");
        SaveJob* c = save(take, first + 5, 40, "c");
        QCOMPARE(a->state(), SaveJob::Saving);
        QCOMPARE(failing->state(), SaveJob::Queued);
        QCOMPARE(c->state(), SaveJob::Queued);
        QCOMPARE(queue->waiting().size(), 3);
        // A waiting job leaves the queue and the list when removed.
        QPointer<SaveJob> gone = removed;
        m_manager->removeSaveJob(removed);
        QCOMPARE(queue->waiting().size(), 2);
        QTRY_VERIFY(gone.isNull());

        // While the camera's save runs, a VORN file save does not wait.
        QTRY_VERIFY_WITH_TIMEOUT(finished(a), 20000);
        QCOMPARE(a->state(), SaveJob::Done);
        // The next one cannot start and ends at once; the one after it runs.
        QCOMPARE(failing->state(), SaveJob::Error);
        QCOMPARE(failing->error(), QStringLiteral("can't open file for writing (Read-only file system)"));
        QCOMPARE(c->state(), SaveJob::Saving);
        QCOMPARE(queue->activeSaveJob(), c);
        m_app->openVornFile(QUrl::fromLocalFile(outputPath(a)).toString());
        auto* file = qobject_cast<VornFile*>(m_app->selectedVornObject());
        QVERIFY(file);
        SaveJob* fileJob = save(file, first, 40, "fromfile");
        QCOMPARE(fileJob->state(), SaveJob::Saving);
        QTRY_VERIFY_WITH_TIMEOUT(finished(c) && finished(fileJob), 20000);
        QCOMPARE(c->state(), SaveJob::Done);
        QCOMPARE(fileJob->state(), SaveJob::Done);
        // The same records; a file's header holds fewer values than a take's.
        const QByteArray fromTake = readAll(outputPath(a));
        const QByteArray fromFile = readAll(outputPath(fileJob));
        QCOMPARE(fromFile.mid(int(VornFileBytes::u64(fromFile, 24))),
                 fromTake.mid(int(VornFileBytes::u64(fromTake, 24))));
        file->close();
        QCOMPARE(queue->activeSaveJob(), nullptr);
        m_sim->clearFaults();
    }

    void unalignedPiecesSaveEveryByte()
    {
        Take* take = qobject_cast<Take*>(m_camera->savedTakes()->get(0));
        QVERIFY(take);
        const qint64 first = take->firstFrame();
        m_sim->addFault(Fault::xferPieces(7777, 0));
        SaveJob* pieces = save(take, first, 30, "pieces");
        QTRY_VERIFY_WITH_TIMEOUT(finished(pieces), 10000);
        m_sim->clearFaults();
        QCOMPARE(pieces->state(), SaveJob::Done);
        const auto params = m_sim->takeFrameParams(take->takeId());
        const QByteArray bytes = readAll(outputPath(pieces));
        const int record = q7sim::FrameSynth::recordSize(*params, 3);
        QCOMPARE(bytes.right(record), q7sim::FrameSynth::record(*params, first + 29, 3));
    }

    void batchOfAllTakes()
    {
        m_camera->deleteAllTakes();
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->savedTakes()->count(), 0, 5000);
        m_camera->partition(3);
        QTRY_COMPARE_WITH_TIMEOUT(m_camera->takes()->count(), 3, 5000);
        for (int i = 0; i < 3; ++i)
            QVERIFY(recordTake(m_sim, m_camera, 20));
        m_camera->addAllTakesToSaveBatch();
        auto* rows = m_app->saveBatchObjModel();
        QCOMPARE(rows->count(), 3);
        m_app->setSetting("save/filename_seq", 5);
        const int before = m_manager->saveJobs()->count();
        m_manager->createSaveJobBatch(rows, SaveManager::FileDest, Util::FormatVorn, Util::CodecVorn, 0, 0,
                                      "<name>_<seq:2>", m_dir.path(), SaveJob::DontDeleteClose);
        QCOMPARE(m_manager->saveJobs()->count(), before + 3);
        QStringList names;
        for (int i = 0; i < 3; ++i) {
            SaveJob* job = m_manager->saveJobs()->at(before + i);
            names << job->fileName();
            QCOMPARE(job->state(), i == 0 ? SaveJob::Saving : SaveJob::Queued);
        }
        QCOMPARE(names, (QStringList{"Take1_05", "Take2_06", "Take3_07"}));
        QTRY_VERIFY_WITH_TIMEOUT(finished(m_manager->saveJobs()->at(before + 2)), 20000);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m_manager->saveJobs()->at(before + i)->state(), SaveJob::Done);
        // The takes stay: nobody asked to delete them.
        QCOMPARE(m_camera->savedTakes()->count(), 3);
        m_app->clearSaveBatchObjModel();
        QCOMPARE(rows->count(), 0);
        QCOMPARE(m_camera->savedTakes()->count(), 3);
    }

    void pacedSaveCancelled()
    {
        // A paced link keeps the saves running long enough to act meanwhile.
        q7sim::CameraConfig config;
        config.address = QStringLiteral("127.0.0.3");
        config.res = QStringLiteral("320x240");
        config.xferBytesPerSecond = 4 << 20;
        q7sim::SimCamera* sim = m_sims.start(config);
        QVERIFY(sim);
        Camera* camera = SimCameras::connect(sim);
        QVERIFY(camera);
        Take* take = recordTake(sim, camera, 100);
        QVERIFY(take);
        // Cancelled while running: it keeps its progress, leaves no file and
        // the next save of the camera starts.
        SaveJob* cancelled = save(take, take->firstFrame(), 100, "cancelled");
        SaveJob* next = save(take, take->firstFrame(), 10, "next");
        QTRY_VERIFY_WITH_TIMEOUT(cancelled->progress() > 0, 10000);
        cancelled->cancel();
        QCOMPARE(cancelled->state(), SaveJob::Cancelled);
        QVERIFY(cancelled->progress() > 0 && cancelled->progress() < 100);
        QVERIFY(!QFile::exists(outputPath(cancelled)));
        QCOMPARE(next->state(), SaveJob::Saving);
        QTRY_VERIFY_WITH_TIMEOUT(finished(next), 10000);
        QCOMPARE(next->state(), SaveJob::Done);
    }
};

VORN_TEST_MAIN(TestTakeSave)
#include "tst_takesave.moc"
