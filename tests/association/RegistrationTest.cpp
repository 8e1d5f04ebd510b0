// Program identifiers and the association of one extension with them.

#include "AssocTestEnv.h"
#include "ModAssoc.h"

#include <QFile>

using namespace ModAssoc;

class RegistrationTest : public AssocTestEnv {
protected:
    QString command() const { return programFolder() + "/qmr %1"; }
    // The two kept values and the two live ones, for comparing whole states.
    QStringList state(const QString &ext) const
    {
        return {stored(HKEY_CLASSES_ROOT, ext), stored(HKEY_CLASSES_ROOT, ext, "OldAss"),
                stored(HKEY_CURRENT_USER, userChoiceKey(ext), "ProgID"),
                stored(HKEY_CURRENT_USER, userChoiceKey(ext), "OldProgID")};
    }
    void takeOver(const QString &ext, const QString &handler)
    {
        SaveString(HKEY_CLASSES_ROOT, ext, "", handler);
        SaveString(HKEY_CURRENT_USER, userChoiceKey(ext), "ProgID", handler);
    }
};

TEST_F(RegistrationTest, CreateProgIdWritesTheWholeLayout)
{
    CreateProgID("Quillmere.png", "Quillmere PNG image", "open", "/icons/png.ico");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.png"), "Quillmere PNG image");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.png\\shell"), "");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.png\\shell\\open"), "");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.png\\shell\\open\\command"), command());
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.png\\DefaultIcon"), "/icons/png.ico");
}

TEST_F(RegistrationTest, WithoutIconTheProgramIsTheIcon)
{
    CreateProgID("Quillmere.tla", "Quillmere TLA image", "open", "");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.tla\\DefaultIcon"), programFolder() + "/qmr");
}

TEST_F(RegistrationTest, MissingProgramFileLeavesTheCommandWithoutProgram)
{
    QFile::remove(programFolder() + "/qmr");
    CreateProgID("Quillmere.tla", "Quillmere TLA image", "open", "");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.tla\\shell\\open\\command"), " %1");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.tla\\DefaultIcon"), "");
}

TEST_F(RegistrationTest, RegisteringAgainRewritesEveryValue)
{
    CreateProgID("Quillmere.gif", "Quillmere GIF image", "open", "/icons/gif.ico");
    SaveString(HKEY_CLASSES_ROOT, "Quillmere.gif\\shell\\open\\command", "", "tampered %1");
    SaveString(HKEY_CLASSES_ROOT, "Quillmere.gif", "", "tampered");
    CreateProgID("Quillmere.gif", "Quillmere GIF image", "open", "/icons/gif.ico");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.gif"), "Quillmere GIF image");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere.gif\\shell\\open\\command"), command());
}

TEST_F(RegistrationTest, AStrayKeyNamedAfterTheDescriptionGoesOnlyWhenItPointsHere)
{
    SaveString(HKEY_CLASSES_ROOT, "Quillmere GIF image", "", "Quillmere.gif");
    SaveString(HKEY_CLASSES_ROOT, "Quillmere BMP image", "", "SomeoneElse.bmp");
    CreateProgID("Quillmere.gif", "Quillmere GIF image", "open", "");
    CreateProgID("Quillmere.bmp", "Quillmere BMP image", "open", "");
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "Quillmere GIF image"));
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "Quillmere BMP image"), "SomeoneElse.bmp");
}

TEST_F(RegistrationTest, AssociatingAFreshExtensionKeepsEmptyPreviousValues)
{
    Associate(".jpg", "Quillmere.jpg");
    EXPECT_EQ(state(".jpg"), QStringList({"Quillmere.jpg", "", "Quillmere.jpg", ""}));
    EXPECT_EQ(IsAssociated(".jpg", "Quillmere.jpg"), 1);

    DeAssociate(".jpg", "Quillmere.jpg");
    // Set back to empty, not deleted; the kept values are gone.
    EXPECT_EQ(state(".jpg"), QStringList({"", "<missing>", "", "<missing>"}));
    EXPECT_EQ(IsAssociated(".jpg", "Quillmere.jpg"), 0);
}

