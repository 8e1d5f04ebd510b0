// The main window's browser and folder tree driven with real clicks and
// keys on a desktop of its own, with Qt's own popup menus and prompts.

#include "AppPaths.h"
#include "Desktop.h"
#include "FolderTree.h"
#include "ImageExplore.h"
#include "ListView.h"
#include "TestFiles.h"
#include "frmFile.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

using Desktop::clickAt;
using Desktop::typeInto;

class BrowserDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = QDir(dir.path()).canonicalPath();
        QDir().mkpath(root + "/photos/sub");
        QDir().mkpath(root + "/moved");
        ASSERT_TRUE(TestFiles::writeImage(root + "/photos/a.png", 40, 30));
        ASSERT_TRUE(TestFiles::writeImage(root + "/photos/b.png", 50, 30));
        browser()->SetExt(frmMain::BrowserExtList);
        window.resize(1000, 700);
        window.show();
        ASSERT_TRUE(Desktop::waitFramed(&window));
    }

    void TearDown() override { frmFile::Unload(); }

    void list(const QString &folder)
    {
        browser()->ExplorePath(folder);
        ASSERT_EQ(lv()->Count(), 3);   // sub, a.png, b.png
    }
    ImageExplore *browser() const { return window.ImageExplore1; }
    ListView *lv() const { return browser()->listView(); }
    QPoint itemCentre(int item) const { return lv()->visualRect(lv()->model()->index(item - 1, 0)).center(); }

    void clickItem(int item, int button, const QString &modifier = QString())
    {
        clickAt(lv()->viewport(), itemCentre(item), button, modifier);
    }
    // Picks an entry of the browser's popup menu once it is on screen.
    void pickFromPopup(const QString &caption)
    {
        QMenu *menu = browser()->popupMenu();
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000));
        for (QAction *action : menu->actions())
            if (action->text() == caption)
                return clickAt(menu, menu->actionGeometry(action).center());
        FAIL() << qPrintable(caption);
    }

    QTemporaryDir dir;
    QString root;
    frmMain window;
};

}

// One item selected, another made current with Ctrl + right-click: the
// selected file goes, under its own name.
TEST_F(BrowserDesktopTest, MoveToMovesTheSelectedFileWhereverThePopupWasOpened)
{
    list(root + "/photos");
    const QByteArray bytesA = TestFiles::readBytes(root + "/photos/a.png");
    const QByteArray bytesB = TestFiles::readBytes(root + "/photos/b.png");
    clickItem(2, 1);
    clickItem(3, 3, "ctrl");
    ASSERT_TRUE(lv()->Selected(2));
    ASSERT_EQ(lv()->SelectedItem(), 3);
    ASSERT_FALSE(lv()->Selected(3));

    Desktop::ModalScript script;
    script.then([&](QWidget *modal) {
        auto *chooser = qobject_cast<frmFile *>(modal);
        ASSERT_TRUE(chooser);
        typeInto(chooser->txtDestination(), root + "/moved/");
        clickAt(chooser->cmdOK());
    });
    pickFromPopup("Move To");

    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(root + "/photos/a.png"); }, 5000));
    EXPECT_EQ(QDir(root + "/moved").entryList(QDir::Files), QStringList{"a.png"});
    EXPECT_EQ(TestFiles::readBytes(root + "/moved/a.png"), bytesA);
    EXPECT_EQ(TestFiles::readBytes(root + "/photos/b.png"), bytesB);
    EXPECT_TRUE(script.unexpected.isEmpty()) << qPrintable(script.unexpected.join('\n'));
}

TEST_F(BrowserDesktopTest, ARenameThatLeadsOutOfTheFolderIsRefusedWithAMessage)
{
    list(root + "/photos");
    clickItem(2, 1);
    Desktop::ModalScript script;
    script.then([](QWidget *modal) {
        auto *prompt = qobject_cast<QInputDialog *>(modal);
        ASSERT_TRUE(prompt);
        Desktop::keys({"ctrl+a"});
        Desktop::type("sub/../x.jpg");
        Desktop::keys({"Return"});
    });
    QString message;
    script.then([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            message = box->text();
        Desktop::keys({"Return"});
    });
    clickItem(2, 3);
    pickFromPopup("Rename");

    EXPECT_TRUE(QTest::qWaitFor([&] { return !message.isEmpty(); }, 5000));
    EXPECT_TRUE(message.contains("\"/\"")) << qPrintable(message);
    EXPECT_EQ(QDir(root + "/photos").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"a.png", "b.png", "sub"}));
    EXPECT_EQ(lv()->Text(2), "a.png");
    EXPECT_TRUE(script.unexpected.isEmpty()) << qPrintable(script.unexpected.join('\n'));
}

// A folder made while its parent's node was open shows once the user
// closes and opens the node again.
TEST_F(BrowserDesktopTest, ReopeningAFolderNodeShowsAFolderMadeMeanwhile)
{
    FolderTree *tree = window.TV1;
    tree->setPath(root + "/photos/sub");
    QTreeWidget *view = tree->view();
    QTreeWidgetItem *photos = view->currentItem()->parent();
    ASSERT_TRUE(photos->isExpanded());
    const auto children = [&] {
        QStringList names;
        for (int i = 0; i < photos->childCount(); ++i)
            names << photos->child(i)->text(0);
        return names;
    };
    ASSERT_EQ(children(), QStringList{"sub"});
    QDir().mkpath(root + "/photos/new");

    // The node's arrow lies left of its row's text.
    const auto clickArrow = [&] {
        view->scrollToItem(photos);
        const QRect row = view->visualItemRect(photos);
        clickAt(view->viewport(), QPoint(row.left() - view->indentation() / 2, row.center().y()));
    };
    clickArrow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !photos->isExpanded(); }, 3000));
    // Not so fast that the second click makes a double click, which the
    // arrow ignores.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    clickArrow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return photos->isExpanded(); }, 3000));
    EXPECT_EQ(children(), (QStringList{"new", "sub"}));
}

TEST_F(BrowserDesktopTest, ThePreviewAndTheDesktopRootFollowWhatMoveToAndTheDiskDid)
{
    ASSERT_TRUE(TestFiles::writeImage(root + "/shots/c.png", 40, 30) && TestFiles::writeImage(root + "/shots/d.png", 40, 30));
    browser()->ExplorePath(root + "/shots");
    Desktop::ModalScript script;
    script.then([](QWidget *modal) { typeInto(qobject_cast<frmFile *>(modal)->txtDestination(), "rel"); Desktop::keys({"Return"}); });
    script.then([&](QWidget *modal) { EXPECT_TRUE(qobject_cast<QMessageBox *>(modal)->text().contains("\"" + root + "/shots/rel\"")); Desktop::keys({"Return"}); });
    clickItem(1, 3);
    pickFromPopup("Move To");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.preview().ShownFile() == root + "/shots/d.png"; }, 5000));
    EXPECT_TRUE(QFile::exists(root + "/shots/rel/c.png"));
    QTreeWidgetItem *desktop = window.TV1->desktopNode();
    const auto chosenAgain = [&] {   // what the Desktop root shows last once the user comes back to it
        window.TV1->view()->setCurrentItem(desktop->child(0));
        window.TV1->view()->setCurrentItem(desktop);
        return desktop->child(desktop->childCount() - 1)->text(0);
    };
    QDir().mkpath(AppPaths::desktopFolder() + "/new");
    EXPECT_EQ(chosenAgain(), "new");
    QDir().rmdir(AppPaths::desktopFolder() + "/new");
    EXPECT_EQ(chosenAgain(), "File System");
}
