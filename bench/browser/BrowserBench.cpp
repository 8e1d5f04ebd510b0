// Lists a folder of large photos in the thumbnail browser and reports how
// fast it goes:
//   qmr_browserbench --make 1000 [--entries 10000] [--dir PATH] [--size 3000x2000]
// --make N makes N distinct JPEG photos in the folder (kept between runs);
// --entries M lists M entries, the photos repeated through hard links.

#include "BenchPhotos.h"
#include "ImageExplore.h"
#include "ImageList.h"
#include "ListView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QThreadPool>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace {

const QString Extensions = QStringLiteral("JPG GIF BMP PNG PSD TIF PCX TGA WBMP PCD WMF EMF ICO DIB");

QString photoName(int i)
{
    return QStringLiteral("photo_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
}

void makePhotos(const QString &dir, int count, const QSize &size)
{
    QDir().mkpath(dir);
    QThreadPool pool;
    int made = 0;
    for (int i = 0; i < count; ++i) {
        const QString path = dir + QLatin1Char('/') + photoName(i);
        if (QFile::exists(path))
            continue;
        ++made;
        pool.start([path, size, i] { BenchPhotos::makePhoto(size, i + 1).save(path + ".part", "JPG", 85);
                                     QFile::rename(path + ".part", path); });
    }
    pool.waitForDone();
    if (made)
        std::printf("made %d photos of %dx%d in %s\n", made, size.width(), size.height(), qPrintable(dir));
}

// A folder that holds `entries` names, linked to the photos in turn.
QString makeEntryFolder(const QString &photoDir, int photos, int entries)
{
    const QString dir = photoDir + QStringLiteral("-entries-%1").arg(entries);
    QDir().mkpath(dir);
    for (int i = 0; i < entries; ++i) {
        const QString link = dir + QStringLiteral("/entry_%1.jpg").arg(i, 6, 10, QLatin1Char('0'));
        if (!QFile::exists(link)) {
            const QString target = photoDir + QLatin1Char('/') + photoName(i % photos);
            if (::link(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) != 0)
                QFile::copy(target, link);
        }
    }
    return dir;
}

long peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Notes the first paint of the list after the listing started.
class FirstPaint : public QObject {
public:
    QElapsedTimer *clock = nullptr;
    qint64 at = -1;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && at < 0 && clock && clock->isValid())
            at = clock->elapsed();
        return false;
    }
};

}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"make", "Number of photos to make and list.", "N", "1000"});
    parser.addOption({"entries", "Entries to list (photos repeated by hard links).", "M", "0"});
    parser.addOption({"dir", "Folder of the photos.", "PATH", QDir::tempPath() + "/qmr-bench-photos"});
    parser.addOption({"size", "Photo size.", "WxH", "3000x2000"});
    parser.process(app);

    const int photos = qMax(1, parser.value("make").toInt());
    const QStringList wh = parser.value("size").split('x');
    const QSize size(wh.value(0).toInt(), wh.value(1).toInt());
    const QString photoDir = parser.value("dir") + QStringLiteral("-%1-%2x%3").arg(photos).arg(size.width()).arg(size.height());
    makePhotos(photoDir, photos, size);
    const int entries = parser.value("entries").toInt();
    const QString listed = entries > 0 ? makeEntryFolder(photoDir, photos, entries) : photoDir;

    ImageExplore browser;
    browser.resize(1000, 800);
    browser.show();
    browser.SetExt(Extensions);
    // As in the program, something was listed and drawn before: fonts and
    // image plugins are loaded.
    const QString warmUp = QDir::tempPath() + "/qmr-bench-warm-up";
    QDir().mkpath(warmUp + "/folder");
    BenchPhotos::makePhoto(QSize(64, 48), 1).save(warmUp + "/photo.jpg", "JPG");
    browser.ExplorePath(warmUp);
    QApplication::processEvents();

    QElapsedTimer clock;
    FirstPaint firstPaint;
    firstPaint.clock = &clock;
    browser.listView()->viewport()->installEventFilter(&firstPaint);

    // Input latency: how late a 10 ms timer fires while the listing runs.
    qint64 lastTick = -1, worstGap = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (lastTick >= 0)
            worstGap = qMax(worstGap, now - lastTick);
        if (lastTick >= 0 && now - lastTick > 60 && qEnvironmentVariableIsSet("QMR_BENCH_VERBOSE"))
            std::printf("  slow: %lld ms before item %d (at %lld ms)\n", static_cast<long long>(now - lastTick),
                        browser.fillCount() + 1, static_cast<long long>(now));
        lastTick = now;
    });

    const long memoryBefore = peakMemoryKiB();
    clock.start();
    ticker.start();
    browser.ExplorePath(listed);
    const qint64 done = clock.elapsed();
    ticker.stop();

    const int thumbnails = browser.imageList()->Count() - 2;
    const double fillSeconds = (done - qMax<qint64>(0, firstPaint.at)) / 1000.0;
    std::printf("entries listed:          %d (%d thumbnails)\n", browser.listView()->Count(), thumbnails);
    std::printf("first placeholders:      %lld ms\n", static_cast<long long>(firstPaint.at));
    std::printf("last thumbnail:          %lld ms\n", static_cast<long long>(done));
    std::printf("thumbnails per second:   %.0f\n", fillSeconds > 0 ? thumbnails / fillSeconds : 0.0);
    std::printf("worst input delay:       %lld ms\n", static_cast<long long>(worstGap));
    std::printf("peak memory (VmHWM):     %.1f MB (%.1f MB before listing)\n", peakMemoryKiB() / 1024.0,
                memoryBefore / 1024.0);
    return 0;
}
