#pragma once
// Draws a Windows metafile (WMF) with QPainter: the records ordinary
// drawings use (window mapping, pens, brushes, fonts, shapes, text,
// bitmaps, clipping, saved states). Other records are passed over. Every
// loop is bounded by the file's size, and playing stops with an error once
// it has taken longer than the decode time limit.

#include <QByteArray>
#include <QImage>
#include <QRectF>

namespace WmfPlayer {
// The metafile's frame in points: the placeable header's box, or else the
// window the drawing sets up, at the header's units per inch (1440, the
// usual twips, without a placeable header). Invalid when neither exists.
QRectF frame(const QByteArray &data);
// The drawing on a white picture of the frame's size at 96 dots per inch
// (without a frame: the size of what is drawn, one unit a pixel).
// Throws ImgXError.
QImage render(const QByteArray &data);
}
