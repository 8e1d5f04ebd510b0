#include "MetafileReader.h"

#include "AliasedPainting.h"
#include "ByteReader.h"
#include "DecodeDeadline.h"
#include "DibCodec.h"
#include "HelperProcess.h"
#include "ImagingLimits.h"
#include "WmfPlayer.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cmath>
#include <cstring>

extern "C" {
#include <emf2svg.h>
#include <uemf.h>
#include <uemf_safe.h>

using ByteReader::le16;
using ByteReader::le16s;
using ByteReader::le32;
using ByteReader::le32s;
}

namespace {

constexpr quint32 kSrcCopy = 0x00CC0020;

ImgXPage pageOf(const QImage &image)
{
    ImgXPage page;
    page.image = image;
    page.width = image.width();
    page.height = image.height();
    return page;
}

// ---- drawing in the helper process ----------------------------------------

// A picture as the helper hands it back: its width, height and format,
// then its pixels.
QByteArray bytesOf(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    QByteArray bytes(12, '\0');
    qToLittleEndian<qint32>(image.width(), bytes.data());
    qToLittleEndian<qint32>(image.height(), bytes.data() + 4);
    qToLittleEndian<qint32>(image.format(), bytes.data() + 8);
    return bytes.append(reinterpret_cast<const char *>(image.constBits()), int(image.sizeInBytes()));
}

QImage imageOf(const QByteArray &bytes)
{
    if (bytes.size() < 12)
        return QImage();
    const QSize size(le32s(bytes, 0), le32s(bytes, 4));
    const auto format = QImage::Format(le32s(bytes, 8));
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        return QImage();
    if (size.isEmpty() || qint64(size.width()) * size.height() * 4 != bytes.size() - 12)
        return QImage();
    QImage image = ImagingLimits::newImage(size, format);
    std::memcpy(image.bits(), bytes.constData() + 12, size_t(bytes.size() - 12));
    return image;
}

// Drawing a metafile runs in a helper process, within the time limit of
// every decode: no file, nor a single record of it too complex to draw in
// time, can make the program wait longer, and none can end the program.
QImage drawnInHelper(const QString &what, const std::function<QImage()> &draw)
{
    const HelperProcess::Result drawn = HelperProcess::run([&] { return bytesOf(draw()); }, DecodeDeadline::kLimit,
                                                           ImagingLimits::memoryCap() + 12);
    if (!drawn.ok && !drawn.thrown.isEmpty())
        throw ImgXError(drawn.thrown);
    if (!drawn.ok)
        throw ImgXError(QStringLiteral("Cannot read the %1 image: %2.").arg(what, drawn.failure));
    const QImage image = imageOf(drawn.output);
    if (image.isNull())
        throw ImgXError(QStringLiteral("Cannot read the %1 image: its drawing could not be rendered.").arg(what));
    return image;
}

// ---- WMF ------------------------------------------------------------------

// Records that only set drawing state; a metafile of these and one
// whole-picture bitmap shows exactly that bitmap.
bool isWmfStateRecord(quint16 function)
{
    switch (function) {
    case 0x0102: case 0x0103: case 0x0104: case 0x0105: case 0x0106: case 0x0107:
    case 0x0201: case 0x0209: case 0x020B: case 0x020C: case 0x020D: case 0x020E:
    case 0x001E: case 0x0127: case 0x012E: case 0x0626:
        return true;
    default:
        return false;
    }
}

// The picture of a WMF that holds a single bitmap covering its window
// (what this component writes); null when the file draws anything else.
QImage wmfSingleBitmap(const QByteArray &data)
{
    qint64 at = 0;
    int placeableW = 0, placeableH = 0;
    if (data.size() >= 22 && le32(data, 0) == 0x9AC6CDD7u) {
        placeableW = le16s(data, 10) - le16s(data, 6);
        placeableH = le16s(data, 12) - le16s(data, 8);
        at = 22;
    }
    if (at + 18 > data.size())
        return QImage();
    at += qint64(le16(data, at + 2)) * 2;
    int extW = -1, extH = -1;
    QImage bitmap;
    int destW = 0, destH = 0;
    while (at + 6 <= data.size()) {
        const qint64 words = le32(data, at);
        const quint16 function = le16(data, at + 4);
        if (words < 3 || at + words * 2 > data.size())
            return QImage();
        if (function == 0x0000)
            break;
        if (function == 0x020C && words >= 5) {
            extH = le16s(data, at + 6);
            extW = le16s(data, at + 8);
        } else if (function == 0x0F43 && words >= 14 && bitmap.isNull()) {
            const qint64 p = at + 6;
            const quint32 rop = le32(data, p);
            const int usage = le16(data, p + 4);
            const int srcH = le16s(data, p + 6), srcW = le16s(data, p + 8);
            const int ySrc = le16s(data, p + 10), xSrc = le16s(data, p + 12);
            destH = le16s(data, p + 14);
            destW = le16s(data, p + 16);
            const int yDest = le16s(data, p + 18), xDest = le16s(data, p + 20);
            if (rop != kSrcCopy || usage != 0 || xSrc != 0 || ySrc != 0 || xDest != 0 || yDest != 0)
                return QImage();
            bitmap = DibCodec::decodePacked(data.mid(int(p + 22), int(words * 2 - 28)));
            if (bitmap.isNull() || bitmap.width() != srcW || bitmap.height() != srcH)
                return QImage();
        } else if (!isWmfStateRecord(function)) {
            return QImage();
        }
        at += words * 2;
    }
    if (bitmap.isNull())
        return QImage();
    if (extW >= 0 ? (destW != extW || destH != extH) : (placeableW && (destW != placeableW || destH != placeableH)))
        return QImage();
    return bitmap;
}

// ---- EMF ------------------------------------------------------------------

bool isEmfStateRecord(quint32 type)
{
    switch (type) {
    case 17: case 18: case 19: case 20: case 21: case 22: case 24: case 25:
    case 33: case 34: case 70: case 98:
        return true;
    default:
        return false;
    }
}

QImage emfSingleBitmap(const QByteArray &data)
{
    if (data.size() < 88)
        return QImage();
    const qint32 left = le32s(data, 8), top = le32s(data, 12), right = le32s(data, 16), bottom = le32s(data, 20);
    qint64 at = 0;
    QImage bitmap;
    while (at + 8 <= data.size()) {
        const quint32 type = le32(data, at);
        const qint64 size = le32(data, at + 4);
        if (size < 8 || size % 4 || at + size > data.size())
            return QImage();
        if ((at == 0) != (type == 1))
            return QImage();
        if (type == 14)
            break;
        if (type == 81 && size >= 80 && bitmap.isNull()) {
            const qint32 xDest = le32s(data, at + 24), yDest = le32s(data, at + 28);
            const qint32 xSrc = le32s(data, at + 32), ySrc = le32s(data, at + 36);
            const qint32 cxSrc = le32s(data, at + 40), cySrc = le32s(data, at + 44);
            const quint32 offBmi = le32(data, at + 48), cbBmi = le32(data, at + 52);
            const quint32 offBits = le32(data, at + 56), cbBits = le32(data, at + 60);
            const quint32 usage = le32(data, at + 64), rop = le32(data, at + 68);
            const qint32 cxDest = le32s(data, at + 72), cyDest = le32s(data, at + 76);
            if (rop != kSrcCopy || usage != 0 || xSrc != 0 || ySrc != 0 || xDest != left || yDest != top
                || qint64(cxDest) != qint64(right) - left + 1 || qint64(cyDest) != qint64(bottom) - top + 1
                || qint64(offBmi) + cbBmi > size || qint64(offBits) + cbBits > size)
                return QImage();
            bitmap = DibCodec::decode(data.mid(int(at + offBmi), int(cbBmi)), data.mid(int(at + offBits), int(cbBits)));
            if (bitmap.isNull() || bitmap.width() != cxSrc || bitmap.height() != cySrc)
                return QImage();
        } else if (type != 1 && !isEmfStateRecord(type)) {
            return QImage();
        }
        at += size;
    }
    return bitmap;
}

// The picture of an EMF in pixels of its reference device: its frame
// (given in 0.01 mm), or, without a usable frame, its bounds.
QRectF emfFrame(const QByteArray &data)
{
    if (data.size() < 88)
        return QRectF();
    const double devW = le32s(data, 72), devH = le32s(data, 76);
    const double mmW = le32s(data, 80), mmH = le32s(data, 84);
    if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0) {
        const double xScale = devW / mmW / 100.0, yScale = devH / mmH / 100.0;
        const QRectF frame(QPointF(le32s(data, 24) * xScale, le32s(data, 28) * yScale),
                           QPointF(le32s(data, 32) * xScale, le32s(data, 36) * yScale));
        if (std::round(frame.width()) >= 1 && std::round(frame.height()) >= 1 && frame.width() < 1e9
            && frame.height() < 1e9)
            return frame;
    }
    const QRectF bounds(QPointF(le32s(data, 8), le32s(data, 12)),
                        QPointF(double(le32s(data, 16)) + 1, double(le32s(data, 20)) + 1));
    if (bounds.width() >= 1 && bounds.height() >= 1 && bounds.width() < 1e9 && bounds.height() < 1e9)
        return bounds;
    return QRectF();
}

