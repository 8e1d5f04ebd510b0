#include "Registry.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { Registry::setDatabasePath(dir.filePath("registry.db")); }
    void TearDown() override
    {
        Registry::setRootReadOnly(HKEY_LOCAL_MACHINE, false);
        Registry::setDatabasePath(QString());
    }

    HKEY create(HKEY root, const QString &path)
    {
        HKEY key = 0;
        EXPECT_EQ(Registry::createKey(root, path, Registry::KEY_ALL_ACCESS, &key), Registry::Success);
        return key;
    }

    QByteArray read(HKEY key, const QString &name, std::uint32_t *type = nullptr)
    {
        std::uint32_t size = 0;
        if (Registry::queryValue(key, name, type, nullptr, &size) != Registry::Success)
            return "<missing>";
        QByteArray buffer(int(size), ' ');
        EXPECT_EQ(Registry::queryValue(key, name, type, buffer.data(), &size), Registry::Success);
        return buffer;
    }

    QTemporaryDir dir;
};

TEST_F(RegistryTest, KeysAreFoundWhateverTheirLetterCase)
{
    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove\\Quillmere Settings");
    Registry::closeKey(key);
    HKEY again = 0;
    EXPECT_EQ(Registry::openKey(HKEY_LOCAL_MACHINE, "software\\BRINDLECOVE\\quillmere settings",
                                Registry::KEY_READ, &again), Registry::Success);
    Registry::closeKey(again);
    EXPECT_EQ(Registry::openKey(HKEY_CURRENT_USER, "SOFTWARE\\Brindlecove", Registry::KEY_READ, &again),
              Registry::NotFound);
}

TEST_F(RegistryTest, StringValuesGetTheirTerminatorAndKeepTheirType)
{
    HKEY key = create(HKEY_CURRENT_USER, "A");
    ASSERT_EQ(Registry::setValue(key, "Name", Registry::REG_SZ, "abc", 3), Registry::Success);
    std::uint32_t type = 0;
    EXPECT_EQ(read(key, "Name", &type), QByteArray("abc\0", 4));
    EXPECT_EQ(type, Registry::REG_SZ);
    // An empty string is no data at all.
    ASSERT_EQ(Registry::setValue(key, "Empty", Registry::REG_SZ, "", 0), Registry::Success);
    EXPECT_EQ(read(key, "Empty"), QByteArray());
    // Binary data is kept exactly, the default value has the empty name.
    const char number[4] = {'\xd0', '\x07', 0, 0};
    ASSERT_EQ(Registry::setValue(key, "", Registry::REG_DWORD, number, 4), Registry::Success);
    EXPECT_EQ(read(key, "", &type), QByteArray(number, 4));
    EXPECT_EQ(type, Registry::REG_DWORD);
    Registry::closeKey(key);
}

TEST_F(RegistryTest, SmallBufferReportsTheSizeItNeeds)
{
    HKEY key = create(HKEY_CURRENT_USER, "A");
    Registry::setValue(key, "v", Registry::REG_SZ, "hello", 5);
    char buffer[3];
    std::uint32_t size = sizeof(buffer);
    EXPECT_EQ(Registry::queryValue(key, "v", nullptr, buffer, &size), Registry::MoreData);
    EXPECT_EQ(size, 6u);
    Registry::closeKey(key);
}

TEST_F(RegistryTest, SubkeysAreListedByNameAndDeletedOnlyWhenEmpty)
{
    Registry::closeKey(create(HKEY_CLASSES_ROOT, "Root\\beta"));
    Registry::closeKey(create(HKEY_CLASSES_ROOT, "Root\\Alpha\\Inner"));
    HKEY root = create(HKEY_CLASSES_ROOT, "Root");
    QString name;
    ASSERT_EQ(Registry::enumKey(root, 0, &name), Registry::Success);
    EXPECT_EQ(name, "Alpha");
    ASSERT_EQ(Registry::enumKey(root, 1, &name), Registry::Success);
    EXPECT_EQ(name, "beta");
    EXPECT_EQ(Registry::enumKey(root, 2, &name), Registry::NoMoreItems);

    EXPECT_NE(Registry::deleteKey(root, "alpha"), Registry::Success);   // still has a subkey
    EXPECT_EQ(Registry::deleteKey(root, "Alpha\\Inner"), Registry::Success);
    EXPECT_EQ(Registry::deleteKey(root, "ALPHA"), Registry::Success);
    EXPECT_EQ(Registry::deleteKey(root, "Alpha"), Registry::NotFound);
    Registry::closeKey(root);
}

