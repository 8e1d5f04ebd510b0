#include "ImageEncoder.h"

#include "DibCodec.h"
#include "ImgXDocument.h"
#include "MagickCodec.h"
#include "MetafileWriter.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSet>
#include <QStorageInfo>


namespace {

QByteArray encodeWithQt(const QImage &image, const char *format, int quality = -1, int compression = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (compression >= 0)
        writer.setCompression(compression);
    if (!writer.write(image))
        throw ImgXError(QStringLiteral("Cannot encode the image as %1: %2")
                            .arg(QString::fromLatin1(format).toUpper(), writer.errorString()));
    return bytes;
}

// Formats without alpha get the picture as it looks on white, instead of
// whatever colour happens to sit under transparent pixels.
QImage opaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// Qt's TIFF writer stores a 1-bit picture as plain black and white,
// whatever its two colours are, and a palette without its transparency.
QImage forTiff(const QImage &image)
{
    if (image.colorCount() > 0 && image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_ARGB32);
    if (image.depth() != 1)
        return image;
    const QList<QRgb> colours = image.colorTable();
    const bool blackAndWhite = colours.size() == 2
        && QSet<QRgb>{colours[0], colours[1]} == QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return blackAndWhite ? image : image.convertToFormat(QImage::Format_Indexed8);
}

// Qt reports a write that found no room on the disk as an "Unknown error"
// and keeps no error number; the free space tells that case apart.
QString writeFailure(const QSaveFile &file, const QString &path, qint64 size)
{
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < size)
        return QStringLiteral("the disk is full (the file needs %1 KB).").arg((size + 1023) / 1024);
    return file.errorString();
}

// Why no file can be made in the folder of path, where the folder tells.
// The system's own text for such a failure ("No such file or directory"
// for a file made in /proc) often says nothing of the reason.
QString folderRefusal(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QFileInfo info(folder);
    if (!info.isDir())
        return QStringLiteral("the folder %1 does not exist.").arg(folder);
    const QStorageInfo disk(folder);
    if (disk.isValid()) {
        if (disk.isReadOnly())
            return QStringLiteral("the folder %1 is on a read-only disk.").arg(folder);
        // proc, sysfs and their kind have no room at all: they hold the
        // system's own entries only.
        if (disk.bytesTotal() == 0)
            return QStringLiteral("the folder %1 belongs to the system and holds no files.").arg(folder);
    }
    if (!info.isWritable())
        return QStringLiteral("you have no permission to write in the folder %1.").arg(folder);
    return QString();
}

}

namespace ImageEncoder {

QByteArray encode(const QImage &image, int formatCode)
{
    if (image.isNull())
        throw ImgXError(QStringLiteral("There is no image to save."));
    switch (formatCode) {
    case ImgXFormatJPG: return encodeWithQt(opaque(image), "jpeg", 90);
    case ImgXFormatPNG: return encodeWithQt(image, "png");
    case ImgXFormatTIF: return encodeWithQt(forTiff(image), "tiff", -1, 1);   // LZW
    case ImgXFormatBMP:
        // Qt writes 24-bit BMPs only; keep alpha where there is some.
        return image.hasAlphaChannel() ? DibCodec::bmpWithAlpha(image) : encodeWithQt(image, "bmp");
    case ImgXFormatWBMP:
        return encodeWithQt(opaque(image).convertToFormat(QImage::Format_Mono, Qt::MonoOnly | Qt::DiffuseDither),
                            "wbmp");
    case ImgXFormatPCX:
    case ImgXFormatTGA:
    case ImgXFormatPSD: return MagickCodec::encode(image, formatCode);
    case ImgXFormatWMF: return MetafileWriter::wmf(image);
    case ImgXFormatEMF: return MetafileWriter::emf(image);
    default: throw ImgXError(QStringLiteral("Cannot save in format %1: there is no such format.").arg(formatCode));
    }
}

void save(const QImage &image, const QString &path, int formatCode, bool overwrite)
{
    if (path.isEmpty())
        throw ImgXError(QStringLiteral("Cannot save: no file name was given."));
    if (!overwrite && QFileInfo::exists(path))
        throw ImgXError(QStringLiteral("Cannot save %1: the file already exists.").arg(path));
    // Encode first: a failing encoder then never touches the disk.
    const QByteArray bytes = encode(image, formatCode);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QString refusal = folderRefusal(path);
        throw ImgXError(
            QStringLiteral("Cannot save %1: %2").arg(path, refusal.isEmpty() ? file.errorString() : refusal));
    }
    if (file.write(bytes) != bytes.size()) {
        const QString why = writeFailure(file, path, bytes.size());
        file.cancelWriting();
        throw ImgXError(QStringLiteral("Cannot save %1: %2").arg(path, why));
    }
    if (!file.commit())
        throw ImgXError(QStringLiteral("Cannot save %1: %2").arg(path, writeFailure(file, path, bytes.size())));
}

}
