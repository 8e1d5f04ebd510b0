// The About box and the registry lookup of the system-information tool.

#include "frmAbout.h"

#include "Registry.h"
#include "ScriptedPrompts.h"
#include "SkinLabel.h"
#include "SystemInfoTool.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

void writeValue(const QString &keyName, const QString &name, std::uint32_t type, const QByteArray &bytes, bool raw = false)
{
    HKEY key = 0;
    ASSERT_EQ(Registry::createKey(HKEY_LOCAL_MACHINE, keyName, Registry::KEY_ALL_ACCESS, &key), Registry::Success);
    if (raw)
        Registry::setValueRaw(key, name, type, bytes);
    else
        Registry::setValue(key, name, type, bytes.constData(), std::uint32_t(bytes.size()));
    Registry::closeKey(key);
}

void removeValue(const QString &keyName, const QString &name)
{
    HKEY key = 0;
    if (Registry::openKey(HKEY_LOCAL_MACHINE, keyName, Registry::KEY_ALL_ACCESS, &key) == Registry::Success) {
        Registry::deleteValue(key, name);
        Registry::closeKey(key);
    }
}

bool waitForFile(const QString &path, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!QFile::exists(path) && !deadline.hasExpired())
        QThread::msleep(20);
    return QFile::exists(path);
}

class FrmAboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedPrompts::instance().reset();
        removeValue(kMsinfoKey, "PATH");
        removeValue(kLocationKey, "MSINFO");
        ASSERT_TRUE(m_dir.isValid());
    }
    void TearDown() override { delete frmAbout::instanceIfLoaded(); }

    // A program that leaves a marker file when it runs.
    QString makeTool(const QString &path)
    {
        const QString marker = m_dir.filePath("started");
        TestFiles::writeBytes(path, QByteArray("#!/bin/sh\ntouch '") + marker.toUtf8() + "'\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return marker;
    }

    static void startSysInfo()
    {
        frmAbout::ShowModeless(nullptr);
        frmAbout::instanceIfLoaded()->cmdSysInfo()->click();
    }

    static bool unavailableShown()
    {
        const auto &messages = ScriptedPrompts::instance().messages;
        return messages.size() == 1 && messages[0].text == "System Information Is Unavailable At This Time"
            && messages[0].style == Prompts::OKOnly && messages[0].title == Prompts::appTitle();
    }

    QTemporaryDir m_dir;
};

TEST_F(FrmAboutTest, ShowsTheProgramsTextsWordForWord)
{
    frmAbout::ShowModeless(nullptr);
    frmAbout *box = frmAbout::instanceIfLoaded();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(ScriptedPrompts::instance().dialogTitles.isEmpty());   // modeless
    EXPECT_EQ(box->windowTitle(), "About Quillmere");
    EXPECT_EQ(box->SkinLabel1()->Caption(), "Quillmere");
    EXPECT_EQ(box->SkinLabel2()->Caption(), "Version 1.6.0.2");
    EXPECT_EQ(box->SkinLabel3()->Caption(),
              "Use Quillmere  to easily navigate your favorite images in your computer, Slide show in full screen, "
              "Save to alot of image formats, Encryption, transformations,  and more...");
    EXPECT_EQ(box->cmdOK()->text(), "OK");
    EXPECT_EQ(box->cmdSysInfo()->text(), "&System Info...");
    frmAbout::ShowModeless(nullptr);
    EXPECT_EQ(frmAbout::instanceIfLoaded(), box);   // one box at a time
}

TEST_F(FrmAboutTest, OkAndEscapeUnloadTheBox)
{
    frmAbout::ShowModeless(nullptr);
    frmAbout::instanceIfLoaded()->cmdOK()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmAbout::instanceIfLoaded(), nullptr);

    frmAbout::ShowModeless(nullptr);
    frmAbout::instanceIfLoaded()->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmAbout::instanceIfLoaded(), nullptr);
}

TEST_F(FrmAboutTest, TheBoxGoesWithItsOwner)
{
    auto owner = std::make_unique<QWidget>();
    frmAbout::ShowModeless(owner.get());
    EXPECT_EQ(frmAbout::instanceIfLoaded()->parentWidget(), owner.get());
    owner.reset();
    EXPECT_EQ(frmAbout::instanceIfLoaded(), nullptr);
}

