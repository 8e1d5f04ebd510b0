#include "ImagingLimits.h"

#include "ImgXDocument.h"

#include <QImageReader>
#include <mutex>

namespace ImagingLimits {

qint64 memoryCap()
{
    return qint64(1024) * 1024 * 1024;
}

void checkDecodeSize(qint64 width, qint64 height, int bytesPerPixel)
{
    if (width <= 0 || height <= 0)
        throw ImgXError(QStringLiteral("The image has no size (%1 x %2 pixels).").arg(width).arg(height));
    // Divide rather than multiply so absurd header values cannot overflow.
    const qint64 maxPixels = memoryCap() / bytesPerPixel;
    if (width > maxPixels / height)
        throw ImgXError(QStringLiteral("The image is too large to open: %1 x %2 pixels need more than the %3 MB "
                                       "memory limit.")
                            .arg(width)
                            .arg(height)
                            .arg(memoryCap() / (1024 * 1024)));
}

void checkWorkingSize(qint64 width, qint64 height, const QString &what)
{
    if (width > 0 && height > 0 && width > memoryCap() / 4 / height)
        throw ImgXError(QStringLiteral("%1: %2 x %3 pixels need more than the %4 MB memory limit.")
                            .arg(what)
                            .arg(width)
                            .arg(height)
                            .arg(memoryCap() / (1024 * 1024)));
}

void applyToQt()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(int(memoryCap() / (1024 * 1024))); });
}

}
