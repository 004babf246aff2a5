#include "PlaybackPositions.h"

#include <limits>

namespace PlaybackPositions {

Move advance(qint64 base, qint64 steps, qint64 stride, qint64 lo, qint64 hi, bool pingPong)
{
    if (stride == 0 || lo > hi)
        return {base, false, false};
    // Distances are counted in unsigned 64-bit numbers: the range may span
    // all of qint64, and a frame that lies in the range is reached from
    // another one in it without overflow.
    const bool forward = stride > 0;
    const quint64 size = forward ? quint64(stride) : 0 - quint64(stride);
    const qint64 start = forward ? lo : hi;
    const qint64 end = forward ? hi : lo;
    const auto ahead = [forward](qint64 from, quint64 frames) {
        return qint64(forward ? quint64(from) + frames : quint64(from) - frames);
    };
    const auto back = [forward](qint64 from, quint64 frames) {
        return qint64(forward ? quint64(from) - frames : quint64(from) + frames);
    };
    const quint64 count = quint64(qMax<qint64>(0, steps));

    // Steps beyond the end; the step from a base past the end is the first.
    quint64 past = count + 1;
    if (forward ? base <= hi : base >= lo) {
        const quint64 room = forward ? quint64(hi) - quint64(base) : quint64(base) - quint64(lo);
        const quint64 inRange = room / size;
        if (count <= inRange) {
            const qint64 pos = ahead(base, count * size);
            if (forward ? pos >= lo : pos <= hi)
                return {pos, false, false};
            return pingPong ? Move{start, true, true} : Move{end, true, false};
        }
        past = count - inRange;
    }

    // One pass through the range visits `leg` positions (0: it spans all of
    // qint64 and no count of steps gets through it).
    const quint64 span = quint64(hi) - quint64(lo);
    const quint64 leg = span / size + 1;
    quint64 k = past - 1;
    if (!pingPong) {
        if (leg != 0)
            k %= leg;
        return {ahead(start, k * size), true, false};
    }
    // Ping-pong goes back from the end, then forward again from the start.
    if (leg != 0 && leg <= std::numeric_limits<quint64>::max() / 2)
        k %= 2 * leg;
    if (leg == 0 || k < leg)
        return {back(end, k * size), true, true};
    return {ahead(start, (k - leg) * size), true, false};
}

} // namespace PlaybackPositions
