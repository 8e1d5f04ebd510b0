#include "MagickCodec.h"

#include "DecodeDeadline.h"
#include "ImagingLimits.h"
#include "PsdIndexed.h"

#include <Magick++.h>
#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <mutex>

namespace {

const char *coderName(int format)
{
    switch (format) {
    case ImgXFormatPSD: return "PSD";
    case ImgXFormatPCX: return "PCX";
    case ImgXFormatTGA: return "TGA";
    case ImgXFormatPCD: return "PCD";
    default: return nullptr;
    }
}

// A hostile file can make a coder loop for a long time over very little
// data; past the decode time limit the decode is given up.
struct Deadline {
    DecodeDeadline limit;
    bool expired = false;
};

// The time a coder may take for each pixel beyond the base limit. On the
// machine these were measured on (one core of an 8-core EPYC, other work
// running), at the largest sizes the system policy lets through, PCX took
// up to 0.18 us a pixel: it decodes every plane into a buffer the policy
// sends to a memory-mapped file before it first reports progress. PSD and
// TGA took up to 0.03 us. The allowances are about three times that: twice
// for a machine half as fast, the rest for one that is busy.
double nanosPerPixel(int format)
{
    return format == ImgXFormatPCX ? 500 : 100;
}

// ImageMagick 6's own time resource ends the whole process when it runs
// out, so the time limit is kept here instead: returning false from the
// progress monitor makes the coder stop this one image.
MagickCore::MagickBooleanType progressMonitor(const char *, const MagickCore::MagickOffsetType,
                                              const MagickCore::MagickSizeType, void *client)
{
    auto *deadline = static_cast<Deadline *>(client);
    if (deadline->limit.expired()) {
        deadline->expired = true;
        return MagickCore::MagickFalse;
    }
    return MagickCore::MagickTrue;
}

// A PSD's merged picture is stored blended on white, and readers (this
// one included) take the white back out; so blend before writing.
void blendOnWhite(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(line[x]);
            auto mix = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            line[x] = qRgba(mix(qRed(line[x])), mix(qGreen(line[x])), mix(qBlue(line[x])), a);
        }
    }
}

// ImageMagick writes "client: reason `detail' @ source-file/function/line",
// sometimes several such reports in a row; the user is shown the first
// reason and its detail when that says something.
QString magickText(const std::exception &e)
{
    QString text = QString::fromLocal8Bit(e.what());
    const int colon = text.indexOf(QLatin1String(": "));
    if (colon > 0 && !text.left(colon).contains(QLatin1Char(' ')))
        text.remove(0, colon + 2);
    const int quote = text.indexOf(QLatin1String(" `"));
    const int location = text.indexOf(QLatin1String(" @ "));
    const int reasonEnd = quote >= 0 && (location < 0 || quote < location) ? quote : location;
    if (reasonEnd < 0)
        return text;
    QString detail;
    if (reasonEnd == quote) {
        const int close = text.indexOf(QLatin1Char('\''), quote + 2);
        detail = text.mid(quote + 2, close < 0 ? -1 : close - quote - 2);
    }
    text.truncate(reasonEnd);
    return detail.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, detail);
}

using MagickCore::MagickSizeType;

MagickSizeType limitOf(MagickCore::ResourceType type)
{
    return MagickCore::GetMagickResourceLimit(type);
}

// What the pixel cache may still take: ImageMagick keeps one image's
// pixels wholly in memory or wholly in a file in the temporary folder.
struct CacheRoom {
    MagickSizeType memory = 0;
    MagickSizeType disk = 0;
};

CacheRoom cacheRoom()
{
    CacheRoom room;
    const auto left = [](MagickCore::ResourceType type) {
        const MagickSizeType used = MagickCore::GetMagickResource(type);
        return limitOf(type) > used ? limitOf(type) - used : 0;
    };
    room.memory = left(MagickCore::MemoryResource);
    const QStorageInfo temp(QDir::tempPath());
    const qint64 free = temp.isValid() ? temp.bytesAvailable() : 0;
    room.disk = qMin(left(MagickCore::DiskResource), MagickSizeType(qMax<qint64>(0, free)));
    return room;
}

// What one pixel takes in the cache: colour and alpha, and a colour index
// or black channel for palette and CMYK images.
int cachePixelBytes(bool indexChannel)
{
    return int(sizeof(MagickCore::PixelPacket) + (indexChannel ? sizeof(MagickCore::IndexPacket) : 0));
}

