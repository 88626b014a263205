#include "report/lower_panels.h"

#include "report/value_format.h"

namespace {

using Perf = nt::SYSTEM_PERFORMANCE_INFORMATION;

// One read path of the cache manager: its hit counters and miss counters.
struct ReadGroup {
    LPCWSTR label;
    ULONG Perf::*hits[4];
    ULONG Perf::*misses[4];
};

const ReadGroup kGroups[] = {
    {L"Cache MAP ASYNCH Try=", {&Perf::CcMapDataNoWait}, {&Perf::CcMapDataNoWaitMiss}},
    {L"Cache MAP  SYNCH Try=", {&Perf::CcMapDataWait}, {&Perf::CcMapDataWaitMiss}},
    {L"Cache Pin ASYNCH Try=", {&Perf::CcPinReadNoWait}, {&Perf::CcPinReadNoWaitMiss}},
    {L"Cache Pin  SYNCH Try=", {&Perf::CcPinReadWait}, {&Perf::CcPinReadWaitMiss}},
    {L"Cache Cpy ASYNCH Try=", {&Perf::CcCopyReadNoWait}, {&Perf::CcCopyReadNoWaitMiss}},
    {L"Cache Cpy  SYNCH Try=", {&Perf::CcCopyReadWait}, {&Perf::CcCopyReadWaitMiss}},
    {L"Mdl Read A/SYNCH Try=", {&Perf::CcMdlReadNoWait, &Perf::CcMdlReadWait},
     {&Perf::CcMdlReadNoWaitMiss, &Perf::CcMdlReadWaitMiss}},
    {L"Fast     A/SYNCH Try=",
     {&Perf::CcFastReadNoWait, &Perf::CcFastReadWait, &Perf::CcFastMdlReadNoWait, &Perf::CcFastMdlReadWait},
     {&Perf::CcFastReadResourceMiss, &Perf::CcFastReadNotPossible, &Perf::CcFastMdlReadResourceMiss,
      &Perf::CcFastMdlReadNotPossible}},
};

ULONGLONG Sum(const Perf& p, ULONG Perf::* const (&fields)[4]) {
    ULONGLONG total = 0;
    for (ULONG Perf::*field : fields)
        if (field) total += p.*field;
    return total;
}

ULONGLONG Increase(const Perf& now, const Perf& before, ULONG Perf::* const (&fields)[4]) {
    ULONGLONG total = 0;
    for (ULONG Perf::*field : fields)
        if (field) total += static_cast<ULONG>(now.*field - before.*field);
    return total;
}

void AppendEffectivenessLine(CString& body, LPCWSTR label, ULONGLONG hits, ULONGLONG misses) {
    const ULONGLONG tries = hits + misses;
    const double percent =
        tries == 0 ? 0.0 : 100.0 - static_cast<double>(misses) * 100.0 / static_cast<double>(tries);
    body += label;
    AppendCount(body, static_cast<LONGLONG>(tries));
    body += L" Miss=";
    AppendCount(body, static_cast<LONGLONG>(misses));
    body += L" Pct=";
    AppendPercent(body, percent);
    body += L"\n";
}

const LPCWSTR kRepurposedSuffixes[8] = {
    L" [\"Idle Priority\"]      (+%d)\n", L" [\"Very Low Priority\"]  (+%d)\n",
    L" [\"Low Priority\"]       (+%d)\n", L" [\"Background #2\"]      (+%d)\n",
    L" [\"Background #1\"]      (+%d)\n", L" [\"Normal Priority\"]    (+%d)\n",
    L" [\"High Priority\"]      (+%d)\n", L" [\"Static PreFetch\"]    (+%d)\n",
};

void AppendTotalLine(CString& body, LPCWSTR label, ULONGLONG count, LONGLONG difference) {
    body += label;
    AppendCount(body, static_cast<LONGLONG>(count));
    CString suffix;
    suffix.Format(L" [\"difference\"]   (+%I64d)\n", difference);
    body += suffix;
}

}  // namespace

