// The charts' arithmetic without windows: strip chart geometry and labels,
// the RAM chart's bands, the read chart's scale, chart placement.

#include "charts/chart_placement.h"
#include "charts/ram_chart_layout.h"
#include "charts/read_scale.h"
#include "charts/strip_chart_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace strip_chart;

TEST(StripChartMathTest, FrameLeftFromDecimalsDigitsAndFactor) {
    EXPECT_EQ(FrameLeft(0, 3, -10, 10, 1.0), 48);
    EXPECT_EQ(FrameLeft(0, 0, 0, 100, 1.0), 36);
    EXPECT_EQ(FrameLeft(0, 0, 0, 16384, 1.0), 48);
    EXPECT_EQ(FrameLeft(0, 3, -10, 10, 2.0), 96);
    EXPECT_EQ(LabelDigits(0, 0), 0);  // a zero bound counts for nothing
    EXPECT_EQ(LabelDigits(-12345, 10), 4);
    EXPECT_EQ(LabelDigits(0, std::numeric_limits<double>::infinity()), 0);
}

TEST(StripChartMathTest, DisplayFactorInWholeMultiples) {
    EXPECT_EQ(DisplayFactor(96), 1.0);
    EXPECT_EQ(DisplayFactor(144), 1.0);
    EXPECT_EQ(DisplayFactor(192), 2.0);
    EXPECT_EQ(DisplayFactor(72), 1.0);
    EXPECT_EQ(DisplayFactor(0), 1.0);
}

TEST(StripChartMathTest, FrameRowsMoveWithTheCaption) {
    FrameRows normal = FrameTopBottom(false, 200, 1.0);
    EXPECT_EQ(normal.top, 10);
    EXPECT_EQ(normal.bottom, 175);
    FrameRows doubled = FrameTopBottom(false, 200, 2.0);
    EXPECT_EQ(doubled.bottom, 160);  // 15 further up
    FrameRows topDown = FrameTopBottom(true, 200, 1.0);
    EXPECT_EQ(topDown.top, 25);
    EXPECT_EQ(topDown.bottom, 190);
}

TEST(StripChartMathTest, LabelValuesRowsAndAlignment) {
    const wchar_t* defaults[] = {L"10.000", L"5.000", L"0.000", L"-5.000", L"-10.000"};
    for (int i = 0; i < 5; ++i) EXPECT_STREQ(FormatLabel(LabelValue(i, 5, -10, 10), 3).GetString(), defaults[i]);
    const wchar_t* percent[] = {L"100", L"67", L"33", L"0"};
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(FormatLabel(LabelValue(i, 4, 0, 100), 0).GetString(), percent[i]);
    const wchar_t* ram[] = {L"16384", L"13107", L"9830", L"6554", L"3277", L"0"};
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(FormatLabel(LabelValue(i, 6, 0, 16384), 0).GetString(), ram[i]);
    EXPECT_EQ(LabelValue(0, 1, 0, 50), 50.0);

    EXPECT_EQ(LabelRow(0, 4, 10, 175, false), 10);
    EXPECT_EQ(LabelRow(1, 4, 10, 175, false), 65);
    EXPECT_EQ(LabelRow(3, 4, 10, 175, false), 175);
    EXPECT_EQ(LabelRow(0, 4, 25, 190, true), 190);
    EXPECT_EQ(LabelRow(3, 4, 25, 190, true), 25);
    EXPECT_EQ(LabelRow(0, 1, 10, 175, false), 10);
    EXPECT_EQ(LabelRow(0, 1, 25, 190, true), 190);

    EXPECT_EQ(LabelAlign(0, 5, false), static_cast<UINT>(TA_RIGHT | TA_TOP));
    EXPECT_EQ(LabelAlign(4, 5, false), static_cast<UINT>(TA_RIGHT | TA_BOTTOM));
    EXPECT_EQ(LabelAlign(2, 5, false), static_cast<UINT>(TA_RIGHT | TA_BASELINE));
    EXPECT_EQ(LabelAlign(0, 5, true), static_cast<UINT>(TA_RIGHT | TA_BOTTOM));
    EXPECT_EQ(LabelAlign(4, 5, true), static_cast<UINT>(TA_RIGHT | TA_TOP));
    EXPECT_EQ(LabelAlign(0, 1, false), static_cast<UINT>(TA_RIGHT | TA_TOP));
    EXPECT_EQ(LabelAlign(0, 1, true), static_cast<UINT>(TA_RIGHT | TA_BOTTOM));
    EXPECT_TRUE(RowHasDots(0, 1));
    EXPECT_FALSE(RowHasDots(0, 5));
    EXPECT_FALSE(RowHasDots(4, 5));
    EXPECT_TRUE(RowHasDots(2, 5));
}

