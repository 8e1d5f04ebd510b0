#include "TiffDecoder.h"

#include "ImagingLimits.h"
#include "ImgXDocument.h"

#include <QFloat16>

#include <tiffio.h>

#include <cmath>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <vector>

namespace {

[[noreturn]] void refuse(const QString &why)
{
    throw ImgXError(QStringLiteral("Cannot read the TIFF image: %1").arg(why));
}

// The file's bytes as libtiff reads them, and the first error it reports.
// Errors go to this handle alone, never through libtiff's process-wide
// handlers, which Qt's reader uses at the same time on other threads.
struct Source {
    const QByteArray &data;
    toff_t pos = 0;
    QString error;
};

tmsize_t readBytes(thandle_t handle, void *buffer, tmsize_t size)
{
    auto *source = static_cast<Source *>(handle);
    const toff_t length = toff_t(source->data.size());
    const toff_t left = source->pos < length ? length - source->pos : 0;
    const toff_t n = qMin(left, toff_t(qMax<tmsize_t>(size, 0)));
    if (n > 0)
        memcpy(buffer, source->data.constData() + source->pos, size_t(n));
    source->pos += n;
    return tmsize_t(n);
}

tmsize_t writeBytes(thandle_t, void *, tmsize_t) { return -1; }

toff_t seekTo(thandle_t handle, toff_t offset, int whence)
{
    auto *source = static_cast<Source *>(handle);
    const toff_t base = whence == SEEK_CUR ? source->pos : whence == SEEK_END ? toff_t(source->data.size()) : 0;
    source->pos = base + offset;   // a negative offset arrives wrapped around, and so it adds up
    return source->pos;
}

int closeSource(thandle_t) { return 0; }

toff_t sizeOf(thandle_t handle) { return toff_t(static_cast<Source *>(handle)->data.size()); }

int mapSource(thandle_t handle, void **base, toff_t *size)
{
    auto *source = static_cast<Source *>(handle);
    *base = const_cast<char *>(source->data.constData());
    *size = toff_t(source->data.size());
    return 1;
}

void unmapSource(thandle_t, void *, toff_t) {}

int onError(TIFF *, void *user, const char *, const char *format, va_list args)
{
    auto *source = static_cast<Source *>(user);
    if (source->error.isEmpty()) {
        char text[512];
        vsnprintf(text, sizeof text, format, args);
        source->error = QString::fromLocal8Bit(text);
    }
    return 1;
}

// Unknown tags and odd but readable values: no reason to refuse a picture.
int onWarning(TIFF *, void *, const char *, const char *, va_list) { return 1; }

using TiffHandle = std::unique_ptr<TIFF, void (*)(TIFF *)>;

TiffHandle open(Source &source)
{
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &source);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(ImagingLimits::memoryCap()));
    TIFF *tiff = TIFFClientOpenExt("TIFF", "r", &source, readBytes, writeBytes, seekTo, closeSource, sizeOf,
                                   mapSource, unmapSource, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tiff, TIFFClose);
}

struct Layout {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t format = SAMPLEFORMAT_UINT;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t planar = PLANARCONFIG_CONTIG;
    int colours = 1;             // grey or palette index 1, RGB 3, CMYK 4
    bool alpha = false;          // the sample after the colours
    bool premultiplied = false;
    // Floating-point and signed samples have no fixed white: they are
    // stretched over the range the picture's colour samples span.
    bool stretched() const { return format == SAMPLEFORMAT_IEEEFP || format == SAMPLEFORMAT_INT; }
    int channels() const { return colours + (alpha ? 1 : 0); }
};

int coloursOf(const Layout &l, TIFF *tiff)
{
    switch (l.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_PALETTE: return 1;
    case PHOTOMETRIC_RGB: return 3;
    case PHOTOMETRIC_SEPARATED: {
        uint16_t inks = INKSET_CMYK;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inks);
        if (inks == INKSET_CMYK)
            return 4;
        break;
    }
    default: break;
    }
    refuse(QStringLiteral("its colours are stored in a way (photometric interpretation %1) this program cannot show.")
               .arg(l.photometric));
}

