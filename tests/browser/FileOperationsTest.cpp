// Copy, move, delete, rename and copy-image on the selected items, on real
// files, with the trash where a delete can be undone.

#include "BrowserFixture.h"

#include "ListView.h"
#include "TestFiles.h"
#include "frmFile.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class FileOperationsTest : public BrowserFixture {
protected:
    void TearDown() override
    {
        frmFile::Unload();
        BrowserFixture::TearDown();
    }

    // Lists a folder of `images` PNG files; returns their paths in list order.
    QStringList listImages(int images, const QString &name = "photos")
    {
        const QString dir = makeFolder(name);
        for (int i = 0; i < images; ++i)
            makeImage(dir, QStringLiteral("img%1.png").arg(i));
        browser->ExplorePath(dir);
        events.clear();
        prompts().reset();
        return tags();
    }
    void runMenu(const QString &caption)
    {
        for (QAction *action : browser->popupMenu()->actions())
            if (action->text() == caption)
                return action->trigger();
        FAIL() << qPrintable(caption);
    }
    // The folder chooser answers with `destination`, or is cancelled.
    void chooseFolder(const QString &destination)
    {
        prompts().answerDialog([destination](QDialog *dialog) {
            auto *chooser = qobject_cast<frmFile *>(dialog);
            if (!chooser || destination.isEmpty())
                return int(QDialog::Rejected);
            chooser->txtDestination()->setText(destination);
            chooser->cmdOK()->click();
            return int(QDialog::Accepted);
        });
    }
    QString trashFiles() const { return qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files/"; }
    QString trashInfo() const { return qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/info/"; }
};

TEST_F(FileOperationsTest, DeleteSendsTheFileToTheTrashAndSelectsTheItemBefore)
{
    const QStringList paths = listImages(5);
    browser->SetSelectedFocus(paths[2]);
    runMenu("Delete");

    EXPECT_FALSE(QFile::exists(paths[2]));
    const QString name = QFileInfo(paths[2]).fileName();
    EXPECT_TRUE(QFile::exists(trashFiles() + name));
    EXPECT_TRUE(QFile::exists(trashInfo() + name + ".trashinfo"));
    EXPECT_EQ(count(), 4);
    EXPECT_FALSE(tags().contains(paths[2]));
    EXPECT_FALSE(browser->files().contains(paths[2]));
    EXPECT_EQ(browser->files().size(), 4);
    EXPECT_EQ(current(), 2);
    EXPECT_TRUE(selected(2));
    EXPECT_EQ(events, QStringList({paths[1]}));
}

TEST_F(FileOperationsTest, ShiftDeleteDeletesForGood)
{
    showAndFocus();
    const QStringList paths = listImages(3);
    browser->SetSelectedFocus(paths[1]);
    // Other tests of this program may have trashed files of the same name.
    const QStringList trashedBefore = QDir(trashFiles()).entryList(QDir::Files | QDir::Hidden);
    QTest::keyPress(browser->listView(), Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyClick(browser->listView(), Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyRelease(browser->listView(), Qt::Key_Shift);

    EXPECT_FALSE(QFile::exists(paths[1]));
    EXPECT_EQ(QDir(trashFiles()).entryList(QDir::Files | QDir::Hidden), trashedBefore);
    EXPECT_EQ(count(), 2);
    ASSERT_FALSE(prompts().messages.isEmpty());
    EXPECT_TRUE(prompts().messages[0].text.contains("permanently"));
}

TEST_F(FileOperationsTest, DeletingTheFirstItemSelectsAndReportsTheItemThatTakesItsPlace)
{
    const QStringList paths = listImages(3);
    runMenu("Delete");
    EXPECT_FALSE(QFile::exists(paths[0]));
    EXPECT_EQ(tags(), paths.mid(1));
    EXPECT_TRUE(selected(1) && !selected(2));
    EXPECT_EQ(events, QStringList{paths[1]});
}

TEST_F(FileOperationsTest, DeletingTheOnlyItemReportsItThenDropsIt)
{
    const QStringList paths = listImages(1);
    runMenu("Delete");
    EXPECT_EQ(events, QStringList({paths[0]}));
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(browser->files().isEmpty());
}

TEST_F(FileOperationsTest, DecliningTheConfirmationChangesNothing)
{
    const QStringList paths = listImages(2);
    prompts().answerMessage(Prompts::No);
    runMenu("Delete");
    EXPECT_TRUE(QFile::exists(paths[0]));
    EXPECT_EQ(tags(), paths);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(FileOperationsTest, TheDeleteKeyOnTheControlItselfActsAsTheMenu)
{
    const QStringList paths = listImages(2);
    browser->show();
    QApplication::setActiveWindow(browser.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser.get()));
    browser->setFocus();
    ASSERT_TRUE(browser->hasFocus());
    QTest::keyClick(browser.get(), Qt::Key_Delete);
    EXPECT_FALSE(QFile::exists(paths[0]));
    EXPECT_EQ(tags(), paths.mid(1));

    browser->setFocus();
    prompts().reset();
    QTest::keyClick(browser.get(), Qt::Key_Return);
    EXPECT_TRUE(QFile::exists(paths[1]));
    EXPECT_TRUE(prompts().messages.isEmpty());
    EXPECT_EQ(tags(), paths.mid(1));
}

TEST_F(FileOperationsTest, RenameChangesTheItemInPlace)
{
    const QStringList paths = listImages(3);
    browser->SetSelectedFocus(paths[1]);
    prompts().answerInput(QString("holiday 1.png"));
    runMenu("Rename");

    ASSERT_EQ(prompts().inputs.size(), 1);
    EXPECT_EQ(prompts().inputs[0].title, "Rename File");
    EXPECT_EQ(prompts().inputs[0].prompt, "File Name:");
    EXPECT_EQ(prompts().inputs[0].defaultText, QFileInfo(paths[1]).fileName());
    const QString renamed = root + "/photos/holiday 1.png";
    EXPECT_TRUE(QFile::exists(renamed));
    EXPECT_FALSE(QFile::exists(paths[1]));
    EXPECT_EQ(text(2), "holiday 1.png");
    EXPECT_EQ(tag(2), renamed);
    EXPECT_EQ(browser->files()[1], renamed);
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(events, QStringList{renamed});
}

// Renaming onto another listed file replaces it once the user agreed; that
// file's item goes, so no two items stand for one file.
TEST_F(FileOperationsTest, RenameOntoAnotherListedFileDropsThatItem)
{
    const QStringList paths = listImages(3);
    browser->SetSelectedFocus(paths[2]);
    prompts().answerInput(QFileInfo(paths[0]).fileName());
    prompts().answerMessage(Prompts::Yes);
    runMenu("Rename");

    ASSERT_FALSE(QFile::exists(paths[2]));
    EXPECT_EQ(tags(), (QStringList{paths[1], paths[0]}));
    EXPECT_EQ(browser->files(), (QStringList{paths[1], paths[0]}));
    EXPECT_EQ(tag(current()), paths[0]);
}

TEST_F(FileOperationsTest, RenameCancelledUnchangedOrToAFolderDoesNothing)
{
    const QStringList paths = listImages(2);
    makeFolder("photos/existing");
    browser->ExplorePath(root + "/photos");
    const QStringList before = tags();
    const int image = browser->FindItemByPath(paths[0]);
    browser->SetSelectedFocus(paths[0]);

    prompts().answerInput(std::nullopt);
    runMenu("Rename");
    prompts().answerInput(QFileInfo(paths[0]).fileName());
    runMenu("Rename");
    prompts().answerInput(QString("existing"));
    runMenu("Rename");

    EXPECT_TRUE(QFile::exists(paths[0]));
    EXPECT_EQ(tags(), before);
    EXPECT_EQ(text(image), QFileInfo(paths[0]).fileName());
    EXPECT_TRUE(prompts().messages.isEmpty());   // the shell was never asked
}

TEST_F(FileOperationsTest, CopyToLeavesTheListAlone)
{
    const QStringList paths = listImages(2);
    const QString target = makeFolder("target");
    chooseFolder(target + "/");
    runMenu("Copy To");
    EXPECT_TRUE(QFile::exists(target + "/" + QFileInfo(paths[0]).fileName()));
    EXPECT_TRUE(QFile::exists(paths[0]));
    EXPECT_EQ(tags(), paths);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(FileOperationsTest, ACancelledChooserDoesNothing)
{
    const QStringList paths = listImages(2);
    chooseFolder(QString());
    runMenu("Move To");
    EXPECT_TRUE(QFile::exists(paths[0]));
    EXPECT_EQ(tags(), paths);
}

TEST_F(FileOperationsTest, MoveToRemovesTheItemAfterTheMove)
{
    const QStringList paths = listImages(3);
    const QString target = makeFolder("target");
    browser->SetSelectedFocus(paths[1]);
    chooseFolder(target);   // typed without the trailing separator
    runMenu("Move To");
    EXPECT_TRUE(QFile::exists(target + "/" + QFileInfo(paths[1]).fileName()));
    EXPECT_FALSE(QFile::exists(paths[1]));
    EXPECT_EQ(tags(), QStringList({paths[0], paths[2]}));
    EXPECT_EQ(events, QStringList({paths[0]}));
}

TEST_F(FileOperationsTest, SeveralSelectedItemsMoveIntoTheChosenFolderAndAllLeave)
{
    const QStringList paths = listImages(4);
    const QString target = makeFolder("target");
    browser->SetSelectedFocus(paths[1]);
    browser->listView()->setSelected(3, true);
    chooseFolder(target + "/");
    runMenu("Move To");

    for (int i : {1, 2}) {
        EXPECT_TRUE(QFile::exists(target + "/" + QFileInfo(paths[i]).fileName())) << i;
        EXPECT_FALSE(QFile::exists(paths[i])) << i;
    }
    EXPECT_EQ(tags(), QStringList({paths[0], paths[3]}));
    EXPECT_EQ(browser->files(), QStringList({paths[0], paths[3]}));
    EXPECT_EQ(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
}

TEST_F(FileOperationsTest, CopyImagePutsThePictureOnTheClipboard)
{
    const QString dir = makeFolder("mixed");
    makeFolder("mixed/sub");
    const QString png = makeImage(dir, "wide.png", 64, 48);
    const QString ico = dir + "/small.ico";
    ASSERT_TRUE(TestFiles::writeImage(ico, 16, 16, "ICO"));
    browser->ExplorePath(dir);
    QClipboard *clipboard = QGuiApplication::clipboard();

    browser->SetSelectedFocus(png);
    runMenu("Copy Image");
    EXPECT_EQ(clipboard->image().size(), QSize(64, 48));

    browser->SetSelectedFocus(ico);
    runMenu("Copy Image");
    EXPECT_EQ(clipboard->image().size(), QSize(16, 16));

    // A folder gives nothing to copy: the clipboard keeps the icon.
    browser->SetSelectedFocus(dir + "/sub");
    runMenu("Copy Image");
    EXPECT_EQ(clipboard->image().size(), QSize(16, 16));
}

TEST_F(FileOperationsTest, ItemsRemovedDuringAListingPauseLeaveTheRestToFillInPlace)
{
    const QString dir = makeFolder("many");
    for (int i = 0; i < 45; ++i)
        makeFolder(QStringLiteral("many/f%1").arg(i));
    QStringList order;
    for (const QString &name : namesInOrder(dir))
        order << dir + "/" + name;

    QTimer pause;
    pause.setInterval(0);
    QObject::connect(&pause, &QTimer::timeout, [&] {
        if (browser->fillCount() != 20)
            return;
        pause.stop();
        browser->SetSelectedFocus(order[4]);
        runMenu("Delete");
        browser->UpdateAfterOperation(order[9]);
    });
    pause.start();
    browser->ExplorePath(dir);

    EXPECT_TRUE(prompts().messages.size() == 1);   // the trash confirmation only
    QStringList expected = order;
    expected.removeAt(9);
    expected.removeAt(4);
    EXPECT_EQ(tags(), expected);
    EXPECT_EQ(browser->fillCount(), 43);
}

// Ctrl + right-click makes an item current without selecting it: the
// selected item is still what goes, under its own name.
TEST_F(FileOperationsTest, TheSelectedItemGoesUnderItsOwnNameWhicheverItemIsCurrent)
{
    const QString dir = makeFolder("photos");
    const QString a = makeImage(dir, "a.png", 40, 30);
    const QString b = makeImage(dir, "b.png", 50, 30);
    const QString copies = makeFolder("copies");
    const QString moved = makeFolder("moved");
    browser->ExplorePath(dir);
    browser->SetSelectedFocus(a);
    browser->listView()->setSelectedItem(2);
    browser->listView()->setSelected(2, false);

    chooseFolder(copies + "/");
    runMenu("Copy To");
    chooseFolder(moved + "/");
    runMenu("Move To");

    EXPECT_EQ(QDir(copies).entryList(QDir::Files), QStringList({"a.png"}));
    EXPECT_EQ(QDir(moved).entryList(QDir::Files), QStringList({"a.png"}));
    EXPECT_EQ(QImage(moved + "/a.png").width(), 40);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(QImage(b).width(), 50);
    EXPECT_EQ(tags(), QStringList({b}));
    EXPECT_EQ(browser->files(), QStringList({b}));
}

// One item declined at the replace question: the others moved, and only
// they leave the list.
TEST_F(FileOperationsTest, APartlyDoneMoveDropsTheItemsThatWentAndKeepsTheRest)
{
    const QStringList paths = listImages(4);
    const QString target = makeFolder("target");
    makeFile(target, QFileInfo(paths[1]).fileName(), "kept");
    browser->SetSelectedFocus(paths[0]);
    browser->listView()->setSelected(2, true);
    browser->listView()->setSelected(3, true);
    chooseFolder(target + "/");
    prompts().answerMessage(Prompts::No);
    runMenu("Move To");

    EXPECT_TRUE(QFile::exists(paths[1]));
    EXPECT_FALSE(QFile::exists(paths[0]) || QFile::exists(paths[2]));
    EXPECT_EQ(tags(), QStringList({paths[1], paths[3]}));
    EXPECT_EQ(browser->files(), QStringList({paths[1], paths[3]}));
}

// A new name is a name: one that leads out of the folder and back in is
// refused like any other name with "/" in it.
TEST_F(FileOperationsTest, ARenameToAPathIsRefused)
{
    const QStringList paths = listImages(2);
    makeFolder("photos/sub");
    browser->ExplorePath(root + "/photos");
    const QStringList before = tags();
    browser->SetSelectedFocus(paths[0]);
    prompts().answerInput(QString("sub/../x.png"));
    runMenu("Rename");

    EXPECT_TRUE(QFile::exists(paths[0]));
    EXPECT_FALSE(QFile::exists(root + "/photos/x.png"));
    EXPECT_EQ(tags(), before);
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_TRUE(prompts().messages[0].text.contains("\"/\"")) << qPrintable(prompts().messages[0].text);
}
