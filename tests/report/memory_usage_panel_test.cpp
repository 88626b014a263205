#include "report/memory_usage_panel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Perf = nt::SYSTEM_PERFORMANCE_INFORMATION;

// A 4 GiB machine with 4 KiB pages.
MemorySample HealthySample() {
    MemorySample s;
    s.basicStatus = s.fileCacheStatus = s.performanceStatus = s.pageFileStatus = s.memoryListStatus = 0;
    s.basic.PageSize = 4096;
    s.globalStatus.ullTotalPhys = 4ULL << 30;
    s.performance.AvailablePages = 0x40000;  // 1 GiB
    s.memoryList.ZeroPageCount = 0x100;
    s.memoryList.FreePageCount = 0x200;
    s.memoryList.PageCountByPriority[7] = 256;
    DeriveFigures(s);
    return s;
}

std::wstring Text(const CString& s) { return std::wstring(static_cast<LPCWSTR>(s)); }

std::wstring Line(const CString& text, const wchar_t* label) {
    const std::wstring all = Text(text);
    const auto start = all.find(label);
    if (start == std::wstring::npos) return L"<missing>";
    return all.substr(start, all.find(L'\n', start) - start);
}

CString Upper(const MemorySample& s, bool countersReady, LONG compressionPid = -1) {
    Perf previous{};
    ReportContext context{countersReady, 0, compressionPid, &previous};
    CString body;
    AppendMemoryUsageUpper(body, s, context);
    return body;
}

TEST(MemoryUsagePanel, WithoutCountersTheCounterLinesGiveWayToEmptyLines) {
    const CString body = Upper(HealthySample(), false);
    EXPECT_EQ(Line(body, L"      Zeroed List"), L"<missing>");
    EXPECT_EQ(Line(body, L"         Standby List P7"), L"<missing>");
    EXPECT_EQ(Line(body, L"      ModifiedPages"), L"<missing>");
    EXPECT_NE(Text(body).find(L" [working set]\n\nCache WS Min"), std::wstring::npos);
    EXPECT_TRUE(Text(body).ends_with(L" [working set max]\n\n"));
}

TEST(MemoryUsagePanel, StandbyByPriorityCountsTheMachinesPages) {
    MemorySample s = HealthySample();
    EXPECT_EQ(Line(Upper(s, true), L"         Standby List P7"),
              L"         Standby List P7=        1.00 MB [\"Static PreFetch\"]    (0%)");
    // 256 pages of 16 KiB are 4 MiB; 65536 of them are 1 GiB, a quarter of
    // the 4 GiB machine.
    s.basic.PageSize = 16384;
    s.memoryList.PageCountByPriority[5] = 65536;
    DeriveFigures(s);
    const CString body = Upper(s, true);
    EXPECT_EQ(Line(body, L"         Standby List P7"),
              L"         Standby List P7=        4.00 MB [\"Static PreFetch\"]    (0%)");
    EXPECT_EQ(Line(body, L"         Standby List P5"),
              L"         Standby List P5=     1024.00 MB [\"Normal Priority\"]    (25%)");
}

TEST(MemoryUsagePanel, AFailedMemoryListQueryShowsTheCounterStandbyClasses) {
    MemorySample s = HealthySample();
    s.memoryListStatus = -1;
    s.counters.standbyReserveBytes = 1 << 20;
    s.counters.freeZeroBytes = 8 << 20;
    DeriveFigures(s);
    const CString body = Upper(s, true);
    EXPECT_EQ(Line(body, L"         Standby List P0"), L"<missing>");
    EXPECT_EQ(Line(body, L"         StnbyCachReserv"),
              L"         StnbyCachReserv=        1.00 MB [\"SuperFetch\"] (0%)");
    // Zeroed pages come from the free-and-zero counter; free and bad are 0.
    EXPECT_EQ(Line(body, L"      Zeroed List"), L"      Zeroed List       =        8.00 MB [zero]    (0%)");
    EXPECT_EQ(Line(body, L"      Free List"), L"      Free List         =        0 Bytes [free]    (0%)");
}

TEST(MemoryUsagePanel, StandbyTotalNeverWrapsWhenTheCounterOutrunsAvailable) {
    MemorySample s = HealthySample();
    s.counters.freeZeroBytes = static_cast<LONGLONG>(s.availableBytes) + 4096;  // read a moment later
    EXPECT_EQ(Line(Upper(s, true), L"      StandbyList Totals"),
              L"      StandbyList Totals=        0 Bytes [standby] (0%)");
}

