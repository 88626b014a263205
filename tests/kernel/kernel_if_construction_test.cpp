// Building the kernel interface: entry points by library, the version,
// processor counts, the boot time, the debug privilege, and destruction.

#include "kernel/kernel_if.h"

#include <winternl.h>
#include <ntstatus.h>

#include "kernel/entry_points.h"
#include "system/scripted_fixture.h"


namespace {

using KernelIf::CKernelIf;

class KernelIfConstructionTest : public ScriptedMachineTest {
protected:
    void TearDown() override {
        EXPECT_EQ(host::LiveSystemObjects(), before) << "the kernel interface left something behind";
        ScriptedMachineTest::TearDown();
    }
    host::SystemObjectCounts before = host::LiveSystemObjects();
};

TEST_F(KernelIfConstructionTest, OnAFullMachineEveryEntryPointResolves) {
    CKernelIf k;
    EXPECT_NE(k.m_hNtdll, nullptr);
    EXPECT_NE(k.m_hKernel32, nullptr);
    EXPECT_NE(k.m_hWtsapi32, nullptr);
    EXPECT_NE(k.m_hIphlpapi, nullptr);
    const auto entries = EntryPoints(k);
    EXPECT_EQ(entries.size(), 94u);
    for (const ResolvedEntry& e : entries) EXPECT_TRUE(e.resolved) << e.module << "!" << e.name;
    EXPECT_EQ(reinterpret_cast<void*>(k.m_pfnNtQuerySystemInformation),
              reinterpret_cast<void*>(&NtQuerySystemInformation));
    EXPECT_EQ(host::LiveSystemObjects().moduleReferences, before.moduleReferences + 4);
}

TEST_F(KernelIfConstructionTest, AMissingLibraryLeavesAllItsEntryPointsNullAndNothingElse) {
    State().modules["wtsapi32.dll"].loads = false;
    State().modules["ntdll.dll"].exports.erase("NtSetSystemInformation");
    CKernelIf k;
    EXPECT_EQ(k.m_hWtsapi32, nullptr);
    for (const ResolvedEntry& e : EntryPoints(k)) {
        const bool expected = e.module != "wtsapi32.dll" && e.name != "NtSetSystemInformation";
        EXPECT_EQ(e.resolved, expected) << e.module << "!" << e.name;
    }
}

TEST_F(KernelIfConstructionTest, DestructionReleasesTheLibrariesAndBothSnapshots) {
    {
        CKernelIf k;
        ASSERT_TRUE(k.TakeProcessSnapshot());
        ASSERT_TRUE(k.TakeProcessSnapshot());
        ASSERT_NE(k.m_pPrevSnapshot, nullptr);
        ASSERT_NE(k.m_pSnapshot, nullptr);
        EXPECT_EQ(host::LiveSystemObjects().heapBlocks, before.heapBlocks + 2);
    }
    // TearDown finds every module reference and heap block given back.
}

TEST_F(KernelIfConstructionTest, TheVersionIsAskedWithThisPlatformsExtendedRecordSize) {
    State().version.dwMajorVersion = 5;
    CKernelIf k;
    EXPECT_EQ(k.m_osVersionInfo.dwOSVersionInfoSize, sizeof(OSVERSIONINFOEXW));
    EXPECT_EQ(k.m_osVersionInfo.dwMajorVersion, 5u);
    EXPECT_TRUE(k.m_bVersion5OrLater);
}

TEST_F(KernelIfConstructionTest, AFailedVersionQueryLeavesVersionZero) {
    State().versionError = ERROR_INVALID_PARAMETER;
    CKernelIf k;
    EXPECT_EQ(k.m_osVersionInfo.dwMajorVersion, 0u);
    EXPECT_FALSE(k.m_bVersion5OrLater);
}

TEST_F(KernelIfConstructionTest, ProcessorCountsOfTheDefaultMachine) {
    CKernelIf k;
    EXPECT_EQ(k.m_nLogicalProcessors, 8u);
    EXPECT_EQ(k.m_nProcessorCores, 4u);
}

TEST_F(KernelIfConstructionTest, MoreThan32LogicalProcessorsCountAsOneWhileTheCoresStand) {
    State().systemInfo.dwNumberOfProcessors = 40;
    State().logicalProcessors = host::DefaultScriptedSystem().logicalProcessors;
    CKernelIf k;
    EXPECT_EQ(k.m_nLogicalProcessors, 1u);
    EXPECT_EQ(k.m_nProcessorCores, 4u);
}

TEST_F(KernelIfConstructionTest, MoreThan32CoresCountAsOneWhileTheLogicalCountStands) {
    std::string error;
    ASSERT_TRUE(machine.LoadScenario(R"({ "machine": {
        "systemInfo": { "record": { "dwNumberOfProcessors": 16 } },
        "logicalProcessors": { "cores": 33, "threadsPerCore": 1 } } })",
                                     &error))
        << error;
    CKernelIf k;
    EXPECT_EQ(k.m_nProcessorCores, 1u);
    EXPECT_EQ(k.m_nLogicalProcessors, 16u);
}

TEST_F(KernelIfConstructionTest, WithoutTheLogicalProcessorFunctionCoresEqualLogicalProcessors) {
    State().modules["kernel32.dll"].exports.erase("GetLogicalProcessorInformation");
    CKernelIf k;
    EXPECT_EQ(k.m_pfnGetLogicalProcessorInformation, nullptr);
    EXPECT_EQ(k.m_nProcessorCores, k.m_nLogicalProcessors);
    EXPECT_EQ(k.m_nLogicalProcessors, 8u);
}

TEST_F(KernelIfConstructionTest, AFailingLogicalProcessorFunctionAlsoLeavesCoresEqualLogical) {
    State().logicalProcessorsError = ERROR_CALL_NOT_IMPLEMENTED;
    CKernelIf k;
    EXPECT_EQ(k.m_nProcessorCores, 8u);

    State().logicalProcessorsError = ERROR_SUCCESS;
    State().logicalProcessors.clear();  // succeeds with no records: no cores counted
    k.QueryProcessorCounts();
    EXPECT_EQ(k.m_nProcessorCores, 1u);
}

TEST_F(KernelIfConstructionTest, WithoutTheQueryEntryPointThereIsOneLogicalProcessorAndNoBootTime) {
    State().modules["ntdll.dll"].exports.erase("NtQuerySystemInformation");
    CKernelIf k;
    EXPECT_EQ(k.m_nLogicalProcessors, 1u);
    EXPECT_EQ(k.m_nProcessorCores, 4u);  // the core records still count
    EXPECT_EQ(k.m_llBootTime, 0);
}

TEST_F(KernelIfConstructionTest, TheBootTimeComesFromTheTimeOfDayRecord) {
    machine.SetUtcBase(133000000000000000ULL);
    {
        CKernelIf k;
        EXPECT_EQ(k.m_llBootTime, 133000000000000000LL);
    }
    State().Query(SystemTimeOfDayInformation).status = STATUS_ACCESS_DENIED;
    CKernelIf failed;
    EXPECT_EQ(failed.m_llBootTime, 0);
}

TEST_F(KernelIfConstructionTest, ConstructionEnablesTheDebugPrivilege) {
    CKernelIf k;
    EXPECT_TRUE(State().FindPrivilege(SE_DEBUG_NAME)->enabled);
    EXPECT_EQ(ActionsStartingWith("AdjustTokenPrivileges"),
              (std::vector<std::string>{"AdjustTokenPrivileges(SeDebugPrivilege enable) -> ok"}));
}

}  // namespace
