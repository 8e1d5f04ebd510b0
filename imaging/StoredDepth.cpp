#include "StoredDepth.h"

#include "ByteReader.h"
#include "ImgXDocument.h"

#include <QIODevice>

using ByteReader::be16;
using ByteReader::be32;
using ByteReader::le16;
using ByteReader::le32;

namespace {

// Reads n bytes at offset; empty on a short read.
QByteArray readAt(QIODevice &device, qint64 offset, int n)
{
    if (offset < 0 || !device.seek(offset))
        return QByteArray();
    QByteArray bytes = device.read(n);
    return bytes.size() == n ? bytes : QByteArray();
}

// Walks the TIFF directory chain to directory `page` and multiplies
// BitsPerSample by SamplesPerPixel there.
int tiffDepth(QIODevice &device, int page)
{
    const QByteArray header = readAt(device, 0, 8);
    if (header.isEmpty())
        return 0;
    const bool little = header.startsWith("II");
    if (!little && !header.startsWith("MM"))
        return 0;
    auto u16 = [little](const QByteArray &b, qint64 at) { return little ? le16(b, at) : be16(b, at); };
    auto u32 = [little](const QByteArray &b, qint64 at) { return little ? le32(b, at) : be32(b, at); };
    if (u16(header, 2) != 42)
        return 0;   // BigTIFF and oddities: let the decoded image tell
    qint64 ifd = u32(header, 4);
    for (int i = 0; i < page && ifd != 0; ++i) {
        const QByteArray countBytes = readAt(device, ifd, 2);
        if (countBytes.isEmpty())
            return 0;
        const QByteArray next = readAt(device, ifd + 2 + qint64(u16(countBytes, 0)) * 12, 4);
        if (next.isEmpty() || i > 10000)
            return 0;
        ifd = u32(next, 0);
    }
    if (ifd == 0)
        return 0;
    const QByteArray countBytes = readAt(device, ifd, 2);
    if (countBytes.isEmpty())
        return 0;
    const int entries = u16(countBytes, 0);
    const QByteArray dir = readAt(device, ifd + 2, entries * 12);
    if (dir.isEmpty())
        return 0;
    int bits = 1, samples = 1;
    for (int e = 0; e < entries; ++e) {
        const qint64 at = qint64(e) * 12;
        const int tag = u16(dir, at), type = u16(dir, at + 2);
        const quint32 count = u32(dir, at + 4);
        if (tag != 258 && tag != 277)
            continue;
        // SHORT values sit in the entry when they fit; BitsPerSample with
        // several samples points elsewhere, but the samples share one size
        // in every file we can show, so the first value is enough.
        int value = 0;
        if (type == 3) {
            if (count <= 2) {
                value = u16(dir, at + 8);
            } else {
                const QByteArray v = readAt(device, u32(dir, at + 8), 2);
                value = v.isEmpty() ? 0 : u16(v, 0);
            }
        } else if (type == 4) {
            value = int(u32(dir, at + 8));
        }
        if (tag == 258)
            bits = value;
        else
            samples = value;
    }
    if (bits <= 0 || samples <= 0 || bits > 64 || samples > 16)
        return 0;
    return bits * samples;
}

// The JPEG frame header can sit behind large metadata segments, so walk
// the markers on the device instead of a fixed-size head.
int jpegDepth(QIODevice &device)
{
    qint64 at = 2;
    for (int guard = 0; guard < 10000; ++guard) {
        const QByteArray m = readAt(device, at, 4);
        if (m.isEmpty())
            return 0;
        const int marker = quint8(m[1]);
        if (quint8(m[0]) != 0xFF || marker == 0x00 || marker == 0xFF) {   // stray bytes and fill, passed over
            ++at;
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return StoredDepth::jpeg(QByteArray("\xFF\xD8", 2) + readAt(device, at, 10));
        const int length = be16(m, 2);
        if (marker == 0xD9 || marker == 0xDA || length < 2)
            return 0;
        at += 2 + length;
    }
    return 0;
}

int iconEntryDepth(QIODevice &device, int page)
{
    const QByteArray dir = readAt(device, 0, 6);
    if (dir.isEmpty() || page >= le16(dir, 4))
        return 0;
    const QByteArray entry = readAt(device, 6 + qint64(page) * 16, 16);
    if (entry.isEmpty())
        return 0;
    const int type = le16(dir, 2);
    // Cursors keep the hotspot where icons keep planes and bit count, so
    // the image data itself is the one reliable place.
    const QByteArray data = readAt(device, le32(entry, 12), 40);
    if (!data.isEmpty()) {
        if (data.startsWith("\x89PNG"))
            return StoredDepth::png(data);
        if (le32(data, 0) == 40)
            return le16(data, 14);
    }
    if (type == 1 && le16(entry, 6) != 0)
        return le16(entry, 6);
    const int colours = quint8(entry[2]);
    if (colours == 2)
        return 1;
    if (colours == 16)
        return 4;
    return 0;
}

}

namespace StoredDepth {

int jpeg(const QByteArray &b)
{
    // Walk the markers to the first frame header (SOF0..SOF15 except
    // DHT, JPG and DAC).
    int at = 2;
    while (at + 4 <= b.size()) {
        const int marker = quint8(b[at + 1]);
        if (quint8(b[at]) != 0xFF || marker == 0x00 || marker == 0xFF) {   // stray bytes and fill, passed over
            ++at;
            continue;
        }
        const int length = be16(b, at + 2);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (at + 10 > b.size())
                return 0;
            const int precision = quint8(b[at + 4]);
            const int components = quint8(b[at + 9]);
            return precision * components;
        }
        if (marker == 0xD9 || marker == 0xDA || length < 2)
            return 0;
        at += 2 + length;
    }
    return 0;
}

int png(const QByteArray &b)
{
    if (b.size() < 26 || b.mid(12, 4) != "IHDR")
        return 0;
    const int depth = quint8(b[24]);
    switch (quint8(b[25])) {
    case 0: return depth;           // grey
    case 2: return depth * 3;       // RGB
    case 3: return depth;           // palette
    case 4: return depth * 2;       // grey + alpha
    case 6: return depth * 4;       // RGBA
    default: return 0;
    }
}

int bmp(const QByteArray &b, int offset)
{
    if (b.size() < offset + 16)
        return 0;
    const quint32 header = le32(b, offset);
    return header == 12 ? le16(b, offset + 10) : le16(b, offset + 14);
}

int gif(const QByteArray &b)
{
    if (b.size() < 13)
        return 0;
    const int flags = quint8(b[10]);
    if (flags & 0x80)
        return (flags & 7) + 1;
    // No global table: the first image's local one.
    if (b.size() >= 13 + 10) {
        for (int at = 13; at + 10 <= b.size();) {
            const int c = quint8(b[at]);
            if (c == 0x2C) {
                const int local = quint8(b[at + 9]);
                return (local & 0x80) ? (local & 7) + 1 : 8;
            }
            if (c != 0x21 || at + 2 >= b.size())
                break;
            at += 2;
            while (at < b.size() && quint8(b[at]) != 0)
                at += quint8(b[at]) + 1;
            ++at;
        }
    }
    return 8;
}

int psd(const QByteArray &b)
{
    if (b.size() < 26)
        return 0;
    const int channels = be16(b, 12);
    const int depth = be16(b, 22);
    int colourChannels = channels;
    switch (be16(b, 24)) {
    case 0: return 1;                                       // bitmap
    case 2: return 8;                                       // indexed
    case 1: case 8: colourChannels = qMin(channels, 2); break;   // grey (+ alpha)
    case 3: colourChannels = qMin(channels, 4); break;      // RGB (+ alpha)
    case 4: colourChannels = qMin(channels, 5); break;      // CMYK (+ alpha)
    default: colourChannels = qMin(channels, 4); break;
    }
    return colourChannels * depth;
}

int tga(const QByteArray &b)
{
    if (b.size() < 18)
        return 0;
    const int depth = quint8(b[16]);
    return depth == 15 ? 16 : depth;
}

int pcx(const QByteArray &b)
{
    if (b.size() < 66)
        return 0;
    return quint8(b[3]) * quint8(b[65]);
}

int read(QIODevice &device, int format, int page)
{
    const qint64 pos = device.pos();
    int depth = 0;
    const QByteArray head = readAt(device, 0, int(qMin<qint64>(device.size(), 65536)));
    switch (format) {
    case ImgXFormatJPG: depth = jpegDepth(device); break;
    case ImgXFormatPNG: depth = png(head); break;
    case ImgXFormatBMP: depth = bmp(head); break;
    case ImgXFormatGIF: depth = gif(head); break;
    case ImgXFormatTIF: depth = tiffDepth(device, page); break;
    case ImgXFormatPSD: depth = psd(head); break;
    case ImgXFormatTGA: depth = tga(head); break;
    case ImgXFormatPCX: depth = pcx(head); break;
    case ImgXFormatWBMP: depth = 1; break;
    case ImgXFormatICO:
    case ImgXFormatCUR: depth = iconEntryDepth(device, page); break;
    case ImgXFormatPCD: depth = 24; break;
    case ImgXFormatWMF:
    case ImgXFormatEMF: depth = 32; break;
    default: break;
    }
    device.seek(pos);
    return depth;
}

}
