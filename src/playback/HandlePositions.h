#pragma once

#include <QtGlobal>

// Arithmetic shared by the scrubber and the trigger slider: handle positions
// are fractions of the track, 0 … 1.
namespace HandlePositions {

// Positions are equal when they differ by at most 1e-12, or by a relative
// 1e-12; a recomputed position that only differs by rounding noise is not a
// change worth signalling to QML.
bool approximatelyEqual(double a, double b);

// x divided by width; 0 for an item without width (the position would be
// infinite or not a number).
double fractionOfWidth(int x, double width);

} // namespace HandlePositions
