#include "CliAcquisitionCommands.h"

#include "Camera.h"
#include "CliCameraCommands.h"
#include "CliSupport.h"
#include "SavedTakeModel.h"
#include "Take.h"

#include <QPointer>

CliAcquisitionCommands::CliAcquisitionCommands(CliCameraCommands* cameras) : m_cameras(cameras) {}

int CliAcquisitionCommands::record(const QString& address)
{
    Camera* camera = m_cameras->connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    camera->record();
    const int result = m_cameras->waitUntil(QStringLiteral("start recording"), [camera] {
        const int state = camera->acqState()->value().toInt();
        return state == Camera::AcqRecording || state == Camera::AcqRecordingWrapped;
    });
    if (result == Cli::ExitOk)
        m_cameras->print({{"state", "recording"}}, QStringLiteral("recording"));
    return result;
}

int CliAcquisitionCommands::trigger(const QString& address)
{
    Camera* camera = m_cameras->connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    QList<int> before;
    for (Take* take : *camera->takes()) {
        if (take->savedOpened())
            before.append(take->takeId());
    }
    camera->trigger();
    // The take is saved once the frames after the trigger are recorded.
    int newTake = 0;
    const int result = m_cameras->waitUntil(QStringLiteral("save a take after the trigger"), [&] {
        if (camera->acqState()->value().toInt() == Camera::AcqTriggered)
            return false;
        for (Take* take : *camera->takes()) {
            if (take->savedOpened() && !before.contains(take->takeId()))
                newTake = take->takeId();
        }
        return newTake > 0;
    });
    if (result == Cli::ExitOk)
        m_cameras->print({{"take", newTake}}, QStringLiteral("take %1").arg(newTake));
    return result;
}

int CliAcquisitionCommands::abort(const QString& address)
{
    Camera* camera = m_cameras->connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    camera->abort();
    const int result = m_cameras->waitUntil(QStringLiteral("stop recording"), [camera] {
        return camera->acqState()->value().toInt() == Camera::AcqStandby;
    });
    if (result == Cli::ExitOk)
        m_cameras->print({{"state", "standby"}}, QStringLiteral("standby"));
    return result;
}

int CliAcquisitionCommands::bref(const QString& address)
{
    Camera* camera = m_cameras->connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    // The state shows the reference in progress from the next polls on.
    QObject guard;
    int polls = 0;
    QObject::connect(camera, &Camera::valuesPolled, &guard, [&polls] { ++polls; });
    camera->bref();
    const int result = m_cameras->waitUntil(QStringLiteral("finish its black reference"), [&] {
        return polls >= 2 && !(camera->brefState()->value().toInt() & Camera::BrefInProgress);
    });
    if (result == Cli::ExitOk)
        m_cameras->print({{"brefState", camera->brefState()->value().toInt()}},
                         QStringLiteral("black reference done"));
    return result;
}

int CliAcquisitionCommands::partition(const QString& address, int count)
{
    Camera* camera = m_cameras->connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    camera->partition(count);
    const int result = m_cameras->waitUntil(QStringLiteral("make %1 partitions").arg(count), [camera, count] {
        return camera->prtnCnt()->value().toInt() == count;
    });
    if (result == Cli::ExitOk)
        m_cameras->print({{"partitions", count}}, QStringLiteral("%1 partitions").arg(count));
    return result;
}

int CliAcquisitionCommands::deleteTakes(const QString& address, int takeId)
{
    Camera* camera = m_cameras->connect(address);
    if (!camera)
        return Cli::interrupted() ? Cli::ExitInterrupted : Cli::ExitUnreachable;
    if (takeId <= 0) {
        camera->deleteAllTakes();
        const int result = m_cameras->waitUntil(QStringLiteral("delete its takes"),
                                                [camera] { return camera->savedTakes()->count() == 0; });
        if (result == Cli::ExitOk)
            m_cameras->print({{"deleted", "all"}}, QStringLiteral("all takes deleted"));
        return result;
    }
    int exitCode = Cli::ExitOk;
    QPointer<Take> take = qobject_cast<Take*>(m_cameras->findTake(camera, takeId, &exitCode));
    if (!take)
        return exitCode;
    take->deleteTake();
    const int result = m_cameras->waitUntil(QStringLiteral("delete take %1").arg(takeId),
                                            [&take] { return !take || !take->savedOpened(); });
    if (result == Cli::ExitOk)
        m_cameras->print({{"deleted", takeId}}, QStringLiteral("take %1 deleted").arg(takeId));
    return result;
}
