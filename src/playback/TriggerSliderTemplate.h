#pragma once

#include "TriggerSliderHandleObject.h"

#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

// The trigger slider of the camera's frame-buffer pane: one draggable handle
// that sets the trigger offset and a trigger marker. Pressing anywhere on the
// item jumps the handle to the pointer; QML supplies the look and writes the
// camera's trigger offset on trigHandle's moved().
class TriggerSliderTemplate : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(TriggerSliderHandleObject* trigHandle READ trigHandle CONSTANT)
    Q_PROPERTY(TriggerSliderHandleObject* trigMarker READ trigMarker CONSTANT)

public:
    explicit TriggerSliderTemplate(QQuickItem* parent = nullptr);

    TriggerSliderHandleObject* trigHandle() const { return m_trigHandle; }
    TriggerSliderHandleObject* trigMarker() const { return m_trigMarker; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hoverEnterEvent(QHoverEvent* event) override;
    void hoverMoveEvent(QHoverEvent* event) override;
    void hoverLeaveEvent(QHoverEvent* event) override;

private:
    void dragTo(int x);
    void updateHover(const QPointF& point);

    TriggerSliderHandleObject* m_trigHandle = nullptr;
    TriggerSliderHandleObject* m_trigMarker = nullptr;
};
