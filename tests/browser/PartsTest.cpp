// The platform parts under the browser: folder search, synthesized keys,
// the picture store and the list view.

#include "FolderSearch.h"
#include "ImageList.h"
#include "ListView.h"
#include "PackedPicture.h"
#include "SendInput.h"
#include "TestFiles.h"
#include "VirtualKeys.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList searchAll(const QString &searchPath)
{
    QStringList names;
    QString name;
    for (FolderSearch search(searchPath); search.next(name);)
        names << name;
    return names;
}

QImage filled(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

class KeyRecorder : public QWidget {
public:
    QStringList keys;
protected:
    void keyPressEvent(QKeyEvent *e) override { keys << QStringLiteral("down %1").arg(VirtualKeys::fromEvent(e)); }
    void keyReleaseEvent(QKeyEvent *e) override { keys << QStringLiteral("up %1").arg(VirtualKeys::fromEvent(e)); }
};

}

// The order of a case-insensitive file system's index: dots first, then
// names upper-cased and compared code unit by code unit.
TEST(FolderSearchTest, GivesTheDotsThenTheNamesInUpperCaseOrdinalOrder)
{
    QTemporaryDir dir;
    for (const char *name : {"IMG_2.jpg", "zebra.png", "img_10.jpg", "_x.png", "a.png", "\xc3\xa4rger.png", "A.png", "noext"})
        TestFiles::writeBytes(dir.path() + "/" + QString::fromUtf8(name), "x");
    QDir(dir.path()).mkdir("sub.d");

    const QStringList names = {"A.png", "a.png", "img_10.jpg", "IMG_2.jpg", "noext", "sub.d", "zebra.png", "_x.png",
                               QString::fromUtf8("\xc3\xa4rger.png")};
    EXPECT_EQ(searchAll(dir.path() + "/*"), QStringList({".", ".."}) + names);
    EXPECT_EQ(searchAll(dir.path() + "/*.*"), QStringList({".", ".."}) + names);   // names without a dot too
    EXPECT_EQ(searchAll(dir.path() + "/*.PNG"), QStringList({"A.png", "a.png", "zebra.png", "_x.png", QString::fromUtf8("\xc3\xa4rger.png")}));
}

TEST(FolderSearchTest, OtherPatternsIgnoreLetterCase)
{
    QTemporaryDir dir;
    for (const char *name : {"a.png", "B.PNG", "c.jpg", "dpng"})
        TestFiles::writeBytes(dir.path() + "/" + name, "x");
    EXPECT_EQ(searchAll(dir.path() + "/*.png"), QStringList({"a.png", "B.PNG"}));
    EXPECT_EQ(searchAll(dir.path() + "/?.JPG"), QStringList({"c.jpg"}));
}

TEST(FolderSearchTest, AFolderThatCannotBeReadOrMatchesNothingGivesNothing)
{
    QTemporaryDir dir;
    TestFiles::writeBytes(dir.path() + "/file", "x");
    for (const QString &path : {dir.path() + "/missing/*", dir.path() + "/file/*", dir.path() + "/*.none"}) {
        FolderSearch search(path);
        EXPECT_FALSE(search.isOpen()) << qPrintable(path);
        QString name;
        EXPECT_FALSE(search.next(name));
    }
    FolderSearch closed(dir.path() + "/*");
    EXPECT_TRUE(closed.isOpen());
    closed.close();
    closed.close();
    QString name;
    EXPECT_FALSE(closed.next(name));
}

TEST(SendInputTest, APressArrivesAtTheFocusedWidgetOnlyWhenTheEventLoopRuns)
{
    KeyRecorder target;
    target.setFocusPolicy(Qt::StrongFocus);
    target.show();
    QApplication::setActiveWindow(&target);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&target));
    target.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &target);

    SendInput::PressKey(VirtualKeys::Right);
    EXPECT_TRUE(target.keys.isEmpty());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(target.keys, QStringList({"down 39", "up 39"}));
}

TEST(PictureStoreTest, TheFirstPictureFixesTheCellUntilTheNextClear)
{
    ImageList store;
    EXPECT_TRUE(store.ImageSize().isEmpty());
    ASSERT_TRUE(store.Add("Folder", filled(150, 125, Qt::yellow)));
    ASSERT_TRUE(store.Add("A", filled(125, 125, Qt::gray)));
    EXPECT_EQ(store.ImageSize(), QSize(150, 125));
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(store.IndexOf("A"), 2);
    EXPECT_EQ(store.IndexOf("missing"), 0);
    EXPECT_EQ(store.Key(1), "Folder");
    EXPECT_FALSE(store.Add("A", filled(5, 5, Qt::red)));     // keys are unique
    EXPECT_FALSE(store.Add("empty", QImage()));
    EXPECT_EQ(store.Count(), 2);

    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    ASSERT_TRUE(store.Add("A", filled(10, 20, Qt::gray)));
    EXPECT_EQ(store.ImageSize(), QSize(10, 20));
}

