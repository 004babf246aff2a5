// Metadata CSV files: the row of a metadata block, a take's metadata saved
// from the simulator row by row, free names, the size estimate and cancel.
#include "Camera.h"
#include "FrameSynth.h"
#include "MetaFileWriter.h"
#include "MetaFileWriterWorker.h"
#include "SaveManager.h"
#include "SimCameras.h"
#include "VornTestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

class TestMetaFile : public QObject
{
    Q_OBJECT

    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    QTemporaryDir m_dir;
    q7sim::SimCamera* m_sim = nullptr;
    Camera* m_camera = nullptr;
    Take* m_take = nullptr;

    SaveJob* saveCsv(qint64 startFr, qint64 frCnt, const QString& name)
    {
        return VornApp::instance()->saveManager()->createSaveJob(
            m_take, startFr, frCnt, SaveManager::FileDest, Util::FormatCsv, Util::CodecCsv, 0, 0, name,
            m_dir.path(), SaveJob::DontDeleteClose);
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    // The rows of a CSV file as Python's csv module parses them.
    static QList<QStringList> parseCsv(const QString& path)
    {
        QProcess python;
        python.start("python3", {"-c",
                                 "import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f))))",
                                 path});
        QList<QStringList> rows;
        if (!python.waitForFinished(10000) || python.exitCode() != 0)
            return rows;
        for (const QJsonValue& row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
            QStringList fields;
            for (const QJsonValue& field : row.toArray())
                fields.append(field.toString());
            rows.append(fields);
        }
        return rows;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        VornTest::useNetwork(&m_nam);
        q7sim::CameraConfig config;
        config.res = QStringLiteral("320x240");
        config.metaSize = 48; // longer than the 32 bytes a row shows
        config.memoryBytes = 60ULL * (320 * 240 + 48);
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        const int takeId = SimCameras::recordTake(m_sim, 100, 10);
        QVERIFY(takeId > 0);
        m_camera = SimCameras::connect(m_sim);
        QVERIFY(m_camera);
        QVERIFY(QTest::qWaitFor([&] { return m_camera->takes()->count() >= takeId; }, 3000));
        m_take = m_camera->takes()->at(takeId - 1);
        QVERIFY(QTest::qWaitFor([&] { return m_take->valuesInit(); }, 3000));
        QVERIFY(m_take->firstFrame() < 0);
    }

    void rowOfABlock()
    {
        QByteArray block(32, '\0');
        qToLittleEndian<quint32>(5, block.data());
        qToLittleEndian<quint32>(0xC0000005, block.data() + 4);
        qToLittleEndian<quint32>(0x80000000, block.data() + 8);
        for (int i = 12; i < 32; ++i)
            block[i] = char(i * 7);
        QString userData = QStringLiteral("0x");
        for (int i = 31; i >= 12; --i)
            userData += QStringLiteral("%1").arg(quint8(i * 7), 2, 16, QLatin1Char('0')).toUpper();
        QCOMPARE(
            MetaFileWriterWorker::row(7, block.constData(), block.size(), 1700000000),
            QStringLiteral("7,\"2023-11-14T22:13:25.000000005Z\",1,1,1,\"%1\"\r\n").arg(userData).toUtf8());

        // A short block: what is missing reads as 0, nothing past it is read.
        const QByteArray shortBlock = block.left(6);
        QCOMPARE(MetaFileWriterWorker::row(-3, shortBlock.constData(), shortBlock.size(), 0),
                 QByteArray("-3,\"1970-01-01T00:00:05.000000005Z\",0,0,0,\"0x"
                            "0000000000000000000000000000000000000000\"\r\n"));
    }

    void takeMetadataFromTheCamera()
    {
        const qint64 first = m_take->firstFrame();
        SaveJob* job = saveCsv(first, 20, "meta");
        QVERIFY(job);
        QCOMPARE(job->fileExt(), QStringLiteral("csv"));
        QVERIFY(QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 10000));
        QCOMPARE(job->state(), SaveJob::Done);
        // Only metadata was asked for.
        QVERIFY(SimCameras::requests(m_sim, "POST", "/xfer").last().body.contains("\"type\":2"));

        const auto params = m_sim->takeFrameParams(m_take->takeId());
        QVERIFY(params);
        QByteArray expected(MetaFileWriter::HeaderLine);
        QCOMPARE(expected.size(), 67);
        for (qint64 fr = first; fr < first + 20; ++fr) {
            const QByteArray meta = q7sim::FrameSynth::record(*params, fr, q7sim::XferMeta);
            QCOMPARE(meta.size(), 48);
            expected += MetaFileWriterWorker::row(fr, meta.constData(), 32, m_take->yearOffsetSeconds());
        }
        const QByteArray written = readFile(QDir(m_dir.path()).filePath("meta.csv"));
        QCOMPARE(written, expected);
        // Python's csv module reads it as a spreadsheet would.
        const QList<QStringList> rows = parseCsv(QDir(m_dir.path()).filePath("meta.csv"));
        QCOMPARE(rows.size(), 21);
        QCOMPARE(rows.at(0),
                 (QStringList{"frame", "timestamp", "timecode_lock", "event1", "event2", "user_data"}));
        for (int i = 1; i < rows.size(); ++i) {
            QCOMPARE(rows.at(i).size(), 6);
            QCOMPARE(rows.at(i).at(0).toLongLong(), first + i - 1);
            QVERIFY(rows.at(i).at(1).endsWith('Z'));
            QCOMPARE(rows.at(i).at(5).size(), 42);
        }
        QVERIFY(rows.at(1).at(0).startsWith('-'));

        // The same name again gets a free one; the estimate counts the widest frame number.
        SaveJob* again = saveCsv(0, 5, "meta");
        QVERIFY(QTest::qWaitFor([again] { return again->state() >= SaveJob::Done; }, 10000));
        QCOMPARE(again->state(), SaveJob::Done);
        QVERIFY(QFile::exists(QDir(m_dir.path()).filePath("meta (2).csv")));
        const qint64 digits =
            qMax(QByteArray::number(first).size(), QByteArray::number(m_take->lastFrame()).size());
        QCOMPARE(VornApp::instance()->saveManager()->estFileSize(m_take, 20, Util::FormatCsv, Util::CodecCsv),
                 67 + 20 * (86 + digits));
    }

    void cancelLeavesNoFile()
    {
        // Frames trickle in: the save is still running when it is cancelled.
        m_sim->addFault(q7sim::Fault::xferPieces(4, 20));
        SaveJob* job = saveCsv(m_take->firstFrame(), 60, "cancelled");
        QVERIFY(QTest::qWaitFor([job] { return job->state() == SaveJob::Saving; }, 5000));
        QTest::qWait(200);
        job->cancel();
        QVERIFY(QTest::qWaitFor([job] { return job->state() >= SaveJob::Done; }, 5000));
        QCOMPARE(job->state(), SaveJob::Cancelled);
        QVERIFY(!QFile::exists(QDir(m_dir.path()).filePath("cancelled.csv")));
        m_sim->clearFaults();
    }
};

VORN_TEST_MAIN(TestMetaFile)
#include "tst_metafile.moc"