QSize emfFrameSize(const QRectF &frame)
{
    return QSize(int(std::round(frame.width())), int(std::round(frame.height())));
}

// libemf2svg trusts the offsets and counts inside records; every record
// is checked here first (bounds of the record itself, then libUEMF's own
// per-record check, then the header's pixel format).
QString emfDamage(const QByteArray &data)
{
    if (data.size() < 88)
        return QStringLiteral("the header is incomplete");
    const qint64 headerSize = le32(data, 4);
    if (headerSize < 88 || headerSize > data.size())
        return QStringLiteral("the header is damaged");
    if (headerSize >= 100) {
        const qint64 formatBytes = le32(data, 88), formatAt = le32(data, 92);
        if (formatBytes && (formatAt < 100 || formatAt + formatBytes > headerSize))
            return QStringLiteral("the pixel format lies outside the header");
    }
    qint64 at = 0;
    int index = 0;
    while (at + 8 <= data.size()) {
        const quint32 type = le32(data, at);
        const qint64 size = le32(data, at + 4);
        if (size < 8 || size % 4 || size > data.size() - at)
            return QStringLiteral("record %1 has an impossible size").arg(index + 1);
        if (!U_emf_record_safe(data.constData() + at))
            return QStringLiteral("record %1 is malformed").arg(index + 1);
        if (type == 14)
            return QString();
        at += size;
        ++index;
    }
    return QStringLiteral("it has no end record");
}

