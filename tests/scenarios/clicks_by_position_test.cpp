// The main window as a person's pointer uses it: every button is clicked at
// the centre of the place the dialog template gives it, and the window
// system decides by its own hit-testing which control takes the click. The
// places and captions below are the template's, written out here rather
// than read from the program, so that the program cannot vouch for itself.

#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "host/scenario_document.h"
#include "host/user.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using scenario_test::Control;
using scenario_test::CountModals;

// A push button of template 102: its id, caption and place (x, y, width,
// height) in dialog units.
struct TemplateButton {
    int id;
    const wchar_t* caption;
    int x, y, cx, cy;
};

constexpr TemplateButton kButtons[] = {
    {1000, L"About", 724, 7, 50, 14},
    {1009, L"AutoStart", 551, 7, 50, 14},
    {1, L"Refresh", 609, 7, 50, 14},
    {1010, L"AutoStop", 667, 7, 50, 14},
    {2, L"Exit", 792, 7, 50, 14},
    {1012, L"Flush Cache WS", 106, 469, 60, 14},
    {1015, L"Cache Max/2", 6, 469, 48, 14},
    {1016, L"2x Cach Max", 56, 469, 48, 14},
    {1018, L"Show Standby Repurposed", 446, 7, 96, 14},
    {1019, L"Show Cache Effectiveness ", 446, 7, 96, 14},
    {1020, L"Flush All Standby", 168, 469, 60, 14},
    {1021, L"Flush Standby 0", 230, 469, 60, 14},
    {1023, L"Flush ModPgList", 292, 469, 60, 14},
    {1024, L"Flush WorkSets", 355, 469, 60, 14},
    {1026, L"Flush TargetWS", 418, 469, 60, 14},
    {1027, L"Show PageFile Usage", 446, 7, 96, 14},
};

const TemplateButton& Button(int id) {
    return *std::find_if(std::begin(kButtons), std::end(kButtons), [id](const auto& b) { return b.id == id; });
}

// The panels in the order the toggles cycle through them, each with the
// toggle it shows and whether its lower chart is the page-file one.
struct Panel {
    const char* name;
    int toggle;
    bool cacheEffectiveness;
    bool pageFile;
};

constexpr Panel kCycle[] = {
    {"page file", 1019, false, true},
    {"cache effectiveness", 1018, true, false},
    {"standby repurposing", 1027, false, false},
};

// The cache limits each cache-size click starts from, and what each logs.
constexpr const char* kCacheLimits = R"({"cacheLimits": {"minimum": 4096, "maximum": 524287, "flags": 4}})";

