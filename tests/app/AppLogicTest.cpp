// The main window's rules that need no window: sizing, preview zoom steps
// and the command line.

#include "CommandLine.h"
#include "MainLayout.h"
#include "PreviewZoom.h"

#include <QDir>
#include <gtest/gtest.h>

#include "QtPrinters.h"

TEST(MainLayoutTest, WindowKeepsItsMinimumInTheDirectionThatWasTooSmall)
{
    EXPECT_EQ(MainLayout::limitedOuterSize(QSizeF(1000, 9000)), QSizeF(3700, 9000));
    EXPECT_EQ(MainLayout::limitedOuterSize(QSizeF(9000, 1000)), QSizeF(9000, 2400));
    EXPECT_EQ(MainLayout::limitedOuterSize(QSizeF(3700, 2400)), QSizeF(3700, 2400));
    EXPECT_EQ(MainLayout::limitedOuterSize(QSizeF(3701, 2401)), QSizeF(3701, 2401));
}

TEST(MainLayoutTest, SplittersFollowWindowAndContainer)
{
    // A window of exactly the minimum size.
    EXPECT_EQ(MainLayout::treeSplitterSize(QSizeF(3700, 2400)), QSizeF(3400, 1400));
    EXPECT_EQ(MainLayout::treeSplitterSize(QSizeF(9600, 8500)), QSizeF(9300, 7500));
    // The container's inner size less the strip's height and a margin.
    EXPECT_EQ(MainLayout::previewSplitterSize(QSizeF(6285, 7515), 525), QSizeF(6265, 6910));
}

TEST(PreviewZoomTest, ThirteenStepsInReachTheLimit)
{
    double zoom = 1.0;
    int steps = 0;
    while (auto next = PreviewZoom::zoomedIn(zoom)) {
        zoom = *next;
        ++steps;
        ASSERT_LT(steps, 100);
    }
    EXPECT_EQ(steps, 13);
    EXPECT_NEAR(zoom * 100, 1818.99, 0.01);
}

TEST(PreviewZoomTest, NineteenStepsOutReachTheLimit)
{
    double zoom = 1.0;
    int steps = 0;
    while (auto next = PreviewZoom::zoomedOut(zoom)) {
        zoom = *next;
        ++steps;
        ASSERT_LT(steps, 100);
    }
    EXPECT_EQ(steps, 19);
    EXPECT_NEAR(zoom * 100, 0.4228, 0.0001);
}

TEST(PreviewZoomTest, FactorsExactlyAtTheLimitsStillStep)
{
    ASSERT_TRUE(PreviewZoom::zoomedIn(16.0).has_value());
    EXPECT_DOUBLE_EQ(*PreviewZoom::zoomedIn(16.0), 20.0);
    ASSERT_TRUE(PreviewZoom::zoomedOut(0.005).has_value());
    EXPECT_FALSE(PreviewZoom::zoomedIn(16.01).has_value());
    EXPECT_FALSE(PreviewZoom::zoomedOut(0.0049).has_value());
}

TEST(PreviewZoomTest, ScrollsOnlyWhenTheImageOutgrowsTheControl)
{
    const QSize image(400, 300);
    // At 15 twips per pixel the image is 6000 x 4500 twips.
    EXPECT_EQ(PreviewZoom::scrollMode(1.0, image, 15, 15, QSizeF(6000, 4500)), 0);
    EXPECT_EQ(PreviewZoom::scrollMode(1.0, image, 15, 15, QSizeF(5999, 4500)), 2);
    EXPECT_EQ(PreviewZoom::scrollMode(1.0, image, 15, 15, QSizeF(6000, 4499)), 2);
    EXPECT_EQ(PreviewZoom::scrollMode(1.25, image, 15, 15, QSizeF(7500, 5625)), 0);
    EXPECT_EQ(PreviewZoom::scrollMode(1.25, image, 15, 15, QSizeF(7000, 9000)), 2);
}

TEST(CommandLineTest, SwitchesAreExactWholeLines)
{
    using CommandLine::Switch;
    EXPECT_EQ(CommandLine::switchOf("/Associate"), Switch::Associate);
    EXPECT_EQ(CommandLine::switchOf("/DeAssociate"), Switch::DeAssociate);
    EXPECT_EQ(CommandLine::switchOf("/associate"), Switch::None);
    EXPECT_EQ(CommandLine::switchOf("/DEASSOCIATE"), Switch::None);
    EXPECT_EQ(CommandLine::switchOf(" /Associate"), Switch::None);
    EXPECT_EQ(CommandLine::switchOf("/Associate /DeAssociate"), Switch::None);
    EXPECT_EQ(CommandLine::switchOf(""), Switch::None);
}

TEST(CommandLineTest, ArgumentsJoinWithSingleBlanksAndNothingTrimmed)
{
    EXPECT_EQ(CommandLine::join({}), QString());
    EXPECT_EQ(CommandLine::join({"/home/a/my photo.jpg"}), "/home/a/my photo.jpg");
    EXPECT_EQ(CommandLine::join({"a", "", "b "}), "a  b ");
}

TEST(CommandLineTest, IndexOfFindsTheFirstExactEntryOrZero)
{
    const QStringList list{"/p/a.jpg", "/p/b.jpg", "/p/b.jpg", "/p/c.png"};
    EXPECT_EQ(CommandLine::IndexOf(list, "/p/b.jpg"), 1);
    EXPECT_EQ(CommandLine::IndexOf(list, "/p/c.png"), 3);
    EXPECT_EQ(CommandLine::IndexOf(list, "/p/B.jpg"), 0);
    EXPECT_EQ(CommandLine::IndexOf(list, "/p/x.cur"), 0);
    EXPECT_EQ(CommandLine::IndexOf({}, "/p/a.jpg"), 0);
}

TEST(CommandLineTest, RelativePathsAreTakenFromTheCurrentFolder)
{
    EXPECT_EQ(CommandLine::absolutePath("/p/a.jpg"), "/p/a.jpg");
    EXPECT_EQ(CommandLine::absolutePath("a.jpg"), QDir::current().absoluteFilePath("a.jpg"));
    EXPECT_EQ(CommandLine::absolutePath("./x/../a.jpg"), QDir::current().absoluteFilePath("a.jpg"));
    EXPECT_EQ(CommandLine::absolutePath("/p//q/./a.jpg"), "/p/q/a.jpg");
    EXPECT_EQ(CommandLine::absolutePath(""), QString());
}
