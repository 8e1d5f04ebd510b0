// The folder tree: what it reports as its path and which events it raises
// for the program's and the user's actions.

#include "AppPaths.h"
#include "FolderTree.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = QDir(dir.path()).canonicalPath();
        QDir().mkpath(root + "/Photos/2023/May");
        QDir().mkpath(root + "/Photos/.cache");
        QDir().mkpath(root + "/Music");
    }

    // Clicks a node as the user would and lets its events arrive.
    void click(QTreeWidgetItem *item)
    {
        QTreeWidget *view = tree.view();
        view->scrollToItem(item);
        const QRect row = view->visualItemRect(item);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(row.left() + 8, row.center().y()));
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    QString root;
    FolderTree tree;
};

}

TEST_F(FolderTreeTest, StartsOnTheDesktopRootWhichHasNoPath)
{
    EXPECT_EQ(tree.view()->currentItem(), tree.desktopNode());
    EXPECT_EQ(tree.Path(), QString());
}

TEST_F(FolderTreeTest, AnnouncesTheDesktopOnceAfterItIsFirstShown)
{
    QSignalSpy desktop(&tree, &FolderTree::DesktopSelected);
    tree.show();
    EXPECT_EQ(desktop.count(), 0) << "the announcement must wait for the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.count(), 1);
    tree.hide();
    tree.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.count(), 1);
}

TEST_F(FolderTreeTest, SettingThePathSelectsTheFolderAndReportsItAtOnce)
{
    QSignalSpy changed(&tree, &FolderTree::FolderChanged);
    tree.setPath(root + "/Photos/2023");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(tree.Path(), root + "/Photos/2023/");
    tree.setPath(root + "/Photos/2023/May/");
    EXPECT_EQ(tree.Path(), root + "/Photos/2023/May/");
    EXPECT_EQ(changed.count(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.count(), 2) << "a program change is reported once, not again from the queue";
}

TEST_F(FolderTreeTest, AMissingFolderLeavesTheSelectionAlone)
{
    tree.setPath(root + "/Music");
    QSignalSpy changed(&tree, &FolderTree::FolderChanged);
    tree.setPath(root + "/NoSuchFolder");
    tree.setPath(QString());
    EXPECT_EQ(tree.Path(), root + "/Music/");
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(FolderTreeTest, TheRootFolderEndsWithOneSeparator)
{
    tree.setPath("/");
    EXPECT_EQ(tree.Path(), "/");
}

TEST_F(FolderTreeTest, HiddenFoldersAreNotListedButCanBeSelected)
{
    tree.setPath(root + "/Photos");
    QTreeWidgetItem *photos = tree.view()->currentItem();
    ASSERT_TRUE(photos);
    photos->setExpanded(true);
    QStringList names;
    for (int i = 0; i < photos->childCount(); ++i)
        names << photos->child(i)->text(0);
    EXPECT_EQ(names, QStringList{"2023"});

    tree.setPath(root + "/Photos/.cache");
    EXPECT_EQ(tree.Path(), root + "/Photos/.cache/");
}

TEST_F(FolderTreeTest, AFolderMadeAfterItsParentWasReadCanStillBeSelected)
{
    tree.setPath(root + "/Photos");
    tree.view()->currentItem()->setExpanded(true);
    QDir().mkpath(root + "/Photos/New");
    tree.setPath(root + "/Photos/New");
    EXPECT_EQ(tree.Path(), root + "/Photos/New/");
}

TEST_F(FolderTreeTest, AFolderIsReadAgainWhenItsNodeIsOpenedOrSelected)
{
    tree.setPath(root + "/Photos");
    QTreeWidgetItem *photos = tree.view()->currentItem();
    photos->setExpanded(true);
    const auto children = [&] {
        QStringList names;
        for (int i = 0; i < photos->childCount(); ++i)
            names << photos->child(i)->text(0);
        return names;
    };
    ASSERT_EQ(children(), QStringList{"2023"});

    QDir().mkpath(root + "/Photos/2024");
    photos->setExpanded(false);
    photos->setExpanded(true);
    EXPECT_EQ(children(), (QStringList{"2023", "2024"}));

    ASSERT_TRUE(QDir(root + "/Photos/2023").removeRecursively());
    QDir().mkpath(root + "/Photos/1999");
    tree.view()->setCurrentItem(tree.desktopNode());
    tree.view()->setCurrentItem(photos);   // as a user's selection does
    EXPECT_EQ(children(), (QStringList{"1999", "2024"}));
}

TEST_F(FolderTreeTest, AUserClickRaisesItsEventsFromTheQueueInOrder)
{
    tree.resize(400, 600);
    tree.show();
    QCoreApplication::processEvents();
    tree.setPath(root + "/Photos/2023");
    QTreeWidgetItem *target = tree.view()->currentItem()->parent();   // Photos

    QStringList order;
    QObject::connect(&tree, &FolderTree::FolderChanged, [&] { order << "FolderChanged:" + tree.Path(); });
    QObject::connect(&tree, &FolderTree::NodeClick, [&] { order << "NodeClick:" + tree.Path(); });
    QObject::connect(&tree, &FolderTree::Click, [&] { order << "Click:" + tree.Path(); });
    click(target);
    const QString photos = root + "/Photos/";
    EXPECT_EQ(order, (QStringList{"FolderChanged:" + photos, "NodeClick:" + photos, "Click:" + photos}));
}

TEST_F(FolderTreeTest, ChoosingTheDesktopRootRaisesDesktopSelected)
{
    tree.resize(400, 600);
    tree.show();
    QCoreApplication::processEvents();
    tree.setPath(root + "/Music");
    QSignalSpy desktop(&tree, &FolderTree::DesktopSelected);
    QSignalSpy changed(&tree, &FolderTree::FolderChanged);
    click(tree.desktopNode());
    EXPECT_EQ(desktop.count(), 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(tree.Path(), QString());
}

TEST(FolderTreeDesktopTest, DesktopFoldersHomeAndTheRootHangUnderTheDesktopRoot)
{
    const QString shots = AppPaths::desktopFolder() + "/Shots";
    ASSERT_TRUE(QDir().mkpath(shots));
    FolderTree tree;
    QStringList paths;
    for (int i = 0; i < tree.desktopNode()->childCount(); ++i)
        paths << tree.desktopNode()->child(i)->data(0, Qt::UserRole).toString();
    EXPECT_TRUE(paths.contains(QDir::cleanPath(QDir::homePath())));
    EXPECT_TRUE(paths.contains("/"));
    EXPECT_TRUE(paths.contains(shots));

    // A folder on the desktop is reached through its own node.
    tree.setPath(shots);
    EXPECT_EQ(tree.view()->currentItem()->parent(), tree.desktopNode());
    EXPECT_EQ(tree.Path(), shots + "/");
    QDir(shots).removeRecursively();
}
