#include "PlaybackScrubberTemplate.h"

#include <QCursor>
#include <QHoverEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 SmallestFr = std::numeric_limits<qint64>::min();
constexpr qint64 LargestFr = std::numeric_limits<qint64>::max();

// The event's position as whole pixels, as the handles are laid out.
int integerX(const QSinglePointEvent* event)
{
    return event->position().toPoint().x();
}

} // namespace

PlaybackScrubberTemplate::PlaybackScrubberTemplate(QQuickItem* parent) : QQuickItem(parent)
{
    m_playHead = new PlaybackScrubberHandleObject(Type::PlayHead, SmallestFr, this);
    m_aMarker = new PlaybackScrubberHandleObject(Type::AMarker, SmallestFr, this);
    m_bMarker = new PlaybackScrubberHandleObject(Type::BMarker, LargestFr, this);
    m_trigMarker = new PlaybackScrubberHandleObject(Type::TrigMarker, 0, this);
    updatePositions();

    setAcceptedMouseButtons(Qt::LeftButton);
    setAcceptHoverEvents(true);
}

void PlaybackScrubberTemplate::setFrRange(qint64 firstFr, qint64 lastFr)
{
    if ((firstFr == m_firstFr && lastFr == m_lastFr) || firstFr > lastFr)
        return;
    m_firstFr = firstFr;
    m_lastFr = lastFr;
    emit firstFrChanged();
    emit lastFrChanged();
    m_rangeSet = true;

    // Without clamps: the handles' old frames belong to the old range and
    // would hold the new ones back.
    m_aMarker->storeFr(firstFr);
    m_bMarker->storeFr(lastFr);
    m_playHead->storeFr(firstFr);
    m_trigMarker->storeFr(0);
    updatePositions();
}

void PlaybackScrubberTemplate::updatePositions()
{
    // The A marker first and without the B marker's limit, which may still be
    // the old range's; the others then clamp against fresh marker positions.
    m_aMarker->updatePositionUnlimited();
    m_bMarker->updatePosition();
    m_playHead->updatePosition();
    m_trigMarker->updatePosition();
}

qint64 PlaybackScrubberTemplate::clampFr(Type type, qint64 fr) const
{
    switch (type) {
    case Type::PlayHead:
        return std::min(std::max(fr, m_aMarker->fr()), m_bMarker->fr());
    case Type::AMarker:
        return std::min(std::max(fr, m_firstFr), m_bMarker->fr());
    case Type::BMarker:
        return std::min(std::max(fr, m_aMarker->fr()), m_lastFr);
    case Type::TrigMarker:
        break;
    }
    // The trigger is frame 0 of every take.
    return 0;
}

double PlaybackScrubberTemplate::positionOfFr(qint64 fr) const
{
    if (m_firstFr == m_lastFr)
        return 0.0;
    // In double: the differences of the initial extremes overflow qint64.
    return (double(fr) - double(m_firstFr)) / (double(m_lastFr) - double(m_firstFr));
}

std::pair<double, double> PlaybackScrubberTemplate::positionLimits(Type type) const
{
    switch (type) {
    case Type::PlayHead:
        return {m_aMarker->position(), m_bMarker->position()};
    case Type::AMarker:
        return {0.0, m_bMarker->position()};
    case Type::BMarker:
        return {m_aMarker->position(), 1.0};
    case Type::TrigMarker:
        break;
    }
    return {0.0, 1.0};
}

qint64 PlaybackScrubberTemplate::frAtX(int x) const
{
    const double w = width();
    if (w <= 0.0)
        return m_firstFr;
    const double fr = double(m_firstFr) + (double(m_lastFr) - double(m_firstFr)) * x / w;
    // Outside the item (while dragging) the frame may leave the range and the
    // handle's clamps bring it back; keep it within qint64 for the conversion.
    constexpr double Limit = 9.2e18;
    return std::llround(std::clamp(fr, -Limit, Limit));
}

void PlaybackScrubberTemplate::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    setKeepMouseGrab(true);
    const QPointF point = event->position();
    if (m_aMarker->handleContains(point)) {
        m_aMarker->setPressed(true);
        setCursor(Qt::SizeHorCursor);
    } else if (m_bMarker->handleContains(point)) {
        m_bMarker->setPressed(true);
        setCursor(Qt::SizeHorCursor);
    } else {
        m_playHead->setPressed(true);
        dragTo(m_playHead, integerX(event));
    }
}

void PlaybackScrubberTemplate::mouseMoveEvent(QMouseEvent* event)
{
    const int x = integerX(event);
    if (m_playHead->pressed()) {
        dragTo(m_playHead, x);
    } else if (m_aMarker->pressed() || m_bMarker->pressed()) {
        dragTo(m_aMarker->pressed() ? m_aMarker : m_bMarker, x);
        // The picture follows the marker being dragged.
        dragTo(m_playHead, x);
    }
}

void PlaybackScrubberTemplate::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    setKeepMouseGrab(false);
    m_playHead->setPressed(false);
    m_aMarker->setPressed(false);
    m_bMarker->setPressed(false);
}

void PlaybackScrubberTemplate::dragTo(PlaybackScrubberHandleObject* handle, int x)
{
    // Before a range is set the frame of x means nothing, and setFr ignores it.
    if (m_rangeSet)
        handle->setFr(frAtX(x));
    emit handle->moved();
}

void PlaybackScrubberTemplate::hoverEnterEvent(QHoverEvent* event)
{
    const QPointF point = event->position();
    if (m_aMarker->handleContains(point)) {
        m_aMarker->setHovered(true);
        setCursor(Qt::SizeHorCursor);
    } else if (m_bMarker->handleContains(point)) {
        m_bMarker->setHovered(true);
        setCursor(Qt::SizeHorCursor);
    } else if (m_playHead->handleContains(point)) {
        m_playHead->setHovered(true);
    }
}

void PlaybackScrubberTemplate::hoverMoveEvent(QHoverEvent* event)
{
    const QPointF point = event->position();
    // The markers sit on the play head's track and win where they overlap it,
    // so that a marker at the play head's frame can still be grabbed.
    if (m_aMarker->handleContains(point)) {
        setHoveredHandle(m_aMarker);
        setCursor(Qt::SizeHorCursor);
    } else if (m_bMarker->handleContains(point)) {
        setHoveredHandle(m_bMarker);
        setCursor(Qt::SizeHorCursor);
    } else {
        setHoveredHandle(m_playHead->handleContains(point) ? m_playHead : nullptr);
        unsetCursor();
    }
}

void PlaybackScrubberTemplate::hoverLeaveEvent(QHoverEvent*)
{
    setHoveredHandle(nullptr);
    unsetCursor();
}

void PlaybackScrubberTemplate::setHoveredHandle(PlaybackScrubberHandleObject* hovered)
{
    for (PlaybackScrubberHandleObject* handle : {m_playHead, m_aMarker, m_bMarker})
        handle->setHovered(handle == hovered);
}
