#pragma once

#include "VornWriterWorker.h"

class QFile;

// Turns metadata blocks into CSV rows, in the writer's thread.
class MetaFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    MetaFileWriterWorker(QFile* file, qint64 startFr, qint64 frCnt, quint32 metaSize, quint64 yearOffset)
        : m_file(file), m_startFr(startFr), m_frCnt(frCnt), m_metaSize(metaSize), m_yearOffset(yearOffset)
    {
    }

    // The row of one frame from its metadata block; words missing from a
    // short block read as 0.
    static QByteArray row(qint64 frame, const char* block, qint64 blockSize, quint64 yearOffset);

public slots:
    void writeChunk(const QByteArray& data, qint64 dataFrameCnt, qint64 framesRead, qint64 framesRemaining);

private:
    QFile* const m_file;
    const qint64 m_startFr;
    const qint64 m_frCnt;
    const quint32 m_metaSize;
    const quint64 m_yearOffset;
    qint64 m_rowsWritten = 0;
    bool m_done = false;
};
