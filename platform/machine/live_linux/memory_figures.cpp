#include "host/linux_memory_figures.h"

#include "text_scan.h"

#include <algorithm>
#include <limits>

namespace host::linux_proc {

namespace {

std::uint64_t Pages(const Figure& bytes, std::uint64_t pageSize) { return bytes.value_or(0) / pageSize; }

std::uint64_t Bytes(const Figure& bytes) { return bytes.value_or(0); }

std::uint64_t KibToBytes(std::uint64_t kib) {
    return CheckedMultiply(kib, 1024).value_or(std::numeric_limits<std::uint64_t>::max());
}

// Splits the clean file pages between the two LRU lists. Dirty pages and
// pages under writeback sit on the same lists; new dirty pages start on the
// inactive one, so they are taken from it first and any rest from the
// active list. The two parts add up to max(0, active + inactive - modified).
void SplitStandby(std::uint64_t activeFile, std::uint64_t inactiveFile, std::uint64_t modified, MemoryFigures& f) {
    const std::uint64_t inactiveClean = FlooredDifference(inactiveFile, modified);
    const std::uint64_t activeClean = FlooredDifference(activeFile, FlooredDifference(modified, inactiveFile));
    f.standbyPages[kInactiveStandbyPriority] = inactiveClean;
    f.standbyPages[kActiveStandbyPriority] = activeClean;
}

// Keeps the partition inside physical memory: the fields of one read of
// /proc/meminfo are each summed at a slightly different moment.
void FitPartition(MemoryFigures& f) {
    f.freePages = std::min(f.freePages, f.physicalPages);
    std::uint64_t room = f.physicalPages - f.freePages;
    for (std::uint64_t& pages : f.standbyPages) {
        pages = std::min(pages, room);
        room -= pages;
    }
    f.modifiedPages = std::min(f.modifiedPages, room);
    f.badPages = std::min(f.badPages, room - f.modifiedPages);
}

void ComputePartition(const Meminfo& m, std::uint64_t pageSize, MemoryFigures& f) {
    f.zeroedPages = 0;  // Linux keeps no list of zeroed pages
    f.freePages = Pages(m.memFree, pageSize);
    f.modifiedPages = (Bytes(m.dirty) + Bytes(m.writeback)) / pageSize;
    f.modifiedNoWritePages = 0;
    f.badPages = Pages(m.hardwareCorrupted, pageSize);
    SplitStandby(Pages(m.activeFile, pageSize), Pages(m.inactiveFile, pageSize), f.modifiedPages, f);
    FitPartition(f);
    f.standbyTotalPages = 0;
    for (std::uint64_t pages : f.standbyPages) f.standbyTotalPages += pages;
    f.availablePages = f.zeroedPages + f.freePages + f.standbyTotalPages;
}

void ComputeKernel(const Meminfo& m, std::uint64_t pageSize, MemoryFigures& f) {
    // Shared memory and tmpfs live in the page cache but cannot be dropped:
    // the part of the cache that is neither standby nor modified.
    f.fileCacheBytes = Bytes(m.buffers) + Bytes(m.cached);
    const std::uint64_t unlisted = f.physicalPages - f.availablePages - f.modifiedPages - f.badPages;
    f.residentCachePages = std::min(Pages(m.shmem, pageSize), unlisted);

    // Memory only the kernel owns and cannot give back on demand.
    const std::uint64_t unreclaimable =
        Bytes(m.sUnreclaim) + Bytes(m.kernelStack) + Bytes(m.pageTables) + Bytes(m.secPageTables) + Bytes(m.percpu);
    f.nonPagedPoolPages = unreclaimable / pageSize;
    // The kernel's whole resident memory adds what it can reclaim (caches of
    // its own objects); KReclaimable includes SReclaimable where printed.
    const std::uint64_t reclaimable = m.kReclaimable ? *m.kReclaimable : Bytes(m.sReclaimable);
    f.kernelWorkingSetBytes = unreclaimable + reclaimable;
}

void ComputeCompression(const SystemSample& s, MemoryFigures& f) {
    const Meminfo& m = s.meminfo;
    f.compressionHoldsPages = Bytes(m.zswapped) > 0 || Bytes(m.zswap) > 0;
    f.compressionBytes = Bytes(m.zswap);
    for (const ZramStat& device : s.zram) {
        if (device.origDataSize > 0) f.compressionHoldsPages = true;
        f.compressionBytes += device.memUsedTotal;
    }
}

void ComputeTotals(const Vmstat& v, MemoryFigures& f) {
    f.pagesReadFromSwap = v.pswpin.value_or(0);
    f.pagesWrittenToSwap = v.pswpout.value_or(0);
    f.pagesWrittenBack = v.nrWritten.value_or(0);
    f.repurposedPages[kInactiveStandbyPriority] = v.pgstealFile.value_or(0);
    f.pageFaults = v.pgfault.value_or(0);
}

}  // namespace

std::optional<MemoryFigures> ComputeMemoryFigures(const SystemSample& s) {
    const Meminfo& m = s.meminfo;
    if (s.pageSize == 0 || !m.memTotal || !m.memFree) return std::nullopt;
    MemoryFigures f;
    f.pageSize = s.pageSize;
    f.physicalPages = *m.memTotal / s.pageSize;
    ComputePartition(m, s.pageSize, f);
    ComputeKernel(m, s.pageSize, f);
    ComputeCompression(s, f);
    ComputeTotals(s.vmstat, f);
    f.swapTotalBytes = Bytes(m.swapTotal);
    f.swapFreeBytes = std::min(Bytes(m.swapFree), f.swapTotalBytes);
    f.committedBytes = Bytes(m.committedAs);
    f.commitLimitBytes = *m.memTotal + f.swapTotalBytes;
    return f;
}

std::vector<PagingFileFigures> ComputePagingFiles(const std::vector<SwapDevice>& swaps, std::uint64_t pageSize) {
    std::vector<PagingFileFigures> files;
    if (pageSize == 0) return files;
    files.reserve(swaps.size());
    for (const SwapDevice& device : swaps) {
        const std::uint64_t sizeBytes = KibToBytes(device.sizeKiB);
        const std::uint64_t usedBytes = std::min(KibToBytes(device.usedKiB), sizeBytes);
        files.push_back({device.path, sizeBytes / pageSize, usedBytes / pageSize});
    }
    return files;
}

std::uint32_t SaturatedLevel(std::uint64_t pages) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(pages, std::numeric_limits<std::uint32_t>::max()));
}

std::uint32_t WrappedTotal(std::uint64_t count) { return static_cast<std::uint32_t>(count); }

}  // namespace host::linux_proc
