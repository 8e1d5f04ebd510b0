#pragma once
// How well text stands out in a picture of a window, by the contrast ratio
// of the accessibility guidelines (1 to 21; 4.5 is the usual floor for text).

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QRect>

namespace TextContrast {
inline constexpr double Readable = 4.5;

double ratio(const QColor &a, const QColor &b);
// The strongest contrast of any pixel of the area (in logical pixels of the
// picture) against the area's commonest colour: what text drawn there
// stands out by, 1 when nothing does.
double inArea(const QImage &shot, const QRect &area);

// A system palette as desktops set them: windows and buttons in `back`,
// text boxes and lists in `base`, all text in `text`.
QPalette systemPalette(const QColor &back, const QColor &text, const QColor &base, const QColor &highlight);
}
