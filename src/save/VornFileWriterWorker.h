#pragma once

#include "VornWriterWorker.h"

class QFile;

// Appends frame records to a VORN file as they come, in the writer's thread.
class VornFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    VornFileWriterWorker(QFile* file, qint64 frCnt) : m_file(file), m_frCnt(frCnt) {}

public slots:
    void writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead, qint64 framesRemaining);

private:
    QFile* const m_file;
    const qint64 m_frCnt;
    bool m_done = false;
};
