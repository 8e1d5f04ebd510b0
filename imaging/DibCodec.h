#pragma once
// Device-independent bitmaps: the pixel blocks inside metafiles and bare
// .dib files (a BMP without its 14-byte file header).

#include <QByteArray>
#include <QImage>

namespace DibCodec {
// The bytes of a BMP file for a bare DIB (header size checked, palette
// and bit masks counted); empty when the data is no DIB.
QByteArray withFileHeader(const QByteArray &dib);
// Decodes a DIB given as its info block (header and colour table) and
// pixel bits. 24- and 32-bit uncompressed ones are read here, keeping the
// fourth byte as alpha when any pixel uses it; the rest through Qt's BMP
// reader. Null image on failure.
QImage decode(const QByteArray &info, const QByteArray &bits);
// The same for a DIB in one block (info, colour table, bits).
QImage decodePacked(const QByteArray &dib);
// The info header (40 bytes, no colour table) and the bottom-up pixel
// rows of an image: 32-bit with alpha when the image has it, else 24-bit.
struct Encoded {
    QByteArray header;
    QByteArray bits;
};
Encoded encode(const QImage &image);
// A complete BMP file keeping alpha: 32-bit with a version 4 header and
// bit masks (BMP readers that know alpha honour the alpha mask).
QByteArray bmpWithAlpha(const QImage &image);
}
