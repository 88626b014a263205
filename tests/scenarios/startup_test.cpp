// The start-up of the main dialog, the refresh timer and its buttons, the
// system menu, the About box: run as scenarios on a scripted machine.

#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "charts/duvudov_ctrl.h"
#include "host/modules.h"
#include "host/resources.h"
#include "host/user.h"
#include "widgets/static_fader.h"

namespace {

using scenario_test::Control;
using scenario_test::CountModals;
using scenario_test::RunScenario;

std::string StartWith(const std::string& machine) {
    return R"({"machine": )" + machine + R"(, "steps": [{"start": {}}]})";
}

bool Logged(scenario::ScenarioRunner& runner, const std::string& fragment) {
    for (const std::string& line : runner.Machine().Actions())
        if (line.find(fragment) != std::string::npos) return true;
    return false;
}

TEST(StartUp, LeavesTheDialogRefreshingWithThePageFilePanel) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, scenario_test::ReadScenario("startup.json"));
    const nlohmann::json& started = runner.States().front();
    EXPECT_FALSE(Control(started, IDC_AUTO_START)["enabled"]);
    EXPECT_TRUE(Control(started, IDC_AUTO_STOP)["enabled"]);
    EXPECT_FALSE(Control(started, IDC_SHOW_PAGEFILE)["visible"]);
    EXPECT_TRUE(Control(started, IDC_SHOW_CACHE_EFFECTIVENESS)["visible"]);
    EXPECT_FALSE(Control(started, IDC_SHOW_REPURPOSED)["visible"]);
    EXPECT_EQ(Control(started, IDC_HEADING)["text"], "MEMORY USAGE\n----------------------------------------\n");
    EXPECT_EQ(std::string(Control(started, IDC_REPORT)["text"]).rfind("Total RAM               = ", 0), 0u);
    // The default machine holds both cache privileges: the note says so.
    EXPECT_EQ(Control(started, IDC_NOTE)["text"],
              "                    NOTE: Administrative Privileges are enabled.\n"
              "                               Cache modifications may degrade system performance.");
    EXPECT_EQ(started["window"]["refreshCount"], 0);
    EXPECT_TRUE(started["modals"].empty());
    // Showing the page-file panel made the first tick a first refresh again.
    EXPECT_EQ(runner.States()[1]["window"]["refreshCount"], 2);
}

TEST(StartUp, SystemMenuGetsItsItemsInOrder) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, StartWith("{}"));
    std::vector<UINT> ids;
    std::vector<std::wstring> texts;
    for (const auto& item : host::user::SystemMenuItems(runner.Dialog()->GetSafeHwnd())) {
        ids.push_back(item.id);
        texts.push_back(item.text);
    }
    ASSERT_GE(ids.size(), 7u);
    const std::vector<UINT> tail(ids.end() - 7, ids.end());
    EXPECT_EQ(tail, (std::vector<UINT>{0, 64, 0, 32, 48, 0, 16}));
    EXPECT_EQ(texts.back(), L"&About Palisk...");
    EXPECT_EQ(texts[texts.size() - 6], L"Flush &Standby Caches");
}

TEST(StartUp, NoSystemMenuItemsWithoutTheAboutString) {
    scenario::ScenarioRunner runner;
    host::RegisterStringTable(host::ExecutableModule(), {{IDS_FLUSH_ALL_WORKING_SETS, L"&Flush All Working Sets"},
                                                          {IDS_FLUSH_TARGET_WS, L"Flush &Target WS"},
                                                          {IDS_FLUSH_STANDBY_CACHES, L"Flush &Standby Caches"}});
    RunScenario(runner, StartWith("{}"));
    for (const auto& item : host::user::SystemMenuItems(runner.Dialog()->GetSafeHwnd()))
        EXPECT_TRUE(item.id >= 0xF000 || item.id == 0) << "unexpected item " << item.id;
}

TEST(StartUp, CacheButtonsDisabledQuietlyWithoutTheCacheSizeFunction) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, StartWith(R"({"modules": {"kernel32.dll": {"missing": ["SetSystemFileCacheSize"]}}})"));
    const nlohmann::json& state = runner.States().front();
    for (int id : {IDC_FLUSH_CACHE_WS, IDC_CACHE_MAX_HALF, IDC_CACHE_MAX_DOUBLE})
        EXPECT_FALSE(Control(state, id)["enabled"]) << id;
    EXPECT_TRUE(Control(state, IDC_FLUSH_ALL_STANDBY)["enabled"]);
    EXPECT_TRUE(state["modals"].empty());
    EXPECT_EQ(Control(state, IDC_NOTE)["text"],
              "NOTE: Cache modification features available on Windows 2003 SP1 and above only.");
    EXPECT_FALSE(Logged(runner, "SeIncreaseQuotaPrivilege"));
}

TEST(StartUp, RefusedQuotaPrivilegeWarnsOnceAndAsksNoFurther) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, StartWith(R"({"token": {"privileges": {"SeIncreaseQuotaPrivilege": {"lookupError": 1313}}}})"));
    const nlohmann::json& state = runner.States().front();
    ASSERT_EQ(CountModals(state, "Warning"), 1);
    EXPECT_EQ(state["modals"][0]["text"], "Unable to increase privileges needed for Cache manipulation.");
    EXPECT_FALSE(Logged(runner, "SeProfileSingleProcessPrivilege"));
    EXPECT_TRUE(Control(state, IDC_FLUSH_CACHE_WS)["enabled"]);
    EXPECT_EQ(Control(state, IDC_NOTE)["text"],
              "NOTE: Cache modification features available on Windows 2003 SP1 and above only.");
}

