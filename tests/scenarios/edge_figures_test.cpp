// The report and the RAM chart on machines at the edges: refreshes that
// failed from the start, memories beyond 32-bit page counts, paging-file
// lists laid out as Windows lays them out, pages of 16 KiB, and a memory
// compression process whose id came to name another process. Every
// expected line is worked out by hand from the machine's figures.

#include "scenario_support.h"

#include "app/palisk_dlg.h"
#include "charts/duvudov_ctrl.h"
#include "widgets/static_fader.h"

#include <string>

namespace {

using scenario_test::Control;
using scenario_test::RunScenario;

// The line of the report (control 1001) that starts with `label`.
std::string ReportLine(const nlohmann::json& state, const std::string& label) {
    const std::string report = Control(state, 1001)["text"];
    const auto start = report.find(label);
    if (start == std::string::npos) return "<missing>";
    return report.substr(start, report.find('\n', start) - start);
}

std::string LegendText(CPaliskDlg& dialog, int trace) {
    CStaticFader* label = dialog.m_pRamLegend[trace];
    return label ? scenario::Utf8(std::wstring(label->m_strText.GetString())) : "<none>";
}

TEST(EdgeFigures, RefreshesThatFailedFromTheStartLeaveAFirstRefresh) {
    // The performance query fails at start-up and on the first two ticks.
    // The first good refresh has nothing to take differences from: no
    // change brackets, and the RAM chart takes its range (8 GiB of 4 KiB
    // pages: 0 to 8192 MB).
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"performance": {"status": "STATUS_UNSUCCESSFUL",
                              "record": {"ResidentPagedPoolPage": 256, "PagedPoolAllocs": 256, "PagedPoolFrees": 0}}},
                            "steps": [{"start": {}}, {"ticks": 2},
                                      {"machine": {"performance": {"status": null}}}, {"ticks": 1},
                                      {"machine": {"performance": {"record": {"PagedPoolAllocs": 512}}}},
                                      {"ticks": 1}]})");
    const auto& s = runner.States();
    const nlohmann::json& firstGood = s[3];
    EXPECT_EQ(ReportLine(firstGood, "PagedPool In RAM"), "PagedPool In RAM  =        1.00 MB");
    EXPECT_EQ(firstGood["window"]["refreshCount"], 1);
    // The next refresh shows the period's 256 allocations of 4 KiB.
    EXPECT_EQ(ReportLine(s.back(), "PagedPool In RAM"),
              "PagedPool In RAM  =        1.00 MB [+       1.00 MB -       0 Bytes]");
    EXPECT_DOUBLE_EQ(runner.Dialog()->m_pRamChart->m_dMax, 8192.0);
}

TEST(EdgeFigures, SixteenTebibytesAndOnePageKeepTheirTotal) {
    // 16 TiB + 4 KiB is 2^32 + 1 pages of 4 KiB: 16777216 MB and 4 KiB,
    // whose hundredths truncate to 00; eight digits widen the field past
    // the blank that stands for the sign. Available 2^20 pages = 4096 MB, far
    // below one percent; used is the rest.
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"memoryStatus": {"record": {"ullTotalPhys": 17592186048512}},
                              "performance": {"record": {"AvailablePages": 1048576}}},
                            "steps": [{"start": {}}, {"ticks": 1}]})");
    const nlohmann::json& state = runner.States().back();
    EXPECT_EQ(ReportLine(state, "Total RAM"), "Total RAM               =  16777216.00 MB");
    EXPECT_EQ(ReportLine(state, "   Available"), "   Available            =     4096.00 MB [zero+free+standby] (0%)");
    // (2^32 + 1 - 2^20) pages: 16773120 MB and 4 KiB.
    EXPECT_EQ(ReportLine(state, "   Used"), "   Used                 =  16773120.00 MB [Kernel+Process WS] (100%)");
    // The chart's 32-bit page count holds at its largest: 2^32 - 1 pages.
    EXPECT_DOUBLE_EQ(runner.Dialog()->m_pRamChart->m_dMax, 4294967295.0 / 256.0);
}

