#pragma once
// What the directories of a TIFF say about its pages, read straight from
// the bytes. (ImageMagick is no way out for layouts Qt's reader gets
// wrong: its TIFF coder takes over libtiff's error handler for the whole
// process, and a later error in Qt's reader then ends the program; those
// pages go to TiffDecoder instead.)

#include <QByteArray>

namespace TiffLayout {
// True for a page Qt's reader shows wrong without failing: colour planes
// of more than 8 bits stored one after another (Qt shows them black), a
// palette with alpha (Qt drops the alpha), and floating-point or signed
// samples, which are shown stretched over their range. Layouts Qt refuses
// outright are handed over when it refuses them.
bool misreadByQt(const QByteArray &data, int page);
// The number of pages (directories) of a classic TIFF, counted by following
// the chain of directories as far as it is whole and does not loop back;
// 0 for BigTIFF and anything else this does not read. Costs a few reads a
// page, where reading every directory whole is slow on files of thousands.
int pageCount(const QByteArray &data);
}
