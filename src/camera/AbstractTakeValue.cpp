#include "AbstractTakeValue.h"

AbstractTakeValue::AbstractTakeValue(const QStringList& key, int type, QObject* parent, TakeValueOwner* owner,
                                     QVariant* storage, const QStringList& altKey)
    : CameraValue(key, type, parent, storage, altKey), m_owner(owner)
{
}

void AbstractTakeValue::sendValue()
{
    if (m_owner)
        sendTo(m_owner->takeCameraAddress(), m_owner->takeDocumentPath() + keyPath());
    else
        sendTo(QHostAddress(), keyPath());
}
