#include "FileCompleteness.h"

#include "ByteReader.h"
#include "ImgXDocument.h"

#include <QtEndian>

using ByteReader::be16;
using ByteReader::be32;
using ByteReader::le16;
using ByteReader::le32;

namespace {

QString cutOff(const char *what)
{
    return QStringLiteral("The %1 file is incomplete: its data ends before the image does.").arg(QLatin1String(what));
}

// The entropy-coded data must be followed by an end-of-image marker, or
// libjpeg fills the rest with grey and reports success. Stray bytes before
// a marker (Photoshop and some cameras write them) are passed over as
// libjpeg passes over them, with a warning and the picture whole.
bool jpegWhole(const QByteArray &data)
{
    qint64 at = 2;
    while (at + 4 <= data.size()) {
        const int marker = quint8(data[int(at + 1)]);
        if (quint8(data[int(at)]) != 0xFF || marker == 0x00 || marker == 0xFF) {   // stray bytes and fill
            ++at;
            continue;
        }
        if (marker == 0xDA)
            break;
        if (marker == 0xD9)
            return false;
        at += 2 + be16(data, at + 2);
    }
    if (at + 4 > data.size())
        return false;
    return data.lastIndexOf(QByteArray("\xFF\xD9", 2)) > at;
}

// Walks the GIF blocks; every one must be complete. A file may end right
// after a whole block even without the trailer byte.
bool gifWhole(const QByteArray &data)
{
    if (data.size() < 13)
        return false;
    qint64 at = 13;
    const int flags = quint8(data[10]);
    if (flags & 0x80)
        at += 3 * (qint64(1) << ((flags & 7) + 1));
    auto skipSubBlocks = [&data](qint64 &pos) {
        while (pos < data.size()) {
            const int length = quint8(data[int(pos)]);
            ++pos;
            if (length == 0)
                return true;
            pos += length;
        }
        return false;
    };
    bool sawImage = false;
    while (at < data.size()) {
        const int introducer = quint8(data[int(at)]);
        if (introducer == 0x3B)
            return sawImage;
        if (introducer == 0x21) {
            at += 2;
            if (at > data.size() || !skipSubBlocks(at))
                return false;
        } else if (introducer == 0x2C) {
            if (at + 10 > data.size())
                return false;
            const int local = quint8(data[int(at + 9)]);
            at += 10;
            if (local & 0x80)
                at += 3 * (qint64(1) << ((local & 7) + 1));
            at += 1;   // LZW minimum code size
            if (at > data.size() || !skipSubBlocks(at))
                return false;
            sawImage = true;
        } else {
            return false;
        }
    }
    return sawImage && at == data.size();
}

// Walks run-length coded rows (8 or 4 bits a pixel) from the pixel data:
// they must reach the end-of-bitmap escape or the last row before the data
// ends. The decoder would fill whatever is missing with colour 0.
bool bmpRunsWhole(const QByteArray &data, qint64 at, qint64 width, qint64 height, int bits)
{
    qint64 row = 0;
    qint64 column = 0;
    while (at + 2 <= data.size()) {
        const int count = quint8(data[int(at)]);
        const int code = quint8(data[int(at + 1)]);
        at += 2;
        if (count > 0) {                    // a run of one colour
            column += count;
            continue;
        }
        if (code == 1)
            return true;                    // end of bitmap
        if (code == 0) {
            column = 0;
            if (++row >= height)            // end of line
                return true;
        } else if (code == 2) {             // move right and down
            if (at + 2 > data.size())
                return false;
            column += quint8(data[int(at)]);
            row += quint8(data[int(at + 1)]);
            at += 2;
            if (row >= height)
                return true;
        } else {                            // `code` pixels written out, padded to 16 bits
            column += code;
            const qint64 bytes = bits == 8 ? code : (code + 1) / 2;
            at += (bytes + 1) / 2 * 2;
        }
    }
    // Some writers end the last row with the data itself.
    return at == data.size() && row == height - 1 && column >= width;
}

bool bmpWhole(const QByteArray &data)
{
    if (data.size() < 30)
        return false;
    const quint32 headerSize = le32(data, 14);
    qint64 width = 0, height = 0, bits = 0, compression = 0;
    if (headerSize == 12) {
        width = le16(data, 18);
        height = le16(data, 20);
        bits = le16(data, 24);
    } else {
        if (data.size() < 54)
            return false;
        width = qFromLittleEndian<qint32>(data.constData() + 18);
        height = qAbs(qint64(qFromLittleEndian<qint32>(data.constData() + 22)));
        bits = le16(data, 28);
        compression = le32(data, 30);
    }
    if (((compression == 1 && bits == 8) || (compression == 2 && bits == 4)) && height > 0)
        return le32(data, 10) < quint32(data.size()) && bmpRunsWhole(data, le32(data, 10), width, height, int(bits));
    // Other compressions have no fixed size, and absurd sizes are the
    // decoder's to refuse.
    if ((compression != 0 && compression != 3 && compression != 6) || width <= 0 || width > (1 << 24)
        || height > (1 << 24) || bits > 64)
        return true;
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return qint64(le32(data, 10)) + stride * height <= data.size();
}

// Every entry's data must lie inside the file.
bool iconWhole(const QByteArray &data)
{
    const int count = le16(data, 4);
    if (6 + qint64(count) * 16 > data.size())
        return false;
    for (int i = 0; i < count; ++i) {
        const qint64 entry = 6 + qint64(i) * 16;
        if (qint64(le32(data, entry + 12)) + le32(data, entry + 8) > data.size())
            return false;
    }
    return true;
}

// The sections of a PSD, then the merged image data: raw, or run-length
// coded with a table of row sizes.
bool psdWhole(const QByteArray &data)
{
    if (data.size() < 26)
        return false;
    const qint64 channels = be16(data, 12);
    const qint64 height = be32(data, 14), width = be32(data, 18), depth = be16(data, 22);
    // Past the format's own limits the decoder refuses the file anyway;
    // staying inside them keeps the sums below far from overflowing.
    if (channels > 56 || height > 300000 || width > 300000 || depth > 32)
        return true;
    const bool big = be16(data, 4) == 2;   // PSB: 8-byte layer section length
    qint64 at = 26;
    for (int section = 0; section < 3; ++section) {
        const int field = big && section == 2 ? 8 : 4;
        if (at + field > data.size())
            return false;
        const quint64 length = field == 8 ? (quint64(be32(data, at)) << 32) | be32(data, at + 4) : be32(data, at);
        at += field;
        if (length > quint64(data.size() - at))
            return false;
        at += qint64(length);
    }
    if (at + 2 > data.size())
        return false;
    const int compression = be16(data, at);
    at += 2;
    const qint64 rows = channels * height;
    const qint64 left = data.size() - at;
    if (compression == 0)
        return rows * ((width * depth + 7) / 8) <= left;
    if (compression == 1) {
        const int countBytes = big ? 4 : 2;
        if (rows * countBytes > left)
            return false;
        qint64 total = 0;
        for (qint64 r = 0; r < rows; ++r)
            total += big ? be32(data, at + r * 4) : be16(data, at + r * 2);
        return rows * countBytes + total <= left;
    }
    return true;
}

bool tgaWhole(const QByteArray &data)
{
    if (data.size() < 18)
        return false;
    const int type = quint8(data[2]);
    if (type >= 9)
        return true;   // run-length coded: no fixed size
    const qint64 mapBytes = quint8(data[1]) ? qint64(le16(data, 5)) * ((quint8(data[7]) + 7) / 8) : 0;
    const qint64 pixels = qint64(le16(data, 12)) * le16(data, 14);
    return 18 + quint8(data[0]) + mapBytes + pixels * ((quint8(data[16]) + 7) / 8) <= data.size();
}

bool wmfWhole(const QByteArray &data)
{
    const qint64 start = data.size() >= 22 && le32(data, 0) == 0x9AC6CDD7u ? 22 : 0;
    if (start + 18 > data.size())
        return false;
    // The size field counts 16-bit words; some writers (libUEMF among them)
    // include the placeable header in it, others do not.
    return qint64(le32(data, start + 6)) * 2 <= data.size();
}

// Type 0, the only WBMP there is: header, then one bit a pixel, rows
// padded to whole bytes.
bool wbmpWhole(const QByteArray &data)
{
    qint64 at = 2;
    qint64 size[2] = {0, 0};
    for (qint64 &side : size) {
        int length = 0;
        do {
            if (at >= data.size() || ++length > 5)
                return false;
            side = (side << 7) | (quint8(data[int(at)]) & 0x7f);
        } while (quint8(data[int(at++)]) & 0x80);
    }
    // Each side can take 35 bits, so the product is compared by division.
    const qint64 rowBytes = (size[0] + 7) / 8;
    return rowBytes == 0 || size[1] <= (data.size() - at) / rowBytes;
}

bool emfWhole(const QByteArray &data)
{
    return data.size() >= 88 && qint64(le32(data, 48)) <= data.size();
}

}

namespace FileCompleteness {

QString problem(const QByteArray &data, int format)
{
    switch (format) {
    case ImgXFormatJPG: return jpegWhole(data) ? QString() : cutOff("JPEG");
    case ImgXFormatGIF: return gifWhole(data) ? QString() : cutOff("GIF");
    case ImgXFormatBMP: return bmpWhole(data) ? QString() : cutOff("BMP");
    case ImgXFormatICO: return iconWhole(data) ? QString() : cutOff("icon");
    case ImgXFormatCUR: return iconWhole(data) ? QString() : cutOff("cursor");
    case ImgXFormatPSD: return psdWhole(data) ? QString() : cutOff("PSD");
    case ImgXFormatTGA: return tgaWhole(data) ? QString() : cutOff("TGA");
    case ImgXFormatWMF: return wmfWhole(data) ? QString() : cutOff("WMF");
    case ImgXFormatEMF: return emfWhole(data) ? QString() : cutOff("EMF");
    case ImgXFormatWBMP: return wbmpWhole(data) ? QString() : cutOff("WBMP");
    default: return QString();
    }
}

}
