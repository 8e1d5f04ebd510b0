// Loading every format and variant by content: size, stored depth, pages
// and pixels against the picture that was written.

#include "ImagingSamples.h"
#include "ImgXDocument.h"
#include "PictureLoader.h"
#include "TestFiles.h"

#include <Magick++.h>
#include <QColorSpace>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace ImagingSamples;

namespace {

class ImagingDecode : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Magick::InitializeMagick(nullptr); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Loads and checks the description of the page on show.
    void load(ImgXDocument &doc, const QString &file, int format, int width, int height, int bpp,
              const QString &options = QString())
    {
        SCOPED_TRACE(file.toStdString());
        ASSERT_NO_THROW(doc.Loader.LoadFromFile(path(file), 0, options));
        EXPECT_EQ(doc.ImageInfo.Format(), format);
        EXPECT_EQ(doc.ImageInfo.Width(), width);
        EXPECT_EQ(doc.ImageInfo.Height(), height);
        EXPECT_EQ(doc.ImageInfo.BitsPerPixel(), bpp);
        EXPECT_EQ(doc.ImageInfo.FileName(), file);
        EXPECT_EQ(doc.ImageInfo.FilePath(), path(file));
    }

    QTemporaryDir m_dir;
};

}

TEST_F(ImagingDecode, PngVariantsKeepPixelsAndReportStoredDepth)
{
    const QImage rgb = noisy(33, 17);
    const QImage rgba = noisy(33, 17, true);
    QImage palette = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QImage grey = rgb.convertToFormat(QImage::Format_Grayscale8);
    QImage deep = rgb.convertToFormat(QImage::Format_RGBX64);
    QImage deepAlpha = rgba.convertToFormat(QImage::Format_RGBA64);
    ASSERT_TRUE(rgb.save(path("rgb.png")));
    ASSERT_TRUE(rgba.save(path("rgba.png")));
    ASSERT_TRUE(palette.save(path("palette.png")));
    ASSERT_TRUE(grey.save(path("grey.png")));
    ASSERT_TRUE(deep.save(path("deep.png")));
    ASSERT_TRUE(deepAlpha.save(path("deepalpha.png")));

    struct Case { const char *file; int bpp; QImage reference; };
    const Case cases[] = {{"rgb.png", 24, rgb}, {"rgba.png", 32, rgba}, {"palette.png", 8, palette},
                          {"grey.png", 8, grey}, {"deep.png", 48, deep}, {"deepalpha.png", 64, deepAlpha}};
    for (const Case &c : cases) {
        ImgXDocument doc;
        load(doc, c.file, ImgXFormatPNG, 33, 17, c.bpp);
        EXPECT_EQ(maxDifference(doc.Export.GetPicture(), c.reference), 0) << c.file;
    }
}

TEST_F(ImagingDecode, BmpDepthsAndBareDib)
{
    const QImage rgb = noisy(21, 9);
    const QImage mono = rgb.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    const QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    ASSERT_TRUE(rgb.save(path("rgb.bmp"), "BMP"));
    // Run-length coded 8-bit BMP, as ImageMagick writes it.
    Magick::Image rle = toMagick(indexed);
    rle.type(Magick::PaletteType);
    rle.compressType(Magick::RLECompression);
    ASSERT_TRUE(writeMagick(rle, path("rle.bmp"), "BMP3"));
    ASSERT_EQ(TestFiles::readBytes(path("rle.bmp"))[30], char(1));   // BI_RLE8
    ASSERT_TRUE(mono.save(path("mono.bmp"), "BMP"));
    ASSERT_TRUE(indexed.save(path("indexed.bmp"), "BMP"));
    for (auto [file, bpp, reference] : {std::tuple{"rgb.bmp", 24, rgb}, std::tuple{"mono.bmp", 1, mono},
                                        std::tuple{"indexed.bmp", 8, indexed}, std::tuple{"rle.bmp", 8, indexed}}) {
        ImgXDocument doc;
        load(doc, file, ImgXFormatBMP, 21, 9, bpp);
        EXPECT_EQ(maxDifference(doc.Export.GetPicture(), reference), 0) << file;
    }

    // A .dib holding the bitmap without its file header, as the clipboard
    // keeps it; and a .dib with the header, read as a BMP.
    const QByteArray bmp = TestFiles::readBytes(path("rgb.bmp"));
    ASSERT_TRUE(TestFiles::writeBytes(path("bare.dib"), bmp.mid(14)));
    ASSERT_TRUE(TestFiles::writeBytes(path("full.dib"), bmp));
    for (const char *file : {"bare.dib", "full.dib"}) {
        ImgXDocument doc;
        load(doc, file, ImgXFormatBMP, 21, 9, 24);
        EXPECT_EQ(maxDifference(doc.Export.GetPicture(), rgb), 0) << file;
        EXPECT_EQ(maxDifference(PictureLoader::LoadPicture(path(file)), rgb), 0) << file;
    }
}

