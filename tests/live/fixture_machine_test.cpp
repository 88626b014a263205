// A whole LiveLinuxMachine on saved kernel files laid out as /proc and
// /sys: every record, the process list and the commands' writes, checked
// against the figures those files hold.

#include <ntstatus.h>
#include <pdhmsg.h>
#include "host/live_linux_machine.h"

#include "host/linux_processes.h"
#include "host/system_services.h"

#include <gtest/gtest.h>
#include <nt/system_information.h>

#include "live/fake_tree.h"

#include <algorithm>
#include <unistd.h>

namespace lp = host::linux_proc;
using live_test::FakeTree;

namespace {

const std::uint64_t kPage = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
constexpr std::uint64_t KiB = 1024;

struct TreeOptions {
    bool root = true;
    bool nodeReclaim = true;
    bool cgroupReclaim = false;
};

void LayOutSystem(const FakeTree& tree, const TreeOptions& options) {
    tree.CopyFixture("proc/meminfo", "meminfo_current.txt");
    tree.CopyFixture("proc/vmstat", "vmstat_current.txt");
    tree.CopyFixture("proc/swaps", "swaps_two.txt");
    tree.CopyFixture("proc/stat", "proc_stat.txt");
    tree.CopyFixture("proc/zoneinfo", "zoneinfo.txt");
    tree.Write("proc/self/status", options.root ? "Name:\tpalisk\nUid:\t0\t0\t0\t0\nCapEff:\t000001ffffffffff\n"
                                                : "Name:\tpalisk\nUid:\t1000\t1000\t1000\t1000\nCapEff:\t0\n");
    tree.Write("proc/self/statm", "2048 300 200 10 0 100 0\n");
    tree.Write("proc/sys/vm/drop_caches", "");
    tree.Write("proc/cpuinfo", "processor\t: 0\ncpu family\t: 6\nmodel\t\t: 85\nstepping\t: 7\n\nprocessor\t: 1\n");
    // Two cores of two threads each: CPUs 0 and 2 share a core, 1 and 3.
    tree.Write("sys/devices/system/cpu/online", "0-3\n");
    for (int cpu = 0; cpu < 4; ++cpu) {
        const std::string dir = "sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/topology/";
        tree.Write(dir + "core_cpus_list", cpu % 2 == 0 ? "0,2\n" : "1,3\n");
        tree.Write(dir + "package_cpus_list", "0-3\n");
    }
    tree.Write("sys/devices/system/node/node0/meminfo",
               "Node 0 MemTotal:  32594180 kB\nNode 0 Inactive(file):  4194304 kB\n"
               "Node 0 Dirty:  40960 kB\nNode 0 Writeback:  4096 kB\n");
    if (options.nodeReclaim) tree.Write("sys/devices/system/node/node0/reclaim", "");
    if (options.cgroupReclaim) {
        tree.Write("cgroup/memory.reclaim", "");
        tree.Write("proc/self/mountinfo", "30 1 0:26 / " + tree.Path("cgroup") + " rw,nosuid - cgroup2 cgroup2 rw\n");
    } else {
        tree.Write("proc/self/mountinfo", "22 1 8:1 / / rw,relatime - ext4 /dev/vda rw\n");
    }
}

// Three processes: a user process with a hostile name, a kernel thread and
// a user process whose Linux pid is 4, plus one that vanished mid-read.
void LayOutProcesses(const FakeTree& tree) {
    tree.CopyFixture("proc/4242/stat", "pid_stat_hostile_comm.txt");
    tree.Link("proc/4242/exe", "/opt/evil dir/evil%n%s (deleted)");
    tree.Write("proc/4242/maps", "");
    tree.CopyFixture("proc/118/stat", "pid_stat_kernel_thread.txt");
    tree.Write("proc/4/stat", "4 (sh) S 1 4 4 0 -1 4194304 30 0 2 0 1 1 0 0 20 0 3 0 700 4194304 100 0\n");
    tree.CopyFixture("proc/4/status", "pid_status_user.txt");
    std::filesystem::create_directories(tree.Path("proc/777"));  // no stat: gone
}

class FixtureMachine : public ::testing::Test {
protected:
    void Start(const TreeOptions& options = {}) {
        LayOutSystem(tree_, options);
        LayOutProcesses(tree_);
        machine_ = std::make_unique<host::LiveLinuxMachine>(host::LinuxRoots{tree_.Proc(), tree_.Sys()});
        system_ = machine_->System();
    }

