// What the association-change notification writes to the desktop's files.

#include "AssocNotify.h"
#include "AssocTestEnv.h"
#include "AssociationPolicy.h"
#include "ModAssoc.h"
#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <sys/stat.h>

using namespace ModAssoc;

namespace {
const QByteArray kOtherPrograms =
    "# written by hand, caf\xE9 style\n"   // Latin-1, not UTF-8
    "[Added Associations]\n"
    "image/png=eog.desktop;\n"
    "\n"
    "[Default Applications]\n"
    "text/plain=org.gnome.TextEditor.desktop;\n"
    "image/png=eog.desktop;gimp.desktop;\n"
    "image/jpeg = eog.desktop;\n"
    "image/bmp = gimp.desktop\n"
    "\n"
    "[Removed Associations]\n"
    "image/gif=gimp.desktop;\n";

void notify()
{
    AssocNotify::SHChangeNotify(AssocNotify::SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
}
}

class DesktopSyncTest : public AssocTestEnv {
protected:
    QString defaultFor(const QString &mimeType) const
    {
        const QString text = QString::fromUtf8(TestFiles::readBytes(AssocNotify::mimeAppsListPath()));
        bool inGroup = false;
        for (const QString &line : text.split('\n')) {
            if (line.startsWith('['))
                inGroup = line == "[Default Applications]";
            else if (inGroup && line.section('=', 0, 0).trimmed() == mimeType)
                return line.section('=', 1).trimmed().chopped(1);   // without the closing ";"
        }
        return QString();
    }
    QString desktopKey(const QString &key) const
    {
        const QString text = QString::fromUtf8(TestFiles::readBytes(AssocNotify::desktopEntryPath()));
        for (const QString &line : text.split('\n'))
            if (line.startsWith(key + "="))
                return line.mid(key.size() + 1);
        return "<missing>";
    }
    void takeOver(const QString &ext, const QString &handler)
    {
        SaveString(HKEY_CLASSES_ROOT, ext, "", handler);
        notify();
    }
};

TEST_F(DesktopSyncTest, FirstRunWritesTheDesktopEntryAndEveryDefault)
{
    AssociationPolicy::AssociateAll();
    ASSERT_TRUE(QFile::exists(AssocNotify::desktopEntryPath()));
    EXPECT_EQ(desktopKey("Exec"), programFolder() + "/qmr %f");
    EXPECT_EQ(desktopKey("Icon"), programFolder() + "/icons/jpg.ico");
    EXPECT_EQ(desktopKey("Type"), "Application");
    EXPECT_EQ(desktopKey("Categories"), "Graphics;Viewer;");
    // The desktop's own check, where it is installed, finds nothing to say.
    QProcess validate;
    validate.start("desktop-file-validate", {AssocNotify::desktopEntryPath()});
    if (validate.waitForFinished(10000)) {
        EXPECT_EQ(validate.readAll() + QByteArray::number(validate.exitCode()), "0");
    }
    EXPECT_EQ(desktopKey("MimeType"),
              "image/jpeg;image/gif;image/bmp;image/png;image/vnd.adobe.photoshop;image/tiff;"
              "image/vnd.zbrush.pcx;image/x-tga;image/vnd.wap.wbmp;image/wmf;image/vnd.microsoft.icon;"
              "image/emf;image/x-tla;");
    for (const char *mime : {"image/jpeg", "image/bmp", "image/tiff", "image/x-tla", "image/emf"})
        EXPECT_EQ(defaultFor(mime), "quillmere.desktop") << mime;
}

TEST_F(DesktopSyncTest, OtherProgramsLinesSurviveAndComeBackAfterUndo)
{
    ASSERT_TRUE(TestFiles::writeBytes(AssocNotify::mimeAppsListPath(), kOtherPrograms));
    AssociationPolicy::AssociateAll();
    EXPECT_EQ(defaultFor("image/png"), "quillmere.desktop;eog.desktop;gimp.desktop");
    EXPECT_EQ(defaultFor("image/jpeg"), "quillmere.desktop;eog.desktop");
    EXPECT_EQ(defaultFor("image/gif"), "quillmere.desktop");
    EXPECT_EQ(defaultFor("image/bmp"), "quillmere.desktop;gimp.desktop");
    EXPECT_EQ(defaultFor("text/plain"), "org.gnome.TextEditor.desktop");
    const QString text = QString::fromUtf8(TestFiles::readBytes(AssocNotify::mimeAppsListPath()));
    EXPECT_TRUE(text.contains("\n[Added Associations]\nimage/png=eog.desktop;\n\n"));
    EXPECT_TRUE(text.endsWith("\n\n[Removed Associations]\nimage/gif=gimp.desktop;\n"));

    // Every line the association rewrote comes back as it was written.
    AssociationPolicy::DeAssociateAll();
    EXPECT_EQ(TestFiles::readBytes(AssocNotify::mimeAppsListPath()), kOtherPrograms);
}

TEST_F(DesktopSyncTest, AListWithCarriageReturnsKeepsThem)
{
    const QByteArray list = "[Default Applications]\r\nimage/png=eog.desktop;\r\ntext/plain=gedit.desktop;\r\n";
    ASSERT_TRUE(TestFiles::writeBytes(AssocNotify::mimeAppsListPath(), list));
    AssociationPolicy::AssociateAll();
    const QByteArray associated = TestFiles::readBytes(AssocNotify::mimeAppsListPath());
    EXPECT_TRUE(associated.contains("image/png=quillmere.desktop;eog.desktop;\r\n"));
    EXPECT_EQ(associated.count("\n"), associated.count("\r\n"));
    AssociationPolicy::DeAssociateAll();
    EXPECT_EQ(TestFiles::readBytes(AssocNotify::mimeAppsListPath()), list);
}

TEST_F(DesktopSyncTest, ATypeTakenInTheStoreLosesOnlyOurDefault)
{
    AssociationPolicy::AssociateAll();
    takeOver(".png", "OtherViewer.png");
    EXPECT_EQ(defaultFor("image/png"), "");
    // Both .jpg and .jpeg give image/jpeg: it stays ours while one of them does.
    takeOver(".jpg", "OtherViewer.jpg");
    EXPECT_EQ(defaultFor("image/jpeg"), "quillmere.desktop");
    takeOver(".jpeg", "OtherViewer.jpeg");
    EXPECT_EQ(defaultFor("image/jpeg"), "");
    EXPECT_EQ(defaultFor("image/gif"), "quillmere.desktop");
    // The entry offers only the types still held.
    EXPECT_FALSE(desktopKey("MimeType").contains("image/png"));
    EXPECT_FALSE(desktopKey("MimeType").contains("image/jpeg"));
    EXPECT_TRUE(desktopKey("MimeType").startsWith("image/gif;"));
}

TEST_F(DesktopSyncTest, NothingRegisteredRemovesOurEntryAndDefaults)
{
    AssociationPolicy::AssociateAll();
    Registry::setDatabasePath(path("empty.db"));
    notify();
    EXPECT_FALSE(QFile::exists(AssocNotify::desktopEntryPath()));
    EXPECT_FALSE(TestFiles::readBytes(AssocNotify::mimeAppsListPath()).contains("quillmere.desktop"));
}

TEST_F(DesktopSyncTest, ACommandWithoutProgramGivesNoEntry)
{
    QFile::remove(programFolder() + "/qmr");
    AssociationPolicy::AssociateAll();
    EXPECT_EQ(IsAssociated(".jpg", "Quillmere.jpg"), 1);
    EXPECT_FALSE(QFile::exists(AssocNotify::desktopEntryPath()));
    EXPECT_FALSE(QFile::exists(AssocNotify::mimeAppsListPath()));
}

TEST_F(DesktopSyncTest, AProgramPathWithReservedCharactersIsQuoted)
{
    setProgramFolder(path("My Programs/100% \"sure\""));
    AssociationPolicy::AssociateAll();
    // Exec quoting inside, string escaping outside: a backslash doubles twice.
    EXPECT_EQ(desktopKey("Exec"),
              "\"" + path("My Programs/100%% \\\\\"sure\\\\\"") + "/qmr\" %f");
}

TEST_F(DesktopSyncTest, AnUnchangedListIsNotRewritten)
{
    AssociationPolicy::AssociateAll();
    const QByteArray list = QFile::encodeName(AssocNotify::mimeAppsListPath());
    struct stat before {};
    struct stat after {};
    ASSERT_EQ(stat(list.constData(), &before), 0);
    notify();
    ASSERT_EQ(stat(list.constData(), &after), 0);
    // A rewrite replaces the file, and with it the inode.
    EXPECT_EQ(before.st_ino, after.st_ino);
}
