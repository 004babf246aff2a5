#pragma once

#include <QtGlobal>

// Arithmetic of the playback position: where a playing object stands after a
// number of whole frame periods, within its range and by its repeat rule.
namespace PlaybackPositions {

struct Move
{
    qint64 pos;
    bool outside; // an end of the range was passed: the clock re-bases on pos
    bool turned;  // ping-pong: the direction of play is reversed
};

// The position `steps` periods of `stride` frames (signed) after `base`, in
// the range lo … hi (lo <= hi, stride != 0).
//
// The first step past the end lands on the other end when looping, and on
// the end itself, turning, in ping-pong; the steps after it continue from
// there, so a position any number of passes beyond the range keeps its phase
// (at a high rate one tick may cover millions of frames). A position before
// the start (the range moved ahead of it) jumps to the end (loop) or to the
// start, turning (ping-pong). Nothing overflows, whatever the count of steps.
Move advance(qint64 base, qint64 steps, qint64 stride, qint64 lo, qint64 hi, bool pingPong);

} // namespace PlaybackPositions
