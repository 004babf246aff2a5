#pragma once

#include "VornWriterWorker.h"

class QFile;

// Turns metadata blocks into CSV rows, in the writer's thread.
class MetaFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    MetaFileWriterWorker(QFile* file, qint64 startFr, qint64 frCnt, quint32 metaSize, quint64 yearOffset)
        : VornWriterWorker(frCnt, metaSize), m_file(file), m_startFr(startFr), m_metaSize(metaSize),
          m_yearOffset(yearOffset)
    {
    }

    // The row of one frame from its metadata block; words missing from a
    // short block read as 0.
    static QByteArray row(qint64 frame, const char* block, qint64 blockSize, quint64 yearOffset);

protected:
    // A failing write leaves the file with whole rows only.
    qint64 writeRecords(const char* records, qint64 count, qint64 first, QString* error) override;

private:
    QFile* const m_file;
    const qint64 m_startFr;
    const quint32 m_metaSize;
    const quint64 m_yearOffset;
};
