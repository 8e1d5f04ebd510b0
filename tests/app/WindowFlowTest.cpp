// Flows that cross the two windows: the main window handing a file to the
// viewer, the viewer's file operations reaching the browser, the viewer
// hidden behind the main window, and the command-line start with both
// windows on screen.

#include "CRegister.h"
#include "FolderTree.h"
#include "ImageExplore.h"
#include "ImgX.h"
#include "ListView.h"
#include "ModAssoc.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "Prompts.h"
#include "frmFile.h"
#include "frmMain.h"
#include "frmViwer.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

const char *const kSettings = "SOFTWARE\\Brindlecove\\Quillmere Settings";

class WindowFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ScriptedPrompts::instance().reset();
        root = QDir(dir.path()).canonicalPath();
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b1.png", 50, 40, "PNG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b2.png", 30, 20, "PNG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b3.bmp", 20, 30, "BMP"));
        QDir().mkpath(root + "/C");
        window.ImageExplore1->SetExt(frmMain::BrowserExtList);
        // Windowed viewer: full screen is its own subject.
        CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, kSettings, "FullScreen", "0");
    }

    void TearDown() override
    {
        frmViwer::unloadIfLoaded();
        frmFile::Unload();
    }

    // The tree and browser on folder B with the file selected and previewed,
    // then the view button.
    frmViwer *viewFromBrowser(const QString &file)
    {
        window.show();
        window.TV1->setPath(root + "/B");
        emit window.TV1->Click();
        // As a click on the item: selected, and the event that previews it.
        window.ImageExplore1->SetSelectedFocus(file);
        emit window.ImageExplore1->CurrSelectedImage(file);
        window.cmdView->click();
        return frmViwer::instance();
    }

    QStringList listedPaths() const
    {
        QStringList paths;
        ListView *list = window.ImageExplore1->listView();
        for (int i = 1; i <= list->Count(); ++i)
            paths << list->Tag(i);
        return paths;
    }

    static void trigger(frmViwer *v, const char *name)
    {
        v->findChild<QAction *>(QString::fromLatin1(name))->trigger();
    }

    static QString storedFullScreen()
    {
        return ModAssoc::GetString(HKEY_LOCAL_MACHINE, kSettings, "FullScreen", "none");
    }

    QTemporaryDir dir;
    QString root;
    frmMain window;
};

}

// ------------------------------------------------------------ file operations

TEST_F(WindowFlowTest, ARenameInTheViewerIsWhatTheMainWindowOpensNext)
{
    frmViwer *v = viewFromBrowser(root + "/B/b2.png");
    ASSERT_TRUE(v->isVisible());
    ScriptedPrompts::instance().answerInput(QStringLiteral("renamed.png"));
    trigger(v, "mnuRename");
    ASSERT_TRUE(QFileInfo::exists(root + "/B/renamed.png"));
    EXPECT_TRUE(listedPaths().contains(root + "/B/renamed.png"));
    EXPECT_FALSE(listedPaths().contains(root + "/B/b2.png"));

    trigger(v, "mnuBrowse");
    ASSERT_TRUE(window.isVisible());
    // The view button opens the file under the name it has now.
    window.cmdView->click();
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->files(), QStringList{root + "/B/renamed.png"});
}

