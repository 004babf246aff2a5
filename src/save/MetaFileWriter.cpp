#include "MetaFileWriter.h"

#include "FileSaveJob.h"
#include "MetaFileWriterWorker.h"
#include "PlaybackVornObject.h"
#include "VornFileGeometry.h"

#include <QFile>

MetaFileWriter::MetaFileWriter(FileSaveJob* job) : VornWriter(job) {}

qint64 MetaFileWriter::estFileSize(const PlaybackVornObject* source, qint64 frames)
{
    // Every row but the frame number has a fixed width.
    const qint64 digits = source ? qMax(QString::number(source->firstFrame()).size(),
                                        QString::number(source->lastFrame()).size())
                                 : 1;
    return qint64(qstrlen(HeaderLine)) + qMax<qint64>(frames, 0) * (86 + digits);
}

bool MetaFileWriter::start()
{
    FileSaveJob* saveJob = job();
    const PlaybackVornObject* source = saveJob->source();
    if (!source) {
        setError(QStringLiteral("source deleted or closed"));
        return false;
    }
    const VornFileGeometry geometry = VornFileGeometry::of(source);
    m_file = createOutputFile();
    if (!m_file)
        return false;
    const QByteArray header(HeaderLine);
    QString reason;
    if (!VornWriterWorker::writeFully(m_file, header.constData(), header.size(), &reason)) {
        setError(VornWriterWorker::withReason(QStringLiteral("write error"), reason));
        closeOutputFile(m_file, SaveJob::FinishedCancelled); // a file without its header is no file
        return false;
    }
    auto* worker = new MetaFileWriterWorker(m_file, saveJob->startFr(), saveJob->frCnt(), geometry.metaSize,
                                            source->yearOffsetSeconds());
    startWorker(worker, QStringLiteral("MetaFileWriter Thread"));
    return true;
}

void MetaFileWriter::close(SaveJob::FinishState state)
{
    closeOutputFile(m_file, state);
}
