// Transform: Resize rounding, Canvas placement, exact quarter turns and
// the pixel cipher; ColorFactory's colour order.

#include "ImagingSamples.h"
#include "ImageTransforms.h"
#include "ImgXDocument.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ImagingSamples;

TEST(ImagingTransform, ResizeFollowsAspectRoundingHalvesToEven)
{
    EXPECT_EQ(ImageTransforms::roundHalfEven(3, 2), 2);   // 1.5
    EXPECT_EQ(ImageTransforms::roundHalfEven(5, 2), 2);   // 2.5
    EXPECT_EQ(ImageTransforms::roundHalfEven(7, 2), 4);   // 3.5
    EXPECT_EQ(ImageTransforms::roundHalfEven(10, 3), 3);
    EXPECT_EQ(ImageTransforms::roundHalfEven(11, 3), 4);

    struct Case { QSize from; int w, h; QSize expected; };
    const Case cases[] = {
        {{3000, 2000}, 140, 0, {140, 93}},    // 93.33
        {{4, 2}, 3, 0, {3, 2}},              // 1.5 -> 2
        {{4, 6}, 3, 0, {3, 4}},              // 4.5 -> 4
        {{4, 10}, 3, 0, {3, 8}},             // 7.5 -> 8
        {{2000, 3000}, 0, 140, {93, 140}},
        {{1000, 1}, 10, 0, {10, 1}},         // never below one pixel
        {{50, 40}, 20, 30, {20, 30}},        // both sides given: as asked
    };
    for (const Case &c : cases) {
        ImgXDocument doc;
        doc.Loader.LoadFromPicture(smooth(c.from.width(), c.from.height()));
        doc.Transform.Resize(c.w, c.h, 4);
        EXPECT_EQ(QSize(doc.ImageInfo.Width(), doc.ImageInfo.Height()), c.expected) << c.from.width() << "x" << c.from.height();
        EXPECT_EQ(doc.Export.GetPicture().size(), c.expected);
    }

    ImgXDocument doc;
    EXPECT_THROW(doc.Transform.Resize(10, 0), ImgXError);   // nothing loaded
    doc.Loader.LoadFromPicture(smooth(10, 10));
    EXPECT_THROW(doc.Transform.Resize(0, 0), ImgXError);
    EXPECT_THROW(doc.Transform.Resize(-5, 10), ImgXError);
    EXPECT_THROW(doc.Transform.Resize(200000, 200000), ImgXError);   // past the memory cap
}

TEST(ImagingTransform, HighQualityShrinkAveragesFineDetail)
{
    // One-pixel black and white stripes shrunk 8 times must come out mid
    // grey; sampling single pixels would give black or white.
    QImage stripes(800, 80, QImage::Format_RGB32);
    for (int x = 0; x < 800; ++x)
        for (int y = 0; y < 80; ++y)
            stripes.setPixel(x, y, (x % 2) ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(stripes);
    doc.Transform.Resize(100, 0, 4);
    const QImage small = doc.Export.GetPicture();
    ASSERT_EQ(small.size(), QSize(100, 10));
    for (int x = 5; x < 95; x += 17)
        EXPECT_NEAR(qGray(small.pixel(x, 5)), 128, 12) << x;
}

TEST(ImagingTransform, CanvasPlacesTheImageAndFills)
{
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(picture);
    doc.Transform.Canvas(10, 8, QColor(0, 255, 0), 5, 2);
    const QImage out = doc.Export.GetPicture();
    ASSERT_EQ(out.size(), QSize(10, 8));
    EXPECT_EQ(doc.ImageInfo.Width(), 10);
    EXPECT_EQ(out.pixel(5, 2), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(8, 4), qRgb(0, 0, 255));
    EXPECT_EQ(out.pixel(4, 2), qRgb(0, 255, 0));
    EXPECT_EQ(out.pixel(9, 4), qRgb(0, 255, 0));
    EXPECT_EQ(out.pixel(5, 5), qRgb(0, 255, 0));

    // Partly outside: clipped, not wrapped.
    doc.Loader.LoadFromPicture(picture);
    doc.Transform.Canvas(3, 3, QColor(Qt::white), -1, -1);
    EXPECT_EQ(doc.Export.GetPicture().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(doc.Export.GetPicture().pixel(2, 2), qRgb(255, 255, 255));

    // A see-through fill keeps alpha.
    doc.Loader.LoadFromPicture(picture);
    doc.Transform.Canvas(6, 6, QColor(0, 0, 0, 0), 0, 0);
    EXPECT_TRUE(doc.Export.GetPicture().hasAlphaChannel());
    EXPECT_EQ(qAlpha(doc.Export.GetPicture().pixel(5, 5)), 0);
    EXPECT_THROW(doc.Transform.Canvas(0, 5, QColor(Qt::white), 0, 0), ImgXError);
}

TEST(ImagingTransform, QuarterTurnsAreExact)
{
    const QImage picture = noisy(7, 4, true);
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(picture);
    doc.Transform.Rotate(90);
    QImage turned = doc.Export.GetPicture();
    ASSERT_EQ(turned.size(), QSize(4, 7));
    EXPECT_EQ(doc.ImageInfo.Width(), 4);
    EXPECT_EQ(doc.ImageInfo.Height(), 7);
    // Clockwise: the source's bottom-left corner becomes the top-left.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(turned.pixel(3 - y, x), picture.pixel(x, y)) << x << "," << y;

    for (int i = 0; i < 3; ++i)
        doc.Transform.Rotate(90);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);

    doc.Transform.Rotate(-90);
    ImgXDocument other;
    other.Loader.LoadFromPicture(picture);
    other.Transform.Rotate(270);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), other.Export.GetPicture()), 0);
    doc.Transform.Rotate(90);
    doc.Transform.Rotate(180);
    doc.Transform.Rotate(-180);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);
}

