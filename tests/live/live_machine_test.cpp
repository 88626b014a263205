// The live machine on this very computer. Each test holds whether it runs
// as root or as an ordinary user; where the answer differs, the test says
// which one it expects from the capabilities the process has.

#include <ntstatus.h>
#include "host/live_linux_machine.h"

#include "host/linux_memory_figures.h"
#include "host/linux_processes.h"
#include "host/system_services.h"
#include "platform/machine/live_linux/kernel_sampler.h"
#include "platform/machine/live_linux/proc_files.h"

#include <gtest/gtest.h>
#include <nt/system_information.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lp = host::linux_proc;

namespace {

const std::uint64_t kPage = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
constexpr int kCapSysPtrace = 19;  // <linux/capability.h>
constexpr int kCapSysNice = 23;

// The effective capabilities of this process.
std::uint64_t EffectiveCapabilities() {
    std::ifstream status("/proc/self/status");
    std::stringstream text;
    text << status.rdbuf();
    return lp::ParseStatus(text.str()).capEff.value_or(0);
}

bool HasCapability(int capability) { return (EffectiveCapabilities() >> capability & 1) != 0; }

// A child that dirties `bytes` of private memory and waits for its pipe to
// close. The memory is mapped before the fork: the child only writes and
// waits, which is safe in a forked copy of a threaded process.
class Child {
public:
    explicit Child(std::size_t bytes) : bytes_(bytes) {
        memory_ = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        int ready[2];
        if (memory_ == MAP_FAILED || pipe(hold_) != 0 || pipe(ready) != 0) std::abort();
        pid_ = fork();
        if (pid_ == 0) {
            close(hold_[1]);
            close(ready[0]);
            std::memset(memory_, 0x5A, bytes_);
            const char byte = 1;
            if (write(ready[1], &byte, 1) != 1) _exit(2);
            char sink;
            while (read(hold_[0], &sink, 1) > 0) {
            }
            _exit(0);
        }
        close(hold_[0]);
        close(ready[1]);
        char byte = 0;
        if (read(ready[0], &byte, 1) != 1) std::abort();  // the child has touched its memory
        close(ready[0]);
    }
    ~Child() {
        End();
        munmap(memory_, bytes_);
    }
    void End() {
        if (pid_ <= 0) return;
        close(hold_[1]);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    pid_t Pid() const { return pid_; }

private:
    std::size_t bytes_;
    void* memory_ = nullptr;
    int hold_[2] = {-1, -1};
    pid_t pid_ = -1;
};

class LiveMachine : public ::testing::Test {
protected:
    host::LiveLinuxMachine machine_;
    host::SystemServices* system_ = machine_.System();

