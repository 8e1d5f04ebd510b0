// The viewer's rules that need no window: list steps, status texts,
// settings parsing, the key table and the print plan.

#include "ImageListRules.h"
#include "PrintPlan.h"
#include "QtPrinters.h"
#include "StatusText.h"
#include "ViewerCaption.h"
#include "ViewerFileFilters.h"
#include "ViewerGeometry.h"
#include "ViewerKeyTable.h"
#include "ViewerPopupMenu.h"
#include "ViewerSettings.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(ImageListRules, WrapMendsOnlyOneStepOutside)
{
    EXPECT_EQ(ImageListRules::wrap(3, 3), 0);
    EXPECT_EQ(ImageListRules::wrap(-1, 3), 2);
    EXPECT_EQ(ImageListRules::wrap(4, 3), 4);
    EXPECT_EQ(ImageListRules::wrap(-2, 3), -2);
    EXPECT_EQ(ImageListRules::wrap(1, 3), 1);
}

TEST(ImageListRules, StepsPassOneEmptyEntryOnly)
{
    const QStringList files = {"a", "", "", "d"};
    EXPECT_EQ(ImageListRules::nextStep(files, 0), 2);          // one empty entry passed; the second is not tested
    EXPECT_EQ(ImageListRules::previousStep(files, 3), 1);
    EXPECT_EQ(ImageListRules::nextStep(files, 3), std::nullopt);
    EXPECT_EQ(ImageListRules::previousStep(files, 0), std::nullopt);
    EXPECT_EQ(ImageListRules::previousStep(QStringList{"", "b"}, 1), -1);   // the wrap then shows the last
    EXPECT_EQ(ImageListRules::nextStep(QStringList{"a", ""}, 0), 2);
    EXPECT_EQ(ImageListRules::nextStep(QStringList(), 0), std::nullopt);
    EXPECT_EQ(ImageListRules::previousStep(QStringList{"a"}, 5), std::nullopt);
}

TEST(ViewerCaptionRules, PictureTypesAreFoundAsFragments)
{
    EXPECT_TRUE(ViewerCaption::isPictureLoaded("/x/a.ICO"));
    EXPECT_TRUE(ViewerCaption::isPictureLoaded("/x/a.cur"));
    EXPECT_TRUE(ViewerCaption::isPictureLoaded("/x/noext"));
    EXPECT_TRUE(ViewerCaption::isPictureLoaded("/x/a.co"));
    EXPECT_FALSE(ViewerCaption::isPictureLoaded("/x/a.png"));
    EXPECT_FALSE(ViewerCaption::isStatusFromFile("/x/a.cur"));
    EXPECT_TRUE(ViewerCaption::isStatusFromFile("/x/a.DIB"));
    EXPECT_EQ(ViewerCaption::forPath("/photos/sunset.jpg"),
              QStringLiteral("sunset.jpg- Quillmere %1.%2").arg(QMR_VERSION_MAJOR).arg(QMR_VERSION_MINOR));
}

TEST(StatusTexts, FileSizesAtTheirBoundaries)
{
    const QString point = QLocale().decimalPoint();
    EXPECT_EQ(StatusText::FormatFileSize(0), QStringLiteral("0 Bytes"));
    EXPECT_EQ(StatusText::FormatFileSize(1023), QStringLiteral("1023 Bytes"));
    EXPECT_EQ(StatusText::FormatFileSize(1024), QStringLiteral("1") + point + QStringLiteral(" KB"));
    EXPECT_EQ(StatusText::FormatFileSize(1536), QStringLiteral("1") + point + QStringLiteral("5 KB"));
    EXPECT_EQ(StatusText::FormatFileSize(1048575), QStringLiteral("1024") + point + QStringLiteral(" KB"));
    EXPECT_EQ(StatusText::FormatFileSize(1048576), QStringLiteral("1") + point + QStringLiteral(" MB"));
    EXPECT_EQ(StatusText::FormatFileSize(5.5f * 1048576), QStringLiteral("5") + point + QStringLiteral("5 MB"));
}

