#pragma once

#include "CameraValue.h"

// What a take value needs from the take that owns it (its parent).
class TakeValueOwner
{
public:
    virtual ~TakeValueOwner() = default;
    // Address of the camera that holds the take.
    virtual QHostAddress takeCameraAddress() const = 0;
    // "/takes/take<N>" or "/ssd/takes/take<N>".
    virtual QString takeDocumentPath() const = 0;
};

// A value of a take in camera memory or on the camera SSD; sent back below the
// take's document path.
class AbstractTakeValue : public CameraValue
{
    Q_OBJECT

public:
    AbstractTakeValue(const QStringList& key, int type, QObject* parent, TakeValueOwner* owner,
                      QVariant* storage = nullptr, const QStringList& altKey = QStringList{QString()});

public slots:
    void sendValue() override;

private:
    TakeValueOwner* m_owner;
};
