#include "VornFileWriter.h"

#include "FileSaveJob.h"
#include "PlaybackVornObject.h"
#include "VornFileGeometry.h"
#include "VornFileWriterWorker.h"

#include <QFile>
#include <QJsonDocument>
#include <QtEndian>

VornFileWriter::VornFileWriter(FileSaveJob* job) : VornWriter(job) {}

qint64 VornFileWriter::estFileSize(const PlaybackVornObject* source, qint64 frames)
{
    const VornFileGeometry geometry = VornFileGeometry::of(source);
    return qint64(geometry.recordSize()) * frames + 4096;
}

QByteArray VornFileWriter::header(const PlaybackVornObject* source, qint64 startFr, qint64 frCnt,
                                  quint64* dataOffset)
{
    QJsonObject document = source->valuesToJson();
    document.insert(QStringLiteral("fr_cnt"), frCnt);
    document.insert(QStringLiteral("first_fr"), startFr);
    document.insert(QStringLiteral("last_fr"), startFr + frCnt - 1);
    const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Compact);
    *dataOffset = dataOffsetFor(quint64(json.size()));

    QByteArray bytes("VORN", 4);
    const auto put32 = [&bytes](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    const auto put64 = [&bytes](quint64 v) {
        char b[8];
        qToLittleEndian(v, b);
        bytes.append(b, 8);
    };
    put32(Version);
    put64(JsonOffset);
    put64(quint64(json.size()));
    put64(*dataOffset);
    put32(HeaderWord);
    bytes.append(json);
    return bytes;
}

bool VornFileWriter::start()
{
    FileSaveJob* saveJob = job();
    const PlaybackVornObject* source = saveJob->source();
    if (!source) {
        setError(QStringLiteral("source deleted or closed"));
        return false;
    }
    m_file = createOutputFile();
    if (!m_file)
        return false;
    quint64 dataOffset = 0;
    const QByteArray bytes = header(source, saveJob->startFr(), saveJob->frCnt(), &dataOffset);
    if (m_file->write(bytes) != bytes.size() || !m_file->seek(qint64(dataOffset))) {
        setError(QStringLiteral("write error"));
        closeOutputFile(m_file, SaveJob::FinishedCancelled); // a file without its header is no file
        return false;
    }
    auto* worker = new VornFileWriterWorker(m_file, saveJob->frCnt());
    startWorker(worker, QStringLiteral("VornFileWriter Thread"));
    return true;
}

void VornFileWriter::close(SaveJob::FinishState state)
{
    closeOutputFile(m_file, state);
}
