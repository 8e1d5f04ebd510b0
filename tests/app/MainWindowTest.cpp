// The main window with its real tree, browser, preview and viewer, on
// real folders.

#include "AppPaths.h"
#include "FolderTree.h"
#include "GenericContainer.h"
#include "ImageExplore.h"
#include "ImageList.h"
#include "ImgX.h"
#include "ListView.h"
#include "ModAssoc.h"
#include "Prompts.h"
#include "ScreenMetrics.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "frmMain.h"
#include "frmViwer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ScriptedPrompts::instance().reset();
        root = QDir(dir.path()).canonicalPath();
        QDir().mkpath(root + "/A/sub");
        ASSERT_TRUE(TestFiles::writeImage(root + "/A/a1.png", 64, 48, "PNG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/A/a2.jpg", 80, 60, "JPG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b1.png", 50, 40, "PNG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b2.png", 30, 20, "PNG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b3.bmp", 20, 30, "BMP"));
        window.ImageExplore1->SetExt(frmMain::BrowserExtList);
    }

    void TearDown() override
    {
        frmViwer::unloadIfLoaded();
    }

    ImageExplore *browser() const { return window.ImageExplore1; }
    ListView *list() const { return browser()->listView(); }
    // The listed paths in list order.
    QStringList listedPaths() const
    {
        QStringList paths;
        for (int i = 1; i <= list()->Count(); ++i)
            paths << list()->Tag(i);
        return paths;
    }
    // The listed files, sorted: the list keeps the file system's order.
    QStringList listedFiles() const
    {
        QStringList files = browser()->files();
        files.sort();
        return files;
    }
    QString current() const { return list()->Tag(list()->SelectedItem()); }

    QTemporaryDir dir;
    QString root;
    frmMain window;
};

double oneTwipStep() { return ScreenMetrics::twipsPerPixelX() + 0.01; }

}

// ------------------------------------------------------------------ layout

TEST_F(MainWindowTest, LayoutKeepsTheMinimumAndFollowsTheWindow)
{
    window.show();
    QCoreApplication::processEvents();
    const double tolerance = oneTwipStep();

    FormGeometry::setWidth(&window, 1000);
    FormGeometry::setHeight(&window, 1000);
    QCoreApplication::processEvents();
    EXPECT_NEAR(FormGeometry::width(&window), 3700, tolerance);
    EXPECT_NEAR(FormGeometry::height(&window), 2400, tolerance);
    EXPECT_NEAR(FormGeometry::controlWidth(window.Splitter2), FormGeometry::width(&window) - 300, tolerance);
    EXPECT_NEAR(FormGeometry::controlHeight(window.Splitter2), FormGeometry::height(&window) - 1000, tolerance);

    FormGeometry::setWidth(&window, 12000);
    FormGeometry::setHeight(&window, 9000);
    QCoreApplication::processEvents();
    EXPECT_NEAR(FormGeometry::controlWidth(window.Splitter2), 11700, tolerance);
    EXPECT_NEAR(FormGeometry::controlHeight(window.Splitter2), 8000, tolerance);

    const double W = FormGeometry::controlWidth(window.container);
    const double H = FormGeometry::controlHeight(window.container);
    const double strip = FormGeometry::controlHeight(window.Toolbar);
    EXPECT_NEAR(FormGeometry::controlWidth(window.Splitter1), W - 20, tolerance);
    EXPECT_NEAR(FormGeometry::controlHeight(window.Splitter1), H - strip - 80, tolerance);
    EXPECT_EQ(window.Toolbar->width(), window.imgPreview->width());
}

TEST_F(MainWindowTest, ButtonsCarryTheirCaptionsInOrder)
{
    QStringList captions;
    for (QToolButton *b : {window.cmdPrev, window.cmdNext, window.cmdZoomIn, window.cmdZoomOut,
                           window.cmdWallPaper, window.cmdView})
        captions << b->text();
    EXPECT_EQ(captions, (QStringList{"Previous", "Next", "Zoom In", "Zoom Out", "Set as wallpaper", "View Image"}));
    EXPECT_EQ(window.windowTitle(), "Quillmere");
}

// ------------------------------------------------------------------ tree and browser

TEST_F(MainWindowTest, FolderChangesListNothingUntilTheFirstClick)
{
    window.TV1->setPath(root + "/B");
    EXPECT_EQ(list()->Count(), 0);
    EXPECT_FALSE(window.treeClicked());

    // A click on a node without a folder changes nothing either.
    window.TV1->view()->setCurrentItem(window.TV1->desktopNode());
    QCoreApplication::processEvents();
    const QStringList desktopListing = listedPaths();
    emit window.TV1->Click();
    emit window.TV1->NodeClick();
    EXPECT_FALSE(window.treeClicked());
    EXPECT_EQ(listedPaths(), desktopListing);

    window.TV1->setPath(root + "/B");
    emit window.TV1->Click();
    EXPECT_TRUE(window.treeClicked());
    EXPECT_EQ(listedFiles(), (QStringList{root + "/B/b1.png", root + "/B/b2.png", root + "/B/b3.bmp"}));

    window.TV1->setPath(root + "/A");
    EXPECT_EQ(listedPaths().value(0), root + "/A/sub");
    EXPECT_EQ(listedFiles(), (QStringList{root + "/A/a1.png", root + "/A/a2.jpg"}));
}