TEST(EdgeFigures, TwoPagingFilesWithTheirNamesBetweenTheEntries) {
    // 25600 + 512 pages of 4 KiB in use: 102 MB.
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"pageFiles": {"names": "afterEachEntry", "files": [
                              {"name": "\\??\\C:\\pagefile.sys", "totalPages": 262144, "pagesInUse": 25600},
                              {"name": "\\??\\D:\\pagefile.sys", "totalPages": 65536, "pagesInUse": 512}]}},
                            "steps": [{"start": {}}]})");
    EXPECT_EQ(ReportLine(runner.States().back(), "PageFile InUse"), "PageFile InUse    =      102.00 MB");
}

// An 8 GiB machine in pages of 16 KiB: 524288 pages. Available 131072
// pages (2 GiB) = zeroed 1024 + free 2048 + standby 32768 (P2) + 95232 (P5).
constexpr const char* kSixteenKiBMachine = R"({"machine": {
    "memoryStatus": {"record": {"ullTotalPhys": 8589934592}},
    "basic": {"record": {"PageSize": 16384}},
    "systemInfo": {"record": {"dwPageSize": 16384}},
    "performance": {"record": {"AvailablePages": 131072, "ResidentSystemCachePage": 4096,
                               "ResidentPagedPoolPage": 1024, "NonPagedPoolPages": 2048, "CcLazyWritePages": 64}},
    "memoryList": {"record": {"ZeroPageCount": 1024, "FreePageCount": 2048, "ModifiedNoWritePageCount": 64,
                              "BadPageCount": 1, "PageCountByPriority": [0, 0, 32768, 0, 0, 95232, 0, 0]}},
    "fileCache": {"record": {"CurrentSize": 134217728, "MinimumWorkingSet": 64, "MaximumWorkingSet": 65536}},
    "pageFiles": {"files": [{"name": "\\??\\C:\\pagefile.sys", "totalPages": 131072, "pagesInUse": 8192}]},
    "cacheLimits": {"functions": true, "flags": 5},
    "counters": {"paths": {"\\Memory\\Free & Zero Page List Bytes": {"value": 50331648},
                           "\\Memory\\Modified Page List Bytes": {"value": 8388608}}},
    "processes": {"list": [{"pid": 0, "name": ""},
                           {"pid": 4, "name": "System", "workingSet": 16777216},
                           {"pid": 2345, "name": "Memory Compression", "workingSet": 33554432},
                           {"pid": 4444, "name": "Palisk.exe"}]}},
  "steps": [{"start": {}}, {"ticks": 1}]})";

TEST(EdgeFigures, SixteenKibibytePagesGiveTheSameBytesInTheReport) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, kSixteenKiBMachine);
    const nlohmann::json& s = runner.States().back();
    EXPECT_EQ(ReportLine(s, "Total RAM"), "Total RAM               =     8192.00 MB");
    // One bad page: 16 KiB, 0.015625 MB.
    EXPECT_EQ(ReportLine(s, "   Bad RAM"), "   Bad RAM Detected     =        0.01 MB [bad]               (0%)");
    EXPECT_EQ(ReportLine(s, "   Available"), "   Available            =     2048.00 MB [zero+free+standby] (25%)");
    EXPECT_EQ(ReportLine(s, "      Zeroed List"), "      Zeroed List       =       16.00 MB [zero]    (0%)");
    EXPECT_EQ(ReportLine(s, "      Free List"), "      Free List         =       32.00 MB [free]    (0%)");
    // 2048 MB available less 48 MB free and zeroed: 2000 MB, 24.4 %.
    EXPECT_EQ(ReportLine(s, "      StandbyList Totals"), "      StandbyList Totals=     2000.00 MB [standby] (24%)");
    EXPECT_EQ(ReportLine(s, "         Standby List P2"),
              "         Standby List P2=      512.00 MB [\"Low Priority\"]       (6%)");
    EXPECT_EQ(ReportLine(s, "         Standby List P5"),
              "         Standby List P5=     1488.00 MB [\"Normal Priority\"]    (18%)");
    EXPECT_EQ(ReportLine(s, "   Used"), "   Used                 =     6144.00 MB [Kernel+Process WS] (75%)");
    EXPECT_EQ(ReportLine(s, "      Mod-NoWritePages"), "      Mod-NoWritePages  =        1.00 MB [modifiedNW]");
    EXPECT_EQ(ReportLine(s, "      Cache WS "), "      Cache WS          =       64.00 MB [working set]");
    EXPECT_EQ(ReportLine(s, "Cache WS Min"), "Cache WS Min      =        1.00 MB ENABLED [working set min]");
    EXPECT_EQ(ReportLine(s, "Cache WS Max"), "Cache WS Max      =     1024.00 MB ENABLED [working set max]");
    EXPECT_EQ(ReportLine(s, "Cache LazyWriteByt"), "Cache LazyWriteByt=        1.00 MB [Lazy Write Bytes]");
    EXPECT_EQ(ReportLine(s, "PageFile InUse"), "PageFile InUse    =      128.00 MB");
    EXPECT_EQ(ReportLine(s, "PagedPool In RAM"), "PagedPool In RAM  =       16.00 MB");
    EXPECT_EQ(ReportLine(s, "NonPagedPool"), "NonPagedPool      =       32.00 MB");
}

