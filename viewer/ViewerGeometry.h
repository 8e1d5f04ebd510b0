#pragma once
// The viewer's window arithmetic, in twips. Image sizes are in pixels and
// convert with the screen's twips per pixel (tppx for widths, tppy for
// heights). Window sizes are the outer sizes, frame included.

#include <optional>

namespace ViewerGeometry {
// Below this width (in twips) the image area is widened to kNarrowWidth,
// so the toolbar and status bar keep room.
constexpr double kMinWidth = 6000;
constexpr double kNarrowWidth = 7590;
// Images lower than this (in pixels) get an image area of kLowHeight twips.
constexpr int kLowImagePixels = 100;
constexpr double kLowHeight = 4000;

// The image area's height for an image of imageHeight pixels.
double imageAreaHeight(int imageHeight, double tppy);
// The image area's width, given the width it took for the image (read back).
double imageAreaWidth(double widthTaken);
// The window's height for the image: the image area plus the bars for a low
// image; otherwise the toolbar, the image and the title, menu and status bars.
double windowHeight(int imageHeight, double areaHeight, double toolbarHeight, double tppy);
// The zoom that makes an image wider and taller than the window as wide as
// the window; nothing when it is not larger in both directions.
std::optional<double> fitZoom(int imageWidth, int imageHeight, double tppx, double tppy,
                              double windowWidth, double windowHeight);
// 2 when the zoomed image is wider or taller than the window, else 3.
int scrollMode(double zoom, int imageWidth, int imageHeight, double tppx, double tppy,
               double windowWidth, double windowHeight);
// The edge that centres a window of that size on the screen.
double centredEdge(double screenSize, double windowSize);
}
