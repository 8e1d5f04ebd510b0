// The file-dialog object: what it asks the dialog for, and what it reads back.

#include "ImgXDialog.h"

#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kOpenFilter = QStringLiteral("All Images|*.jpg;*.png|All Files|*.*");

Prompts::FileDialogResult chosen(const QStringList &files, int filterIndex)
{
    Prompts::FileDialogResult result;
    result.accepted = true;
    result.files = files;
    result.filterIndex = filterIndex;
    return result;
}

class ImgXDialogTest : public ::testing::Test {
protected:
    void SetUp() override { prompts().reset(); }
    static ScriptedPrompts &prompts() { return ScriptedPrompts::instance(); }
    ImgXDialog dialog;
};

TEST_F(ImgXDialogTest, OpenPassesFilterIndexAndFlags)
{
    dialog.DialogStyle = 1;
    dialog.Filter = kOpenFilter;
    dialog.FilterIndex = 2;
    dialog.Flags = 0x801204;
    bool ok = true;
    dialog.ShowOpen(ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(prompts().fileDialogs.size(), 1);
    const Prompts::FileDialogRequest &request = prompts().fileDialogs[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.filter, kOpenFilter);
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.fileMustExist);
    EXPECT_FALSE(request.overwritePrompt);
}

TEST_F(ImgXDialogTest, SaveAsksBeforeOverwritingAndNeverSelectsSeveral)
{
    dialog.Flags = 0x800006;
    dialog.DefaultExt = "png";
    bool ok = true;
    dialog.ShowSave(ok);
    const Prompts::FileDialogRequest &request = prompts().fileDialogs.at(0);
    EXPECT_TRUE(request.save);
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_FALSE(request.multiSelect);
    EXPECT_EQ(request.defaultExt, "png");
}

TEST_F(ImgXDialogTest, OneChosenFile)
{
    prompts().answerFileDialog(chosen({"/pics/a b/photo.jpg"}, 1));
    bool ok = false;
    dialog.ShowOpen(ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(dialog.FileCount(), 1);
    EXPECT_EQ(dialog.FileName(), "/pics/a b/photo.jpg");
    EXPECT_EQ(dialog.FileItem(0), "photo.jpg");
    EXPECT_EQ(dialog.Folder(), "/pics/a b/");
    EXPECT_EQ(dialog.FileItem(1), QString());
}

TEST_F(ImgXDialogTest, SeveralChosenFilesShareTheirFolder)
{
    prompts().answerFileDialog(chosen({"/pics/a.jpg", "/pics/b.png", "/pics/c.gif"}, 1));
    bool ok = false;
    dialog.Flags = ImgXDialog::OFN_ALLOWMULTISELECT;
    dialog.ShowOpen(ok);
    ASSERT_EQ(dialog.FileCount(), 3);
    EXPECT_EQ(dialog.Folder() + dialog.FileItem(2), "/pics/c.gif");
    EXPECT_EQ(dialog.FileName(), "/pics/a.jpg");
}

TEST_F(ImgXDialogTest, CancelKeepsThePreviousChoiceAndFilter)
{
    prompts().answerFileDialog(chosen({"/pics/a.jpg"}, 3));
    bool ok = false;
    dialog.ShowOpen(ok);
    EXPECT_EQ(dialog.FilterIndex, 3);
    dialog.ShowOpen(ok);   // cancelled
    EXPECT_FALSE(ok);
    EXPECT_EQ(dialog.FilterIndex, 3);
    EXPECT_EQ(dialog.FileName(), "/pics/a.jpg");
}

TEST_F(ImgXDialogTest, FilterIndexAndFolderCarryOverToTheNextDialog)
{
    QTemporaryDir dir;
    prompts().answerFileDialog(chosen({dir.filePath("a.psd")}, 3));
    bool ok = false;
    dialog.FilterIndex = 1;
    dialog.ShowSave(ok);
    EXPECT_EQ(dialog.FilterIndex, 3);   // the filter chosen when the dialog closed
    TestFiles::writeBytes(dir.filePath("a.psd"), "saved");   // the folder is kept once the file is there
    dialog.ShowOpen(ok);
    EXPECT_EQ(prompts().fileDialogs.at(1).filterIndex, 3);
    EXPECT_EQ(prompts().fileDialogs.at(1).directory, dir.path());
}

TEST_F(ImgXDialogTest, SaveAddsTheDefaultExtensionToABareName)
{
    QTemporaryDir dir;
    dialog.DefaultExt = "jpg";
    dialog.Flags = 0x800006;
    prompts().answerFileDialog(chosen({dir.filePath("holiday")}, 1));
    bool ok = false;
    dialog.ShowSave(ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(dialog.FileName(), dir.filePath("holiday.jpg"));

    prompts().answerFileDialog(chosen({dir.filePath("shot.png")}, 1));
    dialog.ShowSave(ok);
    EXPECT_EQ(dialog.FileName(), dir.filePath("shot.png"));   // a typed extension stays
}

TEST_F(ImgXDialogTest, AnAddedExtensionThatNamesAnExistingFileIsConfirmed)
{
    QTemporaryDir dir;
    TestFiles::writeBytes(dir.filePath("holiday.jpg"), "old");
    dialog.DefaultExt = "jpg";
    dialog.Flags = 0x800006;
    prompts().answerFileDialog(chosen({dir.filePath("holiday")}, 1));
    prompts().answerMessage(Prompts::No);
    bool ok = true;
    dialog.ShowSave(ok);
    EXPECT_FALSE(ok);
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_TRUE(prompts().messages[0].text.contains("holiday.jpg already exists"));
}

}
