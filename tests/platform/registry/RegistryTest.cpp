#include "OrdinaryUser.h"
#include "Registry.h"
#include "ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

const QString kSettings = QStringLiteral("SOFTWARE\\Brindlecove\\Quillmere Settings");

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Registry::setDatabasePath(dir.filePath("registry.db"));
        ScriptedPrompts::instance().reset();
    }
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

// Bad header, truncated file, damaged page: each is kept aside under a name
// of its own, a fresh store takes its place, and the user is told once.
TEST_F(RegistryTest, DamagedStoreIsKeptAsideAndAFreshOneStarts)
{
    const QList<std::function<void(QFile &)>> damages = {
        [](QFile &f) { f.write("not a database!!"); },
        [](QFile &f) { f.resize(f.size() / 2); },
        [](QFile &f) { f.seek(4096); f.write(QByteArray(4096, '\xab')); }};
    for (int i = 0; i < damages.size(); ++i) {
        SCOPED_TRACE(i);
        QTemporaryDir folder;
        const QString path = folder.filePath("registry.db");
        Registry::setDatabasePath(path);
        HKEY key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove");
        const QByteArray text(200, 'v');
        for (int n = 0; n < 100; ++n)
            Registry::setValue(key, QString("V%1").arg(n), Registry::REG_SZ, text.constData(), 200);
        Registry::closeKey(key);
        Registry::setDatabasePath(QString());   // closes the store
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        damages[i](file);
        file.close();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray damaged = file.readAll();
        file.close();

        ScriptedPrompts::instance().reset();
        Registry::setDatabasePath(path);
        EXPECT_EQ(Registry::openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove", Registry::KEY_READ, &key),
                  Registry::NotFound);
        key = create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brindlecove");
        EXPECT_EQ(Registry::setValue(key, "FullScreen", Registry::REG_SZ, "0", 1), Registry::Success);
        Registry::closeKey(key);

        const QStringList aside = QDir(folder.path()).entryList({"registry.db.damaged-*"});
        ASSERT_EQ(aside.size(), 1) << aside.join(' ').toStdString();
        QFile kept(folder.filePath(aside[0]));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_TRUE(kept.readAll() == damaged) << "the old file stays for recovery";
        const auto &messages = ScriptedPrompts::instance().messages;
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].title, "Quillmere");
        EXPECT_TRUE(messages[0].text.contains(aside[0])) << messages[0].text.toStdString();
    }
}

// A lock held by another connection beyond the busy wait fails the first
// call; the next call opens the store.
TEST_F(RegistryTest, StoreLockedAtFirstOpensOnALaterCall)
{
    const QString path = dir.filePath("locked.db");
    sqlite3 *holder = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "CREATE TABLE other(x); BEGIN EXCLUSIVE; INSERT INTO other VALUES (1)",
                           nullptr, nullptr, nullptr), SQLITE_OK);
    Registry::setDatabasePath(path);
    HKEY key = 0;
    EXPECT_NE(Registry::createKey(HKEY_CURRENT_USER, "Later", Registry::KEY_ALL_ACCESS, &key), Registry::Success);
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(Registry::createKey(HKEY_CURRENT_USER, "Later", Registry::KEY_ALL_ACCESS, &key), Registry::Success);
    Registry::closeKey(key);
    EXPECT_TRUE(ScriptedPrompts::instance().messages.isEmpty()) << "a locked store is no damaged one";
}

