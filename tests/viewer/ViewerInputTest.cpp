// Keys, the mouse, the popup menu, dropped files, the menu tree and the
// toolbar of the viewer window.

#include "ViewerFixture.h"

#include "AppPaths.h"
#include "ImgX.h"
#include "ScreenMetrics.h"
#include "TestFiles.h"
#include "Toolbar.h"
#include "frmAbout.h"
#include "frmViwer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

QString shownName(frmViwer *v)
{
    return v->imgX()->ImageInfo.FileName();
}

void activate(frmViwer *v)
{
    v->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v));
    v->imgX()->setFocus();
}

// Right-clicks the image and lets `choose` work the popup menu once it is up.
void rightClick(frmViwer *v, QPoint at, std::function<void(QMenu *)> choose)
{
    QTimer::singleShot(0, [choose] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        choose(menu);
    });
    QTest::mouseClick(v->imgX(), Qt::RightButton, Qt::NoModifier, at);
}

// Picks the popup entry with that caption the way a user does: arrows and Enter.
void pick(QMenu *menu, const QString &caption)
{
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions) {
        if (action->isSeparator())
            continue;
        QTest::keyClick(menu, Qt::Key_Down);
        if (action->text() == caption) {
            QTest::keyClick(menu, Qt::Key_Return);
            return;
        }
    }
    menu->close();
    ADD_FAILURE() << "no entry " << caption.toStdString();
}

// The control reports a drop of files as their paths in order.
void drop(ImgX *target, const QStringList &paths)
{
    Q_EMIT target->OLEDragDrop(paths, true);
}

}

class ViewerInput : public ViewerFixture {};

TEST_F(ViewerInput, ModifiersDoNotChangeWhatAKeyDoes)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200), image("c.png", 100, 100)});
    QTest::keyClick(v->imgX(), Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    QTest::keyClick(v->imgX(), Qt::Key_PageDown);
    EXPECT_EQ(shownName(v), QStringLiteral("c.png"));
    QTest::keyClick(v->imgX(), Qt::Key_Backspace);
    QTest::keyClick(v->imgX(), Qt::Key_PageUp, Qt::AltModifier);
    EXPECT_EQ(shownName(v), QStringLiteral("a.png"));

    QTest::keyClick(v->imgX(), Qt::Key_F, Qt::ShiftModifier);
    EXPECT_TRUE(v->isFullScreenMode());
    QTest::keyClick(v->imgX(), Qt::Key_F);
    EXPECT_FALSE(v->isFullScreenMode());
}

TEST_F(ViewerInput, KeysReachTheTableWithoutTheImageFocused)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    QTest::keyClick(v, Qt::Key_Space);
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
}

TEST_F(ViewerInput, MenuShortcutRunsOnceWindowedAndTheTableServesFullScreen)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    activate(v);
    QTest::keyClick(v->imgX(), Qt::Key_F, Qt::ControlModifier);   // View > Full Screen
    EXPECT_TRUE(v->isFullScreenMode());
    activate(v);
    QTest::keyClick(v->imgX(), Qt::Key_F, Qt::ControlModifier);   // the menus are hidden: the key table
    EXPECT_FALSE(v->isFullScreenMode());
    activate(v);
    QTest::keyClick(v->imgX(), Qt::Key_N, Qt::ControlModifier);   // View > Zoom In
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 1.25);
}

TEST_F(ViewerInput, EnterAndDoubleClickGoBackToTheBrowser)
{
    const QString a = image("a.png", 200, 150);
    frmViwer *v = show({a});
    QTest::keyClick(v->imgX(), Qt::Key_Return);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("ShowMainWindow"), QStringLiteral("CheckPath ") + a}));

    v->show();
    host.calls.clear();
    QTest::mouseDClick(v->imgX(), Qt::LeftButton);
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(host.calls.size(), 2);
}

TEST_F(ViewerInput, EscClosesTheViewer)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    QTest::keyClick(v->imgX(), Qt::Key_Escape);
    EXPECT_FALSE(frmViwer::isLoaded());
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("ShowMainWindow")});
    processEvents();

    v = show({image("b.png", 200, 150)});
    v->m_Standalone = true;
    QTest::keyClick(v->imgX(), Qt::Key_Escape);
    EXPECT_EQ(host.calls.last(), QStringLiteral("EndProgram"));
}