TEST_F(FrmAboutTest, TheFirstValueIsUsedWithoutLookingFurther)
{
    const QString marker = makeTool(m_dir.filePath("sys info tool"));
    writeValue(kMsinfoKey, "PATH", Registry::REG_SZ, m_dir.filePath("sys info tool").toUtf8());
    writeValue(kLocationKey, "MSINFO", Registry::REG_SZ, "/nowhere");
    startSysInfo();
    EXPECT_TRUE(waitForFile(marker));
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty());
}

TEST_F(FrmAboutTest, TheSecondValueNamesTheFolderOfTheTool)
{
    const QString marker = makeTool(m_dir.filePath("tools/MSINFO32.EXE"));
    writeValue(kLocationKey, "MSINFO", Registry::REG_SZ, m_dir.filePath("tools").toUtf8());
    EXPECT_EQ(SystemInfoTool::programPath(), m_dir.filePath("tools/MSINFO32.EXE"));
    startSysInfo();
    EXPECT_TRUE(waitForFile(marker));
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty());
}

TEST_F(FrmAboutTest, AMissingToolIsReportedAndNothingStarts)
{
    QTemporaryDir empty;
    writeValue(kLocationKey, "MSINFO", Registry::REG_SZ, empty.path().toUtf8());
    EXPECT_EQ(SystemInfoTool::programPath(), QString());
    startSysInfo();
    EXPECT_TRUE(unavailableShown());
}

TEST_F(FrmAboutTest, NoValuesOrAProgramThatCannotStartAreReported)
{
    startSysInfo();
    EXPECT_TRUE(unavailableShown());

    ScriptedPrompts::instance().reset();
    writeValue(kMsinfoKey, "PATH", Registry::REG_SZ, m_dir.filePath("not there").toUtf8());
    frmAbout::instanceIfLoaded()->StartSysInfo();
    EXPECT_TRUE(unavailableShown());
}

TEST(SystemInfoToolTest, GetKeyValueTexts)
{
    const QString key = QStringLiteral("SOFTWARE\\Quillmere Tests\\Values");
    writeValue(key, "sz", Registry::REG_SZ, "C:\\Tools");
    writeValue(key, "sz raw", Registry::REG_SZ, "no closing nul", true);
    writeValue(key, "small", Registry::REG_DWORD, QByteArray::fromHex("05010000"), true);
    writeValue(key, "large", Registry::REG_DWORD, QByteArray::fromHex("78563412"), true);
    writeValue(key, "zero", Registry::REG_DWORD, QByteArray::fromHex("00000000"), true);
    writeValue(key, "binary", Registry::REG_BINARY, QByteArray::fromHex("0102"), true);

    QString text = "before";
    EXPECT_TRUE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "sz", text));
    EXPECT_EQ(text, "C:\\Tools");
    EXPECT_TRUE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "sz raw", text));
    EXPECT_EQ(text, "no closing nul");
    EXPECT_TRUE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "small", text));
    EXPECT_EQ(text, "&h105");
    EXPECT_TRUE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "large", text));
    EXPECT_EQ(text, "&h12345678");
    EXPECT_TRUE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "zero", text));
    EXPECT_EQ(text, "&h0");
    text = "kept";
    EXPECT_TRUE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "binary", text));
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "missing", text));
    EXPECT_EQ(text, QString());
    text = "x";
    EXPECT_FALSE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key + "\\none", "sz", text));
    EXPECT_EQ(text, QString());
}

TEST(SystemInfoToolTest, ValuesTooLongForTheBufferAreNotRead)
{
    const QString key = QStringLiteral("SOFTWARE\\Quillmere Tests\\Long");
    writeValue(key, "long", Registry::REG_SZ, QByteArray(2000, 'a'));
    QString text = "x";
    EXPECT_FALSE(SystemInfoTool::GetKeyValue(HKEY_LOCAL_MACHINE, key, "long", text));
    EXPECT_EQ(text, QString());
}

TEST(SystemInfoToolTest, ReadOnlyMachineKeysCanStillBeRead)
{
    writeValue(kMsinfoKey, "PATH", Registry::REG_SZ, "/opt/tool");
    Registry::setRootReadOnly(HKEY_LOCAL_MACHINE, true);
    const QString path = SystemInfoTool::programPath();
    Registry::setRootReadOnly(HKEY_LOCAL_MACHINE, false);
    removeValue(kMsinfoKey, "PATH");
    EXPECT_EQ(path, "/opt/tool");
}

}
