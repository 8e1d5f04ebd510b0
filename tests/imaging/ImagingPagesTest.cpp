// Files of many pages: a page is decoded when it is wanted, so neither the
// number of pages nor their total size holds up opening the file.

#include "ImgXDocument.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

void putLe16(QByteArray &out, int value)
{
    char bytes[2];
    qToLittleEndian<quint16>(quint16(value), bytes);
    out.append(bytes, 2);
}

void putLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

// Frame i of the animation below sets this one pixel.
QPoint dotOf(int frame)
{
    return QPoint(frame * 7 % 400, frame * 13 % 400);
}

// A 400 x 400 animation whose every frame adds one white pixel to those
// before it (about 23 bytes a frame).
QByteArray animationOfDots(int frames)
{
    QByteArray gif("GIF89a");
    putLe16(gif, 400);
    putLe16(gif, 400);
    gif.append("\x80\x00\x00", 3).append("\x00\x00\x00\xff\xff\xff", 6);   // black, white
    for (int i = 0; i < frames; ++i) {
        gif.append("\x21\xf9\x04\x04\x02\x00\x00\x00", 8);   // kept under the next frame
        gif.append('\x2c');
        putLe16(gif, dotOf(i).x());
        putLe16(gif, dotOf(i).y());
        putLe16(gif, 1);
        putLe16(gif, 1);
        gif.append('\x00');
        gif.append("\x02\x02\x4c\x01\x00", 5);   // clear, pixel 1, end (3-bit codes)
    }
    return gif.append('\x3b');
}

QColor colourOfPage(int page)
{
    return QColor(page % 256, page / 256 % 256, 7);
}

// `pages` RGB pages of side x side pixels, one row a strip. Row 0 of each
// page has the page's own colour; the other rows all use one grey row
// stored once, so the file stays small however large the pages are.
QByteArray tiffOfPages(int pages, int side)
{
    const int rowBytes = side * 3;
    QByteArray tiff("II*\0", 4);
    putLe32(tiff, 0);   // first directory, set below
    const quint32 depths = quint32(tiff.size());
    putLe16(tiff, 8), putLe16(tiff, 8), putLe16(tiff, 8);
    const quint32 grey = quint32(tiff.size());
    tiff.append(QByteArray(rowBytes, char(0x80)));
    qint64 linkAt = 4;
    for (int page = 0; page < pages; ++page) {
        const quint32 row0 = quint32(tiff.size());
        const QColor c = colourOfPage(page);
        for (int x = 0; x < side; ++x)
            tiff.append(char(c.red())).append(char(c.green())).append(char(c.blue()));
        const quint32 offsets = quint32(tiff.size());
        putLe32(tiff, row0);
        for (int y = 1; y < side; ++y)
            putLe32(tiff, grey);
        const quint32 counts = quint32(tiff.size());
        for (int y = 0; y < side; ++y)
            putLe32(tiff, quint32(rowBytes));
        if (tiff.size() % 2)
            tiff.append('\0');
        qToLittleEndian<quint32>(quint32(tiff.size()), tiff.data() + linkAt);
        const auto entry = [&](int tag, int type, quint32 count, quint32 value) {
            putLe16(tiff, tag);
            putLe16(tiff, type);
            putLe32(tiff, count);
            putLe32(tiff, value);
        };
        putLe16(tiff, 10);
        entry(256, 4, 1, quint32(side));
        entry(257, 4, 1, quint32(side));
        entry(258, 3, 3, depths);
        entry(259, 3, 1, 1);   // not compressed
        entry(262, 3, 1, 2);   // RGB
        entry(273, 4, quint32(side), side == 1 ? row0 : offsets);
        entry(277, 3, 1, 3);
        entry(278, 4, 1, 1);
        entry(279, 4, quint32(side), side == 1 ? quint32(rowBytes) : counts);
        entry(284, 3, 1, 1);
        linkAt = tiff.size();
        putLe32(tiff, 0);
    }
    return tiff;
}

}

TEST(ImagingPages, AnimationFramesAreDecodedWhenShown)
{
    // 2,000 frames of 400 x 400 need more than the memory cap together.
    QTemporaryDir dir;
    const QString path = dir.filePath("dots.gif");
    ASSERT_TRUE(TestFiles::writeBytes(path, animationOfDots(2000)));
    ImgXDocument doc;
    ASSERT_NO_THROW(doc.Loader.LoadFromFile(path));
    EXPECT_EQ(doc.Pages.Count(), 2000);
    const std::optional<ImgXPage> last = doc.Pages.Item(1999);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->PageIndex(), 1999);
    EXPECT_EQ(last->image.size(), QSize(400, 400));
    EXPECT_EQ(last->image.pixelColor(dotOf(1999)), QColor(Qt::white));
    EXPECT_EQ(last->image.pixelColor(dotOf(0)), QColor(Qt::white));   // frames build on each other
    EXPECT_NE(last->image.pixelColor(1, 0), QColor(Qt::white));       // no frame sets it
    doc.Pages.SetCurrent(*last);
    EXPECT_EQ(doc.ImageInfo.PageIndex(), 1999);

    // Stepping back plays the frames again up to the one wanted.
    doc.Pages.SetCurrent(*doc.Pages.Item(1));
    EXPECT_EQ(doc.ImageInfo.PageIndex(), 1);
    const QImage second = doc.Export.GetPicture();
    EXPECT_EQ(second.pixelColor(dotOf(1)), QColor(Qt::white));
    EXPECT_NE(second.pixelColor(dotOf(2)), QColor(Qt::white));
}

TEST(ImagingPages, TiffPagesAreDecodedWhenShown)
{
    // 20,000 tiny pages, and 300 pages that need more than the memory cap
    // together.
    QTemporaryDir dir;
    for (auto [pages, side] : {std::pair{20000, 1}, std::pair{300, 1000}}) {
        SCOPED_TRACE(pages);
        const QString path = dir.filePath(QStringLiteral("pages%1.tif").arg(pages));
        ASSERT_TRUE(TestFiles::writeBytes(path, tiffOfPages(pages, side)));
        ImgXDocument doc;
        ASSERT_NO_THROW(doc.Loader.LoadFromFile(path));
        EXPECT_EQ(doc.Pages.Count(), pages);
        EXPECT_EQ(doc.Export.GetPicture().pixelColor(0, 0), colourOfPage(0));
        const std::optional<ImgXPage> last = doc.Pages.Item(pages - 1);
        ASSERT_TRUE(last.has_value());
        EXPECT_EQ(last->image.pixelColor(side - 1, 0), colourOfPage(pages - 1));
        EXPECT_EQ(last->Width(), side);
        EXPECT_EQ(last->BitsPerPixel(), 24);

        // A page changed by a transform keeps the change while others are shown.
        doc.Transform.Rotate(90);
        doc.Pages.SetCurrent(*last);
        EXPECT_EQ(doc.ImageInfo.PageIndex(), pages - 1);
        doc.Pages.SetCurrent(*doc.Pages.Item(0));
        EXPECT_EQ(doc.Export.GetPicture().pixelColor(side - 1, side - 1), colourOfPage(0));   // row 0 turned right
    }
}
