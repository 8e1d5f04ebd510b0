#include "LenientHeaders.h"

#include "ByteReader.h"
#include "ImgXDocument.h"

#include <algorithm>
#include <cstring>

using ByteReader::be32;
using ByteReader::le16;
using ByteReader::le32;

namespace {

QByteArray bmpWithOnePlane(const QByteArray &data)
{
    if (data.size() < 30)
        return data;
    const int planesAt = le32(data, 14) == 12 ? 22 : 26;
    if (le16(data, planesAt) == 1)
        return data;
    QByteArray out = data;
    qToLittleEndian<quint16>(1, out.data() + planesAt);
    return out;
}

// The length of the PNG at `at`, chunk by chunk to its end chunk; 0 when
// it is no PNG or the file ends first.
qint64 pngLength(const QByteArray &data, qint64 at)
{
    const qint64 size = data.size();
    if (at < 0 || at + 8 > size || std::memcmp(data.constData() + at, "\x89PNG\r\n\x1a\n", 8) != 0)
        return 0;
    qint64 chunk = at + 8;
    while (chunk + 12 <= size) {
        const qint64 end = chunk + 12 + be32(data, chunk);
        if (end > size)
            return 0;
        if (std::memcmp(data.constData() + chunk + 4, "IEND", 4) == 0)
            return end - at;
        chunk = end;
    }
    return 0;
}

// Writers disagree on the byte count of a PNG entry (some count padding,
// some leave it short); the PNG itself says where it ends.
QByteArray iconWithPngLengths(const QByteArray &data)
{
    if (data.size() < 6)
        return data;
    QByteArray out = data;
    const qint64 entries = std::min<qint64>(le16(data, 4), (data.size() - 6) / 16);
    for (qint64 i = 0; i < entries; ++i) {
        const qint64 entry = 6 + i * 16;
        const qint64 length = pngLength(data, le32(data, entry + 12));
        if (length > 0 && length != le32(data, entry + 8))
            qToLittleEndian<quint32>(quint32(length), out.data() + entry + 8);
    }
    return out;
}

}

namespace LenientHeaders {

QByteArray repaired(const QByteArray &data, int format)
{
    switch (format) {
    case ImgXFormatBMP: return bmpWithOnePlane(data);
    case ImgXFormatICO:
    case ImgXFormatCUR: return iconWithPngLengths(data);
    default: return data;
    }
}

}
