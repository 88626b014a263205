// ListProcesses and ReadProcess: /proc as the program's process list.

#include "host/linux_processes.h"

#include "host/linux_proc.h"
#include "host/real_time_machine.h"
#include "proc_files.h"

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace host::linux_proc {

DWORD IdForLinuxPid(int pid) {
    const DWORD id = static_cast<DWORD>(pid);
    return id == kIdleProcessId || id == kSystemProcessId ? kRenumberedIdBase + id : id;
}

std::optional<int> LinuxPidForId(DWORD id) {
    if (id == kRenumberedIdBase + kIdleProcessId || id == kRenumberedIdBase + kSystemProcessId) {
        return static_cast<int>(id - kRenumberedIdBase);
    }
    if (id == kIdleProcessId || id == kSystemProcessId || id >= kRenumberedIdBase) return std::nullopt;
    return static_cast<int>(id);
}

ULONGLONG CreationFileTime(std::uint64_t bootTimeSeconds, std::uint64_t startTicks, long clockTicksPerSecond) {
    constexpr ULONGLONG kUnitsPerSecond = 10000000;  // 100-ns units
    const ULONGLONG ticks = clockTicksPerSecond > 0 ? static_cast<ULONGLONG>(clockTicksPerSecond) : 100;
    const ULONGLONG sinceBoot = startTicks / ticks * kUnitsPerSecond + startTicks % ticks * kUnitsPerSecond / ticks;
    return kFileTimeUnixEpoch + bootTimeSeconds * kUnitsPerSecond + sinceBoot;
}

std::wstring ProcessName(const std::optional<std::string>& exeTarget, const std::string& comm) {
    if (exeTarget && !exeTarget->empty()) {
        std::string_view path = *exeTarget;
        constexpr std::string_view deleted = " (deleted)";
        if (path.ends_with(deleted)) path.remove_suffix(deleted.size());
        const std::size_t slash = path.rfind('/');
        const std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
        if (!base.empty()) return WidenUtf8(base);
    }
    return WidenUtf8(comm);
}

namespace {

// What one /proc/[pid] entry turned out to be.
enum class Entry { Gone, KernelThread, User };

Entry ReadEntry(int procFd, int pid, const SnapshotContext& context, std::string& buffer, LinuxProcess& record) {
    char path[32];
    std::snprintf(path, sizeof path, "%d/stat", pid);
    if (!ReadFileAt(procFd, path, buffer)) return Entry::Gone;
    const std::optional<ProcStat> stat = ParseProcStat(buffer);
    if (!stat || stat->pid != pid) return Entry::Gone;
    if (stat->flags & kKernelThreadFlag) return Entry::KernelThread;

    std::snprintf(path, sizeof path, "%d/exe", pid);
    record.id = IdForLinuxPid(pid);
    record.linuxPid = pid;
    record.kind = ProcessKind::User;
    record.parentId = stat->ppid > 0 ? IdForLinuxPid(stat->ppid) : 0;
    record.name = ProcessName(ReadLinkAt(procFd, path), stat->comm);
    record.startTicks = stat->startTicks;
    record.createTime = CreationFileTime(context.bootTimeSeconds, stat->startTicks, context.clockTicksPerSecond);
    record.workingSetBytes = stat->rssPages * context.pageSize;
    record.virtualBytes = stat->virtualBytes;
    record.pageFaults = stat->minorFaults + stat->majorFaults;
    record.threads = stat->threads;
    return Entry::User;
}

// A directory entry of /proc that names a process: all digits.
std::optional<int> PidOfEntry(const char* name) {
    long pid = 0;
    if (*name == '\0') return std::nullopt;
    for (const char* c = name; *c; ++c) {
        if (*c < '0' || *c > '9') return std::nullopt;
        pid = pid * 10 + (*c - '0');
        if (pid > static_cast<long>(kRenumberedIdBase)) return std::nullopt;
    }
    return static_cast<int>(pid);
}

LinuxProcess PseudoProcess(DWORD id, ProcessKind kind, const wchar_t* name, ULONGLONG createTime,
                           std::uint64_t workingSet) {
    LinuxProcess record;
    record.id = id;
    record.kind = kind;
    record.name = name;
    record.createTime = createTime;
    record.workingSetBytes = workingSet;
    return record;
}

}  // namespace

std::vector<LinuxProcess> ListPseudoProcesses(const SnapshotContext& context) {
    const ULONGLONG boot = CreationFileTime(context.bootTimeSeconds, 0, context.clockTicksPerSecond);
    std::vector<LinuxProcess> list;
    list.push_back(PseudoProcess(kIdleProcessId, ProcessKind::Idle, L"", 0, 0));
    list.push_back(PseudoProcess(kSystemProcessId, ProcessKind::Kernel, L"System", boot, context.kernelBytes));
    if (context.compressionHoldsPages) {
        list.push_back(PseudoProcess(kMemoryCompressionId, ProcessKind::MemoryCompression, L"Memory Compression", boot,
                                     context.compressionBytes));
    }
    return list;
}

std::vector<LinuxProcess> ListProcesses(const SnapshotContext& context) {
    std::vector<LinuxProcess> list = ListPseudoProcesses(context);
    DIR* proc = opendir(context.procRoot.c_str());
    if (!proc) return list;
    const int procFd = dirfd(proc);
    std::string buffer;
    LinuxProcess record;
    std::uint64_t kernelThreads = 0;
    while (const dirent* entry = readdir(proc)) {
        const std::optional<int> pid = PidOfEntry(entry->d_name);
        if (!pid) continue;
        switch (ReadEntry(procFd, *pid, context, buffer, record)) {
            case Entry::User:
                list.push_back(std::move(record));
                break;
            case Entry::KernelThread:
                ++kernelThreads;
                break;
            case Entry::Gone:
                break;
        }
    }
    closedir(proc);
    list[1].threads = kernelThreads;  // System
    return list;
}

std::optional<LinuxProcess> ReadProcess(const SnapshotContext& context, int linuxPid) {
    const int procFd = open(context.procRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd < 0) return std::nullopt;
    std::string buffer;
    LinuxProcess record;
    const Entry entry = ReadEntry(procFd, linuxPid, context, buffer, record);
    close(procFd);
    if (entry != Entry::User) return std::nullopt;
    return record;
}

}  // namespace host::linux_proc
