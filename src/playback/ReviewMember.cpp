#include "ReviewMember.h"

ReviewMember::ReviewMember(PlaybackVornObject* source, QObject* parent) : QObject(parent), m_source(source) {}

void ReviewMember::setRangePosition(RangePosition position)
{
    if (position == m_rangePosition)
        return;
    m_rangePosition = position;
    emit rangePositionChanged();
}

void ReviewMember::setWindow(bool hasFrames, qint64 first, qint64 last)
{
    if (hasFrames == m_hasWindowFrames && first == m_windowFirstFr && last == m_windowLastFr)
        return;
    m_hasWindowFrames = hasFrames;
    m_windowFirstFr = first;
    m_windowLastFr = last;
    emit windowChanged();
}
