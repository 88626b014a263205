// Scenario files: the documented example loads and scripts what it says,
// a later machine object changes the machine between steps, and malformed
// files are refused with their line and field, changing nothing.

#include <pdh.h>
#include <windows.h>
#include <winternl.h>
#include <ntstatus.h>

#include "host/ntdll.h"

#include <nt/system_information.h>

#include "system/scripted_fixture.h"

#include <fstream>
#include <sstream>

namespace {

// The complete machine of docs/scenarios.md.
std::string DocumentedExample() {
    std::ifstream doc(std::string(PALISK_SOURCE_DIR) + "/docs/scenarios.md");
    std::stringstream text;
    text << doc.rdbuf();
    const std::string all = text.str();
    const std::size_t marker = all.find("<!-- machine-example");
    const std::size_t begin = all.find("```json\n", marker);
    const std::size_t end = all.find("```", begin + 8);
    if (marker == std::string::npos || begin == std::string::npos || end == std::string::npos) return {};
    return all.substr(begin + 8, end - begin - 8);
}

using ScenarioLoadingTest = ScriptedMachineTest;

TEST_F(ScenarioLoadingTest, TheDocumentedMachineLoadsAndScriptsWhatItSays) {
    std::string error;
    ASSERT_TRUE(machine.LoadScenario(DocumentedExample(), &error)) << error;

    EXPECT_EQ(machine.DotsPerInch(), 120);
    EXPECT_EQ(GetTickCount(), 3600000u);
    EXPECT_EQ(GetCurrentProcessId(), 6000u);
    EXPECT_EQ(LoadLibraryW(L"IPHLPAPI.dll"), nullptr);
    EXPECT_EQ(State().Query(SystemPerformanceInformation).recordLength, 344u);
    EXPECT_EQ(State().performance.CcLazyWritePages, 0x1F00u);
    EXPECT_EQ(State().memoryList.PageCountByPriority[7], 8000u);
    EXPECT_EQ(State().memoryList.RepurposedPagesByPriority[2], 20u);
    EXPECT_EQ(State().memoryList.RepurposedPagesByPriority[3], 0u);  // the default's, untouched
    EXPECT_EQ(State().timeOfDay.TimeZoneBias.QuadPart, -36000000000LL);
    ASSERT_EQ(State().pageFiles.size(), 2u);
    ASSERT_EQ(State().processes.size(), 5u);
    // 2026-03-01T07:30:00.5Z is half a second and 30 minutes after the boot.
    EXPECT_EQ(State().FindProcess(5120)->record.creationTime - State().FindProcess(4)->record.creationTime,
              18005000000ULL);
    EXPECT_EQ(State().FindProcess(5120)->record.vm.PeakWorkingSetSize, 60000000u);
    EXPECT_EQ(State().FindProcess(2345)->allowedAccess, 0x1000u);
    EXPECT_EQ(State().version.dwMajorVersion, 6u);
    EXPECT_EQ(std::wstring(State().version.szCSDVersion), L"Service Pack 1");
    EXPECT_EQ(State().logicalProcessors.size(), 5u);  // two cores, package, node, cache
    EXPECT_FALSE(State().FindPrivilege(SE_PROF_SINGLE_PROCESS_NAME)->held);
    EXPECT_EQ(State().FindService(L"SysMain")->state, static_cast<DWORD>(SERVICE_PAUSED));
    EXPECT_EQ(State().failAllocationSizes, (std::set<SIZE_T>{400}));

    // Through the services, as the program sees them.
    ULONG command = 5;
    EXPECT_EQ(NtSetSystemInformation(nt::SystemMemoryListInformation, &command, 4), STATUS_NOT_SUPPORTED);
    nt::SYSTEM_MEMORY_LIST_INFORMATION lists{};
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemMemoryListInformation, &lists, sizeof lists, nullptr),
              STATUS_ACCESS_DENIED);
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemMemoryListInformation, &lists, sizeof lists, nullptr), STATUS_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_LOCAL_MACHINE,
                          L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\"
                          L"PrefetchParameters",
                          &key),
              ERROR_SUCCESS);
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExW(key, L"EnableSuperFetch", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 2u);
    RegCloseKey(key);
}

