#include "ThumbnailShape.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace ThumbnailShape {

int roundHalfEven(double value)
{
    // nearbyint follows the current rounding mode, which is to-nearest-even
    // unless someone changed it.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return static_cast<int>(rounded);
}

bool isFramed(int width, int height)
{
    const int shortSide = std::min(width, height);
    const int longSide = std::max(width, height);
    return static_cast<double>(longSide) / shortSide >= FrameRatio;
}

int plainHeight(int width, int height)
{
    return roundHalfEven(static_cast<double>(Side) / width * height);
}

int tallWidth(int width, int height)
{
    return roundHalfEven(static_cast<double>(width) / height * Side);
}

int frameOffset(int side, int square)
{
    return roundHalfEven((square - side) / 2.0);
}

}
