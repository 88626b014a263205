// The commands to the memory manager and the target process selector, with
// the machine's action log.

#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "host/user.h"

#include <algorithm>

namespace {

using scenario_test::Control;
using scenario_test::CountModals;
using scenario_test::RunScenario;

int CountLogged(scenario::ScenarioRunner& runner, const std::string& fragment) {
    const auto& actions = runner.Machine().Actions();
    return static_cast<int>(std::count_if(actions.begin(), actions.end(), [&](const std::string& line) {
        return line.find(fragment) != std::string::npos;
    }));
}

std::string Scenario(const std::string& machine, const std::string& steps) {
    return R"({"machine": )" + machine + R"(, "steps": [{"start": {}}, )" + steps + "]}";
}

TEST(CacheSizeCommands, HalvingTwiceQuartersTheMaximumAndKeepsTheMinimum) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"cacheLimits": {"minimum": 4096, "maximum": 524287, "flags": 4}})",
                                 R"({"click": 1015}, {"click": 1015})"));
    EXPECT_EQ(CountLogged(runner, "SetSystemFileCacheSize(minimum 0x1000, maximum 0x3FFFF, flags 0x5)"), 1);
    EXPECT_EQ(CountLogged(runner, "SetSystemFileCacheSize(minimum 0x1000, maximum 0x1FFFF, flags 0x5)"), 1);
    EXPECT_TRUE(runner.States().back()["modals"].empty());
}

TEST(CacheSizeCommands, DoublingSetsTheHardMaximumAndStaysAtTheLargestSize) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"cacheLimits": {"minimum": 0, "maximum": 9223372036854775808, "flags": 0}})",
                                 R"({"click": 1016})"));
    EXPECT_EQ(CountLogged(runner, "maximum 0xFFFFFFFFFFFFFFFF, flags 0x1"), 1);
}

TEST(CacheSizeCommands, DoublingKeepsTheMinimumAndTheHardMinimumFlag) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"cacheLimits": {"minimum": 4096, "maximum": 524287, "flags": 4}})",
                                 R"({"click": 1016})"));
    EXPECT_EQ(CountLogged(runner, "SetSystemFileCacheSize(minimum 0x1000, maximum 0xFFFFE, flags 0x5)"), 1);
    EXPECT_TRUE(runner.States().back()["modals"].empty());
}

TEST(CacheSizeCommands, ARefusedFlushShowsTheErrorCode) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"cacheLimits": {"setError": 1314}})", R"({"click": 1012})"));
    const nlohmann::json& state = runner.States().back();
    ASSERT_EQ(CountModals(state, "Error:"), 1);
    EXPECT_EQ(state["modals"].back()["text"], "Unable to Half File Cache Maximum 0x522");
}

TEST(CacheSizeCommands, UnreadableLimitsEndTheCommandSilently) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"cacheLimits": {"getError": 5}})", R"({"click": 1015}, {"click": 1016})"));
    EXPECT_EQ(CountLogged(runner, "SetSystemFileCacheSize"), 0);
    EXPECT_TRUE(runner.States().back()["modals"].empty());
}

TEST(MemoryListCommands, ButtonsAndSystemMenuSendTheirCommands) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario("{}", R"({"click": 1020}, {"click": 1021}, {"click": 1023}, {"click": 1024},
                                          {"syscommand": 65}, {"syscommand": 32})"));
    EXPECT_EQ(CountLogged(runner, "MemoryPurgeStandbyList)"), 2);  // button 1020 and command 0x41 as 64
    EXPECT_EQ(CountLogged(runner, "MemoryPurgeLowPriorityStandbyList"), 1);
    EXPECT_EQ(CountLogged(runner, "MemoryFlushModifiedList"), 1);
    EXPECT_EQ(CountLogged(runner, "MemoryEmptyWorkingSets"), 2);
    EXPECT_TRUE(runner.States().back()["modals"].empty());
}

