#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// The wall clock that playback positions follow. Tests put a clock of their
// own in its place to step time exactly.
class PlaybackClock
{
public:
    virtual ~PlaybackClock() = default;
    virtual void restart() = 0;
    virtual qint64 nsecsElapsed() const = 0;
};

class ElapsedPlaybackClock : public PlaybackClock
{
public:
    ElapsedPlaybackClock() { m_timer.start(); }
    void restart() override { m_timer.restart(); }
    qint64 nsecsElapsed() const override { return m_timer.nsecsElapsed(); }

private:
    QElapsedTimer m_timer;
};