TEST_F(ImagingDecode, JpegGreyColourAndCmyk)
{
    const QImage picture = smooth(64, 40);
    ASSERT_TRUE(picture.save(path("colour.jpg"), "JPEG", 95));
    ASSERT_TRUE(picture.convertToFormat(QImage::Format_Grayscale8).save(path("grey.jpg"), "JPEG", 95));
    Magick::Image cmyk = toMagick(picture);
    cmyk.colorSpace(Magick::CMYKColorspace);
    cmyk.depth(16);
    cmyk.quality(95);
    ASSERT_TRUE(writeMagick(cmyk, path("cmyk.jpg"), "JPEG"));

    ImgXDocument doc;
    load(doc, "colour.jpg", ImgXFormatJPG, 64, 40, 24);
    for (QPoint at : {QPoint(4, 4), QPoint(40, 10), QPoint(60, 36), QPoint(10, 35)})
        EXPECT_LE(maxDifference(doc.Export.GetPicture().copy(QRect(at, QSize(1, 1))), picture.copy(QRect(at, QSize(1, 1)))), 8);
    load(doc, "grey.jpg", ImgXFormatJPG, 64, 40, 8);
    load(doc, "cmyk.jpg", ImgXFormatJPG, 64, 40, 32);
    // The red block stays red once the inks are turned back into light.
    const QColor corner = doc.Export.GetPicture().pixelColor(4, 4);
    EXPECT_GT(corner.red(), 170);
    EXPECT_LT(corner.green(), 80);
}

TEST_F(ImagingDecode, LargeImagesDecodeIntoPrefaultedMemory)
{
    // Past a megapixel the decoders write into memory mapped in one step;
    // the pixels must be the same as anywhere else.
    const QImage picture = noisy(1300, 900, true);
    ASSERT_TRUE(picture.save(path("large.png")));
    ASSERT_TRUE(smooth(1400, 1000).save(path("large.jpg"), "JPEG", 95));
    ImgXDocument doc;
    load(doc, "large.png", ImgXFormatPNG, 1300, 900, 32);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);
    QImage copy = doc.Export.GetPicture();
    doc.Pages.Clear();   // the copy keeps its pixels alive
    EXPECT_EQ(maxDifference(copy, picture), 0);
    load(doc, "large.jpg", ImgXFormatJPG, 1400, 1000, 24);
    EXPECT_NEAR(doc.Export.GetPicture().pixelColor(700, 500).blue(), 120, 3);
}

TEST_F(ImagingDecode, JpegThumbnailDecodeKeepsFullDescription)
{
    ASSERT_TRUE(smooth(3000, 2000).save(path("big.jpg"), "JPEG", 85));
    ImgXDocument doc;
    load(doc, "big.jpg", ImgXFormatJPG, 3000, 2000, 24, QStringLiteral("ThumbnailSize=140"));
    // 1/4 scale: the short side 500 is still at least twice 140; 1/8 is not.
    EXPECT_EQ(doc.Export.GetPicture().size(), QSize(750, 500));
    doc.Transform.Resize(140, 0, 4);
    EXPECT_EQ(doc.ImageInfo.Width(), 140);
    EXPECT_EQ(doc.ImageInfo.Height(), 93);
    EXPECT_EQ(doc.Export.GetPicture().size(), QSize(140, 93));
    doc.Transform.Canvas(140, 140, QColor(Qt::white), 0, 23);
    EXPECT_EQ(doc.Export.GetPicture().size(), QSize(140, 140));
    EXPECT_EQ(doc.Export.GetPicture().pixelColor(70, 5), QColor(Qt::white));

    // A small JPEG is decoded whole even when a thumbnail is asked for.
    ASSERT_TRUE(smooth(200, 100).save(path("small.jpg"), "JPEG"));
    load(doc, "small.jpg", ImgXFormatJPG, 200, 100, 24, QStringLiteral("ThumbnailSize=140"));
    EXPECT_EQ(doc.Export.GetPicture().size(), QSize(200, 100));
}

