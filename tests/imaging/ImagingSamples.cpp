#include "ImagingSamples.h"

#include <Magick++.h>
#include <tiffio.h>
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QtEndian>

#include <atomic>
#include <sched.h>
#include <thread>
#include <vector>

extern "C" {
#include <uemf.h>
#include <uwmf.h>
}

namespace ImagingSamples {

QImage smooth(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(40 + 160 * x / qMax(1, width - 1), 60 + 120 * y / qMax(1, height - 1), 120);
    }
    QPainter painter(&image);
    painter.fillRect(0, 0, qMax(1, width / 4), qMax(1, height / 4), QColor(220, 20, 20));
    return image;
}

QImage noisy(int width, int height, bool alpha)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int a = alpha ? int((state >> 24) & 0xff) : 255;
            line[x] = qRgba(int(state & 0xff), int((state >> 8) & 0xff), int((state >> 16) & 0xff), a);
        }
    }
    return image;
}

int maxDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            worst = qMax(worst, qAbs(qRed(p[col]) - qRed(q[col])));
            worst = qMax(worst, qAbs(qGreen(p[col]) - qGreen(q[col])));
            worst = qMax(worst, qAbs(qBlue(p[col]) - qBlue(q[col])));
            worst = qMax(worst, qAbs(qAlpha(p[col]) - qAlpha(q[col])));
        }
    }
    return worst;
}

