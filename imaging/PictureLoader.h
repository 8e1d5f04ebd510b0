#pragma once
// Icons, cursors and device-independent bitmaps read as pictures: what the
// program hands to ImgX.Loader.LoadFromPicture.

#include <QImage>
#include <QString>

namespace PictureLoader {
// Loads the picture of an .ico, .cur or .dib file (or any file the
// component can read). For icons and cursors the largest entry is taken,
// unless width and height name a wanted size. Throws ImgXError.
QImage LoadPicture(const QString &path, int width = 0, int height = 0);
}
