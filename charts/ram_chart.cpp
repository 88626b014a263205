// The RAM usage chart of the main dialog: a stack of bands showing how
// physical memory is used, with a fading legend to its left.

#include "app/palisk_dlg.h"
#include "charts/chart_legend.h"
#include "charts/chart_placement.h"
#include "charts/chart_release.h"
#include "charts/duvudov_ctrl.h"
#include "charts/ram_chart_layout.h"
#include "report/value_format.h"
#include "widgets/static_fader.h"

#include <new>

namespace {

constexpr double kPagesPerMegabyte = 256.0;
constexpr ULONGLONG kPageSize = 4096;

// Fills the dialog's colour and name tables from a layout.
void TakeLayout(CPaliskDlg& dialog, const ram_chart::TraceStyle* layout, int count) {
    for (int t = 0; t < count; ++t) {
        dialog.m_crRamTrace[t] = layout[t].trace;
        dialog.m_crRamLegendText[t] = layout[t].legendText;
        dialog.m_strRamTraceName[t] = layout[t].name;
    }
}

// On a first refresh: the placeholder controls go and the range is set
// from the physical memory. Later feeds leave the range alone.
void BeginFeed(CPaliskDlg& dialog, ULONG physicalPages) {
    if (dialog.m_nRefreshCount != 0) return;
    dialog.m_stRamCaption.ShowWindow(SW_HIDE);
    dialog.m_progRam.ShowWindow(SW_HIDE);
    dialog.m_progCache.ShowWindow(SW_HIDE);
    dialog.m_stInfoBox.ShowWindow(SW_HIDE);
    dialog.m_pRamChart->SetValueRange(0, physicalPages / kPagesPerMegabyte);
}

// The layout the chart was built with; m_bPdhReady could have changed
// since, and the sample must match the chart's trace count.
bool BuiltWithFullLayout(const CDUVudovCtrl& chart) { return chart.m_nTraceCount == ram_chart::kFullTraceCount; }

}  // namespace

void CPaliskDlg::BuildRamChart(double widthFraction, double heightFraction) {
    // A chart still standing would be lost: it goes first.
    ReleaseRamChart(*this);
    m_pRamChart = new (std::nothrow) CDUVudovCtrl();
    if (m_pRamChart == nullptr) return;

    RECT dialogRect{}, progressRect{};
    GetWindowRect(&dialogRect);
    ScreenToClient(&dialogRect);
    m_progRam.GetWindowRect(&progressRect);
    ScreenToClient(&progressRect);
    const chart_placement::ChartSize size = chart_placement::SizeFor(dialogRect, widthFraction, heightFraction);
    const RECT chartRect = chart_placement::RamChartRect(dialogRect, progressRect.top, size);
    m_pRamChart->Create(WS_CHILD | WS_VISIBLE, chartRect, this, 0);

    CString caption;
    caption.Format(L"Displayed each: %d msec", m_nTimerInterval);
    m_pRamChart->SetYCaption(L"MB");
    m_pRamChart->SetXCaption(caption);
    m_pRamChart->SetCanvasColor(RGB(0, 0, 32));
    m_pRamChart->SetGridColor(RGB(192, 192, 255));
    m_pRamChart->SetGridLabelCount(6);

    const bool full = m_bPdhReady;
    const int count = full ? ram_chart::kFullTraceCount : ram_chart::kBasicTraceCount;
    TakeLayout(*this, full ? ram_chart::kFullLayout : ram_chart::kBasicLayout, count);
    m_pRamChart->SetTraceCount(count);

    // Labels run from the top of the stack down to trace 0, beside their bands.
    const chart_placement::LegendSlots slots =
        chart_placement::RamLegend(chartRect, size.height, m_dDpiScale, full);
    RECT labelRect = slots.first;
    for (int i = 0; i < count; ++i) {
        m_pRamChart->SetTraceColor(i, m_crRamTrace[i]);
        const int t = count - 1 - i;
        m_pRamLegend[t] = CreateLegendLabel(this, &m_fontLabel, labelRect, m_strRamTraceName[t], m_crRamTrace[t],
                                            m_crRamLegendText[t]);
        OffsetRect(&labelRect, 0, slots.step);
    }
}

void CPaliskDlg::RebuildRamChart(double heightFraction) {
    ReleaseRamChart(*this);
    m_nRefreshCount = 0;
    BuildRamChart(0.45, heightFraction);
}

void CPaliskDlg::FeedRamChart(ULONG availablePages, ULONG physicalPages, ULONG badPages, ULONG targetPages,
                              ULONG systemPages, ULONG compressionPages, ULONG cacheResidentPages,
                              ULONG cacheCurrentPages, ULONG zeroedPages, ULONG freePages, ULONG modifiedPages,
                              ULONG modifiedNoWritePages, const ULONG standbyPages[8]) {
    if (m_pRamChart == nullptr) return;
    BeginFeed(*this, physicalPages);
    if (!BuiltWithFullLayout(*m_pRamChart)) {
        double values[ram_chart::kBasicTraceCount];
        ram_chart::BasicValues(availablePages, physicalPages, cacheResidentPages, cacheCurrentPages, values);
        m_pRamChart->AddSample(values);
        return;
    }

    ram_chart::PageFigures figures;
    figures.available = availablePages;
    figures.physical = physicalPages;
    figures.bad = badPages;
    figures.targetWs = targetPages;
    figures.systemWs = systemPages;
    figures.compressionWs = compressionPages;
    figures.cacheResident = cacheResidentPages;
    figures.zeroed = zeroedPages;
    figures.free = freePages;
    figures.modified = modifiedPages;
    figures.modifiedNoWrite = modifiedNoWritePages;
    for (int priority = 0; priority < 8 && standbyPages != nullptr; ++priority) {
        figures.standby[priority] = standbyPages[priority];
    }
    ULONGLONG bands[ram_chart::kFullTraceCount];
    ram_chart::FullBands(figures, bands);

    for (int t = 0; t < ram_chart::kFullTraceCount; ++t) {
        CString text;
        AppendBytes(text, bands[t] * kPageSize);
        if (m_pRamLegend[t] != nullptr) m_pRamLegend[t]->SetTexts(text, m_strRamTraceName[t]);
    }
    double values[ram_chart::kFullTraceCount];
    ram_chart::StackMegabytes(bands, ram_chart::kFullTraceCount, values);
    m_pRamChart->AddSample(values);
}

void CPaliskDlg::FeedRamChartBasic(ULONG availablePages, ULONG physicalPages, ULONG cacheResidentPages,
                                   ULONG cacheCurrentPages, ULONG standbyCorePages, ULONG standbyNormalPages,
                                   ULONG standbyReservePages) {
    if (m_pRamChart == nullptr) return;
    BeginFeed(*this, physicalPages);
    if (BuiltWithFullLayout(*m_pRamChart)) {
        double values[ram_chart::kFullTraceCount];
        ram_chart::ReducedFullValues(availablePages, physicalPages, cacheResidentPages, standbyCorePages,
                                     standbyNormalPages, standbyReservePages, values);
        m_pRamChart->AddSample(values);
    } else {
        double values[ram_chart::kBasicTraceCount];
        ram_chart::BasicValues(availablePages, physicalPages, cacheResidentPages, cacheCurrentPages, values);
        m_pRamChart->AddSample(values);
    }
}
