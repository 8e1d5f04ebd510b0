// Big pictures: the formats written through ImageMagick open and save up
// to the sizes the system allows, and past them fail with a reason.

#include "ImgXDocument.h"
#include "TestFiles.h"

#include <Magick++.h>
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
    for (auto [code, name] : {std::pair{ImgXFormatPSD, "big.psd"}, std::pair{ImgXFormatTGA, "big.tga"},
                              std::pair{ImgXFormatPCX, "big.pcx"}}) {
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
