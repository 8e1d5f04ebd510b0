#pragma once
// Makes the thumbnail of one image file: icons, cursors and DIBs as the
// picture loader gives them, every other type through the imaging
// component in the shape ThumbnailShape describes. Runs on any thread,
// with a document of its own per call.

#include "Thumbnail.h"

class ImgXDocument;

namespace ThumbnailMaker {

// The types loaded as pictures, not through the imaging component.
inline constexpr const char *PictureLoadExts = "ico cur dib";

// Whether the file is loaded as a picture (its lower-case extension
// occurs in PictureLoadExts).
bool isPictureLoaded(const QString &path);
// The thumbnail of the file; never throws.
Thumbnail make(const QString &path);
// The thumbnail made in the given document, which keeps it as its
// current image. Throws ImgXError.
QImage makeIn(ImgXDocument &doc, const QString &path);

}
