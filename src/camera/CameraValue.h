#pragma once

#include "VornValue.h"

#include <QHostAddress>
#include <QtQml/qqmlregistration.h>

class QTimer;

// A value that lives in a camera: remote updates come from polls, local
// changes are sent back with a PUT of the value's key path, at most one per
// 50 ms and always the latest.
class CameraValue : public VornValue
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QVariant value READ value WRITE setValueProperty NOTIFY valueChanged)

public:
    CameraValue(const QStringList& key, int type, QObject* parent, QVariant* storage = nullptr,
                const QStringList& altKey = QStringList{QString()});

    bool sendPending() const { return m_sendPending; }
    bool ignoreNextRemote() const { return m_ignoreNextRemote; }

public slots:
    void setValue(const QVariant& value, bool quiet = false) override;
    bool setJsonValue(const QJsonValue& value) override;
    bool setRemoteValue(const QVariant& value) override;
    virtual void sendValue();

signals:
    void valueChangedRemote();
    void valueSent();

protected:
    // Sends the pending value to `path` on the camera at `address`.
    void sendTo(const QHostAddress& address, const QString& path);
    QString keyPath() const;

private:
    void setValueProperty(const QVariant& value) { setValue(value, false); }

    bool m_ignoreNextRemote = false;
    bool m_sendPending = false;
    QTimer* m_sendTimer;
};
