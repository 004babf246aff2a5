#include "MetaFileWriter.h"

#include "FileSaveJob.h"
#include "MetaFileWriterWorker.h"
#include "PlaybackVornObject.h"
#include "VornFileGeometry.h"

#include <QFile>
#include <QFileInfo>

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
    if (QFileInfo::exists(saveJob->outputName().filePath(0)))
        saveJob->appendToFileName(SaveFileName::suffixText(saveJob->outputName().firstFreeSuffix(0)));

    m_file = new QFile(saveJob->outputName().filePath(0), this);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        setError(QStringLiteral("can't open file for writing"));
        m_file->deleteLater();
        m_file = nullptr;
        return false;
    }
    const QByteArray header(HeaderLine);
    if (m_file->write(header) != header.size()) {
        setError(QStringLiteral("write error"));
        m_file->remove();
        m_file->deleteLater();
        m_file = nullptr;
        return false;
    }
    auto* worker = new MetaFileWriterWorker(m_file, saveJob->startFr(), saveJob->frCnt(), geometry.metaSize,
                                            source->yearOffsetSeconds());
    startWorker(worker, QStringLiteral("MetaFileWriter Thread"));
    return true;
}

void MetaFileWriter::close(SaveJob::FinishState state)
{
    if (!m_file)
        return;
    if (state == SaveJob::FinishedCancelled)
        m_file->remove();
    else
        m_file->close();
    m_file->deleteLater();
    m_file = nullptr;
}
