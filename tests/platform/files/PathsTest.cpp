#include "AppPaths.h"
#include "FileAttributes.h"
#include "FileSystemObject.h"
#include "TestFiles.h"
#include "WinFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FileSystemObjectTest, TakesPathsApart)
{
    FileSystemObject &fso = FSO();
    EXPECT_EQ(fso.GetParentFolderName("/photos/2024/sea.png"), "/photos/2024");
    EXPECT_EQ(fso.GetParentFolderName("/sea.png"), "/");          // the root keeps its separator
    EXPECT_EQ(fso.GetParentFolderName("/photos/2024/"), "/photos");
    EXPECT_EQ(fso.GetParentFolderName("/"), "");
    EXPECT_EQ(fso.GetFileName("/photos/a.b.c.png"), "a.b.c.png");
    EXPECT_EQ(fso.GetFileName("/photos/album/"), "album");
    EXPECT_EQ(fso.GetExtensionName("/photos/Photo.JPG"), "JPG");
    EXPECT_EQ(fso.GetExtensionName("/photos.d/noext"), "");
    EXPECT_EQ(fso.GetExtensionName("/x/a.b.c.png"), "png");
    EXPECT_EQ(&FSO(), &fso);
}

TEST(FileSystemObjectTest, TellsFilesFromFolders)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("name with blanks é.jpg");
    ASSERT_TRUE(TestFiles::writeBytes(file, "x"));
    EXPECT_TRUE(FSO().FileExists(file));
    EXPECT_FALSE(FSO().FolderExists(file));
    EXPECT_TRUE(FSO().FolderExists(dir.path()));
    EXPECT_TRUE(FSO().FolderExists(dir.path() + "/"));
    EXPECT_FALSE(FSO().FileExists(dir.path()));
    EXPECT_FALSE(FSO().FileExists(""));
    EXPECT_FALSE(FSO().FolderExists(dir.filePath("missing")));
}

TEST(FileAttributesTest, MapsThisFileSystem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("plain.png"), "x"));
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath(".hidden.png"), "x"));
    EXPECT_EQ(FileAttributes::get(dir.filePath("plain.png")), FileAttributes::Archive);
    EXPECT_EQ(FileAttributes::get(dir.filePath(".hidden.png")), FileAttributes::Hidden | FileAttributes::Archive);
    EXPECT_EQ(FileAttributes::get(dir.path()) & FileAttributes::Directory, FileAttributes::Directory);
    EXPECT_EQ(FileAttributes::get(dir.filePath("missing")), FileAttributes::Invalid);
    QFile::setPermissions(dir.filePath("plain.png"), QFile::ReadOwner);
    if (!QFileInfo(dir.filePath("plain.png")).isWritable()) {   // root can write anything
        EXPECT_EQ(FileAttributes::get(dir.filePath("plain.png")), FileAttributes::Archive | FileAttributes::ReadOnly);
    }
}

TEST(AppPathsTest, EverythingKeptLiesUnderTheDataFolder)
{
    const QString home = qEnvironmentVariable("QUILLMERE_HOME");
    EXPECT_EQ(AppPaths::dataFolder(), home);
    EXPECT_EQ(AppPaths::windowsFolder(), home + "/Windows/");
    EXPECT_TRUE(QDir(AppPaths::windowsFolder()).exists());
    EXPECT_FALSE(AppPaths::programFolder().endsWith('/'));
    EXPECT_TRUE(AppPaths::desktopFolder().endsWith("/desktop"));
}

TEST(WinFilesTest, ShortPathsDrivesAndEnvironment)
{
    QTemporaryDir dir;
    EXPECT_EQ(WinFiles::shortPath(dir.path()), dir.path());
    EXPECT_EQ(WinFiles::shortPath(dir.filePath("missing")), "");
    EXPECT_TRUE(WinFiles::driveRoots().contains("/"));
    qputenv("QMR_TEST_VAR", "value");
    EXPECT_EQ(WinFiles::expandEnvironmentStrings("a%QMR_TEST_VAR%b"), "avalueb");
    EXPECT_EQ(WinFiles::expandEnvironmentStrings("100% sure %QMR_UNSET_VAR% 50%"), "100% sure %QMR_UNSET_VAR% 50%");
    EXPECT_EQ(WinFiles::expandEnvironmentStrings("%%QMR_TEST_VAR%"), "%value");
}
