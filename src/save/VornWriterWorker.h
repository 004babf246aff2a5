#pragma once

#include "SaveJob.h"

#include <QObject>

// The half of a writer that runs in the writer's thread. Subclasses have the
// slot writeChunk(QByteArray data, qint64 dataFrameCnt, qint64 framesRead,
// qint64 framesRemaining) that the frame reader's readyRead feeds.
class VornWriterWorker : public QObject
{
    Q_OBJECT

public:
    VornWriterWorker() : QObject(nullptr) {}

protected:
    // True once the writer has begun to finish: chunks still on their way are
    // dropped.
    static bool stopRequested();

signals:
    void framesWritten(qint64 framesWritten);
    void finished(SaveJob::FinishState state, const QString& error, bool cancelReader);
};
