// The charts as the main dialog builds, feeds, switches and resizes them,
// on a real dialog created modelessly on the scripted machine.

#include "app/palisk_dlg.h"

#include "charts/duvudov_ctrl.h"
#include "kernel/kernel_if.h"
#include "widgets/static_fader.h"

#include <gtest/gtest.h>

#include "host/scripted_machine.h"
#include "host/user.h"
#include "program_resources.h"

#include <memory>

namespace {

class DialogChartsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::SetActiveMachine(&machine);
        host::RegisterProgramResources();
        dialog = std::make_unique<CPaliskDlg>();
        ASSERT_TRUE(dialog->Create(IDD_PALISK_DIALOG));
        ASSERT_TRUE(dialog->m_bInitialized);
    }
    void TearDown() override {
        if (dialog->GetSafeHwnd() != nullptr) dialog->DestroyWindow();
        dialog.reset();
        host::user::ProcessEvents();
        AfxUnlockTempMaps();
        host::SetActiveMachine(nullptr);
    }

    bool Visible(CWnd& window) const { return window.GetSafeHwnd() != nullptr && window.IsWindowVisible(); }

    host::ScriptedMachine machine;
    std::unique_ptr<CPaliskDlg> dialog;
};

TEST_F(DialogChartsTest, StartsInThePageFilePanel) {
    EXPECT_TRUE(dialog->m_bShowPageFile);
    EXPECT_FALSE(dialog->m_bShowCacheEffectiveness);
    EXPECT_FALSE(Visible(dialog->m_btnShowPageFile));
    EXPECT_TRUE(Visible(dialog->m_btnShowCacheEffectiveness));
    EXPECT_FALSE(Visible(dialog->m_btnShowRepurposed));
    ASSERT_NE(dialog->m_pPageFileChart, nullptr);
    ASSERT_NE(dialog->m_pReadChart, nullptr);
    EXPECT_TRUE(Visible(*dialog->m_pPageFileChart));
    EXPECT_FALSE(Visible(*dialog->m_pReadChart));
    EXPECT_TRUE(Visible(dialog->m_stPageFileTitle));
    EXPECT_FALSE(Visible(dialog->m_stCacheTitle));
    for (CStaticFader* label : dialog->m_pPageFileLegend) {
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(Visible(*label));
    }
}

TEST_F(DialogChartsTest, ToggleCycleShowsExactlyOneButton) {
    auto visibleButtons = [&] {
        return Visible(dialog->m_btnShowRepurposed) + Visible(dialog->m_btnShowCacheEffectiveness) +
               Visible(dialog->m_btnShowPageFile);
    };
    dialog->m_nRefreshCount = 5;
    ASSERT_TRUE(host::user::Click(dialog->m_btnShowCacheEffectiveness));
    EXPECT_TRUE(dialog->m_bShowCacheEffectiveness);
    EXPECT_FALSE(dialog->m_bShowPageFile);
    EXPECT_EQ(visibleButtons(), 1);
    EXPECT_TRUE(Visible(dialog->m_btnShowRepurposed));
    EXPECT_TRUE(Visible(*dialog->m_pReadChart));
    EXPECT_TRUE(Visible(dialog->m_stCacheTitle));
    EXPECT_FALSE(Visible(*dialog->m_pPageFileChart));
    EXPECT_FALSE(Visible(*dialog->m_pPageFileLegend[0]));
    EXPECT_EQ(dialog->m_nRefreshCount, 0);  // the RAM chart was rebuilt

    ASSERT_TRUE(host::user::Click(dialog->m_btnShowRepurposed));
    EXPECT_FALSE(dialog->m_bShowCacheEffectiveness);
    EXPECT_FALSE(dialog->m_bShowPageFile);
    EXPECT_EQ(visibleButtons(), 1);
    EXPECT_TRUE(Visible(dialog->m_btnShowPageFile));
    EXPECT_FALSE(Visible(*dialog->m_pReadChart));
    EXPECT_FALSE(Visible(*dialog->m_pPageFileChart));
    // Alone, the RAM chart reaches 0.84 of the window's outer height.
    RECT outer{}, chart{};
    dialog->GetWindowRect(&outer);
    dialog->m_pRamChart->GetWindowRect(&chart);
    EXPECT_EQ(chart.bottom - chart.top, static_cast<int>((outer.bottom - outer.top) * 0.84));

    ASSERT_TRUE(host::user::Click(dialog->m_btnShowPageFile));
    EXPECT_TRUE(dialog->m_bShowPageFile);
    EXPECT_EQ(visibleButtons(), 1);
    EXPECT_TRUE(Visible(dialog->m_btnShowCacheEffectiveness));
    EXPECT_TRUE(Visible(*dialog->m_pPageFileChart));
    EXPECT_TRUE(Visible(*dialog->m_pPageFileLegend[2]));

    // A handler whose guard fails changes nothing.
    dialog->m_nRefreshCount = 3;
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHOW_REPURPOSED, BN_CLICKED), 0);
    EXPECT_EQ(dialog->m_nRefreshCount, 3);
}

