// The program as a process: one instance at a time, a crashed instance
// blocking nothing, and the switches ending without a window.

#include "AppPaths.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

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
    // screen named by DISPLAY when onScreen, else off screen.
    QProcess *start(const QStringList &arguments = {}, bool onScreen = false)
    {
        auto *process = new QProcess;
        started << process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLMERE_HOME", home.path());
        if (onScreen)
            env.remove("QT_QPA_PLATFORM");
        else
            env.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(env);
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    // Waits until the process holds the one-instance lock.
    bool waitUntilRunning(QProcess *process)
    {
        const QString lock = home.path() + "/qmr.lock";
        const bool locked = QTest::qWaitFor([&] { return QFileInfo::exists(lock); }, 10000);
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
    QProcess *first = start({}, true);
    ASSERT_TRUE(waitUntilRunning(first));
    const bool shown = QTest::qWaitFor([] {
        QProcess info;
        info.start("xwininfo", {"-root", "-tree"});
        info.waitForFinished(5000);
        return info.readAllStandardOutput().contains("\"Quillmere\"");
    }, 10000);
    EXPECT_TRUE(shown);
}
