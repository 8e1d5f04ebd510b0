#include "ViewerGeometry.h"

namespace ViewerGeometry {

namespace {
constexpr double kAreaMargin = 200;
constexpr double kLowWindowBars = 600;
constexpr double kImageMargin = 400;
constexpr double kWindowBars = 1000;
}

double imageAreaHeight(int imageHeight, double tppy)
{
    if (imageHeight < kLowImagePixels)
        return kLowHeight;
    return float(imageHeight * tppy + kAreaMargin);
}

double imageAreaWidth(double widthTaken)
{
    return widthTaken < kMinWidth ? kNarrowWidth : widthTaken;
}

double windowHeight(int imageHeight, double areaHeight, double toolbarHeight, double tppy)
{
    if (imageHeight < kLowImagePixels)
        return areaHeight + kLowWindowBars;
    return float(toolbarHeight + (imageHeight * tppy + kImageMargin) + kWindowBars);
}

std::optional<double> fitZoom(int imageWidth, int imageHeight, double tppx, double tppy,
                              double windowWidth, double windowHeight)
{
    const float width = float(imageWidth * tppx);
    const float height = float(imageHeight * tppy);
    if (width > float(windowWidth) && height > float(windowHeight))
        return float(windowWidth) / double(width);
    return std::nullopt;
}

int scrollMode(double zoom, int imageWidth, int imageHeight, double tppx, double tppy,
               double windowWidth, double windowHeight)
{
    const bool wider = float(zoom * imageWidth * tppx) > float(windowWidth);
    const bool taller = float(zoom * imageHeight * tppy) > float(windowHeight);
    return wider || taller ? 2 : 3;
}

double centredEdge(double screenSize, double windowSize)
{
    return (screenSize - windowSize) / 2;
}

}
