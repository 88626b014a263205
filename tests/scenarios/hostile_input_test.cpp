// Input a careless or hostile user can give: windows sized to nothing or
// less, step values beyond their range, and process names that try to
// disguise themselves.

#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "charts/duvudov_ctrl.h"
#include "host/gdi.h"

namespace {

using scenario_test::Control;
using scenario_test::RunScenario;

std::string Scenario(const std::string& machine, const std::string& steps) {
    return R"({"machine": )" + machine + R"(, "steps": [{"start": {}}, )" + steps + "]}";
}

// Whether a chart's grid layer is a bitmap of the chart's client size.
bool LayerFitsClient(CDUVudovCtrl* chart) {
    BITMAP info{};
    if (chart == nullptr || chart->m_bmpGridLayer.GetBitmap(&info) == 0) return false;
    RECT client{};
    chart->GetClientRect(&client);
    return info.bmWidth == client.right && info.bmHeight == client.bottom;
}

TEST(EmptyWindow, SizesOfNothingOrLessAndMinimisingLeaveNothingBroken) {
    // A first run makes what every run shares (stock objects, fonts).
    { scenario::ScenarioRunner warmUp; RunScenario(warmUp, Scenario("{}", R"({"ticks": 1})")); }
    const std::size_t objects = host::gdi::LiveObjectCount();
    {
        scenario::ScenarioRunner runner;
        RunScenario(runner, Scenario("{}", R"(
            {"resize": {"width": 0, "height": 0}}, {"ticks": 2}, {"click": 1019},
            {"resize": {"width": -40, "height": -30}}, {"ticks": 1}, {"click": 1018},
            {"minimize": {}}, {"ticks": 2}, {"click": 1027}, {"restore": {}}, {"ticks": 1},
            {"resize": {"width": 0, "height": 0}}, {"minimize": {}}, {"restore": {}},
            {"resize": {"width": 900, "height": 700}}, {"ticks": 1})"));
        CPaliskDlg* dialog = runner.Dialog();
        EXPECT_TRUE(LayerFitsClient(dialog->m_pRamChart));
        EXPECT_TRUE(LayerFitsClient(dialog->m_pPageFileChart));
    }
    // The charts' layers went with the dialog, empty ones included.
    EXPECT_EQ(host::gdi::LiveObjectCount(), objects);
}

// Runs a scenario that must be refused, and answers the refusal.
std::string Refusal(const std::string& text) {
    scenario::ScenarioRunner runner;
    std::string error;
    if (!runner.Load(text, &error)) return error;
    return runner.Run(scenario::RunOptions{}, &error) ? "(ran)" : error;
}

TEST(StepValues, NumbersBeyondTheirRangeAreRefusedNotCut) {
    // 2^32 would be cut to 0, and 2^32 + 1026 to 1026: another button.
    EXPECT_EQ(Refusal(Scenario("{}", "\n{\"advance\": 4294967296}")),
              "line 2: /steps/1: \"advance\" takes milliseconds from 0 to 4294967295");
    EXPECT_EQ(Refusal(Scenario("{}", "{\"ticks\": 4294967297}")),
              "line 1: /steps/1: \"ticks\" takes a count from 0 to 4294967295");
    EXPECT_EQ(Refusal(Scenario("{}", "{\"ticks\": -1}")),
              "line 1: /steps/1: \"ticks\" takes a count from 0 to 4294967295");
    EXPECT_EQ(Refusal(Scenario("{}", "{\"click\": 4294968322}")), "line 1: /steps/1: \"click\" takes a control id");
    EXPECT_EQ(Refusal(Scenario("{}", R"({"resize": {"width": 4294968096, "height": 600}})")),
              "line 1: /steps/1: \"resize\" takes {\"width\": ..., \"height\": ...}");
    EXPECT_EQ(Refusal(Scenario("{}", R"({"choose": {"id": 1022, "index": 4294967299}})")),
              "line 1: /steps/1: \"choose\" takes {\"id\": ..., \"index\": ...}");
    EXPECT_EQ(Refusal(Scenario("{}", R"({"clickAt": {"x": 4294967306, "y": 10}})")),
              "line 1: /steps/1: \"clickAt\" takes {\"x\": ..., \"y\": ...} in the dialog's client area");
}

TEST(StepValues, ARefusedMachineStepNamesItsLineOnce) {
    const std::string text = "{\"steps\": [{\"start\": {}},\n"
                             "  {\"machine\": {\n"
                             "     \"display\": {\"dpi\": 70000}}}]}";
    EXPECT_EQ(Refusal(text),
              "line 3: steps[1].machine.display.dpi: expected an unsigned 16-bit number (or \"0x...\")");
}

TEST(HostileNames, TheTargetListShowsEveryNameLiterallyOrEscaped) {
    scenario::ScenarioRunner runner;
    // Names as JSON writes them: a right-to-left override before
    // "exe.txt", a tab, a line break, format directives, parentheses.
    RunScenario(runner, Scenario(R"({"processes": {"list": [
        {"pid": 0}, {"pid": 4, "name": "System"},
        {"pid": 5934, "name": "\u202Eexe.txt"}, {"pid": 61, "name": "tab\tbed"},
        {"pid": 62, "name": "two\nlines"}, {"pid": 63, "name": "%s%n%x"}, {"pid": 64, "name": ") ("},
        {"pid": 65, "name": "zero\u200Bwidth\u2066isolate"}, {"pid": 4444, "name": "Palisk.exe"}]}})",
                                 R"({"dropdown": 1022})"));
    const nlohmann::json& items = Control(runner.States().back(), IDC_TARGET_PROCESS)["items"];
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[3], "\\u202Eexe.txt[5934]");
    EXPECT_EQ(items[4], "tab\\tbed[61]");
    EXPECT_EQ(items[5], "two\\nlines[62]");
    EXPECT_EQ(items[6], "%s%n%x[63]");
    EXPECT_EQ(items[7], ") ([64]");
    EXPECT_EQ(items[8], "zero\\u200Bwidth\\u2066isolate[65]");
}

}  // namespace
