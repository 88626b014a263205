// The whole main window, pixel for pixel, in each of its three panels.
// pictures/panels.json runs on the scripted machine with the runner's own
// --pictures output; the pictures of three of its steps must equal
// pictures/NAME.png.
//
// A failure names the first differing pixel and leaves what the program
// drew as NAME.actual.png in the test's build folder. PALISK_UPDATE_GOLDEN=1
// rewrites the stored pictures instead of comparing: look at every one of
// them before keeping it.
//
// A stored picture only says that nothing changed. Beside it, each picture
// is held to what the template and the chart layout say of its panel: the
// caption at the toggles' place, the lower chart's title, and each legend
// label's colour and caption at its rectangle.

#include "picture_facts.h"
#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "host/user.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

using scenario_test::Control;

fs::path PicturesDir() { return fs::path(PALISK_SOURCE_DIR) / "tests" / "scenarios" / "pictures"; }
fs::path OutputDir() { return fs::path(PALISK_TEST_OUTPUT_DIR) / "pictures"; }
// Where this test process's run writes its pictures: CTest runs each panel's
// test in a process of its own, side by side, and each runs the scenario.
fs::path RunDir() { return OutputDir() / ("run-" + std::to_string(getpid())); }

bool Updating() {
    const char* value = std::getenv("PALISK_UPDATE_GOLDEN");
    return value != nullptr && std::string(value) == "1";
}

struct Panel {
    const char* name;
    int step;                   // counted from 1, as the runner names its pictures
    int toggleShown;            // the panel toggle that shows in this panel
    const wchar_t* toggleCaption;
    const wchar_t* lowerTitle;  // null: no lower chart
    double ramHeightFraction;
    bool ramBuiltAtStartUp;     // laid out before the window first showed
    bool pageFileLegend;
};

std::ostream& operator<<(std::ostream& out, const Panel& panel) { return out << panel.name; }

std::string StatePicture(int step) {
    char name[32];
    std::snprintf(name, sizeof(name), "state-%02d.png", step);
    return (RunDir() / name).string();
}

// The first pixel where two pictures differ, as a message; empty when they
// are the same.
std::string FirstDifference(const host::PixelBuffer& expected, const host::PixelBuffer& actual) {
    std::ostringstream message;
    if (expected.width != actual.width || expected.height != actual.height) {
        message << "size " << actual.width << " x " << actual.height << ", expected " << expected.width << " x "
                << expected.height;
        return message.str();
    }
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (expected.At(x, y) == actual.At(x, y)) continue;
            message << "first difference at (" << x << ", " << y << "): 0x" << std::hex << actual.At(x, y)
                    << ", expected 0x" << expected.At(x, y);
            return message.str();
        }
    }
    return std::string();
}

