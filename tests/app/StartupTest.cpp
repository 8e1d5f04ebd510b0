// The start-up sequence: single instance, title, extension list, the
// association switches and a file named on the command line.

#include "AssociationPolicy.h"
#include "CRegister.h"
#include "ImageExplore.h"
#include "ModAssoc.h"
#include "Prompts.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "ViewerSettings.h"
#include "frmMain.h"
#include "frmViwer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "QtPrinters.h"

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ScriptedPrompts::instance().reset();
        root = QDir(dir.path()).canonicalPath();
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b1.png", 50, 40, "PNG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b2.jpg", 30, 20, "JPG"));
        ASSERT_TRUE(TestFiles::writeImage(root + "/B/b3.bmp", 20, 30, "BMP"));
        ASSERT_TRUE(TestFiles::writeBytes(root + "/C/readme.txt", "no images here"));
    }

    void TearDown() override
    {
        frmViwer::unloadIfLoaded();
        Registry::setDatabasePath(QString());   // a store kept read-only is writable again
    }

    static bool jpgAssociated() { return ModAssoc::IsAssociated(".jpg", "Quillmere.jpg") == 1; }
    static bool viewerShown() { return frmViwer::isLoaded() && frmViwer::instance()->isVisible(); }

    QTemporaryDir dir;
    QString root;
    frmMain window;
};

}

TEST_F(StartupTest, AnOrdinaryStartSetsUpAndChecksTheAssociation)
{
    AssociationPolicy::DeAssociateAll();
    ScriptedPrompts::instance().answerMessage(Prompts::Yes);
    EXPECT_TRUE(window.Form_Load({}));
    EXPECT_FALSE(window.hasEnded());
    EXPECT_EQ(window.commandLine(), QString());
    EXPECT_EQ(Prompts::appTitle(), "Quillmere");
    EXPECT_EQ(window.windowTitle(), "Quillmere");
    EXPECT_EQ(window.ImageExplore1->extensions(), "jpg gif bmp png psd tif pcx tga wbmp pcd wmf emf ico dib");
    EXPECT_TRUE(jpgAssociated()) << "the check offers the lost types back; the answer was yes";
    EXPECT_FALSE(viewerShown());
}

TEST_F(StartupTest, ASwitchInOtherLetterCaseIsAnOrdinaryCommandLine)
{
    EXPECT_TRUE(window.Form_Load({"/associate"}));
    EXPECT_FALSE(window.hasEnded());
    EXPECT_EQ(window.commandLine(), "/associate");
    EXPECT_TRUE(jpgAssociated());
    EXPECT_FALSE(viewerShown());
}

TEST_F(StartupTest, AssociateChecksTheAssociationAndEndsTheProgram)
{
    // Registered once and then undone: the check has lost types to offer.
    AssociationPolicy::AssociateAll();
    AssociationPolicy::DeAssociateAll();
    ScriptedPrompts::instance().answerMessage(Prompts::Yes);
    EXPECT_FALSE(window.Form_Load({"/Associate"}));
    EXPECT_TRUE(window.hasEnded());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(jpgAssociated());
    EXPECT_EQ(ScriptedPrompts::instance().messages.size(), 1);
}

TEST_F(StartupTest, DeAssociateUndoesTheAssociationAndEndsTheProgram)
{
    AssociationPolicy::AssociateAll();
    ASSERT_TRUE(jpgAssociated());
    EXPECT_FALSE(window.Form_Load({"/DeAssociate"}));
    EXPECT_TRUE(window.hasEnded());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(jpgAssociated());
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty()) << "the undo asks nothing";
}

TEST_F(StartupTest, ASecondInstanceEndsBeforeDoingAnything)
{
    ASSERT_TRUE(window.Form_Load({}));
    frmMain second;
    EXPECT_FALSE(second.Form_Load({"/DeAssociate"}));
    EXPECT_TRUE(second.hasEnded());
    EXPECT_TRUE(jpgAssociated()) << "the second start must not have run the undo";
    EXPECT_EQ(second.ImageExplore1->extensions(), QString());
}

TEST_F(StartupTest, AFileOpensInAStandaloneViewerWithItsFoldersImages)
{
    const QString file = root + "/B/b2.jpg";
    EXPECT_TRUE(window.Form_Load({file}));
    ASSERT_TRUE(viewerShown());
    frmViwer *viewer = frmViwer::instance();
    const QStringList expected = window.ImageExplore1->GetImageList(root + "/B", "*.*");
    EXPECT_EQ(viewer->files(), expected);
    EXPECT_EQ(expected.size(), 3);
    EXPECT_EQ(viewer->files().value(viewer->currentIndex()), file);
    EXPECT_TRUE(viewer->m_Standalone);
}

