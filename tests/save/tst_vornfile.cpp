#include "RawFrame.h"
#include "SaveBatchObject.h"
#include "SaveManager.h"
#include "VornApp.h"
#include "VornFile.h"
#include "VornFileBytes.h"
#include "VornTestMain.h"

#include <QJsonArray>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QUrl>

using VornFileBytes::FileLayout;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool finished(const SaveJob* job)
{
    return job->state() == SaveJob::Done || job->state() == SaveJob::Cancelled ||
           job->state() == SaveJob::Error;
}

QString url(const QString& path)
{
    return QUrl::fromLocalFile(path).toString();
}

} // namespace

// VORN files: the bytes the writer produces, opening and showing files of
// every version and shape, refusing broken ones, and saves of files.
class TestVornFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    VornApp* m_app = nullptr;
    SaveManager* m_manager = nullptr;

    QString makeFile(const QString& name, const FileLayout& layout)
    {
        const QString path = m_dir.filePath(name);
        if (!VornFileBytes::write(path, VornFileBytes::build(layout)))
            return QString();
        return path;
    }

    // Opens a file as the shell does; the file object, or null when refused.
    VornFile* open(const QString& path)
    {
        const int before = m_app->vornObjModel()->count();
        m_app->openVornFile(url(path));
        if (m_app->vornObjModel()->count() == before)
            return nullptr;
        return qobject_cast<VornFile*>(m_app->vornObjModel()->last());
    }

    SaveJob* save(PlaybackVornObject* source, qint64 startFr, qint64 frCnt, const QString& name,
                  const QString& folder = QString(),
                  SaveJob::DeleteCloseSource deleteClose = SaveJob::DontDeleteClose)
    {
        return m_manager->createSaveJob(source, startFr, frCnt, SaveManager::FileDest, Util::FormatVorn,
                                        Util::CodecVorn, 0, 0, name, folder.isEmpty() ? m_dir.path() : folder,
                                        deleteClose);
    }

    // The output of a finished job.
    QString outputPath(const SaveJob* job) const { return m_dir.filePath(job->fileName() + ".vorn"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_app = VornApp::instance();
        m_app->stopBroadcast();
        m_manager = m_app->saveManager();
        QVERIFY(m_manager);
    }

    void cleanup()
    {
        m_app->closeAllVornFiles();
        QTest::qWait(0);
    }

    void writtenFileAndSubRange()
    {
        FileLayout layout;
        layout.firstFr = 90;
        layout.frames = 110; // 90 .. 199
        const QString path = makeFile("src.vorn", layout);
        VornFile* file = open(path);
        QVERIFY(file);
        QCOMPARE(m_app->selectedVornObject(), file);
        QVERIFY(file->objectName().endsWith("-VornFile"));
        QCOMPARE(file->type(), int(VornObject::VornFileType));
        QCOMPARE(file->fileName(), path);
        QCOMPARE(file->version(), 2u);
        QCOMPARE(file->headerWord(), 5u);
        QCOMPARE(file->firstFrame(), 90);
        QCOMPARE(file->lastFrame(), 199);
        QCOMPARE(file->fr(), 90);
        QCOMPARE(file->aFr(), 90);
        QCOMPARE(file->bFr(), 199);
        QVERIFY(file->valuesInit());
        QCOMPARE(file->property("cameraName").value<VornValue*>()->value().toString(), layout.cameraName);
        // The saved adjustment comes back with the file.
        QCOMPARE(file->imgAdjModel()->gain()->value().toDouble(), 2.0);
        QCOMPARE(file->imgAdjModel()->gammaR()->value().toDouble(), 1.5);
        QCOMPARE(m_app->openVornFiles()->count(), 1);

        const qint64 record = VornFileBytes::recordSize(layout);
        QCOMPARE(m_manager->estFileSize(file, 50, Util::FormatVorn, Util::CodecVorn), record * 50 + 4096);
        QCOMPARE(m_manager->estFileSize(file, 50, Util::FormatMp4, Util::CodecH264), 0);

        SaveJob* job = save(file, 100, 50, "<name>_<fr>");
        QVERIFY(job);
        QCOMPARE(job->state(), SaveJob::Saving); // no queue: started at once
        QCOMPARE(job->queue(), nullptr);
        QCOMPARE(job->sourceType(), SaveJob::VornFileSourceType);
        QCOMPARE(job->sourceFileName(), path);
        QCOMPARE(job->fileName(), QStringLiteral("src_100"));
        QCOMPARE(job->fileExt(), QStringLiteral("vorn"));
        QVERIFY(m_manager->saveJobs()->contains(job));
        QTRY_VERIFY_WITH_TIMEOUT(finished(job), 10000);
        QCOMPARE(job->state(), SaveJob::Done);
        QCOMPARE(job->progress(), 100.0);
        QCOMPARE(job->error(), QString());

        const QByteArray bytes = readAll(outputPath(job));
        QCOMPARE(bytes.left(4), QByteArray("VORN"));
        QCOMPARE(VornFileBytes::u32(bytes, 4), 2u);
        QCOMPARE(VornFileBytes::u64(bytes, 8), 36u);
        const quint64 jsonSize = VornFileBytes::u64(bytes, 16);
        const quint64 dataOffset = VornFileBytes::u64(bytes, 24);
        QCOMPARE(VornFileBytes::u32(bytes, 32), 5u);
        QCOMPARE(dataOffset % 4096, 0u);
        QVERIFY(dataOffset >= 36 + jsonSize && dataOffset < 36 + jsonSize + 4096);
        const QByteArray json = bytes.mid(36, int(jsonSize));
        QVERIFY(!json.contains('\n'));
        const QJsonObject header = QJsonDocument::fromJson(json).object();
        QCOMPARE(header.value("first_fr").toInteger(), 100);
        QCOMPARE(header.value("last_fr").toInteger(), 149);
        QCOMPARE(header.value("fr_cnt").toInteger(), 50);
        QCOMPARE(header.value("acq").toObject().value("res").toString(), QStringLiteral("32x16"));
        QCOMPARE(header.value("meta").toObject().value("size").toInt(), 32);
        QCOMPARE(header.value("adjust").toObject().value("gain").toDouble(), 2.0);
        QCOMPARE(bytes.mid(36 + int(jsonSize), int(dataOffset - 36 - jsonSize)),
                 QByteArray(int(dataOffset - 36 - jsonSize), '\0'));
        QCOMPARE(quint64(bytes.size()), dataOffset + 50 * record);
        for (int i = 0; i < 50; ++i) {
            // Records 10 to 59 of the source, byte for byte.
            QCOMPARE(bytes.mid(int(dataOffset + i * record), int(record)),
                     VornFileBytes::record(layout, 100 + i));
        }

        // The saved file opens, plays its frames and saves again.
        job->open();
        auto* copy = qobject_cast<VornFile*>(m_app->selectedVornObject());
        QVERIFY(copy && copy != file);
        QCOMPARE(copy->firstFrame(), 100);
        QCOMPARE(copy->lastFrame(), 149);
        RawFrame frame;
        QSignalSpy ready(&frame, &RawFrame::initFinished);
        QCOMPARE(copy->getFrame(&frame, 120), 0);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(frame.data(), VornFileBytes::record(layout, 120));
        QCOMPARE(frame.width(), quint16(32));
        QCOMPARE(frame.height(), quint16(16));
        QCOMPARE(frame.metaSize(), 32u);
        QCOMPARE(frame.yearOffset(), 1000000u);
        copy->pause();
        copy->setFr(130, false);
        QCOMPARE(copy->lastRequestedFr(), 130);
        QCOMPARE(copy->imgFrame()->image().size(), QSize(32, 16));

        // Saving under a name that exists adds " (2)", then " (3)".
        SaveJob* second = save(file, 100, 5, "<name>_<fr>");
        QCOMPARE(second->fileName(), QStringLiteral("src_100 (2)"));
        SaveJob* third = save(file, 100, 5, "<name>_<fr>");
        QCOMPARE(third->fileName(), QStringLiteral("src_100 (3)"));
        QTRY_VERIFY_WITH_TIMEOUT(finished(second) && finished(third), 10000);
        QCOMPARE(second->state(), SaveJob::Done);
        QCOMPARE(third->state(), SaveJob::Done);
        QCOMPARE(readAll(outputPath(third)).size(), int(dataOffset + 5 * record));

        // Nothing to save makes no job; what the rules forbid makes none
        // either, and says why (once for a whole batch).
        QCOMPARE(save(file, 100, 0, "none"), nullptr);
        QSignalSpy messages(m_app, &VornApp::showMessage);
        const int jobs = m_manager->saveJobs()->count();
        const auto refused = [&](SaveManager::SaveDest dest, int format, Util::Codec codec) {
            return !m_manager->createSaveJob(file, 100, 5, dest, Util::Format(format), codec, 0, 0, "x",
                                             m_dir.path(), SaveJob::DontDeleteClose);
        };
        QVERIFY(refused(SaveManager::SsdDest, Util::FormatVorn, Util::CodecVorn));
        QVERIFY(refused(SaveManager::FileDest, 9, Util::CodecVorn));
        QVERIFY(refused(SaveManager::FileDest, Util::FormatTiff, Util::CodecH264));
        QCOMPARE(messages.count(), 3);
        QVERIFY(messages.at(0).at(0).toString().contains("Only takes in camera memory"));
        QVERIFY(messages.at(2).at(0).toString().contains("TIFF files can't hold the codec H264"));
        QQmlObjectListModel<SaveBatchObject> batch;
        batch.append(new SaveBatchObject(file, &batch));
        batch.append(new SaveBatchObject(file, &batch));
        m_manager->createSaveJobBatch(&batch, SaveManager::SsdDest, Util::FormatVorn, Util::CodecVorn, 0, 0,
                                      "x", m_dir.path(), SaveJob::DontDeleteClose);
        QCOMPARE(messages.count(), 4);
        QCOMPARE(m_manager->saveJobs()->count(), jobs);
    }

    void jsonLengthAtThePageBoundary()
    {
        FileLayout layout;
        layout.frames = 3;
        VornFile* file = open(makeFile("pad.vorn", layout));
        QVERIFY(file);
        SaveJob* probe = save(file, 0, 1, "probe");
        QTRY_VERIFY_WITH_TIMEOUT(finished(probe), 10000);
        const int probeJson = int(VornFileBytes::u64(readAll(outputPath(probe)), 16));
        m_app->closeAllVornFiles();

        for (int target : {4060, 4061}) {
            FileLayout padded = layout;
            padded.cameraName = layout.cameraName + QString(target - probeJson, QLatin1Char('p'));
            VornFile* source = open(makeFile(QStringLiteral("pad%1.vorn").arg(target), padded));
            QVERIFY(source);
            SaveJob* job = save(source, 0, 3, QStringLiteral("out%1").arg(target));
            QTRY_VERIFY_WITH_TIMEOUT(finished(job), 10000);
            QCOMPARE(job->state(), SaveJob::Done);
            const QByteArray bytes = readAll(outputPath(job));
            QCOMPARE(int(VornFileBytes::u64(bytes, 16)), target);
            const quint64 dataOffset = VornFileBytes::u64(bytes, 24);
            QCOMPARE(dataOffset, target == 4060 ? 4096u : 8192u);
            QCOMPARE(bytes.mid(int(dataOffset), VornFileBytes::recordSize(layout)),
                     VornFileBytes::record(layout, 0));
        }
    }

    void versionsAndAlternativeKeys()
    {
        for (quint32 version : {0u, 1u}) {
            FileLayout layout;
            layout.version = version;
            layout.metaAtTop = true;
            layout.metaSize = 48;
            layout.firstFr = -5;
            VornFile* file = open(makeFile(QStringLiteral("v%1.vorn").arg(version), layout));
            QVERIFY(file);
            QCOMPARE(file->version(), version);
            QCOMPARE(file->jsonOffset(), 32u); // no header word before the JSON
            QCOMPARE(file->headerWord(), 0u);
            QCOMPARE(file->metaSizeValue()->value().toInt(), 48);
            QCOMPARE(file->yearOffsetSeconds(), 1000000u);
            RawFrame frame;
            QCOMPARE(file->getFrame(&frame, -3), 0);
            QCOMPARE(frame.data(), VornFileBytes::record(layout, -3));
        }
        // A JSON header elsewhere than right after the fixed part is found
        // by its offset.
        FileLayout moved;
        moved.jsonOffset = 100;
        QByteArray bytes = VornFileBytes::build(moved);
        const QByteArray json = VornFileBytes::jsonText(moved);
        bytes.replace(36, json.size(), QByteArray(json.size(), ' '));
        bytes.replace(100, json.size(), json);
        QVERIFY(VornFileBytes::write(m_dir.filePath("moved.vorn"), bytes));
        QVERIFY(open(m_dir.filePath("moved.vorn")));

        QSignalSpy messages(m_app, &VornApp::showMessage);
        FileLayout v3;
        v3.version = 3;
        QVERIFY(!open(makeFile("v3.vorn", v3)));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().first().toString(), QStringLiteral("<b>Unsupported VORN file version!</b>"));
        for (int i = 0; i < 4; ++i) {
            FileLayout wrong;
            wrong.magic = "VORN";
            wrong.magic[i] = 'x';
            QVERIFY(!open(makeFile(QStringLiteral("magic%1.vorn").arg(i), wrong)));
        }
        QCOMPARE(messages.count(), 5);
        QCOMPARE(messages.last().first().toString(), QStringLiteral("<b>Unsupported VORN file version!</b>"));
        // A file that is not there says nothing but is not listed either.
        QVERIFY(!open(m_dir.filePath("missing.vorn")));
        QCOMPARE(messages.count(), 5);
        QCOMPARE(m_app->vornObjModel()->count(), 3);
    }

    void brokenHeadersAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const auto with = [](auto change) {
            FileLayout layout;
            change(layout);
            return VornFileBytes::build(layout);
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("magic only") << QByteArray("VORN");
        QTest::newRow("fixed part cut") << VornFileBytes::build(FileLayout()).left(30);
        QTest::newRow("json size absurd") << with([](FileLayout& s) { s.jsonSize = qint64(1) << 62; });
        QByteArray wraps = VornFileBytes::build(FileLayout());
        wraps.replace(8, 8, QByteArray(8, char(0xff)));
        QTest::newRow("json offset wraps") << wraps;
        QTest::newRow("json not json") << with([](FileLayout& s) { s.json = "{\"first_fr\": 0, "; });
        QTest::newRow("frames huge") << with([](FileLayout& s) {
            s.extra = {{"acq", QJsonObject{{"res", "65535x65535"}}}};
        });
        QTest::newRow("meta huge") << with([](FileLayout& s) {
            s.extra = {{"meta", QJsonObject{{"size", 1 << 30}}}};
        });
        // Records of no bytes: nothing to show, and a save would walk every
        // frame the header claims without ever reaching the end of the file.
        QTest::newRow("records of no bytes")
            << with([](FileLayout& s) { s.width = s.height = s.metaSize = 0; });
    }

    void brokenHeadersAreRefused()
    {
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath("broken.vorn");
        QVERIFY(VornFileBytes::write(path, bytes));
        const int before = m_app->vornObjModel()->count();
        QVERIFY(!open(path));
        QCOMPARE(m_app->vornObjModel()->count(), before);
        QCOMPARE(m_app->selectedVornObject(), nullptr);
    }

    void bareHeaderAndClosedFile()
    {
        // Odd "res" values are replayed from the fuzz corpus; here the frame
        // fetch of a header without frame values, and of a closed file.
        FileLayout bare;
        bare.json = "{\"acq\": {\"res\": \"8x2\"}}";
        VornFile* file = open(makeFile("bare.vorn", bare));
        QVERIFY(file);
        RawFrame frame;
        QCOMPARE(file->getFrame(&frame, 0), 0);
        QCOMPARE(file->getFrame(nullptr, 0), -1);
        file->close();
        QCOMPARE(file->getFrame(&frame, 0), -1); // closed
        QVERIFY(file->frameBusy());
    }

    void truncatedBody()
    {
        FileLayout layout;
        layout.frames = 20;
        QByteArray bytes = VornFileBytes::build(layout);
        const int record = VornFileBytes::recordSize(layout);
        bytes.chop(record * 5 - 100); // frame 15 keeps 100 bytes, 16 to 19 are gone
        VornFile* file = open(makeFile("cut.vorn", FileLayout()));
        QVERIFY(file);
        file->close();
        QVERIFY(VornFileBytes::write(m_dir.filePath("cut.vorn"), bytes));
        file = open(m_dir.filePath("cut.vorn"));
        QVERIFY(file);
        RawFrame frame;
        QCOMPARE(file->getFrame(&frame, 15), 0);
        QCOMPARE(frame.data(), VornFileBytes::record(layout, 15).left(100));
        QCOMPARE(file->getFrame(&frame, 18), 0);
        QCOMPARE(frame.data().size(), 0);
        // Shown all the same: the picture is padded to its size.
        file->pause();
        file->setFr(15, false);
        QCOMPARE(file->imgFrame()->image().size(), QSize(32, 16));
        file->setFr(19, false);
        QCOMPARE(file->imgFrame()->image().size(), QSize(32, 16));

        // A save reaching past the end fails with the reader's text, never Done.
        SaveJob* past = save(file, 10, 10, "past");
        QTRY_VERIFY_WITH_TIMEOUT(finished(past), 10000);
        QCOMPARE(past->state(), SaveJob::Error);
        QCOMPARE(past->error(), QStringLiteral("read error after 5 of 10 frames"));
        SaveJob* whole = save(file, 0, 15, "whole");
        QTRY_VERIFY_WITH_TIMEOUT(finished(whole), 10000);
        QCOMPARE(whole->state(), SaveJob::Done);
        // Frames before the file's first are none of its frames.
        SaveJob* before = save(file, -1, 3, "before");
        QCOMPARE(before->state(), SaveJob::Error);
        QCOMPARE(before->error(), QStringLiteral("frames out of range"));
        SaveJob* huge = save(file, 0x7ffffffffffffff0LL, 15, "huge");
        QCOMPARE(huge->state(), SaveJob::Error);
    }

    void cancelAndSideBySide()
    {
        FileLayout layout;
        layout.frames = 200;
        VornFile* a = open(makeFile("a.vorn", layout));
        VornFile* b = open(makeFile("b.vorn", layout));
        QVERIFY(a && b);
        SaveJob* first = save(a, 0, 200, "first");
        SaveJob* second = save(b, 0, 200, "second");
        // Saves of files do not wait for each other.
        QCOMPARE(first->state(), SaveJob::Saving);
        QCOMPARE(second->state(), SaveJob::Saving);
        QVERIFY(QFile::exists(outputPath(first)));
        // A running save can be neither removed nor left behind when cancelled.
        m_manager->removeSaveJob(first);
        QVERIFY(m_manager->saveJobs()->contains(first));
        first->cancel();
        QCOMPARE(first->state(), SaveJob::Cancelled);
        QVERIFY(first->progress() < 100);
        QVERIFY(!QFile::exists(outputPath(first)));
        QTRY_VERIFY_WITH_TIMEOUT(finished(second), 10000);
        QCOMPARE(second->state(), SaveJob::Done);
        first->cancel(); // an ended job stays as it is
        QCOMPARE(first->state(), SaveJob::Cancelled);

        QPointer<SaveJob> gone = first;
        const QString kept = outputPath(second);
        m_manager->removeSaveJob(first);
        m_manager->removeSaveJob(second);
        QVERIFY(!m_manager->saveJobs()->contains(gone));
        QTRY_VERIFY(gone.isNull());
        QVERIFY(QFile::exists(kept));

        // The saved file is unaffected by its source being closed meanwhile.
        SaveJob* third = save(b, 10, 100, "third");
        b->close();
        QTRY_VERIFY_WITH_TIMEOUT(finished(third), 10000);
        QCOMPARE(third->state(), SaveJob::Done);
        QCOMPARE(third->source(), nullptr);
        QCOMPARE(third->sourceFileName(), m_dir.filePath("b.vorn"));
        const QByteArray bytes = readAll(outputPath(third));
        const quint64 dataOffset = VornFileBytes::u64(bytes, 24);
        QCOMPARE(bytes.mid(int(dataOffset + 99 * VornFileBytes::recordSize(layout))),
                 VornFileBytes::record(layout, 109));
    }

    void batchClosesItsFiles()
    {
        FileLayout layout;
        layout.firstFr = 7;
        layout.frames = 30;
        makeFile("batch1.vorn", layout);
        makeFile("batch2.vorn", layout);
        FileLayout v9;
        v9.version = 9;
        makeFile("batch3.vorn", v9);
        QTemporaryDir out;
        m_app->openVornFileForSaveBatch(url(m_dir.filePath("batch1.vorn")));
        m_app->openVornFileForSaveBatch(url(m_dir.filePath("batch2.vorn")));
        m_app->openVornFileForSaveBatch(url(m_dir.filePath("batch3.vorn")));
        auto* rows = m_app->saveBatchObjModel();
        QCOMPARE(rows->count(), 3); // listed whether it opened or not
        QCOMPARE(m_app->openVornFiles()->count(), 0);
        SaveBatchObject* row = rows->at(0);
        QCOMPARE(row->aFr(), 7);
        QCOMPARE(row->bFr(), 36);
        row->setBFr(3); // below aFr
        QCOMPARE(row->bFr(), 7);
        row->setBFr(100);
        QCOMPARE(row->bFr(), 36);
        row->setAFr(40); // above bFr
        QCOMPARE(row->aFr(), 36);
        row->setAFr(-10);
        QCOMPARE(row->aFr(), 7);
        row->setBFr(16);
        row->setAFr(12);
        QCOMPARE(row->aFr(), 12);
        QCOMPARE(row->bFr(), 16);

        m_app->setSetting("save/filename_seq", 5);
        QPointer<PlaybackVornObject> source1 = rows->at(0)->source();
        QPointer<PlaybackVornObject> source2 = rows->at(1)->source();
        const int jobsBefore = m_manager->saveJobs()->count();
        m_manager->createSaveJobBatch(rows, SaveManager::FileDest, Util::FormatVorn, Util::CodecVorn, 0, 0,
                                      "<name>_<seq:2>", out.path(), SaveJob::ForceDeleteClose);
        QCOMPARE(m_manager->saveJobs()->count(), jobsBefore + 3);
        SaveJob* jobs[3];
        for (int i = 0; i < 3; ++i)
            jobs[i] = m_manager->saveJobs()->at(jobsBefore + i);
        QCOMPARE(jobs[0]->fileName(), QStringLiteral("batch1_05"));
        QCOMPARE(jobs[1]->fileName(), QStringLiteral("batch2_06"));
        QCOMPARE(jobs[2]->fileName(), QStringLiteral("batch3_07"));
        QCOMPARE(jobs[2]->state(), SaveJob::Error);
        QCOMPARE(jobs[2]->error(), QStringLiteral("can't open file for reading"));
        QTRY_VERIFY_WITH_TIMEOUT(finished(jobs[0]) && finished(jobs[1]), 10000);
        QCOMPARE(jobs[0]->state(), SaveJob::Done);
        QCOMPARE(jobs[1]->state(), SaveJob::Done);
        QCOMPARE(jobs[0]->frCnt(), 5);
        QCOMPARE(jobs[0]->startFr(), 12);
        const QByteArray bytes = readAll(out.filePath("batch1_05.vorn"));
        QCOMPARE(QJsonDocument::fromJson(bytes.mid(36, int(VornFileBytes::u64(bytes, 16))))
                     .object()
                     .value("first_fr")
                     .toInteger(),
                 12);
        // Each file is closed and released once saved.
        QTRY_VERIFY(source1.isNull() && source2.isNull());
        QCOMPARE(rows->at(0)->source(), nullptr);
        m_app->clearSaveBatchObjModel(true);
        QCOMPARE(rows->count(), 0);
        // A batch of rows whose sources are gone makes nothing.
        m_app->openVornFileForSaveBatch(url(m_dir.filePath("batch1.vorn")));
        delete rows->at(0)->source();
        const int count = m_manager->saveJobs()->count();
        m_manager->createSaveJobBatch(rows, SaveManager::FileDest, Util::FormatVorn, Util::CodecVorn, 0, 0,
                                      "x", out.path(), SaveJob::ForceDeleteClose);
        QCOMPARE(m_manager->saveJobs()->count(), count);
        m_app->clearSaveBatchObjModel(true);
    }

    void closeAll()
    {
        FileLayout layout;
        VornFile* a = open(makeFile("c1.vorn", layout));
        VornFile* b = open(makeFile("c2.vorn", layout));
        QVERIFY(a && b);
        QCOMPARE(m_app->openVornFiles()->count(), 2);
        QCOMPARE(m_app->selectedVornObject(), b);
        QSignalSpy closed(a, &VornFile::closed);
        QPointer<VornFile> pa = a;
        m_app->closeAllVornFiles();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(m_app->openVornFiles()->count(), 0);
        QCOMPARE(m_app->selectedVornObject(), nullptr);
        QVERIFY(!a->isOpen());
        QTRY_VERIFY(pa.isNull());
    }

    void failedSaveKeepsWholeRecords_data()
    {
        QTest::addColumn<qint64>("firstFr");
        QTest::addColumn<int>("jsonSize"); // of the save's header; 0: as it comes
        QTest::addRow("header rewritten in place") << qint64(100) << 0;
        // The last frame turns negative, its number longer: the JSON that
        // filled its page to the last byte no longer fits there.
        QTest::addRow("header moved after the records") << qint64(-20) << 4060;
    }

    // A save whose source runs short keeps the whole records it got, and the
    // header says so: the file opens with exactly those frames.
    void failedSaveKeepsWholeRecords()
    {
        QFETCH(qint64, firstFr);
        QFETCH(int, jsonSize);
        FileLayout layout;
        layout.firstFr = firstFr;
        layout.frames = 30;
        if (jsonSize > 0) {
            VornFile* probeSource = open(makeFile("probe.vorn", layout));
            SaveJob* probe = save(probeSource, firstFr, 30, "probe");
            QTRY_VERIFY_WITH_TIMEOUT(finished(probe), 10000);
            const int probeJson = int(VornFileBytes::u64(readAll(outputPath(probe)), 16));
            m_app->closeAllVornFiles();
            layout.cameraName += QString(jsonSize - probeJson, QLatin1Char('p'));
        }
        QByteArray bytes = VornFileBytes::build(layout);
        bytes.chop(VornFileBytes::recordSize(layout) * 25 - 10); // 5 whole records and a bit
        QVERIFY(VornFileBytes::write(m_dir.filePath("short.vorn"), bytes));
        VornFile* source = open(m_dir.filePath("short.vorn"));
        QVERIFY(source);
        SaveJob* job = save(source, firstFr, 30, "kept");
        QTRY_VERIFY_WITH_TIMEOUT(finished(job), 10000);
        QCOMPARE(job->state(), SaveJob::Error);
        QCOMPARE(job->error(), QStringLiteral("read error after 5 of 30 frames"));
        const QByteArray kept = readAll(outputPath(job));
        const quint64 jsonOffset = VornFileBytes::u64(kept, 8);
        const quint64 dataOffset = VornFileBytes::u64(kept, 24);
        QCOMPARE(jsonOffset, jsonSize > 0 ? dataOffset + 5 * VornFileBytes::recordSize(layout) : 36u);
        m_app->closeAllVornFiles();
        VornFile* reopened = open(outputPath(job));
        QVERIFY(reopened);
        QCOMPARE(reopened->firstFrame(), firstFr);
        QCOMPARE(reopened->lastFrame(), firstFr + 4);
        QCOMPARE(reopened->frCntValue()->value().toInt(), 5);
        RawFrame frame;
        QCOMPARE(reopened->getFrame(&frame, firstFr + 4), 0);
        QCOMPARE(frame.data(), VornFileBytes::record(layout, firstFr + 4));
    }

    void commandLineOpensTheFile()
    {
        const QString path = makeFile("cmdline.vorn", FileLayout());
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORN_SAVE_CHILD", "cmdline");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {path, m_dir.filePath("ignored.vorn")});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), (path + "|1").toUtf8());
    }
};

namespace {

// A child process of the test: the application started with command-line
// arguments.
int childMain(int argc, char** argv)
{
    VornTest::isolateUserFolders();
    VornApp app(argc, argv);
    app.stopBroadcast();
    auto* file = qobject_cast<VornFile*>(app.selectedVornObject());
    printf("%s|%d\n", file ? qPrintable(file->fileName()) : "none", int(app.vornObjModel()->count()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qgetenv("VORN_SAVE_CHILD") == "cmdline")
        return childMain(argc, argv);
    VornTest::isolateUserFolders();
    static int appArgc = 1;
    VornApp app(appArgc, argv);
    TestVornFile tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_vornfile.moc"