TEST_F(MainWindowTest, NodeClickListsTheTreesFolder)
{
    window.TV1->setPath(root + "/A");
    emit window.TV1->NodeClick();
    EXPECT_EQ(list()->Count(), 3);
    EXPECT_FALSE(window.treeClicked());
}

TEST_F(MainWindowTest, TheDesktopIsListedOnceTheShownTreeIsReady)
{
    ASSERT_TRUE(TestFiles::writeImage(AppPaths::desktopFolder() + "/shot.png", 20, 20, "PNG"));
    window.show();
    EXPECT_EQ(list()->Count(), 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(listedPaths().contains(AppPaths::desktopFolder() + "/shot.png"));
    QFile::remove(AppPaths::desktopFolder() + "/shot.png");
}

TEST_F(MainWindowTest, AUserClickOnAFolderListsItWithThumbnails)
{
    window.show();
    QCoreApplication::processEvents();
    window.TV1->setPath(root + "/B");
    QTreeWidget *view = window.TV1->view();
    QTreeWidgetItem *item = view->currentItem();
    view->setCurrentItem(item->parent());   // move away, then click B as the user
    QCoreApplication::processEvents();
    view->scrollToItem(item);
    // On the node's label; the row runs on past the narrow pane.
    const QRect row = view->visualItemRect(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(row.left() + 8, row.center().y()));
    QTest::qWait(50);

    EXPECT_TRUE(window.treeClicked());
    EXPECT_EQ(window.TV1->Path(), root + "/B/");
    EXPECT_EQ(listedFiles(), (QStringList{root + "/B/b1.png", root + "/B/b2.png", root + "/B/b3.bmp"}));
    ImageList *pictures = browser()->imageList();
    ASSERT_EQ(pictures->Count(), 5);   // folder, loading and three thumbnails
    EXPECT_FALSE(pictures->Picture(root + "/B/b2.png").isNull());
    // The first item is current and previewed.
    EXPECT_EQ(window.preview().ShownFile(), listedPaths().value(0));
}

TEST_F(MainWindowTest, ThePreviewFollowsTheBrowsersCurrentItem)
{
    window.TV1->setPath(root + "/A");
    emit window.TV1->Click();
    EXPECT_TRUE(window.preview().isEmpty()) << "the first item is a folder";
    emit browser()->CurrSelectedImage(root + "/A/a2.jpg");
    EXPECT_EQ(window.preview().ShownFile(), root + "/A/a2.jpg");
    emit browser()->CurrSelectedImage(QString());
    EXPECT_TRUE(window.preview().isEmpty());
}

TEST_F(MainWindowTest, CheckPathMovesOnlyToAnotherFolder)
{
    window.TV1->setPath(root + "/A");
    emit window.TV1->Click();
    browser()->SetSelectedFocus(root + "/A/a2.jpg");
    QSignalSpy events(browser(), &ImageExplore::CurrSelectedImage);

    window.CheckPath(root + "/A/a1.png");
    EXPECT_EQ(events.count(), 0);
    EXPECT_EQ(current(), root + "/A/a2.jpg");

    window.CheckPath(root + "/B/b2.png");
    EXPECT_EQ(window.TV1->Path(), root + "/B/");
    EXPECT_EQ(listedPaths().size(), 3);
    EXPECT_EQ(current(), root + "/B/b2.png");
    // One listing for the move (each listing starts by clearing the preview),
    // not a second one for the tree reporting the folder it was given.
    const auto listingsStarted = std::count_if(events.begin(), events.end(),
                                               [](const QList<QVariant> &e) { return e.at(0).toString().isEmpty(); });
    EXPECT_EQ(listingsStarted, 1);
}

TEST_F(MainWindowTest, RefreshImagesFollowsARenameAndARemoval)
{
    window.TV1->setPath(root + "/B");
    emit window.TV1->Click();
    ASSERT_TRUE(QFile::rename(root + "/B/b2.png", root + "/B/renamed.png"));
    QStringList expected = listedPaths();
    expected.replace(expected.indexOf(root + "/B/b2.png"), root + "/B/renamed.png");
    window.RefreshImages(root + "/B/b2.png", root + "/B/renamed.png");
    EXPECT_EQ(listedPaths(), expected);
    ASSERT_TRUE(QFile::remove(root + "/B/b1.png"));
    expected.removeOne(root + "/B/b1.png");
    window.RefreshImages(root + "/B/b1.png", QString());
    EXPECT_EQ(listedPaths(), expected);
}

// ------------------------------------------------------------------ viewer

TEST_F(MainWindowTest, ViewImageOpensTheViewerOnThePreviewedFileAlone)
{
    window.show();
    // Nothing previewed: nothing happens.
    window.cmdView->click();
    EXPECT_TRUE(window.isVisible());

    emit browser()->CurrSelectedImage(root + "/B/b2.png");
    frmViwer::instance()->m_Standalone = true;   // as after a command-line start
    window.cmdView->click();
    EXPECT_FALSE(window.isVisible());
    frmViwer *viewer = frmViwer::instance();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->files(), QStringList{root + "/B/b2.png"});
    EXPECT_EQ(viewer->currentIndex(), 0);
    EXPECT_FALSE(viewer->m_Standalone);
}

