#include "PrintPlacement.h"

namespace PrintPlacement {

namespace {
constexpr double kScreenDpi = 96.0;
constexpr double kInchesPerMetre = 39.3700787;

// Resolutions below this are taken as "not recorded" (a few writers store 1).
double resolution(int dotsPerMetre)
{
    const double dpi = dotsPerMetre / kInchesPerMetre;
    return dpi >= 10.0 ? dpi : kScreenDpi;
}
}

QSizeF naturalSize(const QImage &image, double deviceDpiX, double deviceDpiY)
{
    return QSizeF(image.width() * deviceDpiX / resolution(image.dotsPerMeterX()),
                  image.height() * deviceDpiY / resolution(image.dotsPerMeterY()));
}

QRectF place(const QSizeF &imageSize, const QSizeF &area, bool center, bool fit)
{
    QSizeF size = imageSize;
    if (fit && !size.isEmpty())
        size.scale(area, Qt::KeepAspectRatio);
    if (!center)
        return QRectF(QPointF(0, 0), size);
    return QRectF(QPointF((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
}

}
