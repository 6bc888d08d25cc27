#pragma once

#include <QtGlobal>

namespace Corvath {

struct CenterPosition
{
    qint16 left = 0;
    qint16 top = 0;
};

// Rounds to the nearest integer, a half to the even neighbour, and clamps to 16 bits; NaN
// gives 0.
qint16 toInt16(double value);

// Where a window of the given outer size goes to be centred on a screen of the given size, in
// whatever unit both are given. A window larger than the screen gets a negative position.
CenterPosition centerPosition(double screenWidth, double screenHeight, double windowWidth,
                              double windowHeight);

} // namespace Corvath
