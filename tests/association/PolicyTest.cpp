// The association check at start-up and its undo, over the whole table.

#include "AssocNotify.h"
#include "AssocTestEnv.h"
#include "AssocTypes.h"
#include "AssociationPolicy.h"
#include "ModAssoc.h"
#include "ScriptedPrompts.h"

#include <QFile>

using namespace ModAssoc;

namespace {
const QString kQuestion = QStringLiteral(
    "The following image types are no more associated with Quillmere, Do you want to associate them now?\r\n");
const QString kAllWords = QStringLiteral(" jpg  jpeg  gif  bmp  dib  png  psd  tif  pcx  tga  wbmp  wmf  ico  emf  tla ");
}

class PolicyTest : public AssocTestEnv {
protected:
    ScriptedPrompts &prompts() { return ScriptedPrompts::instance(); }
    int associatedCount() const
    {
        int count = 0;
        for (const AssocType &type : AssocTypes)
            count += IsAssociated(type.extension, type.progId);
        return count;
    }
    void takeOver(const QString &ext, const QString &handler)
    {
        SaveString(HKEY_CLASSES_ROOT, ext, "", handler);
        SaveString(HKEY_CURRENT_USER, userChoiceKey(ext), "ProgID", handler);
    }
    QString commandOf(const QString &progId) const
    {
        return stored(HKEY_CLASSES_ROOT, progId + "\\shell\\open\\command");
    }
};

TEST_F(PolicyTest, TheTableHoldsFifteenConsistentRows)
{
    ASSERT_EQ(AssocTypes.size(), 15u);
    QString words;
    for (const AssocType &type : AssocTypes) {
        const QString ext = type.extension;
        EXPECT_EQ(QString(type.progId), "Quillmere" + ext);
        EXPECT_EQ(QString(type.listWord), " " + ext.mid(1) + " ");
        EXPECT_TRUE(QString(type.iconFile).startsWith("/icons/"));
        words += type.listWord;
    }
    EXPECT_EQ(words, kAllWords);
}

TEST_F(PolicyTest, FirstRunRegistersAndAssociatesEverythingWithoutAsking)
{
    takeOver(".png", "pngfile");
    AssociationPolicy::AssociateAll();
    EXPECT_TRUE(prompts().messages.isEmpty());
    EXPECT_EQ(associatedCount(), 15);
    for (const AssocType &type : AssocTypes) {
        EXPECT_EQ(stored(HKEY_CLASSES_ROOT, type.progId), type.description);
        EXPECT_EQ(commandOf(type.progId), programFolder() + "/qmr %1");
        EXPECT_EQ(stored(HKEY_CLASSES_ROOT, QString(type.progId) + "\\DefaultIcon"),
                  programFolder() + type.iconFile);
    }
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".png", "OldAss"), "pngfile");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, userChoiceKey(".png"), "OldProgID"), "pngfile");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".jpg", "OldAss"), "");
}

TEST_F(PolicyTest, WithEverythingAssociatedNothingIsAskedOrWritten)
{
    AssociationPolicy::AssociateAll();
    // Marks that any rewrite would wipe out.
    SaveString(HKEY_CLASSES_ROOT, ".jpg", "OldAss", "kept");
    QFile::remove(AssocNotify::desktopEntryPath());
    setProgramFolder(path("moved"));

    AssociationPolicy::AssociateAll();
    EXPECT_TRUE(prompts().messages.isEmpty());
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".jpg", "OldAss"), "kept");
    // The commands still name the old folder: no registration was rewritten.
    EXPECT_EQ(commandOf("Quillmere.jpg"), path("program") + "/qmr %1");
    EXPECT_FALSE(QFile::exists(AssocNotify::desktopEntryPath()));
}

TEST_F(PolicyTest, LostTypesAreListedInTableOrderAndNoChangesNothing)
{
    AssociationPolicy::AssociateAll();
    takeOver(".png", "OtherViewer.png");
    takeOver(".gif", "OtherViewer.gif");

    for (int run = 0; run < 2; ++run) {
        prompts().reset();
        prompts().answerMessage(Prompts::No);
        AssociationPolicy::AssociateAll();
        ASSERT_EQ(prompts().messages.size(), 1);
        const Prompts::MessageRequest &question = prompts().messages.first();
        EXPECT_EQ(question.text, kQuestion + " gif  png ");
        EXPECT_EQ(question.title, "Quillmere");
        EXPECT_EQ(question.style, Prompts::YesNo | Prompts::Question);
        EXPECT_EQ(associatedCount(), 13);
        EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".png"), "OtherViewer.png");
    }
}

TEST_F(PolicyTest, YesRewritesAllRegistrationsAndTakesBackTheLostTypes)
{
    AssociationPolicy::AssociateAll();
    takeOver(".png", "OtherViewer.png");
    takeOver(".gif", "OtherViewer.gif");
    SaveString(HKEY_CLASSES_ROOT, ".jpg", "OldAss", "kept");
    setProgramFolder(path("moved"));

    prompts().answerMessage(Prompts::Yes);
    AssociationPolicy::AssociateAll();
    EXPECT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(associatedCount(), 15);
    for (const AssocType &type : AssocTypes)
        EXPECT_EQ(commandOf(type.progId), path("moved") + "/qmr %1");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".png", "OldAss"), "OtherViewer.png");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, userChoiceKey(".gif"), "OldProgID"), "OtherViewer.gif");
    // Types that stayed associated were not associated again.
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".jpg", "OldAss"), "kept");
}

TEST_F(PolicyTest, ARemovedRegistrationIsAFirstRunAgain)
{
    AssociationPolicy::AssociateAll();
    takeOver(".bmp", "OtherViewer.bmp");
    DeleteValue(HKEY_CLASSES_ROOT, "Quillmere.jpg", "");
    AssociationPolicy::AssociateAll();
    EXPECT_TRUE(prompts().messages.isEmpty());
    EXPECT_EQ(associatedCount(), 15);
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.jpg"), "Quillmere JPG image");
}

TEST_F(PolicyTest, UndoGivesBackOnlyWhatStillPointsHere)
{
    takeOver(".jpg", "jpegfile");
    AssociationPolicy::AssociateAll();
    takeOver(".png", "OtherViewer.png");

    AssociationPolicy::DeAssociateAll();
    EXPECT_EQ(associatedCount(), 0);
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".jpg"), "jpegfile");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, userChoiceKey(".jpg"), "ProgID"), "jpegfile");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".gif"), "");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".png"), "OtherViewer.png");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, userChoiceKey(".png"), "ProgID"), "OtherViewer.png");
    // The program identifiers stay registered.
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.jpg"), "Quillmere JPG image");
}

TEST_F(PolicyTest, TheStartAfterUndoAsksForAllFifteenTypes)
{
    AssociationPolicy::AssociateAll();
    AssociationPolicy::DeAssociateAll();
    prompts().answerMessage(Prompts::No);
    AssociationPolicy::AssociateAll();
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(prompts().messages.first().text, kQuestion + kAllWords);
    EXPECT_EQ(associatedCount(), 0);
}

TEST_F(PolicyTest, RefusedSystemWideWritesMakeEveryStartAFirstRun)
{
    Registry::setRootReadOnly(HKEY_CLASSES_ROOT, true);
    AssociationPolicy::AssociateAll();
    AssociationPolicy::AssociateAll();
    EXPECT_TRUE(prompts().messages.isEmpty());
    EXPECT_EQ(associatedCount(), 0);
}
