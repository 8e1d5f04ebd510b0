// Full screen, the slide show, the stored settings and the closing of the
// viewer window.

#include "ViewerFixture.h"

#include "ImgX.h"
#include "ScreenMetrics.h"
#include "ScriptedPrompts.h"
#include "StatusBar.h"
#include "Toolbar.h"
#include "ViewerSettings.h"
#include "frmViwer.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTimer>

namespace {
double tppx() { return ScreenMetrics::twipsPerPixelX(); }
double tppy() { return ScreenMetrics::twipsPerPixelY(); }

void trigger(frmViwer *v, const char *name)
{
    QAction *action = v->findChild<QAction *>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    action->trigger();
}

// One tick of the slide-show timer, as the platform's timer gives it.
void tick(frmViwer *v)
{
    QMetaObject::invokeMethod(v->slideShowTimer(), "timeout", Qt::DirectConnection);
}

QString shownName(frmViwer *v)
{
    return v->imgX()->ImageInfo.FileName();
}
}

class ViewerModes : public ViewerFixture {};

// ---- Full screen ----

TEST_F(ViewerModes, LeavingFullScreenRestoresTheBounds510TwipsLower)
{
    frmViwer *v = show({image("a.png", 500, 400)});
    const double left = FormGeometry::left(v), top = FormGeometry::top(v);
    const double width = FormGeometry::width(v), height = FormGeometry::height(v);

    trigger(v, "mnuFullScreen");
    EXPECT_TRUE(v->isFullScreenMode());
    EXPECT_EQ(FormGeometry::left(v), 0);
    EXPECT_EQ(FormGeometry::top(v), 0);
    EXPECT_TWIPS(FormGeometry::width(v), ScreenMetrics::screenWidthTwips(), tppx());
    EXPECT_TWIPS(FormGeometry::height(v), ScreenMetrics::screenHeightTwips(), tppy());
    EXPECT_FALSE(v->toolbar()->isVisible());
    EXPECT_FALSE(v->statusPanels()->isVisible());
    EXPECT_FALSE(v->menuContainer()->isVisible());
    EXPECT_FALSE(v->menuBar()->isVisible());

    trigger(v, "mnuFullScreen");
    processEvents();
    EXPECT_FALSE(v->isFullScreenMode());
    EXPECT_TWIPS(FormGeometry::left(v), left, tppx());
    EXPECT_TWIPS(FormGeometry::top(v), top + 510, tppy());
    EXPECT_TWIPS(FormGeometry::width(v), width, tppx());
    EXPECT_TWIPS(FormGeometry::height(v), height, tppy());
    EXPECT_FALSE(v->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(v->toolbar()->isVisible());
    EXPECT_TRUE(v->statusPanels()->isVisible());
    EXPECT_TRUE(v->menuContainer()->isVisible());
    EXPECT_TRUE(v->menuBar()->isVisible());
    for (const char *menu : {"mnufile", "mnuEdit", "mnuView", "mnuTools", "mnuHelp"})
        EXPECT_TRUE(v->menuBar()->findChild<QMenu *>(menu)->menuAction()->isVisible()) << menu;
    EXPECT_EQ(v->windowTitle(), QString());
}

TEST_F(ViewerModes, SteppingInFullScreenSavesTheFullScreenBounds)
{
    frmViwer *v = show({image("a.png", 300, 200), image("b.png", 320, 240)});
    trigger(v, "mnuFullScreen");
    v->ShowNext();           // shown again in full screen: the bounds saved now are the screen's
    EXPECT_TRUE(v->isFullScreenMode());
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    trigger(v, "mnuFullScreen");
    EXPECT_EQ(FormGeometry::left(v), 0);
    EXPECT_TWIPS(FormGeometry::top(v), 510, tppy());
    EXPECT_TWIPS(FormGeometry::width(v), ScreenMetrics::screenWidthTwips(), tppx());
}

TEST_F(ViewerModes, MaximisedWindowComesBackNormal)
{
    frmViwer *v = show({image("a.png", 300, 200)});
    v->showMaximized();
    processEvents();
    trigger(v, "mnuFullScreen");
    trigger(v, "mnuFullScreen");
    processEvents();
    EXPECT_FALSE(v->isMaximized());
    EXPECT_FALSE(v->isFullScreen());
}

TEST_F(ViewerModes, TopEdgeBeyondSixteenBitsIsNotSaved)
{
    frmViwer *v = show({image("a.png", 300, 200)});
    FormGeometry::setTop(v, 36000);          // past 32767 twips
    processEvents();
    trigger(v, "mnuFullScreen");
    trigger(v, "mnuFullScreen");
    // The top saved at the earlier entry (none: 0) is used.
    EXPECT_TWIPS(FormGeometry::top(v), 510, tppy());
}

TEST_F(ViewerModes, FullScreenSettingOpensTheFirstImageFullScreenAndFitsIt)
{
    const QSize screen(int(ScreenMetrics::screenWidthTwips() / tppx()), int(ScreenMetrics::screenHeightTwips() / tppy()));
    frmViwer *v = show({image("big.png", screen.width() * 2, screen.height() * 2)}, 0, true);
    EXPECT_TRUE(v->isFullScreenMode());
    EXPECT_TRUE(v->isVisible());
    EXPECT_TWIPS(FormGeometry::width(v), ScreenMetrics::screenWidthTwips(), tppx());
    EXPECT_NEAR(v->imgX()->Zoom(), 0.5, 0.01);
}

// ---- Slide show ----

TEST_F(ViewerModes, SlideShowStartsOneIntervalLaterAndGoesRoundEndlessly)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200), image("c.png", 250, 250)});
    const QString firstTitle = v->windowTitle();
    trigger(v, "mnuSlideShow");
    EXPECT_TRUE(v->isSlideShowRunning());
    EXPECT_TRUE(v->slideShowTimer()->isActive());
    EXPECT_EQ(v->slideShowTimer()->interval(), 2000);
    EXPECT_EQ(shownName(v), QStringLiteral("a.png"));
    EXPECT_EQ(v->windowTitle(), firstTitle);

    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        tick(v);
        seen << shownName(v);
        EXPECT_TRUE(v->windowTitle().startsWith(shownName(v) + QStringLiteral("- Quillmere")));
    }
    EXPECT_EQ(seen, (QStringList{"b.png", "c.png", "a.png", "b.png"}));
    EXPECT_EQ(v->currentIndex(), 0);
    EXPECT_EQ(v->statusPanels()->PanelText(1), QStringLiteral("2/3"));

    // Windowed, each slide sizes the window to its image.
    EXPECT_TWIPS(FormGeometry::height(v), FormGeometry::controlHeight(v->toolbar()) + 200 * tppy() + 1400, tppy());

    // Stopped: Next goes on from where the show began.
    trigger(v, "mnuSlideShow");
    EXPECT_FALSE(v->slideShowTimer()->isActive());
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    v->ShowNext();
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    EXPECT_EQ(v->currentIndex(), 1);
}

