#include "BlackReference.h"

namespace q7sim {

BlackReference::BlackReference(int slots, std::chrono::milliseconds duration)
    : m_slots(slots < 1 ? 1 : slots), m_duration(duration)
{
}

void BlackReference::finishIfDue(Clock::time_point now)
{
    if (m_inProgress && now >= m_readyAt) {
        m_inProgress = false;
        m_valid = true;
        m_current = m_nextId++;
    }
}

bool BlackReference::start(Clock::time_point now, const std::set<int>& referencesOfTakes)
{
    finishIfDue(now);
    if (m_inProgress || (state(now, referencesOfTakes) & Full))
        return false;
    m_inProgress = true;
    m_readyAt = now + m_duration;
    return true;
}

void BlackReference::invalidate()
{
    m_valid = false;
}

int BlackReference::current(Clock::time_point now)
{
    finishIfDue(now);
    return m_valid ? m_current : -1;
}

unsigned BlackReference::state(Clock::time_point now, const std::set<int>& referencesOfTakes)
{
    finishIfDue(now);
    unsigned flags = 0;
    if (!m_valid)
        flags |= Invalid;
    if (m_inProgress)
        flags |= InProgress;
    // A new reference needs a slot that no saved take holds (the current one
    // may be overwritten when no take uses it).
    std::set<int> held = referencesOfTakes;
    held.erase(-1);
    if (static_cast<int>(held.size()) >= m_slots)
        flags |= Full;
    return flags;
}

} // namespace q7sim
