// Transform: Resize rounding, Canvas placement, exact quarter turns and
// the pixel cipher; ColorFactory's colour order.

#include "ImagingSamples.h"
#include "ImageTransforms.h"
#include "ImgXDocument.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QClipboard>
#include <QColorSpace>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

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
    const QImage stripes = TestFiles::stripes(800, 80);
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

namespace {

// A PNG whose only colour information is a gamma chunk (linear light),
// with a comment.
QByteArray gammaPngWithComment(const QImage &image, const QString &comment)
{
    QImage tagged = image;
    tagged.setText(QStringLiteral("Comment"), comment);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    tagged.save(&buffer, "PNG");
    QByteArray chunk("gAMA\x00\x01\x86\xa0", 8);   // 100000: gamma 1.0
    const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(chunk.constData()), uInt(chunk.size())));
    chunk.prepend(QByteArray("\0\0\0\4", 4));
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.append(char((crc >> shift) & 0xff));
    png.insert(33, chunk);   // right after the signature and IHDR
    return png;
}

}

TEST(ImagingTransform, EncryptedImagesKeepNothingOfTheSourceAndComeBackFromLosslessFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("source.png"),
                                      gammaPngWithComment(noisy(37, 23, true), "Account PIN 4711")));
    ImgXDocument doc;
    doc.Loader.LoadFromFile(dir.filePath("source.png"));
    const QImage original = doc.Export.GetPicture();
    ASSERT_TRUE(original.hasAlphaChannel());
    doc.Transform.Encrypt(QStringLiteral("open sesame"));
    const QImage sealed = doc.Export.GetPicture();
    EXPECT_FALSE(sealed.hasAlphaChannel());   // alpha is enciphered with the colours
    EXPECT_FALSE(sealed.colorSpace().isValid());
    EXPECT_TRUE(sealed.textKeys().isEmpty());
    EXPECT_EQ(doc.ImageInfo.Height(), sealed.height());

    const std::pair<const char *, int> lossless[] = {
        {"secret.png", ImgXFormatPNG}, {"secret.tif", ImgXFormatTIF}, {"secret.bmp", ImgXFormatBMP}};
    for (auto [name, code] : lossless) {
        SCOPED_TRACE(name);
        doc.Export.SaveFile(dir.filePath(name), code);
        EXPECT_FALSE(TestFiles::readBytes(dir.filePath(name)).contains("4711"));
        ImgXDocument back;
        back.Loader.LoadFromFile(dir.filePath(name));
        back.Transform.Decrypt(QStringLiteral("open sesame"));
        EXPECT_EQ(maxDifference(back.Export.GetPicture(), original), 0);
        EXPECT_EQ(back.ImageInfo.Height(), 23);
    }
    // JPEG changes the pixels, so what it keeps cannot be deciphered.
    doc.Export.SaveFile(dir.filePath("secret.jpg"), ImgXFormatJPG);
    ImgXDocument jpeg;
    jpeg.Loader.LoadFromFile(dir.filePath("secret.jpg"));
    EXPECT_THROW(jpeg.Transform.Decrypt(QStringLiteral("open sesame")), ImgXError);
}

TEST(ImagingTransform, EveryEncryptionIsFreshAndOnlyTheKeyAndIntactPixelsUndoIt)
{
    const QImage picture = smooth(64, 48);
    ImgXDocument first, second;
    first.Loader.LoadFromPicture(picture);
    second.Loader.LoadFromPicture(picture);
    first.Transform.Encrypt(QStringLiteral("k"));
    second.Transform.Encrypt(QStringLiteral("k"));
    const QImage a = first.Export.GetPicture(), b = second.Export.GetPicture();
    ASSERT_EQ(a.size(), b.size());
    int samePixels = 0;   // in the rows that hold the pixels, before the added ones
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            samePixels += a.pixel(x, y) == b.pixel(x, y);
    EXPECT_LT(samePixels, 5);

    // A wrong key, an altered pixel, or a picture never encrypted: an
    // error, and the image stays as it was.
    EXPECT_THROW(first.Transform.Decrypt(QStringLiteral("K")), ImgXError);
    EXPECT_EQ(first.Export.GetPicture(), a);
    QImage altered = a;
    altered.setPixel(5, 5, altered.pixel(5, 5) ^ 1);
    ImgXDocument tampered;
    tampered.Loader.LoadFromPicture(altered);
    EXPECT_THROW(tampered.Transform.Decrypt(QStringLiteral("k")), ImgXError);
    EXPECT_EQ(tampered.Export.GetPicture(), altered);
    ImgXDocument plain;
    plain.Loader.LoadFromPicture(picture);
    EXPECT_THROW(plain.Transform.Decrypt(QStringLiteral("k")), ImgXError);

    first.Transform.Decrypt(QStringLiteral("k"));
    EXPECT_EQ(maxDifference(first.Export.GetPicture(), picture), 0);
}

TEST(ImagingTransform, SixteenBitChannelsComeBackExactly)
{
    QTemporaryDir dir;
    QImage deep(9, 7, QImage::Format_RGBA64);
    for (int y = 0; y < deep.height(); ++y)
        for (int x = 0; x < deep.width(); ++x)
            deep.setPixelColor(x, y, QColor::fromRgba64(quint16(x * 7001 + y), quint16(y * 9001 + x), 513, 65534 - x));
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(deep);
    doc.Transform.Encrypt(QStringLiteral("k"));
    doc.Export.SaveFile(dir.filePath("deep.png"), ImgXFormatPNG);
    ImgXDocument back;
    back.Loader.LoadFromFile(dir.filePath("deep.png"));
    back.Transform.Decrypt(QStringLiteral("k"));
    EXPECT_EQ(back.Export.GetPicture().convertToFormat(QImage::Format_RGBA64), deep);
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