    const host::ProcessRecord* Find(const std::vector<host::ProcessRecord>& list, DWORD pid) {
        const auto it =
            std::find_if(list.begin(), list.end(), [&](const host::ProcessRecord& p) { return p.pid == pid; });
        return it == list.end() ? nullptr : &*it;
    }
};

}  // namespace

// ---- figures -----------------------------------------------------------------------

TEST(LiveFigures, PartitionAddsUp) {
    lp::KernelSampler sampler(host::LinuxRoots{}, kPage);
    const auto f = sampler.Figures(lp::KernelSampler::kRunningTotals | lp::KernelSampler::kCompression);
    ASSERT_TRUE(f.has_value());
    std::uint64_t standby = 0;
    for (std::uint64_t pages : f->standbyPages) standby += pages;
    EXPECT_EQ(f->availablePages, f->zeroedPages + f->freePages + standby);
    EXPECT_LE(f->availablePages, f->physicalPages);
    EXPECT_LE(f->availablePages + f->modifiedPages + f->badPages + f->residentCachePages, f->physicalPages);
    EXPECT_GT(f->physicalPages, 0u);
    EXPECT_GT(f->freePages, 0u);
    EXPECT_GT(f->kernelWorkingSetBytes, 0u);
    EXPECT_GE(f->fileCacheBytes, f->residentCachePages * kPage);
}

TEST(LiveFiles, AFileLongerThanOneKernelPageIsReadToTheEnd) {
    // The kernel hands out /proc/self/maps a page of records per read; the
    // stack and the vDSO are mapped at the top, so their lines come last.
    std::string maps;
    ASSERT_TRUE(lp::ReadFile("/proc/self/maps", maps));
    ASSERT_GT(maps.size(), 2 * kPage) << "too few mappings here to span several reads";
    EXPECT_NE(maps.find("[stack]"), std::string::npos);
    EXPECT_NE(maps.find("[vdso]"), std::string::npos);
    EXPECT_EQ(maps.back(), '\n');
}

TEST_F(LiveMachine, RecordsAgreeWithEachOther) {
    nt::SYSTEM_BASIC_INFORMATION basic{};
    ASSERT_EQ(system_->QuerySystemInformation(SystemBasicInformation, &basic, sizeof basic).status, STATUS_SUCCESS);
    EXPECT_EQ(basic.PageSize, kPage);
    nt::SYSTEM_MEMORY_LIST_INFORMATION list{};
    ASSERT_EQ(system_->QuerySystemInformation(nt::SystemMemoryListInformation, &list, sizeof list).status, STATUS_SUCCESS);
    std::uint64_t lists = list.ZeroPageCount + list.FreePageCount + list.ModifiedPageCount + list.BadPageCount;
    for (ULONG_PTR pages : list.PageCountByPriority) lists += pages;
    EXPECT_LE(lists, basic.NumberOfPhysicalPages);
    MEMORYSTATUSEX status{};
    ASSERT_EQ(system_->MemoryStatus(&status), ERROR_SUCCESS);
    EXPECT_EQ(status.ullTotalPhys, std::uint64_t{basic.NumberOfPhysicalPages} * kPage);
    EXPECT_LE(status.ullAvailPhys, status.ullTotalPhys);
    EXPECT_LE(status.dwMemoryLoad, 100u);
    nt::SYSTEM_FILECACHE_INFORMATION cache{};
    ASSERT_EQ(system_->QuerySystemInformation(nt::SystemFileCacheInformation, &cache, nt::kSystemFileCacheInformationLength)
                  .status,
              STATUS_SUCCESS);
    EXPECT_GE(cache.PeakSize, cache.CurrentSize);
    SYSTEM_INFO info{};
    system_->SystemInfo(&info);
    EXPECT_EQ(info.dwNumberOfProcessors, std::min<long>(sysconf(_SC_NPROCESSORS_ONLN), 64));
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records;
    ASSERT_EQ(system_->LogicalProcessorInformation(&records), ERROR_SUCCESS);
    const auto cores = std::count_if(records.begin(), records.end(),
                                     [](const auto& r) { return r.Relationship == RelationProcessorCore; });
    EXPECT_GE(cores, 1);
    EXPECT_LE(static_cast<DWORD>(cores), info.dwNumberOfProcessors);
}

TEST_F(LiveMachine, BootTimeIsInThePast) {
    const ULONGLONG boot = system_->BootTime();
    const ULONGLONG now = machine_.UtcFileTime();
    EXPECT_LT(boot, now);
    EXPECT_GT(boot, host::kFileTimeUnixEpoch + 946684800ull * 10000000);  // after 2000-01-01
    nt::SYSTEM_TIMEOFDAY_INFORMATION time{};
    ASSERT_EQ(system_->QuerySystemInformation(SystemTimeOfDayInformation, &time, sizeof time).status, STATUS_SUCCESS);
    EXPECT_EQ(static_cast<ULONGLONG>(time.BootTime.QuadPart), boot);
}

// ---- processes ------------------------------------------------------------------------

TEST_F(LiveMachine, ThisProcessIsListedWithItsNameAndWorkingSet) {
    const std::vector<host::ProcessRecord> list = system_->Processes();
    ASSERT_GE(list.size(), 3u);
    EXPECT_EQ(list[0].pid, 0u);
    EXPECT_TRUE(list[0].imageName.empty());
    EXPECT_EQ(list[1].pid, 4u);
    EXPECT_EQ(list[1].imageName, L"System");
    EXPECT_GT(list[1].vm.WorkingSetSize, 0u);
    const host::ProcessRecord* self = Find(list, system_->CurrentProcessId());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->imageName, L"live_tests");
    EXPECT_GT(self->vm.WorkingSetSize, 0u);
    EXPECT_GT(self->creationTime, system_->BootTime());
    EXPECT_LE(self->creationTime, machine_.UtcFileTime());
    // Kernel threads are folded into System, never listed on their own.
    EXPECT_EQ(Find(list, 2), nullptr);  // kthreadd, where it is pid 2
    EXPECT_GT(list[1].threadCount, 0u);
    std::vector<DWORD> ids;
    for (const auto& p : list) ids.push_back(p.pid);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "an id listed twice";
}

