#include "VornWriter.h"

#include "FileSaveJob.h"
#include "VornReader.h"
#include "VornWriterWorker.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

VornWriter::VornWriter(FileSaveJob* job) : QObject(job), m_job(job), m_thread(new QThread(this)) {}

VornWriter::~VornWriter()
{
    stopThread();
}

void VornWriter::startWorker(VornWriterWorker* worker, const QString& threadName)
{
    m_worker = worker;
    worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &VornWriterWorker::framesWritten, this, &VornWriter::onFramesWritten);
    connect(worker, &VornWriterWorker::finished, this, &VornWriter::finish);
    m_thread->setObjectName(threadName);
    m_thread->start(QThread::InheritPriority);
}

void VornWriter::stopThread()
{
    if (m_worker)
        disconnect(m_worker, nullptr, this, nullptr);
    m_thread->requestInterruption();
    m_thread->quit();
    m_thread->wait();
}

void VornWriter::finish(SaveJob::FinishState state, const QString& error, bool cancelReader)
{
    if (m_finished)
        return;
    m_finished = true;
    stopThread();
    close(state);
    if (state == SaveJob::FinishedError) {
        setError(error);
        if (cancelReader && m_job->reader())
            m_job->reader()->stop();
    }
    emit finished(state);
}

void VornWriter::onFramesWritten(qint64 framesWritten)
{
    if (m_finished || framesWritten == m_framesWritten)
        return;
    m_framesWritten = framesWritten;
    emit framesWrittenChanged();
    m_progress = m_job->frCnt() > 0 ? m_framesWritten * 100.0 / m_job->frCnt() : 0;
    emit progressChanged();
}

void VornWriter::setError(const QString& error)
{
    if (error == m_error)
        return;
    m_error = error;
    emit errorChanged();
}

QString VornWriter::freeOutputPath()
{
    if (QFileInfo::exists(m_job->outputName().filePath(0)))
        m_job->appendToFileName(SaveFileName::suffixText(m_job->outputName().firstFreeSuffix(0)));
    return m_job->outputName().filePath(0);
}

QFile* VornWriter::createOutputFile()
{
    freeOutputPath();
    auto* file = new QFile(m_job->outputName().filePath(0), this);
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        setError(QStringLiteral("can't open file for writing"));
        file->deleteLater();
        return nullptr;
    }
    return file;
}

void VornWriter::closeOutputFile(QFile*& file, SaveJob::FinishState state)
{
    if (!file)
        return;
    if (state == SaveJob::FinishedCancelled)
        file->remove();
    else
        file->close();
    file->deleteLater();
    file = nullptr;
}