TEST_F(RegistryTest, HandleOfADeletedKeyFindsNothing)
{
    HKEY key = create(HKEY_CURRENT_USER, "Gone");
    EXPECT_EQ(Registry::deleteKey(HKEY_CURRENT_USER, "Gone"), Registry::Success);
    EXPECT_EQ(Registry::setValue(key, "x", Registry::REG_SZ, "1", 1), Registry::NotFound);
    Registry::closeKey(key);
    EXPECT_EQ(Registry::closeKey(key), Registry::InvalidHandle);
}

TEST_F(RegistryTest, ReadOnlyRootRefusesFullAccessButReads)
{
    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\X");
    Registry::setValue(key, "v", Registry::REG_SZ, "1", 1);
    Registry::closeKey(key);
    Registry::setRootReadOnly(HKEY_LOCAL_MACHINE, true);

    HKEY opened = 0;
    EXPECT_EQ(Registry::openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", Registry::KEY_ALL_ACCESS, &opened),
              Registry::AccessDenied);
    EXPECT_EQ(Registry::createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Y", Registry::KEY_ALL_ACCESS, &opened),
              Registry::AccessDenied);
    ASSERT_EQ(Registry::openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\X", Registry::KEY_READ, &opened), Registry::Success);
    EXPECT_EQ(read(opened, "v"), QByteArray("1\0", 2));
    EXPECT_EQ(Registry::setValue(opened, "v", Registry::REG_SZ, "2", 1), Registry::AccessDenied);
    Registry::closeKey(opened);
    EXPECT_EQ(Registry::deleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\X"), Registry::AccessDenied);
}

TEST_F(RegistryTest, ValuesSurviveReopeningTheStore)
{
    HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Keep");
    Registry::setValue(key, "FullScreen", Registry::REG_SZ, "-1", 2);
    Registry::closeKey(key);
    Registry::setDatabasePath(dir.filePath("registry.db"));   // closes and reopens
    ASSERT_EQ(Registry::openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Keep", Registry::KEY_READ, &key), Registry::Success);
    EXPECT_EQ(read(key, "fullscreen"), QByteArray("-1\0", 3));
    Registry::closeKey(key);
}

TEST_F(RegistryTest, DamagedStoreFailsQuietly)
{
    const QString path = dir.filePath("damaged.db");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    Registry::setDatabasePath(path);
    HKEY key = 0;
    EXPECT_NE(Registry::openKey(HKEY_LOCAL_MACHINE, "SOFTWARE", Registry::KEY_READ, &key), Registry::Success);
    EXPECT_NE(Registry::createKey(HKEY_LOCAL_MACHINE, "SOFTWARE", Registry::KEY_ALL_ACCESS, &key), Registry::Success);
    std::uint32_t size = 0;
    EXPECT_NE(Registry::queryValue(HKEY_LOCAL_MACHINE, "x", nullptr, nullptr, &size), Registry::Success);
    // The user's damaged file is left as it was.
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray(8192, 'x'));
}

TEST_F(RegistryTest, WriterKilledMidWriteLeavesAConsistentStore)
{
    const QString path = dir.filePath("killed.db");
    for (int round = 0; round < 3; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(QMR_REGISTRY_WRITER), {path});
        ASSERT_TRUE(writer.waitForStarted(5000));
        ASSERT_TRUE(writer.waitForReadyRead(10000));
        QThread::msleep(50 + 40 * round);
        writer.kill();
        writer.waitForFinished(5000);
    }
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_stmt *stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), "ok");
    sqlite3_finalize(stmt);
    sqlite3_close(db);

    Registry::setDatabasePath(path);
    HKEY key = 0;
    ASSERT_EQ(Registry::openKey(HKEY_CURRENT_USER, "SOFTWARE\\Writer\\K0", Registry::KEY_READ, &key),
              Registry::Success);
    const QByteArray counter = read(key, "Counter");
    EXPECT_TRUE(counter.endsWith('\0'));
    bool isNumber = false;
    counter.chopped(1).toLongLong(&isNumber);
    EXPECT_TRUE(isNumber) << counter.constData();
    Registry::closeKey(key);
}

}