TEST(StatusTexts, OneDecimalPatternWritesNoZeros)
{
    EXPECT_EQ(StatusText::oneDecimal(0.04, ","), QStringLiteral(","));
    EXPECT_EQ(StatusText::oneDecimal(0.25, ","), QStringLiteral(",3"));     // half away from zero
    EXPECT_EQ(StatusText::oneDecimal(9.96, "."), QStringLiteral("10."));
    EXPECT_EQ(StatusText::oneDecimal(12.34, "."), QStringLiteral("12.3"));
}

TEST(StatusTexts, ZoomInWholePercent)
{
    EXPECT_EQ(StatusText::zoom(1.0), QStringLiteral("100 %"));
    EXPECT_EQ(StatusText::zoom(0.9375), QStringLiteral("94 %"));
    EXPECT_EQ(StatusText::zoom(16.0), QStringLiteral("1600 %"));
    EXPECT_EQ(StatusText::zoom(0.005), QStringLiteral("1 %"));
    EXPECT_EQ(StatusText::zoom(0.0042), QStringLiteral(" %"));
    EXPECT_EQ(StatusText::position(0, 12), QStringLiteral("1/12"));
    EXPECT_EQ(StatusText::dimensions(800, 600, 24, "JPG"), QStringLiteral("800x600x24b JPG"));
}

TEST(ViewerSettingsParsing, DelaysRoundHalvesToEvenAndStayIn16Bits)
{
    EXPECT_EQ(ViewerSettings::parseDelay("1500"), 1500);
    EXPECT_EQ(ViewerSettings::parseDelay(" 2.5e3 "), 2500);
    EXPECT_EQ(ViewerSettings::parseDelay("1500.5"), 1500);
    EXPECT_EQ(ViewerSettings::parseDelay("1501.5"), 1502);
    EXPECT_EQ(ViewerSettings::parseDelay("32767"), 32767);
    EXPECT_EQ(ViewerSettings::parseDelay("32767.4"), 32767);
    EXPECT_EQ(ViewerSettings::parseDelay("0"), 0);
    EXPECT_EQ(ViewerSettings::parseDelay("-0.4"), 0);
    EXPECT_EQ(ViewerSettings::parseDelay("32768"), std::nullopt);
    EXPECT_EQ(ViewerSettings::parseDelay("-1"), std::nullopt);
    EXPECT_EQ(ViewerSettings::parseDelay("abc"), std::nullopt);
    EXPECT_EQ(ViewerSettings::parseDelay(""), std::nullopt);
    EXPECT_EQ(ViewerSettings::parseDelay("12abc"), std::nullopt);
    EXPECT_EQ(ViewerSettings::parseDelay("nan"), std::nullopt);
    EXPECT_EQ(ViewerSettings::parseDelay("1e300"), std::nullopt);
}

TEST(ViewerSettingsParsing, BooleansAreNumbers)
{
    EXPECT_EQ(ViewerSettings::parseBoolean("-1"), true);
    EXPECT_EQ(ViewerSettings::parseBoolean("1"), true);
    EXPECT_EQ(ViewerSettings::parseBoolean("0"), false);
    EXPECT_EQ(ViewerSettings::parseBoolean("yes"), std::nullopt);
    EXPECT_EQ(ViewerSettings::booleanText(true), QStringLiteral("-1"));
    EXPECT_EQ(ViewerSettings::booleanText(false), QStringLiteral("0"));
}

TEST(ViewerGeometryRules, FitNeedsBothDirectionsLarger)
{
    EXPECT_EQ(ViewerGeometry::fitZoom(1000, 800, 15, 15, 6000, 6000), 6000.0 / 15000);
    EXPECT_EQ(ViewerGeometry::fitZoom(1000, 400, 15, 15, 6000, 6000), std::nullopt);
    EXPECT_EQ(ViewerGeometry::fitZoom(400, 400, 15, 15, 6000, 6000), std::nullopt);   // exactly as large
    EXPECT_EQ(ViewerGeometry::scrollMode(1.0, 400, 400, 15, 15, 6000, 6000), 3);
    EXPECT_EQ(ViewerGeometry::scrollMode(1.0, 400, 401, 15, 15, 6000, 6000), 2);
}