TEST_F(ViewerModes, SlideShowFromTheLastEntryAndOnOneEntry)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)}, 1);
    v->toolbar()->ButtonClick(9, QStringLiteral("slidshow32"));
    EXPECT_EQ(v->slideIndex(), 2);
    tick(v);
    EXPECT_EQ(shownName(v), QStringLiteral("a.png"));
    v->toolbar()->ButtonClick(9, QStringLiteral("slidshow32"));

    QStringList one = {image("only.png", 120, 120)};
    int index = 0;
    v->ViewImage(one, index);
    v->toolbar()->ButtonClick(9, QStringLiteral("slidshow32"));
    tick(v);
    tick(v);
    EXPECT_EQ(shownName(v), QStringLiteral("only.png"));
}

TEST_F(ViewerModes, FullScreenSlidesKeepTheScreenSize)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    trigger(v, "mnuFullScreen");
    trigger(v, "mnuSlideShow");
    tick(v);
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
    EXPECT_TWIPS(FormGeometry::width(v), ScreenMetrics::screenWidthTwips(), tppx());
    EXPECT_TWIPS(FormGeometry::height(v), ScreenMetrics::screenHeightTwips(), tppy());
}

TEST_F(ViewerModes, DamagedSlideIsPassedOver)
{
    const QString broken = dir.filePath("broken.png");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x89PNG but nothing more");
    file.close();
    frmViwer *v = show({image("a.png", 200, 150), broken, QString(), image("c.png", 250, 250)});
    trigger(v, "mnuSlideShow");
    tick(v);
    EXPECT_EQ(shownName(v), QStringLiteral("a.png"));
    EXPECT_TRUE(v->windowTitle().startsWith(QStringLiteral("a.png")));
    tick(v);                 // the empty entry is passed over the same way
    tick(v);
    EXPECT_EQ(shownName(v), QStringLiteral("c.png"));
    EXPECT_TRUE(v->isVisible());
}

