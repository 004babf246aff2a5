#include "HandlePositions.h"

#include <algorithm>
#include <cmath>

namespace HandlePositions {

bool approximatelyEqual(double a, double b)
{
    const double difference = std::abs(a - b);
    return difference <= 1e-12 || difference * 1e12 <= std::min(std::abs(a), std::abs(b));
}

double fractionOfWidth(int x, double width)
{
    if (width <= 0.0)
        return 0.0;
    return x / width;
}

} // namespace HandlePositions