TEST(EdgeFigures, SixteenKibibytePagesGiveTheRamChartItsTrueScale) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, kSixteenKiBMachine);
    CPaliskDlg& dialog = *runner.Dialog();
    CDUVudovCtrl& chart = *dialog.m_pRamChart;
    ASSERT_EQ(chart.m_nTraceCount, 18);
    EXPECT_DOUBLE_EQ(chart.m_dMax, 8192.0);
    // Legend texts in bytes: the bands of the report's figures.
    EXPECT_EQ(LegendText(dialog, 4), "      64.00 MB");    // Cache WS
    EXPECT_EQ(LegendText(dialog, 2), "       8.00 MB");    // ModifiedWrite
    EXPECT_EQ(LegendText(dialog, 5), "      16.00 MB");    // System WS
    EXPECT_EQ(LegendText(dialog, 6), "      32.00 MB");    // Compressed
    EXPECT_EQ(LegendText(dialog, 9), "    1488.00 MB");    // Sby Normal (P5)
    EXPECT_EQ(LegendText(dialog, 12), "     512.00 MB");   // Sby Low (P2)
    EXPECT_EQ(LegendText(dialog, 15), "      32.00 MB");   // Free
    EXPECT_EQ(LegendText(dialog, 16), "      16.00 MB");   // Zeroed
    EXPECT_EQ(LegendText(dialog, 17), "       0.01 MB");   // Bad: one page of 16 KiB
    // Used 6144 MB; the six named used parts take 8 + 1 + 64 + 16 + 32 MB.
    EXPECT_EQ(LegendText(dialog, 0), "    6023.00 MB");
    // Up to the zeroed band the stack holds every page: 8192 MB.
    EXPECT_DOUBLE_EQ(chart.m_dPrevious[16], 8192.0);
    EXPECT_DOUBLE_EQ(chart.m_dPrevious[14], 6144.0 + 2000.0);
}

TEST(EdgeFigures, AMemoryCompressionIdThatNamesAnotherProcessReadsNothing) {
    // The memory compression process exits and its id goes to another
    // process: the report must not show that process's 500 MB.
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"machine": {"processes": {"list": [
                              {"pid": 0, "name": ""},
                              {"pid": 4, "name": "System", "workingSet": 16777216},
                              {"pid": 2345, "name": "Memory Compression", "creationTime": "2026-01-01T00:00:20Z",
                               "workingSet": 33554432},
                              {"pid": 4444, "name": "Palisk.exe"}]}},
                            "steps": [{"start": {}}, {"ticks": 1},
                                      {"machine": {"processes": {"remove": [2345]}}},
                                      {"machine": {"processes": {"update": [
                                        {"pid": 2345, "name": "other.exe", "creationTime": "2026-01-01T02:00:00Z",
                                         "workingSet": 524288000}]}}},
                                      {"ticks": 1}]})");
    const auto& s = runner.States();
    EXPECT_EQ(ReportLine(s[1], "      Memory Compression"),
              "      Memory Compression=       32.00 MB [working set]    (0%)");
    EXPECT_EQ(ReportLine(s.back(), "      Memory Compression"),
              "      Memory Compression=        0 Bytes [working set]    (0%)");
}

}  // namespace