TEST(MemoryListCommands, NothingHappensWithoutTheSetServiceEntryPoint) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"modules": {"ntdll.dll": {"missing": ["NtSetSystemInformation"]}}})",
                                 R"({"click": 1020}, {"click": 1021}, {"click": 1023}, {"click": 1024},
                                    {"syscommand": 64}, {"syscommand": 32})"));
    EXPECT_EQ(CountLogged(runner, "NtSetSystemInformation"), 0);
    EXPECT_TRUE(runner.States().back()["modals"].empty());
    // The buttons stay enabled whatever the kernel interface provides.
    for (int id : {IDC_FLUSH_ALL_STANDBY, IDC_FLUSH_STANDBY0, IDC_FLUSH_MOD_PG_LIST, IDC_FLUSH_WORK_SETS})
        EXPECT_TRUE(Control(runner.States().back(), id)["enabled"].get<bool>()) << "button " << id;
}

TEST(TargetSelector, ListsTheSnapshotAndMarksMemoryCompressionOnce) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario("{}", R"({"dropdown": 1022})"));
    const nlohmann::json& first = Control(runner.States()[0], IDC_TARGET_PROCESS)["items"];
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(first[0], "**NONE**");
    EXPECT_EQ(first[1], "SystemIdle[0]");
    EXPECT_EQ(first[2], "System[4]");
    EXPECT_NE(std::find(first.begin(), first.end(), "Memory Compression[2345] *"), first.end());
    EXPECT_EQ(runner.States()[0]["window"]["memCompressionPid"], 2345);
    const nlohmann::json& again = Control(runner.States()[1], IDC_TARGET_PROCESS)["items"];
    EXPECT_NE(std::find(again.begin(), again.end(), "Memory Compression[2345]"), again.end());
    EXPECT_EQ(Control(runner.States()[1], IDC_TARGET_PROCESS)["selection"], 0);
}

TEST(TargetSelector, NameTestIgnoresCaseAndMarksOnlyTheFirst) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"processes": {"list": [
        {"pid": 0}, {"pid": 4, "name": "System"}, {"pid": 77, "name": "MEMORY COMPRESSION"},
        {"pid": 78, "name": "memory compression"}, {"pid": 4444, "name": "Palisk.exe"}]}})", "{\"ticks\": 1}"));
    const nlohmann::json& items = Control(runner.States()[0], IDC_TARGET_PROCESS)["items"];
    EXPECT_EQ(items[3], "MEMORY COMPRESSION[77] *");
    EXPECT_EQ(items[4], "memory compression[78]");
}

TEST(TargetSelector, WithNoneSelectedTheFlushOpensNoProcess) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {}, "steps": [{"start": {}}]})");
    const HWND flush = GetDlgItem(runner.Dialog()->GetSafeHwnd(), IDC_FLUSH_TARGET_WS);
    const host::ScriptedSystem& system = runner.Machine().Scripted();
    const std::size_t opens = system.ProcessOpenRequests();
    ASSERT_TRUE(host::user::Click(flush));
    EXPECT_EQ(system.ProcessOpenRequests(), opens);
    // With a process chosen, the same click opens it.
    ASSERT_TRUE(host::user::ChooseComboItem(GetDlgItem(runner.Dialog()->GetSafeHwnd(), IDC_TARGET_PROCESS), 3));
    ASSERT_TRUE(host::user::Click(flush));
    EXPECT_EQ(system.ProcessOpenRequests(), opens + 1);
}

TEST(TargetSelector, FlushEmptiesTheChosenProcessOnly) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario("{}", R"({"click": 1026}, {"choose": {"id": 1022, "index": 3}}, {"click": 1026},
                                          {"syscommand": 48})"));
    // "**NONE**" selected: nothing is emptied.
    EXPECT_EQ(runner.States()[1]["actions"].size(), runner.States()[0]["actions"].size());
    EXPECT_EQ(runner.States()[2]["window"]["targetIndex"], 3);
    EXPECT_EQ(CountLogged(runner, "EmptyWorkingSet(pid 108) -> ok"), 2);
}