TEST_F(ViewerInput, PopupMenuEntriesAndTheirStates)
{
    frmViwer *v = show({image("a.png", 300, 200), image("b.png", 300, 200)});
    v->findChild<QAction *>(QStringLiteral("mnuSlideShow"))->trigger();
    QStringList captions;
    QList<bool> checks;
    QPoint at;
    rightClick(v, QPoint(30, 40), [&](QMenu *menu) {
        at = menu->pos();
        for (QAction *action : menu->actions()) {
            captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
            checks << action->isChecked();
        }
        pick(menu, QStringLiteral("Slide Show"));
    });
    EXPECT_EQ(captions, (QStringList{"Full Screen", "Next", "Previous", "-", "Slide Show", "Antialias Display", "-",
                                     "Rotate +90", "Rotate -90", "-", "Zoom In", "Zoom Out", "-", "Set As Wallpaper"}));
    EXPECT_TRUE(checks[4]);   // the show runs
    EXPECT_TRUE(checks[5]);   // the Tools menu's item is checked
    EXPECT_FALSE(v->isSlideShowRunning());

    // The window's edge in twips over the twips per pixel, plus the pointer
    // in the control: frame and bars are not added.
    const QPoint expected(qRound(FormGeometry::left(v) / ScreenMetrics::twipsPerPixelX()) + 30,
                          qRound(FormGeometry::top(v) / ScreenMetrics::twipsPerPixelY()) + 40);
    EXPECT_LE((at - expected).manhattanLength(), 1);
}

TEST_F(ViewerInput, PopupAntialiasFollowsTheMenuItemNotTheControl)
{
    frmViwer *v = show({image("a.png", 300, 200)});
    v->imgX()->setAntiAliasDisplay(false);        // the control alone: the item still reads checked
    bool checked = false;
    rightClick(v, QPoint(5, 5), [&](QMenu *menu) {
        checked = menu->actions()[5]->isChecked();
        pick(menu, QStringLiteral("Antialias Display"));
    });
    EXPECT_TRUE(checked);
    // The toggle turns the control's value over and the item follows it.
    EXPECT_TRUE(v->imgX()->AntiAliasDisplay());
    EXPECT_TRUE(v->findChild<QAction *>(QStringLiteral("mnuAntiAliasDisplay"))->isChecked());
}

TEST_F(ViewerInput, PopupCommandsAndDismissal)
{
    frmViwer *v = show({image("a.png", 300, 200), image("b.png", 300, 200)});
    rightClick(v, QPoint(5, 5), [](QMenu *menu) { pick(menu, QStringLiteral("Next")); });
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    rightClick(v, QPoint(5, 5), [](QMenu *menu) { pick(menu, QStringLiteral("Rotate +90")); });
    EXPECT_EQ(v->imgX()->ImageInfo.Width(), 200);
    rightClick(v, QPoint(5, 5), [](QMenu *menu) { pick(menu, QStringLiteral("Zoom In")); });
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 1.25);
    rightClick(v, QPoint(5, 5), [](QMenu *menu) { QTest::keyClick(menu, Qt::Key_Escape); });
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 1.25);
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    // Other buttons bring no menu.
    QTest::mouseClick(v->imgX(), Qt::MiddleButton);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(ViewerInput, DroppedImagesBecomeTheList)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    QDir(dir.path()).mkdir(QStringLiteral("folder.jpg"));
    const QString one = image("one.jpg", 120, 100, "JPG"), two = image("two.jpg", 140, 100, "JPG");
    const QString text = dir.filePath("notes.txt");
    ASSERT_TRUE(TestFiles::writeBytes(text, "plain text"));
    drop(v->imgX(), {dir.filePath("folder.jpg"), one, text, two});
    EXPECT_EQ(v->files(), (QStringList{one, two}));
    EXPECT_EQ(shownName(v), QStringLiteral("one.jpg"));

    // A cursor is taken although the browser does not list cursors.
    const QString cursor = dir.filePath("pointer.cur");
    ASSERT_TRUE(QFile::copy(image("icon.ico", 32, 32, "ICO"), cursor));
    drop(v->imgX(), {cursor});
    EXPECT_EQ(v->files(), QStringList{cursor});
    EXPECT_EQ(v->imgX()->Pages.Count(), 1);

    // Nothing taken, or data without a file list: the view stays as it was.
    drop(v->imgX(), {dir.filePath("folder.jpg"), text});
    EXPECT_EQ(v->files(), QStringList{cursor});
    Q_EMIT v->imgX()->OLEDragDrop({one}, false);
    EXPECT_EQ(v->files(), QStringList{cursor});
}

