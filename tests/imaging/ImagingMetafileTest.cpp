// Metafiles from other programs: ordinary clip art drawn as its maker drew
// it, and damaged files that cannot keep the program waiting.

#include "HelperProcess.h"
#include "ImageDecoder.h"
#include "ImageEncoder.h"
#include "ImagingSamples.h"
#include "ImgX.h"
#include "ImgXDocument.h"
#include "ViewerImageLoader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <memory>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

using namespace ImagingSamples;

namespace {

const QColor kText(200, 0, 200);

// On a frame of 2 x 1 inches whose window is 2000 x 1000 units (y growing
// downwards, or upwards when flipped): a red rectangle, a blue five-pointed
// star filled by winding (its centre too), a green ellipse and a line of
// text, all outlined with a thin black pen.
bool writeClipArt(const QString &path, bool flipped)
{
    return writeWmf(path, QSizeF(2, 1), 1000, [flipped](const WmfAdd &add, WMFHANDLES *wht) {
        uint32_t pen = 0, red = 0, blue = 0, green = 0, font = 0;
        const U_POINT16 star[] = {{800, 100}, {1000, 900}, {550, 400}, {1050, 400}, {600, 900}};
        U_FONT *face = U_FONT_set(-150, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, const_cast<char *>("Sans"));
        const bool ok = add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC))
            && add(U_WMRSETWINDOWORG_set(U_POINT16{0, int16_t(flipped ? 1000 : 0)}))
            && add(U_WMRSETWINDOWEXT_set(U_POINT16{2000, int16_t(flipped ? -1000 : 1000)}))
            && add(wcreatepenindirect_set(&pen, wht, U_PEN_set(U_PS_SOLID, 10, U_RGB(0, 0, 0))))
            && add(wselectobject_set(pen, wht))
            && add(wcreatebrushindirect_set(&red, wht, U_WLOGBRUSH_set(U_BS_SOLID, U_RGB(255, 0, 0), 0)))
            && add(wselectobject_set(red, wht)) && add(U_WMRRECTANGLE_set(U_RECT16{100, 100, 500, 700}))
            && add(wcreatebrushindirect_set(&blue, wht, U_WLOGBRUSH_set(U_BS_SOLID, U_RGB(0, 0, 255), 0)))
            && add(wselectobject_set(blue, wht)) && add(U_WMRSETPOLYFILLMODE_set(U_WINDING))
            && add(U_WMRPOLYGON_set(5, star))
            && add(wcreatebrushindirect_set(&green, wht, U_WLOGBRUSH_set(U_BS_SOLID, U_RGB(0, 255, 0), 0)))
            && add(wselectobject_set(green, wht)) && add(U_WMRELLIPSE_set(U_RECT16{1100, 100, 1900, 900}))
            && add(wcreatefontindirect_set(&font, wht, face)) && add(wselectobject_set(font, wht))
            && add(U_WMRSETTEXTCOLOR_set(U_RGB(kText.red(), kText.green(), kText.blue())))
            && add(U_WMRSETBKMODE_set(U_TRANSPARENT))
            && add(U_WMRTEXTOUT_set(U_POINT16{100, int16_t(flipped ? 900 : 750)}, const_cast<char *>("WMF")));
        std::free(face);
        return ok;
    });
}

// The message of the decode of `path`, empty when it opens; aside, so that
// a decode that never ends fails the test instead of stopping the run.
std::future<QString> decodeAside(const QString &path)
{
    std::packaged_task<QString()> decode([path] {
        try {
            ImgXDocument().Loader.LoadFromFile(path);
            return QString();
        } catch (const ImgXError &e) {
            return e.text();
        }
    });
    std::future<QString> outcome = decode.get_future();
    std::thread(std::move(decode)).detach();
    return outcome;
}

}

