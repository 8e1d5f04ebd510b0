#pragma once
// Where a drawing lands on a picture, found without drawing it: the
// bounds, in the picture's pixels and within any clip, of every shape,
// text and image a painter is asked for. Much quicker than drawing, so a
// metafile can be measured before it is placed.

#include <QRectF>
#include <QSize>

#include <functional>

class QPainter;

namespace DrawnExtent {
// Runs `draw` with a painter on a picture of `size` that keeps no pixels.
QRectF of(const QSize &size, const std::function<void(QPainter &)> &draw);
}
