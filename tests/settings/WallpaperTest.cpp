#include "ImgX.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "Wallpaper.h"
#include "modMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SetAsWallpaperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedPrompts::instance().reset();
        QFile::remove(modMain::GetWindowsDir() + "sea.png");
        QFile::remove(modMain::GetWindowsDir() + ".sea.png");
        Wallpaper::SystemParametersInfo(20, 0, "", 1);
    }
    QTemporaryDir dir;
    ImgX img;
};

TEST_F(SetAsWallpaperTest, WritesABmpCopyUnderTheSourceNameAndSetsIt)
{
    const QString source = dir.filePath("sea.png");
    ASSERT_TRUE(TestFiles::writeImage(source, 64, 48, "PNG"));
    img.Loader.LoadFromFile(source);
    modMain::SetAsWallpaper(&img);
    const QString copy = modMain::GetWindowsDir() + "sea.png";
    EXPECT_TRUE(TestFiles::readBytes(copy).startsWith("BM"));
    EXPECT_EQ(Wallpaper::current(), copy);
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty());
}

TEST_F(SetAsWallpaperTest, RefusesToReplaceAHiddenArchiveFile)
{
    const QString source = dir.filePath(".sea.png");
    ASSERT_TRUE(TestFiles::writeImage(source, 32, 32, "PNG"));
    const QString copy = modMain::GetWindowsDir() + ".sea.png";
    ASSERT_TRUE(TestFiles::writeBytes(copy, "old"));
    img.Loader.LoadFromFile(source);
    modMain::SetAsWallpaper(&img);
    ASSERT_EQ(ScriptedPrompts::instance().messages.size(), 1);
    EXPECT_EQ(ScriptedPrompts::instance().messages[0].text, modMain::WallpaperRefusedMessage);
    EXPECT_EQ(ScriptedPrompts::instance().messages[0].title, "Quillmere");
    EXPECT_EQ(TestFiles::readBytes(copy), QByteArray("old"));
    EXPECT_EQ(Wallpaper::current(), "");
}

TEST_F(SetAsWallpaperTest, NothingLoadedDoesNothing)
{
    modMain::SetAsWallpaper(&img);
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty());
    EXPECT_EQ(Wallpaper::current(), "");
}

}
