// Export.SaveFile in each of the ten formats, read back by this component,
// and the promise that a failed save leaves no trace.

#include "ImagingSamples.h"
#include "ImgXDocument.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <memory>
#include <gtest/gtest.h>
#include <sys/mount.h>

using namespace ImagingSamples;

namespace {

struct Saved {
    int code;
    const char *name;
    int maxDifference;   // 0: exact
};

const Saved kFormats[] = {{ImgXFormatJPG, "out.jpg", 12}, {ImgXFormatPNG, "out.png", 0},
                          {ImgXFormatTIF, "out.tif", 0},  {ImgXFormatPCX, "out.pcx", 0},
                          {ImgXFormatTGA, "out.tga", 0},  {ImgXFormatBMP, "out.bmp", 0},
                          {ImgXFormatWMF, "out.wmf", 0},  {ImgXFormatEMF, "out.emf", 0},
                          {ImgXFormatPSD, "out.psd", 0}};

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

}

TEST(ImagingSave, EveryFormatReadsBackAsWritten)
{
    QTemporaryDir dir;
    const QImage opaque = noisy(45, 31);
    const QImage photo = smooth(45, 31);
    for (const Saved &f : kFormats) {
        SCOPED_TRACE(f.name);
        const QImage source = f.code == ImgXFormatJPG ? photo : opaque;
        ImgXDocument doc;
        doc.Loader.LoadFromPicture(source);
        ASSERT_NO_THROW(doc.Export.SaveFile(dir.filePath(f.name), f.code, 0, true));
        ImgXDocument back;
        ASSERT_NO_THROW(back.Loader.LoadFromFile(dir.filePath(f.name)));
        EXPECT_EQ(back.ImageInfo.Format(), f.code);
        EXPECT_EQ(back.ImageInfo.Width(), 45);
        EXPECT_EQ(back.ImageInfo.Height(), 31);
        if (f.code == ImgXFormatJPG) {
            // Away from the red block's edge JPEG keeps colours close.
            const QImage got = back.Export.GetPicture();
            for (QPoint at : {QPoint(2, 2), QPoint(30, 20), QPoint(44, 30)})
                EXPECT_LE(qAbs(got.pixelColor(at).green() - source.pixelColor(at).green()), f.maxDifference);
        } else {
            EXPECT_EQ(maxDifference(back.Export.GetPicture(), source), 0);
        }
    }

    // WBMP holds black and white only.
    const QImage twoTone = noisy(45, 31).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(twoTone);
    doc.Export.SaveFile(dir.filePath("out.wbmp"), ImgXFormatWBMP);
    ImgXDocument back;
    back.Loader.LoadFromFile(dir.filePath("out.wbmp"));
    EXPECT_EQ(back.ImageInfo.Format(), ImgXFormatWBMP);
    EXPECT_EQ(back.ImageInfo.BitsPerPixel(), 1);
    EXPECT_EQ(maxDifference(back.Export.GetPicture(), twoTone), 0);

    // A colour picture is turned into black and white on the way.
    doc.Loader.LoadFromPicture(smooth(20, 10));
    ASSERT_NO_THROW(doc.Export.SaveFile(dir.filePath("colour.wbmp"), ImgXFormatWBMP));
    back.Loader.LoadFromFile(dir.filePath("colour.wbmp"));
    EXPECT_EQ(back.ImageInfo.Width(), 20);
}

TEST(ImagingSave, AlphaSurvivesWhereTheFormatHasIt)
{
    QTemporaryDir dir;
    const QImage alpha = noisy(23, 19, true);
    for (const Saved &f : kFormats) {
        if (f.code == ImgXFormatJPG)
            continue;
        SCOPED_TRACE(f.name);
        ImgXDocument doc;
        doc.Loader.LoadFromPicture(alpha);
        ASSERT_NO_THROW(doc.Export.SaveFile(dir.filePath(f.name), f.code));
        ImgXDocument back;
        ASSERT_NO_THROW(back.Loader.LoadFromFile(dir.filePath(f.name)));
        EXPECT_EQ(back.ImageInfo.BitsPerPixel(), 32);
        // A PSD's merged picture is kept blended on white, which loses the
        // colour under full transparency and rounds the rest; Qt's TIFF
        // writer stores premultiplied colour.
        if (f.code == ImgXFormatPSD)
            EXPECT_LE(maxPremultipliedDifference(back.Export.GetPicture(), alpha), 1);
        else if (f.code == ImgXFormatTIF)
            EXPECT_EQ(maxPremultipliedDifference(back.Export.GetPicture(), alpha), 0);
        else
            EXPECT_EQ(maxDifference(back.Export.GetPicture(), alpha), 0);
    }
}

