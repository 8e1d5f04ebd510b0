#include "SkinEngine.h"
#include "Splash.h"
#include "TestFiles.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QByteArray kSkin =
    "# comment\n"
    "[form]\nQWidget { background: #eef1f6; }\n"
    "[Button]\nQPushButton { color: red; }\n"
    "[label]\nQLabel { color: blue; }\n"
    "[Broken]\nQLabel { color: blue; \n";
}

TEST(SkinEngineTest, AppliesNamedObjectsWhateverTheirLetterCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("QMRMain.skn"), kSkin));
    SkinEngine engine;
    ASSERT_TRUE(engine.LoadSkin(dir.filePath("QMRMain.skn")));
    QPushButton button;
    engine.ApplySkinByName(&button, "Button");
    EXPECT_TRUE(button.styleSheet().contains("color: red"));
    QLabel a, b;
    engine.ApplySkinByName(&a, "Label");
    engine.ApplySkinByName(&b, "label");
    EXPECT_EQ(a.styleSheet(), b.styleSheet());
    EXPECT_TRUE(a.styleSheet().contains("color: blue"));
    QWidget window;
    engine.ApplySkin(&window);
    EXPECT_TRUE(window.styleSheet().contains("#eef1f6"));
    // Unknown names and objects with unbalanced rules change nothing.
    QLabel c;
    engine.ApplySkinByName(&c, "Broken");
    engine.ApplySkinByName(&c, "Nothing");
    EXPECT_TRUE(c.styleSheet().isEmpty());
}

TEST(SkinEngineTest, MissingOrDamagedFileLeavesTheNativeLook)
{
    QTemporaryDir dir;
    SkinEngine engine;
    EXPECT_FALSE(engine.LoadSkin(dir.filePath("missing.skn")));
    ASSERT_TRUE(TestFiles::writeBytes(dir.filePath("binary.skn"), QByteArray("\x00\xff\xfe[x]", 6)));
    EXPECT_FALSE(engine.LoadSkin(dir.filePath("binary.skn")));
    QPushButton button;
    engine.ApplySkinByName(&button, "Button");
    engine.ApplySkin(&button);
    EXPECT_TRUE(button.styleSheet().isEmpty());
    // Without a main window's engine the shared one does nothing, safely.
    SkinEngine::main().ApplySkinByName(&button, "Button");
    EXPECT_TRUE(button.styleSheet().isEmpty());
}

TEST(SkinEngineTest, ShippedSkinHasEveryObjectTheWindowsAskFor)
{
    SkinEngine engine;
    ASSERT_TRUE(engine.LoadSkin(qEnvironmentVariable("QMR_PROGRAM_DIR") + "/QMRMain.skn"));
    for (const char *name : {"form", "smallform", "Button", "Label", "CheckBox", "Radio", "StatusBar", "Statusbar",
                             "Toolbar", "Splitter"})
        EXPECT_FALSE(engine.styleSheet(name).isEmpty()) << name;
}

TEST(SplashTest, ShowsAPictureAndIgnoresAnythingElse)
{
    QTemporaryDir dir;
    Splash splash;
    EXPECT_FALSE(splash.LoadSplash(dir.filePath("viewer.spl")));
    splash.Show(0);
    EXPECT_FALSE(splash.isVisible());
    ASSERT_TRUE(splash.LoadSplash(qEnvironmentVariable("QMR_PROGRAM_DIR") + "/viewer.spl"));
    splash.Show(0);
    EXPECT_TRUE(splash.isVisible());
}
