// palisk-report prints the window's own report. On the scripted machine
// the program's output is compared with what the main dialog shows for the
// same figures, for every golden scenario's machine: the fallbacks and the
// message boxes included. The memory commands give their outcome in the
// exit status.

#include "program_run.h"
#include "scenario_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using console_test::Finished;
using console_test::RunProgram;

fs::path GoldenDir() { return fs::path(PALISK_SOURCE_DIR) / "tests" / "scenarios" / "golden"; }

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A scenario file of the test's own, removed with it.
class ScenarioFile {
public:
    explicit ScenarioFile(const nlohmann::json& scenario) {
        char name[] = "/tmp/palisk-report-test-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        const std::string text = scenario.dump(2);
        EXPECT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fd);
    }
    ~ScenarioFile() { fs::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A box's text with the handle value it may hold ("ptr=0x1008") made
// neutral: handles are numbered by the order of allocation in a process.
std::string WithoutHandle(const std::string& text) {
    return std::regex_replace(text, std::regex("ptr=0x[0-9a-f]+"), "ptr=0x...");
}

struct WindowView {
    std::string report;              // heading and body
    std::vector<std::string> boxes;  // "Caption: text" of each message box, in order
};

// What the main dialog shows once `steps` have run on the scenario's machine.
WindowView Window(const nlohmann::json& scenario, const nlohmann::json& steps) {
    nlohmann::json run = scenario;
    run["steps"] = steps;
    scenario::ScenarioRunner runner;
    std::string error;
    WindowView view;
    if (!runner.Load(run.dump(), &error) || !runner.Run({}, &error)) {
        ADD_FAILURE() << error;
        return view;
    }
    const nlohmann::json& last = runner.States().back();
    view.report = last["controls"]["1017"]["text"].get<std::string>() + last["controls"]["1001"]["text"].get<std::string>();
    for (const auto& modal : last["modals"])
        if (modal["kind"] == "message box")
            view.boxes.push_back(
                WithoutHandle(modal["caption"].get<std::string>() + ": " + modal["text"].get<std::string>()));
    return view;
}

// The message boxes palisk-report wrote to standard error.
std::vector<std::string> Boxes(const std::string& err) {
    std::vector<std::string> boxes;
    const std::string prefix = "palisk-report: message box ";
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(prefix, 0) == 0) boxes.push_back(WithoutHandle(line.substr(prefix.size())));
    return boxes;
}

Finished Report(const ScenarioFile& file, std::vector<std::string> options) {
    std::vector<std::string> argv = {PALISK_REPORT_TOOL, "--scenario", file.Path()};
    argv.insert(argv.end(), options.begin(), options.end());
    return RunProgram(argv);
}

std::vector<std::string> GoldenNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(GoldenDir()))
        if (entry.path().extension() == ".json" && entry.path().stem().extension().empty())
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SameReportAsTheWindow : public testing::TestWithParam<std::string> {};

TEST_P(SameReportAsTheWindow, OnceAfterStartUp) {
    nlohmann::json scenario = nlohmann::json::parse(ReadFile(GoldenDir() / (GetParam() + ".json")));
    scenario.erase("steps");
    const ScenarioFile file(scenario);
    const WindowView window = Window(scenario, nlohmann::json::array({{{"start", nlohmann::json::object()}}}));
    const Finished printed = Report(file, {"--once"});
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out, window.report);
    EXPECT_EQ(Boxes(printed.err), window.boxes);
}

