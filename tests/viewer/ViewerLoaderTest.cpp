// Decodes made ahead, and the reduced first frame of a large photo that the
// full decode replaces.

#include "ViewerFixture.h"

#include "ImagePrefetcher.h"
#include "ImgX.h"
#include "ScreenMetrics.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "ViewerImageLoader.h"
#include "frmViwer.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

// A JPEG wider than the screen, so that it is shown smaller than it is.
QSize largerThanTheScreen()
{
    const int screen = int(ScreenMetrics::screenWidthTwips() / ScreenMetrics::twipsPerPixelX());
    return QSize(screen * 3, screen * 2);
}

// A file of many pages whose pages are decoded when wanted: what it holds
// meanwhile is the file.
class HeldFile : public ImgXPageSource {
public:
    ImgXPage decode(int) override { throw ImgXError(QStringLiteral("not wanted here")); }
    qint64 heldBytes() const override { return 1000000; }
};

QVector<ImgXPage> pagesOfAHeldFile()
{
    const auto source = std::make_shared<HeldFile>();
    QVector<ImgXPage> pages(3);
    for (int i = 0; i < pages.size(); ++i) {
        pages[i].pageIndex = i;
        pages[i].source = source;
    }
    pages[0].image = TestFiles::pattern(10, 10);
    return pages;
}

}

class ViewerLoader : public ViewerFixture {};

TEST_F(ViewerLoader, DecodesAheadMatchTheFileAndFollowItsChanges)
{
    const QString a = image("a.png", 120, 80), b = image("b.png", 90, 60);
    ImagePrefetcher ahead;
    QSignalSpy ready(&ahead, &ImagePrefetcher::decodeReady);
    ahead.prefetch({a, b, dir.filePath("missing.png")});
    EXPECT_TRUE(ahead.has(a));
    EXPECT_FALSE(ahead.has(dir.filePath("missing.png")));
    const auto pages = ahead.decoded(a);
    ASSERT_TRUE(pages);
    EXPECT_EQ(pages->first().image.convertToFormat(QImage::Format_RGB32), TestFiles::pattern(120, 80));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ready.size() == 2; }));

    // Written again after the decode: the decode no longer counts.
    QThread::msleep(20);
    image("a.png", 50, 50);
    EXPECT_FALSE(ahead.has(a));
    EXPECT_FALSE(ahead.decoded(a));

    // Let go of everything but b.
    ahead.prefetch({b});
    EXPECT_FALSE(ahead.has(a));
    EXPECT_TRUE(ahead.decoded(b));
}

TEST_F(ViewerLoader, DamagedFilesAndTheMemoryCap)
{
    const QString broken = dir.filePath("broken.jpg");
    ASSERT_TRUE(TestFiles::writeBytes(broken, "\xFF\xD8 and then nothing"));
    const QString a = image("a.png", 200, 200), b = image("b.png", 200, 200);
    ImagePrefetcher ahead(200 * 200 * 4 + 1);   // room for one decode
    ahead.prefetch({broken});
    EXPECT_FALSE(ahead.decoded(broken));
    ahead.prefetch({a, b});                      // b would pass the cap: not started
    EXPECT_TRUE(ahead.has(a));
    EXPECT_FALSE(ahead.has(b));
    ahead.keep(b, *ahead.decoded(a));            // held both, the cap lets the last-wanted go
    EXPECT_TRUE(ahead.has(b));
    EXPECT_FALSE(ahead.has(a));
    EXPECT_LE(ahead.bytesHeld(), ahead.memoryCap());

    // The file held for the pages not yet decoded counts, once.
    ImagePrefetcher files(1500000);
    files.keep(a, pagesOfAHeldFile());
    EXPECT_TRUE(files.has(a));
    files.keep(b, pagesOfAHeldFile());
    EXPECT_FALSE(files.has(a));
    EXPECT_EQ(files.bytesHeld(), 1000000 + TestFiles::pattern(10, 10).sizeInBytes());

    // A file whose header Qt cannot read is estimated at nothing; once
    // decoded it counts.
    ImgXDocument psd;
    psd.Loader.LoadFromFile(b);
    psd.Export.SaveFile(dir.filePath("c.psd"), ImgXFormatPSD);
    ImagePrefetcher unread(ahead.memoryCap());
    QSignalSpy ready(&unread, &ImagePrefetcher::decodeReady);
    unread.prefetch({a, dir.filePath("c.psd")});
    EXPECT_TRUE(QTest::qWaitFor([&] { return ready.size() == 2; }));
    EXPECT_TRUE(unread.has(a));
    EXPECT_FALSE(unread.has(dir.filePath("c.psd")));
}

