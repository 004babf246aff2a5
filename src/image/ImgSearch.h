#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>
#include <QtQml/qqmlregistration.h>

class ImgSearchWorker;
class PlaybackVornObject;
class RawFrame;

// Finds, in a playable object's range, the next frame whose processed grey
// picture differs from a reference by more than a threshold at any pixel.
// Frames are fetched one at a time through the owner's own frame fetch and
// decoded and compared by an ImgSearchWorker in "ImgSearch Thread", so the
// main thread only steps the position and moves data.
class ImgSearch : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(State state READ state NOTIFY stateChanged)
    Q_PROPERTY(RefFrame refFrame READ refFrame WRITE setRefFrame NOTIFY refFrameChanged)
    Q_PROPERTY(qint64 step READ step WRITE setStep NOTIFY stepChanged)
    Q_PROPERTY(double threshold READ threshold WRITE setThreshold NOTIFY thresholdChanged)
    Q_PROPERTY(qint64 fr READ fr NOTIFY frChanged)

public:
    enum State { Idle = 0, Searching = 1 };
    Q_ENUM(State)
    // What each examined frame is compared with.
    enum RefFrame { PreviousFrame = 0, StartFrame = 1 };
    Q_ENUM(RefFrame)

    static constexpr double minThreshold = 0.01;
    static constexpr double maxThreshold = 0.99;

    explicit ImgSearch(PlaybackVornObject* owner);
    ~ImgSearch() override;

    State state() const { return m_state; }
    RefFrame refFrame() const { return m_refFrame; }
    void setRefFrame(RefFrame refFrame);
    qint64 step() const { return m_step; }
    void setStep(qint64 step);
    double threshold() const { return m_threshold; }
    void setThreshold(double threshold);
    qint64 fr() const { return m_fr; }

    // The threshold as a level of 16-bit grey samples.
    int level() const { return int(m_threshold * 65535.0); }
    // The thread that hosts the workers, one for all searches.
    const QThread* searchThread() const { return &m_thread; }

    // Begins a search from the owner's current frame (restarting one that runs).
    Q_INVOKABLE void start(bool forward);
    // Stops a running search; returns once its thread has finished.
    Q_INVOKABLE void cancel();

signals:
    void stateChanged();
    void refFrameChanged();
    void stepChanged();
    void thresholdChanged();
    void frChanged();

private:
    void setSearchFr(qint64 fr);
    void setState(State state);
    // Fetches frame m_fr into a new RawFrame for the worker slot `slot`; while
    // the owner is busy the fetch fails at once.
    void fetch(void (ImgSearchWorker::*slot)());
    void nextFrame();
    void foundFrame();
    void fetchFailed();
    void stop();

    PlaybackVornObject* m_owner;
    // The owner's frame when the search started.
    qint64 m_ownerFr = 0;
    State m_state = Idle;
    RefFrame m_refFrame = PreviousFrame;
    qint64 m_step = 100;
    double m_threshold = 0.5;
    qint64 m_fr = 0;
    qint64 m_stepInUse = 100;
    bool m_forward = true;
    QThread m_thread;
    ImgSearchWorker* m_worker = nullptr;
    // The frame being fetched or examined, released when the search stops.
    QPointer<RawFrame> m_rawFrame;
    // Counts searches, so that signals of a stopped search's worker still
    // queued for this object are recognised and dropped.
    quint64 m_generation = 0;
};
