#pragma once
// The process list of this Linux computer, in the shape the program knows
// from Windows: "Idle" (id 0, empty name) and "System" (id 4, the kernel
// with all its threads folded in) first, then "Memory Compression" while
// zswap or zram holds pages, then every user process.
//
// Ids: a user process keeps its Linux pid. Linux never hands out a pid of
// 2^22 or more (PID_MAX_LIMIT), so the ids from kRenumberedIdBase up are
// free for the program's own: a user process whose pid is 0 or 4 (possible
// inside a pid namespace) is listed as kRenumberedIdBase + its pid, and the
// memory compression process as kMemoryCompressionId.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace host::linux_proc {

constexpr DWORD kIdleProcessId = 0;
constexpr DWORD kSystemProcessId = 4;
constexpr DWORD kRenumberedIdBase = 0x400000;  // PID_MAX_LIMIT on 64-bit Linux
constexpr DWORD kMemoryCompressionId = kRenumberedIdBase + 8;

enum class ProcessKind { Idle, Kernel, MemoryCompression, User };

struct LinuxProcess {
    DWORD id = 0;      // what Windows callers see
    int linuxPid = 0;  // 0 for Idle, System and Memory Compression
    ProcessKind kind = ProcessKind::User;
    DWORD parentId = 0;
    std::wstring name;             // empty for Idle
    ULONGLONG createTime = 0;      // UTC FILETIME; 0 for Idle, as on Windows
    std::uint64_t startTicks = 0;  // with the pid, names exactly one process
    std::uint64_t workingSetBytes = 0;
    std::uint64_t virtualBytes = 0;
    std::uint64_t pageFaults = 0;
    std::uint64_t threads = 0;
};

// The id Windows callers see for a Linux pid, and back. IdForLinuxPid is
// meant for user processes (kernel threads are folded into System).
DWORD IdForLinuxPid(int pid);
// The Linux pid of a user process id; nothing for the pseudo-processes and
// for ids Linux cannot have.
std::optional<int> LinuxPidForId(DWORD id);

// What the list needs besides /proc: figures the caller has read already.
struct SnapshotContext {
    std::uint64_t bootTimeSeconds = 0;  // btime
    long clockTicksPerSecond = 100;     // sysconf(_SC_CLK_TCK)
    std::uint64_t pageSize = 4096;
    std::uint64_t kernelBytes = 0;  // the working set of "System"
    bool compressionHoldsPages = false;
    std::uint64_t compressionBytes = 0;
    std::string procRoot = "/proc";
};

// Start ticks as a FILETIME: btime plus the ticks, in 100-ns units.
ULONGLONG CreationFileTime(std::uint64_t bootTimeSeconds, std::uint64_t startTicks, long clockTicksPerSecond);

// The process name: the base name of the executable's path (without the
// " (deleted)" the kernel adds once the file is gone), else the command
// name, widened as WidenUtf8 does.
std::wstring ProcessName(const std::optional<std::string>& exeTarget, const std::string& comm);

// Lists the processes. A process that exits while it is read is left out.
// System's thread count is the number of kernel threads folded into it.
std::vector<LinuxProcess> ListProcesses(const SnapshotContext& context);

// Idle, System and (while it holds pages) Memory Compression alone.
std::vector<LinuxProcess> ListPseudoProcesses(const SnapshotContext& context);

// Reads one user process by its Linux pid: nothing when it has gone.
std::optional<LinuxProcess> ReadProcess(const SnapshotContext& context, int linuxPid);

// UTF-8 to wide text. A byte that is no part of a character becomes the
// unpaired surrogate U+DC80 + (byte - 0x80), so nothing is lost.
std::wstring WidenUtf8(std::string_view text);

}  // namespace host::linux_proc
