#include "SaveJobQueue.h"

#include "SaveJob.h"

#include <QDebug>

SaveJobQueue::~SaveJobQueue()
{
    // The jobs learn of the end through destroyed(), when this object is
    // half gone: none of them may come back here to start the next.
    if (m_activeSaveJob)
        disconnect(m_activeSaveJob, nullptr, this, nullptr);
    for (SaveJob* job : std::as_const(m_waiting))
        disconnect(job, nullptr, this, nullptr);
    m_waiting.clear();
}

SaveJob* SaveJobQueue::activeSaveJob() const
{
    return m_activeSaveJob;
}

void SaveJobQueue::enqueue(SaveJob* job)
{
    qDebug() << "void __cdecl SaveJobQueue::enqueue(class SaveJob *)";
    // A waiting job that is deleted (the save manager lets go of it) must
    // not be started afterwards.
    connect(job, &QObject::destroyed, this, [this, job] { m_waiting.removeOne(job); });
    if (m_activeSaveJob)
        m_waiting.append(job);
    else
        startSaveJob(job);
}

void SaveJobQueue::remove(SaveJob* job)
{
    m_waiting.removeOne(job);
}

void SaveJobQueue::startSaveJob(SaveJob* job)
{
    qDebug() << "void __cdecl SaveJobQueue::startSaveJob(class SaveJob *)" << job;
    if (!job->start()) {
        startQueuedSaveJob();
        return;
    }
    setActiveSaveJob(job);
    connect(job, &SaveJob::finished, this, &SaveJobQueue::finishSaveJob);
}

void SaveJobQueue::finishSaveJob()
{
    auto* job = qobject_cast<SaveJob*>(sender());
    qDebug() << "void __cdecl SaveJobQueue::finishSaveJob(void)" << job;
    if (job)
        disconnect(job, &SaveJob::finished, this, &SaveJobQueue::finishSaveJob);
    setActiveSaveJob(nullptr);
    startQueuedSaveJob();
}

void SaveJobQueue::startQueuedSaveJob()
{
    qDebug() << "void __cdecl SaveJobQueue::startQueuedSaveJob(void)";
    if (!m_waiting.isEmpty())
        startSaveJob(m_waiting.takeFirst());
}

void SaveJobQueue::setActiveSaveJob(SaveJob* job)
{
    if (job == m_activeSaveJob)
        return;
    m_activeSaveJob = job;
    emit activeSaveJobChanged();
}
