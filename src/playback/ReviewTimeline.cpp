#include "ReviewTimeline.h"

#include <cmath>
#include <limits>
#include <numeric>

namespace ReviewTimeline {

namespace {

using Wide = __int128;

// Products of a few stated values never come near this; ones from a damaged
// file may, and then stop here instead of overflowing.
constexpr Wide kLimit = Wide(1) << 120;

Wide bounded(Wide v)
{
    return v > kLimit ? kLimit : (v < -kLimit ? -kLimit : v);
}

Wide mul(Wide a, Wide b)
{
    Wide product;
    if (__builtin_mul_overflow(a, b, &product))
        return (a < 0) != (b < 0) ? -kLimit : kLimit;
    return bounded(product);
}

Wide add(Wide a, Wide b)
{
    return bounded(a + b);
}

// n / d rounded down, d > 0.
Wide floorDiv(Wide n, Wide d)
{
    Wide q = n / d;
    if (n % d != 0 && n < 0)
        --q;
    return q;
}

Wide ceilDiv(Wide n, Wide d)
{
    return -floorDiv(-n, d);
}

// Halves go up, towards the later frame.
Wide roundDiv(Wide n, Wide d)
{
    return floorDiv(2 * n + d, 2 * d);
}

qint64 narrow(Wide v)
{
    constexpr Wide lo = std::numeric_limits<qint64>::min();
    constexpr Wide hi = std::numeric_limits<qint64>::max();
    return qint64(v < lo ? lo : (v > hi ? hi : v));
}

// The time of axis frame g, less the time of frame 0 of `track`, in frames
// of `track`: numerator and denominator.
struct Ratio
{
    Wide n;
    Wide d;
};

Ratio trackPosition(const Track& axis, const Track& track, qint64 g)
{
    const Wide sinceFrame0 =
        add(mul(Wide(axis.frame0Ns) - track.frame0Ns, axis.periodDen), mul(g, axis.periodNum));
    return {mul(sinceFrame0, track.periodDen), mul(axis.periodDen, track.periodNum)};
}

} // namespace

Track Track::fromValues(qint64 firstFr, qint64 lastFr, qint64 trigSeconds, qint64 trigNanoseconds,
                        qint64 frClks, qint64 clkFreq, double frRate)
{
    Track track;
    track.firstFr = firstFr;
    track.lastFr = qMax(firstFr, lastFr);
    // Seconds up to the year 2242 keep the nanoseconds within 64 bits.
    track.frame0Ns = qBound(qint64(0), trigSeconds, qint64(1) << 33) * 1000000000 +
                     qBound(qint64(0), trigNanoseconds, qint64(999999999));
    constexpr qint64 kMaxClocks = 0xFFFFFFFF;
    if (frClks > 0 && clkFreq > 0) {
        track.periodNum = qMin(frClks, kMaxClocks) * 1000000000;
        track.periodDen = qMin(clkFreq, kMaxClocks);
    } else if (std::isfinite(frRate) && frRate > 0) {
        // In femtoseconds: 29.97 frames per second stay 29.97.
        track.periodNum = qMax<qint64>(1, std::llround(1e15 / qBound(1e-3, frRate, 1e9)));
        track.periodDen = 1000000;
    }
    const qint64 common = std::gcd(track.periodNum, track.periodDen);
    track.periodNum /= common;
    track.periodDen /= common;
    return track;
}

bool faster(const Track& a, const Track& b)
{
    return mul(a.periodNum, b.periodDen) < mul(b.periodNum, a.periodDen);
}

Nearest nearestFrame(const Track& axis, const Track& track, qint64 g)
{
    const Ratio position = trackPosition(axis, track, g);
    const qint64 fr = narrow(roundDiv(position.n, position.d));
    if (fr < track.firstFr)
        return {track.firstFr, Side::Before};
    if (fr > track.lastFr)
        return {track.lastFr, Side::After};
    return {fr, Side::Inside};
}

qint64 axisFrame(const Track& axis, const Track& track, qint64 f)
{
    const Wide sinceAxisFrame0 =
        add(mul(Wide(track.frame0Ns) - axis.frame0Ns, track.periodDen), mul(f, track.periodNum));
    return narrow(roundDiv(mul(sinceAxisFrame0, axis.periodDen), mul(track.periodDen, axis.periodNum)));
}

qint64 axisTimeNs(const Track& axis, qint64 g)
{
    return narrow(roundDiv(mul(g, axis.periodNum), axis.periodDen));
}

bool framesWithin(const Track& axis, const Track& track, qint64 ga, qint64 gb, qint64* first, qint64* last)
{
    const Ratio from = trackPosition(axis, track, ga);
    const Ratio to = trackPosition(axis, track, gb);
    *first = qMax(track.firstFr, narrow(ceilDiv(from.n, from.d)));
    *last = qMin(track.lastFr, narrow(floorDiv(to.n, to.d)));
    return *first <= *last;
}

} // namespace ReviewTimeline