TEST(ImagingMetafile, ClipArtIsDrawnAsItsWindowMapsIt)
{
    QTemporaryDir dir;
    for (const bool flipped : {false, true}) {
        SCOPED_TRACE(flipped ? "y upwards" : "y downwards");
        const QString path = dir.filePath(flipped ? "up.wmf" : "down.wmf");
        ASSERT_TRUE(writeClipArt(path, flipped));
        ImgXDocument doc;
        ASSERT_NO_THROW(doc.Loader.LoadFromFile(path));
        EXPECT_EQ(doc.ImageInfo.Format(), ImgXFormatWMF);
        const QImage image = doc.Export.GetPicture();
        ASSERT_EQ(image.size(), QSize(192, 96));   // 2 x 1 inches at 96 dots an inch
        // A window unit is 0.096 pixels; upwards, y counts from the bottom.
        const auto at = [&](int x, int y) {
            return image.pixelColor(int(x * 0.096), int((flipped ? 1000 - y : y) * 0.096)).rgb();
        };
        EXPECT_EQ(at(300, 400), QColor(Qt::red).rgb());
        EXPECT_EQ(at(1500, 500), QColor(Qt::green).rgb());
        EXPECT_EQ(at(1150, 150), QColor(Qt::white).rgb());   // inside the ellipse's box, outside the ellipse
        EXPECT_EQ(at(800, 250), QColor(Qt::blue).rgb());     // a point of the star
        EXPECT_EQ(at(800, 500), QColor(Qt::blue).rgb());     // its centre, filled by winding
        EXPECT_EQ(at(1050, 960), QColor(Qt::white).rgb());
        // The text: some pixels of its colour below the rectangle.
        int inked = 0;
        for (int y = 720; y < 950; y += 5) {
            for (int x = 100; x < 500; x += 5)
                inked += QColor(at(x, y)).red() > 150 && QColor(at(x, y)).green() < 80;
        }
        EXPECT_GT(inked, 10);
    }
}

TEST(ImagingMetafile, DamagedBitmapInAWmfEndsWithAMessage)
{
    // The program's own WMF output with its bitmap header's size field
    // changed: a decode that never ended once.
    QByteArray wmf = ImageEncoder::encode(noisy(40, 30), ImgXFormatWMF);
    ASSERT_EQ(wmf[106], char(40));
    wmf[106] = char(15);
    // On a thread of its own, so a decode that never ends fails the test
    // instead of stopping the run.
    auto result = std::make_shared<std::promise<QString>>();
    std::future<QString> outcome = result->get_future();
    std::thread([wmf, result] {
        try {
            ImageDecoder::decodeData(wmf, QStringLiteral("wmf"), 0, LoadOptions());
            result->set_value(QString());
        } catch (const ImgXError &e) {
            result->set_value(e.text());
        }
    }).detach();
    ASSERT_EQ(outcome.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_TRUE(outcome.get().contains(QLatin1String("damaged"))) << "a damaged bitmap is reported";
}

// EMF conversion runs in a helper process: whatever the library does with
// a file, the load ends with the output or a reason.
TEST(ImagingMetafile, HelperProcessEndsWithOutputOrReason)
{
    using std::chrono::milliseconds;
    const HelperProcess::Result fine = HelperProcess::run([] { return QByteArray("<svg/>"); }, milliseconds(5000), 1024);
    EXPECT_TRUE(fine.ok);
    EXPECT_EQ(fine.output, QByteArray("<svg/>"));

    const HelperProcess::Result stuck = HelperProcess::run(
        [] {
            for (;;)
                ::pause();
            return QByteArray();
        },
        milliseconds(300), 1024);
    EXPECT_FALSE(stuck.ok);
    EXPECT_TRUE(stuck.failure.contains(QLatin1String("stopped after 0.3 seconds"))) << stuck.failure.toStdString();

    const HelperProcess::Result crashed = HelperProcess::run(
        [] {
            ::raise(SIGKILL);
            return QByteArray("never");
        },
        milliseconds(5000), 1024);
    EXPECT_FALSE(crashed.ok);
    EXPECT_TRUE(crashed.output.isEmpty());
    EXPECT_TRUE(crashed.failure.contains(QLatin1String("crashed")));

    const HelperProcess::Result large = HelperProcess::run([] { return QByteArray(4096, 'x'); }, milliseconds(5000), 1024);
    EXPECT_FALSE(large.ok);

    // A program killed while its helper draws leaves no helper drawing on.
    QTemporaryDir dir;
    const QByteArray pidFile = QFile::encodeName(dir.filePath("helper.pid"));
    const pid_t program = ::fork();
    if (program == 0) {
        HelperProcess::run(
            [&] {
                QFile file(QFile::decodeName(pidFile));
                if (file.open(QIODevice::WriteOnly))
                    file.write(QByteArray::number(::getpid()));
                file.close();
                for (;;)
                    ::pause();
                return QByteArray();
            },
            milliseconds(60000), 1024);
        ::_exit(0);
    }
    QElapsedTimer clock;
    clock.start();
    pid_t helper = 0;
    while (helper <= 0 && clock.elapsed() < 5000) {
        std::this_thread::sleep_for(milliseconds(20));
        QFile file(QFile::decodeName(pidFile));
        if (file.open(QIODevice::ReadOnly))
            helper = pid_t(file.readAll().toInt());
    }
    ::kill(program, SIGKILL);
    ::waitpid(program, nullptr, 0);
    ASSERT_GT(helper, 0);
    // Gone, or a zombie left for whoever adopted it to reap.
    const auto drawing = [helper] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(helper));
        return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
    };
    clock.restart();
    while (drawing() && clock.elapsed() < 5000)
        std::this_thread::sleep_for(milliseconds(20));
    EXPECT_FALSE(drawing()) << "the helper outlived its program";
}

