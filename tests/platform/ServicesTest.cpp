#include "MessagePump.h"
#include "Prompts.h"
#include "ScreenMetrics.h"
#include "ScriptedPrompts.h"
#include "ShellExecute.h"
#include "SingleInstance.h"
#include "TerminationSignals.h"
#include "VirtualKeys.h"
#include "Wallpaper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

TEST(PromptsTest, MessagesCarryTheApplicationTitleUnlessNamed)
{
    ScriptedPrompts &prompts = ScriptedPrompts::instance();
    prompts.reset();
    EXPECT_EQ(Prompts::MsgBox("hello"), Prompts::OK);
    prompts.answerMessage(Prompts::No);
    EXPECT_EQ(Prompts::MsgBox("sure?", Prompts::YesNo | Prompts::Question, "Other"), Prompts::No);
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0].title, "Quillmere");
    EXPECT_EQ(prompts.messages[1].title, "Other");
    EXPECT_EQ(prompts.messages[1].style, Prompts::YesNo | Prompts::Question);
    // A cancelled prompt box gives the empty text.
    EXPECT_EQ(Prompts::InputBox("File Name:", "Rename File", "a.jpg"), "");
    prompts.answerInput(QString("b.jpg"));
    EXPECT_EQ(Prompts::InputBox("File Name:", "Rename File", "a.jpg"), "b.jpg");
    EXPECT_EQ(prompts.inputs[0].defaultText, "a.jpg");
}

TEST(ScreenMetricsTest, TwipsFollowTheScreensLogicalDpi)
{
    const double tppx = ScreenMetrics::twipsPerPixelX();
    EXPECT_GT(tppx, 0);
    EXPECT_NEAR(ScreenMetrics::screenWidthTwips() / tppx,
                QGuiApplication::primaryScreen()->geometry().width(), 0.5);
    QWidget window;
    window.resize(400, 300);
    FormGeometry::setWidth(&window, 600 * tppx);
    EXPECT_NEAR(FormGeometry::width(&window), 600 * tppx, tppx);
    FormGeometry::setHeight(&window, 250 * ScreenMetrics::twipsPerPixelY());
    EXPECT_EQ(window.frameGeometry().height(), 250);
}

TEST(MessagePumpTest, RunsWhatIsWaiting)
{
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    MessagePump::DoEvents();
    EXPECT_TRUE(ran);
}

TEST(VirtualKeysTest, KeysOfTheViewersTable)
{
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_Escape), 27);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_Return), 13);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_PageDown), 34);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_F), 70);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_Equal), 187);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_Minus), 189);
    EXPECT_EQ(VirtualKeys::fromQtKey(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(VirtualKeys::shiftState(Qt::ShiftModifier | Qt::ControlModifier), 3);
    EXPECT_EQ(VirtualKeys::toQtKey(39), int(Qt::Key_Right));
}

TEST(SingleInstanceTest, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    auto first = std::make_unique<SingleInstance>();
    EXPECT_FALSE(first->anotherInstanceRuns());
    EXPECT_FALSE(first->anotherInstanceRuns());
    SingleInstance second;
    EXPECT_TRUE(second.anotherInstanceRuns());
    first.reset();
    EXPECT_FALSE(second.anotherInstanceRuns());
}

// A lock file that cannot be opened (here a link to a folder that does not
// exist) tells nothing about another instance: neither start runs on, and
// the user hears why.
TEST(SingleInstanceTest, ALockThatCannotBeOpenedIsToldAndRunsNothing)
{
    ScriptedPrompts &prompts = ScriptedPrompts::instance();
    prompts.reset();
    QFile::remove(SingleInstance::lockPath());
    ASSERT_TRUE(QFile::link("/nonexistent-folder/qmr.lock", SingleInstance::lockPath()));
    SingleInstance first;
    SingleInstance second;
    EXPECT_TRUE(first.anotherInstanceRuns());
    EXPECT_TRUE(second.anotherInstanceRuns());
    QFile::remove(SingleInstance::lockPath());
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[0].text.contains(SingleInstance::lockPath())) << prompts.messages[0].text.toStdString();
}

