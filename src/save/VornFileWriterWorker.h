#pragma once

#include "VornWriterWorker.h"

class QFile;

// Appends frame records to a VORN file as they come, in the writer's thread.
class VornFileWriterWorker : public VornWriterWorker
{
    Q_OBJECT

public:
    VornFileWriterWorker(QFile* file, qint64 frCnt, qint64 recordSize)
        : VornWriterWorker(frCnt, recordSize), m_file(file), m_recordSize(recordSize)
    {
    }

protected:
    qint64 writeRecords(const char* records, qint64 count, qint64 first, QString* error) override;

private:
    QFile* const m_file;
    const qint64 m_recordSize;
};
