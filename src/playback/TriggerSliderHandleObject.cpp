#include "TriggerSliderHandleObject.h"

#include "HandlePositions.h"
#include "TriggerSliderTemplate.h"

#include <algorithm>
#include <cmath>

TriggerSliderHandleObject::TriggerSliderHandleObject(Type type, TriggerSliderTemplate* slider)
    : QObject(slider), m_type(type), m_slider(slider)
{
}

void TriggerSliderHandleObject::setPosition(double position)
{
    // Not a number would pass the clamp and stick.
    if (std::isnan(position))
        return;
    position = std::clamp(position, 0.0, 1.0);
    if (HandlePositions::approximatelyEqual(position, m_position))
        return;
    m_position = position;
    emit positionChanged();
}

void TriggerSliderHandleObject::setPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    emit pressedChanged();
}

void TriggerSliderHandleObject::setHovered(bool hovered)
{
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    emit hoveredChanged();
}

void TriggerSliderHandleObject::setHandle(QQuickItem* handle)
{
    if (handle == m_handle)
        return;
    m_handle = handle;
    // A handle declared as a property value in QML has no parent item and
    // would not be shown; it belongs on the slider.
    if (handle && !handle->parentItem())
        handle->setParentItem(m_slider);
    emit handleChanged();
}

bool TriggerSliderHandleObject::handleContains(const QPointF& sliderPoint) const
{
    if (!m_handle)
        return false;
    return m_handle->contains(m_slider->mapToItem(m_handle, sliderPoint));
}
