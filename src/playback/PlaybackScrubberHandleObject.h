#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class PlaybackScrubberTemplate;

// One handle of the playback scrubber: the play head, the A or B marker or
// the trigger marker. It owns the handle's frame and its place on the track;
// the scrubber supplies the range and the other handles that limit it. The
// look comes from QML, which positions `handle` from `position`.
class PlaybackScrubberHandleObject : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int type READ type CONSTANT)
    // An int for QML, but stored with all 64 bits: the untouched handles hold
    // the extremes of qint64, and frame numbers of long takes need them too.
    Q_PROPERTY(int fr READ fr WRITE setFr NOTIFY frChanged)
    Q_PROPERTY(double position READ position NOTIFY positionChanged)
    Q_PROPERTY(bool pressed READ pressed WRITE setPressed NOTIFY pressedChanged)
    Q_PROPERTY(bool hovered READ hovered WRITE setHovered NOTIFY hoveredChanged)
    Q_PROPERTY(QQuickItem* handle READ handle WRITE setHandle NOTIFY handleChanged)

public:
    enum Type {
        PlayHead = 0,
        AMarker = 1,
        BMarker = 2,
        TrigMarker = 3,
    };
    Q_ENUM(Type)

    PlaybackScrubberHandleObject(Type type, qint64 fr, PlaybackScrubberTemplate* scrubber);

    int type() const { return m_type; }

    qint64 fr() const { return m_fr; }
    // Clamped by type against the range and the markers; ignored until the
    // scrubber has a range.
    void setFr(qint64 fr);
    // Stores the frame without clamps; used when a new range resets the handles.
    void storeFr(qint64 fr);

    double position() const { return m_position; }
    // Recomputes the position from the frame, clamped by type.
    void updatePosition();
    // Recomputes the position from the frame, clamped to 0 … 1 only.
    void updatePositionUnlimited();

    bool pressed() const { return m_pressed; }
    void setPressed(bool pressed);

    bool hovered() const { return m_hovered; }
    void setHovered(bool hovered);

    QQuickItem* handle() const { return m_handle; }
    void setHandle(QQuickItem* handle);

    // True when the handle item exists and contains the point, given in the
    // scrubber's coordinates.
    bool handleContains(const QPointF& scrubberPoint) const;

signals:
    void frChanged();
    void positionChanged();
    void pressedChanged();
    void hoveredChanged();
    void handleChanged();
    // The user changed the frame by mouse.
    void moved();

private:
    void storePosition(double position);

    const Type m_type;
    PlaybackScrubberTemplate* const m_scrubber;
    qint64 m_fr;
    double m_position = 0.0;
    bool m_pressed = false;
    bool m_hovered = false;
    // The visual item belongs to QML and may go away before the handle.
    QPointer<QQuickItem> m_handle;
};
