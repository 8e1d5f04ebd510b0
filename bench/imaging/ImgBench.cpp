// Decoding and thumbnail timings for the imaging component.
//
//   qmr_imgbench FILE...            decode each file, print what it is, the time to
//                                   open it and to reach its last page, and the
//                                   process's peak memory
//   qmr_imgbench --hard [DIR]       write hard files to DIR or a temporary folder (a
//                                   20,000-page TIFF, a 2,000-frame 400 x 400 GIF, a
//                                   20 MB WMF of polygons, an EMF of 100 polygons of
//                                   200 points over the whole picture) and time each in
//                                   a process of its own; each must open within the
//                                   5-second decode limit. Then metafiles far too
//                                   complex to draw in time (an EMF, a WMF of a single
//                                   record): each must be stopped within 6 seconds
//   qmr_imgbench --thumbs DIR       time thumbnail making for every file in DIR
//   qmr_imgbench --make N [DIR]     write N 3000 x 2000 JPEGs (and one 24-megapixel
//                                   JPEG) to DIR or a temporary folder, then time
//                                   thumbnails over them and full decodes of both sizes
//   qmr_imgbench --large [DIR]      time and peak memory of big pictures: the thumbnail
//                                   of a 30000 x 30000 1-bit PNG, and a 36-megapixel
//                                   picture saved and reopened as PSD, TGA and PCX, also
//                                   on a machine half as fast (a core shared with a busy
//                                   thread), where each must still open
//
// Runs on one processor core unless --all-cores is given.

#include "ImagingSamples.h"
#include "ImgXDocument.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sched.h>
#include <vector>

namespace {

constexpr int kThumb = 140;

// Something like a photograph for the encoder: gradients with grain.
QImage photoLike(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = 7;
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int grain = int(state >> 28) - 8;
            line[x] = qRgb(qBound(0, 60 + 150 * x / width + grain, 255), qBound(0, 40 + 170 * y / height + grain, 255),
                           qBound(0, 120 + ((x ^ y) & 63) + grain, 255));
        }
    }
    return image;
}

struct Stats {
    std::vector<double> ms;
    void print(const char *what) const
    {
        if (ms.empty()) {
            std::printf("%s: no files\n", what);
            return;
        }
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        double total = 0;
        for (double v : ms)
            total += v;
        std::printf("%s: %zu files, mean %.1f ms, median %.1f ms, max %.1f ms\n", what, ms.size(), total / ms.size(),
                    sorted[sorted.size() / 2], sorted.back());
    }
};

double decodeOne(const QString &path, bool verbose)
{
    ImgXDocument doc;
    QElapsedTimer timer;
    timer.start();
    try {
        doc.Loader.LoadFromFile(path);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (verbose) {
            std::printf("%s: format %d, %d x %d, %d bpp, %d page(s), %.1f ms", qPrintable(path),
                        doc.ImageInfo.Format(), doc.ImageInfo.Width(), doc.ImageInfo.Height(),
                        doc.ImageInfo.BitsPerPixel(), doc.Pages.Count(), ms);
            if (doc.Pages.Count() > 1) {
                timer.restart();
                doc.Pages.SetCurrent(*doc.Pages.Item(doc.Pages.Count() - 1));
                std::printf(", last page %.1f ms", timer.nsecsElapsed() / 1e6);
            }
            std::printf(", peak memory %lld MB\n", ImagingSamples::peakMemoryMb());
        }
        return ms;
    } catch (const ImgXError &e) {
        std::printf("%s: error after %.1f ms: %s\n", qPrintable(path), timer.nsecsElapsed() / 1e6, e.what());
        return -1;
    }
}

