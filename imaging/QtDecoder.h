#pragma once
// Decoding through Qt's image readers: JPEG, PNG, GIF, BMP/DIB, ICO, CUR,
// TIFF and WBMP.

#include "ImgXDocument.h"
#include "LoadOptions.h"

#include <QByteArray>

namespace QtDecoder {
// Decodes the file's bytes as the given ImgXFormat. Returns every page
// (or, for a thumbnail load, only page `page`) with image, size and page
// index filled in. Throws ImgXError with the reader's own text.
QVector<ImgXPage> decode(const QByteArray &data, int format, int page, const LoadOptions &options);
// The reduced size a JPEG of the given size is decoded at for a
// thumbnail of `thumbnailSize` (the size itself when no reduction fits).
QSize reducedJpegSize(const QSize &full, int thumbnailSize);
}
