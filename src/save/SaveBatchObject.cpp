#include "SaveBatchObject.h"

#include "PlaybackVornObject.h"

SaveBatchObject::SaveBatchObject(PlaybackVornObject* source, QObject* parent)
    : QObject(parent), m_source(source), m_aFr(source ? source->firstFrame() : 0),
      m_bFr(source ? source->lastFrame() : 0)
{
}

qint64 SaveBatchObject::first() const
{
    return m_source ? m_source->firstFrame() : 0;
}

qint64 SaveBatchObject::last() const
{
    return m_source ? m_source->lastFrame() : 0;
}

void SaveBatchObject::setAFr(qint64 aFr)
{
    m_aFr = aFr;
    if (aFr < first())
        m_aFr = first();
    else if (aFr > last() || aFr > m_bFr)
        m_aFr = m_bFr;
    emit aFrChanged();
}

void SaveBatchObject::setBFr(qint64 bFr)
{
    m_bFr = bFr;
    if (bFr < first() || bFr < m_aFr)
        m_bFr = m_aFr;
    else if (bFr > last())
        m_bFr = last();
    emit bFrChanged();
}
