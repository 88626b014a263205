#pragma once
// The two lower panels of the report: how effective the system file cache
// is, and how many pages each standby list gave up for other use.

#include <afxwin.h>

#include "sampling/memory_sample.h"

// Hits and misses of the cache manager's read paths, summed over the groups.
struct CacheReadTotals {
    ULONGLONG hits = 0;
    ULONGLONG misses = 0;
};

CacheReadTotals SumCacheReads(const nt::SYSTEM_PERFORMANCE_INFORMATION& performance);

// The increase of all hits and all misses from `before` to `now`, counter by
// counter in 32-bit arithmetic, so that a counter that wrapped still gives
// its true increase.
CacheReadTotals CacheReadIncrease(const nt::SYSTEM_PERFORMANCE_INFORMATION& now,
                                  const nt::SYSTEM_PERFORMANCE_INFORMATION& before);

// Appends the cache effectiveness panel. After a first refresh
// (`refreshCount` not 0) it includes the "Cache Delta" line and returns true
// with the period's increase in `delta`, for the cache read chart.
bool AppendCacheEffectivenessPanel(CString& body, const nt::SYSTEM_PERFORMANCE_INFORMATION& now,
                                   const nt::SYSTEM_PERFORMANCE_INFORMATION& before, int refreshCount,
                                   CacheReadTotals* delta);

// Appends the standby repurposing panel with the increases since the panel
// was last shown, then keeps the current counts (whole, so that the total
// increase stays true once a count passes 32 bits) and the two fault counts.
// A sample whose memory-list query failed shows counts of 0 with no
// increase and leaves the kept counts as they were.
void AppendStandbyRepurposingPanel(CString& body, const MemorySample& sample, ULONGLONG (&prevRepurposed)[8],
                                   ULONGLONG& prevTransitionCount, ULONGLONG& prevDemandZeroCount);