class ClicksByPosition : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(runner_.Load(R"({"machine": {"display": {"dpi": 96}}, "steps": []})", &error)) << error;
        Step(R"({"start": {}})");
    }

    void Step(const std::string& json) {
        std::string error;
        ASSERT_TRUE(runner_.RunStep(nlohmann::json::parse(json), "/test", &error)) << json << ": " << error;
    }

    // Changes the machine between clicks, as a scenario's "machine" step.
    void Machine(const std::string& json) {
        std::string error;
        const auto document = host::ScenarioDocument::Parse(R"({"machine": )" + json + "}", &error);
        ASSERT_TRUE(document) << error;
        ASSERT_TRUE(runner_.Machine().ApplyMachine(*document, "/machine", &error)) << error;
    }

    HWND Dialog() { return runner_.Dialog()->GetSafeHwnd(); }

    // The centre of the button's template place, in the dialog's client
    // pixels, by the dialog's own base units.
    POINT CentreOf(int id) {
        const TemplateButton& b = Button(id);
        RECT place{b.x, b.y, b.x + b.cx, b.y + b.cy};
        MapDialogRect(Dialog(), &place);
        return POINT{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    }

    void ClickCentre(int id) {
        const POINT at = CentreOf(id);
        Step(R"({"clickAt": {"x": )" + std::to_string(at.x) + R"(, "y": )" + std::to_string(at.y) + "}}");
    }

    // The action-log lines written since `from` lines.
    std::vector<std::string> ActionsSince(std::size_t from) {
        const auto& actions = runner_.Machine().Actions();
        return std::vector<std::string>(actions.begin() + static_cast<std::ptrdiff_t>(from), actions.end());
    }

    // Clicks the button and expects exactly one new action-log line, equal
    // to `expected`.
    void ExpectLogged(int id, const std::string& expected) {
        const std::size_t before = runner_.Machine().Actions().size();
        ClickCentre(id);
        EXPECT_EQ(ActionsSince(before), std::vector<std::string>{expected}) << "button " << id;
    }

    void ExpectPanel(const Panel& panel) {
        const nlohmann::json state = runner_.CaptureState();
        for (int toggle : {1018, 1019, 1027}) {
            EXPECT_EQ(Control(state, toggle)["visible"].get<bool>(), toggle == panel.toggle)
                << panel.name << " panel, toggle " << toggle;
        }
        EXPECT_EQ(runner_.Dialog()->m_bShowCacheEffectiveness, panel.cacheEffectiveness) << panel.name;
        EXPECT_EQ(runner_.Dialog()->m_bShowPageFile, panel.pageFile) << panel.name;
        // What the pointer finds at the toggles' shared place is the toggle
        // of this panel, showing its template caption.
        const HWND found = host::user::WindowAt(Dialog(), CentreOf(panel.toggle));
        EXPECT_EQ(found, GetDlgItem(Dialog(), panel.toggle)) << panel.name;
        EXPECT_EQ(host::user::ShownCaption(found), Button(panel.toggle).caption) << panel.name;
    }

    void ClickTheCommands() {
        // The cache-size commands, each from the same limits.
        Machine(kCacheLimits);
        ExpectLogged(1012, "SetSystemFileCacheSize(minimum 0xFFFFFFFFFFFFFFFF, maximum 0xFFFFFFFFFFFFFFFF, "
                           "flags 0x1) -> ok");
        Machine(kCacheLimits);
        ExpectLogged(1015, "SetSystemFileCacheSize(minimum 0x1000, maximum 0x3FFFF, flags 0x5) -> ok");
        Machine(kCacheLimits);
        ExpectLogged(1016, "SetSystemFileCacheSize(minimum 0x1000, maximum 0xFFFFE, flags 0x5) -> ok");
        // The memory-list commands.
        ExpectLogged(1020, "NtSetSystemInformation(SystemMemoryListInformation, MemoryPurgeStandbyList) -> 0x00000000");
        ExpectLogged(1021, "NtSetSystemInformation(SystemMemoryListInformation, "
                           "MemoryPurgeLowPriorityStandbyList) -> 0x00000000");
        ExpectLogged(1023, "NtSetSystemInformation(SystemMemoryListInformation, MemoryFlushModifiedList) -> 0x00000000");
        ExpectLogged(1024, "NtSetSystemInformation(SystemMemoryListInformation, MemoryEmptyWorkingSets) -> 0x00000000");
        // The target flush empties the process chosen (entry 3 is
        // "Registry[108]"), and nothing while "**NONE**" is chosen.
        Step(R"({"choose": {"id": 1022, "index": 3}})");
        ExpectLogged(1026, "EmptyWorkingSet(pid 108) -> ok");
        Step(R"({"choose": {"id": 1022, "index": 0}})");
        const std::size_t before = runner_.Machine().Actions().size();
        ClickCentre(1026);
        EXPECT_TRUE(ActionsSince(before).empty());
    }

    void ClickTheTimerButtons() {
        const int modalsBefore = CountModals(runner_.CaptureState(), "About Palisk");
        ClickCentre(1000);
        EXPECT_EQ(CountModals(runner_.CaptureState(), "About Palisk"), modalsBefore + 1);

        // AutoStart is disabled while the timer runs: the click does nothing.
        Step(R"({"ticks": 1})");
        const int count = runner_.Dialog()->m_nRefreshCount;
        ClickCentre(1009);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog(), 1009)));
        // AutoStop: no more refreshes from the clock.
        ClickCentre(1010);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Dialog(), 1009)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog(), 1010)));
        Step(R"({"ticks": 3})");
        EXPECT_EQ(runner_.Dialog()->m_nRefreshCount, count);
        // Refresh: the report shows the machine's new free list at once.
        Machine(R"({"memoryList": {"record": {"FreePageCount": 25600}}})");
        ClickCentre(1);
        const std::string report = Control(runner_.CaptureState(), IDC_REPORT)["text"];
        EXPECT_NE(report.find("      Free List         =      100.00 MB [free]"), std::string::npos) << report;
        EXPECT_EQ(runner_.Dialog()->m_nRefreshCount, count);
        // AutoStart: the clock refreshes again.
        ClickCentre(1009);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Dialog(), 1009)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(Dialog(), 1010)));
        Step(R"({"ticks": 2})");
        EXPECT_EQ(runner_.Dialog()->m_nRefreshCount, count + 2);
    }

    scenario::ScenarioRunner runner_;
};

TEST_F(ClicksByPosition, TheToggleAtStartUpIsTheOneThatLeavesThePageFilePanel) {
    ExpectPanel(kCycle[0]);
    ClickCentre(1019);
    ExpectPanel(kCycle[1]);
}

TEST_F(ClicksByPosition, EveryButtonOfEveryPanelActsWhereTheTemplatePutsIt) {
    for (std::size_t i = 0; i < std::size(kCycle); ++i) {
        SCOPED_TRACE(kCycle[i].name);
        ExpectPanel(kCycle[i]);
        ClickTheCommands();
        ClickTheTimerButtons();
        ClickCentre(kCycle[i].toggle);
        ExpectPanel(kCycle[(i + 1) % std::size(kCycle)]);
    }
}

TEST_F(ClicksByPosition, ExitEndsTheDialog) {
    ClickCentre(2);
    EXPECT_FALSE(runner_.Dialog()->GetSafeHwnd() != nullptr && IsWindowVisible(Dialog()));
}

TEST_F(ClicksByPosition, AClickOutsideTheClientAreaIsRefused) {
    RECT client;
    GetClientRect(Dialog(), &client);
    std::string error;
    const nlohmann::json step = {{"clickAt", {{"x", client.right}, {"y", 5}}}};
    EXPECT_FALSE(runner_.RunStep(step, "/test", &error));
    EXPECT_NE(error.find("is not in the dialog's client area"), std::string::npos) << error;
}

}  // namespace
