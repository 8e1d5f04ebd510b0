// The program started as a process with the command lines the association
// and the start-up know about.

#include "AssocNotify.h"
#include "AssocTypes.h"
#include "ModAssoc.h"
#include "Registry.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Long enough for a damaged start to have crashed, short enough to keep
// the suite quick.
constexpr int kSettleMs = 2500;
constexpr int kEndMs = 20000;

QString programPath()
{
    static const QString path = qEnvironmentVariable("QMR_PROGRAM_DIR") + "/qmr";
    return path;
}

}

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(programPath()))
            GTEST_SKIP() << "the program has not been built";
        ASSERT_TRUE(m_dir.isValid());
        for (const char *sub : {"home", "data", "config", "cache", "desktop", "runtime", "pictures"})
            QDir().mkpath(path(sub));
        QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TestFiles::writeBytes(path("config/user-dirs.dirs"),
                              "XDG_DESKTOP_DIR=\"" + path("desktop").toUtf8() + "\"\n");
        Registry::setDatabasePath(path("home/registry.db"));
    }

    void TearDown() override
    {
        for (QProcess *process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
            delete process;
        }
        Registry::setDatabasePath(QString());
    }

    QString path(const QString &relative) const { return m_dir.path() + "/" + relative; }

    QProcess *start(const QStringList &arguments, bool withDisplay = true)
    {
        auto *process = new QProcess;
        m_processes << process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (!withDisplay) {
            for (const char *var : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(var);
        }
        env.insert("QUILLMERE_HOME", path("home"));
        env.insert("XDG_DATA_HOME", path("data"));
        env.insert("XDG_CONFIG_HOME", path("config"));
        env.insert("XDG_CACHE_HOME", path("cache"));
        env.insert("XDG_RUNTIME_DIR", path("runtime"));
        env.remove("QMR_PROGRAM_DIR");
        process->setProcessEnvironment(env);
        process->setProgram(programPath());
        process->setArguments(arguments);
        process->start();
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    // Runs the program to its end; true when it ended by itself with code 0.
    bool runToEnd(const QStringList &arguments)
    {
        QProcess *process = start(arguments);
        return process->waitForFinished(kEndMs) && process->exitStatus() == QProcess::NormalExit
            && process->exitCode() == 0;
    }

    // True when the program is still up after a while: it started normally
    // and neither ended nor crashed.
    bool keepsRunning(QProcess *process) { return !process->waitForFinished(kSettleMs); }

    static int associatedCount()
    {
        int count = 0;
        for (const AssocType &type : AssocTypes)
            count += ModAssoc::IsAssociated(type.extension, type.progId);
        return count;
    }

    QString mimeAppsList() const { return QString::fromUtf8(TestFiles::readBytes(path("config/mimeapps.list"))); }

private:
    QTemporaryDir m_dir;
    QList<QProcess *> m_processes;
};

TEST_F(CommandLineTest, AssociateRegistersEverythingAndEnds)
{
    ASSERT_TRUE(runToEnd({"/Associate"}));
    EXPECT_EQ(associatedCount(), 15);
    EXPECT_EQ(ModAssoc::GetString(HKEY_CLASSES_ROOT, "Quillmere.jpg\\shell\\open\\command", "", ""),
              programPath() + " %1");
    const QString entry = QString::fromUtf8(TestFiles::readBytes(path("data/applications/quillmere.desktop")));
    EXPECT_TRUE(entry.contains("Exec=" + programPath() + " %f\n")) << qPrintable(entry);
    EXPECT_TRUE(mimeAppsList().contains("image/png=quillmere.desktop;"));
}

TEST_F(CommandLineTest, DeAssociateGivesEverythingBackAndEnds)
{
    ModAssoc::SaveString(HKEY_CLASSES_ROOT, ".png", "", "pngfile");
    ASSERT_TRUE(runToEnd({"/Associate"}));
    ASSERT_TRUE(runToEnd({"/DeAssociate"}));
    EXPECT_EQ(associatedCount(), 0);
    EXPECT_EQ(ModAssoc::GetString(HKEY_CLASSES_ROOT, ".png", "", ""), "pngfile");
    EXPECT_FALSE(mimeAppsList().contains("quillmere.desktop"));
}

// Without a display the switches run all the same, say what went wrong on
// standard error, and end with 1 when they could not do their work: the
// question nobody can answer here, a store another program holds.
TEST_F(CommandLineTest, TheSwitchesRunWithoutADisplayAndTellHowTheyEnded)
{
    const auto run = [this](const QString &option, QByteArray *errors = nullptr) {
        QProcess *process = start({option}, false);
        const bool ended = process->waitForFinished(kEndMs) && process->exitStatus() == QProcess::NormalExit;
        if (errors)
            *errors = process->readAllStandardError();
        return ended ? process->exitCode() : -1;
    };
    EXPECT_EQ(run("/Associate"), 0);
    EXPECT_EQ(associatedCount(), 15);
    EXPECT_EQ(run("/DeAssociate"), 0);
    EXPECT_EQ(associatedCount(), 0);

    QByteArray errors;
    EXPECT_EQ(run("/Associate", &errors), 1);
    EXPECT_TRUE(errors.contains("Do you want to associate them now?")) << errors.constData();
    EXPECT_EQ(associatedCount(), 0);

    Registry::setDatabasePath(QString());
    sqlite3 *holder = nullptr;
    ASSERT_EQ(sqlite3_open(path("home/registry.db").toUtf8().constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(run("/Associate", &errors), 1);
    EXPECT_TRUE(errors.contains("The settings are in use by another program")) << errors.constData();
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    Registry::setDatabasePath(path("home/registry.db"));
    EXPECT_EQ(associatedCount(), 0);
}

TEST_F(CommandLineTest, ASwitchInAnotherLetterCaseIsAnOrdinaryStart)
{
    QProcess *process = start({"/associate"});
    EXPECT_TRUE(keepsRunning(process));
    // The ordinary start's check ran: on a clean store that registers all
    // (which takes a while on a busy machine).
    for (int wait = 0; wait < kEndMs && associatedCount() < 15; wait += 100)
        QThread::msleep(100);
    EXPECT_EQ(associatedCount(), 15);
}

TEST_F(CommandLineTest, AMissingPathStartsNormally)
{
    EXPECT_TRUE(keepsRunning(start({path("pictures/missing.jpg")})));
}

TEST_F(CommandLineTest, ASecondInstanceEndsBeforeItsCheck)
{
    QProcess *first = start({});
    ASSERT_TRUE(keepsRunning(first));
    // Were the second start to run its association check, this lost type
    // would hold it at the question.
    ModAssoc::SaveString(HKEY_CLASSES_ROOT, ".png", "", "OtherViewer.png");
    QProcess *second = start({});
    EXPECT_TRUE(second->waitForFinished(kEndMs));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(CommandLineTest, FilesOnTheCommandLineNeverEndTheProgram)
{
    for (const char *name : {"a.png", "b.png", "c.jpg"})
        ASSERT_TRUE(TestFiles::writeImage(path("pictures/") + name, 40, 30, name[2] == 'p' ? "PNG" : "JPG"));
    ASSERT_TRUE(TestFiles::writeBytes(path("pictures/arrow.cur"), QByteArray(64, '\0')));
    ASSERT_TRUE(TestFiles::writeBytes(path("pictures/damaged.jpg"), "\xFF\xD8\xFF\xE0 not really a picture"));
    ASSERT_TRUE(TestFiles::writeBytes(path("nothing/readme.txt"), "no pictures here"));

    // An image among others, a type the listing does not show, a damaged
    // image, a folder, and a folder without any image. Each is started in
    // its own data folder, so they do not meet as instances.
    const QStringList lines = {path("pictures/b.png"), path("pictures/arrow.cur"), path("pictures/damaged.jpg"),
                               path("pictures"), path("nothing/readme.txt")};
    QList<QProcess *> processes;
    QList<QTemporaryDir *> homes;
    for (const QString &line : lines) {
        homes << new QTemporaryDir;
        TestFiles::writeBytes(homes.last()->path() + "/user-dirs.dirs",
                              "XDG_DESKTOP_DIR=\"" + path("desktop").toUtf8() + "\"\n");
        auto *process = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        for (const char *var : {"QUILLMERE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            env.insert(var, homes.last()->path());
        env.remove("QMR_PROGRAM_DIR");
        process->setProcessEnvironment(env);
        process->start(programPath(), {line});
        processes << process;
    }
    for (int i = 0; i < processes.size(); ++i) {
        EXPECT_FALSE(processes[i]->waitForFinished(i == 0 ? kSettleMs : 100))
            << "ended on " << qPrintable(lines[i]) << ": " << processes[i]->readAllStandardError().constData();
        processes[i]->kill();
        processes[i]->waitForFinished(5000);
    }
    qDeleteAll(processes);
    qDeleteAll(homes);
}
