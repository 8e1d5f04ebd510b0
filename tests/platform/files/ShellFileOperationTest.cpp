// The shell's file-operation service on real files in a temporary folder.

#include "ShellFileOperation.h"
#include "OrdinaryUser.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QDateTime>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ShellFileOperationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        prompts().reset();
        ASSERT_TRUE(m_dir.isValid());
    }

    static ScriptedPrompts &prompts() { return ScriptedPrompts::instance(); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString make(const QString &name, const QByteArray &bytes = "content")
    {
        const QString p = path(name);
        EXPECT_TRUE(TestFiles::writeBytes(p, bytes));
        return p;
    }

    static int run(unsigned func, const QString &from, const QString &to = QString(), unsigned flags = 0,
                   bool *aborted = nullptr)
    {
        SHFILEOPSTRUCT op;
        op.wFunc = func;
        op.pFrom = from + QChar(u'\0');
        op.pTo = to.isEmpty() ? QString() : to + QChar(u'\0');
        op.fFlags = flags;
        const int result = SHFileOperation(op);
        if (aborted)
            *aborted = op.fAnyOperationsAborted;
        return result;
    }

    static QString list(const QStringList &paths) { return paths.join(QChar(u'\0')); }

    static QStringList namesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    static QString trashFolder()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
    }

    QTemporaryDir m_dir;
};

// A limit on the size of the files this process writes: writes past it fail
// as on a full disk, even for root, for whom permissions fail nothing.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved;
};

bool onAnotherFileSystem(const QString &a, const QString &b)
{
    struct stat sa, sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
        && sa.st_dev != sb.st_dev && ::access(QFile::encodeName(b).constData(), W_OK) == 0;
}

TEST(ShellFileOperationPathList, SplitsOnNulAndIgnoresTheClosingPair)
{
    EXPECT_EQ(splitPathList(QStringLiteral("a b")), QStringList{"a b"});
    EXPECT_EQ(splitPathList(QString("/x/a") + QChar(u'\0') + "/x/b" + QChar(u'\0') + QChar(u'\0')),
              (QStringList{"/x/a", "/x/b"}));
    EXPECT_TRUE(splitPathList(QString()).isEmpty());
}

// ---- copy ----

TEST_F(ShellFileOperationTest, CopyWritesTheFullTargetPathAndKeepsTheSource)
{
    const QString src = make("a.jpg", "jpeg bytes");
    QDir().mkpath(path("dest"));
    EXPECT_EQ(run(FO_COPY, src, path("dest/a.jpg")), 0);
    EXPECT_EQ(TestFiles::readBytes(path("dest/a.jpg")), QByteArray("jpeg bytes"));
    EXPECT_TRUE(QFile::exists(src));
    EXPECT_EQ(namesIn(path("dest")), QStringList{"a.jpg"});   // no temporary left
    EXPECT_TRUE(prompts().messages.isEmpty());
}

TEST_F(ShellFileOperationTest, CopyKeepsModificationTimeAndPermissions)
{
    const QString src = make("a.jpg");
    QFile::setPermissions(src, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    QFile f(src);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1500000000);
    f.setFileTime(stamp, QFileDevice::FileModificationTime);
    f.close();
    EXPECT_EQ(run(FO_COPY, src, path("b.jpg")), 0);
    EXPECT_EQ(QFileInfo(path("b.jpg")).lastModified(), stamp);
    EXPECT_EQ(QFile::permissions(path("b.jpg")), QFile::permissions(src));
}

TEST_F(ShellFileOperationTest, OneSourceToAnExistingFolderGoesIntoIt)
{
    const QString src = make("a.jpg");
    QDir().mkpath(path("dest"));
    EXPECT_EQ(run(FO_COPY, src, path("dest")), 0);
    EXPECT_TRUE(QFile::exists(path("dest/a.jpg")));
}