Layout layoutOf(TIFF *tiff)
{
    Layout l;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &l.height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &l.format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &l.planar);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    l.colours = coloursOf(l, tiff);
    if (l.samples < l.colours || l.samples > l.colours + 8)
        refuse(QStringLiteral("it has %1 samples a pixel for its %2 colour samples.").arg(l.samples).arg(l.colours));
    uint16_t extraCount = 0;
    uint16_t *extra = nullptr;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    // An alpha sample beside four inks has no room in a screen pixel; the
    // inks are shown opaque.
    if (l.samples > l.colours && l.colours < 4 && extraCount > 0 && extra
        && (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA)) {
        l.alpha = true;
        l.premultiplied = extra[0] == EXTRASAMPLE_ASSOCALPHA;
    }

    const bool integer = l.format == SAMPLEFORMAT_UINT || l.format == SAMPLEFORMAT_INT;
    const bool floating = l.format == SAMPLEFORMAT_IEEEFP && (l.bits == 16 || l.bits == 32 || l.bits == 64);
    // libtiff puts samples of 16 bits and more in this machine's byte
    // order; of those, 16 and 32 bits are read here.
    if (!(integer && (l.bits <= 16 || l.bits == 32) && l.bits >= 1) && !floating)
        refuse(QStringLiteral("it stores %1-bit samples of a kind (sample format %2) this program cannot show.")
                   .arg(l.bits)
                   .arg(l.format));
    if (l.photometric == PHOTOMETRIC_PALETTE && (l.bits > 8 || l.format != SAMPLEFORMAT_UINT))
        refuse(QStringLiteral("its palette has %1-bit indexes; this program shows palettes of up to 256 colours.").arg(l.bits));
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    if ((compression == COMPRESSION_JPEG || compression == COMPRESSION_OJPEG) && l.bits != 8)
        refuse(QStringLiteral("its %1-bit samples are JPEG-compressed, and the JPEG decoder here reads 8-bit "
                              "samples only.").arg(l.bits));
    return l;
}

template <typename T>
T load(const uchar *row, qint64 index)
{
    T value;
    memcpy(&value, row + index * qint64(sizeof(T)), sizeof(T));
    return value;
}

double signedValue(quint32 raw, int bits)
{
    const qint64 value = qint64(raw);
    return double(bits < 64 && (raw >> (bits - 1)) & 1 ? value - (qint64(1) << bits) : value);
}

// `count` samples of one row of a strip or tile, as numbers. Samples of
// 16 and 32 bits come in this machine's byte order; others stay packed,
// most significant bit first.
void unpack(const uchar *row, qint64 count, const Layout &l, double *out)
{
    const int bits = l.bits;
    if (l.format == SAMPLEFORMAT_IEEEFP) {
        for (qint64 i = 0; i < count; ++i)
            out[i] = bits == 16 ? double(load<qfloat16>(row, i)) : bits == 32 ? double(load<float>(row, i)) : load<double>(row, i);
        return;
    }
    const bool isSigned = l.format == SAMPLEFORMAT_INT;
    for (qint64 i = 0; i < count; ++i) {
        quint32 raw = 0;
        if (bits == 8) {
            raw = row[i];
        } else if (bits == 16) {
            raw = load<quint16>(row, i);
        } else if (bits == 32) {
            raw = load<quint32>(row, i);
        } else {
            const qint64 first = i * bits;
            const int shift = int(first & 7);
            const int bytes = (shift + bits + 7) / 8;
            quint64 window = 0;
            for (int k = 0; k < bytes; ++k)
                window = (window << 8) | row[(first >> 3) + k];
            raw = quint32((window >> (bytes * 8 - shift - bits)) & ((quint64(1) << bits) - 1));
        }
        out[i] = isSigned ? signedValue(raw, bits) : double(raw);
    }
}

