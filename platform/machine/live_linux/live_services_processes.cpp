// LiveSystemServices: the process list, opening processes, their memory
// counters and emptying their working sets.

#include <ntstatus.h>
#include "live_system_services.h"

#include "host/linux_memory_figures.h"
#include "proc_files.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace host::linux_proc {

namespace {

// What anyone may ask of any process: Linux lets every user read another
// process's /proc/[pid]/stat and status. Everything more (reading its
// memory, changing its working set) needs ptrace read access.
constexpr DWORD kLimitedAccess = PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE;

bool MayInspect(const std::string& procRoot, int pid) {
    // Opening maps is granted exactly when ptrace read access is.
    char path[32];
    std::snprintf(path, sizeof path, "/%d/maps", pid);
    const int fd = open((procRoot + path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
}

ProcessRecord ToRecord(const LinuxProcess& process) {
    ProcessRecord record;
    record.pid = process.id;
    record.parentPid = process.parentId;
    record.imageName = process.name;
    record.creationTime = process.createTime;
    record.threadCount = SaturatedLevel(process.threads);
    record.vm.VirtualSize = process.virtualBytes;
    record.vm.PeakVirtualSize = process.virtualBytes;
    record.vm.PageFaultCount = WrappedTotal(process.pageFaults);
    record.vm.WorkingSetSize = process.workingSetBytes;
    record.vm.PeakWorkingSetSize = process.workingSetBytes;
    return record;
}

nt::VM_COUNTERS ResidentOnly(std::uint64_t bytes) {
    nt::VM_COUNTERS vm{};
    vm.WorkingSetSize = bytes;
    vm.PeakWorkingSetSize = bytes;
    return vm;
}

}  // namespace

DWORD LiveSystemServices::CurrentProcessId() { return IdForLinuxPid(getpid()); }

DWORD LiveSystemServices::CurrentThreadId() { return static_cast<DWORD>(gettid()); }

ULONGLONG LiveSystemServices::CreationTime(std::uint64_t startTicks) const {
    return CreationFileTime(bootTimeSeconds_, startTicks, clockTicks_);
}

SnapshotContext LiveSystemServices::UserContext() const {
    SnapshotContext context;
    context.bootTimeSeconds = bootTimeSeconds_;
    context.clockTicksPerSecond = clockTicks_;
    context.pageSize = pageSize_;
    context.procRoot = roots_.proc;
    return context;
}

SnapshotContext LiveSystemServices::Snapshot() {
    sampler_.FindZramDevices();
    SnapshotContext context = UserContext();
    if (const auto f = sampler_.Figures(KernelSampler::kCompression)) {
        context.kernelBytes = f->kernelWorkingSetBytes;
        context.compressionHoldsPages = f->compressionHoldsPages;
        context.compressionBytes = f->compressionBytes;
    }
    return context;
}

std::vector<ProcessRecord> LiveSystemServices::Processes() {
    std::vector<ProcessRecord> records;
    for (const LinuxProcess& process : ListProcesses(Snapshot())) records.push_back(ToRecord(process));
    return records;
}

std::optional<LinuxProcess> LiveSystemServices::FindProcess(DWORD id, Detail detail) {
    if (id == kIdleProcessId) return std::nullopt;  // Windows opens no idle process either
    if (id == kSystemProcessId && detail == Detail::IdentityOnly) {
        // The kernel is always there: who it is needs none of its figures.
        return ListPseudoProcesses(UserContext())[1];
    }
    if (id == kSystemProcessId || id == kMemoryCompressionId) {
        for (LinuxProcess& process : ListPseudoProcesses(Snapshot())) {
            if (process.id == id) return process;
        }
        return std::nullopt;
    }
    const std::optional<int> pid = LinuxPidForId(id);
    if (!pid) return std::nullopt;
    return ReadProcess(UserContext(), *pid);
}

bool LiveSystemServices::IsCurrentProcess(const LinuxProcess& process) const {
    return process.kind == ProcessKind::User && process.linuxPid == getpid();
}

DWORD LiveSystemServices::OpenProcessById(DWORD pid, DWORD access, ProcessIdentity* opened) {
    const std::optional<LinuxProcess> process = FindProcess(pid, Detail::IdentityOnly);
    if (!process) return ERROR_INVALID_PARAMETER;
    if ((access & ~kLimitedAccess) != 0 && !IsCurrentProcess(*process)) {
        // The kernel and the compression store are no processes one can
        // act on; a user process needs ptrace read access.
        if (process->kind != ProcessKind::User || !MayInspect(roots_.proc, process->linuxPid)) {
            return ERROR_ACCESS_DENIED;
        }
    }
    if (opened) *opened = {process->id, process->createTime};
    return ERROR_SUCCESS;
}

NativeResult LiveSystemServices::QueryProcessInformation(const ProcessIdentity& process, ULONG infoClass, void* buffer,
                                                         ULONG length) {
    // Only the memory counters are asked of this machine.
    if (infoClass != nt::ProcessVmCounters) return {STATUS_INVALID_INFO_CLASS, 0};
    if (!buffer || length < sizeof(nt::VM_COUNTERS)) return {STATUS_INFO_LENGTH_MISMATCH, sizeof(nt::VM_COUNTERS)};
    return VmCounters(process, buffer, length);
}

NativeResult LiveSystemServices::VmCounters(const ProcessIdentity& identity, void* buffer, ULONG length) {
    const std::optional<LinuxProcess> process = FindProcess(identity.pid);
    // Gone, or the id now names a newer process: never its figures.
    if (!process || process->createTime != identity.creationTime) return {STATUS_PROCESS_IS_TERMINATING, 0};
    nt::VM_COUNTERS vm = ResidentOnly(process->workingSetBytes);
    if (process->kind == ProcessKind::User) {
        char path[32];
        std::snprintf(path, sizeof path, "/%d/status", process->linuxPid);
        std::string text;
        if (!ReadFile(roots_.proc + path, text)) return {STATUS_PROCESS_IS_TERMINATING, 0};
        const ProcStatus status = ParseStatus(text);
        vm.PeakVirtualSize = status.vmPeak.value_or(process->virtualBytes);
        vm.VirtualSize = status.vmSize.value_or(process->virtualBytes);
        vm.PageFaultCount = WrappedTotal(process->pageFaults);
        vm.WorkingSetSize = status.vmRss.value_or(process->workingSetBytes);
        vm.PeakWorkingSetSize = std::max<SIZE_T>(status.vmHwm.value_or(0), vm.WorkingSetSize);
        // Private memory, resident or swapped: the nearest to Windows's
        // commit charge of a process.
        vm.PagefileUsage = status.rssAnon.value_or(0) + status.vmSwap.value_or(0);
        vm.PeakPagefileUsage = vm.PagefileUsage;
    }
    return WriteRecord(&vm, sizeof vm, buffer, length);
}

DWORD LiveSystemServices::EmptyProcessWorkingSet(const ProcessIdentity& identity) {
    const std::optional<LinuxProcess> process = FindProcess(identity.pid, Detail::IdentityOnly);
    std::string action;
    DWORD error = ERROR_SUCCESS;
    if (!process || process->createTime != identity.creationTime) {
        error = ERROR_ACCESS_DENIED;  // the process has gone: Windows calls it terminating
        action = "id " + std::to_string(identity.pid) + ": gone";
    } else if (process->kind != ProcessKind::User) {
        error = ERROR_ACCESS_DENIED;
        action = "id " + std::to_string(identity.pid) + ": not a user process";
    } else {
        const WorkingSetResult result = EmptyWorkingSetOf(process->linuxPid, process->startTicks);
        error = result.error;
        action = result.action;
    }
    machine_.LogAction("linux: empty working set, " + action);
    return error;
}

}  // namespace host::linux_proc
