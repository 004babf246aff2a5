#include "Recorder.h"

#include <algorithm>

namespace q7sim {

Recorder::Recorder() = default;

int64_t Recorder::framesBetween(Clock::time_point from, Clock::time_point to) const
{
    if (to <= from || m_setup.frClks == 0)
        return 0;
    const __int128 elapsedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(to - from).count();
    const __int128 frames =
        elapsedNs * m_setup.clkFreq / (static_cast<__int128>(m_setup.frClks) * 1000000000);
    return frames > INT64_MAX ? INT64_MAX : static_cast<int64_t>(frames);
}

int Recorder::state() const
{
    return m_state;
}

int Recorder::activeTake() const
{
    return m_state == StandBy ? 0 : m_activeTake;
}

TakeRecord Recorder::recordingSoFar(Clock::time_point now) const
{
    TakeRecord take;
    take.number = m_activeTake;
    take.settings = m_setup.settings;
    take.prtnFrCnt = m_setup.partitionFrames;
    take.prtnPtCnt = m_setup.postTriggerFrames;
    take.blackReference = m_setup.blackReference;
    if (m_state == Triggered) {
        const int64_t pre = std::min(framesBetween(m_recordStart, m_triggerTime), m_setup.partitionFrames);
        const int64_t post = std::min(framesBetween(m_triggerTime, now), m_setup.postTriggerFrames);
        const int64_t kept = std::min(m_setup.partitionFrames, pre + post);
        take.lastFr = post - 1;
        take.firstFr = post - kept;
        take.ptFrCnt = std::min(post, kept);
        take.trigTsS = m_triggerCameraNs / 1000000000;
        take.trigTsNs = m_triggerCameraNs % 1000000000;
        take.trigSrc = m_triggerSource;
    } else {
        // Before the trigger the newest frame is -1 and older ones count down.
        const int64_t kept = std::min(framesBetween(m_recordStart, now), m_setup.partitionFrames);
        take.lastFr = -1;
        take.firstFr = -kept;
    }
    return take;
}

void Recorder::advance(Clock::time_point now)
{
    if (m_state == Recording && framesBetween(m_recordStart, now) >= m_setup.partitionFrames)
        m_state = RecordingWrapped;
    if (m_state == Triggered && framesBetween(m_triggerTime, now) >= m_setup.postTriggerFrames)
        finishRecording(recordingSoFar(now));
}

void Recorder::finishRecording(const TakeRecord& take)
{
    if (take.frameCount() > 0)
        m_saved[take.number] = take;
    m_state = StandBy;
    m_activeTake = 0;
}

PutResult Recorder::partition(int count, int maxCount)
{
    if (!m_saved.empty())
        return PutResult::failure(409, QStringLiteral("delete all takes first"));
    if (count < 1 || count > maxCount)
        return PutResult::failure(400, QStringLiteral("invalid partition count"));
    // Repartitioning ends a recording without keeping it.
    m_state = StandBy;
    m_activeTake = 0;
    m_partitionCount = count;
    return PutResult::success();
}

PutResult Recorder::record(Clock::time_point now, const Setup& setup)
{
    if (m_state != StandBy)
        return PutResult::failure(409, QStringLiteral("already recording"));
    int free = 0;
    for (int n = 1; n <= m_partitionCount && free == 0; ++n)
        if (!m_saved.count(n))
            free = n;
    if (free == 0)
        return PutResult::failure(409, QStringLiteral("no free partition"));
    m_setup = setup;
    m_setup.partitionFrames = std::max<int64_t>(1, setup.partitionFrames);
    m_activeTake = free;
    m_recordStart = now;
    m_state = Recording;
    return PutResult::success();
}

PutResult Recorder::trigger(Clock::time_point now, int64_t cameraTimeNs, int source)
{
    advance(now);
    if (m_state != Recording && m_state != RecordingWrapped)
        return PutResult::failure(409, QStringLiteral("not recording"));
    m_triggerTime = now;
    m_triggerCameraNs = cameraTimeNs;
    m_triggerSource = source;
    m_state = Triggered;
    advance(now); // a zero trigger offset ends the recording at once
    return PutResult::success();
}

PutResult Recorder::abort(Clock::time_point now)
{
    advance(now);
    if (m_state == Triggered) {
        // After the trigger the frames are worth keeping: the take ends here.
        finishRecording(recordingSoFar(now));
    } else {
        m_state = StandBy;
        m_activeTake = 0;
    }
    return PutResult::success();
}

PutResult Recorder::remove(int take)
{
    if (take == -1) {
        for (auto it = m_saved.begin(); it != m_saved.end();)
            it = m_locked.count(it->first) ? std::next(it) : m_saved.erase(it);
        return PutResult::success();
    }
    if (take < 1 || take > m_partitionCount)
        return PutResult::failure(404, QStringLiteral("no such take"));
    if (m_locked.count(take))
        return PutResult::failure(409, QStringLiteral("take is locked"));
    m_saved.erase(take);
    return PutResult::success();
}

void Recorder::setLocked(int take, bool locked)
{
    if (locked)
        m_locked.insert(take);
    else
        m_locked.erase(take);
}

const TakeRecord* Recorder::savedTake(int take) const
{
    const auto it = m_saved.find(take);
    return it == m_saved.end() || take > m_partitionCount ? nullptr : &it->second;
}

TakeRecord* Recorder::savedTake(int take)
{
    const auto it = m_saved.find(take);
    return it == m_saved.end() || take > m_partitionCount ? nullptr : &it->second;
}

std::optional<TakeRecord> Recorder::activeRecording(Clock::time_point now) const
{
    if (m_state == StandBy)
        return std::nullopt;
    return recordingSoFar(now);
}

QJsonArray Recorder::savedTakes() const
{
    QJsonArray numbers;
    for (const auto& entry : m_saved)
        numbers.append(entry.first);
    return numbers;
}

QJsonArray Recorder::lockedTakes() const
{
    QJsonArray numbers;
    for (int n : m_locked)
        if (m_saved.count(n))
            numbers.append(n);
    return numbers;
}

std::set<int> Recorder::blackReferencesInUse() const
{
    std::set<int> references;
    for (const auto& entry : m_saved)
        references.insert(entry.second.blackReference);
    return references;
}

} // namespace q7sim