TEST(MemoryUsagePanel, UsedShareIsRightOnLargeMachinesAndTruncated) {
    MemorySample s = HealthySample();
    s.globalStatus.ullTotalPhys = 1ULL << 40;  // 1 TiB: 2^28 pages, ×100 passes 32 bits
    s.performance.AvailablePages = (1u << 28) / 4;
    DeriveFigures(s);
    EXPECT_EQ(Line(Upper(s, false), L"   Used"), L"   Used                 =   786432.00 MB [Kernel+Process WS] (75%)");
    // Available read above physical: used is 0, not a wrapped figure.
    s.performance.AvailablePages = (1u << 28) + 5;
    DeriveFigures(s);
    EXPECT_EQ(Line(Upper(s, false), L"   Used"), L"   Used                 =        0 Bytes [Kernel+Process WS] (0%)");
}

TEST(MemoryUsagePanel, MemoryCompressionLine) {
    EXPECT_EQ(Line(Upper(HealthySample(), true, -1), L"      Memory Compression"),
              L"      Memory Compression=  --- not present on OS --- ");
    MemorySample s = HealthySample();
    s.compression.WorkingSetSize = 41943040;  // 40 MB of 4096 MB
    EXPECT_EQ(Line(Upper(s, true, 2345), L"      Memory Compression"),
              L"      Memory Compression=       40.00 MB [working set]    (0%)");
    s.compressionStatus = -1;
    EXPECT_EQ(Line(Upper(s, true, 2345), L"      Memory Compression"), L"<missing>");
}

TEST(MemoryUsagePanel, CacheLimitsShowTheHardLimitWordsOnlyWhenTheFlagsWereObtained) {
    MemorySample s = HealthySample();
    EXPECT_EQ(Line(Upper(s, true), L"Cache WS Max"), L"Cache WS Max      =        0 Bytes [working set max]");
    s.cacheSizeFlagsObtained = true;
    s.cacheSizeFlags = FILE_CACHE_MAX_HARD_ENABLE;
    EXPECT_EQ(Line(Upper(s, true), L"Cache WS Max"), L"Cache WS Max      =        0 Bytes ENABLED [working set max]");
    EXPECT_EQ(Line(Upper(s, true), L"Cache WS Min"), L"Cache WS Min      =        0 Bytes DISABLED [working set min]");
    s.cacheSizeFlags = FILE_CACHE_MIN_HARD_ENABLE | FILE_CACHE_MAX_HARD_ENABLE;
    EXPECT_EQ(Line(Upper(s, true), L"Cache WS Min"), L"Cache WS Min      =        0 Bytes ENABLED [working set min]");
}

TEST(MemoryUsagePanel, ChangeBracketsAfterAFirstRefreshOnlyAndAcrossAWrap) {
    MemorySample s = HealthySample();
    Perf previous{};
    previous.DirtyPagesWriteCount = 0xFFFFFFFFu;
    s.performance.DirtyPagesWriteCount = 1;  // wrapped: 2 pages written
    s.performance.PageReadCount = 256;
    CString first, later;
    AppendMemoryUsageLower(first, s, ReportContext{true, 0, -1, &previous});
    AppendMemoryUsageLower(later, s, ReportContext{true, 5, -1, &previous});
    EXPECT_EQ(Line(first, L"PageFile InUse"), L"PageFile InUse    =        0 Bytes");
    EXPECT_EQ(Line(later, L"PageFile InUse"),
              L"PageFile InUse    =        0 Bytes [+       0.00 MB -       1.00 MB]");
}

TEST(PrefetcherLine, TextsBySettingAndAnUnknownSettingWithoutLineEnd) {
    CString body;
    AppendPrefetcherLine(body, -1, false);
    AppendPrefetcherLine(body, 3, true);
    AppendPrefetcherLine(body, 4, true);
    body += L"next";
    EXPECT_EQ(Text(body),
              L"Superfetch service not running; Not Configured (using default)\n"
              L"Superfetch service running; Enabled for Boot and Apps.\n"
              L"Superfetch service running; next");
}

}  // namespace