TEST_F(ViewerInput, MenuTreeWordForWord)
{
    frmViwer *v = viewer();
    QStringList tree;
    std::function<void(QMenu *, const QString &)> walk = [&](QMenu *menu, const QString &indent) {
        for (QAction *action : menu->actions()) {
            tree << indent + QLatin1Char('[') + action->text() + QLatin1Char(']')
                    + (action->shortcut().isEmpty() ? QString() : QLatin1Char(' ') + action->shortcut().toString());
            if (action->menu())
                walk(action->menu(), indent + QStringLiteral("  "));
        }
    };
    for (QAction *top : v->menuBar()->actions()) {
        tree << QLatin1Char('[') + top->text() + QLatin1Char(']');
        walk(top->menu(), QStringLiteral("  "));
    }
    const QStringList expected = {
        "[File]", "  [Open     ] Ctrl+O", "  [Browse     ] Ctrl+B", "  [Save As     ] Ctrl+S", "  [Page Setup]",
        "  [Print]", "    [Top Left]", "    [Centered]", "    [Fit To Page]", "  [Exit         ] Ctrl+Q",
        "[Edit]", "  [Copy To] Ctrl+C", "  [Move To] Ctrl+M", "  [Copy Image] Ctrl+G", "  [Delete     ] Del",
        "  [Rename] F2",
        "[View]", "  [Full Screen] Ctrl+F", "  [Zoom In     ] Ctrl+N", "  [Zoom Out     ] Ctrl+U", "  [Image]",
        "    [Next]", "    [Previous]",
        "[Tools]", "  [Slide Show]", "  [Slide Show Delay]", "  [AntiAlias Display]", "  [Rotate +90]",
        "  [Rotate -90]", "  [Set As Wallpaper]",
        "[Help]", "  [About]", "  [Help Index]", "  [update]"};
    EXPECT_EQ(tree, expected);
}

TEST_F(ViewerInput, ExitGoesBackToTheBrowserEvenStandalone)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    v->m_Standalone = true;
    v->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
    EXPECT_FALSE(v->isVisible());
    EXPECT_TRUE(frmViwer::isLoaded());
    EXPECT_EQ(host.calls.first(), QStringLiteral("ShowMainWindow"));
}

TEST_F(ViewerInput, ToolbarButtonsAndSeparators)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    Toolbar *bar = v->toolbar();
    ASSERT_EQ(bar->ItemCount(), 15);
    QStringList keys, tips;
    for (int i = 1; i <= 15; i += 2) {
        keys << bar->Item(i).Key();
        tips << bar->Item(i).ToolTipText();
        EXPECT_EQ(bar->Item(i + (i < 15 ? 1 : 0)).Style(), i < 15 ? int(ToolbarItem::Separator) : int(ToolbarItem::Button));
    }
    EXPECT_EQ(keys, (QStringList{"open32", "browsed32", "previous32", "next32", "slidshow32", "zoomin32",
                                 "zoomiout32", "fullscreen32"}));
    EXPECT_EQ(tips, (QStringList{"Open", "Browse", "Prevoius", "Next", "Slide Show", "Zoom In", "Zoom Out",
                                 "Full Screen"}));

    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->itemRect(7).center());
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->itemRect(8).center());   // a separator
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->itemRect(5).center());
    EXPECT_EQ(shownName(v), QStringLiteral("a.png"));
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->itemRect(11).center());
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 1.25);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->itemRect(13).center());
    EXPECT_DOUBLE_EQ(v->imgX()->Zoom(), 0.9375);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->itemRect(9).center());
    EXPECT_TRUE(bar->Item(9).Checked());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->itemRect(15).center());
    EXPECT_TRUE(v->isFullScreenMode());
}

TEST_F(ViewerInput, AboutBoxLeavesTheViewerUsable)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    v->findChild<QAction *>(QStringLiteral("mnuAbout"))->trigger();
    ASSERT_NE(frmAbout::instanceIfLoaded(), nullptr);
    EXPECT_TRUE(frmAbout::instanceIfLoaded()->isVisible());
    EXPECT_FALSE(frmAbout::instanceIfLoaded()->isModal());
    QTest::keyClick(v->imgX(), Qt::Key_Space);
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    frmAbout::instanceIfLoaded()->close();
}

TEST_F(ViewerInput, HelpAndUpdaterStartFromTheProgramFolderWhenPresent)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    const QByteArray saved = qgetenv("QMR_PROGRAM_DIR");
    qputenv("QMR_PROGRAM_DIR", dir.path().toUtf8());
    // Missing: nothing happens.
    v->findChild<QAction *>(QStringLiteral("mnuHelpIndex"))->trigger();
    v->findChild<QAction *>(QStringLiteral("mnuupdate"))->trigger();

    const QString marker = dir.filePath("ran.txt");
    const QString updater = dir.filePath("update/update");
    QDir().mkpath(dir.filePath("update"));
    QFile script(updater);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$1 $(pwd)\" > '%1'\n").arg(marker).toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    v->findChild<QAction *>(QStringLiteral("mnuupdate"))->trigger();
    qputenv("QMR_PROGRAM_DIR", saved);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker) && QFile(marker).size() > 0; }, 5000));
    QFile result(marker);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll().trimmed(), QByteArray("0 /"));
}
