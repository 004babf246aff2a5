#include "Take.h"

#include "Camera.h"
#include "CameraHttp.h"
#include "SaveManager.h"
#include "VornApp.h"

#include <QDateTime>
#include <QTimer>

Take::Take(int takeId, Camera* camera)
    : AbstractTake(takeId, TakeType, camera, QStringLiteral("-Take")),
      m_prtnFrCnt(new VornValue({QStringLiteral("prtn_fr_cnt")}, VornValue::Int, this)),
      m_prtnPtFrCnt(new VornValue({QStringLiteral("prtn_pt_cnt")}, VornValue::Int, this))
{
    appendValue(m_prtnFrCnt);
    appendValue(m_prtnPtFrCnt);
    auto* corrMode = new AbstractTakeValue({QStringLiteral("acq"), QStringLiteral("corr_mode")},
                                           VornValue::UInt, this, this);
    appendValue(corrMode);
    setCorrModeValue(corrMode);
    connect(corrMode, &CameraValue::valueChangedRemote, this, &PlaybackVornObject::refreshFrame);
    connect(corrMode, &CameraValue::valueSent, this, &PlaybackVornObject::refreshFrame);
}

void Take::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    emit activeChanged();
    if (m_active) {
        pollTake(true, false);
        pollTimer()->start();
    } else if (savedOpened()) {
        pollTimer()->start();
    } else {
        pollTimer()->stop();
    }
}

void Take::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    m_locked = locked;
    emit lockedChanged();
}

void Take::deleteTake(bool restartRecord)
{
    CameraHttp::releaseWhenFinished(CameraHttp::post(camera()->address(), QStringLiteral("/del"),
                                                     QStringLiteral("{\"take\":%1}").arg(takeId()).toUtf8()));
    if (restartRecord)
        camera()->record();
}

void Take::onOpened()
{
    VornApp* app = VornApp::instance();
    if (app && app->setting(QStringLiteral("vorn/x-autosave"), false).toBool())
        connect(this, &PlaybackVornObject::valuesInitFinished, this, &Take::autosaveStart,
                Qt::UniqueConnection);
}

void Take::autosaveStart()
{
    VornApp* app = VornApp::instance();
    const auto stamp = [] {
        return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).remove(QLatin1Char(':'));
    };
    QString fileName = app->setting(QStringLiteral("vorn/x-autosave_filename"), stamp()).toString();
    if (fileName.isEmpty())
        fileName = stamp();
    SaveJob* job = app->saveManager()->createSaveJob(this, aFr(), frCntValue()->value().toInt(),
                                                     SaveManager::SsdDest, Util::FormatVorn, Util::CodecVorn,
                                                     0.0, 0, fileName, QString(), SaveJob::DontDeleteClose);
    if (job)
        connect(job, &SaveJob::finished, this, &Take::autosaveFinish);
}

void Take::autosaveFinish()
{
    auto* job = qobject_cast<SaveJob*>(sender());
    if (!job)
        return;
    VornApp* app = VornApp::instance();
    if (job->state() == SaveJob::Done && app &&
        app->setting(QStringLiteral("vorn/x-autosave_restart"), false).toBool())
        deleteTake(true);
    disconnect(job, &SaveJob::finished, this, &Take::autosaveFinish);
}