    template <class Record>
    Record Query(ULONG infoClass) {
        Record record{};
        const host::NativeResult result = system_->QuerySystemInformation(infoClass, &record, sizeof record);
        EXPECT_EQ(result.status, STATUS_SUCCESS) << "class " << infoClass;
        EXPECT_EQ(result.returnedLength, sizeof record);
        return record;
    }

    void SetPrivilege(const wchar_t* name, DWORD attributes) {
        LUID luid{};
        ASSERT_EQ(system_->LookupPrivilege(name, &luid), ERROR_SUCCESS);
        const LUID_AND_ATTRIBUTES change{luid, attributes};
        ASSERT_EQ(system_->ChangePrivileges({&change, 1}), ERROR_SUCCESS);
    }
    void EnablePrivilege(const wchar_t* name) { SetPrivilege(name, SE_PRIVILEGE_ENABLED); }
    void DisablePrivilege(const wchar_t* name) { SetPrivilege(name, 0); }

    NTSTATUS Command(ULONG command) {
        return system_->SetSystemInformation(nt::SystemMemoryListInformation, &command, sizeof command);
    }

    std::vector<host::ProcessRecord>::const_iterator FindPid(const std::vector<host::ProcessRecord>& list, DWORD pid) {
        return std::find_if(list.begin(), list.end(), [&](const host::ProcessRecord& p) { return p.pid == pid; });
    }

    FakeTree tree_;
    std::unique_ptr<host::LiveLinuxMachine> machine_;
    host::SystemServices* system_ = nullptr;
};

}  // namespace

// ---- the records ----------------------------------------------------------------

TEST_F(FixtureMachine, MemoryListRecordHoldsThePartition) {
    Start();
    const auto r = Query<nt::SYSTEM_MEMORY_LIST_INFORMATION>(nt::SystemMemoryListInformation);
    EXPECT_EQ(r.ZeroPageCount, 0u);
    EXPECT_EQ(r.FreePageCount, 10485760 * KiB / kPage);
    EXPECT_EQ(r.ModifiedPageCount, (40960 + 4096) * KiB / kPage);
    EXPECT_EQ(r.BadPageCount, 8 * KiB / kPage);
    EXPECT_EQ(r.PageCountByPriority[2], 4194304 * KiB / kPage - r.ModifiedPageCount);
    EXPECT_EQ(r.PageCountByPriority[5], 8388608 * KiB / kPage);
    EXPECT_EQ(r.RepurposedPagesByPriority[2], 4294967301u);  // a 64-bit field keeps it whole
    // The longer buffer a newer program passes takes the same record.
    BYTE longer[176] = {};
    const host::NativeResult result = system_->QuerySystemInformation(nt::SystemMemoryListInformation, longer, 176);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.returnedLength, sizeof(nt::SYSTEM_MEMORY_LIST_INFORMATION));
}

