// The association as the desktop's own tools see it: xdg-mime and gio run
// against folders of the test alone, with another viewer installed.

#include "AssocNotify.h"
#include "AssocTestEnv.h"
#include "AssociationPolicy.h"
#include "ModAssoc.h"
#include "QtPrinters.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

using namespace ModAssoc;

namespace {
const QString kOurs = QStringLiteral("quillmere.desktop");
const QString kOther = QStringLiteral("otherview.desktop");
}

class DesktopToolsTest : public AssocTestEnv {
protected:
    void SetUp() override
    {
        AssocTestEnv::SetUp();
        for (const char *tool : {"xdg-mime", "gio"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        ASSERT_TRUE(TestFiles::writeBytes(path("data/applications/") + kOther,
                                          "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %f\n"
                                          "MimeType=image/png;image/jpeg;image/gif;\n"));
    }

    static QString run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }
    static QString xdgDefault(const QString &mimeType) { return run("xdg-mime", {"query", "default", mimeType}); }
    static void xdgSetDefault(const QString &id, const QString &mimeType)
    {
        run("xdg-mime", {"default", id, mimeType});
        ASSERT_EQ(xdgDefault(mimeType), id);
    }
    static QString gioMime(const QString &mimeType) { return run("gio", {"mime", mimeType}); }
    QString contentType(const QString &file) const
    {
        return run("gio", {"info", "-a", "standard::content-type", file});
    }

    ScriptedPrompts &prompts() { return ScriptedPrompts::instance(); }
};

TEST_F(DesktopToolsTest, TypesAnotherProgramTookOnTheDesktopAreAskedForAndGivenBack)
{
    AssociationPolicy::AssociateAll();
    ASSERT_EQ(xdgDefault("image/png"), kOurs);
    xdgSetDefault(kOther, "image/png");
    // A list for the current desktop comes before the user's general one.
    ASSERT_TRUE(TestFiles::writeBytes(path("config/x-generic-mimeapps.list"),
                                      "[Default Applications]\nimage/gif=otherview.desktop;\n"));
    ASSERT_EQ(xdgDefault("image/gif"), kOther);

    prompts().answerMessage(Prompts::No);
    AssociationPolicy::AssociateAll();
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_TRUE(prompts().messages.first().text.endsWith("?\r\n gif  png "));

    prompts().answerMessage(Prompts::Yes);
    AssociationPolicy::AssociateAll();
    EXPECT_EQ(xdgDefault("image/png"), kOurs);
    EXPECT_EQ(xdgDefault("image/gif"), kOurs);
    EXPECT_EQ(IsAssociated(".png", "Quillmere.png"), 1);
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".png", "OldAss"), kOther);

    AssociationPolicy::DeAssociateAll();
    EXPECT_EQ(xdgDefault("image/png"), kOther);
    EXPECT_EQ(xdgDefault("image/gif"), kOther);
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, ".png"), kOther);
}

TEST_F(DesktopToolsTest, AssociatingOneTypeLeavesEveryOtherDesktopChoiceAlone)
{
    AssociationPolicy::AssociateAll();
    DeAssociate(".gif", "Quillmere.gif");
    xdgSetDefault(kOther, "image/jpeg");
    Associate(".gif", "Quillmere.gif");
    EXPECT_EQ(xdgDefault("image/gif"), kOurs);
    EXPECT_EQ(xdgDefault("image/jpeg"), kOther);
}

TEST_F(DesktopToolsTest, AfterUndoNothingOpensInQuillmereAndOpenWithForgetsIt)
{
    AssociationPolicy::AssociateAll();
    // Open With lists of GIO programs know us, not only as the default.
    EXPECT_TRUE(gioMime("image/bmp").contains("Registered applications:\n\t" + kOurs)) << qPrintable(gioMime("image/bmp"));

    AssociationPolicy::DeAssociateAll();
    EXPECT_EQ(xdgDefault("image/bmp"), "");
    EXPECT_FALSE(gioMime("image/bmp").contains(kOurs));
    EXPECT_FALSE(gioMime("image/png").contains(kOurs));
    EXPECT_FALSE(QFile::exists(AssocNotify::desktopEntryPath()));
}

TEST_F(DesktopToolsTest, TlaFilesBecomeImagesOfTheirOwnTypeUntilUndo)
{
    const QString picture = path("pictures/scan.tla");
    ASSERT_TRUE(TestFiles::writeBytes(picture, QByteArray(64, '\x01')));
    AssociationPolicy::AssociateAll();
    EXPECT_TRUE(contentType(picture).endsWith("image/x-tla")) << qPrintable(contentType(picture));
    EXPECT_EQ(xdgDefault("image/x-tla"), kOurs);

    AssociationPolicy::DeAssociateAll();
    EXPECT_FALSE(contentType(picture).contains("image/x-tla"));
}
