// The writers both machines use for the variable-length records: process
// list and paging files, laid out as the native query lays them out.

#include <ntstatus.h>
#include "host/system_services.h"

#include <nt/process_information.h>
#include <nt/system_information.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

host::ProcessRecord Process(DWORD pid, const wchar_t* name, ULONGLONG created, SIZE_T workingSet) {
    host::ProcessRecord p;
    p.pid = pid;
    p.imageName = name;
    p.creationTime = created;
    p.vm.WorkingSetSize = workingSet;
    return p;
}

std::vector<const nt::SYSTEM_PROCESS_INFORMATION*> Walk(const BYTE* buffer) {
    std::vector<const nt::SYSTEM_PROCESS_INFORMATION*> records;
    for (const BYTE* at = buffer;;) {
        records.push_back(reinterpret_cast<const nt::SYSTEM_PROCESS_INFORMATION*>(at));
        if (records.back()->NextEntryOffset == 0) return records;
        at += records.back()->NextEntryOffset;
    }
}

TEST(ProcessListWriter, RecordsCarryNamesIdsTimesAndWorkingSetsInsideTheBuffer) {
    const std::vector<host::ProcessRecord> list = {Process(0, L"", 0, 8192), Process(4, L"System", 77, 1 << 20),
                                                   Process(2345, L"Memory Compression", 99, 5 << 20)};
    std::vector<BYTE> buffer(4096, 0xCC);
    const host::NativeResult r = host::WriteProcessList(list, buffer.data(), static_cast<ULONG>(buffer.size()));
    ASSERT_EQ(r.status, STATUS_SUCCESS);

    const auto records = Walk(buffer.data());
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0]->ImageName.Length, 0);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(records[1]->UniqueProcessId), 4u);
    EXPECT_EQ(records[1]->CreateTime.QuadPart, 77);
    EXPECT_EQ(records[2]->WorkingSetSize, SIZE_T{5} << 20);
    // A name's length counts bytes of the platform's WCHAR, and its
    // characters lie in the caller's buffer, terminated.
    const UNICODE_STRING& name = records[2]->ImageName;
    EXPECT_EQ(name.Length, 18 * sizeof(WCHAR));
    const BYTE* chars = reinterpret_cast<const BYTE*>(name.Buffer);
    EXPECT_GE(chars, buffer.data());
    EXPECT_LT(chars + name.Length, buffer.data() + r.returnedLength);
    EXPECT_EQ(std::wstring(name.Buffer), L"Memory Compression");
    for (const auto* record : records) EXPECT_EQ(record->NextEntryOffset % 8, 0u);
}

TEST(ProcessListWriter, TooSmallOrMissingBufferIsAMismatchNamingTheLengthNeeded) {
    const std::vector<host::ProcessRecord> list = {Process(4, L"System", 1, 1)};
    const host::NativeResult needed = host::WriteProcessList(list, nullptr, 0);
    EXPECT_EQ(needed.status, STATUS_INFO_LENGTH_MISMATCH);
    // One record, "System" and its terminator, rounded up to 8 bytes.
    EXPECT_EQ(needed.returnedLength, 256u + ((7 * sizeof(WCHAR) + 7) / 8) * 8);

    std::vector<BYTE> exact(needed.returnedLength);
    EXPECT_EQ(host::WriteProcessList(list, exact.data(), needed.returnedLength - 1).status,
              STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(host::WriteProcessList(list, exact.data(), needed.returnedLength).status, STATUS_SUCCESS);
    EXPECT_EQ(host::WriteProcessList({}, exact.data(), needed.returnedLength).status, STATUS_UNSUCCESSFUL);
}

TEST(PageFileWriter, EntriesLieThirtyTwoBytesApartWithTheirNamesAfterThem) {
    const std::vector<host::PageFileRecord> files = {{L"\\??\\C:\\pagefile.sys", 1000, 100, 200},
                                                     {L"\\??\\D:\\pagefile.sys", 2000, 300, 400}};
    std::vector<BYTE> buffer(512);
    const host::NativeResult r = host::WritePageFileList(files, buffer.data(), 512);
    ASSERT_EQ(r.status, STATUS_SUCCESS);
    const auto* entries = reinterpret_cast<const nt::SYSTEM_PAGEFILE_INFORMATION*>(buffer.data());
    EXPECT_EQ(entries[0].NextEntryOffset, 32u);
    EXPECT_EQ(entries[1].NextEntryOffset, 0u);
    EXPECT_EQ(entries[1].TotalInUse, 300u);
    EXPECT_EQ(std::wstring(entries[1].PageFileName.Buffer), L"\\??\\D:\\pagefile.sys");
    EXPECT_GE(reinterpret_cast<const BYTE*>(entries[0].PageFileName.Buffer), buffer.data() + 64);

    EXPECT_EQ(host::WritePageFileList(files, buffer.data(), 80).status, STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(host::WritePageFileList({}, buffer.data(), 512).returnedLength, 0u);
}

TEST(FixedRecordWriter, CopiesOnlyIntoABufferAtLeastAsLongAsTheRecord) {
    nt::SYSTEM_BASIC_INFORMATION basic{};
    basic.PageSize = 4096;
    std::vector<BYTE> buffer(64, 0xEE);
    EXPECT_EQ(host::WriteRecord(&basic, sizeof basic, buffer.data(), 55).status, STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(buffer[8], 0xEE);
    const host::NativeResult r = host::WriteRecord(&basic, sizeof basic, buffer.data(), 64);
    EXPECT_EQ(r.returnedLength, 56u);
    EXPECT_EQ(reinterpret_cast<nt::SYSTEM_BASIC_INFORMATION*>(buffer.data())->PageSize, 4096u);
    EXPECT_EQ(buffer[56], 0xEE);  // nothing past the record
}

TEST(NamesAndPrivileges, ModuleNamesAndPrivilegeLookupsFollowWindowsRules) {
    EXPECT_EQ(host::CanonicalModuleName(L"C:\\Windows\\System32\\NTDLL.DLL"), L"ntdll.dll");
    EXPECT_EQ(host::CanonicalModuleName(L"Wtsapi32"), L"wtsapi32.dll");
    EXPECT_EQ(host::WellKnownPrivilege(L"sedebugprivilege")->LowPart, 20u);
    EXPECT_EQ(host::WellKnownPrivilege(L"SeProfileSingleProcessPrivilege")->LowPart, 13u);
    EXPECT_FALSE(host::WellKnownPrivilege(L"SeNoSuchPrivilege"));
    EXPECT_EQ(host::PrivilegeName(LUID{5, 0}), L"SeIncreaseQuotaPrivilege");
    EXPECT_TRUE(host::PrivilegeName(LUID{5, 1}).empty());
}

}  // namespace
