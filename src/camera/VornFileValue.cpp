#include "VornFileValue.h"

#include <QTimer>

VornFileValue::VornFileValue(const QStringList& key, int type, QObject* parent, QVariant* storage,
                             const QStringList& altKey)
    : VornValue(key, type, parent, storage, altKey), m_writeTimer(new QTimer(this))
{
    m_writeTimer->setInterval(50);
    connect(m_writeTimer, &QTimer::timeout, this, &VornFileValue::writeVornFileValue);
}

void VornFileValue::setValue(const QVariant& value, bool quiet)
{
    if (!store(value))
        return;
    m_dirty = true;
    m_writeTimer->start();
    if (!quiet)
        emit valueChangedLocal(this);
}

bool VornFileValue::setRemoteValue(const QVariant& value)
{
    const bool changed = store(value);
    if (changed)
        emit valueChangedRemote();
    return changed;
}

void VornFileValue::writeVornFileValue()
{
    m_dirty = false;
    m_writeTimer->stop();
}
