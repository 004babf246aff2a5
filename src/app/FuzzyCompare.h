#pragma once

#include <algorithm>
#include <cmath>

// Doubles are equal when they differ by at most 1e-12, or by a relative 1e-12.
// Every double-valued setter stores and signals only on a change in this
// sense, so that a value recomputed with rounding noise is no change.
inline bool fuzzyEqual(double a, double b)
{
    const double difference = std::abs(a - b);
    return difference <= 1e-12 || difference * 1e12 <= std::min(std::abs(a), std::abs(b));
}