TEST(StartUp, ReportFontFollowsWholeMultiplesOf96DotsPerInch) {
    for (const auto& [dpi, height] :
         std::vector<std::pair<int, int>>{{72, 14}, {96, 14}, {120, 14}, {144, 14}, {192, 28}}) {
        scenario::ScenarioRunner runner;
        RunScenario(runner, StartWith(R"({"display": {"dpi": )" + std::to_string(dpi) + "}}"));
        LOGFONTW font{};
        runner.Dialog()->m_fontReport.GetLogFont(&font);
        EXPECT_EQ(font.lfHeight, height) << dpi << " dpi";
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Courier New");
        EXPECT_DOUBLE_EQ(runner.Dialog()->m_dDpiScale, height / 14.0);
    }
}

// Below 96 dots per inch the whole-multiple factor would be 0: fonts and
// legend labels 0 pixels high, the page-file chart down to the dialog's
// bottom. Such screens keep the factor 1.
TEST(StartUp, ScreensBelow96DotsPerInchDrawAsAt96) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"display": {"dpi": 72}}, "steps": [{"start": {}}, {"ticks": 2}]})");
    CPaliskDlg& dialog = *runner.Dialog();
    LOGFONTW font{};
    dialog.m_fontReport.GetLogFont(&font);
    EXPECT_EQ(font.lfHeight, 14);
    dialog.m_fontLabel.GetLogFont(&font);
    EXPECT_EQ(font.lfHeight, 14);

    auto heightOf = [](HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return r.bottom - r.top;
    };
    for (CStaticFader* label : dialog.m_pRamLegend) {
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(IsWindowVisible(label->GetSafeHwnd()));
        EXPECT_EQ(heightOf(label->GetSafeHwnd()), 20);
    }
    for (CStaticFader* label : dialog.m_pPageFileLegend) {
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(IsWindowVisible(label->GetSafeHwnd()));
        EXPECT_EQ(heightOf(label->GetSafeHwnd()), 20);
    }
    // At factor 1 both lower charts have one rectangle, standing 46 pixels
    // above the dialog's bottom, inside its client area.
    RECT client{};
    GetClientRect(dialog.GetSafeHwnd(), &client);
    RECT pageFile{}, read{};
    GetWindowRect(dialog.m_pPageFileChart->GetSafeHwnd(), &pageFile);
    GetWindowRect(dialog.m_pReadChart->GetSafeHwnd(), &read);
    EXPECT_TRUE(EqualRect(&pageFile, &read));
    POINT bottom{pageFile.right, pageFile.bottom};
    ScreenToClient(dialog.GetSafeHwnd(), &bottom);
    EXPECT_LE(bottom.y, client.bottom - 40);
}

TEST(RefreshTimer, ARefusedTimerIsReportedAndTheButtonsStillSwap) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"timers": {"refused": true}},
                            "steps": [{"start": {}}, {"ticks": 3}]})");
    const nlohmann::json& state = runner.States().back();
    ASSERT_EQ(CountModals(state, "Test_DUVudov"), 1);
    EXPECT_EQ(state["modals"][0]["text"], "Error Setting Timer");
    EXPECT_FALSE(Control(state, IDC_AUTO_START)["enabled"]);
    EXPECT_TRUE(Control(state, IDC_AUTO_STOP)["enabled"]);
    EXPECT_EQ(state["window"]["refreshCount"], 0);  // no ticks arrive
}

TEST(RefreshTimer, StopStartAndRefreshButtons) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"steps": [{"start": {}}, {"ticks": 2}, {"click": 1010}, {"ticks": 3},
                                      {"click": 1}, {"click": 1009}, {"ticks": 1}, {"click": 1010}]})");
    const auto& s = runner.States();
    EXPECT_EQ(s[1]["window"]["refreshCount"], 2);
    EXPECT_TRUE(Control(s[2], IDC_AUTO_START)["enabled"]);
    EXPECT_FALSE(Control(s[2], IDC_AUTO_STOP)["enabled"]);
    EXPECT_EQ(s[3]["window"]["refreshCount"], 2);  // stopped: no ticks
    EXPECT_EQ(s[4]["window"]["refreshCount"], 2);  // Refresh does not count
    EXPECT_FALSE(Control(s[5], IDC_AUTO_START)["enabled"]);
    EXPECT_TRUE(Control(s[5], IDC_AUTO_STOP)["enabled"]);
    EXPECT_EQ(s[6]["window"]["refreshCount"], 3);
    EXPECT_TRUE(Control(s[7], IDC_AUTO_START)["enabled"]);
}

TEST(RefreshTimer, ATimerOfAnotherIdTakesNoRefresh) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"steps": [{"start": {}}, {"click": 1010}]})");
    CPaliskDlg* dlg = runner.Dialog();
    const int before = dlg->m_nRefreshCount;
    dlg->m_stReport.SetWindowText(L"untouched");
    dlg->SendMessage(WM_TIMER, REFRESH_TIMER_ID + 1, 0);
    EXPECT_EQ(dlg->m_nRefreshCount, before);
    CString text;
    dlg->m_stReport.GetWindowText(text);
    EXPECT_STREQ(text, L"untouched");
    dlg->SendMessage(WM_TIMER, dlg->m_nTimer, 0);
    EXPECT_EQ(dlg->m_nRefreshCount, before + 1);
}

TEST(AboutBox, EachPressShowsANewBox) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"steps": [{"start": {}}, {"click": 1000}, {"click": 1000}, {"syscommand": 16}]})");
    EXPECT_EQ(CountModals(runner.States()[1], "About Palisk"), 1);
    EXPECT_EQ(CountModals(runner.States()[2], "About Palisk"), 2);
    EXPECT_EQ(CountModals(runner.States()[3], "About Palisk"), 3);
    EXPECT_EQ(runner.Dialog()->SendMessage(WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(runner.Dialog()->m_hIcon));
}

}  // namespace
