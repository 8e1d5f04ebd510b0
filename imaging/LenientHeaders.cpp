#include "LenientHeaders.h"

#include "ByteReader.h"
#include "ImgXDocument.h"

#include <algorithm>
#include <cstring>

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
    const char *bytes = data.constData();
    const qint64 size = data.size();
    if (at < 0 || at + 8 > size || std::memcmp(bytes + at, "\x89PNG\r\n\x1a\n", 8) != 0)
        return 0;
    qint64 chunk = at + 8;
    while (chunk + 12 <= size) {
        const qint64 end = chunk + 12 + qFromBigEndian<quint32>(bytes + chunk);
        if (end > size)
            return 0;
        if (std::memcmp(bytes + chunk + 4, "IEND", 4) == 0)
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
        const QByteArray entry = data.mid(6 + i * 16, 16);
        const qint64 length = pngLength(data, le32(entry, 12));
        if (length > 0 && length != le32(entry, 8)) {
            char bytes[4];
            qToLittleEndian<quint32>(quint32(length), bytes);
            out.replace(6 + i * 16 + 8, 4, bytes, 4);
        }
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