TEST_F(MainWindowTest, DoubleClickOnThePreviewDoesWhatViewImageDoes)
{
    window.show();
    ASSERT_TRUE(TestFiles::pattern(32, 32).save(root + "/B/app.ico", "ICO"));
    emit browser()->CurrSelectedImage(root + "/B/app.ico");
    emit window.imgPreview->DblClick();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(frmViwer::instance()->files(), QStringList{root + "/B/app.ico"});
}

TEST_F(MainWindowTest, TheViewerComingBackShowsTheFilesFolder)
{
    window.TV1->setPath(root + "/A");
    emit window.TV1->Click();
    emit browser()->CurrSelectedImage(root + "/A/a1.png");
    window.show();
    window.cmdView->click();
    ASSERT_FALSE(window.isVisible());
    // The viewer steps on to a file of another folder and goes back.
    QStringList files{root + "/B/b3.bmp"};
    int index = 0;
    frmViwer::instance()->ViewImage(files, index);
    frmViwer::instance()->BackToBrowser();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.TV1->Path(), root + "/B/");
    EXPECT_EQ(current(), root + "/B/b3.bmp");
}

TEST_F(MainWindowTest, ItemOpenListsAFolderOrOpensAFile)
{
    QStringList files;
    int index = 0;
    QString folder = root + "/B";
    emit browser()->ItemOpen(files, index, folder);
    EXPECT_EQ(window.TV1->Path(), root + "/B/");
    EXPECT_EQ(list()->Count(), 3);

    window.show();
    files = QStringList{root + "/B/b1.png", root + "/B/b2.png"};
    index = 1;
    folder.clear();
    emit browser()->ItemOpen(files, index, folder);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(frmViwer::instance()->currentIndex(), 1);
    EXPECT_FALSE(frmViwer::instance()->m_Standalone);

    // An index outside the list only clears the preview.
    emit browser()->CurrSelectedImage(root + "/B/b1.png");
    index = 7;
    emit browser()->ItemOpen(files, index, folder);
    EXPECT_TRUE(window.preview().isEmpty());
}

// ------------------------------------------------------------------ shutdown

TEST_F(MainWindowTest, ClosingRunsTheViewersClosingStepsAndEnds)
{
    window.show();
    emit browser()->CurrSelectedImage(root + "/A/a1.png");
    window.cmdView->click();
    ASSERT_TRUE(frmViwer::isLoaded());
    ModAssoc::DeleteValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove\\Quillmere Settings", "FullScreen");

    window.close();
    EXPECT_FALSE(frmViwer::isLoaded());
    EXPECT_TRUE(window.hasEnded());
    EXPECT_FALSE(window.isVisible()) << "the viewer's closing must not bring the main window back";
    EXPECT_NE(ModAssoc::GetString(HKEY_LOCAL_MACHINE,
        "SOFTWARE\\Brindlecove\\Quillmere Settings", "FullScreen", "none"), "none");
}

TEST_F(MainWindowTest, ClosingWithoutAViewerEndsAtOnce)
{
    window.show();
    window.close();
    EXPECT_FALSE(frmViwer::isLoaded());
    EXPECT_TRUE(window.hasEnded());
}

// A closed program must not go on reading a large folder behind a hidden
// window: it would keep the single-instance lock, so a new start would end.
TEST_F(MainWindowTest, ClosingDuringAListingEndsTheListingWhereItIs)
{
    QDir().mkpath(root + "/many");
    for (int i = 0; i < 45; ++i)
        QDir().mkpath(root + QStringLiteral("/many/f%1").arg(i));
    window.show();
    QCoreApplication::processEvents();   // the tree's first Desktop listing

    int filledAtClose = -1;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (browser()->fillCount() == 20) {
            closer.stop();
            filledAtClose = browser()->fillCount();
            window.close();
        }
    });
    closer.start();
    browser()->ExplorePath(root + "/many");

    ASSERT_EQ(filledAtClose, 20);
    EXPECT_TRUE(window.hasEnded());
    EXPECT_EQ(browser()->fillCount(), filledAtClose);
    EXPECT_TRUE(list()->Tag(list()->Count()).isEmpty()) << "the last items stay placeholders";
}