// The toggles' shared place in the template: 446, 7, 96, 14.
POINT ToggleCentre(HWND dialog) {
    const RECT r = picture_facts::TemplateRect(dialog, 446, 7, 96, 14);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class WindowPicture : public testing::TestWithParam<Panel> {
protected:
    // The scenario runs once for all three panels; after every step the
    // caption that the screen shows at the toggles' place is noted.
    static void SetUpTestSuite() {
        fs::remove_all(RunDir());
        runner_ = new scenario::ScenarioRunner();
        std::string error;
        const std::string text = scenario_test::ReadScenario("pictures/panels.json");
        scenario::RunOptions options;
        options.outputDir = RunDir().string();
        options.pictures = true;
        options.afterStep = [](std::size_t step) {
            const HWND dialog = runner_->Dialog()->GetSafeHwnd();
            toggleCaptions_[step] = host::user::ShownCaption(host::user::WindowAt(dialog, ToggleCentre(dialog)));
        };
        ran_ = runner_->Load(text, &error) && runner_->Run(options, &error);
        runError_ = error;
    }
    static void TearDownTestSuite() {
        delete runner_;
        runner_ = nullptr;
        std::error_code ignored;
        fs::remove_all(RunDir(), ignored);
    }

    static scenario::ScenarioRunner* runner_;
    static bool ran_;
    static std::string runError_;
    static std::map<std::size_t, std::wstring> toggleCaptions_;
};

scenario::ScenarioRunner* WindowPicture::runner_ = nullptr;
bool WindowPicture::ran_ = false;
std::string WindowPicture::runError_;
std::map<std::size_t, std::wstring> WindowPicture::toggleCaptions_;

TEST_P(WindowPicture, MatchesTheStoredPicture) {
    const Panel& panel = GetParam();
    ASSERT_TRUE(ran_) << runError_;
    // The picture shows the panel it is named after.
    const nlohmann::json& state = runner_->States().at(static_cast<std::size_t>(panel.step - 1));
    ASSERT_TRUE(Control(state, panel.toggleShown)["visible"]) << "step " << panel.step << " is not the " << panel.name
                                                              << " panel";
    host::PixelBuffer actual;
    ASSERT_TRUE(host::user::LoadPng(StatePicture(panel.step), &actual)) << StatePicture(panel.step);
    RECT client;
    GetClientRect(runner_->Dialog()->GetSafeHwnd(), &client);
    EXPECT_EQ(actual.width, client.right);
    EXPECT_EQ(actual.height, client.bottom);

    const fs::path golden = PicturesDir() / (std::string(panel.name) + ".png");
    if (Updating()) {
        ASSERT_TRUE(host::user::SavePng(actual, golden.string())) << golden;
        std::cout << "rewrote " << golden.string() << "\n";
        return;
    }
    host::PixelBuffer expected;
    ASSERT_TRUE(host::user::LoadPng(golden.string(), &expected))
        << golden << " is missing (PALISK_UPDATE_GOLDEN=1 writes it)";
    const std::string difference = FirstDifference(expected, actual);
    const fs::path written = OutputDir() / (std::string(panel.name) + ".actual.png");
    std::error_code ignored;
    fs::remove(written, ignored);  // from an earlier run
    if (!difference.empty()) {
        host::user::SavePng(actual, written.string());
        ADD_FAILURE() << golden.string() << ": " << difference << "; the program drew " << written.string();
    }
}

// The RAM legend from the top of the stack down: caption, background
// (the trace's colour) and caption colour.
struct LegendLabel {
    const wchar_t* caption;
    COLORREF background;
    COLORREF text;
};

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr LegendLabel kRamLegend[] = {
    {L"Bad ", RGB(255, 0, 0), kWhite},           {L"Zeroed ", RGB(0, 0, 255), kWhite},
    {L"Free ", RGB(0, 0, 32), kWhite},           {L"Sby Idle ", RGB(64, 64, 255), kBlack},
    {L"Sby VeryLow ", RGB(128, 128, 255), kBlack}, {L"Sby Low ", RGB(128, 128, 136), kBlack},
    {L"Sby BkGnd2 ", RGB(0, 192, 255), kBlack},  {L"Sby BkGnd1 ", RGB(0, 128, 255), kBlack},
    {L"Sby Normal ", RGB(255, 255, 255), kBlack}, {L"SBy High ", RGB(255, 255, 0), kBlack},
    {L"SBy StaticPF ", RGB(255, 128, 0), kBlack}, {L"Compressed ", RGB(64, 0, 32), kWhite},
    {L"System WS ", RGB(0, 192, 16), kWhite},    {L"Cache WS ", RGB(0, 128, 32), kWhite},
    {L"ModNoWrite ", RGB(16, 32, 0), kWhite},    {L"ModifiedWrite ", RGB(96, 96, 0), kWhite},
    {L"Target WS ", RGB(0, 192, 128), kBlack},   {L"Other Used ", RGB(0, 255, 0), kBlack},
};

constexpr LegendLabel kPageFileLegend[] = {
    {L"Read", RGB(255, 0, 0), kWhite},
    {L"Stable", RGB(0, 0, 255), kWhite},
    {L"Write", RGB(0, 255, 0), kWhite},
};

// The legend labels' font: Times New Roman, 14 pixels at 96 dpi.
HFONT LabelFont() {
    return CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH, L"Times New Roman");
}

