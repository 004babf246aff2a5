#include "TriggerSliderTemplate.h"

#include "HandlePositions.h"

#include <QCursor>
#include <QHoverEvent>
#include <QMouseEvent>

TriggerSliderTemplate::TriggerSliderTemplate(QQuickItem* parent)
    : QQuickItem(parent),
      m_trigHandle(new TriggerSliderHandleObject(TriggerSliderHandleObject::TrigHandle, this)),
      m_trigMarker(new TriggerSliderHandleObject(TriggerSliderHandleObject::TrigMarker, this))
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setAcceptHoverEvents(true);
}

void TriggerSliderTemplate::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    setKeepMouseGrab(true);
    m_trigHandle->setPressed(true);
    // Anywhere on the item, not only on the handle: the handle jumps there.
    dragTo(event->position().toPoint().x());
}

void TriggerSliderTemplate::mouseMoveEvent(QMouseEvent* event)
{
    if (m_trigHandle->pressed())
        dragTo(event->position().toPoint().x());
}

void TriggerSliderTemplate::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    setKeepMouseGrab(false);
    m_trigHandle->setPressed(false);
}

void TriggerSliderTemplate::dragTo(int x)
{
    m_trigHandle->setPosition(HandlePositions::fractionOfWidth(x, width()));
    emit m_trigHandle->moved();
}

void TriggerSliderTemplate::hoverEnterEvent(QHoverEvent* event)
{
    updateHover(event->position());
}

void TriggerSliderTemplate::hoverMoveEvent(QHoverEvent* event)
{
    updateHover(event->position());
}

void TriggerSliderTemplate::hoverLeaveEvent(QHoverEvent*)
{
    m_trigHandle->setHovered(false);
    unsetCursor();
}

void TriggerSliderTemplate::updateHover(const QPointF& point)
{
    const bool overHandle = m_trigHandle->handleContains(point);
    m_trigHandle->setHovered(overHandle);
    if (overHandle)
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}
