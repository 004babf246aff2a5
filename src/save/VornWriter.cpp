#include "VornWriter.h"

#include "FileSaveJob.h"
#include "VornReader.h"
#include "VornWriterWorker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <filesystem>
#include <system_error>

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
    if (state == SaveJob::FinishedError)
        setError(error);
    close(state);
    if (state == SaveJob::FinishedError && cancelReader && m_job->reader())
        m_job->reader()->stop();
    emit finished(state);
}

void VornWriter::endInput(const QString& error)
{
    if (m_finished)
        return;
    // Queued behind the chunks already on their way to the worker.
    if (m_worker && m_thread->isRunning())
        QMetaObject::invokeMethod(m_worker, "endInput", Qt::QueuedConnection, Q_ARG(QString, error));
    else
        finish(SaveJob::FinishedError, error);
}

void VornWriter::onFramesWritten(qint64 framesWritten)
{
    if (!m_finished)
        setFramesWritten(framesWritten);
}

void VornWriter::setFramesWritten(qint64 framesWritten)
{
    if (framesWritten == m_framesWritten)
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

bool VornWriter::makeFolder()
{
    const QString folder = m_job->outputName().folder();
    if (QFileInfo(folder).isDir())
        return true;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdString()), error);
    if (!error && QFileInfo(folder).isDir())
        return true;
    setError(VornWriterWorker::withReason(QStringLiteral("can't create folder"),
                                          error ? QString::fromStdString(error.message())
                                                : QStringLiteral("not a folder")));
    return false;
}

QString VornWriter::freeOutputPath()
{
    if (QFileInfo::exists(m_job->outputName().filePath(0)))
        m_job->appendToFileName(SaveFileName::suffixText(m_job->outputName().firstFreeSuffix(0)));
    return m_job->outputName().filePath(0);
}

QFile* VornWriter::createOutputFile()
{
    if (!makeFolder())
        return nullptr;
    freeOutputPath();
    auto* file = new QFile(m_job->outputName().filePath(0), this);
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        setError(
            VornWriterWorker::withReason(QStringLiteral("can't open file for writing"), file->errorString()));
        file->deleteLater();
        return nullptr;
    }
    return file;
}

void VornWriter::closeOutputFile(QFile*& file, SaveJob::FinishState state)
{
    if (!file)
        return;
    if (state == SaveJob::FinishedCancelled || m_framesWritten == 0)
        file->remove();
    else
        file->close();
    file->deleteLater();
    file = nullptr;
}
