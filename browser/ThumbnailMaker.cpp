#include "ThumbnailMaker.h"

#include "FileSystemObject.h"
#include "ImgXDocument.h"
#include "PictureLoader.h"
#include "ThumbnailShape.h"

#include <algorithm>
#include <new>

namespace ThumbnailMaker {

namespace {

// White, opaque, as the platform writes colours (0x00BBGGRR).
constexpr quint32 FrameColour = 16777215;
// Sizes are read into 16-bit signed integers.
constexpr int LargestSide = 32767;

// Decodes at a reduced scale where the format allows it; the description
// keeps the full size, so the shape rules see the real proportions.
const QString LoadOptionsText = QStringLiteral("ThumbnailSize=%1").arg(ThumbnailShape::Side);

void shapeCurrentImage(ImgXDocument &doc)
{
    const int w = doc.ImageInfo.Width();
    const int h = doc.ImageInfo.Height();
    if (w > LargestSide || h > LargestSide)
        throw ImgXError(QStringLiteral("Overflow"));
    if (w <= 0 || h <= 0)
        throw ImgXError(QStringLiteral("The image has no size."));
    const int side = ThumbnailShape::Side;
    if (!ThumbnailShape::isFramed(w, h)) {
        doc.Transform.Resize(side, ThumbnailShape::plainHeight(w, h), 4);
        return;
    }
    const QColor white = ImgXColorFactory::FromRGB(FrameColour, 255);
    if (w > h) {
        doc.Transform.Resize(side, 0, 4);
        doc.Transform.Canvas(side, side, white, 0, ThumbnailShape::frameOffset(doc.ImageInfo.Height()));
    } else {
        doc.Transform.Resize(ThumbnailShape::tallWidth(w, h), side, 4);
        doc.Transform.Canvas(side, side, white, ThumbnailShape::frameOffset(doc.ImageInfo.Width()), 0);
    }
}

}

bool isPictureLoaded(const QString &path)
{
    const QString ext = FSO().GetExtensionName(path).toLower();
    return QString::fromLatin1(PictureLoadExts).contains(ext);
}

QImage makeIn(ImgXDocument &doc, const QString &path)
{
    if (isPictureLoaded(path))
        return PictureLoader::LoadPicture(path);
    doc.Loader.LoadFromFile(path, 0, LoadOptionsText);
    shapeCurrentImage(doc);
    return doc.Export.GetPicture();
}

Thumbnail make(const QString &path)
{
    Thumbnail result;
    try {
        ImgXDocument doc;
        const QImage image = makeIn(doc, path);
        result.picture = PackedPicture::pack(image);
        if (result.picture.isNull())
            result.error = QStringLiteral("The thumbnail of %1 could not be stored.").arg(FSO().GetFileName(path));
    } catch (const ImgXError &e) {
        result.error = e.text().isEmpty() ? QStringLiteral("The image cannot be read.") : e.text();
    } catch (const std::bad_alloc &) {
        result.error = QStringLiteral("Out of memory");
    }
    if (!result.ok())
        result.picture = PackedPicture();
    return result;
}

}
