#include "VornFileWriter.h"

#include "FileSaveJob.h"
#include "PlaybackVornObject.h"
#include "VornFileGeometry.h"
#include "VornFileWriterWorker.h"

#include <QFile>
#include <QJsonDocument>
#include <QtEndian>

namespace {

QByteArray littleEndian64(quint64 v)
{
    char b[8];
    qToLittleEndian(v, b);
    return QByteArray(b, 8);
}

} // namespace

VornFileWriter::VornFileWriter(FileSaveJob* job) : VornWriter(job) {}

qint64 VornFileWriter::estFileSize(const PlaybackVornObject* source, qint64 frames)
{
    const VornFileGeometry geometry = VornFileGeometry::of(source);
    return qint64(geometry.recordSize()) * frames + 4096;
}

QJsonObject VornFileWriter::headerDocument(const PlaybackVornObject* source, qint64 startFr, qint64 frCnt)
{
    QJsonObject document = source->valuesToJson();
    document.insert(QStringLiteral("fr_cnt"), frCnt);
    document.insert(QStringLiteral("first_fr"), startFr);
    document.insert(QStringLiteral("last_fr"), startFr + frCnt - 1);
    return document;
}

QByteArray VornFileWriter::headerBytes(const QJsonObject& document, quint64* dataOffset)
{
    const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Compact);
    *dataOffset = dataOffsetFor(quint64(json.size()));

    QByteArray bytes("VORN", 4);
    const auto put32 = [&bytes](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
    };
    put32(Version);
    bytes += littleEndian64(JsonOffset);
    bytes += littleEndian64(quint64(json.size()));
    bytes += littleEndian64(*dataOffset);
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
    m_document = headerDocument(source, saveJob->startFr(), saveJob->frCnt());
    const QByteArray bytes = headerBytes(m_document, &m_dataOffset);
    m_jsonSize = quint64(bytes.size()) - JsonOffset;
    m_recordSize = qint64(VornFileGeometry::of(source).recordSize());
    QString reason;
    if (!VornWriterWorker::writeFully(m_file, bytes.constData(), bytes.size(), &reason) ||
        !m_file->seek(qint64(m_dataOffset))) {
        setError(VornWriterWorker::withReason(QStringLiteral("write error"), reason));
        closeOutputFile(m_file, SaveJob::FinishedCancelled); // a file without its header is no file
        return false;
    }
    auto* worker = new VornFileWriterWorker(m_file, saveJob->frCnt(), m_recordSize);
    startWorker(worker, QStringLiteral("VornFileWriter Thread"));
    return true;
}

void VornFileWriter::close(SaveJob::FinishState state)
{
    if (m_file && state != SaveJob::FinishedCancelled && !keepWholeRecords()) {
        // A header that lies is worse than no file.
        if (error().isEmpty())
            setError(QStringLiteral("write error"));
        setOutcome(QStringLiteral("the file could not be finished and was removed"));
        m_file->remove();
    }
    closeOutputFile(m_file, state);
}

bool VornFileWriter::keepWholeRecords()
{
    const qint64 dataOffset = qint64(m_dataOffset);
    // Records of no bytes at all leave only the worker's count to go by.
    qint64 frames =
        m_recordSize > 0 ? qMax<qint64>(0, m_file->size() - dataOffset) / m_recordSize : framesWritten();
    frames = qMin(frames, job()->frCnt());
    setFramesWritten(frames);
    if (frames == 0)
        return true; // nothing to keep: the file goes
    // A record cut short by a full disk is dropped; a file of empty records
    // still reaches its data offset, as every reader expects.
    const qint64 size = dataOffset + frames * m_recordSize;
    if (m_file->size() != size && !m_file->resize(size))
        return false;
    return frames == job()->frCnt() || rewriteHeader(frames);
}

bool VornFileWriter::rewriteHeader(qint64 frames)
{
    QJsonObject document = m_document;
    document.insert(QStringLiteral("fr_cnt"), frames);
    document.insert(QStringLiteral("last_fr"), job()->startFr() + frames - 1);
    const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Compact);
    // The new numbers are almost always no longer than the old ones, so the
    // text fits where it was. When it does not (a last frame number that
    // turned negative), it goes after the records, where the JSON offset
    // then points.
    quint64 jsonOffset = JsonOffset;
    QByteArray text = json;
    if (JsonOffset + quint64(json.size()) > m_dataOffset)
        jsonOffset = m_dataOffset + quint64(frames * m_recordSize);
    else if (quint64(json.size()) < m_jsonSize)
        text.append(QByteArray(qsizetype(m_jsonSize) - json.size(), '\0')); // no stale tail in the gap
    return m_file->seek(qint64(jsonOffset)) && m_file->write(text) == text.size() && m_file->seek(8) &&
           m_file->write(littleEndian64(jsonOffset)) == 8 &&
           m_file->write(littleEndian64(quint64(json.size()))) == 8;
}
