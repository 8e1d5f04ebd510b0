#include "PictureLoader.h"

#include "FormatSniffer.h"
#include "ImageDecoder.h"
#include "ImgXDocument.h"
#include "LenientHeaders.h"
#include "StoredDepth.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// The entry of an icon or cursor that best fits the wanted size: an exact
// match, else the closest area; with no wanted size the largest. Deeper
// colour breaks ties.
QImage pickIconEntry(const QByteArray &data, int format, int width, int height)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    reader.setDecideFormatFromContent(false);
    const int count = qMax(1, reader.imageCount());
    QImage best;
    qint64 bestScore = 0;
    int bestDepth = -1;
    const bool wanted = width > 0 && height > 0;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        QImage image;
        if (!reader.read(&image) || image.isNull())
            continue;
        QBuffer depthBuffer;
        depthBuffer.setData(data);
        depthBuffer.open(QIODevice::ReadOnly);
        const int depth = StoredDepth::read(depthBuffer, format, i);
        const qint64 area = qint64(image.width()) * image.height();
        // Higher is better.
        const qint64 score = !wanted ? area
            : image.size() == QSize(width, height) ? std::numeric_limits<qint64>::max()
                                                   : -qAbs(area - qint64(width) * height);
        if (best.isNull() || score > bestScore || (score == bestScore && depth > bestDepth)) {
            best = image;
            bestScore = score;
            bestDepth = depth;
        }
    }
    if (best.isNull())
        throw ImgXError(QStringLiteral("Cannot read the icon: %1").arg(reader.errorString()));
    return best;
}

}

namespace PictureLoader {

QImage LoadPicture(const QString &path, int width, int height)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw ImgXError(QStringLiteral("Cannot open %1: %2").arg(path, info.exists() ? file.errorString()
                                                                                    : QStringLiteral("no such file")));
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        throw ImgXError(QStringLiteral("The file %1 is empty.").arg(path));
    const int format = FormatSniffer::detect(data.left(4096), data.right(26), data.size(), info.suffix());
    if (format == ImgXFormatICO || format == ImgXFormatCUR)
        return pickIconEntry(LenientHeaders::repaired(data, format), format, width, height);
    const QVector<ImgXPage> pages = ImageDecoder::decodeData(data, info.suffix(), 0, LoadOptions());
    return pages.first().image;
}

}
