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
