#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class TriggerSliderTemplate;

// One handle of the trigger slider: the draggable trigger handle or the
// trigger marker. Its position is a fraction of the slider's width, 0 … 1;
// the look comes from QML, which places `handle` from `position`.
class TriggerSliderHandleObject : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int type READ type CONSTANT)
    Q_PROPERTY(double position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(bool pressed READ pressed WRITE setPressed NOTIFY pressedChanged)
    Q_PROPERTY(bool hovered READ hovered WRITE setHovered NOTIFY hoveredChanged)
    Q_PROPERTY(QQuickItem* handle READ handle WRITE setHandle NOTIFY handleChanged)

public:
    enum Type {
        TrigHandle = 0,
        TrigMarker = 1,
    };
    Q_ENUM(Type)

    TriggerSliderHandleObject(Type type, TriggerSliderTemplate* slider);

    int type() const { return m_type; }

    double position() const { return m_position; }
    // Clamped to 0 … 1; stored only when not approximately equal.
    void setPosition(double position);

    bool pressed() const { return m_pressed; }
    void setPressed(bool pressed);

    bool hovered() const { return m_hovered; }
    void setHovered(bool hovered);

    QQuickItem* handle() const { return m_handle; }
    void setHandle(QQuickItem* handle);

    // True when the handle item exists and contains the point, given in the
    // slider's coordinates.
    bool handleContains(const QPointF& sliderPoint) const;

signals:
    void positionChanged();
    void pressedChanged();
    void hoveredChanged();
    void handleChanged();
    // The user changed the position by mouse.
    void moved();

private:
    const Type m_type;
    TriggerSliderTemplate* const m_slider;
    double m_position = 0.0;
    bool m_pressed = false;
    bool m_hovered = false;
    // The visual item belongs to QML and may go away before the handle.
    QPointer<QQuickItem> m_handle;
};
