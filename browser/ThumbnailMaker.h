#pragma once
// Makes the thumbnail of one image file: icons, cursors and DIBs as the
// picture loader gives them, every other type through the imaging
// component in the shape ThumbnailShape describes, in logical pixels: on a
// screen of more device pixels to the logical pixel the picture has that
// many more pixels and says so (QImage::devicePixelRatio), so it is drawn
// at the same size, sharp. Runs on any thread, with a document of its own
// per call.

#include "Thumbnail.h"

class ImgXDocument;

namespace ThumbnailMaker {

// The types loaded as pictures, not through the imaging component.
inline constexpr const char *PictureLoadExts = "ico cur dib";

// Whether the file is loaded as a picture (its lower-case extension
// occurs in PictureLoadExts).
bool isPictureLoaded(const QString &path);
// The thumbnail of the file for a screen of the given device pixel ratio;
// never throws.
Thumbnail make(const QString &path, qreal pixelRatio = 1);
// The thumbnail made in the given document, which keeps it as its
// current image. Throws ImgXError.
QImage makeIn(ImgXDocument &doc, const QString &path, qreal pixelRatio = 1);

}