bool cacheFits(qint64 width, qint64 height, int pixelBytes)
{
    const MagickSizeType bytes = MagickSizeType(width) * MagickSizeType(height) * MagickSizeType(pixelBytes);
    const CacheRoom room = cacheRoom();
    return bytes <= room.memory || bytes <= room.disk;
}

// ImageMagick's own limits (set by the system policy) are tested before
// any pixels are made: past some of them it does not report an error but
// stops the program.
void checkSize(qint64 width, qint64 height, const char *coder, bool writing, int pixelBytes)
{
    const MagickSizeType w = MagickSizeType(width), h = MagickSizeType(height);
    const MagickSizeType maxWidth = limitOf(MagickCore::WidthResource);
    const MagickSizeType maxHeight = limitOf(MagickCore::HeightResource);
    const MagickSizeType area = limitOf(MagickCore::AreaResource);
    const QString what = writing ? QStringLiteral("write") : QStringLiteral("read");
    if (w > maxWidth || h > maxHeight || w * h > area)
        throw ImgXError(QStringLiteral("Cannot %1 the %2 image: at %3 x %4 pixels it is larger than the "
                                       "%5 x %6 pixels (%7 million in all) this program can %1 in that format.")
                            .arg(what, QLatin1String(coder))
                            .arg(width)
                            .arg(height)
                            .arg(maxWidth)
                            .arg(maxHeight)
                            .arg(area / 1000000));
    if (!cacheFits(width, height, pixelBytes))
        throw ImgXError(QStringLiteral("Cannot %1 the %2 image: %3 x %4 pixels need more memory and space in "
                                       "the temporary folder %5 than are free.")
                            .arg(what, QLatin1String(coder))
                            .arg(width)
                            .arg(height)
                            .arg(QDir::toNativeSeparators(QDir::tempPath())));
}

// The image ImageMagick writes from, made without ConstituteImage (which
// stops the program when the pixel cache cannot be had).
Magick::Image magickImage(const QImage &image, const char *coder)
{
    MagickCore::ExceptionInfo *exception = MagickCore::AcquireExceptionInfo();
    MagickCore::Image *made = MagickCore::AcquireImage(nullptr);
    bool ok = made && MagickCore::SetImageExtent(made, size_t(image.width()), size_t(image.height()))
        && MagickCore::ImportImagePixels(made, 0, 0, size_t(image.width()), size_t(image.height()), "BGRA",
                                         MagickCore::CharPixel, image.constBits());
    if (made && !ok)
        MagickCore::InheritException(exception, &made->exception);
    const QString reason = ok ? QString()
        : QString::fromLocal8Bit(exception->reason ? exception->reason : "not enough memory");
    MagickCore::DestroyExceptionInfo(exception);
    if (!ok) {
        if (made)
            MagickCore::DestroyImage(made);
        throw ImgXError(QStringLiteral("Cannot write the %1 image: %2").arg(QLatin1String(coder), reason));
    }
    return Magick::Image(made);
}

// The first image of the file as ImageMagick decodes it. Throws ImgXError.
QImage readWithMagick(const QByteArray &data, int format, const char *coder)
{
    MagickCodec::initialize();
    QImage out;
    QSize size;
    try {
        Magick::Image image;
        image.quiet(true);
        // Only the first image: for a PSD the merged picture, not the
        // layers. Photo CD keeps its resolutions as scenes instead, and
        // without a scene asked for it reads the base 768 x 512 one.
        if (format != ImgXFormatPCD) {
            image.subImage(0);
            image.subRange(1);
        }
        image.magick(coder);   // names the coder: content detection never runs
        const Magick::Blob blob(data.constData(), size_t(data.size()));
        image.ping(blob);
        size = QSize(int(qMin<size_t>(image.columns(), INT_MAX)), int(qMin<size_t>(image.rows(), INT_MAX)));
        const bool indexChannel = image.classType() == Magick::PseudoClass || image.colorSpace() == Magick::CMYKColorspace;
        checkSize(qint64(image.columns()), qint64(image.rows()), coder, false, cachePixelBytes(indexChannel));
        // Big pictures take long to decode, hostile ones longer than their size can explain.
        Deadline deadline{DecodeDeadline(QLatin1String(coder), qint64(image.columns()) * qint64(image.rows()),
                                         nanosPerPixel(format))};
        MagickCore::SetImageInfoProgressMonitor(image.imageInfo(), progressMonitor, &deadline);
        image.read(blob);
        MagickCore::SetImageProgressMonitor(image.image(), nullptr, nullptr);
        if (deadline.expired)
            throw ImgXError(QStringLiteral("The %1 image took too long to decode (more than %2 seconds).")
                                .arg(QLatin1String(coder))
                                .arg(deadline.limit.seconds()));
        const qint64 width = qint64(image.columns()), height = qint64(image.rows());
        ImagingLimits::checkDecodeSize(width, height);
        if (image.colorSpace() != Magick::sRGBColorspace && image.colorSpace() != Magick::RGBColorspace
            && image.colorSpace() != Magick::GRAYColorspace)
            image.colorSpace(Magick::sRGBColorspace);
        const bool alpha = image.matte();
        out = ImagingLimits::newImage(QSize(int(width), int(height)),
                                      alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        // 32-bit QImage rows are exactly width * 4 bytes, as ImageMagick
        // writes them.
        image.write(0, 0, size_t(width), size_t(height), "BGRA", Magick::CharPixel, out.bits());
    } catch (const Magick::ErrorResourceLimit &e) {
        // Some coders need working memory besides the pixels (PCX: twice
        // its planes), which the system's limits may not leave.
        throw ImgXError(QStringLiteral("Cannot read the %1 image: at %2 x %3 pixels it needs more memory and space in "
                                       "the temporary folder than the system allows for it (%4).")
                            .arg(QLatin1String(coder))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(magickText(e)));
    } catch (const Magick::Exception &e) {
        throw ImgXError(QStringLiteral("Cannot read the %1 image: %2").arg(QLatin1String(coder), magickText(e)));
    } catch (const std::bad_alloc &) {
        throw ImgXError(QStringLiteral("Not enough memory to read the %1 image.").arg(QLatin1String(coder)));
    }

    return out;
}

}