int maxPremultipliedDifference(const QImage &a, const QImage &b)
{
    return maxDifference(a.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                         b.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

Magick::Image toMagick(const QImage &imageIn)
{
    const bool alpha = imageIn.hasAlphaChannel();
    const QImage image = imageIn.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    Magick::Image out(size_t(image.width()), size_t(image.height()), "BGRA", Magick::CharPixel, image.constBits());
    out.matte(alpha);
    return out;
}

namespace {

void putLe16(QByteArray &out, int value)
{
    char bytes[2];
    qToLittleEndian<quint16>(quint16(value), bytes);
    out.append(bytes, 2);
}

void putLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

// ImageMagick's TIFF coder installs libtiff error handlers that report to
// the exception of its last read or write, long gone afterwards; a later
// error in Qt's TIFF reader would then stop the test program. The program
// itself never lets ImageMagick see a TIFF.
void releaseLibtiffHandlers(const char *coder)
{
    if (qstrcmp(coder, "TIFF") == 0) {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    }
}
}

bool writeMagick(Magick::Image image, const QString &path, const char *coder)
{
    bool written = true;
    try {
        image.write(std::string(coder) + ":" + QFile::encodeName(path).toStdString());
    } catch (const Magick::Exception &) {
        written = false;
    }
    releaseLibtiffHandlers(coder);
    return written;
}

bool writeMagickList(std::list<Magick::Image> images, const QString &path, const char *coder)
{
    bool written = true;
    try {
        Magick::writeImages(images.begin(), images.end(),
                            std::string(coder) + ":" + QFile::encodeName(path).toStdString());
    } catch (const Magick::Exception &) {
        written = false;
    }
    releaseLibtiffHandlers(coder);
    return written;
}

QByteArray jpegWithOrientation(const QImage &image, int orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    // APP1 "Exif", little-endian TIFF header, one IFD with tag 0x0112.
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    QByteArray ifd(2 + 12 + 4, '\0');
    qToLittleEndian<quint16>(1, ifd.data());
    qToLittleEndian<quint16>(0x0112, ifd.data() + 2);
    qToLittleEndian<quint16>(3, ifd.data() + 4);
    qToLittleEndian<quint32>(1, ifd.data() + 6);
    qToLittleEndian<quint16>(quint16(orientation), ifd.data() + 10);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff + ifd;
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xff)).append(payload);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

bool writeWmf(const QString &path, QSizeF inches, int unitsPerInch, const WmfDrawing &draw)
{
    const QByteArray name = QFile::encodeName(path);
    WMFTRACK *wt = nullptr;
    WMFHANDLES *wht = nullptr;
    if (wmf_start(name.constData(), 4096, 4096, &wt) != 0 || wmf_htable_create(16, 16, &wht) != 0)
        return false;
    const WmfAdd add = [wt](char *record) { return wmf_append(reinterpret_cast<U_METARECORD *>(record), wt, 1) == 0; };
    U_PAIRF *size = U_PAIRF_set(float(inches.width()), float(inches.height()));
    const bool ok = wmf_header_append(reinterpret_cast<U_METARECORD *>(U_WMRHEADER_set(size, unsigned(unitsPerInch))), wt, 1) == 0
        && draw(add, wht) && add(U_WMREOF_set()) && wmf_finish(wt) == 0;
    std::free(size);
    wmf_free(&wt);
    wmf_htable_free(&wht);
    return ok;
}

bool writeShapeWmf(const QString &path)
{
    return writeWmf(path, QSizeF(200 / 96.0, 100 / 96.0), 96, [](const WmfAdd &add, WMFHANDLES *wht) {
        uint32_t brush = 0;
        return add(U_WMRSETWINDOWORG_set(U_POINT16{0, 0})) && add(U_WMRSETWINDOWEXT_set(U_POINT16{200, 100}))
            && add(wcreatebrushindirect_set(&brush, wht, U_WLOGBRUSH_set(U_BS_SOLID, U_RGB(255, 0, 0), 0)))
            && add(wselectobject_set(brush, wht)) && add(U_WMRRECTANGLE_set(U_RECT16{20, 10, 120, 60}));
    });
}

bool writeShapeEmf(const QString &path)
{
    // The frame is 200 x 100 pixels of the reference screen in 0.01 mm.
    return writeEmf(path, QRect(0, 0, 200, 100), QRect(0, 0, 5293, 2647), [](const EmfAdd &add, EMFHANDLES *eht) {
        uint32_t brush = 0;
        return add(createbrushindirect_set(&brush, eht, logbrush_set(U_BS_SOLID, colorref_set(255, 0, 0), 0)))
            && add(selectobject_set(brush, eht)) && add(U_EMRRECTANGLE_set(rectl_set(U_POINTL{20, 10}, U_POINTL{120, 60})));
    });
}

QPoint dotOf(int frame)
{
    return QPoint(frame * 7 % 400, frame * 13 % 400);
}

QByteArray animationOfDots(int frames)
{
    QByteArray gif("GIF89a");
    putLe16(gif, 400);
    putLe16(gif, 400);
    gif.append("\x80\x00\x00", 3).append("\x00\x00\x00\xff\xff\xff", 6);   // black, white
    for (int i = 0; i < frames; ++i) {
        gif.append("\x21\xf9\x04\x04\x02\x00\x00\x00", 8);   // kept under the next frame
        gif.append('\x2c');
        putLe16(gif, dotOf(i).x());
        putLe16(gif, dotOf(i).y());
        putLe16(gif, 1);
        putLe16(gif, 1);
        gif.append('\x00');
        gif.append("\x02\x02\x4c\x01\x00", 5);   // clear, pixel 1, end (3-bit codes)
    }
    return gif.append('\x3b');
}

QColor colourOfPage(int page)
{
    return QColor(page % 256, page / 256 % 256, 7);
}

QByteArray tiffOfPages(int pages, int side)
{
    const int rowBytes = side * 3;
    QByteArray tiff("II*\0", 4);
    putLe32(tiff, 0);   // first directory, set below
    const quint32 depths = quint32(tiff.size());
    putLe16(tiff, 8), putLe16(tiff, 8), putLe16(tiff, 8);
    const quint32 grey = quint32(tiff.size());
    tiff.append(QByteArray(rowBytes, char(0x80)));
    qint64 linkAt = 4;
    for (int page = 0; page < pages; ++page) {
        const quint32 row0 = quint32(tiff.size());
        const QColor c = colourOfPage(page);
        for (int x = 0; x < side; ++x)
            tiff.append(char(c.red())).append(char(c.green())).append(char(c.blue()));
        const quint32 offsets = quint32(tiff.size());
        putLe32(tiff, row0);
        for (int y = 1; y < side; ++y)
            putLe32(tiff, grey);
        const quint32 counts = quint32(tiff.size());
        for (int y = 0; y < side; ++y)
            putLe32(tiff, quint32(rowBytes));
        if (tiff.size() % 2)
            tiff.append('\0');
        qToLittleEndian<quint32>(quint32(tiff.size()), tiff.data() + linkAt);
        const auto entry = [&](int tag, int type, quint32 count, quint32 value) {
            putLe16(tiff, tag);
            putLe16(tiff, type);
            putLe32(tiff, count);
            putLe32(tiff, value);
        };
        putLe16(tiff, 10);
        entry(256, 4, 1, quint32(side));
        entry(257, 4, 1, quint32(side));
        entry(258, 3, 3, depths);
        entry(259, 3, 1, 1);   // not compressed
        entry(262, 3, 1, 2);   // RGB
        entry(273, 4, quint32(side), side == 1 ? row0 : offsets);
        entry(277, 3, 1, 3);
        entry(278, 4, 1, 1);
        entry(279, 4, quint32(side), side == 1 ? quint32(rowBytes) : counts);
        entry(284, 3, 1, 1);
        linkAt = tiff.size();
        putLe32(tiff, 0);
    }
    return tiff;
}

bool writePolygonWmf(const QString &path, qint64 bytes)
{
    return writeWmf(path, QSizeF(1000 / 96.0, 1000 / 96.0), 96, [bytes](const WmfAdd &add, WMFHANDLES *wht) {
        quint32 state = 1;
        const auto next = [&state](int range) {
            state = state * 1664525u + 1013904223u;
            return int((state >> 8) % quint32(range));
        };
        bool ok = add(U_WMRSETWINDOWORG_set(U_POINT16{0, 0})) && add(U_WMRSETWINDOWEXT_set(U_POINT16{1000, 1000}));
        U_POINT16 points[20];
        for (qint64 written = 0, i = 0; ok && written < bytes; ++i) {
            if (i % 100 == 0) {
                uint32_t brush = 0;
                const U_COLORREF colour = U_RGB(next(256), next(256), next(256));
                ok = add(wcreatebrushindirect_set(&brush, wht, U_WLOGBRUSH_set(U_BS_SOLID, colour, 0)))
                    && add(wselectobject_set(brush, wht)) && add(wdeleteobject_set(&brush, wht));
            }
            const int x = next(1000), y = next(1000);
            for (U_POINT16 &p : points)
                p = U_POINT16{int16_t(x + next(60) - 30), int16_t(y + next(60) - 30)};
            ok = ok && add(U_WMRPOLYGON_set(20, points));
            written += 6 + 2 + 20 * 4;
        }
        return ok;
    });
}

void atHalfSpeed(const std::function<void()> &work)
{
    cpu_set_t all, one;
    sched_getaffinity(0, sizeof all, &all);
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    sched_setaffinity(0, sizeof one, &one);
    std::atomic<bool> done{false};
    std::thread busy([&] {
        sched_setaffinity(0, sizeof one, &one);
        while (!done) {
        }
    });
    work();
    done = true;
    busy.join();
    sched_setaffinity(0, sizeof all, &all);
}

bool writeEmf(const QString &path, const QRect &bounds, const QRect &frame, const EmfDrawing &draw)
{
    const QByteArray name = QFile::encodeName(path);
    EMFTRACK *et = nullptr;
    EMFHANDLES *eht = nullptr;
    if (emf_start(name.constData(), 1 << 20, 1 << 20, &et) != 0 || emf_htable_create(16, 16, &eht) != 0)
        return false;
    const EmfAdd add = [et](char *record) { return emf_append(reinterpret_cast<U_ENHMETARECORD *>(record), et, 1) == 0; };
    const auto rect = [](const QRect &r) { return rectl_set(U_POINTL{r.left(), r.top()}, U_POINTL{r.right(), r.bottom()}); };
    const bool ok = add(U_EMRHEADER_set(rect(bounds), rect(frame), nullptr, 0, nullptr, sizel_set(1920, 1080),
                                        sizel_set(508, 286), 0))
        && draw(add, eht) && add(U_EMREOF_set(0, nullptr, et)) && emf_finish(et, eht) == 0;
    emf_free(&et);
    emf_htable_free(&eht);
    return ok;
}

// Points spread at random over 1000 x 1000 units.
static std::vector<U_POINT16> randomPoints(size_t count)
{
    std::vector<U_POINT16> points(count);
    quint32 state = 1;
    for (U_POINT16 &point : points) {
        state = state * 1664525u + 1013904223u;
        point = U_POINT16{int16_t((state >> 8) % 1000), int16_t((state >> 20) % 1000)};
    }
    return points;
}

bool writePolygonEmf(const QString &path, int polygons, int points, int penWidth)
{
    return writeEmf(path, QRect(0, 0, 1000, 1000), QRect(0, 0, 26459, 26459), [=](const EmfAdd &add, EMFHANDLES *eht) {
        uint32_t pen = 0, brush = 0;
        bool ok = add(createpen_set(&pen, eht, logpen_set(U_PS_SOLID, point32_set(penWidth, 0), colorref_set(0, 0, 0))))
            && add(selectobject_set(pen, eht))
            && add(createbrushindirect_set(&brush, eht, logbrush_set(U_BS_SOLID, colorref_set(0, 128, 255), 0)))
            && add(selectobject_set(brush, eht));
        const std::vector<U_POINT16> corners = randomPoints(size_t(polygons) * size_t(points));
        for (int i = 0; ok && i < polygons; ++i)
            ok = add(U_EMRPOLYGON16_set(rectl_set(U_POINTL{0, 0}, U_POINTL{999, 999}), uint32_t(points),
                                        corners.data() + size_t(i) * size_t(points)));
        return ok;
    });
}

bool writeWidePolygonWmf(const QString &path)
{
    return writeWmf(path, QSizeF(1000 / 96.0, 1000 / 96.0), 96, [](const WmfAdd &add, WMFHANDLES *wht) {
        uint32_t pen = 0;
        const std::vector<U_POINT16> points = randomPoints(25 * 20000);
        const std::vector<uint16_t> counts(25, 20000);
        return add(wcreatepenindirect_set(&pen, wht, U_PEN_set(U_PS_SOLID, 25, U_RGB(0, 0, 0))))
            && add(wselectobject_set(pen, wht)) && add(U_WMRPOLYPOLYGON_set(25, counts.data(), points.data()));
    });
}

qint64 peakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    }
    return 0;
}

bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

}
