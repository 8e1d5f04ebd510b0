#include "DibCodec.h"

#include "ByteReader.h"
#include "ImagingLimits.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

using ByteReader::le16;
using ByteReader::le32s;

namespace DibCodec {

QByteArray withFileHeader(const QByteArray &dib)
{
    if (dib.size() < 16)
        return QByteArray();
    const quint32 headerSize = qFromLittleEndian<quint32>(dib.constData());
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108
        && headerSize != 124)
        return QByteArray();
    quint32 paletteBytes = 0;
    if (headerSize == 12) {
        const quint16 bits = le16(dib, 10);
        paletteBytes = bits <= 8 ? (1u << bits) * 3 : 0;
    } else {
        if (dib.size() < 40)
            return QByteArray();
        const quint16 bits = le16(dib, 14);
        const quint32 compression = qFromLittleEndian<quint32>(dib.constData() + 16);
        quint32 used = qFromLittleEndian<quint32>(dib.constData() + 32);
        if (used == 0 && bits <= 8)
            used = 1u << bits;
        if (used > 256)
            return QByteArray();
        paletteBytes = used * 4;
        if (headerSize == 40 && (compression == 3 || compression == 6))
            paletteBytes += compression == 3 ? 12 : 16;
    }
    QByteArray header(14, '\0');
    header[0] = 'B';
    header[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), header.data() + 2);
    qToLittleEndian<quint32>(14 + headerSize + paletteBytes, header.data() + 10);
    return header + dib;
}

QImage decode(const QByteArray &info, const QByteArray &bits)
{
    if (info.size() >= 40 && qFromLittleEndian<quint32>(info.constData()) >= 40) {
        const qint32 width = le32s(info, 4);
        const qint32 rawHeight = le32s(info, 8);
        const int bitCount = le16(info, 14);
        const quint32 compression = qFromLittleEndian<quint32>(info.constData() + 16);
        if (compression == 0 && (bitCount == 24 || bitCount == 32) && width > 0 && rawHeight != 0
            && rawHeight != std::numeric_limits<qint32>::min()) {
            const qint32 height = qAbs(rawHeight);
            ImagingLimits::checkDecodeSize(width, height);
            const qint64 stride = (qint64(width) * bitCount + 31) / 32 * 4;
            if (stride * height > bits.size())
                return QImage();
            const bool bottomUp = rawHeight > 0;
            QImage image(width, height, QImage::Format_ARGB32);
            if (image.isNull())
                return QImage();
            bool anyAlpha = false;
            const int step = bitCount / 8;
            for (int y = 0; y < height; ++y) {
                const uchar *src = reinterpret_cast<const uchar *>(bits.constData())
                    + stride * (bottomUp ? height - 1 - y : y);
                QRgb *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < width; ++x, src += step) {
                    const int a = step == 4 ? src[3] : 255;
                    anyAlpha |= step == 4 && a != 0;
                    dst[x] = qRgba(src[2], src[1], src[0], a);
                }
            }
            // Plain 32-bit DIBs leave the fourth byte 0: that means opaque.
            if (bitCount == 24 || !anyAlpha)
                return image.convertToFormat(QImage::Format_RGB32);
            return image;
        }
    }
    const QByteArray bmp = withFileHeader(info + bits);
    if (bmp.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bmp);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    return reader.read();
}

QImage decodePacked(const QByteArray &dib)
{
    const QByteArray bmp = withFileHeader(dib);
    if (bmp.isEmpty())
        return QImage();
    const quint32 bitsAt = qFromLittleEndian<quint32>(bmp.constData() + 10) - 14;
    if (bitsAt > quint32(dib.size()))
        return QImage();
    return decode(dib.left(int(bitsAt)), dib.mid(int(bitsAt)));
}

Encoded encode(const QImage &imageIn)
{
    const bool alpha = imageIn.hasAlphaChannel();
    const QImage image = imageIn.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int width = image.width(), height = image.height();
    const int bitCount = alpha ? 32 : 24;
    const qint64 stride = (qint64(width) * bitCount + 31) / 32 * 4;
    Encoded out;
    out.header = QByteArray(40, '\0');
    char *h = out.header.data();
    qToLittleEndian<quint32>(40, h);
    qToLittleEndian<qint32>(width, h + 4);
    qToLittleEndian<qint32>(height, h + 8);
    qToLittleEndian<quint16>(1, h + 12);
    qToLittleEndian<quint16>(quint16(bitCount), h + 14);
    qToLittleEndian<quint32>(quint32(stride * height), h + 20);
    qToLittleEndian<qint32>(3780, h + 24);   // 96 dots per inch
    qToLittleEndian<qint32>(3780, h + 28);
    out.bits = QByteArray(int(stride * height), '\0');
    for (int y = 0; y < height; ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *dst = reinterpret_cast<uchar *>(out.bits.data()) + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            *dst++ = uchar(qBlue(src[x]));
            *dst++ = uchar(qGreen(src[x]));
            *dst++ = uchar(qRed(src[x]));
            if (alpha)
                *dst++ = uchar(qAlpha(src[x]));
        }
    }
    return out;
}

QByteArray bmpWithAlpha(const QImage &imageIn)
{
    const QImage image = imageIn.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width(), height = image.height();
    const quint32 headerSize = 108;
    const quint32 pixelBytes = quint32(width) * 4 * quint32(height);
    QByteArray out(int(14 + headerSize), '\0');
    char *f = out.data();
    f[0] = 'B';
    f[1] = 'M';
    qToLittleEndian<quint32>(14 + headerSize + pixelBytes, f + 2);
    qToLittleEndian<quint32>(14 + headerSize, f + 10);
    char *h = f + 14;
    qToLittleEndian<quint32>(headerSize, h);
    qToLittleEndian<qint32>(width, h + 4);
    qToLittleEndian<qint32>(height, h + 8);
    qToLittleEndian<quint16>(1, h + 12);
    qToLittleEndian<quint16>(32, h + 14);
    qToLittleEndian<quint32>(3, h + 16);   // BI_BITFIELDS
    qToLittleEndian<quint32>(pixelBytes, h + 20);
    qToLittleEndian<qint32>(3780, h + 24);
    qToLittleEndian<qint32>(3780, h + 28);
    qToLittleEndian<quint32>(0x00FF0000u, h + 40);
    qToLittleEndian<quint32>(0x0000FF00u, h + 44);
    qToLittleEndian<quint32>(0x000000FFu, h + 48);
    qToLittleEndian<quint32>(0xFF000000u, h + 52);
    qToLittleEndian<quint32>(0x73524742u, h + 56);   // 'sRGB'
    out.reserve(int(out.size() + pixelBytes));
    for (int y = height - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char *>(image.constScanLine(y)), width * 4);
    return out;
}

}