TEST(ImagingSave, FailuresLeaveTheOldFileAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("keep.png");
    ASSERT_TRUE(TestFiles::writeBytes(target, "old contents"));
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(noisy(8, 8));

    // Unknown format code.
    EXPECT_THROW(doc.Export.SaveFile(target, 0), ImgXError);
    EXPECT_THROW(doc.Export.SaveFile(target, 11), ImgXError);
    // Not allowed to overwrite.
    try {
        doc.Export.SaveFile(target, ImgXFormatPNG, 0, false);
        ADD_FAILURE() << "saved over an existing file";
    } catch (const ImgXError &e) {
        EXPECT_TRUE(e.text().contains(QLatin1String("exists")));
    }
    // WMF coordinates cannot hold this width; the encoder fails first.
    ImgXDocument wide;
    wide.Loader.LoadFromPicture(QImage(40000, 1, QImage::Format_RGB32));
    EXPECT_THROW(wide.Export.SaveFile(target, ImgXFormatWMF), ImgXError);
    EXPECT_EQ(TestFiles::readBytes(target), QByteArray("old contents"));
    EXPECT_EQ(entries(dir), QStringList{"keep.png"});

    // A folder that does not exist.
    EXPECT_THROW(doc.Export.SaveFile(dir.filePath("no/such/folder/x.png"), ImgXFormatPNG), ImgXError);

    // Nothing loaded.
    ImgXDocument empty;
    EXPECT_THROW(empty.Export.SaveFile(dir.filePath("x.png"), ImgXFormatPNG), ImgXError);

    // A successful save replaces the file whole and leaves nothing else.
    ASSERT_NO_THROW(doc.Export.SaveFile(target, ImgXFormatPNG, 0, true));
    EXPECT_TRUE(TestFiles::readBytes(target).startsWith("\x89PNG"));
    EXPECT_EQ(entries(dir), QStringList{"keep.png"});
}

TEST(ImagingSave, ForeignMetafilesAreDrawn)
{
    // Metafiles that draw a shape (not one bitmap) are played (WMF) or go
    // through libemf2svg (EMF): a red rectangle on a 200 x 100 picture.
    QTemporaryDir dir;
    ASSERT_TRUE(writeShapeWmf(dir.filePath("shape.wmf")));
    ASSERT_TRUE(writeShapeEmf(dir.filePath("shape.emf")));
    for (auto [file, format] : {std::pair{"shape.wmf", int(ImgXFormatWMF)}, std::pair{"shape.emf", int(ImgXFormatEMF)}}) {
        SCOPED_TRACE(file);
        ImgXDocument doc;
        try {
            doc.Loader.LoadFromFile(dir.filePath(file));
        } catch (const ImgXError &e) {
            FAIL() << e.what();
        }
        EXPECT_EQ(doc.ImageInfo.Format(), format);
        EXPECT_EQ(doc.ImageInfo.Width(), 200);
        EXPECT_EQ(doc.ImageInfo.Height(), 100);
        const QImage image = doc.Export.GetPicture();
        EXPECT_EQ(image.pixelColor(70, 35).rgb(), QColor(Qt::red).rgb());
        EXPECT_NE(image.pixelColor(160, 80).rgb(), QColor(Qt::red).rgb());
    }
}

// Two-colour pictures (1-bit BMPs, GIFs, PNGs from other programs) keep
// their colours, not just which pixels are set.
TEST(ImagingSave, TwoColourPicturesKeepTheirColours)
{
    QTemporaryDir dir;
    QImage mono(9, 5, QImage::Format_Mono);
    mono.setColorTable({qRgb(200, 0, 0), qRgb(0, 0, 220)});
    mono.fill(0);
    for (int y = 0; y < 5; ++y)
        mono.setPixel(y, y, 1);
    const QImage expected = mono.convertToFormat(QImage::Format_RGB32);
    for (const Saved &f : kFormats) {
        if (f.code == ImgXFormatJPG)
            continue;
        SCOPED_TRACE(f.name);
        ImgXDocument doc;
        doc.Loader.LoadFromPicture(mono);
        ASSERT_NO_THROW(doc.Export.SaveFile(dir.filePath(f.name), f.code, 0, true));
        ImgXDocument back;
        ASSERT_NO_THROW(back.Loader.LoadFromFile(dir.filePath(f.name)));
        EXPECT_EQ(maxDifference(back.Export.GetPicture(), expected), 0);
    }
}

// Past what ImageMagick accepts here the save fails with a message; it
// must not end the program, and nothing is written.
TEST(ImagingSave, PicturesTooWideForImageMagickFailCleanly)
{
    QTemporaryDir dir;
    QImage wide(70000, 1, QImage::Format_RGB32);
    wide.fill(Qt::red);
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(wide);
    for (auto [code, name] : {std::pair{ImgXFormatPCX, "wide.pcx"}, std::pair{ImgXFormatTGA, "wide.tga"},
                              std::pair{ImgXFormatPSD, "wide.psd"}}) {
        SCOPED_TRACE(name);
        try {
            doc.Export.SaveFile(dir.filePath(name), code, 0, true);
            ImgXDocument back;
            back.Loader.LoadFromFile(dir.filePath(name));
            EXPECT_EQ(back.ImageInfo.Width(), 70000);
        } catch (const ImgXError &e) {
            EXPECT_TRUE(e.text().contains(QLatin1String("70000"))) << e.what();
            EXPECT_FALSE(QFile::exists(dir.filePath(name)));
        }
    }
}

// A disk with no room left: the message says so, and the old file stays.
TEST(ImagingSave, AFullDiskIsNamed)
{
    QTemporaryDir dir;
    const QString disk = dir.filePath("small");
    ASSERT_TRUE(QDir().mkpath(disk));
    if (mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small disk here: " << std::strerror(errno);
    const std::shared_ptr<void> unmount(nullptr, [&](void *) { umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
    const QString target = disk + "/keep.bmp";
    ASSERT_TRUE(TestFiles::writeBytes(target, "old contents"));
    ImgXDocument doc;
    doc.Loader.LoadFromPicture(noisy(300, 300));
    try {
        doc.Export.SaveFile(target, ImgXFormatBMP);
        ADD_FAILURE() << "saved";
    } catch (const ImgXError &e) {
        EXPECT_TRUE(e.text().contains(QLatin1String(": the disk is full"))) << e.what();
    }
    EXPECT_EQ(TestFiles::readBytes(target), QByteArray("old contents"));
    EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.bmp"});
}
