#pragma once
// The memory manager's figures as the program reads them, worked out from
// what Linux publishes. Physical memory is partitioned so that the figures
// add up: available = zeroed + free + standby, and nothing is counted in
// two page lists. Pure: the inputs are parsed text, so the arithmetic is
// tested on saved copies of old and new kernels' files.
//
// Host-only: the system's own code never includes this header.

#include "host/linux_proc.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace host::linux_proc {

// What one refresh reads from the kernel.
struct SystemSample {
    std::uint64_t pageSize = 4096;
    Meminfo meminfo;
    Vmstat vmstat;
    std::vector<SwapDevice> swaps;
    std::vector<ZramStat> zram;  // one entry per initialised zram device
};

constexpr int kStandbyPriorities = 8;
// The inactive file list is the one reclaim takes first: standby of low
// priority. The active list is standby of normal priority.
constexpr int kInactiveStandbyPriority = 2;
constexpr int kActiveStandbyPriority = 5;

// Page counts (64-bit: a large machine has more than 2^32 pages) unless the
// name says bytes. Running totals count pages since boot.
struct MemoryFigures {
    std::uint64_t pageSize = 0;
    std::uint64_t physicalPages = 0;

    // The partition of physical memory.
    std::uint64_t zeroedPages = 0;
    std::uint64_t freePages = 0;
    std::array<std::uint64_t, kStandbyPriorities> standbyPages{};
    std::uint64_t standbyTotalPages = 0;
    std::uint64_t availablePages = 0;  // zeroed + free + standby
    std::uint64_t modifiedPages = 0;
    std::uint64_t modifiedNoWritePages = 0;
    std::uint64_t badPages = 0;

    // The page cache and the kernel.
    std::uint64_t fileCacheBytes = 0;      // the whole page cache
    std::uint64_t residentCachePages = 0;  // in the cache, neither standby nor modified
    std::uint64_t nonPagedPoolPages = 0;   // unreclaimable kernel memory
    std::uint64_t kernelWorkingSetBytes = 0;

    // Compressed memory (zswap, zram).
    bool compressionHoldsPages = false;
    std::uint64_t compressionBytes = 0;  // RAM the compressed pages use

    // Running totals.
    std::uint64_t pagesReadFromSwap = 0;
    std::uint64_t pagesWrittenToSwap = 0;
    std::uint64_t pagesWrittenBack = 0;
    std::array<std::uint64_t, kStandbyPriorities> repurposedPages{};

    std::uint64_t pageFaults = 0;

    // Swap and commit. Windows's commit limit is RAM plus the paging files;
    // Committed_AS is the memory promised to processes.
    std::uint64_t swapTotalBytes = 0;
    std::uint64_t swapFreeBytes = 0;
    std::uint64_t committedBytes = 0;
    std::uint64_t commitLimitBytes = 0;
};

// Nothing when the sample lacks the figures no partition can do without
// (MemTotal, MemFree) or the page size is 0.
std::optional<MemoryFigures> ComputeMemoryFigures(const SystemSample& sample);

// One paging file as the paging-file query reports it, in pages.
struct PagingFileFigures {
    std::string path;
    std::uint64_t totalPages = 0;
    std::uint64_t inUsePages = 0;
};
std::vector<PagingFileFigures> ComputePagingFiles(const std::vector<SwapDevice>& swaps, std::uint64_t pageSize);

// A 64-bit count in a 32-bit field. A level (a number of pages now) that
// does not fit saturates: a huge machine reads "at least 2^32 - 1", never a
// small wrapped figure. A running total keeps its low 32 bits, as the
// kernel's own 32-bit counters wrap; readers take differences modulo 2^32.
std::uint32_t SaturatedLevel(std::uint64_t pages);
std::uint32_t WrappedTotal(std::uint64_t count);

// a - b, floored at zero: figures read at different instants may cross.
constexpr std::uint64_t FlooredDifference(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : 0; }

}  // namespace host::linux_proc