// Hands every row of every strip or tile of the page to take(x, y, plane,
// values, pixels): `pixels` pixels from (x, y) on, of sample `plane` alone
// where the samples are stored as separate planes (else plane is -1 and
// the values hold every sample of each pixel in turn).
template <typename Take>
void readRows(TIFF *tiff, const Source &source, const Layout &l, Take &&take)
{
    const bool tiled = TIFFIsTiled(tiff);
    uint32_t blockWidth = l.width, blockHeight = l.height;
    if (tiled) {
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &blockWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &blockHeight);
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &blockHeight);
        blockHeight = qMin(blockHeight, l.height);
    }
    const tmsize_t blockBytes = tiled ? TIFFTileSize(tiff) : TIFFStripSize(tiff);
    const tmsize_t rowBytes = tiled ? TIFFTileRowSize(tiff) : TIFFScanlineSize(tiff);
    const int planes = l.planar == PLANARCONFIG_SEPARATE ? l.samples : 1;
    const int perPixel = planes == 1 ? l.samples : 1;
    const qint64 cap = ImagingLimits::memoryCap();
    if (blockWidth == 0 || blockHeight == 0 || blockBytes <= 0 || rowBytes <= 0 || blockBytes > cap
        || qint64(blockWidth) * perPixel > cap / qint64(sizeof(double)))
        refuse(source.error.isEmpty() ? QStringLiteral("its strips or tiles have no usable size.") : source.error);
    std::vector<uchar> block(static_cast<size_t>(blockBytes));
    std::vector<double> values(size_t(blockWidth) * size_t(perPixel));
    for (int plane = 0; plane < planes; ++plane) {
        for (uint32_t y = 0; y < l.height; y += blockHeight) {
            for (uint32_t x = 0; x < l.width; x += blockWidth) {
                const tmsize_t got = tiled ? TIFFReadTile(tiff, block.data(), x, y, 0, uint16_t(plane))
                                           : TIFFReadEncodedStrip(tiff, TIFFComputeStrip(tiff, y, uint16_t(plane)),
                                                                  block.data(), blockBytes);
                if (got < 0)
                    refuse(source.error.isEmpty() ? QStringLiteral("its pixel data is damaged.") : source.error);
                const uint32_t rows = qMin(blockHeight, l.height - y);
                const uint32_t pixels = qMin(blockWidth, l.width - x);
                if (tmsize_t(rows) * rowBytes > blockBytes)
                    refuse(QStringLiteral("its strips or tiles are smaller than their rows."));
                for (uint32_t r = 0; r < rows; ++r) {
                    unpack(block.data() + tmsize_t(r) * rowBytes, qint64(pixels) * perPixel, l, values.data());
                    take(x, y + r, planes == 1 ? -1 : plane, values.data(), pixels);
                }
            }
        }
    }
}

// Turns a sample into the byte shown for it.
struct Scale {
    double low = 0;
    double factor = 1;   // bytes per unit above low
    uchar operator()(double value) const
    {
        const double byte = (value - low) * factor;
        return std::isnan(byte) ? 0 : uchar(qBound(0.0, std::round(byte), 255.0));
    }
};

// The range the colour samples span (finite values only).
Scale stretchOf(TIFF *tiff, const Source &source, const Layout &l)
{
    double low = INFINITY, high = -INFINITY;
    readRows(tiff, source, l, [&](uint32_t, uint32_t, int plane, const double *values, uint32_t pixels) {
        const int perPixel = plane < 0 ? l.samples : 1;
        for (qint64 i = 0; i < qint64(pixels) * perPixel; ++i) {
            const int sample = plane < 0 ? int(i % perPixel) : plane;
            if (sample < l.colours && std::isfinite(values[i])) {
                low = qMin(low, values[i]);
                high = qMax(high, values[i]);
            }
        }
    });
    if (!(high > low))   // one value throughout, or none: shown as it stands between 0 and 1
        return Scale{0, 255};
    return Scale{low, 255 / (high - low)};
}

