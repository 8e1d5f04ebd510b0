#pragma once
// PSD, PCX, TGA and PCD through ImageMagick, always with the coder named,
// so no other ImageMagick coder ever sees the bytes.

#include "ImgXDocument.h"

#include <QByteArray>

namespace MagickCodec {
// Decodes the bytes as the given ImgXFormat (the first image: for a PSD
// the merged composite). Throws ImgXError with ImageMagick's text.
QVector<ImgXPage> decode(const QByteArray &data, int format, int page);
// Encodes the image as PCX, TGA or PSD. Throws ImgXError.
QByteArray encode(const QImage &image, int format);
// Starts ImageMagick and its resource limits; safe to call from any thread.
void initialize();
}