TEST_F(WindowFlowTest, AFileDeletedInTheViewerIsNoLongerOfferedByTheMainWindow)
{
    frmViwer *v = viewFromBrowser(root + "/B/b2.png");
    trigger(v, "mnuDelete");
    ASSERT_FALSE(QFileInfo::exists(root + "/B/b2.png"));
    // The only file of the viewer's list is gone: back to the main window.
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(listedPaths().size(), 2);
    EXPECT_NE(window.preview().ShownFile(), root + "/B/b2.png");
    window.cmdView->click();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowFlowTest, AMoveInTheViewerDropsTheBrowsersItem)
{
    frmViwer *v = viewFromBrowser(root + "/B/b1.png");
    QStringList files = window.ImageExplore1->GetImageList(root + "/B", "*.*");
    int index = files.indexOf(root + "/B/b1.png");
    v->ViewImage(files, index);
    const QString target = root + "/C";
    ScriptedPrompts::instance().answerDialog([target](QDialog *dialog) {
        static_cast<frmFile *>(dialog)->txtDestination()->setText(target);
        return int(QDialog::Accepted);
    });
    trigger(v, "mnuMoveTo");
    ASSERT_TRUE(QFileInfo::exists(root + "/C/b1.png"));
    EXPECT_FALSE(listedPaths().contains(root + "/B/b1.png"));
    EXPECT_EQ(v->files().size(), 2);
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(window.isVisible());
    // Back in the same folder: the browser keeps its listing.
    trigger(v, "mnuBrowse");
    EXPECT_EQ(window.TV1->Path(), root + "/B/");
    EXPECT_EQ(listedPaths().size(), 2);
}

TEST_F(WindowFlowTest, BackInAnotherFolderThePreviewShowsTheSelectedFile)
{
    ASSERT_TRUE(TestFiles::writeImage(root + "/C/c1.png", 40, 40, "PNG"));
    ASSERT_TRUE(TestFiles::writeImage(root + "/C/c2.png", 60, 40, "PNG"));
    frmViwer *v = viewFromBrowser(root + "/B/b2.png");
    QStringList files{root + "/C/c1.png", root + "/C/c2.png"};
    int index = 1;
    if (window.ImageExplore1->GetImageList(root + "/C", "*.*").value(0) == files[1])
        index = 0;   // the one that is not listed first
    v->ViewImage(files, index);
    trigger(v, "mnuBrowse");
    ListView *list = window.ImageExplore1->listView();
    ASSERT_EQ(list->Tag(list->SelectedItem()), files[index]);
    EXPECT_EQ(window.preview().ShownFile(), files[index]);
}

// ------------------------------------------------------------ hidden viewer

TEST_F(WindowFlowTest, ASlideShowBehindTheMainWindowStaysThereAndStopsAtTheEnd)
{
    frmViwer *v = viewFromBrowser(root + "/B/b1.png");
    QStringList files = window.ImageExplore1->GetImageList(root + "/B", "*.*");
    int index = 0;
    v->ViewImage(files, index);
    trigger(v, "mnuSlideShow");
    ASSERT_TRUE(v->isSlideShowRunning());
    trigger(v, "mnuBrowse");
    ASSERT_FALSE(v->isVisible());
    for (int tick = 0; tick < 4; ++tick)
        QMetaObject::invokeMethod(v->slideShowTimer(), "timeout", Qt::DirectConnection);
    EXPECT_FALSE(v->isVisible());
    EXPECT_TRUE(window.isVisible());

    ModAssoc::DeleteValue(HKEY_LOCAL_MACHINE, kSettings, "FullScreen");
    window.close();
    EXPECT_TRUE(window.hasEnded());
    EXPECT_FALSE(frmViwer::isLoaded());
    EXPECT_EQ(storedFullScreen(), "0");
}

TEST_F(WindowFlowTest, TheBrowsersOwnDeleteLeavesAHiddenViewerUsable)
{
    frmViwer *v = viewFromBrowser(root + "/B/b2.png");
    trigger(v, "mnuBrowse");
    ASSERT_TRUE(window.isVisible());
    window.ImageExplore1->SetSelectedFocus(root + "/B/b2.png");
    ScriptedPrompts::instance().answerMessage(Prompts::Yes);
    QTest::keyClick(window.ImageExplore1->listView(), Qt::Key_Delete);
    ASSERT_FALSE(QFileInfo::exists(root + "/B/b2.png"));
    // The viewer still holds the deleted file; stepping or going back must hold.
    v->ShowNext();
    v->ShowPrevious();
    v->BackToBrowser();
    EXPECT_TRUE(window.isVisible());
}

// ------------------------------------------------------------ command-line start

