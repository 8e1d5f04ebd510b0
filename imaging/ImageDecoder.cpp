#include "ImageDecoder.h"

#include "DibCodec.h"
#include "FileCompleteness.h"
#include "FormatSniffer.h"
#include "ImagingLimits.h"
#include "MagickCodec.h"
#include "MetafileReader.h"
#include "PrefaultedMemory.h"
#include "QtDecoder.h"
#include "StoredDepth.h"
#include "TiffLayout.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace {

// Smaller blocks come from reused heap memory, which is quicker still.
constexpr qint64 kPrefaultBytes = qint64(32) * 1024 * 1024;

int depthOfImage(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
        return image.colorCount() <= 2 ? 1 : image.colorCount() <= 16 ? 4 : 8;
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8: return 8;
    case QImage::Format_Grayscale16:
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444: return 16;
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX8888: return 24;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBX16FPx4: return 48;
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied: return 64;
    default: return 32;
    }
}

}

namespace ImageDecoder {

QVector<ImgXPage> decodeData(const QByteArray &dataIn, const QString &suffix, int page, const LoadOptions &options)
{
    if (dataIn.isEmpty())
        throw ImgXError(QStringLiteral("The file is empty (0 bytes)."));
    QByteArray data = dataIn;
    int format = FormatSniffer::detect(data.left(4096), data.right(26), data.size(), suffix);
    if (format == ImgXFormatUnknown && suffix.compare(QLatin1String("dib"), Qt::CaseInsensitive) == 0) {
        const QByteArray bmp = DibCodec::withFileHeader(data);
        if (!bmp.isEmpty()) {
            data = bmp;
            format = ImgXFormatBMP;
        }
    }

    if (format != ImgXFormatUnknown) {
        const QString problem = FileCompleteness::problem(data, format);
        if (!problem.isEmpty())
            throw ImgXError(problem);
    }

    QVector<ImgXPage> pages;
    switch (format) {
    case ImgXFormatJPG:
    case ImgXFormatPNG:
    case ImgXFormatGIF:
    case ImgXFormatBMP:
    case ImgXFormatICO:
    case ImgXFormatCUR:
    case ImgXFormatWBMP:
        pages = QtDecoder::decode(data, format, page, options);
        break;
    case ImgXFormatTIF:
        if (const QString problem = TiffLayout::unreadable(data); !problem.isEmpty())
            throw ImgXError(problem);
        pages = QtDecoder::decode(data, format, page, options);
        break;
    case ImgXFormatPSD:
    case ImgXFormatPCX:
    case ImgXFormatTGA:
    case ImgXFormatPCD:
        pages = MagickCodec::decode(data, format, page);
        break;
    case ImgXFormatWMF:
    case ImgXFormatEMF:
        pages = MetafileReader::decode(data, format, page);
        break;
    default:
        throw ImgXError(QStringLiteral("The file is not an image in a format this program can read "
                                       "(its content matches none of JPEG, PNG, GIF, BMP, TIFF, ICO, CUR, PSD, "
                                       "PCX, TGA, PCD, WBMP, WMF or EMF)."));
    }

    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    for (ImgXPage &p : pages) {
        p.format = format;
        const int stored = StoredDepth::read(buffer, format, p.pageIndex);
        p.bitsPerPixel = stored > 0 ? stored : depthOfImage(p.image);
    }
    return pages;
}

QVector<ImgXPage> decodeFile(const QString &path, int page, const LoadOptions &options)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw ImgXError(QStringLiteral("The file %1 does not exist.").arg(path));
    if (!info.isFile())
        throw ImgXError(QStringLiteral("%1 is not a file.").arg(path));
    if (info.size() > ImagingLimits::memoryCap())
        throw ImgXError(QStringLiteral("The file %1 is too large to open (%2 MB).")
                            .arg(path)
                            .arg(info.size() / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ImgXError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    // A large file goes to memory faulted in at once (see PrefaultedMemory);
    // `data` only borrows it, and nothing decoded keeps a reference to it.
    const bool large = info.size() >= kPrefaultBytes;
    PrefaultedMemory memory(large ? size_t(info.size()) : 0);
    QByteArray data;
    if (large) {
        if (!memory.data())
            throw ImgXError(QStringLiteral("Not enough memory to read %1.").arg(path));
        if (file.read(memory.data(), info.size()) != info.size())
            throw ImgXError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        data = QByteArray::fromRawData(memory.data(), int(info.size()));
    } else {
        data = file.readAll();
        if (data.size() != info.size())
            throw ImgXError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    }

    QVector<ImgXPage> pages = decodeData(data, info.suffix(), page, options);
    const QString fullPath = info.absoluteFilePath();
    for (ImgXPage &p : pages) {
        p.filePath = fullPath;
        p.fileName = info.fileName();
    }
    return pages;
}

}
