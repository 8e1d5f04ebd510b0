#include "CRegister.h"
#include "LoggedWarnings.h"

#include <gtest/gtest.h>

namespace {

const QString kSection = "SOFTWARE\\Brindlecove\\Quillmere Settings\\";

class CRegisterTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        Registry::setRootReadOnly(HKEY_LOCAL_MACHINE, false);
        reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove\\Quillmere Settings");
    }

    // Writes bytes as another program would, without the terminator rule.
    void storeRaw(const QString &name, std::uint32_t type, const QByteArray &bytes)
    {
        HKEY key = 0;
        ASSERT_EQ(Registry::createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove\\Quillmere Settings",
                                      Registry::KEY_ALL_ACCESS, &key), Registry::Success);
        Registry::setValueRaw(key, name, type, bytes);
        Registry::closeKey(key);
    }

    CRegister reg;
};

TEST_F(CRegisterTest, SavedValuesReadBackUnchanged)
{
    for (const char *value : {"-1", "0", "2000", "ümlaut value"}) {
        EXPECT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, "Slide Show Delay", value));
        EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "Slide Show Delay", "x"), value);
    }
}

TEST_F(CRegisterTest, EmptyValueIsNoDataAndReadsAsTheDefault)
{
    EXPECT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, "AntiAlias", ""));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "AntiAlias", "1"), "1");
}

TEST_F(CRegisterTest, MissingSectionOrValueReadsAsTheDefault)
{
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nowhere", "AntiAlias", "1"), "1");
    reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, "FullScreen", "0");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "Missing", "d"), "d");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "Missing"), "");
}

TEST_F(CRegisterTest, ReadOnlyRootStillReadsButRefusesSaves)
{
    reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, "FullScreen", "-1");
    Registry::setRootReadOnly(HKEY_LOCAL_MACHINE, true);
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "FullScreen", "1"), "-1");
    {
        // The viewer does not look at the result: the log is the refusal's one trace.
        const LoggedWarnings log;
        EXPECT_FALSE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, "FullScreen", "0"));
        EXPECT_TRUE(log.has("qmr.settings", "\"FullScreen\" under " + kSection));
    }
    EXPECT_FALSE(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, kSection, "FullScreen"));
    Registry::setRootReadOnly(HKEY_LOCAL_MACHINE, false);
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "FullScreen", "1"), "-1");
}

TEST_F(CRegisterTest, LastStoredByteIsAlwaysDropped)
{
    storeRaw("NoTerminator", Registry::REG_SZ, "abc");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "NoTerminator", "d"), "ab");
    storeRaw("OnlyTerminator", Registry::REG_SZ, QByteArray(1, '\0'));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "OnlyTerminator", "d"), "");
    // A number stored under the name comes back as its first three bytes.
    storeRaw("Number", Registry::REG_DWORD, QByteArray("\x41\x42\x43\x00", 4));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "Number", "d"), "ABC");
    storeRaw("Delay", Registry::REG_DWORD, QByteArray("\xd0\x07\x00\x00", 4));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "Delay", "d").size(), 3);
}

TEST_F(CRegisterTest, SectionLosesOneBackslashAtEachEnd)
{
    EXPECT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Brindlecove\\Quillmere Settings\\", "v", "1"));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove\\Quillmere Settings", "v"), "1");
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove\\Quillmere Settings\\\\", "v"), "1");
    // A section of one backslash is the root itself.
    EXPECT_TRUE(reg.REGSaveSetting(HKEY_CURRENT_USER, "\\", "AtRoot", "r"));
    EXPECT_EQ(reg.REGGetSetting(HKEY_CURRENT_USER, "", "AtRoot"), "r");
    reg.REGDeleteSetting(HKEY_CURRENT_USER, "", "AtRoot");
}

TEST_F(CRegisterTest, StarNamesTheDefaultValue)
{
    EXPECT_TRUE(reg.REGSaveSetting(HKEY_LOCAL_MACHINE, kSection, "*", "default text"));
    HKEY key = 0;
    ASSERT_EQ(Registry::openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove\\Quillmere Settings",
                                Registry::KEY_READ, &key), Registry::Success);
    std::uint32_t size = 0;
    EXPECT_EQ(Registry::queryValue(key, "", nullptr, nullptr, &size), Registry::Success);
    EXPECT_EQ(size, 13u);
    Registry::closeKey(key);
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "*"), "default text");
    EXPECT_TRUE(reg.REGDeleteSetting(HKEY_LOCAL_MACHINE, kSection, "*"));
    EXPECT_EQ(reg.REGGetSetting(HKEY_LOCAL_MACHINE, kSection, "*", "gone"), "gone");
}

TEST_F(CRegisterTest, DeletingAWholeKeyAndListingSubkeys)
{
    reg.REGSaveSetting(HKEY_CURRENT_USER, "Software\\Test\\B", "v", "1");
    reg.REGSaveSetting(HKEY_CURRENT_USER, "Software\\Test\\a", "v", "1");
    EXPECT_EQ(reg.GetAllKeys(HKEY_CURRENT_USER, "Software\\Test"), QStringList({"a", "B"}));
    EXPECT_TRUE(reg.GetAllKeys(HKEY_CURRENT_USER, "Software\\Test\\a").isEmpty());
    EXPECT_TRUE(reg.GetAllKeys(HKEY_CURRENT_USER, "Software\\Missing").isEmpty());
    EXPECT_TRUE(reg.REGDeleteSetting(HKEY_CURRENT_USER, "Software\\Test\\a"));
    EXPECT_FALSE(reg.REGDeleteSetting(HKEY_CURRENT_USER, "Software\\Test\\a"));
    EXPECT_EQ(reg.GetAllKeys(HKEY_CURRENT_USER, "Software\\Test"), QStringList({"B"}));
    // A key that still has subkeys is not deleted.
    EXPECT_FALSE(reg.REGDeleteSetting(HKEY_CURRENT_USER, "Software\\Test"));
}

}
