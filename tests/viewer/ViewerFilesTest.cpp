// Copy, move, rename and delete of the shown file, with the list, the
// title and the browser kept in step.

#include "ViewerFixture.h"

#include "ImgX.h"
#include "ScriptedPrompts.h"
#include "StatusBar.h"
#include "frmFile.h"
#include "frmViwer.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

void trigger(frmViwer *v, const char *name)
{
    v->findChild<QAction *>(QString::fromLatin1(name))->trigger();
}

// The folder chooser's answer: the folder typed into its destination box.
void chooseFolder(const QString &folder)
{
    ScriptedPrompts::instance().answerDialog([folder](QDialog *dialog) {
        static_cast<frmFile *>(dialog)->txtDestination()->setText(folder);
        return int(QDialog::Accepted);
    });
}

void cancelChooser()
{
    ScriptedPrompts::instance().answerDialog([](QDialog *dialog) {
        static_cast<frmFile *>(dialog)->cmdCancel()->click();
        return int(QDialog::Rejected);
    });
}

QString trashed(const QString &name)
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files/") + name;
}

QString shownName(frmViwer *v)
{
    return v->imgX()->ImageInfo.FileName();
}

}

class ViewerFiles : public ViewerFixture {
protected:
    void SetUp() override
    {
        ViewerFixture::SetUp();
        a = image("a.png", 200, 150);
        b = image("b.png", 220, 160);
        c = image("c.png", 240, 170);
        target = dir.filePath("target");
        QDir().mkpath(target);
    }
    void TearDown() override
    {
        ViewerFixture::TearDown();
        frmFile::Unload();
    }
    QString a, b, c, target;
};

TEST_F(ViewerFiles, CopyLeavesTheListAndTitleAlone)
{
    frmViwer *v = show({a, b, c}, 1);
    const QString title = v->windowTitle();
    chooseFolder(target + QLatin1Char('/'));
    trigger(v, "mnuCopyTo");
    EXPECT_TRUE(QFileInfo::exists(target + "/b.png"));
    EXPECT_TRUE(QFileInfo::exists(b));
    EXPECT_EQ(v->files(), (QStringList{a, b, c}));
    EXPECT_EQ(v->windowTitle(), title);
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_EQ(ScriptedPrompts::instance().dialogTitles.last(), QStringLiteral("Copy To"));
}

TEST_F(ViewerFiles, FolderTypedWithoutItsSlashStillReceivesTheFile)
{
    frmViwer *v = show({a});
    chooseFolder(target);
    trigger(v, "mnuCopyTo");
    EXPECT_TRUE(QFileInfo::exists(target + "/a.png"));
    EXPECT_FALSE(QFileInfo::exists(target + "a.png"));
}

TEST_F(ViewerFiles, CancelledChooserDoesNothing)
{
    frmViwer *v = show({a, b});
    cancelChooser();
    trigger(v, "mnuMoveTo");
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_EQ(v->files(), (QStringList{a, b}));
}

TEST_F(ViewerFiles, MoveShowsTheFollowingEntryAndTellsTheBrowser)
{
    frmViwer *v = show({a, b, c}, 1);
    chooseFolder(target + QLatin1Char('/'));
    trigger(v, "mnuMoveTo");
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_TRUE(QFileInfo::exists(target + "/b.png"));
    EXPECT_EQ(v->files(), (QStringList{a, c}));
    EXPECT_EQ(v->currentIndex(), 1);
    EXPECT_EQ(shownName(v), QStringLiteral("c.png"));
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("RefreshImages %1 -> ").arg(b)});
}

TEST_F(ViewerFiles, RemovingTheLastEntryShowsTheFirst)
{
    frmViwer *v = show({a, b, c}, 2);
    trigger(v, "mnuDelete");
    EXPECT_FALSE(QFileInfo::exists(c));
    EXPECT_TRUE(QFileInfo::exists(trashed("c.png")));
    EXPECT_EQ(v->files(), (QStringList{a, b}));
    EXPECT_EQ(v->currentIndex(), 0);
    EXPECT_EQ(shownName(v), QStringLiteral("a.png"));
}

TEST_F(ViewerFiles, DeleteAnsweredNoKeepsEverything)
{
    frmViwer *v = show({a, b});
    ScriptedPrompts::instance().answerMessage(Prompts::No);
    trigger(v, "mnuDelete");
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_EQ(v->files(), (QStringList{a, b}));
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(ViewerFiles, DeleteKeyDeletesOnceInBothModes)
{
    frmViwer *v = show({a, b, c});
    v->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v));
    QTest::keyClick(v->imgX(), Qt::Key_Delete);      // the Edit menu's shortcut
    EXPECT_EQ(v->files(), (QStringList{b, c}));
    EXPECT_TRUE(QFileInfo::exists(b));

    trigger(v, "mnuFullScreen");
    v->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v));
    QTest::keyClick(v->imgX(), Qt::Key_Delete);      // the key table
    EXPECT_EQ(v->files(), QStringList{c});
    EXPECT_TRUE(QFileInfo::exists(c));
}