TEST(TargetSelector, AProcessThatExitsReturnsTheSelectorToNone) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario("{}", R"({"choose": {"id": 1022, "index": 9}}, {"ticks": 1},
                                          {"machine": {"processes": {"remove": [4321]}}}, {"ticks": 1})"));
    EXPECT_EQ(runner.States()[2]["window"]["targetIndex"], 9);
    EXPECT_NE(std::string(Control(runner.States()[2], IDC_REPORT)["text"]).find("Target WS         ="),
              std::string::npos);
    const nlohmann::json& after = runner.States()[4];
    EXPECT_EQ(after["window"]["targetIndex"], 0);
    EXPECT_EQ(Control(after, IDC_TARGET_PROCESS)["selection"], 0);
    EXPECT_NE(std::string(Control(after, IDC_REPORT)["text"])
                  .find("      Target WS         =        0 Bytes [working set]\n"),
              std::string::npos);
}

TEST(TargetSelector, OpeningTheListRebuildsItAndStartsOverAtNone) {
    // explorer.exe is chosen; a process starts; opening the list shows the
    // newcomer, selects "**NONE**" and leaves no target to sample or flush.
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario("{}", R"({"choose": {"id": 1022, "index": 9}}, {"ticks": 1},
                                          {"machine": {"processes": {"update": [{"pid": 5000, "name": "late.exe"}]}}},
                                          {"dropdown": 1022}, {"ticks": 1}, {"click": 1026})"));
    ASSERT_EQ(runner.States()[2]["window"]["targetIndex"], 9);
    const nlohmann::json& reopened = runner.States()[4];
    EXPECT_EQ(reopened["window"]["targetIndex"], 0);
    EXPECT_EQ(Control(reopened, IDC_TARGET_PROCESS)["selection"], 0);
    const nlohmann::json& items = Control(reopened, IDC_TARGET_PROCESS)["items"];
    EXPECT_EQ(items[0], "**NONE**");
    EXPECT_NE(std::find(items.begin(), items.end(), "late.exe[5000]"), items.end());
    EXPECT_NE(std::find(items.begin(), items.end(), "explorer.exe[4321]"), items.end());
    EXPECT_NE(std::string(Control(runner.States()[5], IDC_REPORT)["text"])
                  .find("      Target WS         =        0 Bytes [working set]\n"),
              std::string::npos);
    EXPECT_EQ(CountLogged(runner, "EmptyWorkingSet"), 0);
}

TEST(TargetSelector, AReusedProcessIdIsNeverTakenForTheListedProcess) {
    // explorer.exe (4321) exits and a new process gets its id: the flush must
    // not empty the newcomer, and the refresh returns the selector to NONE.
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"processes": {"update": [{"pid": 4321, "name": "explorer.exe",
                                     "creationTime": 1000000}]}})",
                                 R"({"choose": {"id": 1022, "index": 9}},
                                    {"machine": {"processes": {"update": [{"pid": 4321, "name": "intruder.exe",
                                                                           "creationTime": 9000000}]}}},
                                    {"click": 1026}, {"ticks": 1})"));
    EXPECT_EQ(CountLogged(runner, "EmptyWorkingSet"), 0);
    EXPECT_EQ(runner.States().back()["window"]["targetIndex"], 0);
}

TEST(TargetSelector, TheSystemProcessWithoutACreationTimeStaysTheTarget) {
    // The System process reports no creation time; the list shows it as
    // started at boot. It is still the process listed: kept and flushed.
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"processes": {"update": [{"pid": 4, "name": "System", "creationTime": 0}]}})",
                                 R"({"choose": {"id": 1022, "index": 2}}, {"ticks": 2}, {"click": 1026})"));
    ASSERT_EQ(Control(runner.States()[1], IDC_TARGET_PROCESS)["items"][2], "System[4]");
    EXPECT_EQ(runner.States().back()["window"]["targetIndex"], 2);
    EXPECT_EQ(CountLogged(runner, "EmptyWorkingSet(pid 4) -> ok"), 1);
}

TEST(TargetSelector, AFailedSnapshotLeavesNoneAlone) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, Scenario(R"({"processList": {"status": -1073741823}})", R"({"dropdown": 1022})"));
    const nlohmann::json& combo = Control(runner.States().back(), IDC_TARGET_PROCESS);
    EXPECT_EQ(combo["items"], nlohmann::json::array({"**NONE**"}));
    EXPECT_TRUE(runner.States().back()["modals"].empty());
}

}  // namespace