TEST_F(ScenarioLoadingTest, AStepsMachineObjectChangesOnlyWhatItNames) {
    const std::string text = R"({
  "machine": { "display": { "dpi": 144 } },
  "steps": [
    { "tick": 1 },
    { "machine": {
        "processes": { "remove": [ 4321 ],
                       "update": [ { "pid": 4, "workingSet": 2048 }, { "pid": 7000, "name": "new.exe" } ] },
        "services": { "SysMain": null },
        "memoryList": { "status": "STATUS_ACCESS_DENIED" }
    } }
  ]
})";
    std::string error;
    ASSERT_TRUE(machine.LoadScenario(text, &error)) << error;
    const std::size_t before = State().processes.size();
    const auto document = host::ScenarioDocument::Parse(text, &error);
    ASSERT_TRUE(document);
    ASSERT_TRUE(machine.ApplyMachine(*document, "/steps/1/machine", &error)) << error;

    EXPECT_EQ(machine.DotsPerInch(), 144);  // kept from the start
    EXPECT_EQ(State().processes.size(), before);  // one gone, one new
    EXPECT_EQ(State().FindProcess(4321), nullptr);
    EXPECT_EQ(State().FindProcess(4)->record.vm.WorkingSetSize, 2048u);
    EXPECT_EQ(State().FindProcess(4)->record.imageName, L"System");
    EXPECT_EQ(State().FindProcess(7000)->record.imageName, L"new.exe");
    EXPECT_EQ(State().FindService(L"SysMain"), nullptr);
    EXPECT_EQ(State().Query(nt::SystemMemoryListInformation).status, STATUS_ACCESS_DENIED);

    EXPECT_FALSE(machine.ApplyMachine(*document, "/steps/7/machine", &error));
    EXPECT_EQ(error, "no machine object at /steps/7/machine");
}

struct Malformed {
    const char* what;
    const char* text;
    const char* message;  // the refusal begins with this
};

const Malformed kMalformed[] = {
    {"syntax", "{\n  \"machine\": {\n    \"display\": { \"dpi\": 96, }\n  }\n}", "line 3: not valid JSON: "},
    {"unknown field", "{\n  \"machine\": {\n    \"display\": {\n      \"dpu\": 96\n    }\n  }\n}",
     "line 4: machine.display.dpu: unknown field (known here: dpi)"},
    {"wrong type", "{ \"machine\": {\n \"processes\": [\n  { \"pid\": 8 },\n  { \"pid\": \"eight\" }\n ] } }",
     "line 4: machine.processes[1].pid: expected an unsigned 32-bit number"},
    {"out of range", "{ \"machine\": { \"display\": { \"dpi\": 70000 } } }",
     "line 1: machine.display.dpi: expected an unsigned 16-bit number"},
    {"record field", "{ \"machine\": {\n \"performance\": { \"record\": {\n \"AvailablePagez\": 1 } } } }",
     "line 3: machine.performance.record.AvailablePagez: not a field of this record"},
    {"array too long",
     "{ \"machine\": { \"memoryList\": { \"record\": {\n\"PageCountByPriority\": [1,2,3,4,5,6,7,8,9] } } } }",
     "line 2: machine.memoryList.record.PageCountByPriority: at most 8 elements"},
    {"status name", "{ \"machine\": { \"basic\": {\n\n \"status\": \"STATUS_NOPE\" } } }",
     "line 3: machine.basic.status: unknown status \"STATUS_NOPE\""},
    {"twice listed", "{ \"machine\": { \"processes\": [ { \"pid\": 8 },\n { \"pid\": 8 } ] } }",
     "line 2: machine.processes[1].pid: process 8 is listed twice"},
    {"remove unknown", "{ \"machine\": { \"processes\": { \"remove\": [\n 31337 ] } } }",
     "line 2: machine.processes.remove[0]: no process 31337 to remove"},
    {"privilege", "{ \"machine\": { \"token\": { \"privileges\": {\n \"SeFlyPrivilege\": {} } } } }",
     "line 2: machine.token.privileges.SeFlyPrivilege: not a privilege Windows knows"},
    {"hive", "{ \"machine\": { \"registry\": {\n \"SOFTWARE\\\\X\": {} } } }",
     "line 2: machine.registry.SOFTWARE\\X: a key path starts with its hive"},
    {"time", "{ \"machine\": { \"bootTime\": \"2026-02-30T00:00:00Z\" } }",
     "line 1: machine.bootTime: expected a time"},
    {"heap", "{ \"machine\": { \"heap\": { \"failAt\": [ 0 ] } } }",
     "line 1: machine.heap.failAt[0]: allocations are counted from 1"},
    {"not an object", "[ 1, 2 ]", "line 1: a scenario is a JSON object"},
};

