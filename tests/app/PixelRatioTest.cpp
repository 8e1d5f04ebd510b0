// On a screen of two device pixels to the logical pixel: thumbnails,
// toolbar pictures and the reduced preview are made at the screen's
// resolution, at the sizes they have on an ordinary screen.
// Runs with QT_SCALE_FACTOR=2.

#include "ImageExplore.h"
#include "ImageList.h"
#include "ImgX.h"
#include "ListView.h"
#include "TestFiles.h"
#include "Toolbar.h"
#include "frmMain.h"
#include "frmViwer.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

constexpr double Ratio = 2;

// Neither near black nor near white: what smoothing a picture up leaves.
int blurredPixels(const QImage &shot, int y, int from, int to)
{
    int blurred = 0;
    for (int x = from; x < to; ++x) {
        const int grey = qGray(shot.pixel(x, y));
        blurred += grey > 40 && grey < 215;
    }
    return blurred;
}

// The picture shown at half size in a 200 x 100 view, as the screen has it.
QImage shownAtHalfSize(const QImage &picture, bool antiAlias)
{
    ImgX view;
    view.resize(200, 100);
    view.setAntiAliasDisplay(antiAlias);
    view.Loader.LoadFromPicture(picture);
    view.setZoom(0.5);
    return view.grab().toImage();
}

}

TEST(PixelRatioTest, ThumbnailsHaveTheirSizeInLogicalPixelsAndTheScreensResolution)
{
    QTemporaryDir dir;
    ASSERT_TRUE(TestFiles::writeImage(dir.filePath("plain.png"), 800, 600, "PNG"));
    ASSERT_TRUE(TestFiles::writeImage(dir.filePath("wide.png"), 1000, 500, "PNG"));
    ImageExplore browser;
    browser.resize(600, 400);
    browser.show();
    ASSERT_EQ(browser.devicePixelRatioF(), Ratio) << "run with QT_SCALE_FACTOR=2";
    browser.SetExt(frmMain::BrowserExtList);
    browser.ExplorePath(dir.path());

    ImageList *store = browser.imageList();
    EXPECT_EQ(store->ImageSize(), QSize(150, 125));
    const struct { const char *name; QSize shown; } cases[] = {{"plain.png", {140, 105}}, {"wide.png", {140, 140}}};
    for (const auto &c : cases) {
        const QString key = dir.filePath(c.name);
        const QImage picture = store->Picture(key);
        EXPECT_EQ(picture.size(), c.shown * Ratio) << c.name;
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), c.shown) << c.name;
        EXPECT_EQ(store->cellPixmap(key).devicePixelRatio(), Ratio) << c.name;
    }
    const QPixmap folder = store->cellPixmap(QStringLiteral("Folder"));
    EXPECT_EQ(folder.size(), QSize(300, 250));
    EXPECT_EQ(folder.deviceIndependentSize().toSize(), QSize(150, 125));
}

TEST(PixelRatioTest, ViewerToolbarPicturesAndTheReducedPreviewAreSharp)
{
    frmMain window;   // the skin engine
    frmViwer *viewer = frmViwer::instance();
    ASSERT_EQ(viewer->devicePixelRatioF(), Ratio) << "run with QT_SCALE_FACTOR=2";
    const QPixmap picture = viewer->toolbar()->Item(1).Picture();
    EXPECT_EQ(picture.devicePixelRatio(), Ratio);
    EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(40, 32));
    frmViwer::unloadIfLoaded();

    // Columns one pixel wide, shown at half size: one device pixel each.
    const QImage shot = shownAtHalfSize(TestFiles::stripes(400, 200), true);
    ASSERT_EQ(shot.width(), 400);
    EXPECT_LE(blurredPixels(shot, 100, 20, 380), 4);
}

// A page too large to convert whole is drawn piece by piece; each piece has
// the screen's pixels too.
TEST(PixelRatioTest, PiecesOfAHugePageHaveTheScreensResolution)
{
    QImage page(8200, 2100, QImage::Format_Mono);   // 69 MB as 32-bit colour
    page.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < page.height(); ++y)
        std::memset(page.scanLine(y), 0xAA, size_t(page.bytesPerLine()));   // columns one pixel wide
    const QImage shot = shownAtHalfSize(page, false);
    ASSERT_EQ(shot.width(), 400);
    int changes = 0;
    for (int x = 21; x < 380; ++x)
        changes += qGray(shot.pixel(x, 100)) != qGray(shot.pixel(x - 1, 100));
    EXPECT_GT(changes, 350) << "each column of the page must keep its own device pixel";
}
