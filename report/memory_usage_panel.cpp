#include "report/memory_usage_panel.h"

#include "report/value_format.h"

#include <algorithm>

namespace {

// A byte value with a share-of-RAM suffix such as " [zero]    (%I64d%%)\n".
void AppendShareLine(CString& body, LPCWSTR label, ULONGLONG bytes, LPCWSTR suffixFormat, ULONGLONG totalRam) {
    body += label;
    AppendBytes(body, bytes);
    CString suffix;
    suffix.Format(suffixFormat, static_cast<LONGLONG>(ShareOfRam(bytes, totalRam)));
    body += suffix;
}

void AppendValueLine(CString& body, LPCWSTR label, ULONGLONG bytes, LPCWSTR suffix) {
    body += label;
    AppendBytes(body, bytes);
    body += suffix;
}

ULONGLONG NonNegative(LONGLONG bytes) { return bytes > 0 ? static_cast<ULONGLONG>(bytes) : 0; }

const LPCWSTR kPrioritySuffixes[8] = {
    L" [\"Idle Priority\"]      (%I64d%%)\n", L" [\"Very Low Priority\"]  (%I64d%%)\n",
    L" [\"Low Priority\"]       (%I64d%%)\n", L" [\"Background #2\"]      (%I64d%%)\n",
    L" [\"Background #1\"]      (%I64d%%)\n", L" [\"Normal Priority\"]    (%I64d%%)\n",
    L" [\"High Priority\"]      (%I64d%%)\n", L" [\"Static PreFetch\"]    (%I64d%%)\n",
};

// Lines 10 to 17: the standby lists by priority, counted in the machine's
// pages like every other list (4096 bytes on most machines, 16 or 64 KiB on
// some).
void AppendStandbyByPriority(CString& body, const MemorySample& sample) {
    for (int n = 0; n < 8; ++n) {
        const ULONGLONG pages = sample.memoryList.PageCountByPriority[n];
        CString label;
        label.Format(L"         Standby List P%d= ", n);
        AppendShareLine(body, label, pages * sample.pageSize, kPrioritySuffixes[n], sample.totalRamBytes);
    }
}

// Lines 7 to 9: the counter-based standby classes, when the memory-list
// query failed.
void AppendStandbyFromCounters(CString& body, const MemorySample& sample) {
    const CounterFigures& c = sample.counters;
    AppendShareLine(body, L"         StnbyCachReserv= ", NonNegative(c.standbyReserveBytes),
                    L" [\"SuperFetch\"] (%I64d%%)\n", sample.totalRamBytes);
    AppendShareLine(body, L"         StnbyCachNrmPri= ", NonNegative(c.standbyNormalPriorityBytes),
                    L" [Standby Normal Priority](%I64d%%)\n", sample.totalRamBytes);
    AppendShareLine(body, L"         StandbyCachCore= ", NonNegative(c.standbyCoreBytes),
                    L" [Standby Core] (%I64d%%)\n", sample.totalRamBytes);
}

// Lines 4 to 18, shown only when the counters are set up.
void AppendListsFromCounters(CString& body, const MemorySample& sample, const ReportContext& context) {
    const ULONGLONG ram = sample.totalRamBytes;
    AppendShareLine(body, L"      Zeroed List       = ", sample.zeroedPages * sample.pageSize,
                    L" [zero]    (%I64d%%)\n", ram);
    AppendShareLine(body, L"      Free List         = ", sample.freePages * sample.pageSize,
                    L" [free]    (%I64d%%)\n", ram);
    // Available and the free-and-zero counter are read at different moments;
    // a standby total below zero would wrap to an absurd figure.
    const ULONGLONG freeZero = NonNegative(sample.counters.freeZeroBytes);
    const ULONGLONG standby = sample.availableBytes > freeZero ? sample.availableBytes - freeZero : 0;
    AppendShareLine(body, L"      StandbyList Totals= ", standby, L" [standby] (%I64d%%)\n", ram);
    if (sample.memoryListStatus < 0)
        AppendStandbyFromCounters(body, sample);
    else
        AppendStandbyByPriority(body, sample);
    if (sample.compressionStatus >= 0) {
        body += L"      Memory Compression= ";
        if (context.memCompressionPid == -1) {
            body += L" --- not present on OS --- \n";
        } else {
            AppendBytes(body, sample.compression.WorkingSetSize);
            CString suffix;
            suffix.Format(L" [working set]    (%I64d%%)\n",
                          static_cast<LONGLONG>(ShareOfRam(sample.compression.WorkingSetSize, ram)));
            body += suffix;
        }
    }
}

// The used share of line 19, in whole percent. Computed in 64 bits (the
// product of a large memory's page count and 100 overflows 32 bits) and
// held between 0 and 100 when the two counts disagree.
int UsedPercent(const MemorySample& sample) {
    if (sample.physicalPages == 0) return 0;
    const ULONGLONG availableShare = static_cast<ULONGLONG>(sample.performance.AvailablePages) * 100 /
                                     sample.physicalPages;
    return availableShare >= 100 ? 0 : static_cast<int>(100 - availableShare);
}

void AppendCacheLimit(CString& body, LPCWSTR label, ULONGLONG bytes, const MemorySample& sample, DWORD hardFlag,
                      LPCWSTR suffix) {
    body += label;
    AppendBytes(body, bytes);
    if (sample.cacheSizeFlagsObtained) body += (sample.cacheSizeFlags & hardFlag) ? L" ENABLED" : L" DISABLED";
    body += suffix;
}

// " [+written -read]" of lines 32 to 34, after a first refresh only.
void AppendChangeBracket(CString& body, ULONG plusNow, ULONG plusBefore, ULONG minusNow, ULONG minusBefore,
                         const MemorySample& sample, const ReportContext& context) {
    if (context.refreshCount == 0) return;
    // Unsigned 32-bit differences: a counter that wrapped still gives its
    // true increase.
    const ULONG plus = plusNow - plusBefore;
    const ULONG minus = minusNow - minusBefore;
    body += L" [+";
    AppendBytes(body, static_cast<ULONGLONG>(plus) * sample.pageSize);
    body += L" -";
    AppendBytes(body, static_cast<ULONGLONG>(minus) * sample.pageSize);
    body += L"]";
}

}  // namespace