TEST_F(RegistrationTest, UndoPutsBackWhatWasThere)
{
    takeOver(".png", "pngfile");
    Associate(".png", "Quillmere.png");
    EXPECT_EQ(state(".png"), QStringList({"Quillmere.png", "pngfile", "Quillmere.png", "pngfile"}));
    // A second association changes nothing, so the first handler stays kept.
    Associate(".png", "Quillmere.png");
    EXPECT_EQ(state(".png"), QStringList({"Quillmere.png", "pngfile", "Quillmere.png", "pngfile"}));
    DeAssociate(".png", "Quillmere.png");
    EXPECT_EQ(state(".png"), QStringList({"pngfile", "<missing>", "pngfile", "<missing>"}));
}

TEST_F(RegistrationTest, TakingBackFromAnotherProgramKeepsThatProgramsValues)
{
    takeOver(".gif", "giffile");
    Associate(".gif", "Quillmere.gif");
    takeOver(".gif", "OtherViewer.gif");
    EXPECT_EQ(IsAssociated(".gif", "Quillmere.gif"), 0);
    Associate(".gif", "Quillmere.gif");
    EXPECT_EQ(state(".gif"), QStringList({"Quillmere.gif", "OtherViewer.gif", "Quillmere.gif", "OtherViewer.gif"}));
}

TEST_F(RegistrationTest, UndoLeavesAnExtensionThatPointsElsewhere)
{
    Associate(".bmp", "Quillmere.bmp");
    takeOver(".bmp", "OtherViewer.bmp");
    const QStringList before = state(".bmp");
    DeAssociate(".bmp", "Quillmere.bmp");
    EXPECT_EQ(state(".bmp"), before);
}

TEST_F(RegistrationTest, OnlyTheSystemWideValueDecides)
{
    Associate(".tif", "Quillmere.tif");
    EXPECT_EQ(IsAssociated(".tif", "quillmere.tif"), 0);
    EXPECT_EQ(IsAssociated(".tif", "Quillmere.TIF"), 0);
    SaveString(HKEY_CURRENT_USER, userChoiceKey(".tif"), "ProgID", "OtherViewer.tif");
    EXPECT_EQ(IsAssociated(".tif", "Quillmere.tif"), 1);
    EXPECT_EQ(IsAssociated(".nothing", "Quillmere.nothing"), 0);
}

TEST_F(RegistrationTest, ARefusedAttemptNeverKeepsOurOwnIdentifierAsTheUsersChoice)
{
    takeOver(".psd", "Photoshop.Image");
    Registry::setRootReadOnly(HKEY_CLASSES_ROOT, true);
    Associate(".psd", "Quillmere.psd");
    EXPECT_EQ(IsAssociated(".psd", "Quillmere.psd"), 0);
    // The user's choice was written; the next attempt must still remember
    // the choice from before the first one.
    Associate(".psd", "Quillmere.psd");
    Registry::setRootReadOnly(HKEY_CLASSES_ROOT, false);
    Associate(".psd", "Quillmere.psd");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, userChoiceKey(".psd"), "OldProgID"), "Photoshop.Image");
    DeAssociate(".psd", "Quillmere.psd");
    EXPECT_EQ(state(".psd"), QStringList({"Photoshop.Image", "<missing>", "Photoshop.Image", "<missing>"}));
}

// An association ended (kill -9) after it kept the old handlers but before
// it pointed the type here leaves kept values naming the handler in force;
// the undo clears them, whether there was a handler or none.
TEST_F(RegistrationTest, UndoClearsWhatAnAssociationCutShortKept)
{
    takeOver(".jpg", "jpegfile");
    SaveString(HKEY_CLASSES_ROOT, ".jpg", "OldAss", "jpegfile");
    SaveString(HKEY_CURRENT_USER, userChoiceKey(".jpg"), "OldProgID", "jpegfile");
    SaveString(HKEY_CLASSES_ROOT, ".gif", "OldAss", "");
    DeAssociate(".jpg", "Quillmere.jpg");
    DeAssociate(".gif", "Quillmere.gif");
    EXPECT_EQ(state(".jpg"), QStringList({"jpegfile", "<missing>", "jpegfile", "<missing>"}));
    EXPECT_EQ(state(".gif"), QStringList({"<missing>", "<missing>", "<missing>", "<missing>"}));
}
