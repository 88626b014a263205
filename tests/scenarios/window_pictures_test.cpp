// The whole main window, pixel for pixel, in each of its three panels.
// pictures/panels.json runs on the scripted machine with the runner's own
// --pictures output; the pictures of three of its steps must equal
// pictures/NAME.png.
//
// A failure names the first differing pixel and leaves what the program
// drew as NAME.actual.png in the test's build folder. PALISK_UPDATE_GOLDEN=1
// rewrites the stored pictures instead of comparing: look at every one of
// them before keeping it.

#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "host/user.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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
    int step;        // counted from 1, as the runner names its pictures
    int toggleShown; // the panel toggle that shows in this panel
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

class WindowPicture : public testing::TestWithParam<Panel> {
protected:
    // The scenario runs once for all three panels.
    static void SetUpTestSuite() {
        fs::remove_all(RunDir());
        runner_ = new scenario::ScenarioRunner();
        std::string error;
        const std::string text = scenario_test::ReadScenario("pictures/panels.json");
        ran_ = runner_->Load(text, &error) && runner_->Run(scenario::RunOptions{RunDir().string(), true}, &error);
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
};

scenario::ScenarioRunner* WindowPicture::runner_ = nullptr;
bool WindowPicture::ran_ = false;
std::string WindowPicture::runError_;

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

INSTANTIATE_TEST_SUITE_P(Panels, WindowPicture,
                         testing::Values(Panel{"page-file", 6, IDC_SHOW_CACHE_EFFECTIVENESS},
                                         Panel{"cache-effectiveness", 12, IDC_SHOW_REPURPOSED},
                                         Panel{"standby-repurposing", 16, IDC_SHOW_PAGEFILE}),
                         [](const testing::TestParamInfo<Panel>& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

}  // namespace
