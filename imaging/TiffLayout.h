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
// The number of pages (directories) of a classic TIFF, counted by following
// the chain of directories as far as it is whole and does not loop back;
// 0 for BigTIFF and anything else this does not read. Costs a few reads a
// page, where reading every directory whole is slow on files of thousands.
int pageCount(const QByteArray &data);
}