TEST_F(StartupTest, AFileOfAnotherTypeOpensTheFoldersFirstImage)
{
    ASSERT_TRUE(QFile::copy(root + "/B/b3.bmp", root + "/B/pointer.cur"));
    EXPECT_TRUE(window.Form_Load({root + "/B/pointer.cur"}));
    ASSERT_TRUE(viewerShown());
    EXPECT_EQ(frmViwer::instance()->currentIndex(), 0);
}

TEST_F(StartupTest, AFolderWithoutImagesStartsAsWithoutAPath)
{
    EXPECT_TRUE(window.Form_Load({root + "/C/readme.txt"}));
    EXPECT_FALSE(window.hasEnded());
    EXPECT_FALSE(viewerShown());
}

TEST_F(StartupTest, AMissingPathOpensNothing)
{
    EXPECT_TRUE(window.Form_Load({root + "/B/nothere.png"}));
    EXPECT_FALSE(viewerShown());
}

TEST_F(StartupTest, APathSplitAtItsBlanksIsJoinedAgain)
{
    ASSERT_TRUE(TestFiles::writeImage(root + "/My Photos/x y.png", 10, 10, "PNG"));
    EXPECT_TRUE(window.Form_Load({root + "/My", "Photos/x", "y.png"}));
    ASSERT_TRUE(viewerShown());
    EXPECT_EQ(frmViwer::instance()->files(), QStringList{root + "/My Photos/x y.png"});
}

TEST_F(StartupTest, ARelativePathIsTakenFromTheCurrentFolder)
{
    const QString before = QDir::currentPath();
    QDir::setCurrent(root + "/B");
    const bool loaded = window.Form_Load({"b3.bmp"});
    QDir::setCurrent(before);
    EXPECT_TRUE(loaded);
    ASSERT_TRUE(viewerShown());
    frmViwer *viewer = frmViwer::instance();
    EXPECT_EQ(viewer->files().value(viewer->currentIndex()), root + "/B/b3.bmp");
}

TEST_F(StartupTest, ALatin1NameOrADeviceIsSaidWithTheReasonOnScreenAndStandardError)
{
    for (const QString &path : {root + "/B/" + QString::fromLocal8Bit("caf\xe9.png"), QString("/dev/null")}) {
        testing::internal::CaptureStderr();
        EXPECT_TRUE(frmMain().Form_Load({path}));
        const QString text = std::exchange(ScriptedPrompts::instance().messages, {}).value(0).text;
        EXPECT_TRUE(QString::fromLocal8Bit(testing::internal::GetCapturedStderr()).contains(text) && text.contains(path) && !viewerShown());
        EXPECT_EQ(text.contains("not valid UTF-8"), path.contains(QChar(0xFFFD))) << qPrintable(text);
    }
}

// Another program holds the store after an undo, where a misread store would
// look like a first run or call for the question: its rollback journal held
// whole (nothing can be read), or a WAL store's write lock (reads go on).
// The start waits briefly, then the user chooses: run without saving, where
// nothing is asked or written and no call waits again, or end.
TEST_F(StartupTest, AStoreHeldByAnotherProgramWaitsBrieflyThenRunsReadOnlyOrEnds)
{
    AssociationPolicy::AssociateAll();
    AssociationPolicy::DeAssociateAll();
    const QString path = Registry::databasePath();
    for (const QByteArray mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode.constData());
        const bool runReadOnly = mode == "DELETE";
        Registry::setDatabasePath(path);   // closes our connection, so that the mode can change
        sqlite3 *holder = nullptr;
        ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &holder), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(holder, "PRAGMA journal_mode=" + mode + "; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        ScriptedPrompts::instance().reset();
        ScriptedPrompts::instance().answerMessage(runReadOnly ? Prompts::Yes : Prompts::No);

        frmMain started;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(started.Form_Load({}), runReadOnly);
        EXPECT_LT(clock.elapsed(), 6000);
        const auto &messages = ScriptedPrompts::instance().messages;
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].text.startsWith("The settings are in use by another program"))
            << messages[0].text.toStdString();
        clock.restart();
        for (int i = 0; i < 20; ++i)
            EXPECT_FALSE(CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, "AntiAlias", "0"));
        EXPECT_LT(clock.elapsed(), 2000);

        sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
        EXPECT_FALSE(jpgAssociated());
        EXPECT_EQ(CRegister().REGGetSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, "AntiAlias", "none"), "none");
    }
}
