#pragma once
// Draws a Windows metafile (WMF) with QPainter: the records ordinary
// drawings use (mapping modes, window and viewport, pens, brushes, fonts,
// shapes, text, bitmaps, clipping, saved states). Other records are passed
// over. Every loop is bounded by the file's size, and playing stops with an
// error once it has taken longer than the decode time limit.

#include <QByteArray>
#include <QImage>

namespace WmfPlayer {
// The drawing on a white picture the size of the metafile's frame (its
// placeable box, or else the window it sets up) at 96 dots per inch. The
// drawing's window maps onto its viewport, the frame unless the file sets
// one, in the frame's units; the frame fills the picture
// (without a frame: the size of what is drawn, one unit a pixel).
// Throws ImgXError.
QImage render(const QByteArray &data);
}
