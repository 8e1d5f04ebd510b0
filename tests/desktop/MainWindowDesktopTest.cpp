// The main window as the window manager frames it: its layout follows the
// outer size from the first show on.

#include "Desktop.h"
#include "ImageExplore.h"
#include "frmMain.h"

#include <QSplitter>
#include <gtest/gtest.h>

TEST(MainWindowDesktopTest, TreeSplitterFollowsTheFramedSizeFromTheFirstShow)
{
    Desktop::ModalScript modals;
    frmMain window;
    window.ImageExplore1->SetExt(frmMain::BrowserExtList);
    window.show();
    ASSERT_TRUE(Desktop::waitFramed(&window));
    // 300 twips narrower and 1000 shorter than the outer window, at 15 twips a pixel.
    const QRect outer = Desktop::settledGeometry(&window);
    EXPECT_EQ(window.Splitter2->size(), QSize(outer.width() - 20, outer.height() - 67))
        << ::testing::PrintToString(outer);
    EXPECT_TRUE(modals.unexpected.isEmpty()) << modals.unexpected.join(" | ").toStdString();
}
