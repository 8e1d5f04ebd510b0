#include "ImagingLimits.h"

#include "ImgXDocument.h"

#include <QImageReader>
#include <mutex>

namespace {

// Divides rather than multiplies, so absurd header values cannot overflow.
bool passesCap(qint64 width, qint64 height, int bytesPerPixel)
{
    return width > ImagingLimits::memoryCap() / bytesPerPixel / height;
}

QString beyondCap(qint64 width, qint64 height)
{
    return QStringLiteral("%1 x %2 pixels need more than the %3 MB memory limit.")
        .arg(width)
        .arg(height)
        .arg(ImagingLimits::memoryCap() / (1024 * 1024));
}

}

namespace ImagingLimits {

qint64 memoryCap()
{
    return qint64(1024) * 1024 * 1024;
}

void checkDecodeSize(qint64 width, qint64 height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0)
        throw ImgXError(QStringLiteral("The image has no size (%1 x %2 pixels).").arg(width).arg(height));
    if (passesCap(width, height, bytesPerPixel))
        throw ImgXError(QStringLiteral("The image is too large to open: ") + beyondCap(width, height));
}

void checkWorkingSize(qint64 width, qint64 height, const QString &what)
{
    if (width > 0 && height > 0 && passesCap(width, height, 4))
        throw ImgXError(what + QStringLiteral(": ") + beyondCap(width, height));
}

QImage newImage(const QSize &size, QImage::Format format)
{
    QImage image(size, format);
    if (image.isNull())
        throw ImgXError(QStringLiteral("Not enough memory for a %1 x %2 image.").arg(size.width()).arg(size.height()));
    return image;
}

void applyToQt()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(int(memoryCap() / (1024 * 1024))); });
}

}