TEST(StripChartMathTest, ValueToRowBothWaysAndDegenerateRanges) {
    const double ppu = 165.0 / 100.0;
    EXPECT_EQ(ValueToRow(0, 0, ppu, 10, 175, false), 175);
    EXPECT_EQ(ValueToRow(100, 0, ppu, 10, 175, false), 10);
    EXPECT_EQ(ValueToRow(50, 0, ppu, 10, 175, false), 175 - 82);
    EXPECT_EQ(ValueToRow(0, 0, ppu, 25, 190, true), 25);
    EXPECT_EQ(ValueToRow(100, 0, ppu, 25, 190, true), 190);
    // A span of 0 gives infinite pixels per unit: no crash, a bound row.
    EXPECT_EQ(ValueToRow(5, 5, std::numeric_limits<double>::infinity(), 10, 175, false), 175);
    EXPECT_EQ(ValueToRow(std::nan(""), 0, ppu, 10, 175, false), 175);
}

TEST(RamChartLayoutTest, FullBandsStackToPhysicalMemory) {
    ram_chart::PageFigures f;
    f.physical = 4194304;
    f.targetWs = 1000;
    f.modified = 2000;
    f.modifiedNoWrite = 300;
    f.cacheResident = 40000;
    f.systemWs = 500;
    f.compressionWs = 600;
    for (int p = 0; p < 8; ++p) f.standby[p] = 100000 * (p + 1);
    f.free = 100000;
    f.zeroed = 100000;
    // The lists add up to all pages: available = standby + free + zeroed.
    f.available = 3600000 + 200000;
    ULONGLONG bands[18];
    ram_chart::FullBands(f, bands);
    EXPECT_EQ(bands[0], 4194304ull - 3800000 - 1000 - 2000 - 300 - 40000 - 500 - 600);
    EXPECT_EQ(bands[7], 800000u);   // standby priority 7 first
    EXPECT_EQ(bands[14], 100000u);  // priority 0 last
    double values[18];
    ram_chart::StackMegabytes(bands, 18, values);
    EXPECT_DOUBLE_EQ(values[17], 4194304 / 256.0);
    EXPECT_DOUBLE_EQ(values[0], bands[0] / 256.0);
}

TEST(RamChartLayoutTest, OverfullUsedPartsGiveAnEmptyFirstBand) {
    ram_chart::PageFigures f;
    f.physical = 1000;
    f.available = 900;
    f.cacheResident = 150;  // more than the 100 used pages
    ULONGLONG bands[18];
    ram_chart::FullBands(f, bands);
    EXPECT_EQ(bands[0], 0u);
    f.available = 2000;  // more available than physical
    ram_chart::FullBands(f, bands);
    EXPECT_EQ(bands[0], 0u);
}

TEST(RamChartLayoutTest, BasicAndReducedValues) {
    double basic[4];
    ram_chart::BasicValues(1024, 4096, 256, 768, basic);
    EXPECT_DOUBLE_EQ(basic[0], 11.0);
    EXPECT_DOUBLE_EQ(basic[1], 12.0);
    EXPECT_DOUBLE_EQ(basic[2], 14.0);
    EXPECT_DOUBLE_EQ(basic[3], 16.0);
    ram_chart::BasicValues(0, 256, 512, 0, basic);
    EXPECT_DOUBLE_EQ(basic[0], -1.0);  // below the axis, not a wrapped count

    double reduced[18];
    ram_chart::ReducedFullValues(1024, 4096, 256, 256, 512, 256, reduced);
    EXPECT_DOUBLE_EQ(reduced[0], 11.0);
    EXPECT_DOUBLE_EQ(reduced[1], 12.0);
    EXPECT_DOUBLE_EQ(reduced[2], 13.0);
    EXPECT_DOUBLE_EQ(reduced[3], 15.0);
    EXPECT_DOUBLE_EQ(reduced[4], 16.0);
    EXPECT_DOUBLE_EQ(reduced[5], 16.0);
    for (int i = 6; i < 18; ++i) EXPECT_DOUBLE_EQ(reduced[i], 16.0);
}

