// The main window's preview: which files it shows, how, and its zoom steps.

#include "ImgX.h"
#include "LoggedWarnings.h"
#include "PreviewPane.h"
#include "ScreenMetrics.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

class PreviewPaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ScriptedPrompts::instance().reset();
        view.resize(400, 300);
        ASSERT_TRUE(TestFiles::writeImage(path("photo.jpg"), 120, 80, "JPG"));
        ASSERT_TRUE(TestFiles::writeImage(path("other.png"), 60, 40, "PNG"));
    }

    QString path(const QString &name) const { return dir.path() + "/" + name; }

    QTemporaryDir dir;
    ImgX view;
    PreviewPane preview{&view};
};

}

TEST_F(PreviewPaneTest, ShowsAFileThroughTheControlsOwnLoader)
{
    view.setScrollMode(2);
    preview.Show(path("photo.jpg"));
    EXPECT_EQ(view.Pages.Count(), 1);
    EXPECT_TRUE(view.SourceIsFile());
    EXPECT_EQ(view.ImageInfo.Width(), 120);
    EXPECT_EQ(view.ScrollMode(), 0);
    EXPECT_EQ(preview.ShownFile(), path("photo.jpg"));
}

TEST_F(PreviewPaneTest, NothingAFolderOrADamagedFileLeavesItEmptyWithoutAMessage)
{
    ASSERT_TRUE(TestFiles::writeBytes(path("broken.jpg"), QByteArray("\xFF\xD8\xFF\xE0 not really a jpeg", 24)));
    ASSERT_TRUE(TestFiles::writeBytes(path("broken.ico"), QByteArray("\0\0\1\0garbage", 11)));
    ASSERT_TRUE(TestFiles::writeBytes(path("noextension"), QByteArray("plain text")));
    const QString folder = path("sub.jpg");
    ASSERT_TRUE(QDir().mkpath(folder));

    for (const QString &p : {QString(), folder, path("broken.jpg"), path("broken.ico"),
                             path("noextension"), path("missing.png")}) {
        preview.Show(path("photo.jpg"));
        ASSERT_FALSE(preview.isEmpty());
        const LoggedWarnings log;
        preview.Show(p);
        EXPECT_TRUE(preview.isEmpty()) << p.toStdString();
        EXPECT_EQ(preview.ShownFile(), QString()) << p.toStdString();
        // Only the log says why a file left the preview empty.
        if (QFileInfo(p).isFile()) {
            EXPECT_TRUE(log.has("qmr.app", p)) << p.toStdString();
        }
    }
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty());
}

TEST_F(PreviewPaneTest, IconsAndDibsGoThroughThePictureLoader)
{
    ASSERT_TRUE(TestFiles::pattern(32, 32).save(path("app.ICO"), "ICO"));
    ASSERT_TRUE(TestFiles::writeImage(path("scan.dib"), 50, 20, "BMP"));

    preview.Show(path("app.ICO"));
    ASSERT_EQ(view.Pages.Count(), 1);
    EXPECT_FALSE(view.SourceIsFile());
    EXPECT_EQ(view.ImageInfo.Width(), 32);
    // The control keeps no path for a picture; the preview still knows its file.
    EXPECT_EQ(preview.ShownFile(), path("app.ICO"));

    preview.Show(path("scan.dib"));
    EXPECT_FALSE(view.SourceIsFile());
    EXPECT_EQ(view.ImageInfo.Width(), 50);
    EXPECT_EQ(preview.ShownFile(), path("scan.dib"));

    preview.Show(path("photo.jpg"));
    EXPECT_TRUE(view.SourceIsFile());
    EXPECT_EQ(preview.ShownFile(), path("photo.jpg"));
}

TEST_F(PreviewPaneTest, PictureFileRuleIsASubstringSearch)
{
    EXPECT_TRUE(PreviewPane::isPictureFile("/a/b.ico"));
    EXPECT_TRUE(PreviewPane::isPictureFile("/a/b.CUR"));
    EXPECT_TRUE(PreviewPane::isPictureFile("/a/b.Dib"));
    EXPECT_TRUE(PreviewPane::isPictureFile("/a/b"));
    EXPECT_FALSE(PreviewPane::isPictureFile("/a/b.jpg"));
    EXPECT_FALSE(PreviewPane::isPictureFile("/a/b.icon"));
}

TEST_F(PreviewPaneTest, ZoomStepsDoNothingWithoutAnImage)
{
    preview.ZoomIn();
    preview.ZoomOut();
    EXPECT_DOUBLE_EQ(view.Zoom(), 1.0);
}

TEST_F(PreviewPaneTest, ZoomInScrollsOnlyOnceTheImageOutgrowsTheControl)
{
    // 120 x 80 pixels in a control of 400 x 300 pixels: it fits up to 3.33x.
    preview.Show(path("photo.jpg"));
    preview.ZoomIn();   // 1.25
    EXPECT_DOUBLE_EQ(view.Zoom(), 1.25);
    EXPECT_EQ(view.ScrollMode(), 0);
    for (int i = 0; i < 5; ++i)
        preview.ZoomIn();   // 1.25^6 = 3.81
    EXPECT_EQ(view.ScrollMode(), 2);
    preview.ZoomOut();      // 2.86
    EXPECT_EQ(view.ScrollMode(), 0);
}

TEST_F(PreviewPaneTest, ZoomComparesWithTheControlsOwnSize)
{
    preview.Show(path("photo.jpg"));
    // The control exactly as high as the image at 1.25 x 1.25 = 1.5625: still fits.
    view.resize(1000, int(80 * 1.5625));
    preview.ZoomIn();
    preview.ZoomIn();
    EXPECT_EQ(view.ScrollMode(), 0);
    view.resize(1000, int(80 * 1.5625) - 1);
    preview.ZoomOut();
    preview.ZoomIn();   // 1.5625 x 0.75 x 1.25 = 1.46 again fits
    EXPECT_EQ(view.ScrollMode(), 0);
    preview.ZoomIn();   // 1.83: 146 pixels high in a 124-pixel control
    EXPECT_EQ(view.ScrollMode(), 2);
}

TEST_F(PreviewPaneTest, ZoomIsKeptForTheNextItemWhichStartsWithoutScrolling)
{
    preview.Show(path("photo.jpg"));
    for (int i = 0; i < 8; ++i)
        preview.ZoomIn();
    EXPECT_EQ(view.ScrollMode(), 2);
    const double zoom = view.Zoom();
    preview.Show(path("other.png"));
    EXPECT_DOUBLE_EQ(view.Zoom(), zoom);
    EXPECT_EQ(view.ScrollMode(), 0);
    preview.Show(QString());
    EXPECT_DOUBLE_EQ(view.Zoom(), zoom);
}

TEST_F(PreviewPaneTest, ZoomStopsAtItsLimits)
{
    preview.Show(path("photo.jpg"));
    for (int i = 0; i < 20; ++i)
        preview.ZoomIn();
    EXPECT_NEAR(view.Zoom(), 18.19, 0.01);
    for (int i = 0; i < 40; ++i)
        preview.ZoomOut();
    EXPECT_LT(view.Zoom() * 100, 0.5);
    EXPECT_GT(view.Zoom() * 100, 0.37);
}
