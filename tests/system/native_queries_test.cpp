// The native system-information queries and memory-list commands as the
// program makes them: lengths, statuses, returned lengths, scripted
// failures, and the log of every command.

#include <winternl.h>
#include <ntstatus.h>

#include "host/ntdll.h"

#include <nt/process_information.h>
#include <nt/system_information.h>

#include "system/scripted_fixture.h"

#include <cstring>

namespace {

using NativeQueriesTest = ScriptedMachineTest;

TEST_F(NativeQueriesTest, ALongerRecordOnTheMachineRefusesTheShortBufferThenFillsTheLongOne) {
    State().Query(nt::SystemMemoryListInformation).recordLength = nt::kSystemMemoryListInformationRetryLength;
    State().memoryList.ModifiedPageCountPageFile = 77;
    nt::SYSTEM_MEMORY_LIST_INFORMATION_EX record{};
    ULONG length = 0;
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemMemoryListInformation, &record,
                                       nt::kSystemMemoryListInformationLength, &length),
              STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(length, 176u);
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemMemoryListInformation, &record, sizeof record, &length),
              STATUS_SUCCESS);
    EXPECT_EQ(record.ModifiedPageCountPageFile, 77u);
    EXPECT_EQ(record.PageCountByPriority[5], State().memoryList.PageCountByPriority[5]);
}

TEST_F(NativeQueriesTest, PerformanceRecordOfTheRetryLengthKeepsItsFirst328Bytes) {
    State().Query(SystemPerformanceInformation).recordLength = nt::kSystemPerformanceInformationRetryLength;
    State().performance.CcLazyWritePages = 4242;
    BYTE buffer[344];
    std::memset(buffer, 0xCC, sizeof buffer);
    EXPECT_LT(NtQuerySystemInformation(SystemPerformanceInformation, buffer, 328, nullptr), 0);
    EXPECT_EQ(NtQuerySystemInformation(SystemPerformanceInformation, buffer, 344, nullptr), STATUS_SUCCESS);
    ULONG lazyPages = 0;
    std::memcpy(&lazyPages, buffer + 0x11C, sizeof lazyPages);
    EXPECT_EQ(lazyPages, 4242u);
    EXPECT_EQ(buffer[343], 0);  // the longer record's tail, zero here
}

TEST_F(NativeQueriesTest, ScriptedStatusesComeFirstOnePerCallThenTheFixedOne) {
    host::ScriptedQuery& q = State().Query(nt::SystemFileCacheInformation);
    q.upcoming = {STATUS_ACCESS_DENIED, STATUS_UNSUCCESSFUL};
    q.status = STATUS_NOT_SUPPORTED;
    q.returnedLength = 12;
    nt::SYSTEM_FILECACHE_INFORMATION record{};
    ULONG length = 0;
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemFileCacheInformation, &record, 72, &length), STATUS_ACCESS_DENIED);
    EXPECT_EQ(length, 12u);
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemFileCacheInformation, &record, 72, &length), STATUS_UNSUCCESSFUL);
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemFileCacheInformation, &record, 72, &length), STATUS_NOT_SUPPORTED);
    EXPECT_EQ(record.CurrentSize, 0u);  // a failure fills nothing
    q.status.reset();
    q.returnedLength.reset();
    EXPECT_EQ(NtQuerySystemInformation(nt::SystemFileCacheInformation, &record, 72, &length), STATUS_SUCCESS);
    EXPECT_EQ(length, 64u);
    EXPECT_EQ(record.CurrentSize, State().fileCache.CurrentSize);
    EXPECT_EQ(q.lengthsAsked, (std::vector<ULONG>{72, 72, 72, 72}));
}

TEST_F(NativeQueriesTest, TimeOfDayCarriesTheBootTimeAndTheClock) {
    machine.SetUtcBase(130000000000000000ULL);
    machine.Advance(2500);
    nt::SYSTEM_TIMEOFDAY_INFORMATION t{};
    ASSERT_EQ(NtQuerySystemInformation(SystemTimeOfDayInformation, &t, sizeof t, nullptr), STATUS_SUCCESS);
    EXPECT_EQ(t.BootTime.QuadPart, 130000000000000000LL);
    EXPECT_EQ(t.CurrentTime.QuadPart, 130000000000000000LL + 2500 * 10000LL);
    State().bootTime = 5;
    ASSERT_EQ(NtQuerySystemInformation(SystemTimeOfDayInformation, &t, sizeof t, nullptr), STATUS_SUCCESS);
    EXPECT_EQ(t.BootTime.QuadPart, 5);
}