TEST_F(LiveMachine, ChildIsFoundAndItsWorkingSetRead) {
    constexpr std::size_t kDirtied = 16u << 20;
    Child child(kDirtied);
    const DWORD id = lp::IdForLinuxPid(child.Pid());
    const std::vector<host::ProcessRecord> list = system_->Processes();
    const host::ProcessRecord* listed = Find(list, id);
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->parentPid, system_->CurrentProcessId());
    EXPECT_GE(listed->vm.WorkingSetSize, kDirtied);

    host::ProcessIdentity opened;
    ASSERT_EQ(system_->OpenProcessById(id, PROCESS_QUERY_LIMITED_INFORMATION, &opened), ERROR_SUCCESS);
    EXPECT_EQ(opened.creationTime, listed->creationTime);
    nt::VM_COUNTERS vm{};
    ASSERT_EQ(system_->QueryProcessInformation(opened, nt::ProcessVmCounters, &vm, sizeof vm).status, STATUS_SUCCESS);
    EXPECT_GE(vm.WorkingSetSize, kDirtied);
    EXPECT_GE(vm.PeakWorkingSetSize, vm.WorkingSetSize);
    EXPECT_GE(vm.PagefileUsage, kDirtied);  // private memory

    child.End();
    // Gone: its figures are never read again, its id no longer opens.
    EXPECT_EQ(system_->QueryProcessInformation(opened, nt::ProcessVmCounters, &vm, sizeof vm).status,
              STATUS_PROCESS_IS_TERMINATING);
    EXPECT_EQ(system_->OpenProcessById(id, PROCESS_QUERY_LIMITED_INFORMATION, &opened),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(system_->EmptyProcessWorkingSet(opened), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(LiveMachine, EmptyingAWorkingSetNeedsCapSysNiceForAnotherProcess) {
    Child child(1u << 20);
    host::ProcessIdentity opened;
    ASSERT_EQ(system_->OpenProcessById(lp::IdForLinuxPid(child.Pid()), PROCESS_ALL_ACCESS, &opened), ERROR_SUCCESS);
    const DWORD expected = HasCapability(kCapSysNice) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    EXPECT_EQ(system_->EmptyProcessWorkingSet(opened), expected);
    ASSERT_FALSE(machine_.Actions().empty());
    EXPECT_NE(machine_.Actions().back().find("pid " + std::to_string(child.Pid())), std::string::npos);
}

TEST_F(LiveMachine, EmptyingOurOwnWorkingSetNeedsNoCapability) {
    host::ProcessIdentity self;
    ASSERT_EQ(system_->OpenProcessById(system_->CurrentProcessId(), PROCESS_ALL_ACCESS, &self), ERROR_SUCCESS);
    EXPECT_EQ(system_->EmptyProcessWorkingSet(self), ERROR_SUCCESS);
    EXPECT_NE(machine_.Actions().back().find("MADV_PAGEOUT): ok"), std::string::npos);
}

TEST_F(LiveMachine, AStaleIdentityNeverActs) {
    host::ProcessIdentity self;
    ASSERT_EQ(system_->OpenProcessById(system_->CurrentProcessId(), PROCESS_ALL_ACCESS, &self), ERROR_SUCCESS);
    host::ProcessIdentity stale = self;
    stale.creationTime -= 10000000;  // the same id, a second earlier: another process
    EXPECT_EQ(system_->EmptyProcessWorkingSet(stale), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_NE(machine_.Actions().back().find("gone"), std::string::npos);
}

// ---- token and commands -------------------------------------------------------------------

TEST_F(LiveMachine, PrivilegesFollowCapabilitiesAndUid) {
    std::vector<LUID_AND_ATTRIBUTES> held;
    ASSERT_EQ(system_->HeldPrivileges(&held), ERROR_SUCCESS);
    auto holds = [&](const wchar_t* name) {
        return std::any_of(held.begin(), held.end(),
                           [&](const LUID_AND_ATTRIBUTES& p) { return host::PrivilegeName(p.Luid) == name; });
    };
    EXPECT_EQ(holds(L"SeDebugPrivilege"), HasCapability(kCapSysPtrace));
    EXPECT_EQ(holds(L"SeIncreaseQuotaPrivilege"), geteuid() == 0);
    EXPECT_EQ(holds(L"SeProfileSingleProcessPrivilege"), geteuid() == 0);
}

TEST_F(LiveMachine, WriteOutModifiedPagesRunsWithThePrivilegeAndOnlyThen) {
    ULONG command = nt::MemoryFlushModifiedList;
    LUID luid{};
    ASSERT_EQ(system_->LookupPrivilege(SE_PROF_SINGLE_PROCESS_NAME, &luid), ERROR_SUCCESS);
    const LUID_AND_ATTRIBUTES disable{luid, 0};
    ASSERT_EQ(system_->ChangePrivileges({&disable, 1}), ERROR_SUCCESS);
    EXPECT_EQ(system_->SetSystemInformation(nt::SystemMemoryListInformation, &command, sizeof command),
              STATUS_PRIVILEGE_NOT_HELD);
    const LUID_AND_ATTRIBUTES enable{luid, SE_PRIVILEGE_ENABLED};
    ASSERT_EQ(system_->ChangePrivileges({&enable, 1}), ERROR_SUCCESS);
    const NTSTATUS expected = geteuid() == 0 ? STATUS_SUCCESS : STATUS_PRIVILEGE_NOT_HELD;
    EXPECT_EQ(system_->SetSystemInformation(nt::SystemMemoryListInformation, &command, sizeof command), expected);
}

TEST_F(LiveMachine, PurgingStandbyAsAnOrdinaryUserIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "as root this would drop this computer's page cache";
    ULONG command = nt::MemoryPurgeStandbyList;
    EXPECT_EQ(system_->SetSystemInformation(nt::SystemMemoryListInformation, &command, sizeof command),
              STATUS_PRIVILEGE_NOT_HELD);
    command = nt::MemoryEmptyWorkingSets;
    EXPECT_EQ(system_->SetSystemInformation(nt::SystemMemoryListInformation, &command, sizeof command),
              STATUS_PRIVILEGE_NOT_HELD);
}
