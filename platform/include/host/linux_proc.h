#pragma once
// Parsers of the text the Linux kernel publishes under /proc and /sys.
// Each takes the whole text of one file and returns plain figures; none of
// them touches a file, so they are tested on saved copies of old and new
// kernels' output. A field the kernel did not print is absent (an empty
// optional), never zero: the caller decides what an absent figure means.
//
// Host-only: the system's own code never includes this header.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host::linux_proc {

using Figure = std::optional<std::uint64_t>;

// /proc/meminfo. Every figure in bytes (the kernel prints kB = KiB).
struct Meminfo {
    Figure memTotal;
    Figure memFree;
    Figure memAvailable;  // absent before Linux 3.14
    Figure buffers;
    Figure cached;
    Figure activeFile;
    Figure inactiveFile;
    Figure dirty;
    Figure writeback;
    Figure shmem;
    Figure sReclaimable;
    Figure sUnreclaim;
    Figure kReclaimable;  // absent before Linux 4.20
    Figure kernelStack;
    Figure pageTables;
    Figure secPageTables;      // absent before Linux 6.0
    Figure percpu;             // absent before Linux 4.16
    Figure hardwareCorrupted;  // absent without CONFIG_MEMORY_FAILURE
    Figure swapTotal;
    Figure swapFree;
    Figure zswap;     // compressed size held by zswap; absent before Linux 5.19
    Figure zswapped;  // uncompressed size of the pages zswap holds
    Figure commitLimit;
    Figure committedAs;
};
Meminfo ParseMeminfo(std::string_view text);
// /sys/devices/system/node/node<N>/meminfo: the same lines, each after a
// "Node <N> " prefix.
Meminfo ParseNodeMeminfo(std::string_view text);

// /proc/vmstat: running totals since boot, in pages.
struct Vmstat {
    Figure pswpin;       // pages swapped in
    Figure pswpout;      // pages swapped out
    Figure nrWritten;    // pages written back (dirty page cache and swap)
    Figure pgstealFile;  // file pages reclaimed; summed over the per-source
                         // counters on kernels that print no total
    Figure pgfault;      // page faults of every kind
};
Vmstat ParseVmstat(std::string_view text);

// One line of /proc/swaps.
struct SwapDevice {
    std::string path;  // escapes (\040 for a blank) decoded
    std::string type;  // "partition" or "file"
    std::uint64_t sizeKiB = 0;
    std::uint64_t usedKiB = 0;
    int priority = 0;
};
// Malformed lines are left out.
std::vector<SwapDevice> ParseSwaps(std::string_view text);

// /proc/[pid]/stat. The command name may hold any byte, blanks and ')'
// included, so the fields are read after the LAST ')'.
struct ProcStat {
    int pid = 0;
    std::string comm;
    char state = '?';
    int ppid = 0;
    std::uint32_t flags = 0;       // PF_* flags
    std::uint64_t startTicks = 0;  // start time after boot, in clock ticks
    std::uint64_t rssPages = 0;    // resident pages (the counter behind VmRSS)
    std::uint64_t minorFaults = 0;
    std::uint64_t majorFaults = 0;
    std::uint64_t threads = 0;
    std::uint64_t virtualBytes = 0;
};
std::optional<ProcStat> ParseProcStat(std::string_view text);

// The PF_KTHREAD flag of ProcStat::flags: the task is a kernel thread.
constexpr std::uint32_t kKernelThreadFlag = 0x00200000u;

// /proc/[pid]/status.
struct ProcStatus {
    Figure vmRss;    // bytes; absent for kernel threads
    Figure vmHwm;    // peak resident bytes
    Figure vmSwap;   // bytes swapped out
    Figure vmPeak;   // peak virtual size
    Figure vmSize;   // virtual size
    Figure rssAnon;  // resident private (anonymous) bytes; Linux 4.5 and later
    std::optional<int> tgid;
    std::optional<int> ppid;
    std::optional<std::uint32_t> realUid;
    std::optional<std::uint32_t> effectiveUid;
    std::optional<std::uint64_t> capEff;  // effective capability mask
};
ProcStatus ParseStatus(std::string_view text);

// The boot time (btime, seconds since 1970) from /proc/stat.
Figure ParseBootTime(std::string_view text);

// /sys/block/zram<N>/mm_stat, in bytes.
struct ZramStat {
    std::uint64_t origDataSize = 0;   // uncompressed size of the pages held
    std::uint64_t comprDataSize = 0;  // their compressed size
    std::uint64_t memUsedTotal = 0;   // RAM the device uses, overhead included
};
std::optional<ZramStat> ParseZramMmStat(std::string_view text);

// The address ranges of /proc/[pid]/maps that a process can page out:
// every mapping but the kernel's special ones ([vsyscall], [vvar]...),
// which lie outside what madvise may touch.
struct MemoryRange {
    std::uint64_t start = 0;
    std::uint64_t end = 0;  // exclusive
};
std::vector<MemoryRange> ParseMapsRanges(std::string_view maps);

// Where the cgroup v2 hierarchy is mounted, from /proc/self/mountinfo.
std::optional<std::string> FindCgroup2Mount(std::string_view mountinfo);

// The processor's family, model and stepping from /proc/cpuinfo (the first
// processor's block); nothing where the kernel prints none (not x86).
struct CpuIdentity {
    unsigned family = 0;
    unsigned model = 0;
    unsigned stepping = 0;
};
std::optional<CpuIdentity> ParseCpuIdentity(std::string_view cpuinfo);

// The physical page frames the zones span, from /proc/zoneinfo: the lowest
// frame of a zone with present pages and the highest frame of any zone.
struct PageFrameRange {
    std::uint64_t lowest = 0;
    std::uint64_t highest = 0;
};
std::optional<PageFrameRange> ParseZoneSpan(std::string_view zoneinfo);

// A CPU list as /sys prints it ("0-3,8,10-11"), in ascending order as
// written. Nothing for malformed text or an absurd range.
std::optional<std::vector<unsigned>> ParseCpuList(std::string_view text);

}  // namespace host::linux_proc
