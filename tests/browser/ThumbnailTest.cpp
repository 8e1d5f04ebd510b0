// Thumbnail shapes, picture-loaded types and the workers that make
// thumbnails ahead of the listing.

#include "ImgXDocument.h"
#include "TestFiles.h"
#include "ThumbnailMaker.h"
#include "ThumbnailPrefetcher.h"
#include "ThumbnailShape.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage thumbnailOf(const QString &path)
{
    ImgXDocument doc;
    return ThumbnailMaker::makeIn(doc, path);
}

bool isWhite(const QImage &image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    return c.red() == 255 && c.green() == 255 && c.blue() == 255;
}

class ThumbnailTest : public ::testing::Test {
protected:
    QString image(int width, int height, const char *format = "PNG", const QString &suffix = "png")
    {
        const QString path = QStringLiteral("%1/%2x%3.%4").arg(dir.path()).arg(width).arg(height).arg(suffix);
        EXPECT_TRUE(TestFiles::writeImage(path, width, height, format));
        return path;
    }
    QTemporaryDir dir;
};

}

TEST(ThumbnailShapeTest, RoundsHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(ThumbnailShape::roundHalfEven(100.5), 100);
    EXPECT_EQ(ThumbnailShape::roundHalfEven(32.5), 32);
    EXPECT_EQ(ThumbnailShape::roundHalfEven(31.5), 32);
    EXPECT_EQ(ThumbnailShape::roundHalfEven(186.67), 187);
    EXPECT_EQ(ThumbnailShape::roundHalfEven(54.6), 55);
}

TEST(ThumbnailShapeTest, TheFrameStartsAtARatioOfExactly1Point8)
{
    EXPECT_TRUE(ThumbnailShape::isFramed(180, 100));
    EXPECT_TRUE(ThumbnailShape::isFramed(100, 180));
    EXPECT_FALSE(ThumbnailShape::isFramed(179, 100));
    EXPECT_FALSE(ThumbnailShape::isFramed(280, 201));
}

TEST(ThumbnailShapeTest, TallImagesCentreTheirRoundedWidth)
{
    EXPECT_EQ(ThumbnailShape::tallWidth(390, 1000), 55);
    EXPECT_EQ(ThumbnailShape::frameOffset(55), 42);   // 42.5
    EXPECT_EQ(ThumbnailShape::tallWidth(410, 1000), 57);
    EXPECT_EQ(ThumbnailShape::frameOffset(57), 42);   // 41.5
    EXPECT_EQ(ThumbnailShape::plainHeight(280, 201), 100);
}

TEST_F(ThumbnailTest, ImagesBelowTheRatioBecome140WideWithoutFrame)
{
    const struct { int w, h, thumbHeight; } cases[] = {
        {800, 600, 105}, {600, 800, 187}, {100, 100, 140}, {10, 10, 140}, {280, 201, 100}, {179, 100, 78},
    };
    for (const auto &c : cases) {
        const QImage thumb = thumbnailOf(image(c.w, c.h));
        EXPECT_EQ(thumb.size(), QSize(140, c.thumbHeight)) << c.w << "x" << c.h;
        EXPECT_FALSE(isWhite(thumb, 70, 0)) << c.w << "x" << c.h;
    }
}

TEST_F(ThumbnailTest, AWideImageIsCentredTopToBottomInAWhiteSquare)
{
    const QImage thumb = thumbnailOf(image(1000, 500));
    ASSERT_EQ(thumb.size(), QSize(140, 140));
    // 140 x 70 at y 35.
    EXPECT_TRUE(isWhite(thumb, 70, 34));
    EXPECT_FALSE(isWhite(thumb, 70, 35));
    EXPECT_FALSE(isWhite(thumb, 70, 104));
    EXPECT_TRUE(isWhite(thumb, 70, 105));
    EXPECT_EQ(thumb.pixelColor(0, 0).alpha(), 255);
}

TEST_F(ThumbnailTest, TallImagesAreCentredLeftToRightInAWhiteSquare)
{
    const struct { int w, h, x, width; } cases[] = {{500, 1000, 35, 70}, {390, 1000, 42, 55}, {410, 1000, 42, 57}};
    for (const auto &c : cases) {
        const QImage thumb = thumbnailOf(image(c.w, c.h));
        ASSERT_EQ(thumb.size(), QSize(140, 140)) << c.w;
        EXPECT_TRUE(isWhite(thumb, c.x - 1, 70)) << c.w;
        EXPECT_FALSE(isWhite(thumb, c.x, 70)) << c.w;
        EXPECT_FALSE(isWhite(thumb, c.x + c.width - 1, 70)) << c.w;
        EXPECT_TRUE(isWhite(thumb, c.x + c.width, 70)) << c.w;
    }
}