TEST_F(ViewerModes, ListShrinkingUnderARunningShowStartsAgainAtTheFront)
{
    const QString a = image("a.png", 200, 150), b = image("b.png", 300, 200), c = image("c.png", 100, 100);
    frmViwer *v = show({a, b, c}, 2);
    trigger(v, "mnuSlideShow");
    tick(v);
    tick(v);
    EXPECT_EQ(v->slideIndex(), 2);
    QStringList one = {c};
    int index = 0;
    v->ViewImage(one, index);
    tick(v);
    EXPECT_EQ(shownName(v), QStringLiteral("c.png"));
}

TEST_F(ViewerModes, BrowsingAwayLeavesTheShowRunning)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    trigger(v, "mnuSlideShow");
    trigger(v, "mnuBrowse");
    EXPECT_FALSE(v->isVisible());
    EXPECT_TRUE(v->slideShowTimer()->isActive());
    tick(v);
    EXPECT_EQ(shownName(v), QStringLiteral("b.png"));
}

// ---- Settings ----

TEST_F(ViewerModes, FirstStartUsesTheDefaults)
{
    forgetSettings();
    frmViwer *v = frmViwer::instance();
    EXPECT_TRUE(v->imgX()->AntiAliasDisplay());
    EXPECT_TRUE(v->findChild<QAction *>(QStringLiteral("mnuAntiAliasDisplay"))->isChecked());
    EXPECT_EQ(v->slideShowTimer()->interval(), 2000);
    EXPECT_TRUE(v->isFullScreenMode());
}

TEST_F(ViewerModes, StoredValuesOutsideTheLimitsReadAsDefaults)
{
    storeSetting(ViewerSettings::AntiAliasName, QStringLiteral("sometimes"));
    storeSetting(ViewerSettings::DelayName, QStringLiteral("40000"));
    frmViwer *v = viewer();
    EXPECT_TRUE(v->imgX()->AntiAliasDisplay());
    EXPECT_EQ(v->slideShowTimer()->interval(), 2000);

    storeSetting(ViewerSettings::DelayName, QStringLiteral("-5"));
    EXPECT_EQ(viewer()->slideShowTimer()->interval(), 2000);
    storeSetting(ViewerSettings::DelayName, QStringLiteral("750"));
    EXPECT_EQ(viewer()->slideShowTimer()->interval(), 750);
}

TEST_F(ViewerModes, AntiAliasToggleFollowsTheStoredValue)
{
    storeSetting(ViewerSettings::AntiAliasName, QStringLiteral("0"));
    frmViwer *v = viewer();
    QAction *item = v->findChild<QAction *>(QStringLiteral("mnuAntiAliasDisplay"));
    EXPECT_FALSE(v->imgX()->AntiAliasDisplay());
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(v->imgX()->AntiAliasDisplay());
    EXPECT_TRUE(item->isChecked());
    EXPECT_EQ(storedSetting(ViewerSettings::AntiAliasName), QStringLiteral("-1"));
    item->trigger();
    EXPECT_EQ(storedSetting(ViewerSettings::AntiAliasName), QStringLiteral("0"));
}

