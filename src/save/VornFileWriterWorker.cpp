#include "VornFileWriterWorker.h"

#include <QFile>

void VornFileWriterWorker::writeChunk(const QByteArray& data, qint64, qint64 framesRead,
                                      qint64 framesRemaining)
{
    if (stopRequested())
        return;
    if (m_file->write(data) != data.size()) {
        emit finished(SaveJob::FinishedError, QStringLiteral("write error"), true);
        return;
    }
    emit framesWritten(framesRead);
    if (framesRemaining == 0)
        emit finished(SaveJob::FinishedOk, QString(), true);
}
