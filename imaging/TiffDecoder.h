#pragma once
// TIFF pages read through libtiff itself, for the layouts Qt's reader
// refuses or shows wrong: samples of other sizes than 1, 2, 4, 8 and 16
// bits, floating-point and signed samples, colour planes stored one after
// another, CMYK of more than 8 bits, and palettes with an alpha sample.
// Shown as a desktop viewer shows them: reduced to 8 bits a sample,
// floating-point and signed samples stretched over the range they span.

#include <QByteArray>
#include <QImage>

namespace TiffDecoder {
// Page `page` (0-based) of the TIFF in `data`. Throws ImgXError with a
// reason, libtiff's own where it has one.
QImage decode(const QByteArray &data, int page);
}
