#pragma once
// The two fixed pictures of the thumbnail browser, for the device pixel
// ratio asked for (sizes in logical pixels); drawn again only when another
// ratio is asked for.

#include <QImage>

namespace BrowserPictures {
// A folder, 150 x 125 pixels: the first picture of every listing, which
// fixes the cell size of all pictures.
QImage folder(qreal pixelRatio = 1);
// Shown by items whose thumbnail is not made yet, 125 x 125 pixels.
QImage loading(qreal pixelRatio = 1);
}