TEST_F(ImagingDecode, JpegExifOrientationTurnsPixelsAndSize)
{
    const QImage picture = smooth(80, 40);   // red block top-left
    ASSERT_TRUE(TestFiles::writeBytes(path("turned.jpg"), jpegWithOrientation(picture, 6)));
    ImgXDocument doc;
    load(doc, "turned.jpg", ImgXFormatJPG, 40, 80, 24);
    const QImage shown = doc.Export.GetPicture();
    ASSERT_EQ(shown.size(), QSize(40, 80));
    // Orientation 6 means the picture must be turned clockwise: the red
    // block moves to the top-right.
    EXPECT_GT(shown.pixelColor(36, 3).red(), 180);
    EXPECT_LT(shown.pixelColor(3, 3).red(), 150);
}

TEST_F(ImagingDecode, EmbeddedProfileIsConvertedToSrgb)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(QColor(200, 60, 60));
    picture.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    ASSERT_TRUE(picture.save(path("p3.png")));
    ImgXDocument doc;
    load(doc, "p3.png", ImgXFormatPNG, 8, 8, 24);
    const QImage shown = doc.Export.GetPicture();
    EXPECT_EQ(shown.colorSpace(), QColorSpace(QColorSpace::SRgb));
    const QImage expected = picture.convertedToColorSpace(QColorSpace(QColorSpace::SRgb));
    EXPECT_LE(maxDifference(shown, expected), 1);
    EXPECT_GT(shown.pixelColor(0, 0).red(), 200);   // P3 red lies outside sRGB's
}

TEST_F(ImagingDecode, MultiPageTiffGifAndIcon)
{
    std::list<Magick::Image> frames;
    const QSize sizes[] = {{16, 16}, {32, 32}, {48, 48}};
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i) {
        QImage frame(sizes[i], QImage::Format_RGB32);
        frame.fill(colours[i]);
        frames.push_back(toMagick(frame));
    }
    ASSERT_TRUE(writeMagickList(frames, path("pages.tif"), "TIFF"));
    ASSERT_TRUE(writeMagickList(frames, path("sizes.ico"), "ICO"));
    ASSERT_TRUE(writeMagickList(frames, path("anim.gif"), "GIF"));

    ImgXDocument doc;
    load(doc, "pages.tif", ImgXFormatTIF, 16, 16, 24);
    ASSERT_EQ(doc.Pages.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const std::optional<ImgXPage> page = doc.Pages.Item(i);
        ASSERT_TRUE(page.has_value());
        EXPECT_EQ(page->PageIndex(), i);
        EXPECT_EQ(QSize(page->Width(), page->Height()), sizes[i]);
        EXPECT_EQ(page->image.pixelColor(5, 5), colours[i]);
    }
    EXPECT_FALSE(doc.Pages.Item(3).has_value());
    EXPECT_FALSE(doc.Pages.Item(-1).has_value());
    doc.Pages.SetCurrent(*doc.Pages.Item(2));
    EXPECT_EQ(doc.ImageInfo.PageIndex(), 2);
    EXPECT_EQ(doc.ImageInfo.Width(), 48);

    // Asking for a page loads the file and shows that page.
    doc.Loader.LoadFromFile(path("pages.tif"), 1);
    EXPECT_EQ(doc.ImageInfo.PageIndex(), 1);
    EXPECT_EQ(doc.ImageInfo.Width(), 32);
    EXPECT_THROW(doc.Loader.LoadFromFile(path("pages.tif"), 3), ImgXError);

    load(doc, "sizes.ico", ImgXFormatICO, 16, 16, 32);
    ASSERT_EQ(doc.Pages.Count(), 3);
    EXPECT_EQ(doc.Pages.Item(2)->Width(), 48);

    ASSERT_NO_THROW(doc.Loader.LoadFromFile(path("anim.gif")));
    EXPECT_EQ(doc.ImageInfo.Format(), ImgXFormatGIF);
    EXPECT_EQ(doc.Pages.Count(), 3);
    EXPECT_GE(doc.ImageInfo.BitsPerPixel(), 1);
    EXPECT_LE(doc.ImageInfo.BitsPerPixel(), 8);
    EXPECT_EQ(doc.Pages.Item(0)->image.pixelColor(3, 3), QColor(Qt::red));
}

