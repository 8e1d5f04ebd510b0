// The registry and path primitives the association is built on.

#include "AssocTestEnv.h"
#include "ModAssoc.h"
#include "TestFiles.h"
#include "WinFiles.h"

#include <QDir>

using namespace ModAssoc;

namespace {
const QString kKey = QStringLiteral("Software\\Test\\Deep\\Key");
}

class PrimitivesTest : public AssocTestEnv {};

TEST_F(PrimitivesTest, SaveStringCreatesTheWholePathAndWritesTheDefaultValue)
{
    SaveString(HKEY_CURRENT_USER, kKey, QString(), "default text");
    SaveString(HKEY_CURRENT_USER, kKey, "Named", "named text");
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\Test\\Deep"));
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey), "default text");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Named"), "named text");
}

TEST_F(PrimitivesTest, EmptyAndNonAsciiTextRoundTrip)
{
    SaveString(HKEY_CURRENT_USER, kKey, "Empty", "");
    SaveString(HKEY_CURRENT_USER, kKey, "Accents", QStringLiteral("Bildbetrachter für Fotos – äöü"));
    // An empty value is a value: the default does not come back.
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Empty"), "");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Accents"), QStringLiteral("Bildbetrachter für Fotos – äöü"));
}

TEST_F(PrimitivesTest, GetStringFallsBackToTheDefault)
{
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, "No\\Such\\Key", "", "dflt"), "dflt");
    SaveString(HKEY_CURRENT_USER, kKey, "Other", "x");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Missing", "dflt"), "dflt");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "", "dflt"), "dflt");

    const char number[4] = {1, 0, 0, 0};
    storeRaw(HKEY_CURRENT_USER, kKey, "Number", Registry::REG_DWORD, QByteArray(number, 4));
    storeRaw(HKEY_CURRENT_USER, kKey, "Binary", Registry::REG_BINARY, QByteArray("abc"));
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Number", "dflt"), "dflt");
    EXPECT_EQ(GetString(HKEY_CURRENT_USER, kKey, "Binary", "dflt"), "dflt");
}

TEST_F(PrimitivesTest, GetStringStopsAtTheFirstNul)
{
    storeRaw(HKEY_CURRENT_USER, kKey, "Middle", Registry::REG_SZ, QByteArray("abc\0def\0", 8));
    storeRaw(HKEY_CURRENT_USER, kKey, "Unterminated", Registry::REG_SZ, QByteArray("abc"));
    storeRaw(HKEY_CURRENT_USER, kKey, "Leading", Registry::REG_SZ, QByteArray("\0abc", 4));
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Middle"), "abc");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Unterminated"), "abc");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Leading"), "");
}

TEST_F(PrimitivesTest, ExpandableStringsAreExpandedWithoutTrailingNul)
{
    qputenv("QMR_ASSOC_TEST_VAR", "/opt/pictures");
    storeRaw(HKEY_CURRENT_USER, kKey, "Expand", Registry::REG_EXPAND_SZ,
             QByteArray("%QMR_ASSOC_TEST_VAR%/icons\0", 27));
    storeRaw(HKEY_CURRENT_USER, kKey, "Unknown", Registry::REG_EXPAND_SZ, QByteArray("%QMR_NOT_SET_ANYWHERE%/x\0", 25));
    const QString expanded = stored(HKEY_CURRENT_USER, kKey, "Expand");
    EXPECT_EQ(expanded, "/opt/pictures/icons");
    EXPECT_FALSE(expanded.contains(QChar(u'\0')));
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Unknown"), "%QMR_NOT_SET_ANYWHERE%/x");
    // A plain string is never expanded.
    SaveString(HKEY_CURRENT_USER, kKey, "Plain", "%QMR_ASSOC_TEST_VAR%");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "Plain"), "%QMR_ASSOC_TEST_VAR%");
}

TEST_F(PrimitivesTest, DeletionsTouchOnlyWhatTheyName)
{
    DeleteValue(HKEY_CURRENT_USER, "Software\\Missing", "Value");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\Missing"));

    SaveString(HKEY_CURRENT_USER, kKey, "A", "1");
    SaveString(HKEY_CURRENT_USER, kKey, "B", "2");
    DeleteValue(HKEY_CURRENT_USER, kKey, "A");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "A"), "<missing>");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, kKey, "B"), "2");

    DeleteKey(HKEY_CURRENT_USER, kKey);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\Test\\Deep"));
}

TEST_F(PrimitivesTest, RefusedWritesAreSilent)
{
    SaveString(HKEY_CLASSES_ROOT, ".jpg", "", "before");
    Registry::setRootReadOnly(HKEY_CLASSES_ROOT, true);
    SaveString(HKEY_CLASSES_ROOT, ".jpg", "", "after");
    SaveString(HKEY_CLASSES_ROOT, "New\\Key", "", "x");
    DeleteValue(HKEY_CLASSES_ROOT, ".jpg", "");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".jpg"), "before");
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, "New"));
}

TEST_F(PrimitivesTest, TrimNull)
{
    EXPECT_EQ(TrimNull(QString("ab") + QChar(u'\0') + "cd"), "ab");
    EXPECT_EQ(TrimNull("abcd"), "abcd");
    EXPECT_EQ(TrimNull(QString(QChar(u'\0'))), "");
}

TEST_F(PrimitivesTest, ShortPathOfExistingAndMissingPaths)
{
    const QString file = path("a long folder name/picture file.jpeg");
    ASSERT_TRUE(TestFiles::writeBytes(file, "x"));
    EXPECT_EQ(GetShortPath(file), file);
    EXPECT_EQ(GetShortPath(path("no such file.jpg")), "");
    EXPECT_EQ(GetShortPath(""), "");
}

TEST_F(PrimitivesTest, AppPathEndsWithExactlyOneSeparator)
{
    EXPECT_EQ(GetAppPath(), programFolder() + "/");
    qputenv("QMR_PROGRAM_DIR", (programFolder() + "/").toUtf8());
    EXPECT_EQ(GetAppPath(), programFolder() + "/");
    qputenv("QMR_PROGRAM_DIR", "/");
    EXPECT_EQ(GetAppPath(), "/");
}

TEST_F(PrimitivesTest, PathExists)
{
    const QString file = path("folder/file.png");
    ASSERT_TRUE(TestFiles::writeBytes(file, "x"));
    EXPECT_FALSE(PathExists(""));
    EXPECT_TRUE(PathExists(file));
    EXPECT_TRUE(PathExists(path("folder")));
    EXPECT_TRUE(PathExists(path("folder/")));
    EXPECT_FALSE(PathExists(path("folder/missing.png")));
    // Wildcards name no file, even where they would match one.
    EXPECT_FALSE(PathExists(path("folder/*.png")));
    EXPECT_FALSE(PathExists(path("folder/*")));
    // A quoted path is not the path.
    EXPECT_FALSE(PathExists("\"" + file + "\""));
}

TEST_F(PrimitivesTest, EveryMountedRootExistsHoweverManyThereAre)
{
    EXPECT_TRUE(PathExists("/"));
    const QStringList roots = WinFiles::driveRoots();
    for (const QString &root : roots)
        EXPECT_TRUE(PathExists(root)) << qPrintable(root);
}
