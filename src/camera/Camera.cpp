#include "Camera.h"

#include "CameraHttp.h"
#include "CameraImgAdjModel.h"
#include "CameraLimits.h"
#include "FrameXfer.h"
#include "JsonText.h"
#include "SaveBatchObject.h"
#include "VornApp.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QTimer>
#include <algorithm>
#include <cmath>

// The camera's values in property order: member, key path, alternative key
// path ("" for none), type.
const Camera::ValueSpec Camera::s_valueSpecs[] = {
    {&Camera::m_name, "camera/name", "", VornValue::String},
    {&Camera::m_serial, "camera/serial", "", VornValue::String},
    {&Camera::m_cameraModel, "camera/model", "", VornValue::String},
    {&Camera::m_cameraModelId, "camera/model_id", "", VornValue::Int},
    {&Camera::m_cfa, "camera/cfa", "", VornValue::Int},
    {&Camera::m_fwVer, "camera/fw_ver", "", VornValue::String},
    {&Camera::m_fwVerInt, "camera/fw_ver", "", VornValue::Int},
    {&Camera::m_fwState, "camera/fw_state", "", VornValue::Int},
    {&Camera::m_acqMode, "acq/mode", "", VornValue::Int},
    {&Camera::m_acqState, "acq/state", "", VornValue::Int},
    {&Camera::m_clkFreq, "acq/clk_freq", "", VornValue::Int},
    {&Camera::m_expClks, "acq/exp_clks", "", VornValue::Int},
    {&Camera::m_expClksMin, "acq/exp_clks_min", "", VornValue::Int},
    {&Camera::m_expClksMax, "acq/exp_clks_max", "", VornValue::Int},
    {&Camera::m_expClksMult, "acq/exp_clks_mult", "", VornValue::Int},
    {&Camera::m_expClksOfst, "acq/exp_clks_ofst", "", VornValue::Int},
    {&Camera::m_expTime, "acq/exp_time", "", VornValue::Double},
    {&Camera::m_frRate, "acq/fr_rate", "", VornValue::Double},
    {&Camera::m_frClks, "acq/fr_clks", "", VornValue::Int},
    {&Camera::m_frClksMin, "acq/fr_clks_min", "", VornValue::Int},
    {&Camera::m_frClksMax, "acq/fr_clks_max", "", VornValue::Int},
    {&Camera::m_fsyncMode, "acq/fsync_mode", "", VornValue::Int},
    {&Camera::m_fsyncState, "acq/fsync_state", "", VornValue::Int},
    {&Camera::m_trigOffset, "acq/trig_offset", "", VornValue::UInt},
    {&Camera::m_prtnCnt, "acq/prtn_cnt", "", VornValue::Int},
    {&Camera::m_activeTakeId, "acq/active_take", "", VornValue::Int},
    {&Camera::m_brefState, "acq/bref_state", "", VornValue::UInt},
    {&Camera::m_corrMode, "acq/corr_mode", "", VornValue::UInt},
    {&Camera::m_lowLightMode, "camera/low_light/mode", "", VornValue::UInt},
    {&Camera::m_lowLightExpClks, "camera/low_light/exp_clks", "", VornValue::Int},
    {&Camera::m_take1PrtnFrCnt, "takes/take1/prtn_fr_cnt", "", VornValue::Int},
    {&Camera::m_res, "acq/res", "", VornValue::String},
    {&Camera::m_bpp, "acq/bpp", "", VornValue::Int},
    {&Camera::m_lensMount, "lens/mount", "", VornValue::String},
    {&Camera::m_lensState, "lens/state", "", VornValue::Int},
    {&Camera::m_lensId, "lens/id", "", VornValue::Int},
    {&Camera::m_lensName, "lens/name", "", VornValue::String},
    {&Camera::m_lensAFSwitch, "lens/af_switch", "", VornValue::Int},
    {&Camera::m_lensFocalLenMin, "lens/focal_len_min", "", VornValue::Int},
    {&Camera::m_lensFocalLenMax, "lens/focal_len_max", "", VornValue::Int},
    {&Camera::m_lensFocalLen, "lens/focal_len", "", VornValue::Int},
    {&Camera::m_lensFstopMin, "lens/fstop_min", "", VornValue::Double},
    {&Camera::m_lensFstopMax, "lens/fstop_max", "", VornValue::Double},
    {&Camera::m_lensFstop, "lens/fstop", "", VornValue::Double},
    {&Camera::m_lensFocusDist, "lens/focus_dist", "", VornValue::Double},
    {&Camera::m_shtrState, "shtr/state", "", VornValue::Int},
    {&Camera::m_ssdState, "ssd/state", "", VornValue::Int},
    {&Camera::m_ssdWrState, "ssd/wr_state", "", VornValue::Int},
    {&Camera::m_ssdWrSeq, "ssd/wr_seq", "", VornValue::Double},
    {&Camera::m_ssdProgress, "ssd/progress", "", VornValue::Int},
    {&Camera::m_ssdName, "ssd/name", "", VornValue::String},
    {&Camera::m_ssdSize, "ssd/size", "", VornValue::HexU64},
    {&Camera::m_ssdUsed, "ssd/used", "", VornValue::HexU64},
    {&Camera::m_ssdNameSeq, "ssd/name_seq", "", VornValue::UInt},
    {&Camera::m_ssdAutosaveMode, "ssd/autosave/mode", "", VornValue::Int},
    {&Camera::m_ssdAutosaveStart, "ssd/autosave/start", "", VornValue::Int},
    {&Camera::m_ssdAutosaveCnt, "ssd/autosave/cnt", "", VornValue::UInt},
    {&Camera::m_ssdAutosaveName, "ssd/autosave/name", "", VornValue::String},
    {&Camera::m_time, "meta/time", "", VornValue::String},
    {&Camera::m_yearOffset, "meta/year_offset", "time/year_offset", VornValue::Int},
    {&Camera::m_vidFormat, "video/format", "", VornValue::String},
    {&Camera::m_featureCorrMode, "features/corr_mode", "", VornValue::UInt},
    {&Camera::m_featureLowLight, "features/low_light", "", VornValue::UInt},
    {&Camera::m_featureQ7FW, "features/q7fw", "", VornValue::Int},
    {&Camera::m_featureLens, "features/lens", "", VornValue::Int},
    {&Camera::m_featureShtr, "features/shtr", "", VornValue::Int},
    {&Camera::m_featureSsdFormat, "features/ssd-format", "", VornValue::Int},
    {&Camera::m_featureSsdSave, "features/ssd-save", "", VornValue::Int},
};

