#pragma once

#include <cstdint>

namespace q7sim {

// The camera's rules for clock counts. Every limit may have been set to
// anything through PUT (zero or negative steps, limits the wrong way round,
// ranges up to 0xFFFFFFFF), so the rules are closed formulas in 64 bits:
// no loops and no division by a value that can be zero.
struct ExposureGrid
{
    int64_t min = 0;
    int64_t max = 0;
    int64_t mult = 1; // step between allowed counts
    int64_t ofst = 0; // allowed counts are ofst + k x mult

    int64_t step() const { return mult > 0 ? mult : 1; }
    int64_t gridUp(int64_t x) const;
    int64_t gridDown(int64_t x) const;
    // The allowed count nearest to the request, within the limits.
    int64_t snap(int64_t requested) const;
};

namespace ClockRules {

int64_t clamp(int64_t value, int64_t lo, int64_t hi);
// Frame clocks within [min, max]; a max below min leaves only min.
int64_t clampFrameClocks(int64_t requested, int64_t min, int64_t max);
// Clocks per frame for a rate in frames per second (0 or less: the slowest).
int64_t frameClocksForRate(double rate, int64_t clkFreq, int64_t max);
int64_t clocksForMicroseconds(double us, int64_t clkFreq);
double microseconds(int64_t clocks, int64_t clkFreq);
double rate(int64_t frameClocks, int64_t clkFreq);

} // namespace ClockRules
} // namespace q7sim