TEST_F(ImagingDecode, CursorsAndPictureLoaderPicksEntries)
{
    std::list<Magick::Image> frames;
    for (int side : {16, 48, 32}) {
        QImage frame(side, side, QImage::Format_ARGB32);
        frame.fill(QColor(side, 0, 0));
        frames.push_back(toMagick(frame));
    }
    ASSERT_TRUE(writeMagickList(frames, path("three.ico"), "ICO"));
    // A cursor is an icon directory of type 2 (hotspots where icons keep
    // planes and depth).
    QByteArray cursor = TestFiles::readBytes(path("three.ico"));
    cursor[2] = 2;
    ASSERT_TRUE(TestFiles::writeBytes(path("arrow.cur"), cursor));

    ImgXDocument doc;
    load(doc, "arrow.cur", ImgXFormatCUR, 16, 16, 32);
    EXPECT_EQ(doc.Pages.Count(), 3);

    EXPECT_EQ(PictureLoader::LoadPicture(path("three.ico")).size(), QSize(48, 48));
    EXPECT_EQ(PictureLoader::LoadPicture(path("three.ico"), 32, 32).size(), QSize(32, 32));
    EXPECT_EQ(PictureLoader::LoadPicture(path("arrow.cur"), 30, 30).size(), QSize(32, 32));
    EXPECT_EQ(PictureLoader::LoadPicture(path("arrow.cur")).pixelColor(1, 1), QColor(48, 0, 0));
    EXPECT_THROW(PictureLoader::LoadPicture(path("missing.ico")), ImgXError);
}

TEST_F(ImagingDecode, MagickFormatsPsdPcxTga)
{
    const QImage picture = noisy(29, 13);
    const QImage alpha = noisy(29, 13, true);
    ASSERT_TRUE(writeMagick(toMagick(picture), path("plain.pcx"), "PCX"));
    Magick::Image palette = toMagick(picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither));
    palette.type(Magick::PaletteType);
    ASSERT_TRUE(writeMagick(palette, path("palette.pcx"), "PCX"));
    ASSERT_TRUE(writeMagick(toMagick(picture), path("plain.tga"), "TGA"));
    Magick::Image rle = toMagick(alpha);
    rle.compressType(Magick::RLECompression);
    ASSERT_TRUE(writeMagick(rle, path("rle.tga"), "TGA"));

    // A layered PSD: the merged picture first, then two layers.
    Magick::Image merged = toMagick(picture);
    QImage layerImage(10, 5, QImage::Format_ARGB32);
    layerImage.fill(QColor(0, 0, 255, 255));
    ASSERT_TRUE(writeMagickList({merged, toMagick(picture), toMagick(layerImage)}, path("layered.psd"), "PSD"));

    ImgXDocument doc;
    load(doc, "plain.pcx", ImgXFormatPCX, 29, 13, 24);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);
    load(doc, "palette.pcx", ImgXFormatPCX, 29, 13, 8);
    load(doc, "plain.tga", ImgXFormatTGA, 29, 13, 24);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);
    load(doc, "rle.tga", ImgXFormatTGA, 29, 13, 32);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), alpha), 0);
    EXPECT_EQ(TestFiles::readBytes(path("rle.tga"))[2], char(10));   // really run-length coded
    load(doc, "layered.psd", ImgXFormatPSD, 29, 13, 24);
    EXPECT_EQ(doc.Pages.Count(), 1);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);
}

