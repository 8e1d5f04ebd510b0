#pragma once
// Bits per pixel as the file stores them, read from the format's headers
// (Qt's readers convert and do not say what the file held).

#include <QByteArray>

class QIODevice;

namespace StoredDepth {
// The stored bits per pixel of page `page` of a file of the given
// ImgXFormat code; 0 when the headers do not say.
int read(QIODevice &device, int format, int page);
// Helpers for single-header formats, on the file's first bytes.
int jpeg(const QByteArray &data);
int png(const QByteArray &head);
int bmp(const QByteArray &head, int offset = 14);
int gif(const QByteArray &head);
int psd(const QByteArray &head);
int tga(const QByteArray &head);
int pcx(const QByteArray &head);
}
