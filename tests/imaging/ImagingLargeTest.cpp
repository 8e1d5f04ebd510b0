// Big pictures: the formats written through ImageMagick open and save up
// to the sizes the system allows, and past them fail with a reason.

#include "ImageReducer.h"
#include "ImagingSamples.h"
#include "ImgX.h"
#include "ImgXDocument.h"
#include "TestFiles.h"

#include <Magick++.h>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// An uncompressed 8-bit grey TGA of the given size, all mid grey.
QByteArray greyTga(int width, int height)
{
    QByteArray bytes(18, '\0');
    bytes[2] = 3;   // uncompressed grey
    bytes[12] = char(width & 0xff);
    bytes[13] = char(width >> 8);
    bytes[14] = char(height & 0xff);
    bytes[15] = char(height >> 8);
    bytes[16] = 8;
    bytes[17] = 0x20;   // top-left origin
    return bytes + QByteArray(qsizetype(width) * height, '\x80');
}

// 1-bit, 144 million pixels (18 MB; 576 MB in 32 bits): white with every
// fourth row black.
QImage hugeTwoTone()
{
    QImage image(12000, 12000, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < image.height(); y += 4)
        memset(image.scanLine(y), 0xff, size_t(image.bytesPerLine()));
    return image;
}

}

// Past a quarter of ImageMagick's memory allowance its pixels go to a file
// in the temporary folder instead of failing (or ending the program).
TEST(ImagingLarge, PicturesBeyondTheMemoryAllowanceSaveAndOpen)
{
    QTemporaryDir dir;
    QImage picture(5800, 5800, QImage::Format_ARGB32);   // 33.6 million pixels
    picture.fill(QColor(0, 0, 255, 255));
    picture.setPixelColor(5799, 5799, QColor(255, 0, 0));
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(picture);
    for (auto [code, name] : {std::pair{ImgXFormatPSD, "big.psd"}, std::pair{ImgXFormatTGA, "big.tga"}}) {
        SCOPED_TRACE(name);
        try {
            doc.Export.SaveFile(dir.filePath(name), code);
            ImgXDocument back;
            back.Loader.LoadFromFile(dir.filePath(name));
            EXPECT_EQ(back.ImageInfo.Width(), 5800);
            const QImage got = back.Export.GetPicture();
            EXPECT_EQ(got.pixel(5799, 5799), qRgb(255, 0, 0));
            EXPECT_EQ(got.pixel(10, 10), qRgb(0, 0, 255));
        } catch (const ImgXError &e) {
            ADD_FAILURE() << e.what();
        }
    }
}

TEST(ImagingLarge, PastTheSystemLimitsAReasonAndNoFile)
{
    QTemporaryDir dir;
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(QImage(1, 1, QImage::Format_Mono));
    doc.Export.SaveFile(dir.filePath("tiny.tga"), ImgXFormatTGA);   // starts ImageMagick
    if (MagickCore::GetMagickResourceLimit(MagickCore::WidthResource) != 16000)
        GTEST_SKIP() << "the system does not limit ImageMagick to 16000 pixels a side";
    doc.Loader.LoadFromPicture(QImage(16001, 8, QImage::Format_Mono));
    try {
        doc.Export.SaveFile(dir.filePath("wide.tga"), ImgXFormatTGA);
        ADD_FAILURE() << "saved";
    } catch (const ImgXError &e) {
        EXPECT_TRUE(e.text().contains(QLatin1String("16001 x 8 pixels it is larger"))) << e.what();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("wide.tga")));

    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("wide.tga"), greyTga(16001, 8)));
    ImgXDocument back;
    try {
        back.Loader.LoadFromFile(dir.filePath("wide.tga"));
        ADD_FAILURE() << "opened";
    } catch (const ImgXError &e) {
        EXPECT_TRUE(e.text().contains(QLatin1String("Cannot read the TGA image: at 16001 x 8 pixels"))) << e.what();
    }
    // Within the limits the same file opens.
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("fits.tga"), greyTga(16000, 8)));
    EXPECT_NO_THROW(back.Loader.LoadFromFile(dir.filePath("fits.tga")));
}

// A huge 1-bit page is thumbnailed and shown without a 32-bit copy of it.
TEST(ImagingLarge, HugeTwoTonePagesAreReducedAndShownPieceByPiece)
{
    const QImage page = hugeTwoTone();
    if (!ImagingSamples::resetPeakMemory())
        GTEST_SKIP() << "the highest resident memory cannot be reset here";
    const qint64 before = ImagingSamples::peakMemoryMb();
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(page);
    doc.Transform.Resize(280, 0, 4);
    const QImage thumb = doc.Export.GetPicture();
    ASSERT_EQ(thumb.size(), QSize(280, 280));
    EXPECT_NEAR(qRed(thumb.pixel(140, 140)), 191, 2);   // three white rows to one black

    ImgX view;
    view.resize(300, 200);
    view.Loader.LoadFromPicture(page);
    view.setZoom(200.0 / 12000);
    QImage shot = view.grab().toImage();
    EXPECT_NEAR(qRed(shot.pixel(150, 100)), 191, 2);
    view.setZoom(1.0);   // the middle of the page, row by row
    shot = view.grab().toImage();
    const int centre = qRed(shot.pixel(150, 100));
    EXPECT_TRUE(centre == 0 || centre == 255) << centre;
    EXPECT_NE(qRed(shot.pixel(150, 100)), qRed(shot.pixel(150, 101)));
    EXPECT_LT(ImagingSamples::peakMemoryMb() - before, 150);
}

// The band-wise reduction averages as Qt's smooth scaling does, for 1-bit
// rows in either bit order and for palettes with transparency.
TEST(ImagingLarge, BandWiseReductionAveragesLikeSmoothScaling)
{
    QImage mono(60, 40, QImage::Format_Mono);
    mono.setColorTable({qRgb(250, 240, 10), qRgba(0, 30, 200, 255)});
    const QImage noise = ImagingSamples::noisy(60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            mono.setPixel(x, y, (noise.pixel(x, y) >> 3) & 1);
    QImage palette = ImagingSamples::noisy(60, 40, true).convertToFormat(QImage::Format_Indexed8);
    QList<QRgb> colours = palette.colorTable();
    colours[0] = qRgba(0, 0, 0, 0);
    palette.setColorTable(colours);
    for (const QImage &image : {mono, mono.convertToFormat(QImage::Format_MonoLSB), palette}) {
        SCOPED_TRACE(int(image.format()));
        const QSize target(20, 10);
        const QImage expected = image.convertToFormat(QImage::Format_ARGB32)
                                    .scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LE(ImagingSamples::maxPremultipliedDifference(ImageReducer::reduce(image, target), expected), 4);   // Qt rounds premultiplied values on the way
        EXPECT_EQ(ImagingSamples::maxDifference(ImageReducer::reduce(image, image.size()), image), 0);
    }
}
