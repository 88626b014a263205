// Processes: opening by id and access, handles, memory counters of opened
// processes, emptying working sets, and the log of that command.

#include <psapi.h>
#include <windows.h>
#include <winternl.h>
#include <ntstatus.h>

#include <nt/process_information.h>

#include "system/scripted_fixture.h"

namespace {

constexpr DWORD kQueryLimited = PROCESS_QUERY_LIMITED_INFORMATION;
constexpr DWORD kAllAccessOld = 0x1F0FFF;

class ProcessesTest : public ScriptedMachineTest {
protected:
    void SetUp() override {
        ScriptedMachineTest::SetUp();
        host::ScriptedProcess p;
        p.record.pid = 1200;
        p.record.imageName = L"guarded.exe";
        p.record.creationTime = 5000;
        p.record.vm.WorkingSetSize = 7 << 20;
        p.allowedAccess = kQueryLimited;  // opens for queries only
        State().processes.push_back(p);
    }
    void TearDown() override {
        EXPECT_EQ(host::LiveSystemObjects().processHandles, handlesBefore);
        ScriptedMachineTest::TearDown();
    }
    std::size_t handlesBefore = host::LiveSystemObjects().processHandles;
};

TEST_F(ProcessesTest, AnOpenIsRefusedWhenItAsksForMoreThanTheProcessGrants) {
    HANDLE query = OpenProcess(kQueryLimited, TRUE, 1200);
    ASSERT_NE(query, nullptr);
    SetLastError(0);
    EXPECT_EQ(OpenProcess(kAllAccessOld, TRUE, 1200), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CloseHandle(query));
}

TEST_F(ProcessesTest, TheIdleProcessAndUnknownIdsDoNotOpen) {
    EXPECT_EQ(OpenProcess(kQueryLimited, TRUE, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(OpenProcess(kQueryLimited, TRUE, 999999), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ProcessesTest, BadHandlesFailToCloseAndAClosedHandleIsGone) {
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(ULONG_PTR{0x1234567})));
    HANDLE h = OpenProcess(kQueryLimited, TRUE, 4);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(GetCurrentProcess()));  // a pseudo handle closes as a no-op
}

TEST_F(ProcessesTest, CountersAreReadThroughAHandleWithQueryAccess) {
    HANDLE h = OpenProcess(kQueryLimited, TRUE, 1200);
    nt::VM_COUNTERS counters{};
    ULONG length = 0;
    EXPECT_EQ(NtQueryInformationProcess(h, nt::ProcessVmCounters, &counters, sizeof counters, &length), STATUS_SUCCESS);
    EXPECT_EQ(length, sizeof counters);
    EXPECT_EQ(counters.WorkingSetSize, SIZE_T{7} << 20);
    EXPECT_EQ(NtQueryInformationProcess(h, nt::ProcessVmCounters, &counters, 80, &length), STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(NtQueryInformationProcess(h, ProcessBasicInformation, &counters, sizeof counters, nullptr),
              STATUS_INVALID_INFO_CLASS);
    CloseHandle(h);

    HANDLE noQuery = OpenProcess(PROCESS_TERMINATE, TRUE, 4);
    EXPECT_EQ(NtQueryInformationProcess(noQuery, nt::ProcessVmCounters, &counters, sizeof counters, nullptr),
              STATUS_ACCESS_DENIED);
    CloseHandle(noQuery);
    EXPECT_EQ(NtQueryInformationProcess(nullptr, nt::ProcessVmCounters, &counters, sizeof counters, nullptr),
              STATUS_INVALID_HANDLE);
}

TEST_F(ProcessesTest, AHandleKeptPastItsProcessReadsAnEmptyWorkingSetNotTheIdsNextOwner) {
    HANDLE h = OpenProcess(kQueryLimited, TRUE, 1200);
    host::ScriptedProcess* p = State().FindProcess(1200);
    p->record.creationTime = 9000;  // the id now belongs to another process
    nt::VM_COUNTERS counters{};
    counters.WorkingSetSize = 1;
    EXPECT_EQ(NtQueryInformationProcess(h, nt::ProcessVmCounters, &counters, sizeof counters, nullptr), STATUS_SUCCESS);
    EXPECT_EQ(counters.WorkingSetSize, 0u);
    CloseHandle(h);
}

TEST_F(ProcessesTest, AScriptedCountersStatusIsAnsweredAndFillsNothing) {
    State().FindProcess(1200)->vmCountersStatus = STATUS_ACCESS_DENIED;
    HANDLE h = OpenProcess(kQueryLimited, TRUE, 1200);
    nt::VM_COUNTERS counters{};
    counters.WorkingSetSize = 77;
    EXPECT_EQ(NtQueryInformationProcess(h, nt::ProcessVmCounters, &counters, sizeof counters, nullptr),
              STATUS_ACCESS_DENIED);
    EXPECT_EQ(counters.WorkingSetSize, 77u);
    CloseHandle(h);
}

TEST_F(ProcessesTest, EmptyWorkingSetNeedsQuotaAccessAndIsLoggedEitherWay) {
    HANDLE all = OpenProcess(kAllAccessOld, TRUE, 4321);
    ASSERT_NE(all, nullptr);
    EXPECT_TRUE(EmptyWorkingSet(all));
    CloseHandle(all);

    HANDLE limited = OpenProcess(kQueryLimited, TRUE, 1200);
    EXPECT_FALSE(EmptyWorkingSet(limited));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(limited);
    EXPECT_FALSE(EmptyWorkingSet(limited));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    EXPECT_EQ(ActionsStartingWith("EmptyWorkingSet"),
              (std::vector<std::string>{"EmptyWorkingSet(pid 4321) -> ok", "EmptyWorkingSet(pid 1200) -> error 5",
                                        "EmptyWorkingSet(invalid handle) -> error 6"}));
}

TEST_F(ProcessesTest, TheCurrentProcessAndThreadComeFromTheMachine) {
    State().selfPid = 5150;
    State().selfThreadId = 5152;
    EXPECT_EQ(GetCurrentProcessId(), 5150u);
    EXPECT_EQ(GetCurrentThreadId(), 5152u);
    EXPECT_EQ(GetThreadId(GetCurrentThread()), 5152u);
    EXPECT_EQ(GetThreadId(nullptr), 0u);
    BOOL wow64 = TRUE;
    EXPECT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_FALSE(wow64);
}

}  // namespace
