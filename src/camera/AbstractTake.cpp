#include "AbstractTake.h"

#include "AbstractTakeImgAdjModel.h"
#include "Camera.h"
#include "CameraHttp.h"
#include "FrameXfer.h"
#include "VornApp.h"
#include "VornFileGeometry.h"

#include <QJsonDocument>
#include <QNetworkReply>
#include <QTimer>

AbstractTake::AbstractTake(int takeId, Type type, Camera* camera, const QString& nameSuffix)
    : PlaybackVornObject(
          type, camera, nameSuffix,
          [this](const QStringList& key, int valueType, const QStringList& altKey) -> VornValue* {
              return new VornValue(key, valueType, this, nullptr, altKey);
          }),
      m_takeId(takeId), m_camera(camera), m_pollTimer(new QTimer(this))
{
    m_pollTimer->setInterval(100);
    connect(m_pollTimer, &QTimer::timeout, this, [this] { pollTake(pollNeededOnTick(), false); });
    setImageModel(new AbstractTakeImgAdjModel(this));
    m_imgAdjModel->updateLut();
    connect(m_imgAdjModel, &ImgAdjModel::imgAdjUpdated, this, &PlaybackVornObject::refreshFrame);
    metaSizeValue()->setValue(32, true);
}

void AbstractTake::setTakeId(int takeId)
{
    if (takeId == m_takeId)
        return;
    m_takeId = takeId;
    emit takeIdChanged();
}

QHostAddress AbstractTake::takeCameraAddress() const
{
    return m_camera->address();
}

QString AbstractTake::takeDocumentPath() const
{
    return QStringLiteral("%1/take%2").arg(takesPath()).arg(m_takeId);
}

SaveJobQueue* AbstractTake::fileSaveJobQueue() const
{
    return m_camera->fileSaveJobQueue();
}

int AbstractTake::getFrame(RawFrame* frame, qint64 fr)
{
    const VornFileGeometry geometry = VornFileGeometry::of(this);
    FrameXfer::Expected expected;
    if (geometry.width && geometry.height) {
        expected.width = geometry.width;
        expected.height = geometry.height;
    }
    if (m_metaSizeKnown)
        expected.metaSize = geometry.metaSize;
    return FrameXfer::postFrameXfer(frame, m_camera->address(),
                                    FrameXfer::takeFrameBody(xferSource(), m_takeId, fr), expected);
}

bool AbstractTake::frameBusy() const
{
    return !m_savedOpened || m_camera->frameBusy();
}

void AbstractTake::setSavedOpened(bool opened, bool markClosed, bool skipHook)
{
    if (opened == m_savedOpened || m_closedByRequest) {
        m_closedByRequest = false;
        return;
    }
    m_savedOpened = opened;
    emit savedOpenedChanged();
    if (!opened) {
        emit deletedClosed();
        VornApp* app = VornApp::instance();
        if (app && app->selectedVornObject() == this)
            app->setSelectedVornObject(m_camera);
        if (markClosed)
            m_closedByRequest = true;
        m_pollTimer->stop();
        m_metaSizeKnown = false;
        imgFrame()->setImage(QImage());
        // The partition or file is empty now: the next take in it must be
        // loaded (and announced through valuesInitFinished) afresh.
        setValuesInit(false);
    } else {
        pollTake(true, true);
        m_pollTimer->start();
        if (!skipHook)
            onOpened();
    }
}

void AbstractTake::pollTake(bool needed, bool init)
{
    if (m_pollInFlight && !init)
        return;
    if (!selected() && !needed)
        return;
    QNetworkReply* reply =
        CameraHttp::get(m_camera->address(), takeDocumentPath(), CameraHttp::PollTimeoutMs);
    if (!reply)
        return;
    reply->setProperty("init", init);
    m_pollInFlight = true;
    connect(reply, &QNetworkReply::finished, this, &AbstractTake::pollTakeFinished);
}

void AbstractTake::pollTakeFinished()
{
    auto* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    const QJsonDocument document = CameraHttp::jsonReply(reply, this);
    if (!document.isNull() && reply->error() == QNetworkReply::NoError) {
        QStringList path = takesPath().split(QLatin1Char('/'), Qt::SkipEmptyParts);
        path.append(QStringLiteral("take%1").arg(m_takeId));
        QJsonObject take = document.object();
        for (const QString& step : std::as_const(path))
            take = take.value(step).toObject();
        loadValues(take);
        const VornValue* meta = metaSizeValue();
        for (const QStringList& key : {meta->key(), meta->altKey()}) {
            const QJsonValue found = lookup(key, take);
            m_metaSizeKnown = m_metaSizeKnown || !(found.isNull() || found.isUndefined());
        }
        if (reply->property("init").toBool()) {
            setAFr(firstFrame(), true);
            setBFr(lastFrame(), true);
            setFr(firstFrame(), true);
            setValuesInit(true);
        }
    }
    m_pollInFlight = false;
    reply->deleteLater();
}
