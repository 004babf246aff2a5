#include "VornWriterWorker.h"

#include <QFile>
#include <QThread>

VornWriterWorker::VornWriterWorker(qint64 frCnt, qint64 recordSize)
    : QObject(nullptr), m_frCnt(frCnt), m_recordSize(recordSize)
{
}

bool VornWriterWorker::stopRequested()
{
    return QThread::currentThread()->isInterruptionRequested();
}

QString VornWriterWorker::withReason(const QString& text, const QString& reason)
{
    return reason.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, reason);
}

bool VornWriterWorker::writeFully(QFile* file, const char* data, qint64 size, QString* reason)
{
    for (qint64 done = 0; done < size;) {
        const qint64 n = file->write(data + done, size - done);
        if (n <= 0) {
            *reason = file->errorString();
            return false;
        }
        done += n;
    }
    return true;
}

bool VornWriterWorker::writeImageFile(const SaveFileName& name, qint64 k, const QByteArray& bytes,
                                      QString* error)
{
    QString path = name.filePath(k);
    if (QFile::exists(path))
        path = name.filePath(k, SaveFileName::suffixText(name.firstFreeSuffix(k)));
    // Made here, new, so that a failure has the system's reason.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        *error = withReason(QStringLiteral("can't open file for writing"), file.errorString());
        return false;
    }
    QString reason;
    if (writeFully(&file, bytes.constData(), bytes.size(), &reason))
        return true;
    *error = withReason(QStringLiteral("write error"), reason);
    file.remove();
    return false;
}

bool VornWriterWorker::completeOutput(bool, QString*)
{
    return true;
}

void VornWriterWorker::writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64, qint64)
{
    if (stopRequested() || m_done || dataFrameCnt <= 0)
        return;
    // The readers hand on records of the job's shape only; anything else
    // would be written misaligned.
    if (data.size() != dataFrameCnt * m_recordSize) {
        end(SaveJob::FinishedError, QStringLiteral("bad frame size"), true);
        return;
    }
    // A source that sends more frames than asked for must not make the
    // output longer than the range.
    const qint64 count = qMin(dataFrameCnt, m_frCnt - m_framesWritten);
    QString error;
    const qint64 written = count > 0 ? writeRecords(data.constData(), count, m_framesWritten, &error) : 0;
    m_framesWritten += written;
    if (written > 0)
        emit framesWritten(m_framesWritten);
    if (written < count)
        end(SaveJob::FinishedError, error.isEmpty() ? QStringLiteral("write error") : error, true);
    else if (m_framesWritten >= m_frCnt)
        end(SaveJob::FinishedOk, QString(), true);
}

void VornWriterWorker::endInput(const QString& error)
{
    if (stopRequested() || m_done)
        return;
    end(SaveJob::FinishedError, error, false);
}

void VornWriterWorker::end(SaveJob::FinishState state, const QString& error, bool cancelReader)
{
    m_done = true;
    QString completeError;
    if (!completeOutput(state == SaveJob::FinishedOk, &completeError) && state == SaveJob::FinishedOk) {
        state = SaveJob::FinishedError;
        cancelReader = true;
    }
    emit finished(state,
                  state == SaveJob::FinishedOk ? QString()
                  : error.isEmpty()            ? completeError
                                               : error,
                  cancelReader);
}
