#include "SaveJob.h"

#include "AbstractTake.h"
#include "PlaybackVornObject.h"
#include "SaveJobQueue.h"

#include <QDebug>
#include <QDesktopServices>
#include <QUrl>
#include <cmath>

SaveJob::SaveJob(QObject* parent, PlaybackVornObject* source, SaveJobQueue* queue, const SourceInfo& info,
                 const Params& params, const SaveFileName& outputName)
    : QObject(parent), m_source(source), m_queue(queue),
      m_sourceType(source ? SourceType(source->type()) : UnknownSourceType), m_sourceInfo(info),
      m_params(params), m_outputName(outputName)
{
    if (queue)
        m_queueConnection = connect(queue, &QObject::destroyed, this, &SaveJob::queueDestroyed);
    if (auto* take = qobject_cast<AbstractTake*>(source))
        m_takeConnection = connect(take, &AbstractTake::deletedClosed, this, &SaveJob::sourceDeletedClosed);
}

void SaveJob::appendToFileName(const QString& text)
{
    m_outputName.appendToTemplate(text);
    emit fileNameChanged();
}

bool SaveJob::start()
{
    qDebug() << "bool __cdecl SaveJob::start(void)";
    if (m_state != Queued)
        return false; // ended while it waited
    if (!startImpl()) {
        // A job that could not start ends here, so its queue moves on.
        if (!ended()) {
            if (m_error.isEmpty())
                setError(QStringLiteral("could not start"));
            finish(FinishedError);
        }
        return false;
    }
    setState(Saving);
    return true;
}

void SaveJob::finish(FinishState state)
{
    if (ended())
        return;
    onFinished(state);
    switch (state) {
    case FinishedOk:
        setProgress(100);
        setState(Done);
        break;
    case FinishedCancelled:
        setState(Cancelled);
        break;
    case FinishedError:
        setState(Error);
        break;
    }
    disconnect(m_queueConnection);
    disconnect(m_takeConnection);
    emit finished();
}

void SaveJob::queueDestroyed()
{
    m_queue = nullptr;
    sourceLost(QStringLiteral("camera disconnected"));
}

void SaveJob::sourceDeletedClosed()
{
    m_source = nullptr;
    sourceLost(QStringLiteral("take deleted or closed"));
}

void SaveJob::sourceLost(const QString& reason)
{
    // The reason goes first: a running file save ends with it, after
    // keeping what it wrote, and tells how far it got.
    setError(reason);
    if (m_state == Saving || m_state == QueuedFW)
        cancel(FinishedError);
    else if (m_state == Queued)
        finishWaiting(FinishedError);
}

void SaveJob::finishWaiting(FinishState state)
{
    if (m_queue)
        m_queue->remove(this);
    finish(state);
}

void SaveJob::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    if (state == Saving) {
        m_savingClock.start();
        m_progressAtStart = m_progress;
    }
    updateSecondsLeft();
    emit stateChanged();
}

void SaveJob::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    updateSecondsLeft();
    emit progressChanged();
}

void SaveJob::updateSecondsLeft()
{
    int left = -1;
    const double done = m_progress - m_progressAtStart;
    const qint64 ms = m_state == Saving && m_savingClock.isValid() ? m_savingClock.elapsed() : 0;
    // The average speed since the save began, once it has run for a second:
    // the first frames come with the transfer's start-up and say little.
    // (capped: a save that has hardly moved would take for ever)
    if (done > 0 && ms >= 1000)
        left = int(std::min(std::ceil(std::max(0.0, 100 - m_progress) * double(ms) / done / 1000.0), 1e9));
    if (left == m_secondsLeft)
        return;
    m_secondsLeft = left;
    emit secondsLeftChanged();
}

QString SaveJob::outputPath() const
{
    return dest() == FileDest ? m_outputName.filePath(0) : QString();
}

QString SaveJob::outputFolder() const
{
    return dest() == FileDest ? m_outputName.folder() : QString();
}

bool SaveJob::showFolder() const
{
    return dest() == FileDest && openWithDesktop(outputFolder());
}

bool SaveJob::openWithDesktop(const QString& path)
{
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!opened)
        qDebug() << "no program opened" << path;
    return opened;
}

void SaveJob::setError(const QString& error)
{
    if (error == m_error)
        return;
    m_error = error;
    emit errorChanged();
}

void SaveJob::setFileNameTemplate(const QString& nameTemplate)
{
    m_outputName.setTemplate(nameTemplate);
    emit fileNameChanged();
}

void SaveJob::setFileExt(const QString& ext)
{
    m_outputName.setExt(ext);
    emit fileExtChanged();
}
