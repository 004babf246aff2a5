#pragma once

#include <QtGlobal>

// The arithmetic of several recordings on one time axis. A recording's frame
// f happens at its trigger time (the time of frame 0) plus f frame periods;
// the axis counts in frames of the fastest recording, so that its frame g is
// the axis' frame g. Every sum and product runs in 128 bits and saturates, so
// values from a camera or a file cannot overflow it; times and periods the
// recordings state are exact fractions of nanoseconds, so frames that fall
// exactly halfway between two others are decided the same way every time
// (towards the later frame).
namespace ReviewTimeline {

struct Track
{
    qint64 firstFr = 0;
    qint64 lastFr = 0;
    // Time of frame 0 in nanoseconds since 1970.
    qint64 frame0Ns = 0;
    // Frame period: periodNum / periodDen nanoseconds (both above 0).
    qint64 periodNum = 1000000;
    qint64 periodDen = 1;

    // From the recording's values: the period from its frame clocks and
    // clock frequency where both are known, else from its frame rate (1000
    // frames per second when that is unknown too); the trigger time from
    // its time stamp (seconds since 1970 and nanoseconds; a recording
    // without one counts from 0).
    static Track fromValues(qint64 firstFr, qint64 lastFr, qint64 trigSeconds, qint64 trigNanoseconds,
                            qint64 frClks, qint64 clkFreq, double frRate);
};

// Where a time lies against a recording's frames.
enum class Side { Before, Inside, After };

struct Nearest
{
    qint64 fr; // the nearest frame, within the recording
    Side side; // whether the time lies within half a period of its frames
};

// True when `a` has a shorter frame period than `b`.
bool faster(const Track& a, const Track& b);

// The frame of `track` nearest to the axis' frame g (the axis runs in frames
// of `axis`).
Nearest nearestFrame(const Track& axis, const Track& track, qint64 g);

// The axis frame nearest to frame f of `track`.
qint64 axisFrame(const Track& axis, const Track& track, qint64 f);

// Nanoseconds from frame 0 of `axis` to its frame g (rounded to the nearest).
qint64 axisTimeNs(const Track& axis, qint64 g);

// The frames of `track` whose times lie from axis frame ga to axis frame gb
// (both included); false when none does.
bool framesWithin(const Track& axis, const Track& track, qint64 ga, qint64 gb, qint64* first, qint64* last);

} // namespace ReviewTimeline