INSTANTIATE_TEST_SUITE_P(GoldenMachines, SameReportAsTheWindow, testing::ValuesIn(GoldenNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// The cache effectiveness panel: the toggle pressed, then Refresh.
TEST(ConsoleReport, TheCachePanelIsTheWindowsAfterItsToggleAndRefresh) {
    for (const char* name : {"healthy_target_selected", "memory_list_failing"}) {
        nlohmann::json scenario = nlohmann::json::parse(ReadFile(GoldenDir() / (std::string(name) + ".json")));
        scenario.erase("steps");
        const ScenarioFile file(scenario);
        const WindowView window =
            Window(scenario, nlohmann::json::parse(R"([{"start": {}}, {"click": 1019}, {"click": 1}])"));
        const Finished printed = Report(file, {"--once", "--cache"});
        EXPECT_EQ(printed.status, 0) << printed.err;
        EXPECT_EQ(printed.out, window.report) << name;
        EXPECT_NE(printed.out.find("SYSTEM FILE CACHE EFFECTIVENESS"), std::string::npos) << printed.out;
        EXPECT_EQ(Boxes(printed.err), window.boxes) << name;
    }
}

// Worked out by hand from the scenario, not by the program: 4294968296
// bytes are 4096 MB and 1000 bytes, which the report cuts to 4096.00.
TEST(ConsoleReport, BeginsWithTheHeadingAndTheTotal) {
    nlohmann::json scenario = nlohmann::json::parse(ReadFile(GoldenDir() / "healthy_target_selected.json"));
    scenario.erase("steps");
    const Finished printed = Report(ScenarioFile(scenario), {"--once"});
    EXPECT_EQ(printed.out.rfind("MEMORY USAGE\n----------------------------------------\n"
                                "Total RAM               =     4096.00 MB\n",
                                0),
              0u)
        << printed.out;
}

// ---- the memory commands --------------------------------------------------------

nlohmann::json HealthyMachine() {
    nlohmann::json scenario = nlohmann::json::parse(ReadFile(GoldenDir() / "healthy_target_selected.json"));
    scenario.erase("steps");
    return scenario;
}

TEST(ConsoleCommands, ARefusedCommandChangesNothingAndExitsWith77) {
    nlohmann::json scenario = HealthyMachine();
    scenario["machine"]["memoryListCommands"] = {{"MemoryPurgeStandbyList", "STATUS_PRIVILEGE_NOT_HELD"}};
    const Finished run = Report(ScenarioFile(scenario), {"--purge-standby", "--flush-modified"});
    EXPECT_EQ(run.status, 77);
    EXPECT_TRUE(run.out.empty()) << "no report without --once";
    EXPECT_NE(run.err.find("palisk-report: purge standby: refused, STATUS_PRIVILEGE_NOT_HELD (0xC0000061)"),
              std::string::npos) << run.err;
    // An ordinary user is told what to do; root was refused by the machine itself.
    EXPECT_EQ(run.err.find("the memory commands need root: sudo palisk-report --purge-standby") != std::string::npos,
              geteuid() != 0)
        << run.err;
    EXPECT_EQ(run.err.find("flush modified"), std::string::npos) << "the first failure ends the run";
}

TEST(ConsoleCommands, ACommandThisKernelLacksExitsWith69) {
    nlohmann::json scenario = HealthyMachine();
    scenario["machine"]["memoryListCommands"] = {{"MemoryPurgeLowPriorityStandbyList", "STATUS_NOT_SUPPORTED"}};
    const Finished lacking = Report(ScenarioFile(scenario), {"--purge-low-priority-standby"});
    EXPECT_EQ(lacking.status, 69);
    EXPECT_NE(lacking.err.find("not supported here, STATUS_NOT_SUPPORTED (0xC00000BB)"), std::string::npos)
        << lacking.err;

    scenario = HealthyMachine();
    scenario["machine"]["modules"] = {{"ntdll.dll", {{"missing", {"NtSetSystemInformation"}}}}};
    const Finished noEntry = Report(ScenarioFile(scenario), {"--empty-working-sets"});
    EXPECT_EQ(noEntry.status, 69);
    EXPECT_NE(noEntry.err.find("no NtSetSystemInformation to call"), std::string::npos) << noEntry.err;
}

TEST(ConsoleCommands, CommandsThatSucceedAreFollowedByOneReportWithOnce) {
    const ScenarioFile file(HealthyMachine());
    const Finished run = Report(file, {"--flush-modified", "--purge-standby", "--once"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("palisk-report: flush modified: done\npalisk-report: purge standby: done\n"),
              std::string::npos) << run.err;
    EXPECT_EQ(console_test::Count(run.out, "MEMORY USAGE\n"), 1u);
}

TEST(ConsoleCommands, EmptyingOneWorkingSetGoesThroughTheTargetSelector) {
    nlohmann::json scenario = HealthyMachine();
    const Finished done = Report(ScenarioFile(scenario), {"--empty-working-set", "4321", "--once"});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.err.find("empty working set of process 4321: done"), std::string::npos) << done.err;

    const Finished unknown = Report(ScenarioFile(scenario), {"--empty-working-set", "999"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("failed, no process with id 999 in the target process list"), std::string::npos)
        << unknown.err;

    nlohmann::json denied = HealthyMachine();
    denied["machine"]["processes"] = {{"update", {{{"pid", 4321}, {"emptyWorkingSetError", "ERROR_ACCESS_DENIED"}}}}};
    const Finished refused = Report(ScenarioFile(denied), {"--empty-working-set=4321"});
    EXPECT_EQ(refused.status, 77);
    EXPECT_NE(refused.err.find("refused, ERROR_ACCESS_DENIED (5)"), std::string::npos) << refused.err;

    nlohmann::json closed = HealthyMachine();
    closed["machine"]["processes"] = {{"update", {{{"pid", 4321}, {"allowedAccess", "0x1000"}}}}};
    const Finished unopened = Report(ScenarioFile(closed), {"--empty-working-set", "4321"});
    EXPECT_EQ(unopened.status, 77);
    EXPECT_NE(unopened.err.find("refused, the process cannot be opened for all access"), std::string::npos)
        << unopened.err;
}

TEST(ConsoleCommands, AMalformedCommandLineExitsWith2) {
    const Finished run = RunProgram({PALISK_REPORT_TOOL, "--interval", "fast"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "palisk-report: --interval takes milliseconds from 10 to 2147483647, not 'fast'\n"
              "Try 'palisk-report --help'.\n");
    const Finished help = RunProgram({PALISK_REPORT_TOOL, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: palisk-report [OPTION]...\n", 0), 0u);
}

// Output to a pipe: plain text, one report per refresh, an empty line
// between two. The scripted machine's clock follows real time here; the
// test waits for the reports, however long the computer takes.
TEST(ConsoleReport, APipeGetsOneReportPerRefresh) {
    const ScenarioFile file(HealthyMachine());
    console_test::TerminalProgram program({PALISK_REPORT_TOOL, "--scenario", file.Path(), "--interval", "100"}, 0, 0,
                                          {}, console_test::TerminalProgram::Where::Pipe);
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.ReadUntil([](const std::string& out) { return console_test::Count(out, "MEMORY USAGE\n") >= 3; },
                                  std::chrono::seconds(60)))
        << program.Output();
    program.Signal(SIGINT);
    EXPECT_EQ(program.Wait(std::chrono::seconds(30)), 0) << "Ctrl+C (SIGINT) ends it cleanly";
    const std::string& out = program.Output();
    const std::size_t reports = console_test::Count(out, "MEMORY USAGE\n");
    EXPECT_EQ(console_test::Count(out, "\n\nMEMORY USAGE\n"), reports - 1);
    EXPECT_EQ(out.find('\x1b'), std::string::npos) << "no terminal sequences in plain text";
}

}  // namespace