namespace {

QStringList keyPath(const char* text)
{
    return QString::fromLatin1(text).split(QLatin1Char('/'));
}

// Which take numbers 1..count an array of the state document lists (index 0
// is unused); other entries are ignored, so a long array costs no more than
// reading it.
QList<bool> listedTakes(const QJsonValue& array, int count)
{
    QList<bool> listed(count + 1, false);
    for (const QJsonValue& entry : array.toArray()) {
        const double number = entry.toDouble(0.0);
        if (number >= 1 && number <= count && number == std::floor(number))
            listed[qsizetype(number)] = true;
    }
    return listed;
}

} // namespace

Camera::Camera(const QHostAddress& address, QObject* parent)
    : VornObject(CameraType, parent, QStringLiteral("-Camera")), m_address(address)
{
    for (const ValueSpec& entry : s_valueSpecs) {
        auto* value = new CameraValue(keyPath(entry.key), entry.type, this, nullptr, keyPath(entry.altKey));
        this->*entry.member = value;
        appendValue(value);
    }
    // The I/O lines add their values after the camera's own.
    m_ios = new QQmlObjectListModel<CameraIO>(this);
    for (CameraIO* line : CameraIO::createLines(this))
        m_ios->append(line);
    setImageModel(new CameraImgAdjModel(this));
    // Until the first poll the tables must already show something sensible.
    m_imgAdjModel->updateLut();

    createSettingLists();
    createFirmwareUpdate();
    createSsdModels();
    m_takes = new QQmlObjectListModel<Take>(this);
    m_savedTakes = new SavedTakeModel(this);
    m_savedTakes->setSourceModel(m_takes);
    m_fileSaveJobQueue = new SaveJobQueue(this);
    m_ssdSaveJobQueue = new SaveJobQueue(this);

    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(250);
    connect(m_pollTimer, &QTimer::timeout, this, [this] { pollCameraValues(false); });

    // A camera that has not answered its first poll (still starting, or
    // slower than a poll may take) is asked again until it answers or the
    // user disconnects it.
    m_connectRetryTimer = new QTimer(this);
    m_connectRetryTimer->setObjectName(QStringLiteral("connectRetryTimer"));
    m_connectRetryTimer->setSingleShot(true);
    m_connectRetryTimer->setInterval(ConnectRetryMs);
    connect(m_connectRetryTimer, &QTimer::timeout, this, [this] { pollCameraValues(true); });

    // The live image, fetched while the camera is selected; a tick that finds
    // a fetch still on its way is dropped.
    m_frameTimer = new QTimer(this);
    m_frameTimer->setTimerType(Qt::PreciseTimer);
    m_frameTimer->setInterval(33);
    connect(m_frameTimer, &QTimer::timeout, this, [this] { requestFrame(); });
    // It ticks only while the picture can be shown: a rig of many cameras
    // then wakes the program for their polls alone.
    connect(this, &VornObject::selectedChanged, this, &Camera::updateFrameTimer);
}

