// The README's way to start the program, a second time, as an ordinary
// user: with everything installed and built, scripts/run.sh starts the
// program at once, without root.

#include "Desktop.h"
#include "OrdinaryUser.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(RunScriptDesktopTest, SecondStartAsOrdinaryUserShowsTheImage)
{
    const QString source = qEnvironmentVariable("QMR_SOURCE_DIR");
    const QString built = QFileInfo(source + "/build/bin").canonicalFilePath();
    if (built.isEmpty() || built != QFileInfo(qEnvironmentVariable("QMR_PROGRAM_DIR")).canonicalFilePath())
        GTEST_SKIP() << "the program under test is not the one scripts/run.sh starts (build/bin)";
    QString why;
    if (!OrdinaryUser::account(&why))
        GTEST_SKIP() << why.toStdString();
    const OrdinaryUser::Result reach = OrdinaryUser::run(
        "test", {"-r", source + "/scripts/run.sh", "-a", "-x", built + "/qmr"}, QProcessEnvironment::systemEnvironment());
    if (reach.exitCode != 0)
        GTEST_SKIP() << "the ordinary user cannot reach " << source.toStdString();

    QTemporaryDir folder;
    ASSERT_TRUE(TestFiles::writeImage(folder.filePath("seen.png"), 200, 150));
    QProcess run;
    ASSERT_TRUE(OrdinaryUser::runAsAccount(run));
    run.setProcessEnvironment(OrdinaryUser::environmentIn(folder.path()));
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start("bash", {source + "/scripts/run.sh", folder.filePath("seen.png")});

    const auto shown = [] {
        return !Desktop::tool("xdotool", {"search", "--name", "^seen\\.png- Quillmere 1\\.6$"}).isEmpty();
    };
    const bool appeared = QTest::qWaitFor([&] { return shown() || run.state() == QProcess::NotRunning; }, 30000)
                          && shown();
    run.terminate();
    run.waitForFinished(5000);
    EXPECT_TRUE(appeared) << run.readAll().toStdString();
}
