#pragma once

#include "PlaybackScrubberHandleObject.h"

#include <QQuickItem>

#include <QtQml/qqmlregistration.h>
#include <limits>
#include <utility>

// The playback scrubber over the frame range of a playable object: a play
// head, the A and B markers of the selection and a trigger marker. This item
// holds the handles' frames and positions and turns mouse and hover events into
// frame changes; QML supplies the look of each handle and writes the frames
// back to the playable object on each handle's moved().
class PlaybackScrubberTemplate : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qint64 firstFr READ firstFr NOTIFY firstFrChanged)
    Q_PROPERTY(qint64 lastFr READ lastFr NOTIFY lastFrChanged)
    Q_PROPERTY(PlaybackScrubberHandleObject* playHead READ playHead CONSTANT)
    Q_PROPERTY(PlaybackScrubberHandleObject* aMarker READ aMarker CONSTANT)
    Q_PROPERTY(PlaybackScrubberHandleObject* bMarker READ bMarker CONSTANT)
    Q_PROPERTY(PlaybackScrubberHandleObject* trigMarker READ trigMarker CONSTANT)

public:
    using Type = PlaybackScrubberHandleObject::Type;

    explicit PlaybackScrubberTemplate(QQuickItem* parent = nullptr);

    qint64 firstFr() const { return m_firstFr; }
    qint64 lastFr() const { return m_lastFr; }
    // Until a valid range has been set, no handle frame can change.
    bool rangeSet() const { return m_rangeSet; }

    PlaybackScrubberHandleObject* playHead() const { return m_playHead; }
    PlaybackScrubberHandleObject* aMarker() const { return m_aMarker; }
    PlaybackScrubberHandleObject* bMarker() const { return m_bMarker; }
    PlaybackScrubberHandleObject* trigMarker() const { return m_trigMarker; }

    // Sets the range and puts the markers at its ends and the play head at its
    // start; a range whose first frame lies after its last is ignored.
    Q_INVOKABLE void setFrRange(qint64 firstFr, qint64 lastFr);

    // The frame a handle of this type may take for the wanted frame.
    qint64 clampFr(Type type, qint64 fr) const;
    // The place of a frame on the track, before any limits of its handle.
    double positionOfFr(qint64 fr) const;
    // The lowest and highest position of a handle of this type.
    std::pair<double, double> positionLimits(Type type) const;
    // The frame under the item coordinate x.
    qint64 frAtX(int x) const;

signals:
    void firstFrChanged();
    void lastFrChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hoverEnterEvent(QHoverEvent* event) override;
    void hoverMoveEvent(QHoverEvent* event) override;
    void hoverLeaveEvent(QHoverEvent* event) override;

private:
    void updatePositions();
    // Marks exactly one of the play head and the markers hovered, or none.
    void setHoveredHandle(PlaybackScrubberHandleObject* hovered);
    void dragTo(PlaybackScrubberHandleObject* handle, int x);

    qint64 m_firstFr = std::numeric_limits<qint64>::min();
    qint64 m_lastFr = std::numeric_limits<qint64>::max();
    bool m_rangeSet = false;
    PlaybackScrubberHandleObject* m_playHead = nullptr;
    PlaybackScrubberHandleObject* m_aMarker = nullptr;
    PlaybackScrubberHandleObject* m_bMarker = nullptr;
    PlaybackScrubberHandleObject* m_trigMarker = nullptr;
};