TEST_F(DialogChartsTest, ResizeRebuildsTheRamChartAndRestartsRefreshCounting) {
    dialog->m_nRefreshCount = 7;
    const CDUVudovCtrl* before = dialog->m_pRamChart;
    ASSERT_TRUE(host::user::Resize(dialog->GetSafeHwnd(), 1100, 760));
    EXPECT_EQ(dialog->m_nRefreshCount, 0);
    ASSERT_NE(dialog->m_pRamChart, nullptr);
    RECT outer{}, chart{};
    dialog->GetWindowRect(&outer);
    dialog->m_pRamChart->GetWindowRect(&chart);
    EXPECT_EQ(chart.bottom - chart.top, static_cast<int>((outer.bottom - outer.top) * 0.5));
    EXPECT_EQ(chart.right - chart.left, static_cast<int>((outer.right - outer.left) * 0.45));
    (void)before;
    // Before initialisation has finished a size message builds nothing.
    dialog->m_bInitialized = false;
    dialog->m_nRefreshCount = 4;
    dialog->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(900, 600));
    EXPECT_EQ(dialog->m_nRefreshCount, 4);
    dialog->m_bInitialized = true;
}

TEST_F(DialogChartsTest, FirstFeedSetsTheRamRangeAndLegendTexts) {
    dialog->m_bPdhReady = true;
    dialog->RebuildRamChart(0.5);
    ASSERT_EQ(dialog->m_pRamChart->m_nTraceCount, 18);
    EXPECT_DOUBLE_EQ(dialog->m_pRamChart->m_dMax, 10.0);  // the default until the first feed
    const ULONG standby[8] = {256, 0, 0, 0, 0, 0, 0, 0};
    dialog->FeedRamChart(3000000, 4194304, 0, 0, 0, 0, 300, 0, 0, 0, 0, 0, standby);
    EXPECT_DOUBLE_EQ(dialog->m_pRamChart->m_dMax, 16384.0);
    EXPECT_EQ(dialog->m_pRamChart->m_nLabelDecimals, 0);
    EXPECT_FALSE(Visible(dialog->m_progRam));
    EXPECT_FALSE(Visible(dialog->m_stInfoBox));
    // No target: the bytes form of 0. 300 pages of 4 KiB are 1 MB and 176 KiB,
    // 176 × 100 ÷ 1024 = 17 hundredths.
    EXPECT_STREQ(dialog->m_pRamLegend[1]->m_strText.GetString(), L"       0 Bytes");
    EXPECT_STREQ(dialog->m_pRamLegend[4]->m_strText.GetString(), L"       1.17 MB");
    EXPECT_STREQ(dialog->m_pRamLegend[4]->m_strCaption.GetString(), L"Cache WS ");
    EXPECT_STREQ(dialog->m_pRamLegend[17]->m_strCaption.GetString(), L"Bad ");

    // Later feeds keep the range; a rebuild brings the first feed back.
    dialog->m_nRefreshCount = 1;
    dialog->FeedRamChart(3000000, 8388608, 0, 0, 0, 0, 300, 0, 0, 0, 0, 0, standby);
    EXPECT_DOUBLE_EQ(dialog->m_pRamChart->m_dMax, 16384.0);
    dialog->RebuildRamChart(0.5);
    dialog->FeedRamChartBasic(3000000, 8388608, 300, 300, 0, 0, 0);
    EXPECT_DOUBLE_EQ(dialog->m_pRamChart->m_dMax, 32768.0);
}