// Every metafile decode ends within the time limit: a hundred large crossing
// polygons show; an EMF, or one WMF record, too complex to draw in time ends
// with the message of every stopped decode, which the viewer gives again at
// once while the file is unchanged.
TEST(ImagingMetafile, BoundedDecodes)
{
    QTemporaryDir dir;
    const QString hundred = dir.filePath("100.emf"), slowEmf = dir.filePath("s.emf"), slowWmf = dir.filePath("s.wmf");
    ASSERT_TRUE(writePolygonEmf(hundred, 100, 200, 1) && writePolygonEmf(slowEmf, 20, 20000, 25)
                && writeWidePolygonWmf(slowWmf));
    std::future<QString> ordinary = decodeAside(hundred);
    ASSERT_EQ(ordinary.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(ordinary.get(), QString());
    std::future<QString> stoppedEmf = decodeAside(slowEmf), stoppedWmf = decodeAside(slowWmf);   // as the viewer waits
    ImgX imgX;
    ViewerImageLoader loader(&imgX);
    EXPECT_THROW(loader.load(slowWmf), ImgXError);
    QElapsedTimer again;
    again.start();
    EXPECT_THROW(loader.load(slowWmf), ImgXError);
    EXPECT_LT(again.elapsed(), 2500) << "the failure is given again, not decoded again";
    for (std::future<QString> *outcome : {&stoppedEmf, &stoppedWmf}) {
        ASSERT_EQ(outcome->wait_for(std::chrono::seconds(20)), std::future_status::ready);
        EXPECT_TRUE(outcome->get().contains(
            QLatin1String("decoding it was stopped after 5 seconds (the file is damaged or too complex)")));
    }
}

// Metafiles are placed in their picture as the system's own player places
// them: a WMF's window onto its viewport (in the picture's pixels) or by its
// fixed mapping mode; an EMF's frame fills the picture whatever its bounds.
TEST(ImagingMetafile, DrawingsArePlacedAsTheSystemMapsThem)
{
    QTemporaryDir dir;
    const QString circle = dir.filePath("c.wmf"), metric = dir.filePath("m.wmf"), framed = dir.filePath("f.emf"),
                  spilling = dir.filePath("s.wmf");
    const auto red = [](const WmfAdd &add, WMFHANDLES *wht) {
        uint32_t brush = 0;
        return add(wcreatebrushindirect_set(&brush, wht, U_WLOGBRUSH_set(U_BS_SOLID, U_RGB(255, 0, 0), 0)))
            && add(wselectobject_set(brush, wht));
    };
    // Window units 250..750 that the viewport maps onto the whole picture (80
    // pixels); libUEMF's viewport extent record has the window's function.
    char *viewportExt = U_WMRSETVIEWPORTORG_set(U_POINT16{160, 160});
    viewportExt[4] = 0x0E;
    ASSERT_TRUE(writeWmf(circle, QSizeF(1000 / 1200.0, 1000 / 1200.0), 1200, [&](const WmfAdd &add, WMFHANDLES *wht) {
        return add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC)) && add(U_WMRSETWINDOWEXT_set(U_POINT16{1000, 1000}))
            && add(U_WMRSETVIEWPORTORG_set(U_POINT16{-40, -40})) && add(viewportExt)
            && red(add, wht) && add(U_WMRELLIPSE_set(U_RECT16{250, 250, 750, 750}));
    }));
    // Half an inch square in 0.01 mm, y upwards from the bottom-left corner.
    ASSERT_TRUE(writeWmf(metric, QSizeF(1, 1), 1200, [&](const WmfAdd &add, WMFHANDLES *wht) {
        return add(U_WMRSETMAPMODE_set(U_MM_HIMETRIC)) && add(U_WMRSETVIEWPORTORG_set(U_POINT16{0, 96}))
            && red(add, wht) && add(U_WMRRECTANGLE_set(U_RECT16{0, 0, 1270, 1270}));
    }));
    // A box and window of 0..1369 with the circle drawn at 263..1587, past
    // the box: shown whole, filling the picture.
    ASSERT_TRUE(writeWmf(spilling, QSizeF(1369 / 1200.0, 1369 / 1200.0), 1200, [&](const WmfAdd &add, WMFHANDLES *wht) {
        return add(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC)) && add(U_WMRSETWINDOWEXT_set(U_POINT16{1369, 1369}))
            && red(add, wht) && add(U_WMRELLIPSE_set(U_RECT16{263, 263, 1587, 1587}));
    }));
    // A frame of 400 x 200 pixels whose bounds are the whole screen.
    ASSERT_TRUE(writeEmf(framed, QRect(0, 0, 1920, 1080), QRect(0, 0, 10584, 5293), [](const EmfAdd &add, EMFHANDLES *eht) {
        uint32_t brush = 0;
        return add(createbrushindirect_set(&brush, eht, logbrush_set(U_BS_SOLID, colorref_set(255, 0, 0), 0)))
            && add(selectobject_set(brush, eht)) && add(U_EMRELLIPSE_set(rectl_set(U_POINTL{0, 0}, U_POINTL{200, 200})));
    }));
    const auto picture = [](const QString &path) {
        ImgXDocument doc;
        doc.Loader.LoadFromFile(path);
        return doc.Export.GetPicture().convertToFormat(QImage::Format_ARGB32);
    };
    const QRgb filled = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
    const QImage round = picture(circle), square = picture(metric), frame = picture(framed), whole = picture(spilling);
    ASSERT_EQ(QList<QSize>({round.size(), square.size(), frame.size(), whole.size()}),
              QList<QSize>({QSize(80, 80), QSize(96, 96), QSize(400, 200), QSize(110, 110)}));
    for (const QPoint at : {QPoint(40, 3), QPoint(3, 40), QPoint(76, 40), QPoint(40, 76)}) {
        EXPECT_EQ(round.pixel(at), filled) << "the circle reaches the picture's edges";
        EXPECT_EQ(frame.pixel(at * 2.5), filled) << "the circle fills the frame's height";
        EXPECT_EQ(whole.pixel(at * 110 / 80), filled) << "the circle past the box is shown whole";
    }
    EXPECT_EQ(round.pixel(3, 3), white);
    EXPECT_EQ(whole.pixel(4, 4), white);
    EXPECT_EQ(qAlpha(frame.pixel(300, 100)), 0);
    EXPECT_EQ(square.pixel(20, 70), filled);
    EXPECT_EQ(square.pixel(70, 20), white);
}