TEST(PictureStoreTest, PicturesComeBackWithTheirSizeAndColours)
{
    ImageList store;
    store.Add("cell", filled(150, 125, Qt::transparent));
    QImage photo = TestFiles::pattern(140, 105);
    ASSERT_TRUE(store.Add("/p/photo.jpg", photo));
    const QImage back = store.Picture("/p/photo.jpg");
    ASSERT_EQ(back.size(), QSize(140, 105));
    const QColor corner = back.pixelColor(5, 5);
    EXPECT_NEAR(corner.red(), 255, 8);
    EXPECT_NEAR(corner.green(), 0, 8);
    // Transparency is kept exactly.
    EXPECT_EQ(store.Picture(1).pixelColor(3, 3).alpha(), 0);
}

TEST(PictureStoreTest, LargePicturesShrinkIntoTheCellAndSmallOnesStay)
{
    ImageList store;
    store.Add("Folder", filled(150, 125, Qt::yellow));
    store.Add("square", filled(140, 140, Qt::red));
    store.Add("tall", filled(140, 252, Qt::red));
    store.Add("icon", filled(32, 32, Qt::red));
    EXPECT_EQ(store.cellPixmap("square").size(), QSize(125, 125));
    EXPECT_EQ(store.cellPixmap("tall").size(), QSize(69, 125));
    EXPECT_EQ(store.cellPixmap("icon").size(), QSize(32, 32));
    EXPECT_TRUE(store.cellPixmap("unknown").isNull());
}

TEST(PackedPictureTest, AnEmptyImagePacksToNothing)
{
    EXPECT_TRUE(PackedPicture::pack(QImage()).isNull());
    EXPECT_TRUE(PackedPicture().unpack().isNull());
}

TEST(ListViewTest, ItemsAreReachedByOneBasedPosition)
{
    ListView list;
    list.Add(3, ListItem{QString(), QString(), "A"});
    ASSERT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.setItem(2, ListItem{"b.png", "/x/b.png", "/x/b.png"}));
    EXPECT_FALSE(list.setItem(4, ListItem{"d", "/d", "/d"}));
    EXPECT_FALSE(list.setItem(0, ListItem{"d", "/d", "/d"}));
    EXPECT_EQ(list.Text(2), "b.png");
    EXPECT_EQ(list.Tag(2), "/x/b.png");
    EXPECT_EQ(list.Icon(1), "A");
    EXPECT_TRUE(list.Tag(9).isEmpty());
    EXPECT_EQ(list.SelectedItem(), 0);

    EXPECT_TRUE(list.setSelectedItem(3));
    EXPECT_TRUE(list.setSelected(1, true));
    EXPECT_EQ(list.SelectedItem(), 3);
    EXPECT_TRUE(list.Selected(1));
    EXPECT_FALSE(list.Selected(2));
    EXPECT_TRUE(list.Selected(3));
    list.setAllSelected(false);
    EXPECT_FALSE(list.Selected(1) || list.Selected(3));

    EXPECT_TRUE(list.Remove(1));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Text(1), "b.png");
    EXPECT_FALSE(list.Remove(5));
}

TEST(ListViewTest, RightAndLeftStepThroughTheItemsAcrossRows)
{
    ListView list;
    list.resize(400, 600);   // two cells a row
    list.Add(5, ListItem{"x", "/x", "A"});
    list.show();
    list.setSelectedItem(2);   // the end of the first row
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(list.SelectedItem(), 3);
    QTest::keyClick(&list, Qt::Key_Left);
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_EQ(list.SelectedItem(), 1);
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_EQ(list.SelectedItem(), 1);
    list.setSelectedItem(5);
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(list.SelectedItem(), 5);
}

TEST(ListViewTest, HitTestFindsItemsAndNotEmptySpace)
{
    ListView list;
    list.resize(600, 600);
    list.Add(2, ListItem{"x", "/x", "A"});
    list.show();
    QApplication::processEvents();
    const QRect second = list.visualRect(list.model()->index(1, 0));
    EXPECT_EQ(list.HitTest(second.center()), 2);
    EXPECT_EQ(list.HitTest(QPoint(590, 590)), 0);
}
