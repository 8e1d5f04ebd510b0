#include "PsdIndexed.h"

#include "ByteReader.h"
#include "ImagingLimits.h"

using ByteReader::be16;
using ByteReader::be32;

namespace {

constexpr int kIndexedMode = 2;
constexpr int kColourCountResource = 1046;
constexpr int kTransparentIndexResource = 1047;

[[noreturn]] void damaged(const char *why)
{
    throw ImgXError(QStringLiteral("Cannot read the PSD image: %1.").arg(QLatin1String(why)));
}

// Reads a section's length at `at` and returns where the section's data
// starts; `end` receives where the next one begins.
qint64 section(const QByteArray &data, qint64 at, int lengthBytes, qint64 *end)
{
    if (at + lengthBytes > data.size())
        damaged("the file is cut off");
    const quint64 length = lengthBytes == 8 ? (quint64(be32(data, at)) << 32) | be32(data, at + 4) : be32(data, at);
    if (length > quint64(data.size() - at - lengthBytes))
        damaged("the file is cut off");
    *end = at + lengthBytes + qint64(length);
    return at + lengthBytes;
}

struct Resources {
    int colourCount = 256;
    int transparent = -1;
};

// Image resources: "8BIM", id, a padded Pascal name, a padded data block.
Resources readResources(const QByteArray &data, qint64 at, qint64 end)
{
    Resources found;
    while (at + 12 <= end && data.mid(int(at), 4) == "8BIM") {
        const int id = be16(data, at + 4);
        const int nameLength = quint8(data[int(at + 6)]);
        qint64 block = at + 6 + ((nameLength + 2) & ~1);
        if (block + 4 > end)
            break;
        const qint64 size = be32(data, block);
        block += 4;
        if (size > end - block)
            break;
        if (size >= 2 && id == kColourCountResource)
            found.colourCount = qBound(1, int(be16(data, block)), 256);
        if (size >= 2 && id == kTransparentIndexResource)
            found.transparent = be16(data, block);
        at = block + ((size + 1) & ~1);
    }
    return found;
}

// PackBits: n < 128 copies n + 1 bytes, n > 128 repeats the next byte
// 257 - n times, 128 does nothing.
void unpackRow(const QByteArray &data, qint64 at, qint64 end, uchar *row, int width)
{
    int x = 0;
    while (x < width && at < end) {
        const int n = quint8(data[int(at++)]);
        if (n < 128) {
            const int count = qMin(n + 1, width - x);
            if (at + count > end)
                damaged("a row's data is cut off");
            memcpy(row + x, data.constData() + at, size_t(count));
            at += n + 1;
            x += count;
        } else if (n > 128) {
            if (at >= end)
                damaged("a row's data is cut off");
            const int count = qMin(257 - n, width - x);
            memset(row + x, quint8(data[int(at++)]), size_t(count));
            x += count;
        }
    }
}

}

namespace PsdIndexed {

bool isIndexed(const QByteArray &data)
{
    return data.size() >= 26 && data.startsWith("8BPS") && be16(data, 24) == kIndexedMode;
}

QImage decode(const QByteArray &data)
{
    if (!isIndexed(data))
        damaged("it is not in indexed colour");
    const bool big = be16(data, 4) == 2;
    const int channels = be16(data, 12);
    const qint64 height = be32(data, 14), width = be32(data, 18);
    if (be16(data, 22) != 8 || channels < 1)
        damaged("indexed colour needs 8 bits in at least one channel");
    ImagingLimits::checkDecodeSize(width, height, 1);

    qint64 next = 0;
    const qint64 palette = section(data, 26, 4, &next);
    if (next - palette < 768)
        damaged("the palette is missing");
    qint64 resourcesEnd = 0;
    const Resources resources = readResources(data, section(data, next, 4, &resourcesEnd), resourcesEnd);
    section(data, resourcesEnd, big ? 8 : 4, &next);   // layers: the merged picture follows
    if (next + 2 > data.size())
        damaged("the file is cut off");
    const int compression = be16(data, next);
    qint64 at = next + 2;

    QImage image(int(width), int(height), QImage::Format_Indexed8);
    if (image.isNull())
        damaged("not enough memory");
    QList<QRgb> colours;
    for (int i = 0; i < resources.colourCount; ++i) {
        const auto c = [&](int plane) { return quint8(data[int(palette + plane * 256 + i)]); };
        colours << (i == resources.transparent ? qRgba(c(0), c(1), c(2), 0) : qRgb(c(0), c(1), c(2)));
    }
    image.setColorTable(colours);
    // Indexes past the palette show as its last colour, not as garbage.
    const auto clampRow = [&](uchar *row) {
        for (int x = 0; x < width; ++x)
            row[x] = uchar(qMin(int(row[x]), resources.colourCount - 1));
    };

    if (compression == 0) {
        if (width * height > data.size() - at)
            damaged("the pixels are cut off");
        for (int y = 0; y < height; ++y) {
            memcpy(image.scanLine(y), data.constData() + at + y * width, size_t(width));
            clampRow(image.scanLine(y));
        }
    } else if (compression == 1) {
        // Row sizes for every channel's rows come first; the first channel
        // holds the indexes.
        const int countBytes = big ? 4 : 2;
        const qint64 rows = qint64(channels) * height;
        if (rows * countBytes > data.size() - at)
            damaged("the row table is cut off");
        qint64 rowAt = at + rows * countBytes;
        for (int y = 0; y < height; ++y) {
            const qint64 size = big ? be32(data, at + y * 4) : be16(data, at + y * 2);
            if (size > data.size() - rowAt)
                damaged("the pixels are cut off");
            uchar *row = image.scanLine(y);
            memset(row, 0, size_t(width));
            unpackRow(data, rowAt, rowAt + size, row, int(width));
            clampRow(row);
            rowAt += size;
        }
    } else {
        damaged("its compression is not one this program reads");
    }
    return image;
}

}
