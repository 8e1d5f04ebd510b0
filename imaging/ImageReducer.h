#pragma once
// Reduces a picture without ever holding all of it in 32 bits: a 1-bit
// page of a billion pixels takes a few hundred megabytes converted whole,
// so it is converted a band of rows at a time and averaged down.

#include <QImage>

namespace ImageReducer {
// Whether converting the whole image to 32 bits would cost more than the
// band-wise path (images already in 32 bits never need converting).
bool convertsLarge(const QImage &image);
// The image averaged down to target (no side larger than the image's), as
// RGB32, or ARGB32 when it has alpha. Throws ImgXError.
QImage reduce(const QImage &image, const QSize &target);
}
