// Pixels read as they were stored: palette pictures, colour tags, and
// save-and-reopen in the lossless formats.

#include "ImagingSamples.h"
#include "ImgXDocument.h"
#include "TestFiles.h"

#include <Magick++.h>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ImagingSamples;

namespace {

// Four colours in stripes and a diagonal: a palette holds them exactly.
QImage fourColours(int width, int height)
{
    const QRgb colours[] = {qRgb(200, 30, 30), qRgb(20, 160, 40), qRgb(10, 20, 230), qRgb(250, 250, 240)};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x == y ? colours[3] : colours[(x / 3 + y / 5) % 3]);
    return image;
}

}

TEST(ImagingFidelity, IndexedColourPsdsOpen)
{
    QTemporaryDir dir;
    const QImage source = fourColours(37, 21);
    for (auto compression : {Magick::NoCompression, Magick::RLECompression}) {
        SCOPED_TRACE(int(compression));
        Magick::Image image = toMagick(source);
        image.type(Magick::PaletteType);
        image.compressType(compression);
        const QString path = dir.filePath("indexed.psd");
        ASSERT_TRUE(writeMagick(image, path, "PSD"));
        ASSERT_EQ(TestFiles::readBytes(path).at(25), 2) << "not written in indexed colour";
        ImgXDocument doc;
        try {
            doc.Loader.LoadFromFile(path);
        } catch (const ImgXError &e) {
            FAIL() << e.what();
        }
        EXPECT_EQ(doc.ImageInfo.BitsPerPixel(), 8);
        EXPECT_EQ(maxDifference(doc.Export.GetPicture(), source), 0);
    }
}

// Lossless formats give back the pixels they were given, whatever colour
// tags or palette transparency the picture came with.
TEST(ImagingFidelity, SaveAndReopenKeepsThePixels)
{
    QTemporaryDir dir;
    // A PNG tagged with a gamma of 1.8 (and the primaries ImageMagick adds).
    Magick::Image tagged = toMagick(fourColours(24, 16));
    tagged.image()->gamma = 1 / 1.8;
    const QString gammaPng = dir.filePath("gamma.png");
    ASSERT_TRUE(writeMagick(tagged, gammaPng, "PNG24"));
    ASSERT_TRUE(TestFiles::readBytes(gammaPng).contains("gAMA"));

    QImage palette(24, 16, QImage::Format_Indexed8);
    palette.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 0, 0), qRgba(0, 0, 255, 128)});
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            palette.setPixel(x, y, (x + y) % 3);

    for (auto [code, name] : {std::pair{ImgXFormatPNG, "out.png"}, std::pair{ImgXFormatTIF, "out.tif"},
                              std::pair{ImgXFormatBMP, "out.bmp"}, std::pair{ImgXFormatTGA, "out.tga"}}) {
        SCOPED_TRACE(name);
        ImgXDocument doc, back;
        doc.Loader.LoadFromFile(gammaPng);
        doc.Export.SaveFile(dir.filePath(name), code);
        back.Loader.LoadFromFile(dir.filePath(name));
        EXPECT_EQ(maxDifference(back.Export.GetPicture(), doc.Export.GetPicture()), 0) << "gamma-tagged";

        doc.Loader.LoadFromPicture(palette);
        doc.Export.SaveFile(dir.filePath(name), code);
        back.Loader.LoadFromFile(dir.filePath(name));
        EXPECT_EQ(maxPremultipliedDifference(back.Export.GetPicture(), palette), 0) << "palette with transparency";
    }
}

// A damaged GIF whose header gives another size than its pixels have is
// described by its pixels.
TEST(ImagingFidelity, DamagedGifsReportTheSizeOfTheirPixels)
{
    QTemporaryDir dir;
    std::list<Magick::Image> frames{toMagick(fourColours(20, 15)), toMagick(fourColours(12, 9))};
    const QString path = dir.filePath("frames.gif");
    ASSERT_TRUE(writeMagickList(frames, path, "GIF"));
    QByteArray bytes = TestFiles::readBytes(path);
    bytes[7] = char(0xC6);   // the screen becomes 50708 pixels wide
    ASSERT_TRUE(TestFiles::writeBytes(path, bytes));
    ImgXDocument doc;
    doc.Loader.LoadFromFile(path);
    for (int i = 0; i < doc.Pages.Count(); ++i) {
        const ImgXPage page = *doc.Pages.Item(i);
        EXPECT_EQ(QSize(page.Width(), page.Height()), page.image.size()) << "page " << i;
    }
}
