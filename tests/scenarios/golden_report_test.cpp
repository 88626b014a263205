// Whole reports, byte for byte. Every scenario under tests/scenarios/golden/
// runs to its end on the scripted machine; the text of the report control
// must equal NAME.report.txt beside it, and the message boxes shown must be
// those of NAME.boxes.json (none when that file is absent).
//
// PALISK_UPDATE_GOLDEN=1 rewrites the expected files from what the program
// shows instead of comparing. Read every rewritten line before keeping it.

#include "scenario_support.h"

#include "app/palisk_dlg.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using scenario_test::Control;
using scenario_test::RunScenario;

fs::path GoldenDir() { return fs::path(PALISK_SOURCE_DIR) / "tests" / "scenarios" / "golden"; }

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(GoldenDir()))
        if (entry.path().extension() == ".json" && entry.path().stem().extension().empty())
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool Updating() {
    const char* value = std::getenv("PALISK_UPDATE_GOLDEN");
    return value != nullptr && std::string(value) == "1";
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A line as the failure message shows it: quoted, with its line feed (or
// its lack of one) made visible.
std::string Shown(const std::string& text, std::size_t begin, std::size_t end) {
    if (begin >= text.size()) return "(end of text)";
    std::string line = "\"" + text.substr(begin, end - begin) + "\"";
    return end < text.size() ? line + " + \\n" : line + " (no line end)";
}

// Where two texts first part: the line number and both versions of that line.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::size_t begin = 0;
    for (int number = 1;; ++number) {
        const std::size_t expectedEnd = std::min(expected.find('\n', begin), expected.size());
        const std::size_t actualEnd = std::min(actual.find('\n', begin), actual.size());
        const bool sameLine = expected.compare(begin, expectedEnd - begin, actual, begin, actualEnd - begin) == 0 &&
                              (expectedEnd < expected.size()) == (actualEnd < actual.size());
        if (!sameLine || begin >= expected.size() || begin >= actual.size()) {
            std::ostringstream message;
            message << "first difference at line " << number << ":\n  expected " << Shown(expected, begin, expectedEnd)
                    << "\n  actual   " << Shown(actual, begin, actualEnd);
            return message.str();
        }
        begin = expectedEnd + 1;
    }
}

// The message boxes of a state, as the expected file holds them.
nlohmann::json Boxes(const nlohmann::json& state) {
    nlohmann::json boxes = nlohmann::json::array();
    for (const auto& modal : state["modals"])
        if (modal["kind"] == "message box")
            boxes.push_back({{"caption", modal["caption"]}, {"text", modal["text"]}});
    return boxes;
}

// Whether the boxes shown are those expected, in order. An expected box
// gives its text exactly, or as "textMatches", a regular expression for a
// text holding a figure that varies from run to run (a handle value).
bool SameBoxes(const nlohmann::json& expected, const nlohmann::json& actual) {
    if (expected.size() != actual.size()) return false;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].value("caption", "") != actual[i]["caption"]) return false;
        const std::string text = actual[i]["text"];
        if (expected[i].contains("textMatches")) {
            if (!std::regex_match(text, std::regex(expected[i]["textMatches"].get<std::string>()))) return false;
        } else if (expected[i].value("text", "") != text) {
            return false;
        }
    }
    return true;
}

class GoldenReport : public testing::TestWithParam<std::string> {};

TEST_P(GoldenReport, MatchesTheExpectedTextAndBoxes) {
    const fs::path base = GoldenDir() / GetParam();
    scenario::ScenarioRunner runner;
    RunScenario(runner, ReadFile(fs::path(base).concat(".json")));
    if (HasFatalFailure()) return;
    const nlohmann::json& last = runner.States().back();
    const std::string report = Control(last, IDC_REPORT)["text"];
    const nlohmann::json boxes = Boxes(last);
    const fs::path reportFile = fs::path(base).concat(".report.txt");
    const fs::path boxesFile = fs::path(base).concat(".boxes.json");

    if (Updating()) {
        WriteFile(reportFile, report);
        if (boxes.empty())
            fs::remove(boxesFile);
        else
            WriteFile(boxesFile, boxes.dump(2) + "\n");
        std::cout << "rewrote " << reportFile.string() << "\n";
        return;
    }
    ASSERT_TRUE(fs::exists(reportFile)) << reportFile << " is missing (PALISK_UPDATE_GOLDEN=1 writes it)";
    const std::string expected = ReadFile(reportFile);
    EXPECT_TRUE(report == expected) << reportFile.string() << ": " << FirstDifference(expected, report);

    const nlohmann::json expectedBoxes =
        fs::exists(boxesFile) ? nlohmann::json::parse(ReadFile(boxesFile)) : nlohmann::json::array();
    EXPECT_TRUE(SameBoxes(expectedBoxes, boxes)) << "message boxes differ from " << boxesFile.string() << "\n  expected "
                                    << expectedBoxes.dump() << "\n  actual   " << boxes.dump();
}

INSTANTIATE_TEST_SUITE_P(Scenarios, GoldenReport, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// The golden files hold only the end of a run; these look at its middle.
// A refresh whose file-cache or performance query fails changes nothing on
// the screen: the report and the heading stay as the refresh before left them.
TEST(GoldenReportSteps, AFailedCacheOrPerformanceQueryLeavesTheScreenAsItWas) {
    for (const char* name : {"file_cache_query_failing", "performance_query_failing"}) {
        scenario::ScenarioRunner runner;
        RunScenario(runner, ReadFile(GoldenDir() / (std::string(name) + ".json")));
        if (HasFatalFailure()) return;
        const auto& s = runner.States();  // start, tick, machine change, failing tick, ...
        ASSERT_GE(s.size(), 4u) << name;
        EXPECT_EQ(Control(s[3], IDC_REPORT)["text"], Control(s[1], IDC_REPORT)["text"]) << name;
        EXPECT_EQ(Control(s[3], IDC_HEADING)["text"], Control(s[1], IDC_HEADING)["text"]) << name;
        // The failing tick still counts as a refresh taken by the timer.
        EXPECT_EQ(s[3]["window"]["refreshCount"], 2) << name;
    }
}

}  // namespace
