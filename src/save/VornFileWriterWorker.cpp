#include "VornFileWriterWorker.h"

#include <QFile>

void VornFileWriterWorker::writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead,
                                      qint64 framesRemaining)
{
    if (stopRequested() || m_done)
        return;
    // A camera that sends more frames than asked for must not make the file
    // longer than its header says, nor keep the save from ending.
    QByteArray bytes = data;
    if (framesRead > m_frCnt && dataFrameCnt > 0) {
        const qint64 keep = qMax<qint64>(0, dataFrameCnt - (framesRead - m_frCnt));
        bytes.truncate(data.size() / dataFrameCnt * keep);
        framesRead = m_frCnt;
        framesRemaining = 0;
    }
    if (m_file->write(bytes) != bytes.size()) {
        m_done = true;
        emit finished(SaveJob::FinishedError, QStringLiteral("write error"), true);
        return;
    }
    emit framesWritten(framesRead);
    if (framesRemaining <= 0) {
        m_done = true;
        emit finished(SaveJob::FinishedOk, QString(), true);
    }
}
