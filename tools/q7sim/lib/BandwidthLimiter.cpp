#include "BandwidthLimiter.h"

#include <thread>

namespace q7sim {

bool BandwidthLimiter::acquire(int64_t bytes, const std::atomic<bool>& stopping)
{
    if (m_bytesPerSecond <= 0 || bytes <= 0)
        return !stopping;
    Clock::time_point start;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const Clock::time_point now = Clock::now();
        // An idle link saves up no time: bursts are not sent faster.
        start = m_free < now ? now : m_free;
        const auto duration = std::chrono::nanoseconds(
            static_cast<int64_t>(static_cast<__int128>(bytes) * 1000000000 / m_bytesPerSecond));
        m_free = start + duration;
    }
    while (Clock::now() < start) {
        if (stopping)
            return false;
        const auto left = start - Clock::now();
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(10)));
    }
    return !stopping;
}

} // namespace q7sim
