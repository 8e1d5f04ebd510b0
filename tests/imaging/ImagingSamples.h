#pragma once
// Sample images and files for the imaging tests: every format the
// component reads, made here with Qt or ImageMagick. Also the peak memory
// measure the tests and the benchmark share.

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <functional>
#include <list>

extern "C" {
#include <uwmf.h>
}

namespace Magick {
class Image;
}

namespace ImagingSamples {
// A smooth colour picture (JPEG-friendly) with a distinct top-left red
// block, so orientation mistakes show.
QImage smooth(int width, int height);
// A picture with every pixel different (for exact comparisons).
QImage noisy(int width, int height, bool alpha = false);
// The largest difference of any channel between two same-sized images
// (compared as ARGB32; -1 when the sizes differ).
int maxDifference(const QImage &a, const QImage &b);
// The same on premultiplied values, where colour under full
// transparency does not count.
int maxPremultipliedDifference(const QImage &a, const QImage &b);

// ImageMagick helpers: a Magick image of a QImage, and writing one or a
// list to a file with the coder named ("PSD", "TGA", ...).
Magick::Image toMagick(const QImage &image);
bool writeMagick(Magick::Image image, const QString &path, const char *coder);
bool writeMagickList(std::list<Magick::Image> images, const QString &path, const char *coder);

// A WMF written with libUEMF: a placeable frame of `inches` at
// `unitsPerInch`, then what `draw` adds (records made by libUEMF's _set
// functions, objects numbered through the handle table).
using WmfAdd = std::function<bool(char *record)>;
using WmfDrawing = std::function<bool(const WmfAdd &add, WMFHANDLES *wht)>;
bool writeWmf(const QString &path, QSizeF inches, int unitsPerInch, const WmfDrawing &draw);

// Metafiles drawn with libUEMF: a red rectangle from (20, 10) to (120, 60)
// on a 200 x 100 picture (not a single bitmap, so they are rendered).
bool writeShapeWmf(const QString &path);
bool writeShapeEmf(const QString &path);

// A 400 x 400 animation whose every frame adds one white pixel, at
// dotOf(frame), to those before it (about 23 bytes a frame).
QPoint dotOf(int frame);
QByteArray animationOfDots(int frames);
// `pages` RGB pages of side x side pixels, one row a strip. Row 0 of each
// page has colourOfPage(page); the other rows all use one grey row stored
// once, so the file stays small however large the pages are.
QColor colourOfPage(int page);
QByteArray tiffOfPages(int pages, int side);
// A WMF of about `bytes` bytes of small 20-point polygons in changing
// colours on a 1000 x 1000 picture.
bool writePolygonWmf(const QString &path, qint64 bytes);

// An EMF written with libUEMF: `bounds` (pixels) and `frame` (0.01 mm) on a
// screen of 1920 x 1080 pixels, 508 x 286 mm, then what `draw` adds.
using EmfAdd = WmfAdd;
using EmfDrawing = std::function<bool(const EmfAdd &add, EMFHANDLES *eht)>;
bool writeEmf(const QString &path, const QRect &bounds, const QRect &frame, const EmfDrawing &draw);
// On 1000 x 1000 pixels: polygons of random points over the whole picture
// (their edges cross many times) with a black pen; in the WMF, one record
// of 25 polygons of 20,000 points with a pen 25 wide.
bool writePolygonEmf(const QString &path, int polygons, int points, int penWidth);
bool writeWidePolygonWmf(const QString &path);

// A JPEG with an EXIF block whose orientation tag is `orientation`.
QByteArray jpegWithOrientation(const QImage &image, int orientation);

// Runs `work` on a machine half as fast, as far as the work can tell: on
// one core shared with a thread that keeps it busy.
void atHalfSpeed(const std::function<void()> &work);

// The process's highest resident memory since it was last forgotten, in
// MB (0 where it cannot be read), and forgetting it (false where that
// cannot be done).
qint64 peakMemoryMb();
bool resetPeakMemory();
}
