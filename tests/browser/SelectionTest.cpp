// The current item, the selection event, moving with Next and Previous,
// the host's lookups and the control's own size rules.

#include "BrowserFixture.h"

#include "ListView.h"
#include "ScreenMetrics.h"

#include <QLabel>
#include <QMenu>
#include <QTest>

class SelectionTest : public BrowserFixture {
protected:
    // Lists a folder of one sub-folder and three images; returns the paths
    // in list order.
    QStringList listFolder()
    {
        const QString dir = makeFolder("photos");
        makeFolder("photos/sub");
        makeImage(dir, "a.png");
        makeImage(dir, "b.png");
        makeImage(dir, "c.png");
        browser->ExplorePath(dir);
        events.clear();
        return tags();
    }
    QPoint centreOf(int position) const
    {
        ListView *lv = browser->listView();
        return lv->visualRect(lv->model()->index(position - 1, 0)).center();
    }
    QPoint emptySpace() const
    {
        const QWidget *viewport = browser->listView()->viewport();
        return QPoint(viewport->width() - 3, viewport->height() - 3);
    }
};

TEST_F(SelectionTest, NextItemReportsTheOldItemAtOnceAndTheNewOneWhenTheKeyArrives)
{
    showAndFocus();
    const QStringList paths = listFolder();
    browser->NextItem();
    EXPECT_EQ(events, QStringList({paths[0]}));
    EXPECT_EQ(current(), 1);
    settle();
    EXPECT_EQ(events, QStringList({paths[0], paths[1]}));
    EXPECT_EQ(current(), 2);
    EXPECT_TRUE(selected(2));
    EXPECT_FALSE(selected(1));

    events.clear();
    browser->PrevItem();
    settle();
    EXPECT_EQ(events, QStringList({paths[1], paths[0]}));
    EXPECT_EQ(current(), 1);
}

TEST_F(SelectionTest, NextItemOnTheLastItemReportsItTwiceAndStaysThere)
{
    showAndFocus();
    const QStringList paths = listFolder();
    browser->SetSelectedFocus(paths[3]);
    browser->NextItem();
    settle();
    EXPECT_EQ(events, QStringList({paths[3], paths[3]}));
    EXPECT_EQ(current(), 4);
}

