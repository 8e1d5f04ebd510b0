// Metafiles from other programs: ordinary clip art drawn as its maker drew
// it, and damaged files that cannot keep the program waiting.

#include "HelperProcess.h"
#include "ImageDecoder.h"
#include "ImageEncoder.h"
#include "ImagingSamples.h"
#include "ImgXDocument.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <memory>
#include <thread>
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
}
