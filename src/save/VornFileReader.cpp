#include "VornFileReader.h"

#include "FileSaveJob.h"
#include "VornFile.h"
#include "VornFileGeometry.h"
#include "VornFileReaderWorker.h"
#include "VornWriter.h"
#include "VornWriterWorker.h"

#include <QFile>
#include <QThread>
#include <limits>

VornFileReader::VornFileReader(Util::ReqTypes type, FileSaveJob* job)
    : VornReader(type, job), m_job(job), m_thread(new QThread(this))
{
}

VornFileReader::~VornFileReader()
{
    stop();
}

bool VornFileReader::fail(const QString& error)
{
    setError(error);
    return false;
}

bool VornFileReader::start()
{
    auto* source = qobject_cast<VornFile*>(m_job->source());
    if (!source || !source->valuesInit())
        return fail(QStringLiteral("can't open file for reading"));
    const VornFileGeometry geometry = VornFileGeometry::of(source);

    VornFileReaderWorker::Range range;
    range.type = type();
    range.startFr = m_job->startFr();
    range.firstFr = geometry.firstFr;
    range.imgSize = geometry.imgSize();
    range.metaSize = geometry.metaSize;
    range.dataOffset = source->dataOffset();
    range.frCnt = m_job->frCnt();
    // Before the first record, or so far on that the offset overflows, no
    // frame of the range can be in the file.
    const qint64 record = qMax<qint64>(1, qint64(geometry.recordSize()));
    const qint64 maxIndex = (std::numeric_limits<qint64>::max() - qint64(range.dataOffset)) / record - 1;
    if (range.frCnt < 1 || range.startFr < range.firstFr ||
        range.startFr - range.firstFr > maxIndex - range.frCnt)
        return fail(QStringLiteral("frames out of range"));

    m_file = new QFile(source->fileName());
    if (!m_file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        delete m_file;
        m_file = nullptr;
        return fail(QStringLiteral("can't open file for reading"));
    }
    m_worker = new VornFileReaderWorker(m_file, range);
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::started, m_worker, &VornFileReaderWorker::readChunk);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_job->writer(), &VornWriter::framesWrittenChanged, m_worker, &VornFileReaderWorker::readChunk);
    // Every writer's worker has this slot; the format decides which worker.
    connect(m_worker, SIGNAL(readyRead(QByteArray, qint64, qint64, qint64)), m_job->writer()->worker(),
            SLOT(writeChunk(QByteArray, qint64, qint64, qint64)));
    connect(m_worker, &VornFileReaderWorker::finished, this, &VornFileReader::workerFinished);
    m_thread->setObjectName(QStringLiteral("VornFileReader Thread"));
    m_thread->start(QThread::InheritPriority);
    return true;
}

void VornFileReader::workerFinished(SaveJob::FinishState state, const QString& error)
{
    if (m_finished)
        return;
    stop();
    if (state == SaveJob::FinishedError) {
        setError(error);
        emit readFailed(this->error());
    }
}

void VornFileReader::stop()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_worker)
        disconnect(m_worker, nullptr, this, nullptr);
    m_thread->requestInterruption();
    m_thread->quit();
    m_thread->wait();
    if (m_file) {
        m_file->close();
        m_file->deleteLater();
        m_file = nullptr;
    }
}
