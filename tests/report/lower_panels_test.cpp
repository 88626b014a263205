#include "report/lower_panels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the dialog keeps between standby panels.
struct StandbyHistory {
    ULONGLONG repurposed[8] = {};
    ULONGLONG transitionCount = 0;
    ULONGLONG demandZeroCount = 0;
};

void AppendStandbyPanel(CString& body, const MemorySample& sample, StandbyHistory& history) {
    AppendStandbyRepurposingPanel(body, sample, history.repurposed, history.transitionCount, history.demandZeroCount);
}

using Perf = nt::SYSTEM_PERFORMANCE_INFORMATION;

std::wstring Line(const CString& text, const wchar_t* label) {
    const std::wstring all(static_cast<LPCWSTR>(text));
    const auto start = all.find(label);
    if (start == std::wstring::npos) return L"<missing>";
    return all.substr(start, all.find(L'\n', start) - start);
}

TEST(CacheEffectivenessPanel, TriesMissesAndHitPercentagePerGroup) {
    Perf now{};
    now.CcMapDataNoWait = 300;      // hits
    now.CcMapDataNoWaitMiss = 100;  // misses
    now.CcPinReadWaitMiss = 7;      // a group with misses only
    now.CcCopyReadNoWait = 5;       // a group with hits only
    CString body;
    AppendCacheEffectivenessPanel(body, now, Perf{}, 0, nullptr);
    EXPECT_EQ(Line(body, L"Cache MAP ASYNCH"), L"Cache MAP ASYNCH Try=         400  Miss=         100  Pct=75.00%");
    EXPECT_EQ(Line(body, L"Cache MAP  SYNCH"), L"Cache MAP  SYNCH Try=           0  Miss=           0  Pct=0.00%");
    EXPECT_EQ(Line(body, L"Cache Pin  SYNCH"), L"Cache Pin  SYNCH Try=           7  Miss=           7  Pct=0.00%");
    EXPECT_EQ(Line(body, L"Cache Cpy ASYNCH"), L"Cache Cpy ASYNCH Try=           5  Miss=           0  Pct=100.00%");
}

TEST(CacheEffectivenessPanel, FastAndMdlGroupsSumTheirCounters) {
    Perf now{};
    now.CcFastReadNoWait = 1;
    now.CcFastReadWait = 2;
    now.CcFastMdlReadNoWait = 3;
    now.CcFastMdlReadWait = 4;
    now.CcFastReadResourceMiss = 10;
    now.CcFastReadNotPossible = 20;
    now.CcFastMdlReadResourceMiss = 30;
    now.CcFastMdlReadNotPossible = 40;
    now.CcMdlReadNoWait = 6;
    now.CcMdlReadWaitMiss = 2;
    const CacheReadTotals totals = SumCacheReads(now);
    EXPECT_EQ(totals.hits, 16u);
    EXPECT_EQ(totals.misses, 102u);
    CString body;
    AppendCacheEffectivenessPanel(body, now, Perf{}, 0, nullptr);
    EXPECT_EQ(Line(body, L"Fast     A/SYNCH"), L"Fast     A/SYNCH Try=         110  Miss=         100  Pct=9.09%");
    EXPECT_EQ(Line(body, L"Mdl Read A/SYNCH"), L"Mdl Read A/SYNCH Try=           8  Miss=           2  Pct=75.00%");
}

TEST(CacheEffectivenessPanel, AFirstRefreshHasNoDeltaLineAndFeedsNothing) {
    Perf now{};
    now.CcCopyReadNoWait = 50;
    CString body;
    CacheReadTotals delta{123, 456};
    EXPECT_FALSE(AppendCacheEffectivenessPanel(body, now, Perf{}, 0, &delta));
    EXPECT_EQ(Line(body, L"Cache Delta"), L"<missing>");
    EXPECT_EQ(delta.hits, 123u);
    // The panel still ends with an empty line.
    EXPECT_TRUE(std::wstring(static_cast<LPCWSTR>(body)).ends_with(L"Pct=100.00%\n\n"));
}

TEST(CacheEffectivenessPanel, DeltaCoversThePeriodEvenAcrossACounterWrap) {
    Perf before{}, now{};
    before.CcCopyReadNoWait = 0xFFFFFFF0u;  // wraps past its largest value
    now.CcCopyReadNoWait = 0x10;
    before.CcCopyReadNoWaitMiss = 5;
    now.CcCopyReadNoWaitMiss = 9;
    CString body;
    CacheReadTotals delta;
    ASSERT_TRUE(AppendCacheEffectivenessPanel(body, now, before, 3, &delta));
    EXPECT_EQ(delta.hits, 0x20u);
    EXPECT_EQ(delta.misses, 4u);
    EXPECT_EQ(Line(body, L"Cache Delta"), L"Cache Delta         =          36  Miss=           4  Pct=88.89%");
}

