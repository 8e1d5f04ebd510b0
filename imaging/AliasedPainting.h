#pragma once
// Painting onto a picture as the Windows graphics system draws a metafile:
// shapes without smoothing, and a pen that makes a line at most about a
// pixel wide drawn exactly one pixel wide. Drawers that turn smoothing on
// themselves (Qt SVG does) are held to this; text keeps its smoothing.
//
// Besides the look, it is what keeps a drawing of a few hundred large
// crossing polygons to a fraction of a second: smoothed, Qt fills and
// outlines each of them for seconds.

#include <QImage>

#include <functional>

class QPainter;

namespace AliasedPainting {
// Runs `draw` with a painter whose drawing lands on `image`.
void paint(QImage &image, const std::function<void(QPainter &)> &draw);
}
