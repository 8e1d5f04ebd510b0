// The main window on a real X screen with a window manager, scaled two
// device pixels to the logical pixel, under dark system colours, read back
// from the X server as the user sees it. Runs with QT_SCALE_FACTOR=2.

#include "Desktop.h"
#include "FolderTree.h"
#include "ImageExplore.h"
#include "ListView.h"
#include "TestFiles.h"
#include "TextContrast.h"
#include "frmMain.h"

#include <QApplication>
#include <QScreen>
#include <QSplashScreen>
#include <QStyle>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(ScaledDarkScreenTest, TheMainWindowIsSkinnedReadableAndItsThumbnailsSharp)
{
    QApplication::setPalette(
        TextContrast::systemPalette(QColor(0x35, 0x35, 0x35), Qt::white, QColor(0x23, 0x23, 0x23), Qt::blue));
    // Columns one pixel wide: a thumbnail made for the screen shows them,
    // one made for logical pixels and enlarged turns them grey.
    QTemporaryDir dir;
    ASSERT_TRUE(TestFiles::stripes(280, 200).save(dir.filePath("stripes.png")));

    Desktop::ModalScript modals;
    frmMain window;
    ASSERT_TRUE(window.Form_Load({}));
    window.show();
    ASSERT_TRUE(Desktop::waitFramed(&window));
    ASSERT_EQ(window.devicePixelRatioF(), 2) << "run with QT_SCALE_FACTOR=2";
    EXPECT_TRUE(QRect(QPoint(), window.screen()->availableGeometry().size() * 2).contains(Desktop::settledGeometry(&window)));
    // The user clicks the splash away.
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *splash = qobject_cast<QSplashScreen *>(top); splash && splash->isVisible()) {
            Desktop::clickAt(splash);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !splash->isVisible(); }, 5000));
        }
    }
    QTest::qWait(200);   // the tree is ready and lists the Desktop
    window.ImageExplore1->ExplorePath(dir.path());
    window.repaint();    // on the X server before it is read back
    const QImage screen = window.screen()->grabWindow(0).toImage();
    auto onScreen = [&](QWidget *widget, const QRect &rect) {
        return QRect(widget->mapToGlobal(rect.topLeft()) - window.screen()->geometry().topLeft(), rect.size());
    };

    const QColor background = screen.pixelColor(onScreen(&window, QRect(1, 1, 1, 1)).topLeft() * 2);
    EXPECT_EQ(background, QColor(0xee, 0xf1, 0xf6));

    QTreeWidget *tree = window.TV1->view();
    QTreeWidgetItem *node = tree->topLevelItem(0)->child(0);
    ASSERT_NE(node, nullptr);
    const int icon = tree->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, tree);
    QRect label = tree->visualItemRect(node).adjusted(icon + 6, 0, 0, 0);
    label.setWidth(tree->fontMetrics().horizontalAdvance(node->text(0)));
    QImage scaled = screen;
    scaled.setDevicePixelRatio(2);
    EXPECT_GE(TextContrast::inArea(scaled, onScreen(tree->viewport(), label)), TextContrast::Readable);

    ListView *list = window.ImageExplore1->listView();
    ASSERT_EQ(list->Count(), 1);
    const QRect item = onScreen(list->viewport(), list->visualRect(list->model()->index(0, 0)));
    const int y = 2 * (item.top() + 4 + 62);   // across the middle of the picture cell
    int grey = 0;
    for (int x = 2 * item.center().x() - 100; x < 2 * item.center().x() + 100; ++x) {
        const int level = qGray(screen.pixel(x, y));
        grey += level > 60 && level < 195;
    }
    EXPECT_LT(grey, 40) << "of 200 pixels across the thumbnail";
    EXPECT_TRUE(modals.unexpected.isEmpty()) << modals.unexpected.join(" | ").toStdString();
}
