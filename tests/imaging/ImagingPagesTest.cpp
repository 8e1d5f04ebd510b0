// Files of many pages: a page is decoded when it is wanted, so neither the
// number of pages nor their total size holds up opening the file.

#include "ImagingSamples.h"
#include "ImgXDocument.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace ImagingSamples;

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
        EXPECT_EQ(doc.pages()[1].source->heldBytes(), QFileInfo(path).size());
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

    // A chain of directories that loops back counts each page once.
    QByteArray looped = tiffOfPages(3, 1);
    qToLittleEndian<quint32>(qFromLittleEndian<quint32>(looped.constData() + 4), looped.data() + looped.size() - 4);
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("looped.tif"), looped));
    ImgXDocument doc;
    ASSERT_NO_THROW(doc.Loader.LoadFromFile(dir.filePath("looped.tif")));
    EXPECT_EQ(doc.Pages.Count(), 3);
    EXPECT_EQ(doc.Pages.Item(2)->image.pixelColor(0, 0), colourOfPage(2));
}
