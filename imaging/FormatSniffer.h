#pragma once
// Tells the image format from a file's content. The name's extension only
// decides between formats whose signatures are weak (TGA, WBMP, PCX).

#include <QByteArray>
#include <QString>

class QIODevice;

namespace FormatSniffer {
// The ImgXFormat code of the data, or ImgXFormatUnknown. Reads the start
// and end of the device and leaves its position at 0.
int detect(QIODevice &device, const QString &suffix);
// The same from already-read bytes: head holds the first bytes (4 KiB is
// enough), tail the last 26 bytes, size the whole length.
int detect(const QByteArray &head, const QByteArray &tail, qint64 size, const QString &suffix);
}
