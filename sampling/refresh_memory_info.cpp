// One refresh: fill a memory sample from the kernel in a fixed order, then
// write the report and feed the charts at their places.

#include "app/palisk_dlg.h"

#include "kernel/kernel_if.h"
#include "report/lower_panels.h"
#include "report/memory_usage_panel.h"
#include "sampling/pdh_collection.h"
#include "sampling/prefetcher.h"
#include "sampling/sample_queries.h"

namespace {

// Whole pages of the machine's page size in a byte count.
ULONGLONG Pages(ULONGLONG bytes, ULONG pageSize) { return pageSize ? bytes / pageSize : 0; }
ULONGLONG Pages(LONGLONG bytes, ULONG pageSize) {
    return bytes > 0 ? Pages(static_cast<ULONGLONG>(bytes), pageSize) : 0;
}

// The three byte counts of the page-file chart: read and written since the
// last refresh, and the rest of the paging file in use.
struct PageFileTraffic {
    ULONGLONG read = 0, remainder = 0, written = 0;
};

PageFileTraffic TrafficSince(const MemorySample& sample, const nt::SYSTEM_PERFORMANCE_INFORMATION& before) {
    PageFileTraffic t;
    if (before.DirtyPagesWriteCount != 0 || before.PageReadCount != 0) {
        t.written = static_cast<ULONGLONG>(static_cast<ULONG>(sample.performance.DirtyPagesWriteCount -
                                                              before.DirtyPagesWriteCount)) * sample.pageSize;
        t.read = static_cast<ULONGLONG>(static_cast<ULONG>(sample.performance.PageReadCount - before.PageReadCount)) *
                 sample.pageSize;
    }
    const ULONGLONG moved = t.read + t.written;
    t.remainder = sample.pageFileInUseBytes > moved ? sample.pageFileInUseBytes - moved : 0;
    return t;
}

}  // namespace

void CPaliskDlg::RefreshMemoryInfo() {
    if (m_pKernelIf == nullptr) {
        m_stReport.SetWindowText(L"ERROR: Unable to Access Kernel Information");
        return;
    }
    MemorySample sample;
    QuerySystemRecords(*m_pKernelIf, sample);

    bool opened = false;
    sample.systemProcessStatus = QueryProcessCounters(*m_pKernelIf, 4, 0, &sample.systemProcess, &opened);
    if (m_nTargetIndex > 0 && m_pTargetPids && m_nTargetIndex <= m_astrTargetNames.GetSize()) {
        const int entry = m_nTargetIndex - 1;
        sample.targetStatus = QueryProcessCounters(*m_pKernelIf, m_pTargetPids[entry],
                                                   m_pTargetCreationTimes ? m_pTargetCreationTimes[entry] : 0,
                                                   &sample.target, &opened);
        if (!opened) {
            // The target has gone (or its id now names another process).
            m_cbTargetProcess.SetCurSel(0);
            m_cbTargetProcess.Invalidate(TRUE);
            m_cbTargetProcess.UpdateWindow();
            UpdateData(TRUE);
        }
    }
    if (m_nMemCompressionPid > 0)
        sample.compressionStatus =
            QueryProcessCounters(*m_pKernelIf, static_cast<DWORD>(m_nMemCompressionPid),
                                 m_nMemCompressionCreationTime, &sample.compression, &opened);

    if (m_bPdhReady) {
        const CounterHandles handles{m_hPdhQuery,         m_hCounterFreeZero,      m_hCounterModified,
                                     m_hCounterStandbyCore, m_hCounterStandbyNormal, m_hCounterStandbyReserve};
        if (!CollectCounters(handles, &sample.counters)) ShowRefreshMessage(L" pdh collect data fail", L"Error");
    }
    sample.superFetchSetting = ReadSuperFetchSetting();
    sample.sysMainRunning = IsSysMainRunning();
    DeriveFigures(sample);

    if (sample.memoryListStatus < 0) {
        CString message;
        message.Format(L"SF Err=ox%x needed=0x%x", static_cast<unsigned>(sample.memoryListStatus),
                       sample.memoryListReturnLength);
        ShowRefreshMessage(message, L"Unknown Palisk Error");
    }
    if (m_pfnGetSystemFileCacheSize) {
        SIZE_T minimum = 0, maximum = 0;
        sample.cacheSizeFlagsObtained = m_pfnGetSystemFileCacheSize(&minimum, &maximum, &sample.cacheSizeFlags) != 0;
    }
    if (sample.basicStatus < 0 || sample.fileCacheStatus < 0 || sample.performanceStatus < 0) return;
    // Without a good record from an earlier refresh (every one so far has
    // failed) this is a first refresh: no differences against zeros, and
    // the RAM chart takes its range.
    if (!m_bPrevPerfKept) m_nRefreshCount = 0;

    // ---- the report and the chart feeds ----
    m_stHeading.SetWindowText(ReportHeading());
    CString body;
    const ReportContext context{m_bPdhReady, m_nRefreshCount, m_nMemCompressionPid, &m_prevPerfInfo};
    AppendMemoryUsageUpper(body, sample, context);

    // The RAM chart counts 4096-byte pages; the machine's own may be larger.
    const ULONG pageSize = sample.pageSize;
    const auto chart = [pageSize](ULONGLONG pages) { return ChartPageCount(pages, pageSize); };
    const auto chartBytes = [&](auto bytes) { return chart(Pages(bytes, pageSize)); };
    const CounterFigures& c = sample.counters;
    if (sample.memoryListStatus < 0) {
        FeedRamChartBasic(chart(sample.performance.AvailablePages), chart(sample.physicalPages),
                          chart(sample.performance.ResidentSystemCachePage), chartBytes(sample.fileCache.CurrentSize),
                          chartBytes(c.standbyCoreBytes), chartBytes(c.standbyNormalPriorityBytes),
                          chartBytes(c.standbyReserveBytes));
    } else {
        ULONG standby[8];
        for (int p = 0; p < 8; ++p) standby[p] = chart(sample.memoryList.PageCountByPriority[p]);
        FeedRamChart(chart(sample.performance.AvailablePages), chart(sample.physicalPages), chart(sample.badPages),
                     chartBytes(sample.target.WorkingSetSize), chartBytes(sample.systemProcess.WorkingSetSize),
                     chartBytes(sample.compression.WorkingSetSize), chart(sample.performance.ResidentSystemCachePage),
                     chartBytes(sample.fileCache.CurrentSize), chart(sample.zeroedPages), chart(sample.freePages),
                     chartBytes(c.modifiedBytes), chart(sample.memoryList.ModifiedNoWritePageCount), standby);
    }
    AppendMemoryUsageLower(body, sample, context);

    if (m_bShowCacheEffectiveness) {
        CacheReadTotals delta;
        if (AppendCacheEffectivenessPanel(body, sample.performance, m_prevPerfInfo, m_nRefreshCount, &delta))
            FeedReadChart(delta.hits, delta.misses);
    } else {
        AppendStandbyRepurposingPanel(body, sample, m_prevRepurposed, m_prevTransitionCount, m_prevDemandZeroCount);
    }
    if (sample.pageFileStatus >= 0) {
        const PageFileTraffic traffic = TrafficSince(sample, m_prevPerfInfo);
        FeedPageFileChart(traffic.read, traffic.remainder, traffic.written);
    }
    m_stReport.SetWindowText(body);
    m_prevPerfInfo = sample.performance;
    m_bPrevPerfKept = true;
}