// Run by the test below, under nohup: an interface thread that serves its
// events for a moment, then is busy for half a minute.
TEST(TerminationSignalsTest, ChildBusyOnItsInterfaceThread)
{
    if (qEnvironmentVariableIsEmpty("QMR_SIGNALS_CHILD"))
        GTEST_SKIP() << "run by EndsAtOnceWhateverTheInterfaceThreadDoes";
    TerminationSignals endRequests;
    std::puts("child ready");
    std::fflush(stdout);
    QEventLoop loop;
    QTimer::singleShot(1500, &loop, &QEventLoop::quit);
    loop.exec();
    std::puts(endRequests.received() ? "child ended" : "child running");
    std::fflush(stdout);
    QThread::sleep(30);
}

TEST(TerminationSignalsTest, EndsAtOnceWhateverTheInterfaceThreadDoes)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QMR_SIGNALS_CHILD", "1");
    child.setProcessEnvironment(env);
    child.start("nohup", {QCoreApplication::applicationFilePath(),
                          "--gtest_filter=TerminationSignalsTest.ChildBusyOnItsInterfaceThread"});
    QByteArray out;
    const auto waitFor = [&](const char *word) {
        for (int i = 0; i < 100 && !out.contains(word); ++i)
            out += child.waitForReadyRead(100) ? child.readAllStandardOutput() : QByteArray();
        return out.contains(word);
    };
    ASSERT_TRUE(waitFor("child ready"));
    // Ignored when it started, so ignored still.
    ::kill(pid_t(child.processId()), SIGHUP);
    EXPECT_TRUE(waitFor("child running")) << out.constData();
    ::kill(pid_t(child.processId()), SIGTERM);
    EXPECT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit) << "ended where it stood, by the signal";
}

TEST(ShellExecuteTest, MissingFileStartsNothing)
{
    QTemporaryDir dir;
    EXPECT_EQ(ShellExecute::open(dir.filePath("qmr.chm"), "0", "/"), 2);
}

TEST(WallpaperTest, RecordsThePathInTheUsersDesktopSettings)
{
    EXPECT_TRUE(Wallpaper::SystemParametersInfo(20, 0, "/tmp/sea.png", 3));
    EXPECT_EQ(Wallpaper::current(), "/tmp/sea.png");
    EXPECT_FALSE(Wallpaper::SystemParametersInfo(21, 0, "/tmp/other.png", 3));
    EXPECT_EQ(Wallpaper::current(), "/tmp/sea.png");
}

// A picture's name is the user's; in the script Plasma is asked to run it
// stays one quoted text, whatever quotes it holds.
TEST(WallpaperTest, PlasmaScriptKeepsQuotesInTheNameAsText)
{
    QTemporaryDir bin;
    const QString log = bin.filePath("args");
    QFile fake(bin.filePath("qdbus"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$4\" > '%1.tmp' && mv '%1.tmp' '%1'\n").arg(log).toUtf8());
    fake.close();
    fake.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH"), oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("PATH", bin.path().toUtf8() + ":" + oldPath);
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    qunsetenv("QMR_NO_WALLPAPER_COMMANDS");

    Wallpaper::SystemParametersInfo(20, 0, "/tmp/Bob's day');evil('.bmp", 3);
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(log) && clock.elapsed() < 5000)
        QThread::msleep(20);

    qputenv("QMR_NO_WALLPAPER_COMMANDS", "1");
    qputenv("PATH", oldPath);
    qputenv("XDG_CURRENT_DESKTOP", oldDesktop);
    QFile args(log);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    const QString script = QString::fromUtf8(args.readAll());
    EXPECT_FALSE(script.contains(QLatin1String("');evil('"))) << script.toStdString();
    EXPECT_TRUE(script.contains(QLatin1String("Bob"))) << script.toStdString();
}