namespace MagickCodec {

void initialize()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        const MagickCore::MagickSizeType cap = MagickCore::MagickSizeType(ImagingLimits::memoryCap());
        // The system policy may lower each of these, never raise it.
        Magick::ResourceLimits::memory(cap);
        Magick::ResourceLimits::map(cap);
        // Pixels that do not fit in memory go to a file in the temporary
        // folder, as far as the policy allows.
        Magick::ResourceLimits::disk(4 * cap);
        Magick::ResourceLimits::width(1u << 20);
        Magick::ResourceLimits::height(1u << 20);
        Magick::ResourceLimits::area(cap / 8);   // 16-bit RGBA pixels in the pixel cache
        const QByteArray temp = QFile::encodeName(QDir::tempPath());
        MagickCore::ExceptionInfo *exception = MagickCore::AcquireExceptionInfo();
        MagickCore::SetImageRegistry(MagickCore::StringRegistryType, "temporary-path", temp.constData(), exception);
        MagickCore::DestroyExceptionInfo(exception);
    });
}

QVector<ImgXPage> decode(const QByteArray &data, int format, int page)
{
    const char *coder = coderName(format);
    if (!coder)
        throw ImgXError(QStringLiteral("ImageMagick does not read this format here."));
    if (page != 0)
        throw ImgXError(QStringLiteral("The %1 image has no page %2 (it has 1).").arg(QLatin1String(coder)).arg(page + 1));
    // ImageMagick's PSD coder refuses indexed colour.
    const QImage out = format == ImgXFormatPSD && PsdIndexed::isIndexed(data) ? PsdIndexed::decode(data)
                                                                               : readWithMagick(data, format, coder);
    ImgXPage p;
    p.image = out;
    p.width = out.width();
    p.height = out.height();
    p.pageIndex = 0;
    return {p};
}

QByteArray encode(const QImage &imageIn, int format)
{
    const char *coder = coderName(format);
    if (!coder || format == ImgXFormatPCD)
        throw ImgXError(QStringLiteral("ImageMagick does not write this format here."));
    initialize();
    checkSize(imageIn.width(), imageIn.height(), coder, true, cachePixelBytes(false));
    const bool alpha = imageIn.hasAlphaChannel();
    QImage image = imageIn.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (alpha && format == ImgXFormatPSD)
        blendOnWhite(image);
    try {
        Magick::Image out = magickImage(image, coder);
        out.quiet(true);
        out.matte(alpha);
        out.type(alpha ? Magick::TrueColorMatteType : Magick::TrueColorType);
        out.depth(8);
        Magick::Blob blob;
        out.write(&blob, coder);
        return QByteArray(static_cast<const char *>(blob.data()), int(blob.length()));
    } catch (const Magick::Exception &e) {
        throw ImgXError(QStringLiteral("Cannot write the %1 image: %2").arg(QLatin1String(coder), magickText(e)));
    } catch (const std::bad_alloc &) {
        throw ImgXError(QStringLiteral("Not enough memory to write the %1 image.").arg(QLatin1String(coder)));
    }
}

}
