#include "FormatSniffer.h"

#include "ByteReader.h"
#include "ImgXDocument.h"

#include <QIODevice>

using ByteReader::le16;
using ByteReader::le32;

namespace {

bool startsWith(const QByteArray &b, const char *sig, int len, int at = 0)
{
    return b.size() >= at + len && memcmp(b.constData() + at, sig, size_t(len)) == 0;
}

bool isBmp(const QByteArray &b)
{
    if (!startsWith(b, "BM", 2) || b.size() < 18)
        return false;
    const quint32 header = le32(b, 14);
    return header == 12 || header == 16 || header == 40 || header == 52 || header == 56 || header == 64
        || header == 108 || header == 124;
}

// Icon and cursor directories: reserved 0, type 1 or 2, a sane count and
// entries whose data lies past the directory.
int iconType(const QByteArray &b, qint64 size)
{
    if (b.size() < 22 || le16(b, 0) != 0)
        return 0;
    const int type = le16(b, 2);
    const int count = le16(b, 4);
    if ((type != 1 && type != 2) || count == 0 || count > 512)
        return 0;
    const qint64 dirEnd = 6 + qint64(count) * 16;
    const qint64 offset = le32(b, 6 + 12);
    const qint64 bytes = le32(b, 6 + 8);
    if (quint8(b[6 + 3]) != 0 || offset < dirEnd || bytes == 0 || offset >= size)
        return 0;
    return type == 1 ? ImgXFormatICO : ImgXFormatCUR;
}

bool isEmf(const QByteArray &b)
{
    return b.size() >= 44 && le32(b, 0) == 1 && le32(b, 40) == 0x464D4520u;
}

bool isWmf(const QByteArray &b)
{
    if (b.size() >= 4 && le32(b, 0) == 0x9AC6CDD7u)
        return true;
    if (b.size() < 18)
        return false;
    const quint16 type = le16(b, 0), headerWords = le16(b, 2), version = le16(b, 4);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

bool isPcx(const QByteArray &b)
{
    if (b.size() < 128 || quint8(b[0]) != 0x0A)
        return false;
    const int version = quint8(b[1]), encoding = quint8(b[2]), bits = quint8(b[3]);
    const int planes = quint8(b[65]);
    const int xmin = le16(b, 4), ymin = le16(b, 6), xmax = le16(b, 8), ymax = le16(b, 10);
    return (version == 0 || version == 2 || version == 3 || version == 4 || version == 5) && encoding <= 1
        && (bits == 1 || bits == 2 || bits == 4 || bits == 8) && planes >= 1 && planes <= 4 && xmax >= xmin
        && ymax >= ymin;
}

// Multi-byte integers of the WBMP header.
bool readMbi(const QByteArray &b, int &at, quint32 &value)
{
    value = 0;
    for (int i = 0; i < 5; ++i) {
        if (at >= b.size())
            return false;
        const quint8 c = quint8(b[at++]);
        value = (value << 7) | (c & 0x7f);
        if (!(c & 0x80))
            return true;
    }
    return false;
}

// 0: no WBMP; 1: a plausible header; 2: the size matches it exactly.
int wbmpMatch(const QByteArray &b, qint64 size)
{
    if (b.size() < 4 || b[0] != 0 || b[1] != 0)
        return 0;
    int at = 2;
    quint32 width = 0, height = 0;
    if (!readMbi(b, at, width) || !readMbi(b, at, height) || width == 0 || height == 0)
        return 0;
    const qint64 expected = at + qint64((width + 7) / 8) * height;
    return expected == size ? 2 : 1;
}

// 0: no TGA; 1: a plausible header; 2: also confirmed by the TGA 2.0
// footer or a size that matches an uncompressed image exactly.
int tgaMatch(const QByteArray &b, const QByteArray &tail, qint64 size)
{
    if (b.size() < 18)
        return 0;
    const int idLength = quint8(b[0]), mapType = quint8(b[1]), imageType = quint8(b[2]);
    const int mapLength = le16(b, 5), mapBits = quint8(b[7]);
    const int width = le16(b, 12), height = le16(b, 14), depth = quint8(b[16]), descriptor = quint8(b[17]);
    if (mapType > 1 || width == 0 || height == 0 || (descriptor & 0xC0))
        return 0;
    const bool mapped = imageType == 1 || imageType == 9;
    const bool trueColour = imageType == 2 || imageType == 10;
    const bool grey = imageType == 3 || imageType == 11;
    if (!mapped && !trueColour && !grey)
        return 0;
    if (mapped && (mapType != 1 || depth != 8 || mapLength == 0))
        return 0;
    if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
        return 0;
    if (trueColour && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return 0;
    if (grey && depth != 8 && depth != 16)
        return 0;
    if (tail.size() >= 18 && tail.mid(tail.size() - 18) == QByteArray("TRUEVISION-XFILE.\0", 18))
        return 2;
    if (imageType < 9) {
        const qint64 mapBytes = mapType ? qint64(mapLength) * ((mapBits + 7) / 8) : 0;
        const qint64 expected = 18 + idLength + mapBytes + qint64(width) * height * ((depth + 7) / 8);
        if (expected == size)
            return 2;
    }
    return 1;
}

bool isPcd(const QByteArray &b)
{
    return startsWith(b, "PCD_", 4, 2048) || startsWith(b, "PCD_OPA", 7);
}

}

namespace FormatSniffer {

int detect(const QByteArray &head, const QByteArray &tail, qint64 size, const QString &suffixIn)
{
    const QString suffix = suffixIn.toLower();
    const QByteArray &b = head;
    if (startsWith(b, "\x89PNG\r\n\x1a\n", 8))
        return ImgXFormatPNG;
    // Start of image alone: some writers leave stray bytes before the first
    // marker, which libjpeg passes over.
    if (startsWith(b, "\xFF\xD8", 2))
        return ImgXFormatJPG;
    if (startsWith(b, "GIF87a", 6) || startsWith(b, "GIF89a", 6))
        return ImgXFormatGIF;
    if (isBmp(b))
        return ImgXFormatBMP;
    if (startsWith(b, "II*\0", 4) || startsWith(b, "MM\0*", 4) || startsWith(b, "II+\0", 4)
        || startsWith(b, "MM\0+", 4))
        return ImgXFormatTIF;
    if (startsWith(b, "8BPS", 4))
        return ImgXFormatPSD;
    if (isEmf(b))
        return ImgXFormatEMF;
    if (isWmf(b))
        return ImgXFormatWMF;
    if (const int icon = iconType(b, size))
        return icon;
    if (isPcd(b))
        return ImgXFormatPCD;

    // Weak signatures: content that matches exactly wins, then the name.
    const bool pcx = isPcx(b);
    const int wbmp = wbmpMatch(b, size);
    const int tga = tgaMatch(b, tail, size);
    const bool pcxName = suffix == QLatin1String("pcx");
    const bool wbmpName = suffix == QLatin1String("wbmp") || suffix == QLatin1String("wbm");
    const bool tgaName = suffix == QLatin1String("tga") || suffix == QLatin1String("tpic")
        || suffix == QLatin1String("icb") || suffix == QLatin1String("vda") || suffix == QLatin1String("vst");
    if (pcx && pcxName)
        return ImgXFormatPCX;
    if (tga && tgaName)
        return ImgXFormatTGA;
    if (wbmp && wbmpName)
        return ImgXFormatWBMP;
    if (wbmp == 2)
        return ImgXFormatWBMP;
    if (tga == 2)
        return ImgXFormatTGA;
    if (pcx)
        return ImgXFormatPCX;
    return ImgXFormatUnknown;
}

int detect(QIODevice &device, const QString &suffix)
{
    const qint64 size = device.size();
    device.seek(0);
    const QByteArray head = device.read(4096);
    QByteArray tail;
    if (size > 26 && device.seek(size - 26))
        tail = device.read(26);
    device.seek(0);
    return detect(head, tail, size, suffix);
}

}
