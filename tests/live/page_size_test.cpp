// A computer of 64 KiB pages (as many ARM servers run), from its saved
// kernel files: the live machine counts in that page size, and every figure
// the main dialog shows agrees with /proc/meminfo. The expected texts are
// worked out by hand from meminfo_64k_pages.txt:
//
//   MemTotal 33554432 kB = 32768 MB = 524288 pages of 64 KiB
//   MemFree 8388608 kB = 8192 MB; Dirty 65536 kB = 64 MB (modified)
//   Inactive(file) 5242880 kB less the 64 MB dirty = 5056 MB (standby P2)
//   Active(file) 6291456 kB = 6144 MB (standby P5)
//   available = 8192 + 5056 + 6144 = 19392 MB; used 13376 MB
//   Shmem 1048576 kB = 1024 MB (Cache WS); HardwareCorrupted 64 kB (bad)
//   SUnreclaim + KernelStack + PageTables + Percpu = 768 MB (non-paged)

#include "app/palisk_dlg.h"
#include "charts/duvudov_ctrl.h"
#include "host/live_linux_machine.h"
#include "host/machine.h"
#include "host/system_services.h"
#include "host/user.h"
#include "program_resources.h"
#include "widgets/static_fader.h"

#include <gtest/gtest.h>
#include <nt/system_information.h>

#include "live/fake_tree.h"

#include <memory>
#include <string>

namespace {

using live_test::FakeTree;

constexpr std::uint64_t kPage = 65536;

void LayOut64KiBSystem(const FakeTree& tree) {
    tree.CopyFixture("proc/meminfo", "meminfo_64k_pages.txt");
    tree.CopyFixture("proc/vmstat", "vmstat_64k_pages.txt");
    tree.CopyFixture("proc/swaps", "swaps_none.txt");
    tree.CopyFixture("proc/stat", "proc_stat.txt");
    tree.Write("proc/self/status", "Name:\tpalisk\nUid:\t1000\t1000\t1000\t1000\nCapEff:\t0\n");
    tree.Write("proc/self/statm", "64 16 8 1 0 8 0\n");
    tree.Write("sys/devices/system/cpu/online", "0-1\n");
    for (int cpu = 0; cpu < 2; ++cpu) {
        const std::string dir = "sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/topology/";
        tree.Write(dir + "core_cpus_list", std::to_string(cpu) + "\n");
        tree.Write(dir + "package_cpus_list", "0-1\n");
    }
}

class SixtyFourKiBPages : public ::testing::Test {
protected:
    void SetUp() override {
        LayOut64KiBSystem(tree);
        machine = std::make_unique<host::LiveLinuxMachine>(host::LinuxRoots{tree.Proc(), tree.Sys(), kPage});
        host::SetActiveMachine(machine.get());
    }
    void TearDown() override {
        if (dialog && dialog->GetSafeHwnd() != nullptr) dialog->DestroyWindow();
        dialog.reset();
        host::user::ProcessEvents();
        AfxUnlockTempMaps();
        host::SetActiveMachine(nullptr);
    }

    // The main dialog on this machine, after a first refresh that feeds the
    // RAM chart (start-up's own is followed by the panel switch, which
    // rebuilds the chart).
    void StartDialog() {
        host::RegisterProgramResources();
        dialog = std::make_unique<CPaliskDlg>();
        ASSERT_TRUE(dialog->Create(IDD_PALISK_DIALOG));
        ASSERT_EQ(dialog->m_nRefreshCount, 0);
        dialog->RefreshMemoryInfo();
    }
    std::string ReportLine(const std::wstring& label) const {
        CString text;
        dialog->m_stReport.GetWindowText(text);
        const std::wstring report(text.GetString());
        const auto start = report.find(label);
        if (start == std::wstring::npos) return "<missing>";
        const std::wstring line = report.substr(start, report.find(L'\n', start) - start);
        return std::string(line.begin(), line.end());
    }
    std::string Legend(int trace) const {
        const CStaticFader* label = dialog->m_pRamLegend[trace];
        if (label == nullptr) return "<none>";
        const std::wstring text(label->m_strText.GetString());
        return std::string(text.begin(), text.end());
    }