// Run as an ordinary user by StoreThatCannotBeWrittenIsStillRead: reads the
// store it is given, the way the settings are read, and fails to save. A
// damaged one it cannot replace is said once, and nothing is read from it.
TEST_F(RegistryTest, ChildReadsButCannotSave)
{
    if (!OrdinaryUser::isChild())
        GTEST_SKIP() << "run as an ordinary user by StoreThatCannotBeWrittenIsStillRead";
    if (qEnvironmentVariableIsSet("QMR_DAMAGED")) {
        Registry::setDatabasePath(qEnvironmentVariable("QMR_REGISTRY_DB"));
        HKEY key = 0;
        for (int call = 0; call < 3; ++call)
            EXPECT_EQ(Registry::openKey(HKEY_LOCAL_MACHINE, kSettings, Registry::KEY_READ, &key), Registry::Failure);
        ASSERT_EQ(ScriptedPrompts::instance().messages.size(), 1);
        EXPECT_TRUE(ScriptedPrompts::instance().messages[0].text.contains(qEnvironmentVariable("QMR_REGISTRY_DB")));
        return;
    }
    if (const qint64 limit = qEnvironmentVariable("QMR_FILE_SIZE_LIMIT").toLongLong(); limit > 0) {
        std::signal(SIGXFSZ, SIG_IGN);   // a write past the limit fails as on a full disk
        const rlimit size{rlim_t(limit), rlim_t(limit)};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &size), 0);
    }
    Registry::setDatabasePath(qEnvironmentVariable("QMR_REGISTRY_DB"));
    HKEY key = 0;
    long opened = Registry::openKey(HKEY_LOCAL_MACHINE, kSettings, Registry::KEY_ALL_ACCESS, &key);
    if (opened == Registry::AccessDenied)
        opened = Registry::openKey(HKEY_LOCAL_MACHINE, kSettings, Registry::KEY_READ, &key);
    ASSERT_EQ(opened, Registry::Success);
    EXPECT_EQ(read(key, "FullScreen"), QByteArray("0\0", 2));
    Registry::closeKey(key);

    HKEY made = 0;
    const bool saved = Registry::createKey(HKEY_LOCAL_MACHINE, kSettings, Registry::KEY_ALL_ACCESS, &made)
                           == Registry::Success
        && Registry::setValue(made, "FullScreen", Registry::REG_SZ, "-1", 2) == Registry::Success;
    EXPECT_FALSE(saved);
    Registry::closeKey(made);
}

TEST_F(RegistryTest, StoreThatCannotBeWrittenIsStillRead)
{
    QString why;
    if (OrdinaryUser::isChild() || !OrdinaryUser::account(&why))
        GTEST_SKIP() << why.toStdString();
    for (const QString how : {"folder", "file", "full", "damaged"}) {
        SCOPED_TRACE(how.toStdString());
        const QString folder = dir.filePath(how);
        QProcessEnvironment env = OrdinaryUser::environmentIn(folder);
        const QString path = folder + "/data/registry.db";
        Registry::setDatabasePath(path);
        HKEY key = create(HKEY_LOCAL_MACHINE, kSettings);
        Registry::setValue(key, "FullScreen", Registry::REG_SZ, "0", 1);
        Registry::closeKey(key);
        Registry::setDatabasePath(QString());
        ASSERT_TRUE(OrdinaryUser::handOver(folder));
        if (how == "damaged") {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, 'x'));
            env.insert("QMR_DAMAGED", "1");
        }
        if (how == "folder" || how == "damaged")
            QFile::setPermissions(folder + "/data", QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        else if (how == "file")
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
        else
            env.insert("QMR_FILE_SIZE_LIMIT", QString::number(QFileInfo(path).size()));
        env.insert("QMR_REGISTRY_DB", path);
        const OrdinaryUser::Result child = OrdinaryUser::runTest("RegistryTest.ChildReadsButCannotSave", env);
        EXPECT_TRUE(child.finished && child.exitCode == 0) << child.output.constData();
        EXPECT_FALSE(child.output.contains("[  SKIPPED ]")) << child.output.constData();
    }
}

// Two processes creating the same key at once both keep their values. The
// test holds the store's write lock while both look for the key, so both
// find it missing unless the lookup waits for the lock too.
TEST_F(RegistryTest, KeyCreatedByTwoProcessesAtOnceKeepsBothValues)
{
    Registry::closeKey(create(HKEY_CURRENT_USER, "Race"));
    QProcess writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i].start(QStringLiteral(QMR_REGISTRY_WRITER), {dir.filePath("registry.db"), QString("P%1").arg(i)});
        ASSERT_TRUE(writers[i].waitForStarted(5000) && writers[i].waitForReadyRead(10000));
    }
    sqlite3 *holder = nullptr;
    ASSERT_EQ(sqlite3_open(dir.filePath("registry.db").toUtf8().constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (QProcess &writer : writers) {
        writer.write("\n");
        writer.waitForBytesWritten(1000);
    }
    QThread::msleep(150);
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    for (QProcess &writer : writers) {
        ASSERT_TRUE(writer.waitForFinished(10000));
        EXPECT_EQ(writer.exitCode(), 0) << "a value was lost";
    }
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
