// Measures how soon the viewer shows a large photo:
//   qmr_viewerbench [--photos 6] [--size 6000x4000] [--dir PATH] [--windowed]
// Cold: the first photo handed to ViewImage, until its first frame is painted.
// Next: each step to the following photo after the user looked at the one
// before for a moment, until its first frame is painted.
//   qmr_viewerbench --emf [--windowed]
// Cold only, for an EMF of 100 filled polygons of 200 points spread over the
// whole picture.

#include "BenchPhotos.h"
#include "ImagingSamples.h"
#include "ImagePrefetcher.h"
#include "ImgX.h"
#include "frmViwer.h"

#include "CRegister.h"
#include "ViewerSettings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

QStringList makePhotos(const QString &folder, int count, const QSize &size)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("photo_%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
        if (!QFileInfo::exists(path))
            BenchPhotos::makePhoto(size, i + 1).save(path, "JPG", 90);
        paths << path;
    }
    return paths;
}

// Records the frames the image control paints: when, at which zoom and
// with which file.
class FrameLog : public QObject {
public:
    explicit FrameLog(ImgX *imgX) : m_imgX(imgX) { m_imgX->installEventFilter(this); }

    struct Frame {
        qint64 at;       // ns on the clock
        double zoom;
        QString file;
    };
    QElapsedTimer clock;
    QVector<Frame> frames;

    // Nanoseconds from `start` to the first frame painted after it that shows
    // the control as it is now (its file at its zoom); -1 after 10 s.
    qint64 untilFrameOfNow(qint64 start)
    {
        const double zoom = m_imgX->Zoom();
        const QString file = m_imgX->ImageInfo.FileName();
        QElapsedTimer guard;
        guard.start();
        while (guard.elapsed() < 10000) {
            for (const Frame &frame : frames) {
                if (frame.at >= start && frame.zoom == zoom && frame.file == file)
                    return frame.at - start;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return -1;
    }

protected:
    // A frame counts when its painting has ended: the filter paints it
    // itself, then notes the time.
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || m_inPaint)
            return false;
        m_inPaint = true;
        QCoreApplication::sendEvent(m_imgX, event);
        m_inPaint = false;
        frames.append({clock.nsecsElapsed(), m_imgX->Zoom(), m_imgX->ImageInfo.FileName()});
        return true;
    }

private:
    ImgX *m_imgX;
    bool m_inPaint = false;
};

void idle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("QUILLMERE_HOME"))
        qputenv("QUILLMERE_HOME", home.path().toUtf8());
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addOption({"photos", "Number of photos.", "n", "6"});
    parser.addOption({"size", "Photo size.", "WxH", "6000x4000"});
    parser.addOption({"dir", "Folder for the photos (kept).", "path"});
    parser.addOption({"windowed", "Windowed rather than full screen."});
    parser.addOption({"emf", "Time the first frame of an EMF of 100 large polygons."});
    parser.process(app);

    const QStringList wh = parser.value("size").split('x');
    const QSize size(wh.value(0).toInt(), wh.value(1).toInt());
    QTemporaryDir photosDir;
    const QString folder = parser.isSet("dir") ? parser.value("dir") : photosDir.path();
    const int count = qMax(2, parser.value("photos").toInt());
    QStringList photos;
    if (parser.isSet("emf")) {
        const QString emf = QDir(folder).filePath(QStringLiteral("polygons100.emf"));
        ImagingSamples::writePolygonEmf(emf, 100, 200, 1);
        photos << emf;
    } else {
        std::printf("Making %d photos of %dx%d in %s ...\n", count, size.width(), size.height(), qPrintable(folder));
        std::fflush(stdout);
        photos = makePhotos(folder, count, size);
    }

    CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, ViewerSettings::FullScreenName,
                               parser.isSet("windowed") ? "0" : "-1");
    // The program has its main window on screen before the viewer opens:
    // fonts and the window system are warm by then.
    {
        QLabel mainWindow(QStringLiteral("Quillmere"));
        mainWindow.show();
        idle(300);
    }

    frmViwer *viewer = frmViwer::instance();
    FrameLog log(viewer->imgX());
    log.clock.start();
    idle(200);

    QStringList list = photos;
    int index = 0;
    qint64 start = log.clock.nsecsElapsed();
    viewer->imgX()->setZoom(1.0);
    viewer->ViewImage(list, index);
    const double coldCall = (log.clock.nsecsElapsed() - start) / 1e6;
    const double cold = log.untilFrameOfNow(start) / 1e6;

    if (parser.isSet("emf")) {
        std::printf("EMF of 100 polygons of 200 points, cold ViewImage to first frame: %.1f ms (target < 1000 ms)\n",
                    cold);
        frmViwer::unloadIfLoaded();
        return 0;
    }

    QVector<double> steps;
    for (int i = 1; i < count; ++i) {
        idle(1500);                       // the user looks at the photo
        start = log.clock.nsecsElapsed();
        viewer->ShowNext();
        steps << log.untilFrameOfNow(start) / 1e6;
    }
    const ImagePrefetcher *ahead = viewer->prefetcher();

    std::printf("Mode: %s, screen %dx%d\n", parser.isSet("windowed") ? "windowed" : "full screen",
                viewer->screen()->geometry().width(), viewer->screen()->geometry().height());
    std::printf("Cold ViewImage to first frame: %.1f ms (target < 250 ms); the call itself %.1f ms\n", cold,
                coldCall);
    std::printf("Next to first frame: median %.1f ms, worst %.1f ms over %d steps (target < 60 ms)\n",
                median(steps), *std::max_element(steps.begin(), steps.end()), int(steps.size()));
    std::printf("Decodes made ahead: peak %.0f MB held, cap %.0f MB\n", ahead->peakBytesHeld() / 1048576.0,
                ahead->memoryCap() / 1048576.0);
    frmViwer::unloadIfLoaded();
    return 0;
}