TEST_F(ImagingDecode, ContentDecidesNotTheName)
{
    const QImage picture = noisy(12, 7);
    ASSERT_TRUE(picture.save(path("really-png.tla"), "PNG"));
    ASSERT_TRUE(picture.save(path("really-bmp.jpg"), "BMP"));
    ASSERT_TRUE(writeMagick(toMagick(picture), path("really-tga.tla"), "TGA"));
    ASSERT_TRUE(writeMagick(toMagick(picture), path("really-pcx.png"), "PCX"));
    ASSERT_TRUE(picture.convertToFormat(QImage::Format_Mono).save(path("really-wbmp.bin"), "WBMP"));
    ImgXDocument doc;
    load(doc, "really-png.tla", ImgXFormatPNG, 12, 7, 24);
    load(doc, "really-bmp.jpg", ImgXFormatBMP, 12, 7, 24);
    load(doc, "really-tga.tla", ImgXFormatTGA, 12, 7, 24);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);
    load(doc, "really-pcx.png", ImgXFormatPCX, 12, 7, 24);
    load(doc, "really-wbmp.bin", ImgXFormatWBMP, 12, 7, 1);
}

TEST_F(ImagingDecode, PhotoCdThroughImageMagick)
{
    // ImageMagick writes Photo CD images at the base resolution.
    if (!writeMagick(toMagick(smooth(768, 512)), path("photo.pcd"), "PCD"))
        GTEST_SKIP() << "this ImageMagick cannot write PCD";
    ImgXDocument doc;
    ASSERT_NO_THROW(doc.Loader.LoadFromFile(path("photo.pcd")));
    EXPECT_EQ(doc.ImageInfo.Format(), ImgXFormatPCD);
    EXPECT_EQ(doc.ImageInfo.Width(), 768);
    EXPECT_EQ(doc.ImageInfo.Height(), 512);
    EXPECT_EQ(doc.ImageInfo.BitsPerPixel(), 24);
}

TEST_F(ImagingDecode, PagesAndInfoWhenEmptyOrFromPicture)
{
    ImgXDocument doc;
    int changes = 0;
    doc.onChanged = [&changes] { ++changes; };
    EXPECT_EQ(doc.Pages.Count(), 0);
    EXPECT_EQ(doc.ImageInfo.Width(), 0);
    EXPECT_EQ(doc.ImageInfo.Format(), 0);
    EXPECT_TRUE(doc.ImageInfo.FileName().isEmpty());
    EXPECT_TRUE(doc.Export.GetPicture().isNull());

    QImage picture(5, 3, QImage::Format_ARGB32);
    picture.fill(Qt::cyan);
    doc.Loader.LoadFromPicture(picture);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(doc.ImageInfo.Format(), ImgXFormatPicture);
    EXPECT_EQ(doc.ImageInfo.BitsPerPixel(), 32);
    EXPECT_EQ(doc.ImageInfo.Width(), 5);
    EXPECT_TRUE(doc.ImageInfo.FilePath().isEmpty());
    EXPECT_EQ(doc.Pages.Count(), 1);

    doc.Pages.Clear();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(doc.Pages.Count(), 0);
    EXPECT_EQ(doc.ImageInfo.Height(), 0);

    // A failed load leaves what was shown.
    doc.Loader.LoadFromPicture(picture);
    EXPECT_THROW(doc.Loader.LoadFromFile(path("nothing-here.png")), ImgXError);
    EXPECT_EQ(doc.ImageInfo.Width(), 5);
}

