// System information and the file cache's limits, with the Win32 argument
// and buffer rules.

#include <windows.h>

#include "system/scripted_fixture.h"

#include <vector>

namespace {

using SystemInfoTest = ScriptedMachineTest;

TEST_F(SystemInfoTest, MemoryStatusNeedsItsLengthSet) {
    MEMORYSTATUSEX status{};
    EXPECT_FALSE(GlobalMemoryStatusEx(&status));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    EXPECT_EQ(status.ullTotalPhys, State().memoryStatus.ullTotalPhys);
    EXPECT_EQ(status.dwLength, 64u);
    State().memoryStatusError = ERROR_NOT_ENOUGH_MEMORY;
    EXPECT_FALSE(GlobalMemoryStatusEx(&status));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST_F(SystemInfoTest, LogicalProcessorRecordsFollowTheAskForTheLengthFirstProtocol) {
    DWORD length = 0;
    EXPECT_FALSE(GetLogicalProcessorInformation(nullptr, &length));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(length, State().logicalProcessors.size() * 32);
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records(length / 32);
    DWORD tooShort = length - 1;
    EXPECT_FALSE(GetLogicalProcessorInformation(records.data(), &tooShort));
    EXPECT_EQ(tooShort, length);
    ASSERT_TRUE(GetLogicalProcessorInformation(records.data(), &length));
    // The default machine: 4 cores of 2 threads each, one package.
    int cores = 0;
    for (const auto& r : records) cores += r.Relationship == RelationProcessorCore;
    EXPECT_EQ(cores, 4);
    EXPECT_EQ(records[1].ProcessorMask, 0xCu);

    State().logicalProcessorsError = ERROR_CALL_NOT_IMPLEMENTED;
    EXPECT_FALSE(GetLogicalProcessorInformation(nullptr, &length));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
}

TEST_F(SystemInfoTest, VersionComesInTheShortOrTheExtendedFormAndNoOther) {
    OSVERSIONINFOEXW extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&extended)));
    EXPECT_EQ(extended.dwMajorVersion, 10u);
    EXPECT_EQ(extended.wProductType, VER_NT_WORKSTATION);

    OSVERSIONINFOW basic{};
    basic.dwOSVersionInfoSize = sizeof basic;
    ASSERT_TRUE(GetVersionExW(&basic));
    EXPECT_EQ(basic.dwBuildNumber, 19045u);
    EXPECT_EQ(basic.dwOSVersionInfoSize, sizeof basic);

    OSVERSIONINFOEXW wrong{};
    wrong.dwOSVersionInfoSize = 284;  // the Windows size, not this platform's
    EXPECT_FALSE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&wrong)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(wrong.dwMajorVersion, 0u);
}

TEST_F(SystemInfoTest, CacheLimitsAreSetWithTheHardFlagsAndLogged) {
    SIZE_T minimum = 0, maximum = 0;
    DWORD flags = 0;
    State().cacheFlags = FILE_CACHE_MIN_HARD_ENABLE;
    State().cacheMinimum = 0x10000;
    ASSERT_TRUE(GetSystemFileCacheSize(&minimum, &maximum, &flags));
    EXPECT_TRUE(SetSystemFileCacheSize(minimum, 0x7FFFF, flags | FILE_CACHE_MAX_HARD_ENABLE));
    EXPECT_TRUE(GetSystemFileCacheSize(&minimum, &maximum, &flags));
    EXPECT_EQ(maximum, 0x7FFFFu);
    EXPECT_EQ(flags, static_cast<DWORD>(FILE_CACHE_MIN_HARD_ENABLE | FILE_CACHE_MAX_HARD_ENABLE));
    EXPECT_EQ(State().fileCache.MaximumWorkingSet, 0x7FFFFu / 4096);

    // The flush keeps the limits.
    EXPECT_TRUE(SetSystemFileCacheSize(static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1), FILE_CACHE_MAX_HARD_ENABLE));
    EXPECT_EQ(State().cacheMaximum, 0x7FFFFu);
    State().cacheSetError = ERROR_PRIVILEGE_NOT_HELD;
    EXPECT_FALSE(SetSystemFileCacheSize(0, 1 << 20, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD));
    EXPECT_FALSE(GetSystemFileCacheSize(&minimum, nullptr, &flags));
    EXPECT_EQ(ActionsStartingWith("SetSystemFileCacheSize"),
              (std::vector<std::string>{
                  "SetSystemFileCacheSize(minimum 0x10000, maximum 0x7FFFF, flags 0x5) -> ok",
                  "SetSystemFileCacheSize(minimum 0xFFFFFFFFFFFFFFFF, maximum 0xFFFFFFFFFFFFFFFF, flags 0x1) -> ok",
                  "SetSystemFileCacheSize(minimum 0x0, maximum 0x100000, flags 0x0) -> error 1314",
              }));
}

TEST_F(SystemInfoTest, ContradictoryFlagsOrAMinimumAboveTheMaximumAreRefused) {
    EXPECT_FALSE(SetSystemFileCacheSize(0, 1 << 20, FILE_CACHE_MAX_HARD_ENABLE | FILE_CACHE_MAX_HARD_DISABLE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SetSystemFileCacheSize(2 << 20, 1 << 20, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
