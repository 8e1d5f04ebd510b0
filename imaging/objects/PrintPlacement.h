#pragma once
// Where an image lands on the printable area. Top left and centred print
// it at its own size (its resolution, or the screen's when it records
// none); fitted scales it to fill the area as far as its aspect allows.

#include <QImage>
#include <QRectF>
#include <QSizeF>

namespace PrintPlacement {
// The image's size in device pixels at the device's resolution.
QSizeF naturalSize(const QImage &image, double deviceDpiX, double deviceDpiY);
// The target rectangle within an area of the given size (origin 0, 0).
QRectF place(const QSizeF &imageSize, const QSizeF &area, bool center, bool fit);
}
