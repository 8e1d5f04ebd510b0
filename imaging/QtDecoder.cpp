#include "QtDecoder.h"

#include "ByteReader.h"
#include "ImagingLimits.h"
#include "PrefaultedMemory.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

using ByteReader::be32;

namespace {

// From a megapixel on, decoded pictures go to PrefaultedMemory; smaller
// ones come quickly enough from the C library's reused heap memory.
constexpr qint64 kPrefaultPixels = qint64(1) * 1024 * 1024;

const char *readerFormat(int format)
{
    switch (format) {
    case ImgXFormatJPG: return "jpeg";
    case ImgXFormatPNG: return "png";
    case ImgXFormatGIF: return "gif";
    case ImgXFormatBMP: return "bmp";
    case ImgXFormatICO:
    case ImgXFormatCUR: return "ico";
    case ImgXFormatTIF: return "tiff";
    case ImgXFormatWBMP: return "wbmp";
    default: return nullptr;
    }
}

QString formatName(int format)
{
    switch (format) {
    case ImgXFormatJPG: return QStringLiteral("JPEG");
    case ImgXFormatPNG: return QStringLiteral("PNG");
    case ImgXFormatGIF: return QStringLiteral("GIF");
    case ImgXFormatBMP: return QStringLiteral("BMP");
    case ImgXFormatICO: return QStringLiteral("icon");
    case ImgXFormatCUR: return QStringLiteral("cursor");
    case ImgXFormatTIF: return QStringLiteral("TIFF");
    case ImgXFormatWBMP: return QStringLiteral("WBMP");
    default: return QStringLiteral("image");
    }
}

// Qt turns a PNG's bare gamma value into a colour space too; only an
// embedded ICC profile is converted, so untagged and gamma-only files keep
// their exact pixel values.
bool pngHasIccProfile(const QByteArray &data)
{
    int at = 8;
    while (at + 8 <= data.size()) {
        const quint32 length = be32(data, at);
        const QByteArray type = data.mid(at + 4, 4);
        if (type == "iCCP")
            return true;
        if (type == "IDAT" || type == "IEND" || length > quint32(data.size()))
            return false;
        at += 12 + int(length);
    }
    return false;
}

void toSrgb(QImage &image)
{
    const QColorSpace cs = image.colorSpace();
    if (!cs.isValid() || cs == QColorSpace(QColorSpace::SRgb))
        return;
    if (image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16
        || image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        return;   // grey profiles are outside what Qt converts
    image.convertToColorSpace(QColorSpace(QColorSpace::SRgb));
}

// What a pixel of the decoded picture will take: the reader knows its
// output format from the header; 4 bytes when it cannot say.
int bytesPerPixel(const QImageReader &reader)
{
    const QImage::Format format = reader.imageFormat();
    if (format == QImage::Format_Invalid)
        return 4;
    return qMax(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

}

namespace QtDecoder {

QSize reducedJpegSize(const QSize &full, int thumbnailSize)
{
    if (thumbnailSize <= 0 || full.isEmpty())
        return full;
    const int shortSide = qMin(full.width(), full.height());
    for (int denom : {8, 4, 2}) {
        if ((shortSide + denom - 1) / denom >= 2 * thumbnailSize)
            return QSize((full.width() + denom - 1) / denom, (full.height() + denom - 1) / denom);
    }
    return full;
}

QVector<ImgXPage> decode(const QByteArray &data, int format, int page, const LoadOptions &options)
{
    ImagingLimits::applyToQt();
    const QString what = formatName(format);

    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, readerFormat(format));
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(format == ImgXFormatJPG);
    if (!reader.canRead())
        throw ImgXError(QStringLiteral("Cannot read the %1 image: %2").arg(what, reader.errorString()));

    const int count = qMax(1, reader.imageCount());
    if (page < 0 || page >= count)
        throw ImgXError(QStringLiteral("The %1 image has no page %2 (it has %3).").arg(what).arg(page + 1).arg(count));

    const bool thumbnail = options.thumbnailSize > 0;
    const bool sequential = reader.supportsAnimation();   // GIF frames only come in order
    const int first = thumbnail ? page : 0;
    const int last = thumbnail ? page : count - 1;
    const bool convertProfile = format != ImgXFormatPNG || pngHasIccProfile(data);

    QVector<ImgXPage> pages;
    qint64 totalBytes = 0;
    for (int i = sequential ? 0 : first; i <= last; ++i) {
        if (!sequential && i > 0 && !reader.jumpToImage(i)) {
            if (i <= page)
                throw ImgXError(QStringLiteral("Cannot read page %1 of the %2 image: %3")
                                    .arg(i + 1)
                                    .arg(what, reader.errorString()));
            break;
        }
        QSize full = reader.size();
        if (format == ImgXFormatJPG && thumbnail && full.isValid()) {
            const QSize reduced = reducedJpegSize(full, options.thumbnailSize);
            if (reduced != full)
                reader.setScaledSize(reduced);
        }
        // The cap is on what is decoded: a reduced decode of a huge JPEG
        // still makes a thumbnail.
        const QSize target = reader.scaledSize().isValid() ? reader.scaledSize() : full;
        if (target.isValid())
            ImagingLimits::checkDecodeSize(target.width(), target.height(), bytesPerPixel(reader));
        // Decode straight into memory that is faulted in at once (the
        // reader fills an image of the right size and format as it is).
        QImage image;
        if (target.isValid() && qint64(target.width()) * target.height() >= kPrefaultPixels)
            image = PrefaultedMemory::image(target, reader.imageFormat());
        if (!reader.read(&image) || image.isNull()) {
            if (i <= page || pages.isEmpty())
                throw ImgXError(QStringLiteral("Cannot read the %1 image: %2").arg(what, reader.errorString()));
            break;   // a damaged later frame: keep the pages before it
        }
        if (sequential && i < first)
            continue;
        // A whole decode is described by its pixels (a damaged GIF's header
        // can disagree with them); a reduced one by the header, turned with
        // the pixels when EXIF says so.
        if (!reader.scaledSize().isValid())
            full = image.size();
        else if (reader.autoTransform() && (reader.transformation() & QImageIOHandler::TransformationRotate90))
            full.transpose();
        if (convertProfile)
            toSrgb(image);
        else
            image.setColorSpace(QColorSpace());   // or a save would write the gamma as a profile
        totalBytes += image.sizeInBytes();
        if (totalBytes > ImagingLimits::memoryCap())
            throw ImgXError(QStringLiteral("The %1 image is too large to open: its pages need more than the %2 MB "
                                           "memory limit.")
                                .arg(what)
                                .arg(ImagingLimits::memoryCap() / (1024 * 1024)));
        ImgXPage p;
        p.image = image;
        p.width = full.width();
        p.height = full.height();
        p.pageIndex = i;
        pages.append(p);
    }
    if (pages.isEmpty())
        throw ImgXError(QStringLiteral("Cannot read the %1 image: %2").arg(what, reader.errorString()));
    return pages;
}

}
