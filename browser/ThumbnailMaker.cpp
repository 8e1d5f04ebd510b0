#include "ThumbnailMaker.h"

#include "FileSystemObject.h"
#include "ImgXDocument.h"
#include "PictureLoader.h"
#include "ThumbnailShape.h"

#include <algorithm>
#include <new>

namespace ThumbnailMaker {

namespace {

// White, opaque, packed as 0x00BBGGRR (red in the low byte).
constexpr quint32 FrameColour = 16777215;
// Sizes are read into 16-bit signed integers.
constexpr int LargestSide = 32767;

// Decodes at a reduced scale where the format allows it; the description
// keeps the full size, so the shape rules see the real proportions.
QString loadOptions(int side) { return QStringLiteral("ThumbnailSize=%1").arg(side); }

// A length in logical pixels as device pixels.
int devicePixels(int logical, qreal pixelRatio) { return qRound(logical * pixelRatio); }

// The shape is decided in logical pixels and made in device pixels; the
// frame centres the picture in device pixels.
void shapeCurrentImage(ImgXDocument &doc, qreal pixelRatio)
{
    const int w = doc.ImageInfo.Width();
    const int h = doc.ImageInfo.Height();
    if (w > LargestSide || h > LargestSide)
        throw ImgXError(QStringLiteral("Overflow"));
    if (w <= 0 || h <= 0)
        throw ImgXError(QStringLiteral("The image has no size."));
    const int side = devicePixels(ThumbnailShape::Side, pixelRatio);
    if (!ThumbnailShape::isFramed(w, h)) {
        doc.Transform.Resize(side, devicePixels(ThumbnailShape::plainHeight(w, h), pixelRatio), 4);
        return;
    }
    const QColor white = ImgXColorFactory::FromRGB(FrameColour, 255);
    if (w > h) {
        doc.Transform.Resize(side, 0, 4);
        doc.Transform.Canvas(side, side, white, 0, ThumbnailShape::frameOffset(doc.ImageInfo.Height(), side));
    } else {
        doc.Transform.Resize(devicePixels(ThumbnailShape::tallWidth(w, h), pixelRatio), side, 4);
        doc.Transform.Canvas(side, side, white, ThumbnailShape::frameOffset(doc.ImageInfo.Width(), side), 0);
    }
}

}

bool isPictureLoaded(const QString &path)
{
    const QString ext = FSO().GetExtensionName(path).toLower();
    return QString::fromLatin1(PictureLoadExts).contains(ext);
}

// Icons, cursors and DIBs keep their own size in logical pixels.
QImage makeIn(ImgXDocument &doc, const QString &path, qreal pixelRatio)
{
    if (isPictureLoaded(path))
        return PictureLoader::LoadPicture(path);
    doc.Loader.LoadFromFile(path, 0, loadOptions(devicePixels(ThumbnailShape::Side, pixelRatio)));
    shapeCurrentImage(doc, pixelRatio);
    QImage picture = doc.Export.GetPicture();
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

Thumbnail make(const QString &path, qreal pixelRatio)
{
    Thumbnail result;
    try {
        ImgXDocument doc;
        const QImage image = makeIn(doc, path, pixelRatio);
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