TEST(ImagingTransform, FreeAngleGrowsOnTheBackground)
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::black);
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(picture);
    const QColor background(Qt::yellow);
    doc.Transform.Rotate(45, &background);
    const QImage out = doc.Export.GetPicture();
    EXPECT_GT(out.width(), 40);
    EXPECT_GT(out.height(), 20);
    EXPECT_EQ(out.pixelColor(0, 0), background);
    EXPECT_EQ(out.pixelColor(out.width() / 2, out.height() / 2), QColor(Qt::black));
}

TEST(ImagingTransform, EncryptionRoundTripsThroughFiles)
{
    QTemporaryDir dir;
    const QImage picture = smooth(64, 48);
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(picture);
    doc.Transform.Encrypt(QStringLiteral("open sesame"));
    const QImage scrambled = doc.Export.GetPicture();
    // Noise: neighbouring pixels of the smooth picture no longer match.
    int sameNeighbours = 0;
    for (int x = 1; x < 64; ++x)
        sameNeighbours += qAbs(qRed(scrambled.pixel(x, 20)) - qRed(scrambled.pixel(x - 1, 20))) < 8;
    EXPECT_LT(sameNeighbours, 10);
    EXPECT_EQ(qAlpha(scrambled.pixel(3, 3)), 255);

    for (auto [name, code] : {std::pair{"secret.png", int(ImgXFormatPNG)}, std::pair{"secret.bmp", int(ImgXFormatBMP)}}) {
        SCOPED_TRACE(name);
        doc.Export.SaveFile(dir.filePath(name), code);
        ImgXDocument back;
        back.Loader.LoadFromFile(dir.filePath(name));
        back.Transform.Decrypt(QStringLiteral("open sesame"));
        EXPECT_EQ(maxDifference(back.Export.GetPicture(), picture), 0);
    }

    // A wrong key gives noise, not the picture (and no failure).
    ImgXDocument wrong;
    wrong.Loader.LoadFromFile(dir.filePath("secret.png"));
    EXPECT_NO_THROW(wrong.Transform.Decrypt(QStringLiteral("open sesame!")));
    EXPECT_GT(maxDifference(wrong.Export.GetPicture(), picture), 100);
}

TEST(ImagingTransform, EncryptionLeavesAlphaAlone)
{
    const QImage picture = noisy(16, 16, true);
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(picture);
    doc.Transform.Encrypt(QStringLiteral("k"));
    const QImage scrambled = doc.Export.GetPicture();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(qAlpha(scrambled.pixel(x, y)), qAlpha(picture.pixel(x, y)));
    EXPECT_GT(maxDifference(scrambled, picture), 100);
    doc.Transform.Decrypt(QStringLiteral("k"));
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);
}

TEST(ImagingTransform, CopyToClipboardHandsOverThePicture)
{
    ImgXDocument doc;
    EXPECT_THROW(doc.Export.CopyToClipboard(), ImgXError);
    const QImage picture = noisy(9, 5);
    doc.Loader.LoadFromPicture(picture);
    doc.Export.CopyToClipboard();
    EXPECT_EQ(maxDifference(QGuiApplication::clipboard()->image(), picture), 0);
}

TEST(ImagingTransform, ColorFactoryReadsBlueGreenRed)
{
    EXPECT_EQ(ImgXColorFactory::FromRGB(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(ImgXColorFactory::FromRGB(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ImgXColorFactory::FromRGB(0x00336699, 128), QColor(0x99, 0x66, 0x33, 128));
    EXPECT_EQ(ImgXColorFactory::FromRGB(0xFF00FF00).alpha(), 255);   // the top byte is not alpha
}
