#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace q7sim {

// A link of limited speed shared by several streams: each piece of data
// reserves the next free slot of time its size needs, and its sender waits
// for the slot's start. Thread-safe; a rate of 0 or less limits nothing.
class BandwidthLimiter
{
public:
    using Clock = std::chrono::steady_clock;

    explicit BandwidthLimiter(int64_t bytesPerSecond) : m_bytesPerSecond(bytesPerSecond) {}

    bool limited() const { return m_bytesPerSecond > 0; }
    // Waits until `bytes` may be sent; false when `stopping` was set meanwhile.
    bool acquire(int64_t bytes, const std::atomic<bool>& stopping);

private:
    const int64_t m_bytesPerSecond;
    std::mutex m_mutex;
    Clock::time_point m_free; // when the link is next free
};

} // namespace q7sim
