#include "ClockRules.h"

#include <cmath>

namespace q7sim {

namespace {
int64_t floorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}
} // namespace

int64_t ExposureGrid::gridUp(int64_t x) const
{
    const int64_t m = step();
    return -floorDiv(-(x - ofst), m) * m + ofst;
}

int64_t ExposureGrid::gridDown(int64_t x) const
{
    const int64_t m = step();
    return floorDiv(x - ofst, m) * m + ofst;
}

int64_t ExposureGrid::snap(int64_t requested) const
{
    const int64_t m = step();
    int64_t lo = gridUp(min);
    int64_t hi = gridDown(max);
    if (hi < lo) // no grid point inside the limits: the nearest limit wins
        return ClockRules::clamp(requested, min, max < min ? min : max);
    const int64_t nearest = floorDiv(requested - ofst + m / 2, m) * m + ofst;
    return ClockRules::clamp(nearest, lo, hi);
}

namespace ClockRules {

int64_t clamp(int64_t value, int64_t lo, int64_t hi)
{
    if (value < lo)
        return lo;
    if (value > hi)
        return hi;
    return value;
}

int64_t clampFrameClocks(int64_t requested, int64_t min, int64_t max)
{
    if (min < 1)
        min = 1;
    if (max < min)
        return min;
    return clamp(requested, min, max);
}

int64_t frameClocksForRate(double rate, int64_t clkFreq, int64_t max)
{
    if (!(rate > 0.0) || !std::isfinite(rate))
        return max;
    const double clocks = std::round(static_cast<double>(clkFreq) / rate);
    if (clocks >= 9.0e18)
        return max;
    return clocks < 1.0 ? 1 : static_cast<int64_t>(clocks);
}

int64_t clocksForMicroseconds(double us, int64_t clkFreq)
{
    if (!std::isfinite(us) || us <= 0.0)
        return 0;
    const double clocks = std::round(us * static_cast<double>(clkFreq) / 1e6);
    return clocks >= 9.0e18 ? INT64_MAX : static_cast<int64_t>(clocks);
}

double microseconds(int64_t clocks, int64_t clkFreq)
{
    return clkFreq > 0 ? static_cast<double>(clocks) * 1e6 / static_cast<double>(clkFreq) : 0.0;
}

double rate(int64_t frameClocks, int64_t clkFreq)
{
    return frameClocks > 0 ? static_cast<double>(clkFreq) / static_cast<double>(frameClocks) : 0.0;
}

} // namespace ClockRules
} // namespace q7sim