TEST(ReadScaleTest, JumpsToAPeakAndHalvesAfterSixtyOneLowFeeds) {
    ULONGLONG scale = 100;
    int low = 5;
    EXPECT_EQ(read_chart::UpdateScale(250, &scale, &low), read_chart::ScaleChange::Raised);
    EXPECT_EQ(scale, 250u);
    EXPECT_EQ(low, 0);

    scale = 400;
    for (int i = 0; i < 60; ++i) EXPECT_EQ(read_chart::UpdateScale(50, &scale, &low), read_chart::ScaleChange::None);
    EXPECT_EQ(low, 60);
    EXPECT_EQ(read_chart::UpdateScale(50, &scale, &low), read_chart::ScaleChange::Halved);
    EXPECT_EQ(scale, 200u);
    EXPECT_EQ(low, 0);
    for (int i = 0; i < 61; ++i) read_chart::UpdateScale(50, &scale, &low);
    EXPECT_EQ(scale, 100u);
    for (int i = 0; i < 200; ++i) read_chart::UpdateScale(50, &scale, &low);
    EXPECT_EQ(scale, 100u);  // 50 is not below a third of 100
    EXPECT_EQ(low, 0);
}

TEST(ReadScaleTest, SmallScalesOnlyResetTheCount) {
    ULONGLONG scale = 100;
    int low = 0;
    for (int i = 0; i < 61; ++i) EXPECT_EQ(read_chart::UpdateScale(10, &scale, &low), read_chart::ScaleChange::None);
    EXPECT_EQ(scale, 100u);
    EXPECT_EQ(low, 0);

    scale = 101;
    for (int i = 0; i < 61; ++i) read_chart::UpdateScale(10, &scale, &low);
    EXPECT_EQ(scale, 50u);  // the smallest scale reachable
    for (int i = 0; i < 61; ++i) read_chart::UpdateScale(10, &scale, &low);
    EXPECT_EQ(scale, 50u);

    low = 7;
    read_chart::UpdateScale(50, &scale, &low);  // equal to the scale
    EXPECT_EQ(low, 0);
}

TEST(ReadScaleTest, MissesAboveHitsGiveAnEmptyBand) {
    double values[3];
    read_chart::SampleValues(10, 30, 100, values);
    EXPECT_EQ(values[0], 0.0);
    EXPECT_EQ(values[1], 10.0);
    EXPECT_EQ(values[2], 100.0);
    read_chart::SampleValues(30, 10, 100, values);
    EXPECT_EQ(values[0], 20.0);
}

TEST(ChartPlacementTest, LegendSlotsFollowTheDisplayFactor) {
    const RECT chart = {500, 40, 900, 420};
    const auto full = chart_placement::RamLegend(chart, 380, 2.0, true);
    EXPECT_EQ(full.first.left, 500 - 360);
    EXPECT_EQ(full.first.right, 493);
    EXPECT_EQ(full.first.top, 40 + 10);
    EXPECT_EQ(full.first.bottom - full.first.top, 40);
    EXPECT_EQ(full.step, 20);
    const auto basic = chart_placement::RamLegend(chart, 380, 2.0, false);
    EXPECT_EQ(basic.first.right - basic.first.left, 100);
    EXPECT_EQ(basic.first.bottom - basic.first.top, 20);
    EXPECT_EQ(basic.step, 76);

    const RECT dialog = {-8, -31, 1208, 769};
    const auto size = chart_placement::SizeFor(dialog, 0.45, 0.32);
    EXPECT_EQ(size.width, 547);
    EXPECT_EQ(size.height, 256);
    const RECT lower = chart_placement::LowerChartRect(dialog, 769 - 46, size);
    EXPECT_EQ(lower.right, 1198);
    EXPECT_EQ(lower.left, 1198 - 547);
    EXPECT_EQ(lower.top, 723 - 256);
}

}  // namespace