void Camera::updateFrameTimer()
{
    if (m_connected && selected())
        m_frameTimer->start();
    else
        m_frameTimer->stop();
}

int Camera::fetchFrame(RawFrame* frame)
{
    return FrameXfer::postFrameXfer(frame, m_address, FrameXfer::liveFrameBody());
}

void Camera::connectCamera()
{
    m_connecting = true;
    pollCameraValues(true);
}

void Camera::pollCameraValues(bool init)
{
    if (m_pollInFlight)
        return;
    QNetworkReply* reply = CameraHttp::get(m_address, QString(), CameraHttp::PollTimeoutMs);
    if (!reply)
        return;
    reply->setProperty("init", init);
    reply->setProperty("pollNumber", ++m_pollsSent);
    m_pollInFlight = true;
    connect(reply, &QNetworkReply::finished, this, &Camera::pollCameraValuesFinished);
}

void Camera::pollCameraValuesFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    const QJsonDocument document = CameraHttp::jsonReply(reply, this);
    const bool answered = !document.isNull() && reply->error() == QNetworkReply::NoError;
    if (document.isNull()) {
        setResponding(false);
    } else {
        if (reply->error() == QNetworkReply::NoError) {
            const QJsonObject object = document.object();
            loadValues(object);
            const bool init = reply->property("init").toBool();
            updateTakes(object, init);
            updateSsdTakes(object, init, reply->property("pollNumber").toULongLong());
            if (init && !VornApp::instance()->headless())
                updateCheck(false);
            setConnected(true, object);
            setResponding(true);
        } else {
            setResponding(false);
        }
        emit valuesPolled();
    }
    m_pollInFlight = false;
    // An address that is no address never answers: its requests go nowhere.
    if (!answered && m_connecting && !m_connected && !m_address.isNull())
        m_connectRetryTimer->start();
    reply->deleteLater();
}