TEST_F(WindowFlowTest, AfterACommandLineStartTheMainWindowTakesTheViewerOver)
{
    ASSERT_TRUE(window.Form_Load({root + "/B/b2.png"}));
    frmViwer *v = frmViwer::instance();
    ASSERT_TRUE(v->m_Standalone);
    window.show();
    window.TV1->setPath(root + "/B");
    emit window.TV1->Click();
    window.ImageExplore1->SetSelectedFocus(root + "/B/b3.bmp");
    emit window.ImageExplore1->CurrSelectedImage(root + "/B/b3.bmp");
    window.cmdView->click();
    EXPECT_FALSE(v->m_Standalone);
    EXPECT_EQ(v->files(), QStringList{root + "/B/b3.bmp"});
    // Closing it now goes back to the main window instead of ending.
    v->close();
    EXPECT_FALSE(window.hasEnded());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(WindowFlowTest, AStandaloneViewerCopesWithItsFileDeletedInTheBrowser)
{
    ASSERT_TRUE(window.Form_Load({root + "/B/b2.png"}));
    window.show();
    frmViwer *v = frmViwer::instance();
    const QStringList before = v->files();
    window.TV1->setPath(root + "/B");
    emit window.TV1->Click();
    window.ImageExplore1->SetSelectedFocus(root + "/B/b2.png");
    ScriptedPrompts::instance().answerMessage(Prompts::Yes);
    QTest::keyClick(window.ImageExplore1->listView(), Qt::Key_Delete);
    ASSERT_FALSE(QFileInfo::exists(root + "/B/b2.png"));

    // The viewer's own operations on the vanished file change nothing.
    ScriptedPrompts::instance().answerMessage(Prompts::Yes);
    trigger(v, "mnuDelete");
    ScriptedPrompts::instance().answerInput(QStringLiteral("other.png"));
    trigger(v, "mnuRename");
    EXPECT_EQ(v->files(), before);
    EXPECT_FALSE(QFileInfo::exists(root + "/B/other.png"));
    v->ShowNext();
    v->ShowPrevious();
    EXPECT_TRUE(v->isVisible());
    EXPECT_FALSE(window.hasEnded());
}

TEST_F(WindowFlowTest, EscInAStandaloneViewerEndsTheProgram)
{
    ASSERT_TRUE(window.Form_Load({root + "/B/b2.png"}));
    window.show();
    frmViwer *v = frmViwer::instance();
    ASSERT_TRUE(v->isVisible());
    ModAssoc::DeleteValue(HKEY_LOCAL_MACHINE, kSettings, "FullScreen");
    QTest::keyClick(v->imgX(), Qt::Key_Escape);
    EXPECT_TRUE(window.hasEnded());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(storedFullScreen(), "0");
}

// The start lets pending messages run once the viewer is on screen: an Esc
// that arrives then ends the program before the main window ever shows.
TEST_F(WindowFlowTest, EscWhileTheStartIsStillRunningEndsTheProgram)
{
    // Messages may run earlier in the start too: press once the viewer shows.
    QTimer presser;
    presser.setInterval(0);
    QObject::connect(&presser, &QTimer::timeout, [&presser] {
        if (!frmViwer::isLoaded() || !frmViwer::instance()->isVisible())
            return;
        presser.stop();
        QTest::keyClick(frmViwer::instance()->imgX(), Qt::Key_Escape);
    });
    presser.start();
    EXPECT_FALSE(window.Form_Load({root + "/B/b2.png"}));
    EXPECT_FALSE(presser.isActive());
    EXPECT_TRUE(window.hasEnded());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowFlowTest, ClosingTheMainWindowAfterACommandLineStartClosesTheViewer)
{
    ASSERT_TRUE(window.Form_Load({root + "/B/b2.png"}));
    window.show();
    ModAssoc::DeleteValue(HKEY_LOCAL_MACHINE, kSettings, "FullScreen");
    window.close();
    EXPECT_TRUE(window.hasEnded());
    EXPECT_FALSE(frmViwer::isLoaded());
    EXPECT_EQ(storedFullScreen(), "0");
}
