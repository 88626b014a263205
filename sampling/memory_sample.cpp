#include "sampling/memory_sample.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr ULONGLONG kLargest32 = 0xFFFFFFFFull;

ULONG Saturated32(ULONGLONG count) { return count > kLargest32 ? 0xFFFFFFFFu : static_cast<ULONG>(count); }

}  // namespace

ULONGLONG PageFilePagesInUse(const MemorySample& sample) {
    if (sample.pageFileStatus < 0) return 0;
    using Entry = nt::SYSTEM_PAGEFILE_INFORMATION;
    const ULONGLONG end = std::min<ULONGLONG>(sample.pageFileReturnLength, kPageFileBufferLength);
    ULONGLONG pages = 0;
    ULONGLONG offset = 0;  // wide enough that no sum of offsets wraps
    for (int n = 0; n < kMaxPageFileEntries && offset + sizeof(Entry) <= end; ++n) {
        Entry entry;
        std::memcpy(&entry, sample.pageFileBuffer + offset, sizeof(entry));
        pages += entry.TotalInUse;
        if (entry.NextEntryOffset < sizeof(Entry)) break;  // the last, or not an entry's length
        offset += entry.NextEntryOffset;
    }
    return pages;
}

void DeriveFigures(MemorySample& sample) {
    const ULONGLONG pageSize = sample.basic.PageSize;
    sample.pageSize = sample.basic.PageSize;
    sample.physicalPages = pageSize ? sample.globalStatus.ullTotalPhys / pageSize : 0;
    sample.basic.NumberOfPhysicalPages = Saturated32(sample.physicalPages);
    sample.totalRamBytes = sample.physicalPages * pageSize;

    const ULONGLONG availablePages = sample.performance.AvailablePages;
    sample.availableBytes = availablePages * pageSize;
    // Available and physical pages come from two queries; on a busy machine
    // available can momentarily exceed what the other query counted.
    sample.usedBytes = availablePages < sample.physicalPages ? (sample.physicalPages - availablePages) * pageSize : 0;

    if (sample.memoryListStatus >= 0) {
        sample.zeroedPages = sample.memoryList.ZeroPageCount;
        sample.freePages = sample.memoryList.FreePageCount;
        sample.badPages = sample.memoryList.BadPageCount;
    } else {
        const LONGLONG freeZero = sample.counters.freeZeroBytes;
        sample.zeroedPages = pageSize && freeZero > 0 ? static_cast<ULONGLONG>(freeZero) / pageSize : 0;
        sample.freePages = 0;
        sample.badPages = 0;
    }
    sample.cacheWorkingSetBytes = static_cast<ULONGLONG>(sample.performance.ResidentSystemCachePage) * pageSize;
    sample.pageFileInUseBytes = PageFilePagesInUse(sample) * pageSize;
}

ULONG ChartPageCount(ULONGLONG pages, ULONG pageSize) {
    if (pages == 0 || pageSize == 0) return 0;
    if (pages > ~0ULL / pageSize) return Saturated32(~0ULL);
    return Saturated32(pages * pageSize / kChartPageSize);
}