QImage pixelsOf(TIFF *tiff, const Source &source, const Layout &l)
{
    const QImage::Format format = !l.alpha ? QImage::Format_RGB32
        : l.premultiplied                  ? QImage::Format_ARGB32_Premultiplied
                                           : QImage::Format_ARGB32;
    QImage image = ImagingLimits::newImage(QSize(int(l.width), int(l.height)), format);
    const bool palette = l.photometric == PHOTOMETRIC_PALETTE;
    const double whole = l.format == SAMPLEFORMAT_IEEEFP ? 1.0
        : l.format == SAMPLEFORMAT_INT                   ? qMax(1.0, double((quint64(1) << (l.bits - 1)) - 1))
                                                         : double((quint64(1) << l.bits) - 1);
    const Scale plain{0, 255 / whole};
    const Scale colour = palette ? Scale{0, 1} : l.stretched() ? stretchOf(tiff, source, l) : plain;
    const int channels = l.channels();
    // Each sample lands in a byte of its own in the pixel; the colour
    // model turns the bytes into a colour once every plane is in.
    readRows(tiff, source, l, [&](uint32_t x, uint32_t y, int plane, const double *values, uint32_t pixels) {
        uchar *line = image.scanLine(int(y)) + qint64(x) * 4;
        const int perPixel = plane < 0 ? l.samples : 1;
        for (qint64 p = 0; p < pixels; ++p) {
            for (int k = 0; k < perPixel; ++k) {
                const int sample = plane < 0 ? k : plane;
                const double value = values[p * perPixel + k];
                if (sample < channels)
                    line[p * 4 + sample] = sample < l.colours ? colour(value) : plain(value);
            }
        }
    });
    return image;
}

QVector<QRgb> paletteOf(TIFF *tiff, const Layout &l)
{
    uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
        refuse(QStringLiteral("it has a palette layout but no palette."));
    const auto byteOf = [](uint16_t value) { return (value + 128) / 257; };
    QVector<QRgb> table(1 << l.bits);
    for (int i = 0; i < table.size(); ++i)
        table[i] = qRgb(byteOf(red[i]), byteOf(green[i]), byteOf(blue[i]));
    return table;
}

// From the sample bytes of each pixel to its colour.
void toColours(QImage &image, TIFF *tiff, const Layout &l)
{
    const QVector<QRgb> table = l.photometric == PHOTOMETRIC_PALETTE ? paletteOf(tiff, l) : QVector<QRgb>();
    for (int y = 0; y < image.height(); ++y) {
        uchar *bytes = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const uchar *s = bytes + x * 4;
            QRgb rgb = 0;
            switch (l.photometric) {
            case PHOTOMETRIC_MINISBLACK: rgb = qRgb(s[0], s[0], s[0]); break;
            case PHOTOMETRIC_MINISWHITE: rgb = qRgb(255 - s[0], 255 - s[0], 255 - s[0]); break;
            case PHOTOMETRIC_PALETTE: rgb = table.value(s[0]); break;
            case PHOTOMETRIC_RGB: rgb = qRgb(s[0], s[1], s[2]); break;
            default: {   // CMYK: the inks taken off white
                const int white = 255 - s[3];
                rgb = qRgb((255 - s[0]) * white / 255, (255 - s[1]) * white / 255, (255 - s[2]) * white / 255);
            }
            }
            const int alpha = l.alpha ? s[l.colours] : 255;
            if (l.premultiplied)
                rgb = qRgb(qMin(qRed(rgb), alpha), qMin(qGreen(rgb), alpha), qMin(qBlue(rgb), alpha));
            reinterpret_cast<QRgb *>(bytes)[x] = (rgb & 0xffffff) | (QRgb(alpha) << 24);
        }
    }
}

}

namespace TiffDecoder {

QImage decode(const QByteArray &data, int page)
{
    Source source{data, 0, QString()};
    const TiffHandle tiff = open(source);
    if (!tiff)
        refuse(source.error.isEmpty() ? QStringLiteral("the file has no readable first directory.") : source.error);
    if (page > 0 && !TIFFSetDirectory(tiff.get(), tdir_t(page)))
        refuse(source.error.isEmpty() ? QStringLiteral("page %1 cannot be found.").arg(page + 1) : source.error);
    const Layout layout = layoutOf(tiff.get());
    ImagingLimits::checkDecodeSize(layout.width, layout.height);
    try {
        QImage image = pixelsOf(tiff.get(), source, layout);
        toColours(image, tiff.get(), layout);
        return image;
    } catch (const std::bad_alloc &) {
        throw ImgXError(QStringLiteral("Not enough memory to read the TIFF image."));
    }
}

}