TEST_F(ShellFileOperationTest, SeveralSourcesGoIntoTheFolderByTheirOwnNames)
{
    const QString a = make("a.jpg", "A");
    const QString b = make("b.png", "B");
    QDir().mkpath(path("dest"));
    EXPECT_EQ(run(FO_COPY, list({a, b}), path("dest")), 0);
    EXPECT_EQ(TestFiles::readBytes(path("dest/a.jpg")), QByteArray("A"));
    EXPECT_EQ(TestFiles::readBytes(path("dest/b.png")), QByteArray("B"));
}

TEST_F(ShellFileOperationTest, AwkwardNamesAreHandledWithoutAShell)
{
    QDir().mkpath(path("dest"));
    for (const QString &name : {QStringLiteral("with blank.jpg"), QStringLiteral("quo\"te's.jpg"),
                                QStringLiteral("Grüße ß.jpg"), QStringLiteral("new\nline.jpg"),
                                QStringLiteral("-rf.jpg"), QStringLiteral("$(x) `y`.jpg")}) {
        const QString src = make(name, name.toUtf8());
        EXPECT_EQ(run(FO_COPY, src, path("dest/") + name), 0) << name.toStdString();
        EXPECT_EQ(TestFiles::readBytes(path("dest/") + name), name.toUtf8());
        EXPECT_EQ(run(FO_RENAME, src, path("r-") + name), 0);
        EXPECT_EQ(run(FO_MOVE, path("r-") + name, path("dest/m-") + name), 0);
        EXPECT_EQ(run(FO_DELETE, path("dest/m-") + name), 0);
        EXPECT_FALSE(QFile::exists(path("dest/m-") + name));
    }
}

TEST_F(ShellFileOperationTest, ReplacingAnExistingFileAsksFirst)
{
    const QString src = make("a.jpg", "new");
    const QString dst = make("dest/a.jpg", "old");

    prompts().answerMessage(Prompts::No);
    bool aborted = false;
    EXPECT_NE(run(FO_COPY, src, dst, 0, &aborted), 0);
    EXPECT_TRUE(aborted);
    EXPECT_EQ(TestFiles::readBytes(dst), QByteArray("old"));
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_TRUE(prompts().messages[0].text.contains("a.jpg"));
    EXPECT_EQ(prompts().messages[0].style & 0x7, int(Prompts::YesNo));

    prompts().answerMessage(Prompts::Yes);
    EXPECT_EQ(run(FO_COPY, src, dst), 0);
    EXPECT_EQ(TestFiles::readBytes(dst), QByteArray("new"));
    EXPECT_EQ(namesIn(path("dest")), QStringList{"a.jpg"});
}

TEST_F(ShellFileOperationTest, CancelInTheMiddleOfSeveralStopsThere)
{
    const QString a = make("a", "A1");
    const QString b = make("b", "B1");
    const QString c = make("c", "C1");
    make("dest/a", "A0");
    make("dest/b", "B0");
    prompts().answerMessage(Prompts::No);       // keep the old a
    prompts().answerMessage(Prompts::Cancel);   // stop at b
    EXPECT_EQ(run(FO_COPY, list({a, b, c}), path("dest")), int(ERROR_CANCELLED));
    EXPECT_EQ(TestFiles::readBytes(path("dest/a")), QByteArray("A0"));
    EXPECT_EQ(TestFiles::readBytes(path("dest/b")), QByteArray("B0"));
    EXPECT_FALSE(QFile::exists(path("dest/c")));
}

TEST_F(ShellFileOperationTest, CopyOntoItselfIsRefused)
{
    const QString src = make("a.jpg", "keep");
    EXPECT_EQ(run(FO_COPY, src, src), int(DE_SAMEFILE));
    EXPECT_EQ(TestFiles::readBytes(src), QByteArray("keep"));
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(prompts().messages[0].style & 0x70, int(Prompts::Critical));
}

TEST_F(ShellFileOperationTest, MissingSourceFailsWithAMessageAndChangesNothing)
{
    QDir().mkpath(path("dest"));
    EXPECT_EQ(run(FO_COPY, path("nothing.jpg"), path("dest/nothing.jpg")), int(DE_INVALIDFILES));
    EXPECT_TRUE(namesIn(path("dest")).isEmpty());
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(prompts().messages[0].style & 0x70, int(Prompts::Critical));
}

