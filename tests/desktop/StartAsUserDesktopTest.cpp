// The program itself, started by an ordinary user on an image, with a
// settings store that user can read but not write.

#include "AppPaths.h"
#include "CRegister.h"
#include "Desktop.h"
#include "OrdinaryUser.h"
#include "Registry.h"
#include "TestFiles.h"
#include "ViewerSettings.h"

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "QtPrinters.h"

namespace {

struct Window {
    QString id;
    QString title;
    QRect outer;   // with the frame the window manager put round it
};

// The windows the window manager keeps for the process, in its order.
QList<Window> windowsOf(qint64 pid)
{
    QList<Window> windows;
    const QString list = Desktop::tool("xprop", {"-root", "_NET_CLIENT_LIST"});
    const QRegularExpression number("0x[0-9a-f]+");
    for (auto it = number.globalMatch(list.section('#', 1)); it.hasNext();) {
        const QString id = it.next().captured();
        const QString props = Desktop::tool("xprop", {"-id", id, "_NET_WM_PID"});
        if (QRegularExpression("_NET_WM_PID\\(\\w+\\) = (\\d+)").match(props).captured(1).toLongLong() != pid)
            continue;
        windows << Window{id, Desktop::title(id), Desktop::outerGeometry(id)};
    }
    return windows;
}

}

TEST(StartAsUserDesktopTest, AStoreTheUserCannotWriteStillKeepsTheViewerOutOfFullScreen)
{
    QString why;
    if (!OrdinaryUser::account(&why))
        GTEST_SKIP() << why.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QProcessEnvironment env = OrdinaryUser::environmentIn(dir.path());
    const QString store = env.value("QUILLMERE_HOME") + "/registry.db";
    QDir().mkpath(env.value("QUILLMERE_HOME"));
    Registry::setDatabasePath(store);
    ASSERT_TRUE(CRegister().REGSaveSetting(HKEY_LOCAL_MACHINE, ViewerSettings::Section, ViewerSettings::FullScreenName, "0"));
    Registry::setDatabasePath(QString());
    const QString image = dir.path() + "/home/view.png";
    ASSERT_TRUE(TestFiles::writeImage(image, 200, 150));
    ASSERT_TRUE(OrdinaryUser::handOver(dir.path()));
    ASSERT_TRUE(QFile::setPermissions(store, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray storeBefore = TestFiles::readBytes(store);

    QProcess program;
    ASSERT_TRUE(OrdinaryUser::runAsAccount(program));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(AppPaths::programFolder() + "/qmr", {image});
    ASSERT_TRUE(program.waitForStarted(5000));

    // The viewer, then the main window on top of it, once both are framed
    // and have stopped moving.
    QList<Window> windows;
    QStringList titles;
    QList<QRect> last;
    int steady = 0;
    const bool settled = QTest::qWaitFor([&] {
        windows = windowsOf(program.processId());
        titles.clear();
        QList<QRect> now;
        for (const Window &window : windows) {
            titles << window.title;
            now << window.outer;
        }
        steady = windows.size() == 2 && now == last ? steady + 1 : 0;
        last = now;
        return steady >= 3;
    }, 10000);
    ASSERT_TRUE(settled) << qPrintable(titles.join(" | "));
    EXPECT_EQ(titles, (QStringList{"view.png- Quillmere 1.6", "Quillmere"}));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect viewer = windows[0].outer;
    EXPECT_LT(viewer.width(), screen.width());
    EXPECT_LT(viewer.height(), screen.height());
    EXPECT_TRUE(screen.contains(viewer)) << viewer.x() << "," << viewer.y();

    program.terminate();
    EXPECT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(TestFiles::readBytes(store), storeBefore);
}
