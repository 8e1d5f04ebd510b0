#pragma once
// What the first directory of a TIFF says about how its pixels are laid
// out, for the layouts Qt's reader gets wrong. (ImageMagick is no way out:
// its TIFF coder takes over libtiff's error handler for the whole process,
// and a later error in Qt's reader then ends the program.)

#include <QByteArray>
#include <QString>

namespace TiffLayout {
// An error text for colour planes of more than 8 bits stored one after
// another (Qt reads them as black) and for CMYK of more than 8 bits (Qt
// fails without saying why); empty when Qt reads the layout.
QString unreadable(const QByteArray &data);
}
