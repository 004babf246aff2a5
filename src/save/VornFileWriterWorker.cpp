#include "VornFileWriterWorker.h"

#include <QFile>

qint64 VornFileWriterWorker::writeRecords(const char* records, qint64 count, qint64, QString* error)
{
    QString reason;
    if (writeFully(m_file, records, count * m_recordSize, &reason))
        return count;
    // The writer keeps the whole records that reached the file and makes
    // the header say so.
    *error = withReason(QStringLiteral("write error"), reason);
    return 0;
}
