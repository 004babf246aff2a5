#include "SaveBatchObject.h"

#include "PlaybackVornObject.h"
#include "SaveChoices.h"

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
    m_aFr = SaveChoices::normalise(aFr, m_bFr, first(), last(), SaveChoices::Edited::Start).start;
    emit aFrChanged();
}

void SaveBatchObject::setBFr(qint64 bFr)
{
    m_bFr = SaveChoices::normalise(m_aFr, bFr, first(), last(), SaveChoices::Edited::End).end;
    emit bFrChanged();
}
