#include "AppPaths.h"
#include "modMain.h"

#include <gtest/gtest.h>

TEST(ModMainTest, ImageFileTestIsASubstringTestOnTheExtension)
{
    EXPECT_TRUE(modMain::IsImageFile("/p/Photo.JPG"));
    EXPECT_TRUE(modMain::IsImageFile("/p/scan.cur"));
    EXPECT_TRUE(modMain::IsImageFile("/p/x.jp"));
    EXPECT_TRUE(modMain::IsImageFile("/p/x.f b"));     // a piece spanning a blank
    EXPECT_FALSE(modMain::IsImageFile("/p/noext"));
    EXPECT_FALSE(modMain::IsImageFile("/p/x.txt"));
    EXPECT_FALSE(modMain::IsImageFile("/p/x.jpeg"));
}

TEST(ModMainTest, FoldersEndWithOneSeparator)
{
    EXPECT_EQ(modMain::GetSpecialFolder(0), AppPaths::desktopFolder() + "/");
    EXPECT_EQ(modMain::GetSpecialFolder(5), "");
    const QString windows = modMain::GetWindowsDir();
    EXPECT_TRUE(windows.endsWith("/Windows/"));
    EXPECT_FALSE(windows.endsWith("//"));
}

TEST(ModMainTest, SaveFormatTable)
{
    long code = -1;
    EXPECT_EQ(modMain::GetSaveFormat(0, code), "");
    EXPECT_EQ(modMain::GetSaveFormat(11, code), "");
    EXPECT_EQ(code, -1);
    const char *exts[] = {"jpg", "png", "psd", "tif", "pcx", "tga", "wbmp", "bmp", "wmf", "emf"};
    const long codes[] = {1, 2, 9, 3, 4, 5, 10, 6, 7, 8};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(modMain::GetSaveFormat(i + 1, code), exts[i]);
        EXPECT_EQ(code, codes[i]);
    }
}