// TIFF layouts print shops and scanners write, as ImageMagick writes them:
// colour planes stored one after another, and CMYK, at 8 and 16 bits.
TEST_F(ImagingDecode, TiffWithSeparatePlanesOrCmyk)
{
    const QImage picture = smooth(31, 17);
    for (int depth : {8, 16}) {
        Magick::Image planar = toMagick(picture);
        planar.interlaceType(Magick::PlaneInterlace);
        planar.depth(depth);
        ASSERT_TRUE(writeMagick(planar, path(QStringLiteral("planar%1.tif").arg(depth)), "TIFF"));
        Magick::Image cmyk = toMagick(picture);
        cmyk.colorSpace(Magick::CMYKColorspace);
        cmyk.depth(depth);
        ASSERT_TRUE(writeMagick(cmyk, path(QStringLiteral("cmyk%1.tif").arg(depth)), "TIFF"));
    }
    for (const char *file : {"planar8.tif", "cmyk8.tif", "planar16.tif", "cmyk16.tif"}) {
        SCOPED_TRACE(file);
        ImgXDocument doc;
        ASSERT_NO_THROW(doc.Loader.LoadFromFile(path(file)));
        EXPECT_EQ(doc.ImageInfo.Width(), 31);
        const QImage got = doc.Export.GetPicture();
        for (QPoint at : {QPoint(1, 1), QPoint(20, 10), QPoint(30, 16)})
            EXPECT_LE(qAbs(got.pixelColor(at).red() - picture.pixelColor(at).red())
                          + qAbs(got.pixelColor(at).green() - picture.pixelColor(at).green())
                          + qAbs(got.pixelColor(at).blue() - picture.pixelColor(at).blue()),
                      12);
    }
}

// Layouts Qt's reader refuses or shows wrong, as other programs write
// them: each shows its pixels, 16 and 12 bits reduced to 8, floating point
// stretched over the range it spans, a palette's alpha kept.
TEST_F(ImagingDecode, TiffLayoutsOfOtherProgramsOpen)
{
    const QImage rgb = noisy(40, 30), rgba = noisy(40, 30, true);
    QImage grey = rgb.convertToFormat(QImage::Format_Grayscale8);
    grey.setPixelColor(0, 0, Qt::black);
    grey.setPixelColor(1, 0, Qt::white);
    // Four entries make a 2-bit palette, up to sixteen a 4-bit one. (At 4
    // bits ImageMagick stores alpha from 136 up one step too high, and
    // opaque as clear, so that picture keeps below 136.)
    QImage palette2(40, 30, QImage::Format_ARGB32), palette4(40, 30, QImage::Format_ARGB32);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            palette2.setPixel(x, y, qRgba(x / 20 * 200, 60, 90, y < 15 ? 85 : 255));
            palette4.setPixel(x, y, qRgba(x / 10 * 60, 200 - x / 10 * 50, 90, y / 10 * 51 + y / 20 * 17));
        }
    }
    using Settings = std::function<void(Magick::Image &)>;
    const Settings tiled = [](Magick::Image &i) {
        i.depth(16);
        i.compressType(Magick::ZipCompression);
        i.defineValue("tiff", "tile-geometry", "256x256");
    };
    const Settings planes = [](Magick::Image &i) {
        i.depth(16);
        i.interlaceType(Magick::PlaneInterlace);
    };
    const Settings tiledPlanes = [&](Magick::Image &i) {
        tiled(i);
        planes(i);
    };
    const Settings twelve = [](Magick::Image &i) {
        i.type(Magick::GrayscaleType);
        i.depth(12);
    };
    const Settings floating = [](Magick::Image &i) {
        i.type(Magick::GrayscaleType);
        i.depth(32);
        i.compressType(Magick::ZipCompression);
        i.defineValue("quantum", "format", "floating-point");
    };
    const Settings paletted = [](Magick::Image &i) { i.type(Magick::PaletteMatteType); };
    const std::tuple<const char *, QImage, int, Settings> cases[] = {
        {"rgb16-tiles.tif", rgb, 48, tiled},
        {"rgba16-planes.tif", rgba, 64, planes},
        {"rgb16-planes-tiles.tif", rgb, 48, tiledPlanes},
        {"rgba16-planes-tiles.tif", rgba, 64, tiledPlanes},
        {"grey12.tif", grey, 12, twelve},
        {"grey-float.tif", grey, 32, floating},
        {"palette2-alpha.tif", palette2, 4, paletted},
        {"palette4-alpha.tif", palette4, 8, paletted},
    };
    for (const auto &[file, picture, bpp, settings] : cases) {
        Magick::Image image = toMagick(picture);
        settings(image);
        ASSERT_TRUE(writeMagick(image, path(file), "TIFF")) << file;
        ImgXDocument doc;
        load(doc, file, ImgXFormatTIF, 40, 30, bpp);
        EXPECT_LE(maxPremultipliedDifference(doc.Export.GetPicture(), picture), 1) << file;
    }
}

