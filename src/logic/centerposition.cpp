#include "logic/centerposition.h"

#include <cmath>
#include <limits>

namespace Corvath {

qint16 toInt16(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double Lowest = std::numeric_limits<qint16>::min();
    constexpr double Highest = std::numeric_limits<qint16>::max();
    if (value <= Lowest)
        return std::numeric_limits<qint16>::min();
    if (value >= Highest)
        return std::numeric_limits<qint16>::max();
    // Written out rather than left to the current floating-point rounding mode.
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return qint16(whole);
}

CenterPosition centerPosition(double screenWidth, double screenHeight, double windowWidth,
                              double windowHeight)
{
    return {toInt16((screenWidth - windowWidth) / 2.0),
            toInt16((screenHeight - windowHeight) / 2.0)};
}

} // namespace Corvath