TEST_F(ShellFileOperationTest, AMissingDestinationFolderIsMadeOnlyWhenTheUserAgrees)
{
    const QString src = make("a.jpg");
    prompts().answerMessage(Prompts::No);
    EXPECT_EQ(run(FO_COPY, src, path("new/a.jpg")), int(ERROR_CANCELLED));
    EXPECT_FALSE(QFileInfo::exists(path("new")));

    prompts().answerMessage(Prompts::Yes);
    EXPECT_EQ(run(FO_COPY, src, path("new/a.jpg")), 0);
    EXPECT_TRUE(QFile::exists(path("new/a.jpg")));
}

TEST_F(ShellFileOperationTest, AFailingCopyLeavesNoPartialFile)
{
    const QString src = make("big.bin", QByteArray(3 << 20, 'x'));
    QDir().mkpath(path("dest"));
    {
        FileSizeLimit limit(512 * 1024);
        EXPECT_NE(run(FO_COPY, src, path("dest/big.bin")), 0);
    }
    EXPECT_TRUE(namesIn(path("dest")).isEmpty());
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_EQ(prompts().messages[0].style & 0x70, int(Prompts::Critical));
    EXPECT_EQ(QFileInfo(src).size(), qint64(3 << 20));
}

TEST_F(ShellFileOperationTest, AFailingReplaceKeepsTheOldFile)
{
    const QString src = make("big.bin", QByteArray(3 << 20, 'n'));
    const QString dst = make("dest/big.bin", "old");
    prompts().answerMessage(Prompts::Yes);
    {
        FileSizeLimit limit(512 * 1024);
        EXPECT_NE(run(FO_COPY, src, dst), 0);
    }
    EXPECT_EQ(TestFiles::readBytes(dst), QByteArray("old"));
    EXPECT_EQ(namesIn(path("dest")), QStringList{"big.bin"});
}

