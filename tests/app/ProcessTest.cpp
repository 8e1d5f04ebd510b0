// The program as a process: one instance at a time, a crashed or ended
// instance blocking nothing, and the switches ending without a window.

#include "AppPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        program = AppPaths::programFolder() + "/qmr";
        ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
    }

    void TearDown() override
    {
        for (QProcess *p : started) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
    }

    // Starts the program with its data in the test's own folder; on the
    // given X display, else off screen.
    QProcess *start(const QStringList &arguments = {}, const QString &display = QString())
    {
        auto *process = new QProcess;
        started << process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLMERE_HOME", home.path());
        if (!display.isEmpty()) {
            env.remove("QT_QPA_PLATFORM");
            env.insert("DISPLAY", display);
        } else {
            env.insert("QT_QPA_PLATFORM", "offscreen");
        }
        process->setProcessEnvironment(env);
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    // True while some process holds the one-instance lock.
    bool lockHeld() const
    {
        const int fd = ::open(QFile::encodeName(home.path() + "/qmr.lock").constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        ::close(fd);
        return held;
    }

    // Waits until the process holds the one-instance lock.
    bool waitUntilRunning(QProcess *process)
    {
        const bool locked = QTest::qWaitFor([&] { return lockHeld() || process->state() != QProcess::Running; },
                                            10000);
        QTest::qWait(300);
        return locked && process->state() == QProcess::Running;
    }

    static bool endsQuietly(QProcess *process)
    {
        return process->waitForFinished(10000) && process->exitStatus() == QProcess::NormalExit
            && process->exitCode() == 0;
    }

    QTemporaryDir home;
    QString program;
    QList<QProcess *> started;
};

}

TEST_F(ProcessTest, OneInstanceRunsAndACrashBlocksNoLaterStart)
{
    QProcess *first = start();
    ASSERT_TRUE(waitUntilRunning(first));

    QElapsedTimer timer;
    timer.start();
    QProcess *second = start();
    EXPECT_TRUE(endsQuietly(second));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(first->state(), QProcess::Running);

    first->kill();
    ASSERT_TRUE(first->waitForFinished(5000));
    QProcess *third = start();
    EXPECT_TRUE(waitUntilRunning(third));
}

// A lock file left behind (by a crash on another computer sharing this
// home, say) blocks no start: only a running instance does.
TEST_F(ProcessTest, ALockFileLeftBehindBlocksNoStart)
{
    QFile lock(home.path() + "/qmr.lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("4242\nqmr\nanother-computer\n");
    lock.close();
    EXPECT_TRUE(waitUntilRunning(start()));
}

// Once started up; a signal in the middle of the start-up's own work ends
// the program where it stands a moment later instead.
TEST_F(ProcessTest, SigtermEndsTheProgramCleanly)
{
    ASSERT_TRUE(endsQuietly(start({"/Associate"})));   // leaves the start below nothing to write
    QProcess *first = start();
    ASSERT_TRUE(waitUntilRunning(first));
    first->terminate();
    EXPECT_TRUE(endsQuietly(first));
    EXPECT_TRUE(waitUntilRunning(start()));
}

// The program on a display that goes away ends, and leaves no lock.
TEST_F(ProcessTest, ALostDisplayEndsTheProgram)
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty())
        GTEST_SKIP() << "no Xvfb";
    QProcess server;
    server.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
    ASSERT_TRUE(server.waitForReadyRead(10000));
    QProcess *first = start({}, ":" + QString::fromLatin1(server.readLine().trimmed()));
    ASSERT_TRUE(waitUntilRunning(first));
    server.kill();
    server.waitForFinished(5000);
    EXPECT_TRUE(first->waitForFinished(10000));
    EXPECT_FALSE(lockHeld());
    EXPECT_TRUE(waitUntilRunning(start()));
}

TEST_F(ProcessTest, TheSwitchesEndTheProgram)
{
    EXPECT_TRUE(endsQuietly(start({"/Associate"})));
    EXPECT_TRUE(endsQuietly(start({"/DeAssociate"})));
}

// Only where a display is at hand (the test is run under xvfb-run).
TEST_F(ProcessTest, TheMainWindowComesOnScreenTitledQuillmere)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || QStandardPaths::findExecutable("xwininfo").isEmpty())
        GTEST_SKIP() << "no display";
    QProcess *first = start({}, qEnvironmentVariable("DISPLAY"));
    ASSERT_TRUE(waitUntilRunning(first));
    const bool shown = QTest::qWaitFor([] {
        QProcess info;
        info.start("xwininfo", {"-root", "-tree"});
        info.waitForFinished(5000);
        return info.readAllStandardOutput().contains("\"Quillmere\"");
    }, 10000);
    EXPECT_TRUE(shown);
}