TEST_F(ViewerFiles, DeletingTheOnlyEntryGoesBackToTheBrowser)
{
    frmViwer *v = show({a});
    trigger(v, "mnuDelete");
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_TRUE(v->files().isEmpty());
    EXPECT_EQ(v->imgX()->Pages.Count(), 0);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(host.calls.last(), QStringLiteral("ShowMainWindow"));

    // Nothing is shown now: the commands find no file and do nothing.
    host.calls.clear();
    v->ShowNext();
    v->ShowPrevious();
    trigger(v, "mnuDelete");
    trigger(v, "mnuBrowse");
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("ShowMainWindow")});
}

TEST_F(ViewerFiles, StandaloneViewerNeverCallsTheMainWindow)
{
    frmViwer *v = show({a, b});
    v->m_Standalone = true;
    trigger(v, "mnuDelete");
    ScriptedPrompts::instance().answerInput(QStringLiteral("renamed.png"));
    trigger(v, "mnuRename");
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("renamed.png")));
    trigger(v, "mnuDelete");      // the only entry: the window stays with an empty view
    EXPECT_TRUE(v->isVisible());
    EXPECT_TRUE(v->files().isEmpty());
    EXPECT_TRUE(host.calls.isEmpty());
}

// With the list emptied there is no position to give: the status bar keeps
// what it said rather than counting entry 1 of 0.
TEST_F(ViewerFiles, EmptiedListLeavesThePositionPanelAlone)
{
    frmViwer *v = show({a});
    v->m_Standalone = true;
    EXPECT_EQ(v->statusPanels()->PanelText(1), QStringLiteral("1/1"));
    trigger(v, "mnuDelete");
    ASSERT_TRUE(v->files().isEmpty());
    v->imgX()->setZoom(2.0);
    EXPECT_EQ(v->statusPanels()->PanelText(1), QStringLiteral("1/1"));
}

TEST_F(ViewerFiles, RenameKeepsTheImageAndFollowsWithListAndTitle)
{
    frmViwer *v = show({a, b});
    v->imgX()->setZoom(2.0);
    ScriptedPrompts::instance().answerInput(QStringLiteral("sunset.png"));
    trigger(v, "mnuRename");
    const QString renamed = dir.filePath("sunset.png");
    EXPECT_TRUE(QFileInfo::exists(renamed));
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_EQ(v->files(), (QStringList{renamed, b}));
    EXPECT_TRUE(v->windowTitle().startsWith(QStringLiteral("sunset.png- Quillmere ")));
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 2.0);
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("RefreshImages %1 -> %2").arg(a, renamed)});

    const ScriptedPrompts &prompts = ScriptedPrompts::instance();
    EXPECT_EQ(prompts.inputs.last().title, QStringLiteral("Rename File"));
    EXPECT_EQ(prompts.inputs.last().prompt, QStringLiteral("File Name:"));
    EXPECT_EQ(prompts.inputs.last().defaultText, QStringLiteral("a.png"));
}

TEST_F(ViewerFiles, RenameOntoAListedFileTakesTheReplacedEntryOut)
{
    frmViwer *v = show({a, b, c}, 2);
    ScriptedPrompts::instance().answerInput(QStringLiteral("b.png"));
    ScriptedPrompts::instance().answerMessage(Prompts::Yes);   // Confirm File Replace
    trigger(v, "mnuRename");
    EXPECT_EQ(v->files(), (QStringList{a, b}));
    EXPECT_EQ(v->currentIndex(), 1);
    EXPECT_EQ(v->statusPanels()->PanelText(1), QStringLiteral("2/2"));
}

TEST_F(ViewerFiles, RenamesThatNameNothingNewDoNothing)
{
    frmViwer *v = show({a});
    QDir().mkpath(dir.filePath("folder"));
    ScriptedPrompts &prompts = ScriptedPrompts::instance();
    for (const std::optional<QString> &answer :
         {std::optional<QString>(QStringLiteral("a.png")), std::optional<QString>(), std::optional<QString>(QString()),
          std::optional<QString>(QStringLiteral("folder")), std::optional<QString>(QStringLiteral("target/x.png"))}) {
        prompts.answerInput(answer);
        trigger(v, "mnuRename");
        EXPECT_TRUE(QFileInfo::exists(a));
        EXPECT_EQ(v->files(), QStringList{a});
    }
    EXPECT_FALSE(QFileInfo::exists(target + "/x.png"));
    EXPECT_TRUE(host.calls.isEmpty());
}