CString ReportHeading() { return CString(L"MEMORY USAGE\n----------------------------------------\n"); }

void AppendMemoryUsageUpper(CString& body, const MemorySample& sample, const ReportContext& context) {
    const ULONGLONG ram = sample.totalRamBytes;
    const ULONGLONG pageSize = sample.pageSize;
    AppendValueLine(body, L"Total RAM               = ", ram, L"\n");
    AppendShareLine(body, L"   Bad RAM Detected     = ", sample.badPages * pageSize,
                    L" [bad]               (%I64d%%)\n", ram);
    AppendShareLine(body, L"   Available            = ", sample.availableBytes, L" [zero+free+standby] (%I64d%%)\n",
                    ram);
    if (context.countersReady) AppendListsFromCounters(body, sample, context);

    body += L"   Used                 = ";
    AppendBytes(body, sample.usedBytes);
    CString used;
    used.Format(L" [Kernel+Process WS] (%d%%)\n", UsedPercent(sample));
    body += used;

    AppendValueLine(body, L"      Mod-NoWritePages  = ", sample.memoryList.ModifiedNoWritePageCount * pageSize,
                    L" [modifiedNW]\n");
    if (context.countersReady)
        AppendValueLine(body, L"      ModifiedPages     = ", NonNegative(sample.counters.modifiedBytes),
                        L" [modified]\n");
    AppendValueLine(body, L"      Cache WS          = ", sample.cacheWorkingSetBytes, L" [working set]\n");
    if (sample.systemProcessStatus >= 0)
        AppendValueLine(body, L"      System WS         = ", sample.systemProcess.WorkingSetSize, L" [working set]\n");
    if (sample.targetStatus >= 0)
        AppendValueLine(body, L"      Target WS         = ", sample.target.WorkingSetSize, L" [working set]\n");
    if (!context.countersReady) body += L"\n";

    AppendCacheLimit(body, L"Cache WS Min      = ", sample.fileCache.MinimumWorkingSet * pageSize, sample,
                     FILE_CACHE_MIN_HARD_ENABLE, L" [working set min]\n");
    AppendCacheLimit(body, L"Cache WS Max      = ", sample.fileCache.MaximumWorkingSet * pageSize, sample,
                     FILE_CACHE_MAX_HARD_ENABLE, L" [working set max]\n");
    if (!context.countersReady) body += L"\n";
}

void AppendMemoryUsageLower(CString& body, const MemorySample& sample, const ReportContext& context) {
    const nt::SYSTEM_PERFORMANCE_INFORMATION& now = sample.performance;
    const nt::SYSTEM_PERFORMANCE_INFORMATION& before = *context.previous;
    const ULONGLONG pageSize = sample.pageSize;

    AppendValueLine(body, L"Peak Cache WS     = ", sample.fileCache.PeakSize, L" [working set peak]\n");
    body += L"Cache ReadAheadOps= ";
    AppendCount(body, now.CcReadAheadIos);
    body += L" [# read aheads seq. file access]\n";
    AppendValueLine(body, L"Cache LazyWriteByt= ", now.CcLazyWritePages * pageSize, L" [Lazy Write Bytes]\n");

    body += L"PageFile InUse    = ";
    AppendBytes(body, sample.pageFileInUseBytes);
    AppendChangeBracket(body, now.DirtyPagesWriteCount, before.DirtyPagesWriteCount, now.PageReadCount,
                        before.PageReadCount, sample, context);
    body += L"\n";

    body += L"PagedPool In RAM  = ";
    AppendBytes(body, now.ResidentPagedPoolPage * pageSize);
    AppendChangeBracket(body, now.PagedPoolAllocs, before.PagedPoolAllocs, now.PagedPoolFrees, before.PagedPoolFrees,
                        sample, context);
    body += L"\n";

    body += L"NonPagedPool      = ";
    AppendBytes(body, now.NonPagedPoolPages * pageSize);
    AppendChangeBracket(body, now.NonPagedPoolAllocs, before.NonPagedPoolAllocs, now.NonPagedPoolFrees,
                        before.NonPagedPoolFrees, sample, context);
    body += L"\n";

    AppendPrefetcherLine(body, sample.superFetchSetting, sample.sysMainRunning);
    if (!context.countersReady) body += L"\n\n";
}

void AppendPrefetcherLine(CString& body, LONG setting, bool serviceRunning) {
    body += L"Superfetch ";
    body += serviceRunning ? L"service running; " : L"service not running; ";
    switch (setting) {
        case -1: body += L"Not Configured (using default)\n"; break;
        case 0: body += L"Disabled via Registry.\n"; break;
        case 1: body += L"Enabled for Boot.\n"; break;
        case 2: body += L"Enabled for Apps.\n"; break;
        case 3: body += L"Enabled for Boot and Apps.\n"; break;
        default: break;  // any other setting: no text, not even a line end
    }
}