// What the browser does for one thumbnail.
double thumbnailOne(const QString &path)
{
    ImgXDocument doc;
    QElapsedTimer timer;
    timer.start();
    try {
        doc.Loader.LoadFromFile(path, 0, QStringLiteral("ThumbnailSize=%1").arg(kThumb));
        if (doc.ImageInfo.Width() >= doc.ImageInfo.Height())
            doc.Transform.Resize(kThumb, 0, 4);
        else
            doc.Transform.Resize(0, kThumb, 4);
        doc.Transform.Canvas(kThumb, kThumb, QColor(Qt::white), (kThumb - doc.ImageInfo.Width()) / 2,
                             (kThumb - doc.ImageInfo.Height()) / 2);
        return timer.nsecsElapsed() / 1e6;
    } catch (const ImgXError &e) {
        std::printf("%s: error: %s\n", qPrintable(path), e.what());
        return -1;
    }
}

QStringList filesIn(const QString &dir)
{
    QStringList out;
    for (const QFileInfo &info : QDir(dir).entryInfoList(QDir::Files, QDir::Name))
        out << info.absoluteFilePath();
    return out;
}

void timeThumbnails(const QStringList &files)
{
    if (!files.isEmpty())
        thumbnailOne(files.first());   // first use loads the plugins
    Stats stats;
    for (const QString &file : files) {
        const double ms = thumbnailOne(file);
        if (ms >= 0)
            stats.ms.push_back(ms);
    }
    stats.print("thumbnails (ThumbnailSize=140, Resize 140 method 4, Canvas 140 x 140)");
}

void timeDecodes(const QStringList &files, const char *what)
{
    Stats stats;
    for (const QString &file : files) {
        const double ms = decodeOne(file, false);
        if (ms >= 0)
            stats.ms.push_back(ms);
    }
    stats.print(what);
}

// The highest resident memory since the last reset, in MB; resets it.
qint64 takePeakMb()
{
    const qint64 mb = ImagingSamples::peakMemoryMb();
    ImagingSamples::resetPeakMemory();
    return mb;
}

void timeLarge(const QString &dir)
{
    QImage scan(30000, 30000, QImage::Format_Mono);
    scan.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    scan.fill(0);
    for (int y = 0; y < scan.height(); y += 100)
        memset(scan.scanLine(y), 0xff, size_t(scan.bytesPerLine()));
    const QString scanPath = dir + QStringLiteral("/scan-1bit.png");
    scan.save(scanPath, "PNG");
    scan = QImage();
    takePeakMb();
    const double ms = thumbnailOne(scanPath);
    std::printf("thumbnail, 30000 x 30000 1-bit PNG: %.0f ms, peak %lld MB\n", ms, takePeakMb());

    ImgXDocument doc;
    doc.Loader.LoadFromPicture(photoLike(6000, 6000));
    for (auto [code, name] : {std::pair{9, "psd"}, std::pair{5, "tga"}, std::pair{4, "pcx"}}) {
        const QString path = dir + QStringLiteral("/big.") + QLatin1String(name);
        takePeakMb();
        QElapsedTimer timer;
        timer.start();
        try {
            doc.Export.SaveFile(path, code);
            const double saved = timer.nsecsElapsed() / 1e6;
            const qint64 savePeak = takePeakMb();
            const double opened = decodeOne(path, false);
            const qint64 openPeak = takePeakMb();
            double slowly = 0;
            ImagingSamples::atHalfSpeed([&] { slowly = decodeOne(path, false); });
            std::printf("6000 x 6000 %s: save %.0f ms (peak %lld MB), open %.0f ms (peak %lld MB), at half speed %.0f ms\n",
                        name, saved, savePeak, opened, openPeak, slowly);
        } catch (const ImgXError &e) {
            std::printf("6000 x 6000 %s: error: %s\n", name, e.what());
        }
    }
}

int usage()
{
    std::fprintf(stderr, "usage: qmr_imgbench [--all-cores] FILE... | --thumbs DIR | --make N [DIR] | --large [DIR] | --hard [DIR]\n");
    return 2;
}

