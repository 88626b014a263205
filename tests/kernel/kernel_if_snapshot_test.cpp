// Process snapshots: how the buffer grows, what a snapshot keeps, and how
// it fails.

#include "kernel/kernel_if.h"

#include <winternl.h>
#include <ntstatus.h>

#include <nt/process_information.h>

#include "system/scripted_fixture.h"

#include <cwchar>
#include <vector>

namespace {

using KernelIf::CKernelIf;
using KernelIf::KERNELIF_ERROR_NO_MEMORY;
using KernelIf::KERNELIF_ERROR_UNAVAILABLE;

ULONGLONG AsNumber(const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; }

class SnapshotTest : public ScriptedMachineTest {
protected:
    void TearDown() override {
        EXPECT_EQ(host::LiveSystemObjects(), before) << "a snapshot left something behind";
        ScriptedMachineTest::TearDown();
    }

    // `count` processes named "procNN.exe": 296 bytes each in the list.
    void ScriptProcesses(int count) {
        State().processes.clear();
        for (int i = 0; i < count; ++i) {
            host::ScriptedProcess p;
            p.record.pid = 100 + 4 * static_cast<DWORD>(i);
            wchar_t name[16];
            std::swprintf(name, 16, L"proc%02d.exe", i % 100);
            p.record.imageName = name;
            p.record.creationTime = 1000 + i;
            State().processes.push_back(p);
        }
    }
    std::vector<ULONG>& LengthsAsked() { return State().Query(SystemProcessInformation).lengthsAsked; }

    // What the process selector does after reading a snapshot.
    static void ReleaseBoth(CKernelIf& k) {
        HeapFree(GetProcessHeap(), 0, k.m_pSnapshot);
        HeapFree(GetProcessHeap(), 0, k.m_pPrevSnapshot);
        k.m_pSnapshot = nullptr;
        k.m_pPrevSnapshot = nullptr;
    }

    static std::vector<const nt::SYSTEM_PROCESS_INFORMATION*> Records(const BYTE* buffer) {
        std::vector<const nt::SYSTEM_PROCESS_INFORMATION*> records;
        for (const BYTE* at = buffer;;) {
            records.push_back(reinterpret_cast<const nt::SYSTEM_PROCESS_INFORMATION*>(at));
            if (!records.back()->NextEntryOffset) return records;
            at += records.back()->NextEntryOffset;
        }
    }