// Photoshop and some cameras leave stray bytes before a marker; libjpeg
// passes over them with a warning, and the picture is whole and described.
TEST_F(ImagingDecode, JpegWithStrayBytesBeforeMarkers)
{
    const QImage picture = smooth(64, 40);
    ASSERT_TRUE(picture.save(path("colour.jpg"), "JPEG", 95));
    Magick::Image cmyk = toMagick(picture);
    cmyk.colorSpace(Magick::CMYKColorspace);
    ASSERT_TRUE(writeMagick(cmyk, path("cmyk.jpg"), "JPEG"));
    // Before APP0 (the first marker), before the quantisation tables.
    for (const auto &[file, marker, bpp] : {std::tuple{"colour.jpg", "\xFF\xE0", 24}, std::tuple{"colour.jpg", "\xFF\xDB", 24},
                                           std::tuple{"cmyk.jpg", "\xFF\xDB", 32}}) {
        QByteArray stray = TestFiles::readBytes(path(file));
        stray.insert(stray.indexOf(QByteArray(marker, 2)), QByteArray(16, '\x11'));
        ASSERT_TRUE(TestFiles::writeBytes(path("stray.jpg"), stray));
        ImgXDocument doc;
        load(doc, "stray.jpg", ImgXFormatJPG, 64, 40, bpp);
        EXPECT_GT(doc.Export.GetPicture().pixelColor(4, 4).red(), 170) << file;
    }
}

// Header fields other readers pass over: a BMP's planes count, and the
// byte count an icon's directory gives a PNG entry. An entry whose PNG
// really is cut short is still refused.
TEST_F(ImagingDecode, BmpPlanesAndIconPngLengthsOtherReadersPassOver)
{
    const QImage picture = noisy(21, 9);
    ASSERT_TRUE(picture.save(path("plain.bmp"), "BMP"));
    QByteArray bmp = TestFiles::readBytes(path("plain.bmp"));
    qToLittleEndian<quint16>(3, bmp.data() + 26);
    ASSERT_TRUE(TestFiles::writeBytes(path("planes.bmp"), bmp));
    ImgXDocument doc;
    load(doc, "planes.bmp", ImgXFormatBMP, 21, 9, 24);
    EXPECT_EQ(maxDifference(doc.Export.GetPicture(), picture), 0);

    const QImage icon = noisy(48, 48, true);
    ASSERT_TRUE(icon.save(path("entry.png")));
    const QByteArray png = TestFiles::readBytes(path("entry.png"));
    const auto iconOf = [](const QByteArray &entry, qint64 claimed) {
        QByteArray ico("\0\0\1\0\1\0\x30\x30\0\0\1\0\x20\0", 14);
        ico.resize(22);
        qToLittleEndian<quint32>(quint32(claimed), ico.data() + 14);
        qToLittleEndian<quint32>(22, ico.data() + 18);
        return ico + entry;
    };
    for (qint64 claimed : {png.size() + 100, png.size() - 10}) {
        ASSERT_TRUE(TestFiles::writeBytes(path("entry.ico"), iconOf(png, claimed)));
        load(doc, "entry.ico", ImgXFormatICO, 48, 48, 32);
        EXPECT_EQ(maxDifference(PictureLoader::LoadPicture(path("entry.ico")), icon), 0) << claimed;
    }
    ASSERT_TRUE(TestFiles::writeBytes(path("cut.ico"), iconOf(png.left(png.size() - 30), png.size())));
    EXPECT_THROW(doc.Loader.LoadFromFile(path("cut.ico")), ImgXError);
    EXPECT_THROW(PictureLoader::LoadPicture(path("cut.ico")), ImgXError);
}
