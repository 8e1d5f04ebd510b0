#pragma once
// The pixel work behind ImgX.Transform.

#include <QColor>
#include <QImage>
#include <QSize>

namespace ImageTransforms {
// num / den rounded to the nearest integer, halves to even (den > 0).
qint64 roundHalfEven(qint64 num, qint64 den);
// The target of Resize(width, height) for an image described as `full`:
// a 0 side follows the aspect ratio. Throws ImgXError on unusable sizes.
QSize resizeTarget(int width, int height, const QSize &full);
// Method 4 (and any other but 0) is high quality; 0 picks nearest pixels.
QImage resize(const QImage &image, const QSize &target, int method);
// A width x height image filled with colour, the image drawn at (x, y).
QImage canvas(const QImage &image, int width, int height, const QColor &colour, int x, int y);
// Clockwise by degrees; quarter turns are exact, other angles are smooth
// and fill the uncovered corners with background.
QImage rotate(const QImage &image, double degrees, const QColor &background);
}