TEST_F(SelectionTest, NextAndPreviousOnAnEmptyListDoNothing)
{
    showAndFocus();
    browser->ExplorePath(makeFolder("empty"));
    events.clear();
    browser->NextItem();
    browser->PrevItem();
    settle();
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(SelectionTest, KeyReleasesReportTheCurrentItemExceptCtrlItself)
{
    showAndFocus();
    const QStringList paths = listFolder();
    ListView *lv = browser->listView();
    lv->setSelected(3, true);

    QTest::keyRelease(lv, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(events.isEmpty());

    // With Ctrl held the selection is left alone.
    QTest::keyRelease(lv, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(events, QStringList({paths[0]}));
    EXPECT_TRUE(selected(1));
    EXPECT_TRUE(selected(3));

    // Any other key reports too, also when it did not move anything.
    events.clear();
    lv->setSelected(1, false);
    QTest::keyRelease(lv, Qt::Key_Return);
    EXPECT_EQ(events, QStringList({paths[0]}));
    EXPECT_TRUE(selected(1));
}

TEST_F(SelectionTest, MouseReleasesReportOrOpenTheMenu)
{
    showAndFocus();
    const QStringList paths = listFolder();
    QWidget *viewport = browser->listView()->viewport();

    // Left release over empty space: the item that is current.
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, emptySpace());
    EXPECT_EQ(events, QStringList({paths[0]}));

    // Right release over empty space: nothing.
    events.clear();
    QTest::mouseRelease(viewport, Qt::RightButton, {}, emptySpace());
    EXPECT_TRUE(events.isEmpty());
    EXPECT_FALSE(browser->popupMenu()->isVisible());

    // Right release over an item: the menu, no event.
    QTest::mouseRelease(viewport, Qt::RightButton, {}, centreOf(2));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_TRUE(browser->popupMenu()->isVisible());
    browser->popupMenu()->hide();
}

TEST_F(SelectionTest, TheMenuOffersTheFiveCommandsInOrder)
{
    QStringList captions;
    for (QAction *action : browser->popupMenu()->actions())
        captions << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(captions, QStringList({"Copy Image", "-", "Copy To", "Move To", "Delete", "Rename"}));
    EXPECT_EQ(browser->popupMenu()->title(), "MENU");
}

TEST_F(SelectionTest, SetSelectedFocusIgnoresLetterCaseAndRaisesNothing)
{
    const QStringList paths = listFolder();
    browser->listView()->setSelected(2, true);
    browser->SetSelectedFocus(paths[2].toUpper());
    EXPECT_EQ(current(), 3);
    EXPECT_TRUE(selected(3));
    EXPECT_FALSE(selected(1) || selected(2) || selected(4));
    EXPECT_TRUE(events.isEmpty());

    // An unknown path clears the selection and keeps the current item.
    browser->SetSelectedFocus("/nowhere/x.png");
    EXPECT_EQ(current(), 3);
    EXPECT_FALSE(selected(3));
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(SelectionTest, LookupsUseTheirOwnPositionConventions)
{
    const QStringList paths = listFolder();
    EXPECT_EQ(browser->GetSelectedIndex(), 0);
    EXPECT_EQ(browser->FindItemByPath(paths[2].toUpper()), 3);
    EXPECT_EQ(browser->FindItemByPath("/nowhere"), -1);
    EXPECT_EQ(browser->GetFileIndex(0), -1);   // a folder has no file entry
    EXPECT_EQ(browser->GetFileIndex(2), 1);
    EXPECT_EQ(browser->GetFileIndex(99), -1);

    browser->listView()->setAllSelected(false);
    EXPECT_EQ(browser->GetSelectedPaths(), QString());
    browser->listView()->setSelected(2, true);
    browser->listView()->setSelected(4, true);
    EXPECT_EQ(browser->GetSelectedPaths(), paths[1] + QChar(0) + paths[3] + QChar(0));

    browser->ExplorePath(makeFolder("empty"));
    EXPECT_EQ(browser->GetSelectedIndex(), -1);
}

TEST_F(SelectionTest, UpdateAfterOperationRenamesOrDropsItemsInPlace)
{
    const QStringList paths = listFolder();
    browser->SetSelectedFocus(paths[3]);

    browser->UpdateAfterOperation(paths[1].toUpper(), root + "/photos/renamed.png");
    EXPECT_EQ(text(2), "renamed.png");
    EXPECT_EQ(tag(2), root + "/photos/renamed.png");
    EXPECT_EQ(browser->files()[0], root + "/photos/renamed.png");
    EXPECT_EQ(current(), 4);

    browser->UpdateAfterOperation(paths[2]);
    EXPECT_EQ(count(), 3);
    EXPECT_FALSE(tags().contains(paths[2]));
    EXPECT_EQ(browser->files(), QStringList({root + "/photos/renamed.png", paths[3]}));
    EXPECT_EQ(tag(current()), paths[3]);
    EXPECT_TRUE(selected(3));

    browser->UpdateAfterOperation("/not/listed.png");
    browser->UpdateAfterOperation("/not/listed.png", "/not/other.png");
    EXPECT_EQ(count(), 3);
    EXPECT_TRUE(events.isEmpty());
}

// The viewer renamed a file onto another listed one (the user agreed to
// replace it): the replaced file's item goes, nothing else moves.
TEST_F(SelectionTest, UpdateAfterARenameOntoAListedFileDropsThatItem)
{
    const QStringList paths = listFolder();   // sub, then three images
    browser->SetSelectedFocus(paths[3]);

    browser->UpdateAfterOperation(paths[1], paths[2]);
    EXPECT_EQ(tags(), (QStringList{paths[0], paths[2], paths[3]}));
    EXPECT_EQ(browser->files(), (QStringList{paths[2], paths[3]}));
    EXPECT_EQ(tag(current()), paths[3]);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(SelectionTest, TheControlIsNeverNarrowerThan1600Twips)
{
    const double tpp = ScreenMetrics::twipsPerPixelX();
    browser->show();
    browser->resize(FormGeometry::toPixelsX(1200), 400);
    EXPECT_GE(FormGeometry::controlWidth(browser.get()), 1600);
    EXPECT_LT(FormGeometry::controlWidth(browser.get()), 1600 + tpp);

    browser->resize(FormGeometry::toPixelsX(5000), 400);
    EXPECT_NEAR(FormGeometry::controlWidth(browser->emptyNotice()), 4600, tpp);
    EXPECT_EQ(browser->listView()->geometry(), browser->rect());
}