    FakeTree tree;
    std::unique_ptr<host::LiveLinuxMachine> machine;
    std::unique_ptr<CPaliskDlg> dialog;
};

TEST_F(SixtyFourKiBPages, TheRecordsCountInTheKernelsPageSize) {
    host::SystemServices* system = machine->System();
    nt::SYSTEM_BASIC_INFORMATION basic{};
    ASSERT_EQ(system->QuerySystemInformation(SystemBasicInformation, &basic, sizeof basic).status, STATUS_SUCCESS);
    EXPECT_EQ(basic.PageSize, 65536u);
    EXPECT_EQ(basic.NumberOfPhysicalPages, 524288u);
    nt::SYSTEM_MEMORY_LIST_INFORMATION list{};
    ASSERT_EQ(system->QuerySystemInformation(nt::SystemMemoryListInformation, &list, sizeof list).status,
              STATUS_SUCCESS);
    EXPECT_EQ(list.FreePageCount, 131072u);
    EXPECT_EQ(list.ModifiedPageCount, 1024u);
    EXPECT_EQ(list.BadPageCount, 1u);
    EXPECT_EQ(list.PageCountByPriority[2], 80896u);
    EXPECT_EQ(list.PageCountByPriority[5], 98304u);
    EXPECT_EQ(list.RepurposedPagesByPriority[2], 69000u);  // pgsteal_file, already in pages
    nt::SYSTEM_PERFORMANCE_INFORMATION performance{};
    ASSERT_EQ(system->QuerySystemInformation(SystemPerformanceInformation, &performance, sizeof performance).status,
              STATUS_SUCCESS);
    EXPECT_EQ(performance.AvailablePages, 310272u);
    EXPECT_EQ(performance.ResidentSystemCachePage, 16384u);
    EXPECT_EQ(performance.NonPagedPoolPages, 12288u);
    EXPECT_EQ(performance.PageReadCount, 300u);  // pswpin
}

TEST_F(SixtyFourKiBPages, TheReportAgreesWithMeminfo) {
    StartDialog();
    EXPECT_EQ(ReportLine(L"Total RAM"), "Total RAM               =    32768.00 MB");
    // 64 KiB is 0.0625 MB: hundredths truncate to 06.
    EXPECT_EQ(ReportLine(L"   Bad RAM"), "   Bad RAM Detected     =        0.06 MB [bad]               (0%)");
    EXPECT_EQ(ReportLine(L"   Available"), "   Available            =    19392.00 MB [zero+free+standby] (59%)");
    EXPECT_EQ(ReportLine(L"      Free List"), "      Free List         =     8192.00 MB [free]    (25%)");
    EXPECT_EQ(ReportLine(L"      StandbyList Totals"), "      StandbyList Totals=    11200.00 MB [standby] (34%)");
    EXPECT_EQ(ReportLine(L"         Standby List P2"),
              "         Standby List P2=     5056.00 MB [\"Low Priority\"]       (15%)");
    EXPECT_EQ(ReportLine(L"         Standby List P5"),
              "         Standby List P5=     6144.00 MB [\"Normal Priority\"]    (18%)");
    EXPECT_EQ(ReportLine(L"   Used"), "   Used                 =    13376.00 MB [Kernel+Process WS] (41%)");
    EXPECT_EQ(ReportLine(L"      ModifiedPages"), "      ModifiedPages     =       64.00 MB [modified]");
    EXPECT_EQ(ReportLine(L"      Cache WS "), "      Cache WS          =     1024.00 MB [working set]");
    EXPECT_EQ(ReportLine(L"NonPagedPool"), "NonPagedPool      =      768.00 MB");
}

TEST_F(SixtyFourKiBPages, TheRamChartAgreesWithMeminfo) {
    StartDialog();
    CDUVudovCtrl& chart = *dialog->m_pRamChart;
    ASSERT_EQ(chart.m_nTraceCount, 18);
    EXPECT_DOUBLE_EQ(chart.m_dMax, 32768.0);
    EXPECT_EQ(Legend(12), "    5056.00 MB");  // Sby Low (P2)
    EXPECT_EQ(Legend(9), "    6144.00 MB");   // Sby Normal (P5)
    EXPECT_EQ(Legend(15), "    8192.00 MB");  // Free
    EXPECT_EQ(Legend(4), "    1024.00 MB");   // Cache WS
    EXPECT_EQ(Legend(2), "      64.00 MB");   // ModifiedWrite
    EXPECT_EQ(Legend(17), "       0.06 MB");  // Bad
    // The kernel's own memory: 768 MB it cannot give back and KReclaimable
    // 640 MB; Other Used is the rest of the 13376 MB used.
    EXPECT_EQ(Legend(5), "    1408.00 MB");   // System WS
    EXPECT_EQ(Legend(0), "   10880.00 MB");   // Other Used: 13376 - 64 - 1024 - 1408
    // Used, standby, free and zeroed: every page, up to 32768 MB.
    EXPECT_DOUBLE_EQ(chart.m_dPrevious[16], 32768.0);
}

}  // namespace