TEST_F(ViewerLoader, LargePhotoShowsAReducedFrameFirst)
{
    const QSize size = largerThanTheScreen();
    const QString photo = image("large.jpg", size.width(), size.height(), "JPG");
    ImgX imgX;
    ViewerImageLoader loader(&imgX);
    loader.load(photo);
    EXPECT_TRUE(loader.showsReduced());
    EXPECT_TRUE(loader.showsAsLoaded(photo));
    EXPECT_LT(imgX.Export.GetPicture().width(), size.width());
    EXPECT_EQ(imgX.ImageInfo.Width(), size.width());
    loader.ensureFull();
    EXPECT_FALSE(loader.showsReduced());
    EXPECT_EQ(imgX.Export.GetPicture().size(), size);

    // A photo no wider than the screen is decoded whole at once.
    const QString small = image("small.jpg", 300, 200, "JPG");
    loader.load(small);
    EXPECT_FALSE(loader.showsReduced());
    EXPECT_EQ(imgX.Export.GetPicture().size(), QSize(300, 200));
}

TEST_F(ViewerLoader, LargePhotoGetsItsWholeImageWithoutBeingAsked)
{
    const QSize size = largerThanTheScreen();
    const QString photo = image("large.jpg", size.width(), size.height(), "JPG");
    frmViwer *v = show({photo}, 0, true);
    ImgX *imgX = v->imgX();
    EXPECT_EQ(imgX->ImageInfo.Width(), size.width());
    EXPECT_EQ(imgX->ImageInfo.Height(), size.height());
    EXPECT_TRUE(QTest::qWaitFor([&] { return imgX->Export.GetPicture().size() == size; }, 10000));
    EXPECT_EQ(imgX->ImageInfo.Width(), size.width());
}

TEST_F(ViewerLoader, PixelOperationsNeverWorkOnTheReducedFrame)
{
    const QSize size = largerThanTheScreen();
    const QString photo = image("large.jpg", size.width(), size.height(), "JPG");
    frmViwer *v = show({photo}, 0, true);
    v->findChild<QAction *>(QStringLiteral("mnuRotate1"))->trigger();
    EXPECT_EQ(v->imgX()->Export.GetPicture().size(), size.transposed());

    QStringList list = {photo};
    int index = 0;
    v->ViewImage(list, index);
    const QString saved = dir.filePath("saved.png");
    Prompts::FileDialogResult answer;
    answer.accepted = true;
    answer.files = {saved};
    answer.filterIndex = 2;
    ScriptedPrompts::instance().answerFileDialog(answer);
    v->findChild<QAction *>(QStringLiteral("mnuSaveAs"))->trigger();
    EXPECT_EQ(QImage(saved).size(), size);
}

TEST_F(ViewerLoader, FullScreenToggleReloadsTheFileAndDropsARotation)
{
    frmViwer *v = show({image("a.png", 120, 80)});
    v->findChild<QAction *>(QStringLiteral("mnuRotate1"))->trigger();
    ASSERT_EQ(v->imgX()->ImageInfo.Width(), 80);
    v->findChild<QAction *>(QStringLiteral("mnuFullScreen"))->trigger();
    EXPECT_EQ(v->imgX()->ImageInfo.Width(), 120);
}