// Checks a label: its background colour just inside its frame, and its
// caption centred in its left half.
void ExpectLabel(const host::PixelBuffer& picture, const RECT& label, const LegendLabel& expected, HFONT font) {
    const std::string name = scenario::Utf8(expected.caption);
    EXPECT_EQ(picture_facts::ColorAt(picture, label.left + 2, label.top + 2), expected.background)
        << "label \"" << name << "\" at (" << label.left << ", " << label.top << ")";
    const host::PixelBuffer caption =
        picture_facts::RenderText(expected.caption, font, expected.text, expected.background);
    EXPECT_TRUE(picture_facts::Contains(picture, picture_facts::CaptionHalf(label), caption))
        << "caption \"" << name << "\" not in the left half of its label at (" << label.left << ", " << label.top
        << ")";
}

TEST_P(WindowPicture, ShowsWhatTheTemplateAndThePanelTableSay) {
    const Panel& panel = GetParam();
    ASSERT_TRUE(ran_) << runError_;
    host::PixelBuffer picture;
    ASSERT_TRUE(host::user::LoadPng(StatePicture(panel.step), &picture)) << StatePicture(panel.step);
    const HWND dialog = runner_->Dialog()->GetSafeHwnd();

    // What a pointer finds at the toggles' place, and the caption it shows.
    EXPECT_EQ(toggleCaptions_[static_cast<std::size_t>(panel.step)], panel.toggleCaption);

    // The lower chart's title, centred in its template column, 16 pixels
    // above the chart; the other title nowhere.
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    // The lower charts are laid out once, at start-up.
    const picture_facts::ChartPlace lower = picture_facts::LowerChart(picture_facts::OuterBeforeShown(dialog));
    const RECT column = picture_facts::TemplateRect(dialog, 573, 218, 190, 8);
    const RECT titleRect{column.left, lower.rect.top - 16, column.right, lower.rect.top - 16 + (column.bottom - column.top)};
    const RECT lowerHalf{0, picture.height / 2, picture.width, picture.height};
    for (const wchar_t* title : {L"Page File Usage", L"System File Cache Effectiveness"}) {
        const host::PixelBuffer text =
            picture_facts::RenderText(title, dialogFont, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNFACE));
        const bool shown = panel.lowerTitle != nullptr && std::wstring(title) == panel.lowerTitle;
        if (shown) {
            EXPECT_TRUE(picture_facts::Contains(picture, titleRect, text)) << scenario::Utf8(title);
        } else {
            EXPECT_FALSE(picture_facts::Contains(picture, lowerHalf, text)) << scenario::Utf8(title);
        }
    }

    // The RAM legend, 18 labels beside a chart of the panel's height.
    const HFONT labelFont = LabelFont();
    const RECT outer = panel.ramBuiltAtStartUp ? picture_facts::OuterBeforeShown(dialog) : picture_facts::OuterNow(dialog);
    const picture_facts::ChartPlace ram = picture_facts::RamChart(dialog, outer, panel.ramHeightFraction);
    for (int i = 0; i < 18; ++i) {
        ExpectLabel(picture, picture_facts::RamLegendLabel(ram, i), kRamLegend[i], labelFont);
    }
    // The page-file legend, beside the lower chart, or none of it anywhere.
    for (int i = 0; i < 3; ++i) {
        const LegendLabel& label = kPageFileLegend[i];
        if (panel.pageFileLegend) {
            ExpectLabel(picture, picture_facts::PageFileLegendLabel(lower, i), label, labelFont);
        } else {
            const host::PixelBuffer caption =
                picture_facts::RenderText(label.caption, labelFont, label.text, label.background);
            EXPECT_FALSE(picture_facts::Contains(picture, lowerHalf, caption)) << scenario::Utf8(label.caption);
        }
    }
    DeleteObject(labelFont);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, WindowPicture,
    testing::Values(Panel{"page-file", 6, IDC_SHOW_CACHE_EFFECTIVENESS, L"Show Cache Effectiveness ", L"Page File Usage",
                          0.5, true, true},
                    Panel{"cache-effectiveness", 12, IDC_SHOW_REPURPOSED, L"Show Standby Repurposed",
                          L"System File Cache Effectiveness", 0.5, false, false},
                    Panel{"standby-repurposing", 16, IDC_SHOW_PAGEFILE, L"Show PageFile Usage", nullptr, 0.84, false, false}),
    [](const testing::TestParamInfo<Panel>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == '-') c = '_';
        return name;
    });

}  // namespace