void Camera::setConnected(bool connected, const QJsonObject& document)
{
    if (connected == m_connected) {
        if (!connected)
            emit cameraConnectFailed(this);
        return;
    }
    m_connected = connected;
    emit connectedChanged();
    if (connected) {
        // Setting lists and I/O lines are built here from the first document.
        setResList(document);
        setFrRateList();
        setExpList();
        setVidFormatList(document);
        setFstopList();
        m_time->setValue(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        for (CameraIO* line : *m_ios)
            line->update();
        m_pollTimer->start();
        updateFrameTimer();
        emit cameraConnected(this);
    } else {
        m_pollTimer->stop();
        m_frameTimer->stop();
        emit cameraDisconnected(this);
    }
}

void Camera::updateTakes(const QJsonObject& document, bool init)
{
    const int count = partitionCount();
    const QJsonObject acq = document.value(QStringLiteral("acq")).toObject();
    const QList<bool> saved = listedTakes(acq.value(QStringLiteral("saved_takes")), count);
    const QList<bool> locked = listedTakes(acq.value(QStringLiteral("locked_takes")), count);

    if (m_takes->count() != count) {
        // The partitions changed: every take object is replaced.
        if (m_activeTake) {
            m_activeTake = nullptr;
            emit activeTakeChanged();
        }
        const QList<Take*> old = m_takes->toList();
        m_takes->clear();
        for (Take* take : old)
            take->deleteLater();
        for (int i = 1; i <= count; ++i) {
            auto* take = new Take(i, this);
            connect(take, &AbstractTake::savedOpenedChanged, m_savedTakes, &SavedTakeModel::refilter);
            m_takes->append(take);
        }
    }
    Take* active = nullptr;
    const int activeId = m_activeTakeId->value().toInt();
    for (Take* take : *m_takes) {
        take->setSavedOpened(saved.value(take->takeId()), false, init);
        take->setActive(take->takeId() == activeId);
        take->setLocked(locked.value(take->takeId()));
        if (take->takeId() == activeId)
            active = take;
    }
    if (active != m_activeTake) {
        m_activeTake = active;
        emit activeTakeChanged();
    }
}

int Camera::takesAvailable() const
{
    return partitionCount() - m_savedTakes->count();
}

int Camera::partitionCount() const
{
    return std::clamp(m_prtnCnt->value().toInt(), 0, CameraLimits::MaxPartitions);
}

void Camera::setResponding(bool responding)
{
    if (m_responding == responding)
        return;
    m_responding = responding;
    emit respondingChanged();
}

void Camera::disconnectCamera()
{
    qDebug() << Q_FUNC_INFO;
    m_connecting = false;
    m_connectRetryTimer->stop();
    emit shouldBeUnselected();
    if (m_connected) {
        m_connected = false;
        emit connectedChanged();
        m_pollTimer->stop();
        m_frameTimer->stop();
        emit cameraDisconnected(this);
    } else {
        emit cameraConnectFailed(this);
    }
}

QString Camera::settingKey(const QString& key) const
{
    const QString serialText = m_serial->value().toString();
    return QStringLiteral("cameras/%1/%2")
        .arg(serialText.isEmpty() ? QStringLiteral("000000") : serialText, key);
}

QVariant Camera::setting(const QString& key, const QVariant& defaultValue) const
{
    VornApp* app = VornApp::instance();
    return app ? app->setting(settingKey(key), defaultValue) : defaultValue;
}

QVariant Camera::setting(const QString& key) const
{
    return setting(key, QVariant());
}

void Camera::setSetting(const QString& key, const QVariant& value)
{
    if (VornApp* app = VornApp::instance())
        app->setSetting(settingKey(key), value);
}

void Camera::command(const QString& path, const QByteArray& body)
{
    CameraHttp::releaseWhenFinished(CameraHttp::post(m_address, path, body));
}

void Camera::record()
{
    command(QStringLiteral("/rec"));
}

void Camera::trigger()
{
    command(QStringLiteral("/trig"));
}

void Camera::abort()
{
    command(QStringLiteral("/abort"));
}

void Camera::deleteAllTakes()
{
    command(QStringLiteral("/del"), "{\"take\":-1}");
}

void Camera::partition(int count)
{
    command(QStringLiteral("/prtn"), QStringLiteral("{\"cnt\":%1}").arg(count).toUtf8());
}

void Camera::lensFocus(int step)
{
    command(QStringLiteral("/focus"), QStringLiteral("{\"step\":%1}").arg(step).toUtf8());
}

void Camera::shutterMove(bool pos)
{
    command(QStringLiteral("/shtr"), QStringLiteral("{\"pos\":%1}").arg(pos ? 1 : 0).toUtf8());
}

void Camera::ssdUmount()
{
    command(QStringLiteral("/ssd-umount"));
}

void Camera::ssdFormat(const QString& name)
{
    command(QStringLiteral("/ssd-format"), "{\"name\":\"" + JsonText::escaped(name) + "\"}");
}

void Camera::bref()
{
    QNetworkReply* reply = CameraHttp::post(m_address, QStringLiteral("/bref"));
    if (reply)
        connect(reply, &QNetworkReply::finished, this, &Camera::brefFinished);
}

void Camera::brefFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    const QJsonDocument document = CameraHttp::jsonReply(reply, this);
    if (!document.isNull() && reply->error() == QNetworkReply::NoError) {
        const QJsonValue state = document.object().value(QStringLiteral("bref_state"));
        if (!state.isUndefined() && !state.isNull())
            m_brefState->setJsonValue(state);
    }
    reply->deleteLater();
}

void Camera::addAllTakesToSaveBatch()
{
    VornApp* app = VornApp::instance();
    if (!app)
        return;
    app->clearSaveBatchObjModel();
    for (Take* take : *m_takes) {
        if (take->savedOpened())
            app->saveBatchObjModel()->append(new SaveBatchObject(take, app));
    }
}
