#include "HandlePositions.h"

#include "FuzzyCompare.h"

#include <algorithm>
#include <cmath>

namespace HandlePositions {

bool approximatelyEqual(double a, double b)
{
    return fuzzyEqual(a, b);
}

double fractionOfWidth(int x, double width)
{
    if (width <= 0.0)
        return 0.0;
    return x / width;
}

} // namespace HandlePositions
