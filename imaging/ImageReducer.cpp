#include "ImageReducer.h"

#include "ImgXDocument.h"

#include <vector>

namespace {

// Converting more than this whole is left to the band-wise path.
constexpr qint64 kWholeConversionBytes = qint64(64) * 1024 * 1024;
// The rows converted at a time take about this much.
constexpr qint64 kBandBytes = qint64(8) * 1024 * 1024;

bool is32Bit(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

int bit(const uchar *bits, int x, bool lsbFirst)
{
    return (bits[x >> 3] >> (lsbFirst ? (x & 7) : 7 - (x & 7))) & 1;
}

// Sums of the source pixels falling on one row of the target.
class RowSums {
public:
    RowSums(int sourceWidth, int targetWidth)
        : m_column(size_t(sourceWidth)), m_columns(size_t(targetWidth)), m_sums(size_t(targetWidth) * 4)
    {
        for (int x = 0; x < sourceWidth; ++x) {
            m_column[size_t(x)] = int(qint64(x) * targetWidth / sourceWidth);
            ++m_columns[size_t(m_column[size_t(x)])];
        }
    }
    // A 1-bit row: per target pixel only the number of set bits matters.
    void addBits(const uchar *bits, bool lsbFirst, QRgb zero, QRgb one)
    {
        const size_t columns = m_columns.size();
        int x = 0;
        for (size_t t = 0; t < columns; ++t) {
            const int end = x + int(m_columns[t]);
            int ones = 0;
            for (; x < end && (x & 7); ++x)
                ones += bit(bits, x, lsbFirst);
            for (; x + 8 <= end; x += 8)
                ones += qPopulationCount(quint8(bits[x >> 3]));
            for (; x < end; ++x)
                ones += bit(bits, x, lsbFirst);
            const quint64 zeros = quint64(m_columns[t]) - quint64(ones);
            quint64 *sum = &m_sums[t * 4];
            sum[0] += zeros * qAlpha(zero) + quint64(ones) * qAlpha(one);
            sum[1] += zeros * qRed(zero) + quint64(ones) * qRed(one);
            sum[2] += zeros * qGreen(zero) + quint64(ones) * qGreen(one);
            sum[3] += zeros * qBlue(zero) + quint64(ones) * qBlue(one);
        }
        ++m_rows;
    }
    void add(const QRgb *line)
    {
        for (size_t x = 0; x < m_column.size(); ++x) {
            quint64 *sum = &m_sums[size_t(m_column[x]) * 4];
            const QRgb p = line[x];
            sum[0] += qAlpha(p);
            sum[1] += qRed(p);
            sum[2] += qGreen(p);
            sum[3] += qBlue(p);
        }
        ++m_rows;
    }
    // Writes the averages to line and starts again.
    void flush(QRgb *line)
    {
        for (size_t x = 0; x < m_columns.size(); ++x) {
            const quint64 n = quint64(m_columns[x]) * quint64(m_rows);
            quint64 *sum = &m_sums[x * 4];
            const auto mean = [n](quint64 s) { return int((s + n / 2) / n); };
            line[x] = qRgba(mean(sum[1]), mean(sum[2]), mean(sum[3]), mean(sum[0]));
            sum[0] = sum[1] = sum[2] = sum[3] = 0;
        }
        m_rows = 0;
    }
    bool empty() const { return m_rows == 0; }

private:
    std::vector<int> m_column;       // source column -> target column
    std::vector<quint32> m_columns;  // source columns per target column
    std::vector<quint64> m_sums;     // alpha, red, green, blue per target column
    quint32 m_rows = 0;
};

}

namespace ImageReducer {

bool convertsLarge(const QImage &image)
{
    return !is32Bit(image.format()) && qint64(image.width()) * image.height() * 4 > kWholeConversionBytes;
}

QImage reduce(const QImage &image, const QSize &target)
{
    const int sw = image.width(), sh = image.height(), tw = target.width(), th = target.height();
    if (tw <= 0 || th <= 0 || tw > sw || th > sh)
        throw ImgXError(QStringLiteral("Resize: cannot reduce %1 x %2 pixels to %3 x %4.").arg(sw).arg(sh).arg(tw).arg(th));
    // Averages are taken on premultiplied colour, so what is transparent
    // does not tint what is not.
    const bool alpha = image.hasAlphaChannel();
    const QImage::Format work = alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    QImage out(target, work);
    if (out.isNull())
        throw ImgXError(QStringLiteral("Resize: not enough memory for %1 x %2 pixels.").arg(tw).arg(th));
    RowSums sums(sw, tw);
    const int band = int(qBound<qint64>(1, kBandBytes / (qint64(sw) * 4), qint64(sh)));
    int targetRow = 0;
    // Source rows fall on target rows in order; a row done is written out.
    const auto flushOnNewRow = [&](int sourceRow) {
        const int row = int(qint64(sourceRow) * th / sh);
        if (row != targetRow) {
            sums.flush(reinterpret_cast<QRgb *>(out.scanLine(targetRow)));
            targetRow = row;
        }
    };
    const bool bits = image.depth() == 1 && image.colorCount() == 2;
    const QRgb zero = bits ? qPremultiply(image.color(0)) : 0, one = bits ? qPremultiply(image.color(1)) : 0;
    for (int top = 0; top < sh; top += band) {
        const int rows = qMin(band, sh - top);
        if (bits) {
            for (int r = 0; r < rows; ++r) {
                flushOnNewRow(top + r);
                sums.addBits(image.constScanLine(top + r), image.format() == QImage::Format_MonoLSB, zero, one);
            }
            continue;
        }
        const QImage strip = image.copy(0, top, sw, rows).convertToFormat(work);
        if (strip.isNull())
            throw ImgXError(QStringLiteral("Resize: not enough memory for %1 rows of %2 pixels.").arg(rows).arg(sw));
        for (int r = 0; r < rows; ++r) {
            flushOnNewRow(top + r);
            sums.add(reinterpret_cast<const QRgb *>(strip.constScanLine(r)));
        }
    }
    if (!sums.empty())
        sums.flush(reinterpret_cast<QRgb *>(out.scanLine(targetRow)));
    return alpha ? out.convertToFormat(QImage::Format_ARGB32) : out;
}

}
