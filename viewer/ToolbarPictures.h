#pragma once
// The pictures of the viewer's toolbar buttons, drawn rather than shipped:
// 40 x 32 pixels at 24 bits per pixel, one normal and one hover picture for
// each button key ("open32", "browsed32", "previous32", "next32",
// "slidshow32", "zoomin32", "zoomiout32", "fullscreen32").

#include <QColor>
#include <QPixmap>
#include <QString>

namespace ToolbarPictures {
// The toolbar's back colour, the same as the image control's.
inline const QColor BackColor = QColor(0xDE, 0xE7, 0xEF);
constexpr int kWidth = 40;
constexpr int kHeight = 32;
// The picture for a screen of the given device pixel ratio: 40 x 32
// logical pixels with all the screen's pixels. An unknown key gives a blank
// picture of the same size.
QPixmap picture(const QString &key, bool hover, qreal pixelRatio = 1);
}
