// The viewer's window as the window manager frames it: its outer size and
// place for an image, full screen and back with the F key, and its title.

#include "Desktop.h"
#include "DesktopViewer.h"
#include "ImgX.h"
#include "frmViwer.h"

#include <QScrollBar>
#include <QStatusBar>
#include <QtTest/QTest>

class ViewerWindowDesktopTest : public DesktopViewer {};

TEST_F(ViewerWindowDesktopTest, FramedWindowHasTheImageSizesAndFullScreenGivesItBack)
{
    // An image larger than the 1280x1024 screen: a window as large as the
    // screen, on it, from the first image on.
    frmViwer *viewer = show({image("large.png", 4000, 3000), image("small.png", 640, 480)});
    EXPECT_EQ(Desktop::settledGeometry(viewer), QRect(0, 0, 1280, 1024));

    // At 15 twips a pixel a 640x480 image makes a window 640 wide and
    // 33 + 480 + 27 + 67 = 606 high, centred.
    Desktop::keys({"space"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer->currentIndex() == 1; }, 5000));
    const QRect sized = Desktop::settledGeometry(viewer);
    EXPECT_EQ(sized, QRect(320, 209, 640, 606));
    EXPECT_EQ(Desktop::title(viewer), QString("small.png- Quillmere 1.6"));

    Desktop::keys({"f"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return Desktop::outerGeometry(viewer) == QRect(0, 0, 1280, 1024); }, 5000))
        << ::testing::PrintToString(Desktop::outerGeometry(viewer));
    Desktop::keys({"f"});
    // Back with its size and left edge, 510 twips (34 pixels) lower, and an
    // empty title until the next image names it.
    EXPECT_EQ(Desktop::settledGeometry(viewer), sized.translated(0, 34));
    EXPECT_EQ(Desktop::title(viewer), QString());
}

TEST_F(ViewerWindowDesktopTest, KeysWithShiftActLikeThePlainKey)
{
    frmViwer *viewer = show({image("small.png", 320, 240)});
    Desktop::keys({"shift+minus"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer->imgX()->Zoom() < 1.0; }, 3000)) << viewer->imgX()->Zoom();
}

// Zoomed past the window, the image area and its scroll bars end where
// the status bar begins, whatever height the bars have here.
TEST_F(ViewerWindowDesktopTest, ImageAreaEndsWhereTheStatusBarBegins)
{
    frmViwer *viewer = show({image("photo.png", 640, 480)});
    Desktop::keys({"KP_Add"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer->imgX()->ScrollMode() == 2; }, 3000));
    const int statusTop = viewer->statusBar()->geometry().top();
    EXPECT_EQ(viewer->imgX()->mapTo(viewer, QPoint(0, viewer->imgX()->height())).y(), statusTop);
    for (const QScrollBar *bar : viewer->imgX()->findChildren<QScrollBar *>()) {
        const QRect shown(bar->mapTo(viewer, QPoint(0, 0)), bar->size());
        EXPECT_TRUE(bar->isVisible() && viewer->rect().contains(shown) && shown.bottom() < statusTop);
    }
}
