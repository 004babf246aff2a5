#include "PlaybackScrubberHandleObject.h"

#include "HandlePositions.h"
#include "PlaybackScrubberTemplate.h"

#include <algorithm>

PlaybackScrubberHandleObject::PlaybackScrubberHandleObject(Type type, qint64 fr,
                                                           PlaybackScrubberTemplate* scrubber)
    : QObject(scrubber), m_type(type), m_scrubber(scrubber), m_fr(fr)
{
}

void PlaybackScrubberHandleObject::setFr(qint64 fr)
{
    if (!m_scrubber->rangeSet())
        return;
    storeFr(m_scrubber->clampFr(m_type, fr));
}

void PlaybackScrubberHandleObject::storeFr(qint64 fr)
{
    if (fr == m_fr)
        return;
    m_fr = fr;
    emit frChanged();
    updatePosition();
}

void PlaybackScrubberHandleObject::updatePosition()
{
    const auto [low, high] = m_scrubber->positionLimits(m_type);
    // std::max before std::min: should stale limits cross, the upper one wins,
    // and a marker dragged onto the other one shows at its place.
    storePosition(std::min(std::max(m_scrubber->positionOfFr(m_fr), low), high));
}

void PlaybackScrubberHandleObject::updatePositionUnlimited()
{
    storePosition(std::clamp(m_scrubber->positionOfFr(m_fr), 0.0, 1.0));
}

void PlaybackScrubberHandleObject::storePosition(double position)
{
    if (HandlePositions::approximatelyEqual(position, m_position))
        return;
    m_position = position;
    emit positionChanged();
}

void PlaybackScrubberHandleObject::setPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    emit pressedChanged();
}

void PlaybackScrubberHandleObject::setHovered(bool hovered)
{
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    emit hoveredChanged();
}

void PlaybackScrubberHandleObject::setHandle(QQuickItem* handle)
{
    if (handle == m_handle)
        return;
    m_handle = handle;
    // A handle declared as a property value in QML has no parent item and
    // would not be shown; it belongs on the scrubber.
    if (handle && !handle->parentItem())
        handle->setParentItem(m_scrubber);
    emit handleChanged();
}

bool PlaybackScrubberHandleObject::handleContains(const QPointF& scrubberPoint) const
{
    if (!m_handle)
        return false;
    return m_handle->contains(m_scrubber->mapToItem(m_handle, scrubberPoint));
}