TEST_F(ViewerModes, DelayPromptAcceptsWholeMillisecondsOnly)
{
    frmViwer *v = viewer();
    ScriptedPrompts &prompts = ScriptedPrompts::instance();
    const struct { std::optional<QString> answer; int expected; } cases[] = {
        {QStringLiteral("1500"), 1500}, {QStringLiteral("abc"), 1500}, {QString(), 1500},
        {std::nullopt, 1500}, {QStringLiteral("2.5e3"), 2500}, {QStringLiteral("1500.5"), 1500},
        {QStringLiteral("1501.5"), 1502}, {QStringLiteral("40000"), 1502}, {QStringLiteral("-1"), 1502},
        {QStringLiteral("0"), 0}};
    for (const auto &c : cases) {
        prompts.answerInput(c.answer);
        trigger(v, "mnuSlideShowDelay");
        EXPECT_EQ(v->slideShowTimer()->interval(), c.expected) << c.answer.value_or("<cancel>").toStdString();
        EXPECT_EQ(storedSetting(ViewerSettings::DelayName), QString::number(c.expected));
    }
    ASSERT_GE(prompts.inputs.size(), 2);
    EXPECT_EQ(prompts.inputs[0].title, QStringLiteral("Slide Show Delay"));
    EXPECT_EQ(prompts.inputs[0].prompt, QStringLiteral("Delay in Milliseconds(1000=1 Second):"));
    EXPECT_EQ(prompts.inputs[0].defaultText, QStringLiteral("2000"));
    EXPECT_EQ(prompts.inputs[1].defaultText, QStringLiteral("1500"));
}

TEST_F(ViewerModes, NewDelayStopsARunningShowForGood)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    trigger(v, "mnuSlideShow");
    ScriptedPrompts::instance().answerInput(QStringLiteral("3000"));
    trigger(v, "mnuSlideShowDelay");
    EXPECT_FALSE(v->isSlideShowRunning());
    EXPECT_FALSE(v->slideShowTimer()->isActive());
    EXPECT_EQ(v->slideShowTimer()->interval(), 3000);
}

TEST_F(ViewerModes, ZeroDelayNeverTicks)
{
    storeSetting(ViewerSettings::DelayName, QStringLiteral("0"));
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    trigger(v, "mnuSlideShow");
    EXPECT_TRUE(v->isSlideShowRunning());
    EXPECT_FALSE(v->slideShowTimer()->isActive());
}

// ---- Closing ----

TEST_F(ViewerModes, ClosingStoresTheModeAndReturnsToTheMainWindow)
{
    frmViwer *v = show({image("a.png", 200, 150), image("b.png", 300, 200)});
    trigger(v, "mnuSlideShow");
    QTimer *timer = v->slideShowTimer();
    v->close();
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(storedSetting(ViewerSettings::FullScreenName), QStringLiteral("0"));
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("ShowMainWindow")});
    EXPECT_FALSE(frmViwer::isLoaded());
    processEvents();

    // Loaded again on the next use, with the settings read again.
    frmViwer *again = show({image("c.png", 200, 150)}, 0, true);
    EXPECT_TRUE(frmViwer::isLoaded());
    EXPECT_TRUE(again->isFullScreenMode());
    again->close();
    EXPECT_EQ(storedSetting(ViewerSettings::FullScreenName), QStringLiteral("-1"));
}

TEST_F(ViewerModes, ClosingAStandaloneViewerEndsTheProgram)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    v->m_Standalone = true;
    v->close();
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("EndProgram")});
}

TEST_F(ViewerModes, ShutdownOfTheMainWindowRunsTheClosingSteps)
{
    frmViwer *v = show({image("a.png", 200, 150)});
    v->m_Standalone = true;
    trigger(v, "mnuFullScreen");
    frmViwer::unloadIfLoaded();
    EXPECT_FALSE(frmViwer::isLoaded());
    EXPECT_EQ(storedSetting(ViewerSettings::FullScreenName), QStringLiteral("-1"));
    EXPECT_TRUE(host.calls.isEmpty());
}
