#include "CameraValue.h"

#include "Camera.h"
#include "CameraHttp.h"

#include <QNetworkReply>
#include <QTimer>

CameraValue::CameraValue(const QStringList& key, int type, QObject* parent, QVariant* storage,
                         const QStringList& altKey)
    : VornValue(key, type, parent, storage, altKey), m_sendTimer(new QTimer(this))
{
    // The timer runs only while a local change waits to be sent: a camera has
    // some seventy values, and idle ticks would cost the GUI thread for nothing.
    m_sendTimer->setInterval(50);
    connect(m_sendTimer, &QTimer::timeout, this, &CameraValue::sendValue);
}

void CameraValue::setValue(const QVariant& value, bool quiet)
{
    if (!store(value))
        return;
    m_ignoreNextRemote = true;
    m_sendPending = true;
    if (!m_sendTimer->isActive())
        m_sendTimer->start();
    if (!quiet)
        emit valueChangedLocal(this);
}

bool CameraValue::setJsonValue(const QJsonValue& value)
{
    return setRemoteValue(fromJson(value));
}

bool CameraValue::setRemoteValue(const QVariant& value)
{
    // The poll already under way when the user changed the value still carries
    // the old one: drop it.
    if (m_ignoreNextRemote) {
        m_ignoreNextRemote = false;
        return false;
    }
    const bool changed = store(value);
    if (changed)
        emit valueChangedRemote();
    return changed;
}

QString CameraValue::keyPath() const
{
    QString path;
    for (const QString& element : key())
        path += QLatin1Char('/') + element;
    return path;
}

void CameraValue::sendValue()
{
    auto* camera = qobject_cast<Camera*>(parent());
    sendTo(camera ? camera->address() : QHostAddress(), keyPath());
}

void CameraValue::sendTo(const QHostAddress& address, const QString& path)
{
    m_sendTimer->stop();
    if (!m_sendPending)
        return;
    m_sendPending = false;
    QNetworkReply* reply = CameraHttp::put(address, path, valueText());
    if (!reply)
        return;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        emit valueSent();
    });
}
