#pragma once
// The memory usage panel of the text report: the heading, then the lines
// up to the cache working-set maximum (before the RAM chart is fed) and the
// lines from the peak cache working set to the prefetcher line (after).

#include <afxwin.h>

#include "sampling/memory_sample.h"

struct ReportContext {
    bool countersReady = false;         // the counter query was set up
    int refreshCount = 0;               // 0 marks a first refresh: no change brackets
    LONG memCompressionPid = -1;        // -1: no memory compression process known
    const nt::SYSTEM_PERFORMANCE_INFORMATION* previous = nullptr;  // the last refresh's record
};

// "MEMORY USAGE" and a rule of 40 hyphens, for the heading control.
CString ReportHeading();

// Lines 1 to 28: RAM, the page lists, the working sets, the cache limits.
void AppendMemoryUsageUpper(CString& body, const MemorySample& sample, const ReportContext& context);

// Lines 29 to 36: cache peak, read-ahead, lazy writes, paging file, pools,
// prefetcher.
void AppendMemoryUsageLower(CString& body, const MemorySample& sample, const ReportContext& context);

// The prefetcher line: "Superfetch service running; " and the setting's text.
void AppendPrefetcherLine(CString& body, LONG setting, bool serviceRunning);
