// The picture toolbar and the panel status bar the viewer is built with.

#include "StatusBar.h"
#include "Toolbar.h"
#include "ToolbarPictures.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QStringList kKeys = {"open32", "browsed32", "previous32", "next32",
                           "slidshow32", "zoomin32", "zoomiout32", "fullscreen32"};

// Three buttons with a separator between each pair.
struct ThreeButtons {
    ThreeButtons()
    {
        for (int i = 0; i < 3; ++i) {
            if (i > 0)
                bar.AddSeparator();
            bar.AddButton(kKeys[i], QStringLiteral("tip %1").arg(i), ToolbarPictures::picture(kKeys[i], false),
                          ToolbarPictures::picture(kKeys[i], true));
        }
        bar.resize(bar.sizeHint());
        bar.show();
    }
    void click(int index) { QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, bar.itemRect(index).center()); }
    Toolbar bar;
};

}

TEST(ToolbarWidget, ClicksReportTheItemNumberAndKey)
{
    ThreeButtons t;
    QSignalSpy clicks(&t.bar, &Toolbar::ButtonClick);
    ASSERT_EQ(t.bar.ItemCount(), 5);
    t.click(3);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 3);
    EXPECT_EQ(clicks[0][1].toString(), QStringLiteral("browsed32"));
    t.click(2);                                       // a separator
    t.click(4);
    EXPECT_EQ(clicks.size(), 1);
    EXPECT_EQ(t.bar.Item(4).Style(), int(ToolbarItem::Separator));
    EXPECT_EQ(t.bar.Item(5).ToolTipText(), QStringLiteral("tip 2"));
}

TEST(ToolbarWidget, DisabledButtonsAndDragsOffAButtonDoNotClick)
{
    ThreeButtons t;
    QSignalSpy clicks(&t.bar, &Toolbar::ButtonClick);
    t.bar.Item(1).setEnabled(false);
    t.click(1);
    EXPECT_TRUE(clicks.isEmpty());
    QTest::mousePress(&t.bar, Qt::LeftButton, Qt::NoModifier, t.bar.itemRect(3).center());
    QTest::mouseRelease(&t.bar, Qt::LeftButton, Qt::NoModifier, t.bar.itemRect(5).center());
    EXPECT_TRUE(clicks.isEmpty());
}

TEST(ToolbarWidget, CheckedStateIsKeptAndDrawnPressed)
{
    ThreeButtons t;
    const QImage before = t.bar.grab().toImage();
    t.bar.Item(3).setChecked(true);
    t.bar.Refresh();
    EXPECT_TRUE(t.bar.Item(3).Checked());
    EXPECT_NE(t.bar.grab().toImage(), before);
    t.click(3);                                       // clicks do not change the state by themselves
    EXPECT_TRUE(t.bar.Item(3).Checked());
}

// Narrowed, the separators give up room before a button is left out, and
// a button left out takes no click; widened again, the separators get it back.
TEST(ToolbarWidget, NarrowingTakesSeparatorRoomFirstAndWideningGivesItBack)
{
    ThreeButtons t;
    QSignalSpy clicks(&t.bar, &Toolbar::ButtonClick);
    const QSize full = t.bar.size();
    t.bar.resize(full.width() - 6, full.height());
    EXPECT_EQ(t.bar.itemRect(2).width(), 5);
    EXPECT_EQ(t.bar.itemRect(5).right(), t.bar.width() - 2);
    t.bar.resize(full.width() - 20, full.height());
    t.click(5);
    EXPECT_TRUE(clicks.isEmpty());
    t.bar.resize(full);
    EXPECT_EQ(t.bar.itemRect(2).width(), 8);
    t.click(5);
    EXPECT_EQ(clicks.size(), 1);
}

TEST(ToolbarPictureSet, SixteenDistinctPicturesOf40By32)
{
    QList<QImage> seen;
    for (const QString &key : kKeys) {
        for (bool hover : {false, true}) {
            const QImage picture = ToolbarPictures::picture(key, hover).toImage();
            EXPECT_EQ(picture.size(), QSize(40, 32)) << key.toStdString();
            EXPECT_FALSE(picture.hasAlphaChannel());
            EXPECT_FALSE(seen.contains(picture)) << key.toStdString() << hover;
            seen << picture;
        }
    }
    QImage blank(40, 32, QImage::Format_RGB32);
    blank.fill(ToolbarPictures::BackColor);
    EXPECT_EQ(ToolbarPictures::picture("unknown", false).toImage().convertToFormat(QImage::Format_RGB32), blank);
}

TEST(StatusBarWidget, FivePanelsAddressedFromOne)
{
    StatusBar bar(5);
    bar.setPanelText(1, "1/12");
    bar.setPanelText(5, "100 %");
    bar.setPanelText(0, "ignored");
    bar.setPanelText(6, "ignored");
    EXPECT_EQ(bar.PanelCount(), 5);
    EXPECT_EQ(bar.PanelText(1), QStringLiteral("1/12"));
    EXPECT_EQ(bar.PanelText(5), QStringLiteral("100 %"));
    EXPECT_EQ(bar.PanelText(6), QString());
    // A long text does not widen the window that holds the bar.
    const int before = bar.minimumSizeHint().width();
    bar.setPanelText(2, QString(300, QLatin1Char('x')));
    EXPECT_EQ(bar.minimumSizeHint().width(), before);
}