void timeHardFiles(const QString &dir, const QString &self)
{
    const QString tiff = dir + QStringLiteral("/pages20000.tif");
    const QString gif = dir + QStringLiteral("/frames2000.gif");
    const QString wmf = dir + QStringLiteral("/polygons20mb.wmf");
    const QString emf = dir + QStringLiteral("/polygons100.emf");
    const QString slowEmf = dir + QStringLiteral("/too-complex.emf");
    const QString slowWmf = dir + QStringLiteral("/too-complex-record.wmf");
    std::printf("writing hard files to %s\n", qPrintable(dir));
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    if (!write(tiff, ImagingSamples::tiffOfPages(20000, 1)) || !write(gif, ImagingSamples::animationOfDots(2000))
        || !ImagingSamples::writePolygonWmf(wmf, qint64(20) * 1024 * 1024)
        || !ImagingSamples::writePolygonEmf(emf, 100, 200, 1) || !ImagingSamples::writePolygonEmf(slowEmf, 20, 20000, 25)
        || !ImagingSamples::writeWidePolygonWmf(slowWmf)) {
        std::printf("cannot write the files\n");
        return;
    }
    std::fflush(stdout);
    for (const QString &file : {tiff, gif, wmf, emf})
        QProcess::execute(self, {QStringLiteral("--all-cores"), file});
    std::printf("stopped decodes (target: an error within 6000 ms)\n");
    std::fflush(stdout);
    for (const QString &file : {slowEmf, slowWmf})
        QProcess::execute(self, {QStringLiteral("--all-cores"), file});
}

}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    if (!args.removeAll(QStringLiteral("--all-cores"))) {
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(sched_getcpu() >= 0 ? sched_getcpu() : 0, &one);
        sched_setaffinity(0, sizeof one, &one);
    }

    if (args.first() == QLatin1String("--thumbs")) {
        if (args.size() != 2)
            return usage();
        timeThumbnails(filesIn(args[1]));
        return 0;
    }

    if (args.first() == QLatin1String("--hard")) {
        if (args.size() > 2)
            return usage();
        QTemporaryDir temp;
        timeHardFiles(args.size() == 2 ? args[1] : temp.path(), app.applicationFilePath());
        return 0;
    }

    if (args.first() == QLatin1String("--make")) {
        bool ok = false;
        const int count = args.value(1).toInt(&ok);
        if (!ok || count <= 0 || args.size() > 3)
            return usage();
        QTemporaryDir temp;
        const QString dir = args.size() == 3 ? args[2] : temp.path();
        const QString photos = dir + QStringLiteral("/photos");
        QDir().mkpath(photos);
        std::printf("writing %d JPEGs of 3000 x 2000 to %s\n", count, qPrintable(photos));
        const QImage picture = photoLike(3000, 2000);
        for (int i = 0; i < count; ++i)
            picture.save(QStringLiteral("%1/photo%2.jpg").arg(photos).arg(i, 4, 10, QLatin1Char('0')), "JPEG", 90);
        const QString big = dir + QStringLiteral("/big-24mp.jpg");
        photoLike(6000, 4000).save(big, "JPEG", 90);

        const QStringList files = filesIn(photos);
        timeThumbnails(files);
        timeDecodes(files, "full decode, 3000 x 2000 JPEG");
        decodeOne(big, false);   // warm
        QStringList bigs;
        for (int i = 0; i < 5; ++i)
            bigs << big;
        timeDecodes(bigs, "full decode, 6000 x 4000 JPEG (24 MP)");
        return 0;
    }

    if (args.first() == QLatin1String("--large")) {
        if (args.size() > 2)
            return usage();
        QTemporaryDir temp;
        timeLarge(args.size() == 2 ? args[1] : temp.path());
        return 0;
    }

    for (const QString &file : args) {
        if (file.startsWith(QLatin1String("--")))
            return usage();
        decodeOne(file, true);
    }
    return 0;
}
