#include "ImageTransforms.h"

#include "ImageReducer.h"
#include "ImagingLimits.h"
#include "ImgXDocument.h"

#include <QPainter>
#include <QTransform>
#include <cmath>

namespace {

// Formats QPainter and the smooth scaler handle without a detour.
QImage workingCopy(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
}


}

namespace ImageTransforms {

qint64 roundHalfEven(qint64 num, qint64 den)
{
    qint64 q = num / den;
    const qint64 r2 = 2 * (num % den);
    if (r2 > den || (r2 == den && (q & 1)))
        ++q;
    return q;
}

QSize resizeTarget(int width, int height, const QSize &full)
{
    if (width < 0 || height < 0 || (width == 0 && height == 0))
        throw ImgXError(QStringLiteral("Resize: %1 x %2 is not a usable size.").arg(width).arg(height));
    if (full.isEmpty())
        throw ImgXError(QStringLiteral("Resize: the image has no size."));
    qint64 w = width, h = height;
    if (w == 0)
        w = qMax<qint64>(1, roundHalfEven(qint64(height) * full.width(), full.height()));
    if (h == 0)
        h = qMax<qint64>(1, roundHalfEven(qint64(width) * full.height(), full.width()));
    ImagingLimits::checkDecodeSize(w, h);
    return QSize(int(w), int(h));
}

QImage resize(const QImage &image, const QSize &target, int method)
{
    if (image.size() == target)
        return image;
    if (ImageReducer::convertsLarge(image)) {
        if (target.width() <= image.width() && target.height() <= image.height())
            return method == 0 ? image.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                               : ImageReducer::reduce(image, target);
        ImagingLimits::checkWorkingSize(image.width(), image.height(), QStringLiteral("Resize"));
    }
    QImage source = workingCopy(image);
    if (method == 0)
        return source.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // Qt's smooth scaler averages every covered source pixel when it
    // shrinks, so large reductions do not alias.
    QImage result = source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (result.isNull())
        throw ImgXError(QStringLiteral("Resize: not enough memory for %1 x %2 pixels.")
                            .arg(target.width())
                            .arg(target.height()));
    return result;
}

QImage canvas(const QImage &image, int width, int height, const QColor &colour, int x, int y)
{
    if (width <= 0 || height <= 0)
        throw ImgXError(QStringLiteral("Canvas: %1 x %2 is not a usable size.").arg(width).arg(height));
    ImagingLimits::checkDecodeSize(width, height);
    // QPainter draws from a 32-bit copy of the whole image.
    ImagingLimits::checkWorkingSize(image.width(), image.height(), QStringLiteral("Canvas"));
    const bool alpha = colour.alpha() < 255 || image.hasAlphaChannel();
    QImage result(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (result.isNull())
        throw ImgXError(QStringLiteral("Canvas: not enough memory for %1 x %2 pixels.").arg(width).arg(height));
    result.fill(colour);
    QPainter painter(&result);
    painter.drawImage(x, y, image);
    painter.end();
    return result;
}

QImage rotate(const QImage &image, double degrees, const QColor &background)
{
    double turn = std::fmod(degrees, 360.0);
    if (turn < 0)
        turn += 360.0;
    const double quarters = turn / 90.0;
    if (quarters == std::floor(quarters)) {
        switch (int(quarters)) {
        case 0: return image;
        case 2: return image.mirrored(true, true);
        default: return image.transformed(QTransform().rotate(quarters * 90.0));
        }
    }
    ImagingLimits::checkWorkingSize(image.width(), image.height(), QStringLiteral("Rotate"));
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage turned = source.transformed(QTransform().rotate(turn), Qt::SmoothTransformation);
    ImagingLimits::checkDecodeSize(turned.width(), turned.height());
    const bool alpha = background.alpha() < 255 || image.hasAlphaChannel();
    QImage result(turned.size(), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    result.fill(background);
    QPainter painter(&result);
    painter.drawImage(0, 0, turned);
    painter.end();
    return result;
}

}