TEST(ViewerKeys, TableDependsOnModeOnlyForDeleteAndArrows)
{
    using C = ViewerCommand;
    EXPECT_EQ(ViewerKeyTable::command(46, false, 2), C::None);
    EXPECT_EQ(ViewerKeyTable::command(46, true, 3), C::DeleteFile);
    EXPECT_EQ(ViewerKeyTable::command(37, false, 3), C::None);
    EXPECT_EQ(ViewerKeyTable::command(40, true, 2), C::ScrollDown);
    EXPECT_EQ(ViewerKeyTable::command(71, false, 2), C::None);     // G: no key of the table
    EXPECT_EQ(ViewerKeyTable::messageRunsAfter(32), 8);
    EXPECT_EQ(ViewerKeyTable::messageRunsAfter(33), 2);
    EXPECT_EQ(ViewerKeyTable::messageRunsAfter(70), 0);
}

TEST(ViewerPopup, PositionLeavesFrameAndBarsOut)
{
    EXPECT_EQ(ViewerPopupMenu::position(1500, 3000, 15, 15, 10.4f, 20.6f), QPoint(110, 221));
    EXPECT_EQ(ViewerPopupMenu::command(0), ViewerCommand::None);
    EXPECT_EQ(ViewerPopupMenu::command(6), ViewerCommand::SetAsWallpaper);
    EXPECT_EQ(ViewerPopupMenu::command(11), ViewerCommand::None);
}

TEST(ViewerFilters, SavePresetIsTheInverseOfTheSaveTable)
{
    EXPECT_EQ(ViewerFileFilters::savePresetIndex(9), 3);
    EXPECT_EQ(ViewerFileFilters::savePresetIndex(10), 7);
    EXPECT_EQ(ViewerFileFilters::savePresetIndex(8), 10);
    EXPECT_EQ(ViewerFileFilters::savePresetIndex(11), std::nullopt);   // GIF
    EXPECT_EQ(ViewerFileFilters::savePresetIndex(0), std::nullopt);
}

TEST(ViewerPrintPlan, PlacementsRangesAndPageLoop)
{
    auto calls = PrintPlan::make(PrintPlan::TopLeft, 0, 1, 1, 1);   // one page, All: the page loop
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].what, PrintCall::Page);
    EXPECT_EQ(calls[0].pageIndex, 0);
    EXPECT_FALSE(calls[0].center);
    EXPECT_FALSE(calls[0].fit);

    calls = PrintPlan::make(PrintPlan::FitToPage, 0, 3, 1, 3);      // several pages, All: one job
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].what, PrintCall::AllPages);
    EXPECT_TRUE(calls[0].center && calls[0].fit);

    calls = PrintPlan::make(PrintPlan::Centered, 2, 3, 2, 3);       // pages 2 to 3
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].pageIndex, 1);
    EXPECT_EQ(calls[1].pageIndex, 2);
    EXPECT_TRUE(calls[1].center);
    EXPECT_FALSE(calls[1].fit);

    for (int placement : {0, 2}) {                                 // the selection: centred, not fitted
        calls = PrintPlan::make(placement, 1, 3, 1, 3);
        ASSERT_EQ(calls.size(), 1);
        EXPECT_EQ(calls[0].what, PrintCall::ShownImage);
        EXPECT_TRUE(calls[0].center);
        EXPECT_FALSE(calls[0].fit);
    }

    EXPECT_TRUE(PrintPlan::make(PrintPlan::TopLeft, 0, 0, 1, 0).isEmpty());   // nothing shown
    EXPECT_TRUE(PrintPlan::make(PrintPlan::TopLeft, 2, 0, 1, 0).isEmpty());
    EXPECT_TRUE(PrintPlan::make(PrintPlan::TopLeft, 2, 5, 4, 2).isEmpty());
}
