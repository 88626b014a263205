#pragma once
// SystemServices answered by this Linux computer. Split by subject over
// several files: live_services_queries.cpp (the native queries),
// live_services_processes.cpp, live_services_system.cpp (memory status,
// processors, version, token, registry, services, modules) and
// live_services_counters.cpp.

#include "host/linux_processes.h"
#include "host/live_linux_machine.h"
#include "host/system_services.h"
#include "kernel_sampler.h"
#include "linux_token.h"
#include "memory_commands.h"
#include "processor_topology.h"

#include <nt/system_information.h>

#include <array>
#include <optional>

namespace host::linux_proc {

// The highest address a process may map, as the kernel's TASK_SIZE puts it
// (four-level page tables), less one page.
#if defined(__aarch64__)
constexpr ULONG_PTR kHighestUserAddress = 0x0000FFFFFFFFEFFFull;
#else
constexpr ULONG_PTR kHighestUserAddress = 0x00007FFFFFFFEFFFull;
#endif

class LiveSystemServices final : public SystemServices {
public:
    LiveSystemServices(Machine& machine, LinuxRoots roots);

    bool ModuleLoads(std::wstring_view module) override;
    bool HasExport(std::wstring_view module, std::string_view name) override;

    NativeResult QuerySystemInformation(ULONG infoClass, void* buffer, ULONG length) override;
    NTSTATUS SetSystemInformation(ULONG infoClass, const void* data, ULONG length) override;

    DWORD CurrentProcessId() override;
    DWORD CurrentThreadId() override;
    std::vector<ProcessRecord> Processes() override;
    DWORD OpenProcessById(DWORD pid, DWORD access, ProcessIdentity* opened) override;
    NativeResult QueryProcessInformation(const ProcessIdentity& process, ULONG infoClass, void* buffer,
                                         ULONG length) override;
    DWORD EmptyProcessWorkingSet(const ProcessIdentity& process) override;

    DWORD MemoryStatus(MEMORYSTATUSEX* status) override;
    void SystemInfo(SYSTEM_INFO* info) override;
    DWORD LogicalProcessorInformation(std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>* records) override;
    DWORD OsVersion(OSVERSIONINFOEXW* version) override;
    ULONGLONG BootTime() override;

    DWORD FileCacheLimits(SIZE_T* minimum, SIZE_T* maximum, DWORD* flags) override;
    DWORD SetFileCacheLimits(SIZE_T minimum, SIZE_T maximum, DWORD flags) override;

    DWORD OpenToken(DWORD pid, DWORD access) override;
    DWORD LookupPrivilege(std::wstring_view name, LUID* luid) override;
    DWORD HeldPrivileges(std::vector<LUID_AND_ATTRIBUTES>* held) override;
    DWORD ChangePrivileges(std::span<const LUID_AND_ATTRIBUTES> changes) override;

    DWORD OpenRegistryKey(HKEY hive, std::wstring_view path) override;
    DWORD QueryRegistryValue(HKEY hive, std::wstring_view path, std::wstring_view name, DWORD* type,
                             std::vector<BYTE>* data) override;

    DWORD ConnectServiceManager(DWORD access) override;
    DWORD OpenServiceByName(std::wstring_view name, DWORD access) override;
    DWORD ServiceStatus(std::wstring_view name, SERVICE_STATUS* status) override;

    PDH_STATUS OpenCounterQuery() override;
    PDH_STATUS AddCounter(std::wstring_view path) override;
    PDH_STATUS CollectCounters() override;
    PDH_STATUS ReadCounter(std::wstring_view path, LONGLONG* value) override;

    bool RefuseAllocation(SIZE_T bytes) override;

private:
    // The native records.
    NativeResult BasicInformation(void* buffer, ULONG length);
    NativeResult PerformanceInformation(void* buffer, ULONG length);
    NativeResult TimeOfDayInformation(void* buffer, ULONG length);
    NativeResult ProcessList(void* buffer, ULONG length);
    NativeResult PageFileInformation(void* buffer, ULONG length);
    NativeResult FileCacheInformation(void* buffer, ULONG length);
    NativeResult MemoryListInformation(void* buffer, ULONG length);
    NTSTATUS RunMemoryListCommand(ULONG command);

    // The processes.
    // What reading a user process needs; a snapshot adds the figures of the
    // kernel and the compression store.
    SnapshotContext UserContext() const;
    SnapshotContext Snapshot();
    // How much of a process FindProcess reads: its figures too, or only who
    // it is (enough to open it or act on it).
    enum class Detail { Figures, IdentityOnly };
    std::optional<LinuxProcess> FindProcess(DWORD id, Detail detail = Detail::Figures);
    bool IsCurrentProcess(const LinuxProcess& process) const;
    NativeResult VmCounters(const ProcessIdentity& process, void* buffer, ULONG length);
    ULONGLONG CreationTime(std::uint64_t startTicks) const;

    Machine& machine_;
    LinuxRoots roots_;
    std::uint64_t pageSize_;
    long clockTicks_;
    std::uint64_t bootTimeSeconds_ = 0;  // read once: btime moves when the wall clock is stepped
    ProcessorTopology topology_;
    std::optional<PageFrameRange> pageFrames_;
    ULONG_PTR minimumUserAddress_ = 0x10000;  // vm.mmap_min_addr
    KernelSampler sampler_;
    LinuxToken token_;
    MemoryCommands commands_;
    KeptFile ownStatm_;  // this process's sizes, for the virtual-memory figures

    // The counter query: the figures of the last collection.
    std::optional<MemoryFigures> collected_;
};

// The counters this machine knows, all under \Memory, in bytes.
std::optional<LONGLONG> CounterValue(std::wstring_view path, const MemoryFigures& figures);

}  // namespace host::linux_proc