TEST_F(NativeQueriesTest, PageFileEntriesMayCarryScriptedNextOffsets) {
    State().pageFiles.resize(2);
    State().pageFiles[0].file = {L"a", 10, 1, 1};
    State().pageFiles[0].nextEntryOffset = 0;  // claims to be the last
    State().pageFiles[1].file = {L"b", 20, 2, 2};
    BYTE buffer[512] = {};
    ASSERT_EQ(NtQuerySystemInformation(nt::SystemPageFileInformation, buffer, sizeof buffer, nullptr), STATUS_SUCCESS);
    const auto* entries = reinterpret_cast<const nt::SYSTEM_PAGEFILE_INFORMATION*>(buffer);
    EXPECT_EQ(entries[0].NextEntryOffset, 0u);
    EXPECT_EQ(entries[1].TotalInUse, 2u);
}

TEST_F(NativeQueriesTest, PageFileNamesAfterEachEntryAsWindowsLaysThemOut) {
    State().pageFiles.resize(2);
    State().pageFiles[0].file = {L"\\??\\C:\\pagefile.sys", 10, 1, 1};  // 19 characters
    State().pageFiles[1].file = {L"b", 20, 2, 2};
    State().pageFileNames = host::PageFileNames::AfterEachEntry;
    BYTE buffer[512] = {};
    ULONG length = 0;
    ASSERT_EQ(NtQuerySystemInformation(nt::SystemPageFileInformation, buffer, sizeof buffer, &length), STATUS_SUCCESS);
    // Entry 0, then its name (20 characters with the terminator), then
    // entry 1 and its name (2 characters, padded to 8 bytes).
    const ULONG name0 = (20 * sizeof(WCHAR) + 7) / 8 * 8;
    const ULONG name1 = (2 * sizeof(WCHAR) + 7) / 8 * 8;
    const auto* first = reinterpret_cast<const nt::SYSTEM_PAGEFILE_INFORMATION*>(buffer);
    EXPECT_EQ(first->NextEntryOffset, 32 + name0);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(first->PageFileName.Buffer), buffer + 32);
    const auto* second = reinterpret_cast<const nt::SYSTEM_PAGEFILE_INFORMATION*>(buffer + 32 + name0);
    EXPECT_EQ(second->NextEntryOffset, 0u);
    EXPECT_EQ(second->TotalInUse, 2u);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(second->PageFileName.Buffer), buffer + 64 + name0);
    EXPECT_EQ(length, 64 + name0 + name1);
    // A scripted offset lands on the entry where it lies.
    State().pageFiles[1].nextEntryOffset = 0x40;
    ASSERT_EQ(NtQuerySystemInformation(nt::SystemPageFileInformation, buffer, sizeof buffer, &length), STATUS_SUCCESS);
    EXPECT_EQ(second->NextEntryOffset, 0x40u);
    EXPECT_EQ(first->NextEntryOffset, 32 + name0);
}

TEST_F(NativeQueriesTest, BadBuffersAndUnknownClassesFailWithoutTouchingAnything) {
    ULONG length = 99;
    EXPECT_EQ(NtQuerySystemInformation(SystemBasicInformation, nullptr, 56, &length), STATUS_ACCESS_VIOLATION);
    EXPECT_EQ(length, 99u);
    EXPECT_EQ(NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(11), &length, 4, nullptr),
              STATUS_INVALID_INFO_CLASS);
    // The process list: how long it is, asked with no buffer.
    EXPECT_EQ(NtQuerySystemInformation(SystemProcessInformation, nullptr, 0, &length), STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_GT(length, State().processes.size() * sizeof(nt::SYSTEM_PROCESS_INFORMATION));
}

TEST_F(NativeQueriesTest, EveryMemoryListCommandIsLoggedWithItsStatus) {
    State().memoryListCommands[nt::MemoryPurgeLowPriorityStandbyList] = STATUS_PRIVILEGE_NOT_HELD;
    for (ULONG command : {2u, 3u, 4u, 5u, 9u}) {
        ULONG value = command;
        NtSetSystemInformation(nt::SystemMemoryListInformation, &value, sizeof value);
    }
    ULONG value = 4;
    EXPECT_EQ(NtSetSystemInformation(nt::SystemMemoryListInformation, &value, 8), STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(NtSetSystemInformation(SystemBasicInformation, &value, 4), STATUS_INVALID_INFO_CLASS);
    EXPECT_EQ(ActionsStartingWith("NtSetSystemInformation"),
              (std::vector<std::string>{
                  "NtSetSystemInformation(SystemMemoryListInformation, MemoryEmptyWorkingSets) -> 0x00000000",
                  "NtSetSystemInformation(SystemMemoryListInformation, MemoryFlushModifiedList) -> 0x00000000",
                  "NtSetSystemInformation(SystemMemoryListInformation, MemoryPurgeStandbyList) -> 0x00000000",
                  "NtSetSystemInformation(SystemMemoryListInformation, MemoryPurgeLowPriorityStandbyList) -> "
                  "0xC0000061",
                  "NtSetSystemInformation(SystemMemoryListInformation, command 9) -> 0xC000000D",
                  "NtSetSystemInformation(class 80, 8 bytes) -> 0xC0000004",
                  "NtSetSystemInformation(class 0, 4 bytes) -> 0xC0000003",
              }));
}

}  // namespace
