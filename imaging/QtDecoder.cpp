#include "QtDecoder.h"

#include "ByteReader.h"
#include "DecodeDeadline.h"
#include "ImagingLimits.h"
#include "PrefaultedMemory.h"
#include "TiffDecoder.h"
#include "TiffLayout.h"

#include <QColorSpace>

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

}

QtPageReader::QtPageReader(const QByteArray &data, int format)
    : m_data(data), m_format(format), m_what(formatName(format))
{
    ImagingLimits::applyToQt();
    m_convertProfile = format != ImgXFormatPNG || pngHasIccProfile(data);
    m_buffer.setData(m_data);
    open();
    if (!m_reader->canRead())
        throw ImgXError(QStringLiteral("Cannot read the %1 image: %2").arg(m_what, m_reader->errorString()));
    // Qt counts a TIFF's pages by reading every directory whole.
    const int tiffPages = format == ImgXFormatTIF ? TiffLayout::pageCount(m_data) : 0;
    m_count = qMax(1, tiffPages > 0 ? tiffPages : m_reader->imageCount());
}

void QtPageReader::open()
{
    m_reader.reset();
    m_buffer.close();
    m_buffer.open(QIODevice::ReadOnly);
    m_reader = std::make_unique<QImageReader>(&m_buffer, readerFormat(m_format));
    m_reader->setDecideFormatFromContent(false);
    m_reader->setAutoTransform(m_format == ImgXFormatJPG);
    m_next = 0;
}

ImgXPage QtPageReader::read(int index, const LoadOptions &options)
{
    if (index < 0 || index >= m_count)
        throw ImgXError(QStringLiteral("The %1 image has no page %2 (it has %3).").arg(m_what).arg(index + 1).arg(m_count));
    if (m_format == ImgXFormatTIF && TiffLayout::misreadByQt(m_data, index))
        return tiffPage(index);
    QImageReader &reader = *m_reader;
    const auto failed = [&](const QString &why) {
        // The reader may be part-way through a page: the next read starts afresh.
        const QString text = index == 0 ? QStringLiteral("Cannot read the %1 image: %2").arg(m_what, why)
                                        : QStringLiteral("Cannot read page %1 of the %2 image: %3")
                                              .arg(index + 1)
                                              .arg(m_what, why);
        open();
        return ImgXError(text);
    };
    if (reader.supportsAnimation()) {
        // Frames build on the ones before them; skipping one still decodes it.
        if (index < m_next)
            open();
        DecodeDeadline deadline(m_what);
        while (m_next < index) {
            deadline.check();
            QImage skipped;
            if (!m_reader->read(&skipped))
                throw failed(m_reader->errorString());
            ++m_next;
        }
    } else if (m_count > 1 && !reader.jumpToImage(index)) {
        throw failed(reader.errorString());
    }
    QImageReader &at = *m_reader;
    QSize full = at.size();
    if (m_format == ImgXFormatJPG && options.thumbnailSize > 0 && full.isValid()) {
        const QSize reduced = QtDecoder::reducedJpegSize(full, options.thumbnailSize);
        if (reduced != full)
            at.setScaledSize(reduced);
    }
    // The cap is on what is decoded: a reduced decode of a huge JPEG
    // still makes a thumbnail.
    const QSize target = at.scaledSize().isValid() ? at.scaledSize() : full;
    if (target.isValid())
        ImagingLimits::checkDecodeSize(target.width(), target.height(), bytesPerPixel(at));
    // Decode straight into memory that is faulted in at once (the reader
    // fills an image of the right size and format as it is).
    QImage image;
    if (target.isValid() && qint64(target.width()) * target.height() >= kPrefaultPixels)
        image = PrefaultedMemory::image(target, at.imageFormat());
    if (!at.read(&image) || image.isNull()) {
        if (m_format != ImgXFormatTIF)
            throw failed(at.errorString());
        // Qt refuses several common layouts that libtiff reads.
        open();
        return tiffPage(index);
    }
    ++m_next;
    // A whole decode is described by its pixels (a damaged GIF's header can
    // disagree with them); a reduced one by the header, turned with the
    // pixels when EXIF says so.
    if (!at.scaledSize().isValid())
        full = image.size();
    else if (at.autoTransform() && (at.transformation() & QImageIOHandler::TransformationRotate90))
        full.transpose();
    if (m_convertProfile)
        toSrgb(image);
    else
        image.setColorSpace(QColorSpace());   // or a save would write the gamma as a profile
    ImgXPage page;
    page.image = image;
    page.width = full.width();
    page.height = full.height();
    page.pageIndex = index;
    return page;
}

ImgXPage QtPageReader::tiffPage(int index) const
{
    ImgXPage page;
    page.image = TiffDecoder::decode(m_data, index);
    page.width = page.image.width();
    page.height = page.image.height();
    page.pageIndex = index;
    return page;
}
