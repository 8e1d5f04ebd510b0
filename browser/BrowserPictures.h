#pragma once
// The two fixed pictures of the thumbnail browser, drawn once.

#include <QImage>

namespace BrowserPictures {
// A folder, 150 x 125 pixels: the first picture of every listing, which
// fixes the cell size of all pictures.
QImage folder();
// Shown by items whose thumbnail is not made yet, 125 x 125 pixels.
QImage loading();
}
