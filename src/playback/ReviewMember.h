#pragma once

#include "PlaybackVornObject.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

// One recording of a side-by-side review: the take or file, and where the
// review's clock stands against its frames.
class ReviewMember : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(PlaybackVornObject* source READ source CONSTANT)
    Q_PROPERTY(RangePosition rangePosition READ rangePosition NOTIFY rangePositionChanged)
    Q_PROPERTY(bool hasWindowFrames READ hasWindowFrames NOTIFY windowChanged)

public:
    // Where the clock's time lies: among the recording's frames, or before
    // its first or after its last (it then shows that frame).
    enum RangePosition { InRange = 0, BeforeStart = 1, AfterEnd = 2 };
    Q_ENUM(RangePosition)

    ReviewMember(PlaybackVornObject* source, QObject* parent);

    // Null once the source is gone.
    PlaybackVornObject* source() const { return m_source; }
    RangePosition rangePosition() const { return m_rangePosition; }
    void setRangePosition(RangePosition position);

    // The frames of the recording inside the review's in/out window (none
    // when the window lies wholly before or after it, or between two frames).
    bool hasWindowFrames() const { return m_hasWindowFrames; }
    qint64 windowFirstFr() const { return m_windowFirstFr; }
    qint64 windowLastFr() const { return m_windowLastFr; }
    void setWindow(bool hasFrames, qint64 first, qint64 last);

    // The frame the review last gave the source: a different frame comes
    // from elsewhere (an image search), and the review's clock follows it.
    qint64 assignedFr() const { return m_assignedFr; }
    void setAssignedFr(qint64 fr) { m_assignedFr = fr; }

signals:
    void rangePositionChanged();
    void windowChanged();

private:
    QPointer<PlaybackVornObject> m_source;
    RangePosition m_rangePosition = InRange;
    bool m_hasWindowFrames = false;
    qint64 m_windowFirstFr = 0;
    qint64 m_windowLastFr = -1;
    qint64 m_assignedFr = 0;
};