TEST_F(FixtureMachine, PerformanceRecordNarrowsCountsWithoutWrappingLevels) {
    Start();
    const auto r = Query<nt::SYSTEM_PERFORMANCE_INFORMATION>(SystemPerformanceInformation);
    const auto list = Query<nt::SYSTEM_MEMORY_LIST_INFORMATION>(nt::SystemMemoryListInformation);
    std::uint64_t standby = 0;
    for (ULONG_PTR pages : list.PageCountByPriority) standby += pages;
    EXPECT_EQ(r.AvailablePages, list.ZeroPageCount + list.FreePageCount + standby);
    EXPECT_EQ(r.PageReadCount, 123456u);
    EXPECT_EQ(r.DirtyPagesWriteCount, 654321u);
    EXPECT_EQ(r.CcLazyWritePages, 987654321u);
    EXPECT_EQ(r.NonPagedPoolPages, (425984 + 24576 + 65536 + 16384) * KiB / kPage);
    EXPECT_EQ(r.ResidentSystemCachePage, 1048576 * KiB / kPage);
    EXPECT_EQ(r.CommitLimit, (32594180 + 8388604) * KiB / kPage);
    EXPECT_EQ(r.CommittedPages, 12000000 * KiB / kPage);
    EXPECT_EQ(r.TransitionCount + r.DemandZeroCount + r.PagedPoolPages + r.CcCopyReadNoWait, 0u);
    // A buffer short of the record: the length it needs.
    BYTE small[100];
    const host::NativeResult refused = system_->QuerySystemInformation(SystemPerformanceInformation, small, 100);
    EXPECT_EQ(refused.status, STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(refused.returnedLength, nt::kSystemPerformanceInformationLength);
}

TEST_F(FixtureMachine, BasicFileCacheAndTimeOfDayRecords) {
    Start();
    const auto basic = Query<nt::SYSTEM_BASIC_INFORMATION>(SystemBasicInformation);
    EXPECT_EQ(basic.PageSize, kPage);
    EXPECT_EQ(basic.NumberOfPhysicalPages, 32594180 * KiB / kPage);
    EXPECT_EQ(basic.ActiveProcessorsAffinityMask, 0xFu);
    EXPECT_EQ(basic.LowestPhysicalPageNumber, 1u);  // from the saved zoneinfo
    EXPECT_GT(basic.HighestPhysicalPageNumber, basic.LowestPhysicalPageNumber);

    const auto cache = Query<nt::SYSTEM_FILECACHE_INFORMATION>(nt::SystemFileCacheInformation);
    EXPECT_EQ(cache.CurrentSize, (409600 + 14680064) * KiB);
    EXPECT_EQ(cache.PeakSize, cache.CurrentSize);
    EXPECT_EQ(cache.MinimumWorkingSet, 0u);
    EXPECT_EQ(cache.MaximumWorkingSet, basic.NumberOfPhysicalPages);

    const auto time = Query<nt::SYSTEM_TIMEOFDAY_INFORMATION>(SystemTimeOfDayInformation);
    EXPECT_EQ(static_cast<ULONGLONG>(time.BootTime.QuadPart), host::kFileTimeUnixEpoch + 1796803309ull * 10000000);
    EXPECT_EQ(static_cast<ULONGLONG>(time.BootTime.QuadPart), system_->BootTime());
}

TEST_F(FixtureMachine, PagingFilesOnePerSwapDevice) {
    Start();
    BYTE buffer[nt::kSystemPageFileInformationLength] = {};
    const host::NativeResult result = system_->QuerySystemInformation(nt::SystemPageFileInformation, buffer, sizeof buffer);
    ASSERT_EQ(result.status, STATUS_SUCCESS);
    const auto* first = reinterpret_cast<const nt::SYSTEM_PAGEFILE_INFORMATION*>(buffer);
    const auto* second = first + 1;
    EXPECT_EQ(first->NextEntryOffset, sizeof(nt::SYSTEM_PAGEFILE_INFORMATION));
    EXPECT_EQ(second->NextEntryOffset, 0u);
    EXPECT_EQ(first->TotalSize, 4194300 * KiB / kPage);
    EXPECT_EQ(first->TotalInUse, 524288 * KiB / kPage);
    EXPECT_EQ(second->TotalInUse, 12 * KiB / kPage);
    EXPECT_EQ(std::wstring(first->PageFileName.Buffer), L"/dev/zram0");
    EXPECT_EQ(std::wstring(second->PageFileName.Buffer), L"/var/swap files/extra.swap");
}

TEST_F(FixtureMachine, NoPagingFileAnswersAnEmptyList) {
    Start();
    tree_.CopyFixture("proc/swaps", "swaps_none.txt");
    BYTE buffer[64];
    const host::NativeResult result = system_->QuerySystemInformation(nt::SystemPageFileInformation, buffer, 64);
    EXPECT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(result.returnedLength, 0u);
}

TEST_F(FixtureMachine, MemoryStatusAndCounters) {
    Start();
    MEMORYSTATUSEX status{};
    ASSERT_EQ(system_->MemoryStatus(&status), ERROR_SUCCESS);
    const auto list = Query<nt::SYSTEM_MEMORY_LIST_INFORMATION>(nt::SystemMemoryListInformation);
    EXPECT_EQ(status.ullTotalPhys, 32594180 * KiB / kPage * kPage);
    EXPECT_LE(status.ullAvailPhys, status.ullTotalPhys);
    EXPECT_EQ(status.ullTotalPageFile, (32594180 + 8388604) * KiB);
    EXPECT_EQ(status.ullAvailPageFile, (32594180 + 8388604 - 12000000) * KiB);
    EXPECT_EQ(status.ullAvailVirtual, status.ullTotalVirtual - 2048 * kPage);

    ASSERT_EQ(system_->OpenCounterQuery(), ERROR_SUCCESS);
    EXPECT_EQ(system_->AddCounter(L"\\Memory\\Free & Zero Page List Bytes"), ERROR_SUCCESS);
    EXPECT_EQ(system_->AddCounter(L"\\MEMORY\\modified page list bytes"), ERROR_SUCCESS);
    EXPECT_EQ(static_cast<DWORD>(system_->AddCounter(L"\\Memory\\Pool Tags")), PDH_CSTATUS_NO_COUNTER);
    EXPECT_EQ(static_cast<DWORD>(system_->AddCounter(L"\\Processor\\% Idle Time")), PDH_CSTATUS_NO_OBJECT);
    LONGLONG value = -1;
    EXPECT_EQ(static_cast<DWORD>(system_->ReadCounter(L"\\Memory\\Modified Page List Bytes", &value)),
              PDH_INVALID_DATA);  // nothing collected yet
    ASSERT_EQ(system_->CollectCounters(), ERROR_SUCCESS);
    ASSERT_EQ(system_->ReadCounter(L"\\Memory\\Free & Zero Page List Bytes", &value), ERROR_SUCCESS);
    EXPECT_EQ(static_cast<std::uint64_t>(value), (list.ZeroPageCount + list.FreePageCount) * kPage);
    ASSERT_EQ(system_->ReadCounter(L"\\Memory\\Standby Cache Reserve Bytes", &value), ERROR_SUCCESS);
    EXPECT_EQ(static_cast<std::uint64_t>(value), list.PageCountByPriority[2] * kPage);
    ASSERT_EQ(system_->ReadCounter(L"\\Memory\\Standby Cache Normal Priority Bytes", &value), ERROR_SUCCESS);
    EXPECT_EQ(static_cast<std::uint64_t>(value), list.PageCountByPriority[5] * kPage);
    ASSERT_EQ(system_->ReadCounter(L"\\Memory\\Standby Cache Core Bytes", &value), ERROR_SUCCESS);
    EXPECT_EQ(value, 0);
}

TEST_F(FixtureMachine, ProcessorsCoresAndVersion) {
    Start();
    SYSTEM_INFO info{};
    system_->SystemInfo(&info);
    EXPECT_EQ(info.dwNumberOfProcessors, 4u);
    EXPECT_EQ(info.dwPageSize, kPage);
    EXPECT_EQ(info.wProcessorLevel, 6);
    EXPECT_EQ(info.wProcessorRevision, 0x5507);
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records;
    ASSERT_EQ(system_->LogicalProcessorInformation(&records), ERROR_SUCCESS);
    const auto cores = std::count_if(records.begin(), records.end(),
                                     [](const auto& r) { return r.Relationship == RelationProcessorCore; });
    EXPECT_EQ(cores, 2);
    EXPECT_EQ(records[0].ProcessorMask, 0b0101u);
    EXPECT_EQ(records[0].ProcessorCore.Flags, 1);
    OSVERSIONINFOEXW version{};
    ASSERT_EQ(system_->OsVersion(&version), ERROR_SUCCESS);
    EXPECT_EQ(version.dwMajorVersion, 6u);
    EXPECT_EQ(version.dwMinorVersion, 2u);
    EXPECT_EQ(std::wstring(version.szCSDVersion).rfind(L"Linux", 0), 0u);
}

TEST_F(FixtureMachine, WhatLinuxDoesNotHave) {
    Start();
    EXPECT_FALSE(system_->HasExport(L"kernel32.dll", "GetSystemFileCacheSize"));
    EXPECT_FALSE(system_->HasExport(L"KERNEL32.DLL", "SetSystemFileCacheSize"));
    EXPECT_TRUE(system_->HasExport(L"kernel32.dll", "GlobalMemoryStatusEx"));
    EXPECT_TRUE(system_->ModuleLoads(L"ntdll.dll"));
    EXPECT_FALSE(system_->ModuleLoads(L"nosuch.dll"));
    EXPECT_EQ(system_->OpenRegistryKey(HKEY_LOCAL_MACHINE,
                                       L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\"
                                       L"PrefetchParameters"),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(system_->ConnectServiceManager(SC_MANAGER_CONNECT), ERROR_SUCCESS);
    EXPECT_EQ(system_->OpenServiceByName(L"SysMain", GENERIC_READ), static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
    EXPECT_EQ(system_->QuerySystemInformation(99, nullptr, 0).status, STATUS_INVALID_INFO_CLASS);
}

TEST_F(FixtureMachine, MissingMeminfoFailsTheQueriesCleanly) {
    Start();
    std::filesystem::remove(tree_.Path("proc/meminfo"));
    host::LiveLinuxMachine broken(host::LinuxRoots{tree_.Proc(), tree_.Sys()});
    nt::SYSTEM_BASIC_INFORMATION basic{};
    EXPECT_EQ(broken.System()->QuerySystemInformation(SystemBasicInformation, &basic, sizeof basic).status,
              STATUS_UNSUCCESSFUL);
    MEMORYSTATUSEX status{};
    EXPECT_NE(broken.System()->MemoryStatus(&status), ERROR_SUCCESS);
    EXPECT_NE(broken.System()->CollectCounters(), ERROR_SUCCESS);
}

// ---- the processes -------------------------------------------------------------

TEST_F(FixtureMachine, ProcessListInTheWindowsShape) {
    Start();
    const std::vector<host::ProcessRecord> list = system_->Processes();
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(list[0].pid, 0u);
    EXPECT_TRUE(list[0].imageName.empty());  // listed as SystemIdle[0]
    EXPECT_EQ(list[1].pid, 4u);
    EXPECT_EQ(list[1].imageName, L"System");
    EXPECT_EQ(list[1].threadCount, 1u);  // the kernel thread folded in
    EXPECT_EQ(list[1].vm.WorkingSetSize, (425984 + 24576 + 65536 + 16384 + 819200) * KiB);
    EXPECT_EQ(list[2].pid, lp::kMemoryCompressionId);  // zswap holds pages
    EXPECT_EQ(list[2].imageName, L"Memory Compression");
    EXPECT_EQ(list[2].vm.WorkingSetSize, 102400 * KiB);
    EXPECT_EQ(list.size(), 5u);  // the kernel thread and the vanished process are not listed

    const auto hostile = FindPid(list, 4242);
    ASSERT_NE(hostile, list.end());
    EXPECT_EQ(hostile->imageName, L"evil%n%s");
    EXPECT_EQ(hostile->vm.WorkingSetSize, 2560 * kPage);
    EXPECT_EQ(hostile->creationTime, lp::CreationFileTime(1796803309, 987654, sysconf(_SC_CLK_TCK)));

    // Linux pid 4 is a user process here: it gets an id of its own.
    EXPECT_EQ(FindPid(list, 4), list.begin() + 1);
    const auto renumbered = FindPid(list, lp::kRenumberedIdBase + 4);
    ASSERT_NE(renumbered, list.end());
    EXPECT_EQ(renumbered->imageName, L"sh");
    EXPECT_EQ(renumbered->threadCount, 3u);
}

TEST_F(FixtureMachine, ProcessListRecordsAndTheirLength) {
    Start();
    const host::NativeResult probe = system_->QuerySystemInformation(SystemProcessInformation, nullptr, 0);
    ASSERT_EQ(probe.status, STATUS_INFO_LENGTH_MISMATCH);
    std::vector<BYTE> buffer(probe.returnedLength);
    const host::NativeResult result =
        system_->QuerySystemInformation(SystemProcessInformation, buffer.data(), probe.returnedLength);
    ASSERT_EQ(result.status, STATUS_SUCCESS);
    const auto* first = reinterpret_cast<const nt::SYSTEM_PROCESS_INFORMATION*>(buffer.data());
    EXPECT_EQ(first->ImageName.Length, 0u);
    EXPECT_EQ(first->UniqueProcessId, nullptr);
    const auto* second =
        reinterpret_cast<const nt::SYSTEM_PROCESS_INFORMATION*>(buffer.data() + first->NextEntryOffset);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(second->UniqueProcessId), 4u);
    EXPECT_EQ(std::wstring(second->ImageName.Buffer), L"System");
}

TEST_F(FixtureMachine, OpeningProcessesByIdAndAccess) {
    Start();
    host::ProcessIdentity opened;
    EXPECT_EQ(system_->OpenProcessById(0, PROCESS_QUERY_LIMITED_INFORMATION, &opened),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(system_->OpenProcessById(4, PROCESS_QUERY_LIMITED_INFORMATION, &opened), ERROR_SUCCESS);
    EXPECT_EQ(opened.pid, 4u);
    EXPECT_EQ(system_->OpenProcessById(4, PROCESS_ALL_ACCESS, &opened), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(system_->OpenProcessById(118, PROCESS_QUERY_LIMITED_INFORMATION, &opened),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));  // a kernel thread: part of System
    EXPECT_EQ(system_->OpenProcessById(777, PROCESS_QUERY_LIMITED_INFORMATION, &opened),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Full access needs ptrace read access, which an openable maps shows.
    EXPECT_EQ(system_->OpenProcessById(4242, PROCESS_ALL_ACCESS, &opened), ERROR_SUCCESS);
    EXPECT_EQ(system_->OpenProcessById(lp::kRenumberedIdBase + 4, PROCESS_ALL_ACCESS, &opened),
              static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(system_->OpenProcessById(lp::kRenumberedIdBase + 4, PROCESS_QUERY_LIMITED_INFORMATION, &opened),
              ERROR_SUCCESS);
    EXPECT_EQ(opened.pid, lp::kRenumberedIdBase + 4);
}

TEST_F(FixtureMachine, VmCountersOfAnOpenedProcessAndOfAStaleOne) {
    Start();
    host::ProcessIdentity opened;
    ASSERT_EQ(system_->OpenProcessById(lp::kRenumberedIdBase + 4, PROCESS_QUERY_LIMITED_INFORMATION, &opened),
              ERROR_SUCCESS);
    nt::VM_COUNTERS vm{};
    host::NativeResult result = system_->QueryProcessInformation(opened, nt::ProcessVmCounters, &vm, sizeof vm);
    ASSERT_EQ(result.status, STATUS_SUCCESS);
    EXPECT_EQ(vm.WorkingSetSize, 20480 * KiB);  // VmRSS
    EXPECT_EQ(vm.PeakWorkingSetSize, 40960 * KiB);
    EXPECT_EQ(vm.PageFaultCount, 32u);
    EXPECT_EQ(system_->QueryProcessInformation(opened, nt::ProcessVmCounters, &vm, 40).status, STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(system_->QueryProcessInformation(opened, ProcessBasicInformation, &vm, sizeof vm).status,
              STATUS_INVALID_INFO_CLASS);

    // The same id, started at another moment: another process.
    host::ProcessIdentity stale = opened;
    stale.creationTime += 1;
    EXPECT_EQ(system_->QueryProcessInformation(stale, nt::ProcessVmCounters, &vm, sizeof vm).status,
              STATUS_PROCESS_IS_TERMINATING);
    EXPECT_EQ(system_->EmptyProcessWorkingSet(stale), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_FALSE(machine_->Actions().empty());
    EXPECT_NE(machine_->Actions().back().find("gone"), std::string::npos);
}

// ---- the commands ----------------------------------------------------------------

TEST_F(FixtureMachine, CommandsNeedTheProfilePrivilegeEnabled) {
    Start();
    DisablePrivilege(SE_PROF_SINGLE_PROCESS_NAME);
    EXPECT_EQ(Command(nt::MemoryPurgeStandbyList), STATUS_PRIVILEGE_NOT_HELD);
    EXPECT_EQ(tree_.Read("proc/sys/vm/drop_caches"), "");
    EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME);
    EXPECT_EQ(Command(nt::MemoryPurgeStandbyList), STATUS_SUCCESS);
    EXPECT_EQ(tree_.Read("proc/sys/vm/drop_caches"), "1");
    EXPECT_NE(machine_->Actions().back().find("drop_caches"), std::string::npos);
}

TEST_F(FixtureMachine, OrdinaryUserHoldsNoCommandPrivilege) {
    Start({.root = false});
    std::vector<LUID_AND_ATTRIBUTES> held;
    ASSERT_EQ(system_->HeldPrivileges(&held), ERROR_SUCCESS);
    ASSERT_EQ(held.size(), 1u);  // SeChangeNotifyPrivilege alone
    EXPECT_EQ(host::PrivilegeName(held[0].Luid), L"SeChangeNotifyPrivilege");
    EXPECT_EQ(Command(nt::MemoryPurgeStandbyList), STATUS_PRIVILEGE_NOT_HELD);
    EXPECT_EQ(Command(nt::MemoryFlushModifiedList), STATUS_PRIVILEGE_NOT_HELD);
    EXPECT_EQ(tree_.Read("proc/sys/vm/drop_caches"), "");
}

// Root's token holds the memory commands' privilege enabled: Palisk enables
// it only on its way to the file-cache size functions, which Linux lacks, so
// a disabled one would leave root's memory commands refused.
TEST_F(FixtureMachine, RootHoldsTheThreePrivilegesWithOnlyTheMemoryCommandsOneEnabled) {
    Start();
    std::vector<LUID_AND_ATTRIBUTES> held;
    ASSERT_EQ(system_->HeldPrivileges(&held), ERROR_SUCCESS);
    std::vector<std::wstring> names;
    for (const auto& p : held) {
        names.emplace_back(host::PrivilegeName(p.Luid));
        if (names.back() == L"SeProfileSingleProcessPrivilege") {
            EXPECT_EQ(p.Attributes, DWORD{SE_PRIVILEGE_ENABLED_BY_DEFAULT | SE_PRIVILEGE_ENABLED});
        } else if (names.back() != L"SeChangeNotifyPrivilege") {
            EXPECT_EQ(p.Attributes, 0u);  // held, not yet enabled
        }
    }
    for (const wchar_t* name : {L"SeDebugPrivilege", L"SeIncreaseQuotaPrivilege", L"SeProfileSingleProcessPrivilege"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
    }
}

TEST_F(FixtureMachine, LowPriorityPurgeReclaimsFilePagesPerNode) {
    Start();
    EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME);
    EXPECT_EQ(Command(nt::MemoryPurgeLowPriorityStandbyList), STATUS_SUCCESS);
    // Inactive(file) less Dirty and Writeback, in bytes, from anonymous memory never.
    EXPECT_EQ(tree_.Read("sys/devices/system/node/node0/reclaim"),
              std::to_string((4194304 - 40960 - 4096) * KiB) + " swappiness=0");
}

TEST_F(FixtureMachine, LowPriorityPurgeFallsBackOnTheRootCgroup) {
    Start({.nodeReclaim = false, .cgroupReclaim = true});
    EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME);
    EXPECT_EQ(Command(nt::MemoryPurgeLowPriorityStandbyList), STATUS_SUCCESS);
    EXPECT_EQ(tree_.Read("cgroup/memory.reclaim"), std::to_string((4194304 - 40960 - 4096) * KiB) + " swappiness=0");
}

TEST_F(FixtureMachine, LowPriorityPurgeWithoutAnyReclaimInterfaceIsNotSupported) {
    Start({.nodeReclaim = false});
    EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME);
    EXPECT_EQ(Command(nt::MemoryPurgeLowPriorityStandbyList), STATUS_NOT_SUPPORTED);
}

TEST_F(FixtureMachine, MalformedCommandsFailAsWindowsFailsThem) {
    Start();
    EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME);
    ULONG command = nt::MemoryPurgeStandbyList;
    EXPECT_EQ(system_->SetSystemInformation(nt::SystemMemoryListInformation, &command, 8), STATUS_INFO_LENGTH_MISMATCH);
    EXPECT_EQ(system_->SetSystemInformation(nt::SystemMemoryListInformation, nullptr, 4), STATUS_ACCESS_VIOLATION);
    EXPECT_EQ(system_->SetSystemInformation(SystemBasicInformation, &command, 4), STATUS_INVALID_INFO_CLASS);
    EXPECT_EQ(Command(9), STATUS_INVALID_PARAMETER);
    EXPECT_EQ(Command(nt::MemoryCaptureAccessedBits), STATUS_NOT_SUPPORTED);
    EXPECT_EQ(tree_.Read("proc/sys/vm/drop_caches"), "");
}

TEST_F(FixtureMachine, EmptyingAllWorkingSetsNeverActsOnAProcessNotTheOneListed) {
    // The tree's processes are not this system's: each pid here names some
    // other process, or none, and must be passed over as gone.
    Start();
    EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME);
    EXPECT_EQ(Command(nt::MemoryEmptyWorkingSets), STATUS_SUCCESS);
    EXPECT_NE(machine_->Actions().back().find("0 others emptied, 0 refused"), std::string::npos)
        << machine_->Actions().back();
}