TEST_F(ShellFileOperationTest, CopyIntoAReadOnlyFolderFailsCleanly)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    const QString src = make("a.jpg");
    QDir().mkpath(path("ro"));
    QFile::setPermissions(path("ro"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_NE(run(FO_COPY, src, path("ro/a.jpg")), 0);
    QFile::setPermissions(path("ro"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(namesIn(path("ro")).isEmpty());
}

// ---- folders ----

TEST_F(ShellFileOperationTest, FoldersAreCopiedWholeWithTheirLinks)
{
    make("tree/one.jpg", "1");
    make("tree/sub/two.jpg", "2");
    make("tree/.hidden", "h");
    ASSERT_EQ(::symlink("one.jpg", QFile::encodeName(path("tree/link")).constData()), 0);
    EXPECT_EQ(run(FO_COPY, path("tree"), path("copy")), 0);
    EXPECT_EQ(TestFiles::readBytes(path("copy/sub/two.jpg")), QByteArray("2"));
    EXPECT_EQ(TestFiles::readBytes(path("copy/.hidden")), QByteArray("h"));
    EXPECT_EQ(QFileInfo(path("copy/link")).symLinkTarget(), path("copy/one.jpg"));
    EXPECT_EQ(namesIn(m_dir.path()), (QStringList{"copy", "tree"}));
}

TEST_F(ShellFileOperationTest, AFolderIsNeverCopiedIntoItself)
{
    make("tree/one.jpg");
    EXPECT_EQ(run(FO_COPY, path("tree"), path("tree/inner")), int(DE_DESTSUBTREE));
    EXPECT_EQ(run(FO_MOVE, path("tree"), path("tree/inner")), int(DE_DESTSUBTREE));
    EXPECT_EQ(namesIn(path("tree")), QStringList{"one.jpg"});
}

TEST_F(ShellFileOperationTest, CopyOntoAnExistingFolderMergesAfterTheQuestion)
{
    make("a/pic/x.jpg", "new x");
    make("a/pic/y.jpg", "new y");
    make("b/pic/x.jpg", "old x");
    make("b/pic/z.jpg", "old z");

    prompts().answerMessage(Prompts::No);
    EXPECT_NE(run(FO_COPY, path("a/pic"), path("b")), 0);
    EXPECT_EQ(TestFiles::readBytes(path("b/pic/x.jpg")), QByteArray("old x"));

    prompts().answerMessage(Prompts::Yes);
    EXPECT_EQ(run(FO_COPY, path("a/pic"), path("b")), 0);
    EXPECT_EQ(TestFiles::readBytes(path("b/pic/x.jpg")), QByteArray("new x"));
    EXPECT_EQ(TestFiles::readBytes(path("b/pic/y.jpg")), QByteArray("new y"));
    EXPECT_EQ(TestFiles::readBytes(path("b/pic/z.jpg")), QByteArray("old z"));
}

TEST_F(ShellFileOperationTest, MoveOfAFolderOntoAFolderMergesAndRemovesTheSource)
{
    make("a/pic/x.jpg", "new x");
    make("b/pic/z.jpg", "old z");
    prompts().answerMessage(Prompts::Yes);
    EXPECT_EQ(run(FO_MOVE, path("a/pic"), path("b")), 0);
    EXPECT_FALSE(QFileInfo::exists(path("a/pic")));
    EXPECT_EQ(namesIn(path("b/pic")), (QStringList{"x.jpg", "z.jpg"}));
}

// ---- move ----

TEST_F(ShellFileOperationTest, MoveTakesTheFileAway)
{
    const QString src = make("a.jpg", "A");
    QDir().mkpath(path("dest"));
    EXPECT_EQ(run(FO_MOVE, src, path("dest/a.jpg")), 0);
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_EQ(TestFiles::readBytes(path("dest/a.jpg")), QByteArray("A"));
}

TEST_F(ShellFileOperationTest, DeclinedReplaceOnMoveKeepsBothFiles)
{
    const QString src = make("a.jpg", "new");
    const QString dst = make("dest/a.jpg", "old");
    prompts().answerMessage(Prompts::No);
    EXPECT_NE(run(FO_MOVE, src, dst), 0);
    EXPECT_EQ(TestFiles::readBytes(src), QByteArray("new"));
    EXPECT_EQ(TestFiles::readBytes(dst), QByteArray("old"));
}

TEST_F(ShellFileOperationTest, MoveToAnotherFileSystemCopiesThenRemoves)
{
    QTemporaryDir other(QStringLiteral("/dev/shm/qmr-move-XXXXXX"));
    if (!other.isValid() || !onAnotherFileSystem(m_dir.path(), other.path()))
        GTEST_SKIP() << "no second file system";
    make("tree/a.jpg", "A");
    make("tree/sub/b.jpg", "B");
    const QString file = make("c.jpg", QByteArray(2 << 20, 'c'));
    EXPECT_EQ(run(FO_MOVE, path("tree"), other.filePath("tree")), 0);
    EXPECT_EQ(run(FO_MOVE, file, other.filePath("c.jpg")), 0);
    EXPECT_FALSE(QFileInfo::exists(path("tree")));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(TestFiles::readBytes(other.filePath("tree/sub/b.jpg")), QByteArray("B"));
    EXPECT_EQ(QFileInfo(other.filePath("c.jpg")).size(), qint64(2 << 20));
}

TEST_F(ShellFileOperationTest, AFailedMoveToAnotherFileSystemKeepsTheSource)
{
    QTemporaryDir other(QStringLiteral("/dev/shm/qmr-move-XXXXXX"));
    if (!other.isValid() || !onAnotherFileSystem(m_dir.path(), other.path()))
        GTEST_SKIP() << "no second file system";
    const QString file = make("c.jpg", QByteArray(3 << 20, 'c'));
    {
        FileSizeLimit limit(512 * 1024);
        EXPECT_NE(run(FO_MOVE, file, other.filePath("c.jpg")), 0);
    }
    EXPECT_EQ(QFileInfo(file).size(), qint64(3 << 20));
    EXPECT_TRUE(namesIn(other.path()).isEmpty());
}

// Root may remove anything, so the test runs as an ordinary user: a photo
// in a write-protected folder, and a folder in it whose files alone could
// go, neither half-moved nor copied, and the file it would replace kept.
TEST_F(ShellFileOperationTest, AMoveWhoseSourceCannotBeRemovedChangesNothing)
{
    if (::geteuid() == 0 && !OrdinaryUser::isChild()) {
        QString why;
        if (!OrdinaryUser::account(&why))
            GTEST_SKIP() << qPrintable(why);
        const QTemporaryDir home;
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        const auto result = OrdinaryUser::runTest(QString("%1.%2").arg(test->test_suite_name(), test->name()),
                                                  OrdinaryUser::environmentIn(home.path()));
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 0) << result.output.constData();
        return;
    }
    QTemporaryDir other(QStringLiteral("/dev/shm/qmr-move-XXXXXX"));
    if (!other.isValid() || !onAnotherFileSystem(m_dir.path(), other.path()))
        GTEST_SKIP() << "no second file system";
    const QString file = make("locked/a.jpg", "new");
    make("locked/tree/b.jpg", "B");
    TestFiles::writeBytes(other.filePath("a.jpg"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path("locked")).constData(), 0555), 0);
    prompts().answerMessage(Prompts::Yes);   // replace the old a.jpg
    EXPECT_EQ(run(FO_MOVE, file, other.filePath("a.jpg")), int(DE_ACCESSDENIEDSRC));
    EXPECT_EQ(run(FO_MOVE, path("locked/tree"), other.filePath("tree")), int(DE_ACCESSDENIEDSRC));
    ::chmod(QFile::encodeName(path("locked")).constData(), 0755);

    EXPECT_EQ(TestFiles::readBytes(file), QByteArray("new"));
    EXPECT_EQ(TestFiles::readBytes(path("locked/tree/b.jpg")), QByteArray("B"));
    EXPECT_EQ(namesIn(other.path()), QStringList({"a.jpg"}));
    EXPECT_EQ(TestFiles::readBytes(other.filePath("a.jpg")), QByteArray("old"));
    ASSERT_EQ(prompts().messages.size(), 3);
    EXPECT_TRUE(prompts().messages[1].text.contains(QString::fromLocal8Bit(std::strerror(EACCES))));
}

// ---- rename ----

TEST_F(ShellFileOperationTest, RenameInPlace)
{
    const QString src = make("a.jpg", "A");
    EXPECT_EQ(run(FO_RENAME, src, path("b c.jpg")), 0);
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_EQ(TestFiles::readBytes(path("b c.jpg")), QByteArray("A"));
    EXPECT_EQ(run(FO_RENAME, path("b c.jpg"), path("b c.jpg")), 0);   // the same name: nothing to do
    EXPECT_TRUE(prompts().messages.isEmpty());
}

TEST_F(ShellFileOperationTest, RenameOntoAnotherFileAsksAndNoKeepsBoth)
{
    const QString a = make("a.jpg", "A");
    const QString b = make("b.jpg", "B");
    prompts().answerMessage(Prompts::No);
    EXPECT_NE(run(FO_RENAME, a, b), 0);
    EXPECT_EQ(TestFiles::readBytes(a), QByteArray("A"));
    EXPECT_EQ(TestFiles::readBytes(b), QByteArray("B"));
    ASSERT_EQ(prompts().messages.size(), 1);

    prompts().answerMessage(Prompts::Yes);
    EXPECT_EQ(run(FO_RENAME, a, b), 0);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(TestFiles::readBytes(b), QByteArray("A"));
}

TEST_F(ShellFileOperationTest, RenameNeverLeavesTheFolderOrReplacesAFolder)
{
    const QString a = make("a.jpg", "A");
    QDir().mkpath(path("sub"));
    EXPECT_EQ(run(FO_RENAME, a, path("sub/a.jpg")), int(DE_DIFFDIR));
    EXPECT_EQ(run(FO_RENAME, a, path("sub")), int(DE_FILEDESTISFLD));
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(namesIn(path("sub")).isEmpty());
}

TEST_F(ShellFileOperationTest, RenameChangingOnlyLetterCase)
{
    const QString a = make("photo.jpg", "A");
    EXPECT_EQ(run(FO_RENAME, a, path("Photo.JPG")), 0);
    EXPECT_EQ(namesIn(m_dir.path()), QStringList{"Photo.JPG"});
}

// ---- delete ----

TEST_F(ShellFileOperationTest, DeleteWithUndoGoesToTheTrashAfterTheQuestion)
{
    const QString src = make("gone.jpg", "G");
    EXPECT_EQ(run(FO_DELETE, src, QString(), FOF_ALLOWUNDO), 0);
    EXPECT_FALSE(QFile::exists(src));
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_TRUE(prompts().messages[0].text.contains("Recycle Bin"));
    EXPECT_TRUE(prompts().messages[0].text.contains("gone.jpg"));
    EXPECT_EQ(prompts().messages[0].style & 0x7, int(Prompts::YesNo));
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash";
    EXPECT_EQ(TestFiles::readBytes(trash + "/files/gone.jpg"), QByteArray("G"));
    const QList<QByteArray> info = TestFiles::readBytes(trash + "/info/gone.jpg.trashinfo").split('\n');
    ASSERT_GE(info.size(), 3);
    EXPECT_EQ(info[0], "[Trash Info]");
    EXPECT_EQ(info[1], "Path=" + QUrl::toPercentEncoding(src, "/"));
    EXPECT_TRUE(QDateTime::fromString(QString::fromUtf8(info[2].mid(13)), Qt::ISODate).isValid());
}

TEST_F(ShellFileOperationTest, TrashedNamesNeverCollide)
{
    const QString first = make("one/same name.jpg", "1");
    const QString second = make("two/same name.jpg", "2");
    const QString odd = make("two/50% \n.jpg", "3");
    EXPECT_EQ(run(FO_DELETE, list({first, second, odd}), QString(), FOF_ALLOWUNDO), 0);
    const QString trash = trashFolder();
    EXPECT_EQ(TestFiles::readBytes(trash + "/files/same name.jpg"), QByteArray("1"));
    EXPECT_EQ(TestFiles::readBytes(trash + "/files/same name.2.jpg"), QByteArray("2"));
    EXPECT_TRUE(TestFiles::readBytes(trash + "/info/same name.2.jpg.trashinfo").contains("two/same%20name.jpg"));
    EXPECT_TRUE(TestFiles::readBytes(trash + "/info/50% \n.jpg.trashinfo").contains("50%25%20%0A.jpg"));
}

TEST_F(ShellFileOperationTest, AnotherVolumeUsesItsOwnTrash)
{
    QTemporaryDir other(QStringLiteral("/dev/shm/qmr-trash-XXXXXX"));
    if (!other.isValid() || !onAnotherFileSystem(m_dir.path(), other.path()))
        GTEST_SKIP() << "no second file system";
    const QString volumeTrash = QStringLiteral("/dev/shm/.Trash-%1").arg(::getuid());
    const bool trashExisted = QFileInfo::exists(volumeTrash);
    const QString src = other.filePath("far.jpg");
    TestFiles::writeBytes(src, "F");
    EXPECT_EQ(run(FO_DELETE, src, QString(), FOF_ALLOWUNDO), 0);
    EXPECT_FALSE(QFile::exists(src));
    const QString name = QFileInfo(other.path()).fileName();
    bool found = false;
    for (const QString &info : QDir(volumeTrash + "/info").entryList({"far*.trashinfo"})) {
        if (!TestFiles::readBytes(volumeTrash + "/info/" + info).contains("Path=" + name.toUtf8() + "/far.jpg"))
            continue;
        found = true;
        const QString stored = volumeTrash + "/files/" + info.chopped(10);
        EXPECT_EQ(TestFiles::readBytes(stored), QByteArray("F"));
        QFile::remove(stored);
        QFile::remove(volumeTrash + "/info/" + info);
    }
    EXPECT_TRUE(found);
    if (!trashExisted)
        QDir(volumeTrash).removeRecursively();
}

TEST_F(ShellFileOperationTest, DeleteOfAFolderToTheTrash)
{
    make("album/a.jpg");
    EXPECT_EQ(run(FO_DELETE, path("album"), QString(), FOF_ALLOWUNDO), 0);
    EXPECT_FALSE(QFileInfo::exists(path("album")));
    EXPECT_TRUE(QFileInfo(trashFolder() + "/files/album").isDir());
}

TEST_F(ShellFileOperationTest, DeclinedDeleteChangesNothing)
{
    const QString src = make("keep.jpg");
    for (unsigned flags : {unsigned(FOF_ALLOWUNDO), 0u}) {
        prompts().answerMessage(Prompts::No);
        bool aborted = false;
        EXPECT_EQ(run(FO_DELETE, src, QString(), flags, &aborted), int(ERROR_CANCELLED));
        EXPECT_TRUE(aborted);
        EXPECT_TRUE(QFile::exists(src));
    }
    EXPECT_FALSE(QFileInfo::exists(trashFolder() + "/files/keep.jpg"));
}

TEST_F(ShellFileOperationTest, WithoutATrashTheDeleteAsksBeforeItIsPermanent)
{
    // A file where the trash folder should be: nothing can be trashed.
    const QString trash = trashFolder();
    const QString saved = trash + ".saved";
    QDir().rename(trash, saved);
    ASSERT_TRUE(TestFiles::writeBytes(trash, "not a folder"));
    const QString a = make("a.jpg");
    const QString b = make("b.jpg");

    prompts().answerMessage(Prompts::Yes);   // move to the Recycle Bin?
    prompts().answerMessage(Prompts::No);    // cannot: delete permanently?
    EXPECT_EQ(run(FO_DELETE, a, QString(), FOF_ALLOWUNDO), int(ERROR_CANCELLED));
    EXPECT_TRUE(QFile::exists(a));
    ASSERT_EQ(prompts().messages.size(), 2);
    EXPECT_TRUE(prompts().messages[1].text.contains("permanently"));
    EXPECT_TRUE(prompts().messages[1].style & Prompts::DefaultButton2) << "Enter must not lose the file";

    prompts().answerMessage(Prompts::Yes);
    prompts().answerMessage(Prompts::Yes);
    EXPECT_EQ(run(FO_DELETE, b, QString(), FOF_ALLOWUNDO), 0);
    EXPECT_FALSE(QFile::exists(b));

    QFile::remove(trash);
    QDir().rename(saved, trash);
}

TEST_F(ShellFileOperationTest, PermanentDeleteAsksAndBypassesTheTrash)
{
    const QString src = make("perm.jpg");
    make("tree/sub/x.jpg");
    EXPECT_EQ(run(FO_DELETE, list({src, path("tree")})), 0);
    EXPECT_FALSE(QFile::exists(src));
    EXPECT_FALSE(QFileInfo::exists(path("tree")));
    EXPECT_FALSE(QFileInfo::exists(trashFolder() + "/files/perm.jpg"));
    ASSERT_EQ(prompts().messages.size(), 1);
    EXPECT_TRUE(prompts().messages[0].text.contains("permanently"));
    EXPECT_TRUE(prompts().messages[0].text.contains("2 items"));
}

TEST_F(ShellFileOperationTest, DeletingALinkKeepsWhatItPointsTo)
{
    make("real/a.jpg", "A");
    ASSERT_EQ(::symlink(QFile::encodeName(path("real")).constData(), QFile::encodeName(path("link")).constData()), 0);
    EXPECT_EQ(run(FO_DELETE, path("link")), 0);
    EXPECT_EQ(TestFiles::readBytes(path("real/a.jpg")), QByteArray("A"));
}

TEST_F(ShellFileOperationTest, UnknownFunctionOrEmptySourceIsRefused)
{
    SHFILEOPSTRUCT op;
    op.wFunc = 9;
    op.pFrom = make("a.jpg");
    EXPECT_NE(SHFileOperation(op), 0);
    op.wFunc = FO_DELETE;
    op.pFrom.clear();
    EXPECT_NE(SHFileOperation(op), 0);
    EXPECT_TRUE(QFile::exists(path("a.jpg")));
}

}