TEST(StandbyRepurposingPanel, DifferencesReferToTheLastShownPanelAndAreKept) {
    MemorySample sample;
    sample.memoryListStatus = 0;
    sample.memoryList.RepurposedPagesByPriority[2] = 1000;
    sample.performance.TransitionCount = 70;
    sample.performance.DemandZeroCount = 30;
    StandbyHistory history;
    CString first;
    AppendStandbyPanel(first, sample, history);
    // At start the kept values are 0: the differences equal the totals.
    EXPECT_EQ(Line(first, L"  P2"), L"  P2 Standby Repurposed=         1000  [\"Low Priority\"]       (+1000)");
    EXPECT_EQ(Line(first, L"Total StnBy"), L"Total StnBy Repurposed =         1000  [\"difference\"]   (+1000)");
    EXPECT_EQ(Line(first, L"Tot StndBy"), L"Tot StndBy Transitioned=           70  [\"difference\"]   (+70)");
    EXPECT_EQ(history.repurposed[2], 1000u);

    sample.memoryList.RepurposedPagesByPriority[2] = 990;  // a count that fell
    sample.performance.TransitionCount = 75;
    CString second;
    AppendStandbyPanel(second, sample, history);
    EXPECT_EQ(Line(second, L"  P2"), L"  P2 Standby Repurposed=          990  [\"Low Priority\"]       (+-10)");
    EXPECT_EQ(Line(second, L"Total StnBy"), L"Total StnBy Repurposed =          990  [\"difference\"]   (+-10)");
    EXPECT_EQ(Line(second, L"Tot StndBy"), L"Tot StndBy Transitioned=           75  [\"difference\"]   (+5)");
    EXPECT_EQ(Line(second, L"Tot Demand"), L"Tot Demand-Zero Faults =           30  [\"difference\"]   (+0)");
}

TEST(StandbyRepurposingPanel, AWrappedFaultCounterGivesItsTrueIncrease) {
    MemorySample sample;
    sample.memoryListStatus = 0;
    StandbyHistory history;
    history.demandZeroCount = 0xFFFFFFFEu;
    sample.performance.DemandZeroCount = 3;
    CString body;
    AppendStandbyPanel(body, sample, history);
    EXPECT_EQ(Line(body, L"Tot Demand"), L"Tot Demand-Zero Faults =            3  [\"difference\"]   (+5)");
}

TEST(StandbyRepurposingPanel, AFailedMemoryListQueryShowsZeroCounts) {
    MemorySample sample;
    sample.memoryListStatus = -1;
    sample.memoryList.RepurposedPagesByPriority[0] = 77;  // not read this refresh
    StandbyHistory history;
    CString body;
    AppendStandbyPanel(body, sample, history);
    EXPECT_EQ(Line(body, L"  P0"), L"  P0 Standby Repurposed=            0  [\"Idle Priority\"]      (+0)");
    // The panel ends without a further empty line.
    EXPECT_TRUE(std::wstring(static_cast<LPCWSTR>(body)).ends_with(L"(+0)\n"));
}

TEST(StandbyRepurposingPanel, TheTotalIsTheTrueSumOfLargeIncreases) {
    // A long-running machine's first panel: the kept counts are still 0.
    MemorySample sample;
    sample.memoryListStatus = 0;
    sample.memoryList.RepurposedPagesByPriority[3] = 3000000000ull;
    sample.memoryList.RepurposedPagesByPriority[5] = 5000000000ull;
    StandbyHistory history;
    CString first;
    AppendStandbyPanel(first, sample, history);
    // Each line prints the low 32 bits of its own increase, signed:
    // 3000000000 - 2^32 = -1294967296 and 5000000000 - 2^32 = 705032704.
    EXPECT_EQ(Line(first, L"  P3"), L"  P3 Standby Repurposed=   3000000000  [\"Background #2\"]      (+-1294967296)");
    EXPECT_EQ(Line(first, L"  P5"), L"  P5 Standby Repurposed=   5000000000  [\"Normal Priority\"]    (+705032704)");
    EXPECT_EQ(Line(first, L"Total StnBy"), L"Total StnBy Repurposed =   8000000000  [\"difference\"]   (+8000000000)");

    // The next panel: counts beyond 32 bits grow by 7 and 100.
    sample.memoryList.RepurposedPagesByPriority[3] = 3000000007ull;
    sample.memoryList.RepurposedPagesByPriority[5] = 5000000100ull;
    CString second;
    AppendStandbyPanel(second, sample, history);
    EXPECT_EQ(Line(second, L"  P5"), L"  P5 Standby Repurposed=   5000000100  [\"Normal Priority\"]    (+100)");
    EXPECT_EQ(Line(second, L"Total StnBy"), L"Total StnBy Repurposed =   8000000107  [\"difference\"]   (+107)");
}

TEST(StandbyRepurposingPanel, AFailedMemoryListQueryKeepsTheCountsOfTheLastGoodPanel) {
    MemorySample sample;
    sample.memoryListStatus = 0;
    sample.memoryList.RepurposedPagesByPriority[2] = 1000;
    StandbyHistory history;
    CString good;
    AppendStandbyPanel(good, sample, history);

    // The query fails: no counts, no increases, and nothing forgotten.
    MemorySample failed;
    failed.memoryListStatus = static_cast<NTSTATUS>(0xC0000022);
    CString during;
    AppendStandbyPanel(during, failed, history);
    EXPECT_EQ(Line(during, L"  P2"), L"  P2 Standby Repurposed=            0  [\"Low Priority\"]       (+0)");
    EXPECT_EQ(Line(during, L"Total StnBy"), L"Total StnBy Repurposed =            0  [\"difference\"]   (+0)");
    EXPECT_EQ(history.repurposed[2], 1000u);

    // The next good panel shows the increase since the last good one.
    sample.memoryList.RepurposedPagesByPriority[2] = 1040;
    CString after;
    AppendStandbyPanel(after, sample, history);
    EXPECT_EQ(Line(after, L"  P2"), L"  P2 Standby Repurposed=         1040  [\"Low Priority\"]       (+40)");
    EXPECT_EQ(Line(after, L"Total StnBy"), L"Total StnBy Repurposed =         1040  [\"difference\"]   (+40)");
}

}  // namespace