TEST_F(ThumbnailTest, ForTwiceThePixelRatioTheShapeIsTheSameInLogicalPixels)
{
    ImgXDocument doc;
    const QImage plain = ThumbnailMaker::makeIn(doc, image(280, 201), 2);
    EXPECT_EQ(plain.size(), QSize(280, 200));
    EXPECT_EQ(plain.devicePixelRatio(), 2);
    // 55 logical pixels wide: 110 device pixels, centred.
    const QImage tall = ThumbnailMaker::makeIn(doc, image(390, 1000), 2);
    ASSERT_EQ(tall.size(), QSize(280, 280));
    EXPECT_TRUE(isWhite(tall, 84, 140));
    EXPECT_FALSE(isWhite(tall, 85, 140));
    EXPECT_FALSE(isWhite(tall, 194, 140));
    EXPECT_TRUE(isWhite(tall, 195, 140));
}

TEST_F(ThumbnailTest, ARatioOfExactly1Point8IsFramed)
{
    const QImage thumb = thumbnailOf(image(180, 100));
    EXPECT_EQ(thumb.size(), QSize(140, 140));
    EXPECT_TRUE(isWhite(thumb, 70, 2));
    EXPECT_FALSE(isWhite(thumb, 70, 70));
}

TEST_F(ThumbnailTest, IconsAndDibsAreStoredAtTheirOwnSize)
{
    const QString ico = image(32, 32, "ICO", "ico");
    const QString dib = image(20, 10, "BMP", "dib");
    EXPECT_TRUE(ThumbnailMaker::isPictureLoaded(ico));
    EXPECT_TRUE(ThumbnailMaker::isPictureLoaded(dib));
    EXPECT_FALSE(ThumbnailMaker::isPictureLoaded(image(20, 10)));
    EXPECT_EQ(thumbnailOf(ico).size(), QSize(32, 32));
    EXPECT_EQ(thumbnailOf(dib).size(), QSize(20, 10));
}

TEST_F(ThumbnailTest, JpegPhotosDecodeAtAReducedScaleButKeepTheirShape)
{
    const QImage thumb = thumbnailOf(image(3000, 2000, "JPG", "jpg"));
    EXPECT_EQ(thumb.size(), QSize(140, 93));
}

TEST_F(ThumbnailTest, FailuresComeBackAsTheComponentsText)
{
    const QString path = dir.path() + "/bad.png";
    TestFiles::writeBytes(path, "not a picture");
    const Thumbnail made = ThumbnailMaker::make(path);
    EXPECT_FALSE(made.ok());
    EXPECT_FALSE(made.error.isEmpty());
    EXPECT_TRUE(made.picture.isNull());
    EXPECT_FALSE(ThumbnailMaker::make(dir.path() + "/missing.png").ok());
}

TEST_F(ThumbnailTest, ThePrefetcherGivesEachFileOnceInListOrder)
{
    QStringList paths;
    for (int i = 1; i <= 12; ++i)
        paths << image(100 + i, 80);
    ThumbnailPrefetcher prefetcher(3);
    prefetcher.start(paths);

    const auto first = prefetcher.take(paths[0]);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->picture.size(), QSize(140, ThumbnailShape::plainHeight(101, 80)));
    EXPECT_FALSE(prefetcher.take(paths[0]).has_value());              // already taken
    // Beyond the look-ahead: made on demand.
    const auto last = prefetcher.take(paths[11]);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->picture.size(), QSize(140, ThumbnailShape::plainHeight(112, 80)));
    EXPECT_FALSE(prefetcher.take(paths[5]).has_value());              // passed over
    EXPECT_FALSE(prefetcher.take(dir.path() + "/other.png").has_value());

    prefetcher.start({paths[5]});                                     // a new list drops the old
    EXPECT_FALSE(prefetcher.take(paths[4]).has_value());
    EXPECT_TRUE(prefetcher.take(paths[5]).has_value());
    prefetcher.start(paths);
    prefetcher.cancel();
    EXPECT_FALSE(prefetcher.take(paths[0]).has_value());
}

TEST_F(ThumbnailTest, ThePrefetcherReportsFailuresLikeTheMaker)
{
    const QString bad = dir.path() + "/bad.gif";
    TestFiles::writeBytes(bad, QByteArray());
    ThumbnailPrefetcher prefetcher;
    prefetcher.start({bad});
    const auto made = prefetcher.take(bad);
    ASSERT_TRUE(made.has_value());
    EXPECT_EQ(made->error, ThumbnailMaker::make(bad).error);
}
