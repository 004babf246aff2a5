#pragma once

#include "PutResult.h"
#include "TakeRecord.h"

#include <QJsonArray>
#include <chrono>
#include <map>
#include <optional>
#include <set>

namespace q7sim {

// The acquisition state machine over the memory partitions:
// stand-by (1) --rec--> recording (2, or 6 once the partition has wrapped)
// --trig--> triggered (3) --post-trigger frames done--> take saved, stand-by.
// Time is wall-clock driven: whoever asks first after a deadline sees it
// passed (advance()). Not thread-safe: the owner locks.
class Recorder
{
public:
    using Clock = std::chrono::steady_clock;
    enum State { StandBy = 1, Recording = 2, Triggered = 3, RecordingWrapped = 6 };

    // What a recording needs to know when it starts.
    struct Setup
    {
        QJsonObject settings;
        int64_t partitionFrames = 1;
        int64_t postTriggerFrames = 0;
        uint32_t frClks = 100000;
        uint32_t clkFreq = 100000000;
        int blackReference = -1;
    };

    Recorder();

    void advance(Clock::time_point now);
    int state() const;
    int partitionCount() const { return m_partitionCount; }
    int activeTake() const;

    PutResult partition(int count, int maxCount);
    PutResult record(Clock::time_point now, const Setup& setup);
    // cameraTimeNs: the camera clock at the trigger, nanoseconds since 1970.
    PutResult trigger(Clock::time_point now, int64_t cameraTimeNs, int source = 0);
    PutResult abort(Clock::time_point now);
    PutResult remove(int take);
    void setLocked(int take, bool locked);

    const TakeRecord* savedTake(int take) const;
    TakeRecord* savedTake(int take);
    // The partition being recorded, with the counts reached so far.
    std::optional<TakeRecord> activeRecording(Clock::time_point now) const;
    QJsonArray savedTakes() const;
    QJsonArray lockedTakes() const;
    std::set<int> blackReferencesInUse() const;

private:
    int64_t framesBetween(Clock::time_point from, Clock::time_point to) const;
    TakeRecord recordingSoFar(Clock::time_point now) const;
    void finishRecording(const TakeRecord& take);

    int m_partitionCount = 1;
    std::map<int, TakeRecord> m_saved;
    std::set<int> m_locked;

    State m_state = StandBy;
    int m_activeTake = 0;
    Setup m_setup;
    Clock::time_point m_recordStart;
    Clock::time_point m_triggerTime;
    int64_t m_triggerCameraNs = 0;
    int m_triggerSource = 0;
};

} // namespace q7sim
