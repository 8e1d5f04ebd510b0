#include "ImageDecoder.h"

#include "DibCodec.h"
#include "FileCompleteness.h"
#include "FormatSniffer.h"
#include "ImagingLimits.h"
#include "LenientHeaders.h"
#include "MagickCodec.h"
#include "MetafileReader.h"
#include "PrefaultedMemory.h"
#include "QtDecoder.h"
#include "StoredDepth.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <mutex>

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

// Fills in what the decoders leave to the load entry point: the format,
// the file and, for a decoded page, the depth the file stores it at.
void describe(ImgXPage &page, int format, const QByteArray &data, const QFileInfo &file)
{
    page.format = format;
    if (!file.filePath().isEmpty()) {
        page.filePath = file.absoluteFilePath();
        page.fileName = file.fileName();
    }
    if (page.image.isNull())
        return;
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    const int stored = StoredDepth::read(buffer, format, page.pageIndex);
    page.bitsPerPixel = stored > 0 ? stored : depthOfImage(page.image);
}

// The pages of a file of many pages, decoded as they are wanted. Holds its
// own copy of the file's bytes.
class FilePages : public ImgXPageSource {
public:
    FilePages(const QByteArray &data, int format, const QFileInfo &file)
        : m_data(data.constData(), data.size()), m_format(format), m_file(file), m_reader(m_data, format)
    {
    }
    int count() const { return m_reader.count(); }
    ImgXPage decode(int index) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ImgXPage page = m_reader.read(index, LoadOptions());
        describe(page, m_format, m_data, m_file);
        return page;
    }
    qint64 heldBytes() const override { return m_data.size(); }

private:
    const QByteArray m_data;
    const int m_format;
    const QFileInfo m_file;
    std::mutex m_mutex;
    QtPageReader m_reader;
};

// Page `page` decoded; of a file of many pages, the others are left to
// their source until they are wanted (a thumbnail load gets that page only).
QVector<ImgXPage> qtPages(const QByteArray &data, int format, int page, const LoadOptions &options,
                          const QFileInfo &file)
{
    QtPageReader reader(data, format);
    if (reader.count() == 1 || options.thumbnailSize > 0) {
        ImgXPage only = reader.read(page, options);
        describe(only, format, data, file);
        return {only};
    }
    auto source = std::make_shared<FilePages>(data, format, file);
    ImgXPage shown = source->decode(page);
    QVector<ImgXPage> pages(source->count());
    for (int i = 0; i < pages.size(); ++i) {
        pages[i].pageIndex = i;
        pages[i].source = source;
        describe(pages[i], format, data, file);
    }
    pages[page] = shown;
    pages[page].source = source;
    return pages;
}

QVector<ImgXPage> decodeBytes(const QByteArray &dataIn, const QString &suffix, int page, const LoadOptions &options,
                              const QFileInfo &file)
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

    data = LenientHeaders::repaired(data, format);
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
    case ImgXFormatTIF:
        return qtPages(data, format, page, options, file);
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

    for (ImgXPage &p : pages)
        describe(p, format, data, file);
    return pages;
}

}

namespace ImageDecoder {

QVector<ImgXPage> decodeData(const QByteArray &data, const QString &suffix, int page, const LoadOptions &options)
{
    return decodeBytes(data, suffix, page, options, QFileInfo());
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

    return decodeBytes(data, info.suffix(), page, options, info);
}

}
