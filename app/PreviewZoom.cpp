#include "PreviewZoom.h"

namespace PreviewZoom {

std::optional<double> zoomedIn(double zoom)
{
    if (zoom * 100 > MaxPercent)
        return std::nullopt;
    return zoom * InFactor;
}

std::optional<double> zoomedOut(double zoom)
{
    if (zoom * 100 < MinPercent)
        return std::nullopt;
    return zoom * OutFactor;
}

int scrollMode(double zoom, const QSize &imagePixels, double tppX, double tppY, const QSizeF &control)
{
    // The products are compared in single precision, as the sizes are held.
    const float shownWidth = float(zoom * imagePixels.width() * tppX);
    const float shownHeight = float(zoom * imagePixels.height() * tppY);
    const bool tooBig = float(control.width()) < shownWidth || float(control.height()) < shownHeight;
    return tooBig ? 2 : 0;
}

}