    host::SystemObjectCounts before = host::LiveSystemObjects();
};

TEST_F(SnapshotTest, WithNoPreviousListTheBufferDoublesUntilTheListFitsAndKeepsThatSize) {
    ScriptProcesses(72);  // 21,312 bytes
    CKernelIf k;
    ASSERT_TRUE(k.TakeProcessSnapshot());
    EXPECT_EQ(LengthsAsked(), (std::vector<ULONG>{4096, 8192, 16384, 32768}));
    EXPECT_EQ(k.m_cbSnapshotBuffer, 32768u);
    EXPECT_EQ(Records(k.m_pSnapshot).size(), 72u);
    EXPECT_EQ(k.m_pPrevSnapshot, nullptr);

    ReleaseBoth(k);
    LengthsAsked().clear();
    ASSERT_TRUE(k.TakeProcessSnapshot());
    EXPECT_EQ(LengthsAsked(), (std::vector<ULONG>{32768}));
    ReleaseBoth(k);
}

TEST_F(SnapshotTest, WithAPreviousListHeldEachMismatchAddsOnePage) {
    ScriptProcesses(72);
    CKernelIf k;
    ASSERT_TRUE(k.TakeProcessSnapshot());
    ScriptProcesses(140);  // 41,440 bytes
    LengthsAsked().clear();
    ASSERT_TRUE(k.TakeProcessSnapshot());
    EXPECT_EQ(LengthsAsked(), (std::vector<ULONG>{32768, 36864, 40960, 45056}));
    ASSERT_NE(k.m_pPrevSnapshot, nullptr);
    EXPECT_EQ(Records(k.m_pPrevSnapshot).size(), 72u);
    EXPECT_EQ(Records(k.m_pSnapshot).size(), 140u);
    EXPECT_GE(AsNumber(k.m_ftSnapshot), AsNumber(k.m_ftPrevSnapshot));
}

TEST_F(SnapshotTest, ARecordWithoutCreationTimeGetsTheBootTime) {
    CKernelIf k;
    ASSERT_NE(k.m_llBootTime, 0);
    ASSERT_TRUE(k.TakeProcessSnapshot());
    for (const auto* r : Records(k.m_pSnapshot)) {
        const ULONG_PTR pid = reinterpret_cast<ULONG_PTR>(r->UniqueProcessId);
        const host::ScriptedProcess* scripted = State().FindProcess(static_cast<DWORD>(pid));
        const LONGLONG expected = scripted->record.creationTime ? static_cast<LONGLONG>(scripted->record.creationTime)
                                                                : k.m_llBootTime;
        EXPECT_EQ(r->CreateTime.QuadPart, expected) << "pid " << pid;
    }
}

TEST_F(SnapshotTest, TheSnapshotTimeIsTheMachinesUtcTime) {
    CKernelIf k;
    machine.Advance(60000);
    ASSERT_TRUE(k.TakeProcessSnapshot());
    EXPECT_EQ(AsNumber(k.m_ftSnapshot), machine.UtcFileTime());
}

TEST_F(SnapshotTest, BeforeVersion5NothingIsAskedAndNoBufferIsTouched) {
    State().version.dwMajorVersion = 4;
    CKernelIf k;
    const std::size_t blocks = host::LiveSystemObjects().heapBlocks;
    SetLastError(0);
    EXPECT_FALSE(k.TakeProcessSnapshot());
    EXPECT_EQ(GetLastError(), KERNELIF_ERROR_UNAVAILABLE);
    EXPECT_EQ(k.m_pSnapshot, nullptr);
    EXPECT_EQ(k.m_pPrevSnapshot, nullptr);
    EXPECT_EQ(k.m_cbSnapshotBuffer, 4096u);
    EXPECT_TRUE(LengthsAsked().empty());
    EXPECT_EQ(host::LiveSystemObjects().heapBlocks, blocks);
}

TEST_F(SnapshotTest, WithoutTheQueryEntryPointTheServiceIsUnavailable) {
    State().modules["ntdll.dll"].exports.erase("NtQuerySystemInformation");
    CKernelIf k;
    EXPECT_FALSE(k.TakeProcessSnapshot());
    EXPECT_EQ(GetLastError(), KERNELIF_ERROR_UNAVAILABLE);
}

TEST_F(SnapshotTest, AFailedAllocationReportsNoMemoryWithNoCurrentBuffer) {
    ScriptProcesses(72);
    CKernelIf k;
    std::string error;
    // The second allocation from here: the 8192-byte buffer after 4096 failed.
    ASSERT_TRUE(machine.LoadScenario(R"({ "machine": { "heap": { "failAt": [ 2 ] } } })", &error)) << error;
    SetLastError(0);
    EXPECT_FALSE(k.TakeProcessSnapshot());
    EXPECT_EQ(GetLastError(), KERNELIF_ERROR_NO_MEMORY);
    EXPECT_EQ(k.m_pSnapshot, nullptr);
    EXPECT_EQ(LengthsAsked(), (std::vector<ULONG>{4096}));
    EXPECT_EQ(k.m_cbSnapshotBuffer, 8192u);  // the growth stays for the next snapshot
}

TEST_F(SnapshotTest, OtherFailuresAreRetriedAtTheSameSizeUpToTheBound) {
    CKernelIf k;
    host::ScriptedQuery& query = State().Query(SystemProcessInformation);
    query.upcoming.assign(KernelIf::kSnapshotRetries, STATUS_UNSUCCESSFUL);
    ASSERT_TRUE(k.TakeProcessSnapshot());
    EXPECT_EQ(LengthsAsked(), (std::vector<ULONG>{4096, 4096, 4096, 4096}));

    ReleaseBoth(k);
    LengthsAsked().clear();
    query.upcoming.assign(KernelIf::kSnapshotRetries + 1, STATUS_ACCESS_DENIED);
    SetLastError(0);
    EXPECT_FALSE(k.TakeProcessSnapshot());
    EXPECT_EQ(GetLastError(), KERNELIF_ERROR_UNAVAILABLE);
    EXPECT_EQ(LengthsAsked().size(), static_cast<std::size_t>(KernelIf::kSnapshotRetries + 1));
    EXPECT_EQ(k.m_pSnapshot, nullptr);
    EXPECT_EQ(k.m_cbSnapshotBuffer, 4096u);
}

TEST_F(SnapshotTest, AMismatchDoesNotUseUpTheRetries) {
    ScriptProcesses(72);
    CKernelIf k;
    State().Query(SystemProcessInformation).upcoming = {STATUS_UNSUCCESSFUL, STATUS_UNSUCCESSFUL,
                                                        STATUS_UNSUCCESSFUL};
    // Three failures, then four sizes of which three are too small.
    ASSERT_TRUE(k.TakeProcessSnapshot());
    EXPECT_EQ(LengthsAsked(), (std::vector<ULONG>{4096, 4096, 4096, 4096, 8192, 16384, 32768}));
}

}  // namespace
