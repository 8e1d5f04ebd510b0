#include "TextContrast.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace TextContrast {

namespace {
double luminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
}

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double inArea(const QImage &shot, const QRect &area)
{
    const qreal scale = shot.devicePixelRatio();
    const QRect pixels = QRect(area.topLeft() * scale, area.size() * scale) & shot.rect();
    QHash<QRgb, int> counts;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            ++counts[shot.pixel(x, y)];
    if (counts.isEmpty())
        return 1;
    QRgb background = counts.cbegin().key();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(background))
            background = it.key();
    double strongest = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        strongest = std::max(strongest, ratio(QColor(it.key()), QColor(background)));
    return strongest;
}

QPalette systemPalette(const QColor &back, const QColor &text, const QColor &base, const QColor &highlight)
{
    QPalette p(back);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText})
        p.setColor(role, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, base);
    p.setColor(QPalette::Button, back);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, base);
    return p;
}

}
