#include "StatusText.h"

#include <QLocale>
#include <cmath>

namespace StatusText {

namespace {
constexpr float kKilobyte = 1024.0f;
constexpr double kMegabyte = 1048576.0;

// Digits of a non-negative whole number; "" for 0, as the "#" pattern writes it.
QString digitsOrNothing(double whole)
{
    return whole == 0 ? QString() : QString::number(whole, 'f', 0);
}
}

QString position(int index, int count)
{
    return QString::number(index + 1) + QLatin1Char('/') + QString::number(count);
}

QString oneDecimal(double value, const QString &separator)
{
    const double tenths = std::round(value * 10);   // half away from zero
    const double whole = std::floor(tenths / 10);
    const int fraction = int(tenths - whole * 10);
    QString text = digitsOrNothing(whole) + separator;
    if (fraction != 0)
        text += QString::number(fraction);
    return text;
}

QString FormatFileSize(float bytes)
{
    const QString separator = QLocale().decimalPoint();
    if (bytes < kKilobyte)
        return QString::number(double(bytes), 'f', 0) + QStringLiteral(" Bytes");
    if (bytes < kKilobyte * kKilobyte)
        return oneDecimal(double(bytes / kKilobyte), separator) + QStringLiteral(" KB");
    return oneDecimal(double(bytes) / kMegabyte, separator) + QStringLiteral(" MB");
}

QString dimensions(int width, int height, int bitsPerPixel, const QString &extension)
{
    return QStringLiteral("%1x%2x%3b %4").arg(width).arg(height).arg(bitsPerPixel).arg(extension);
}

QString zoom(double factor)
{
    return digitsOrNothing(std::round(factor * 100)) + QStringLiteral(" %");
}

}