TEST_F(DialogChartsTest, BasicLayoutShowsNamesOnly) {
    dialog->m_bPdhReady = false;
    dialog->RebuildRamChart(0.5);
    ASSERT_EQ(dialog->m_pRamChart->m_nTraceCount, 4);
    const wchar_t* names[] = {L"Other Used", L"Cache WS ", L"Cache Sby ", L"Total RAM "};
    for (int t = 0; t < 4; ++t) {
        ASSERT_NE(dialog->m_pRamLegend[t], nullptr);
        EXPECT_STREQ(dialog->m_pRamLegend[t]->m_strCaption.GetString(), names[t]);
    }
    for (int t = 4; t < 18; ++t) EXPECT_EQ(dialog->m_pRamLegend[t], nullptr);
    const ULONG standby[8] = {};
    dialog->FeedRamChart(1024, 4096, 0, 0, 0, 0, 256, 768, 0, 0, 0, 0, standby);
    for (int t = 0; t < 4; ++t) EXPECT_TRUE(dialog->m_pRamLegend[t]->m_strText.IsEmpty());
    EXPECT_DOUBLE_EQ(dialog->m_pRamChart->m_dPrevious[3], 16.0);
    EXPECT_DOUBLE_EQ(dialog->m_pRamChart->m_dPrevious[0], 11.0);
}

TEST_F(DialogChartsTest, ReadChartScaleJumpsAndHalves) {
    CDUVudovCtrl* chart = dialog->m_pReadChart;
    EXPECT_EQ(dialog->m_nReadScaleMax, 100u);
    dialog->FeedReadChart(250, 50);
    EXPECT_EQ(dialog->m_nReadScaleMax, 250u);
    // Four labels without decimals from 250 down to 0: 250, 167, 83 and 0.
    EXPECT_DOUBLE_EQ(chart->m_dMax, 250.0);
    EXPECT_DOUBLE_EQ(chart->m_dMin, 0.0);
    EXPECT_EQ(chart->m_nGridLabelCount, 4);
    EXPECT_EQ(chart->m_nLabelDecimals, 0);
    EXPECT_DOUBLE_EQ(chart->m_dPrevious[0], 200.0);
    for (int i = 0; i < 61; ++i) dialog->FeedReadChart(10, 0);
    EXPECT_EQ(dialog->m_nReadScaleMax, 125u);
    EXPECT_DOUBLE_EQ(chart->m_dMax, 125.0);
    dialog->FeedReadChart(10, 40);  // misses above hits: an empty first band
    EXPECT_DOUBLE_EQ(chart->m_dPrevious[0], 0.0);
}

TEST_F(DialogChartsTest, PageFileChartFor2GigabytesInUse) {
    dialog->FeedPageFileChart(0, 2048ull * 1048576, 0);
    EXPECT_STREQ(dialog->m_pPageFileLegend[0]->m_strText.GetString(), L"       0 Bytes");
    EXPECT_STREQ(dialog->m_pPageFileLegend[1]->m_strText.GetString(), L"    2048.00 MB");
    EXPECT_STREQ(dialog->m_pPageFileLegend[2]->m_strText.GetString(), L"       0 Bytes");
    EXPECT_STREQ(dialog->m_pPageFileLegend[1]->m_strCaption.GetString(), L"Stable");
    CDUVudovCtrl* chart = dialog->m_pPageFileChart;
    EXPECT_TRUE(chart->m_bTopDown);
    EXPECT_DOUBLE_EQ(chart->m_dMax, 5120.0);
    EXPECT_DOUBLE_EQ(chart->m_dPrevious[0], 0.0);
    EXPECT_DOUBLE_EQ(chart->m_dPrevious[1], 2048.0);
    EXPECT_DOUBLE_EQ(chart->m_dPrevious[2], 2048.0);
}

}  // namespace
