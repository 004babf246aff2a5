#pragma once

#include <chrono>
#include <set>

namespace q7sim {

// The camera's black references. Taking one lasts a while; each saved take
// keeps the reference it was recorded with, so references in use by takes
// occupy slots until those takes are deleted. With every slot taken by
// takes, no new reference can be taken ("full").
class BlackReference
{
public:
    using Clock = std::chrono::steady_clock;
    enum Flags { Invalid = 1, InProgress = 2, Full = 4 };

    BlackReference(int slots, std::chrono::milliseconds duration);

    // Starts taking a reference unless one is under way or no slot is free.
    bool start(Clock::time_point now, const std::set<int>& referencesOfTakes);
    // The current reference no longer fits the sensor set-up.
    void invalidate();
    // The reference a recording started now would use (-1: none valid).
    int current(Clock::time_point now);
    unsigned state(Clock::time_point now, const std::set<int>& referencesOfTakes);

private:
    void finishIfDue(Clock::time_point now);

    int m_slots;
    std::chrono::milliseconds m_duration;
    int m_current = 0; // the factory reference
    bool m_valid = true;
    bool m_inProgress = false;
    Clock::time_point m_readyAt;
    int m_nextId = 1;
};

} // namespace q7sim
