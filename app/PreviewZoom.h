#pragma once
// The preview's zoom steps and its scroll rule.

#include <QSize>
#include <QSizeF>
#include <optional>

namespace PreviewZoom {

constexpr double InFactor = 1.25;
constexpr double OutFactor = 0.75;
constexpr double MaxPercent = 1600;   // no Zoom In step above this
constexpr double MinPercent = 0.5;    // no Zoom Out step below this

// The factor after one step, or nothing when the step is refused.
std::optional<double> zoomedIn(double zoom);
std::optional<double> zoomedOut(double zoom);

// 2 when the zoomed image is wider or taller than the control and must
// scroll, else 0. imagePixels is the image's size, control the preview
// control's size in twips, tppX / tppY the screen's twips per pixel.
int scrollMode(double zoom, const QSize &imagePixels, double tppX, double tppY, const QSizeF &control);

}