// The drawing of an EMF on a transparent picture of `size`, its frame
// filling the picture as the system's own player maps it. libemf2svg maps
// the file's bounds instead (what the maker says was drawn, often wrong or
// much larger than the picture): it is handed the frame as the bounds, in
// whole pixels, and what that rounding moved is put back here.
QImage drawEmf(const QByteArray &data, const QRectF &frame, const QSize &size)
{
    const QRect bounds = frame.toAlignedRect();
    QByteArray copy = data;
    qToLittleEndian<qint32>(bounds.left(), copy.data() + 8);
    qToLittleEndian<qint32>(bounds.top(), copy.data() + 12);
    qToLittleEndian<qint32>(bounds.left() + bounds.width(), copy.data() + 16);
    qToLittleEndian<qint32>(bounds.top() + bounds.height(), copy.data() + 20);
    // The description text plays no part in the picture, and the library
    // reads it without bounds: it gets none.
    qToLittleEndian<quint32>(0, copy.data() + 60);
    qToLittleEndian<quint32>(0, copy.data() + 64);

    generatorOptions options{};
    char nameSpace[] = "";
    options.nameSpace = nameSpace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    options.imgWidth = bounds.width();
    options.imgHeight = bounds.height();
    char *out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(copy.data(), size_t(copy.size()), &out, &outLength, &options);
    const QByteArray svg = ok && out ? QByteArray(out, int(outLength)) : QByteArray();
    std::free(out);

    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return QImage();
    QImage image = ImagingLimits::newImage(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QTransform toPicture = QTransform::fromScale(size.width() / frame.width(), size.height() / frame.height());
    toPicture.translate(bounds.left() - frame.left(), bounds.top() - frame.top());
    AliasedPainting::paint(image, [&](QPainter &painter) {
        painter.setTransform(toPicture);
        renderer.render(&painter, renderer.viewBoxF());
    });
    return image;
}

QImage renderEmf(const QByteArray &data)
{
    const QString damage = emfDamage(data);
    if (!damage.isEmpty())
        throw ImgXError(QStringLiteral("Cannot read the EMF image: %1.").arg(damage));
    const QRectF frame = emfFrame(data);
    if (frame.isEmpty())
        throw ImgXError(QStringLiteral("Cannot read the EMF image: its header gives no picture size."));
    const QSize size = emfFrameSize(frame);
    ImagingLimits::checkDecodeSize(size.width(), size.height());
    return drawnInHelper(QStringLiteral("EMF"), [&] { return drawEmf(data, frame, size); });
}

}

namespace MetafileReader {

QVector<ImgXPage> decode(const QByteArray &data, int format, int page)
{
    if (page != 0)
        throw ImgXError(QStringLiteral("The metafile has no page %1 (it has 1).").arg(page + 1));
    if (format == ImgXFormatWMF) {
        const QImage single = wmfSingleBitmap(data);
        if (!single.isNull())
            return {pageOf(single)};
        return {pageOf(drawnInHelper(QStringLiteral("WMF"), [&] { return WmfPlayer::render(data); }))};
    }
    if (format == ImgXFormatEMF) {
        const QImage single = emfSingleBitmap(data);
        return {pageOf(single.isNull() ? renderEmf(data) : single)};
    }
    throw ImgXError(QStringLiteral("Not a metafile."));
}

}