CacheReadTotals SumCacheReads(const Perf& performance) {
    CacheReadTotals totals;
    for (const ReadGroup& group : kGroups) {
        totals.hits += Sum(performance, group.hits);
        totals.misses += Sum(performance, group.misses);
    }
    return totals;
}

CacheReadTotals CacheReadIncrease(const Perf& now, const Perf& before) {
    CacheReadTotals increase;
    for (const ReadGroup& group : kGroups) {
        increase.hits += Increase(now, before, group.hits);
        increase.misses += Increase(now, before, group.misses);
    }
    return increase;
}

bool AppendCacheEffectivenessPanel(CString& body, const Perf& now, const Perf& before, int refreshCount,
                                   CacheReadTotals* delta) {
    body += L"SYSTEM FILE CACHE EFFECTIVENESS\n--------------------\n";
    for (const ReadGroup& group : kGroups)
        AppendEffectivenessLine(body, group.label, Sum(now, group.hits), Sum(now, group.misses));
    body += L"====================\n";
    const CacheReadTotals total = SumCacheReads(now);
    AppendEffectivenessLine(body, L"Cache Total         =", total.hits, total.misses);
    bool fed = false;
    if (refreshCount != 0) {
        const CacheReadTotals increase = CacheReadIncrease(now, before);
        AppendEffectivenessLine(body, L"Cache Delta         =", increase.hits, increase.misses);
        if (delta) *delta = increase;
        fed = true;
    }
    body += L"\n";
    return fed;
}

void AppendStandbyRepurposingPanel(CString& body, const MemorySample& sample, ULONGLONG (&prevRepurposed)[8],
                                   ULONGLONG& prevTransitionCount, ULONGLONG& prevDemandZeroCount) {
    // Without the memory-list record this refresh has no counts: they show
    // as 0 with no increase, and the kept counts wait for the next good one.
    const bool haveList = sample.memoryListStatus >= 0;
    body += L"STANDBY LIST REPURPOSED/TRANSITIONED PAGES\n------------------------------\n";
    ULONGLONG total = 0;
    ULONGLONG totalIncrease = 0;
    for (int n = 0; n < 8; ++n) {
        const ULONGLONG count = haveList ? sample.memoryList.RepurposedPagesByPriority[n] : 0;
        // The running totals are 64-bit; a count that fell gives a negative
        // increase (two's complement), which the total sums as such.
        const ULONGLONG increase = haveList ? count - prevRepurposed[n] : 0;
        CString label;
        label.Format(L"  P%d Standby Repurposed= ", n);
        body += label;
        AppendCount(body, static_cast<LONGLONG>(count));
        // Each line prints the low 32 bits of its increase, so a count that
        // fell shows as "(+-N)".
        CString suffix;
        suffix.Format(kRepurposedSuffixes[n], static_cast<LONG>(static_cast<DWORD>(increase)));
        body += suffix;
        total += count;
        totalIncrease += increase;
        if (haveList) prevRepurposed[n] = count;
    }
    body += L"==============================\n";
    // The total is the true sum of the increases, however large one is.
    AppendTotalLine(body, L"Total StnBy Repurposed = ", total, static_cast<LONGLONG>(totalIncrease));

    // The fault counts are 32-bit counters that only grow: their increase is
    // taken in 32 bits, so that a counter that wrapped gives its true increase.
    const ULONG transitions = sample.performance.TransitionCount;
    const ULONG demandZero = sample.performance.DemandZeroCount;
    AppendTotalLine(body, L"Tot StndBy Transitioned= ", transitions,
                    static_cast<ULONG>(transitions - static_cast<ULONG>(prevTransitionCount)));
    AppendTotalLine(body, L"Tot Demand-Zero Faults = ", demandZero,
                    static_cast<ULONG>(demandZero - static_cast<ULONG>(prevDemandZeroCount)));
    prevTransitionCount = transitions;
    prevDemandZeroCount = demandZero;
}