TEST_F(ScenarioLoadingTest, MalformedFilesAreRefusedWithLineAndFieldAndChangeNothing) {
    for (const Malformed& m : kMalformed) {
        std::string error;
        EXPECT_FALSE(machine.LoadScenario(m.text, &error)) << m.what;
        EXPECT_EQ(error.rfind(m.message, 0), 0u) << m.what << ": " << error;
    }
    // A valid section before the fault is not applied either.
    std::string error;
    EXPECT_FALSE(machine.LoadScenario(R"({ "machine": { "display": { "dpi": 150 }, "version": { "eror": 1 } } })",
                                      &error));
    EXPECT_EQ(machine.DotsPerInch(), 96);
    EXPECT_EQ(State().processes.size(), host::DefaultScriptedSystem().processes.size());
}

TEST_F(ScenarioLoadingTest, LinesStayRightPastStringsThatLookLikeStructure) {
    // Brackets, commas, quotes and a slash inside keys and values must not
    // throw the line count or the field's name off.
    const std::string text = "{\n"
                             "  \"machine\": {\n"
                             "    \"registry\": {\n"
                             "      \"HKLM\\\\A/B \\\"q\\\" {[,\": { \"values\": { \"x\": \"}],\\\"\\n\" } },\n"
                             "      \"HKLM\\\\C\": { \"openEror\": 5 }\n"
                             "    }\n"
                             "  }\n"
                             "}\n";
    std::string error;
    EXPECT_FALSE(machine.LoadScenario(text, &error));
    EXPECT_EQ(error, "line 5: machine.registry.HKLM\\C.openEror: unknown field (known here: openError, values)");
}

TEST_F(ScenarioLoadingTest, NumbersBeyondADoubleAreRefusedWithTheirLine) {
    for (const char* number : {"1e309", "-1e309", "1E400"}) {
        std::string error;
        EXPECT_FALSE(machine.LoadScenario("{ \"machine\": {},\n\"steps\": [],\n  \"x\": " + std::string(number) + " }",
                                          &error));
        EXPECT_EQ(error, "line 3: number out of range: " + std::string(number));
    }
}

// `depth` arrays one inside the other, each on a line of its own.
std::string NestedArrays(int depth) {
    std::string text = "{ \"machine\": { \"processes\":\n";
    for (int i = 1; i < depth; ++i) text += "[\n";
    for (int i = 1; i < depth; ++i) text += "]";
    return text + " } }";
}

TEST_F(ScenarioLoadingTest, NestingIsBoundedAndRefusedWhereItGoesTooDeep) {
    std::string error;
    // 64 levels (the object, "machine", 62 arrays) are read, and refused
    // only for what they hold.
    EXPECT_FALSE(machine.LoadScenario(NestedArrays(63), &error));
    EXPECT_EQ(error, "line 3: machine.processes[0]: expected an object");
    // The 65th level is refused where it opens: on line 2 + 63 - 1.
    EXPECT_FALSE(machine.LoadScenario(NestedArrays(64), &error));
    EXPECT_EQ(error, "line 64: nested deeper than 64 levels");
    // However deep, the refusal comes at once.
    EXPECT_FALSE(machine.LoadScenario(NestedArrays(200000), &error));
    EXPECT_EQ(error, "line 64: nested deeper than 64 levels");
}

TEST_F(ScenarioLoadingTest, LinesAreFoundInDocumentsOfAnyShape) {
    // A long key over many values, and one refusal at the end of them:
    // finding its line must not cost the key's length for every value.
    std::string text = "{ \"machine\": { \"registry\": { \"HKLM\\\\" + std::string(200000, 'k') +
                       "\": { \"values\": { \"v\": [";
    for (int i = 0; i < 100000; ++i) text += "0,";
    text += "0] },\n \"openEror\": 1 } } } }";
    std::string error;
    EXPECT_FALSE(machine.LoadScenario(text, &error));
    EXPECT_EQ(error.substr(0, 8), "line 2: ");
    EXPECT_NE(error.find("registry.HKLM\\kkk"), std::string::npos) << error.substr(0, 80);
}

TEST_F(ScenarioLoadingTest, TheClockCannotRestartUnderRunningTimers) {
    std::string error;
    ASSERT_TRUE(machine.LoadScenario(R"({ "machine": { "clock": { "startTick": 500 } } })", &error)) << error;
    EXPECT_EQ(GetTickCount(), 500u);
    machine.Clock()->StartTimer(1000, [] {});
    EXPECT_FALSE(machine.LoadScenario("{ \"machine\": {\n \"clock\": { \"startTick\": 0 } } }", &error));
    EXPECT_EQ(error, "line 2: machine.clock.startTick: the clock cannot restart while timers run on it");
    EXPECT_FALSE(machine.SetStartTick(0));
    EXPECT_EQ(GetTickCount(), 500u);
}

}  // namespace
