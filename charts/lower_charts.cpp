// The two lower charts of the main dialog, built once in the same place:
// the cache read chart (hits and misses per period, on a scale that grows
// at once and shrinks slowly) and the page file chart (bytes read, written
// and the rest of the bytes in use, top-down, with a three-label legend).

#include "app/palisk_dlg.h"
#include "charts/chart_legend.h"
#include "charts/chart_placement.h"
#include "charts/duvudov_ctrl.h"
#include "charts/read_scale.h"
#include "report/value_format.h"
#include "widgets/static_fader.h"

#include <new>

namespace {

constexpr COLORREF kCanvas = RGB(0, 0, 32);
constexpr COLORREF kGrid = RGB(192, 192, 255);
constexpr double kBytesPerMegabyte = 1048576.0;

struct PageFileTrace {
    const wchar_t* name;
    COLORREF trace;
    COLORREF legendText;
};
constexpr PageFileTrace kPageFileTraces[kPageFileTraceCount] = {
    {L"Read", RGB(255, 0, 0), RGB(255, 255, 255)},
    {L"Stable", RGB(0, 0, 255), RGB(255, 255, 255)},
    {L"Write", RGB(0, 255, 0), RGB(255, 255, 255)},
};

RECT DialogRectInClient(CWnd& dialog) {
    RECT rect{};
    dialog.GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
    return rect;
}

// Moves a title so that it stands 16 pixels above a chart, keeping its
// horizontal place, size and z-order.
void PlaceTitleAbove(CWnd& dialog, CWnd& title, int chartTop) {
    if (title.GetSafeHwnd() == nullptr) return;
    RECT rect{};
    title.GetWindowRect(&rect);
    dialog.ScreenToClient(&rect);
    title.SetWindowPos(nullptr, rect.left, chartTop - 16, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CString RefreshCaption(UINT interval) {
    CString caption;
    caption.Format(L"Displayed each: %d msec", interval);
    return caption;
}

}  // namespace

void CPaliskDlg::BuildReadChart(double widthFraction, double heightFraction) {
    delete m_pReadChart;  // built once; a second build replaces the first
    m_pReadChart = new (std::nothrow) CDUVudovCtrl();
    if (m_pReadChart == nullptr) return;
    const RECT dialogRect = DialogRectInClient(*this);
    const chart_placement::ChartSize size = chart_placement::SizeFor(dialogRect, widthFraction, heightFraction);
    // The read chart's bottom margin is not scaled with the display.
    const RECT chartRect = chart_placement::LowerChartRect(dialogRect, dialogRect.bottom - 46, size);
    PlaceTitleAbove(*this, m_stCacheTitle, chartRect.top);
    m_pReadChart->Create(WS_CHILD | WS_VISIBLE, chartRect, this, 0);

    m_pReadChart->SetYCaption(L"Reads/period");
    m_pReadChart->SetXCaption(RefreshCaption(m_nTimerInterval));
    m_pReadChart->SetCanvasColor(kCanvas);
    m_pReadChart->SetGridColor(kGrid);
    m_pReadChart->SetGridLabelCount(4);
    m_pReadChart->SetTraceCount(3);
    m_pReadChart->SetTraceColor(0, RGB(0, 255, 0));
    m_pReadChart->SetTraceColor(1, RGB(255, 0, 0));
    m_pReadChart->SetTraceColor(2, kCanvas);  // an invisible band up to the top of the scale

    m_nReadScaleMax = 100;
    m_nReadLowCount = 0;
    m_pReadChart->SetValueRange(0, 100);
}

void CPaliskDlg::BuildPageFileChart(double widthFraction, double heightFraction) {
    delete m_pPageFileChart;
    for (CStaticFader*& label : m_pPageFileLegend) {
        delete label;
        label = nullptr;
    }
    m_pPageFileChart = new (std::nothrow) CDUVudovCtrl();
    if (m_pPageFileChart == nullptr) return;
    const RECT dialogRect = DialogRectInClient(*this);
    const chart_placement::ChartSize size = chart_placement::SizeFor(dialogRect, widthFraction, heightFraction);
    const int bottom = static_cast<int>(dialogRect.bottom - 46 * m_dDpiScale);
    const RECT chartRect = chart_placement::LowerChartRect(dialogRect, bottom, size);
    PlaceTitleAbove(*this, m_stPageFileTitle, chartRect.top);

    for (int i = 0; i < kPageFileTraceCount; ++i) {
        m_crPageFileTrace[i] = kPageFileTraces[i].trace;
        m_crPageFileLegendText[i] = kPageFileTraces[i].legendText;
        m_strPageFileTraceName[i] = kPageFileTraces[i].name;
    }

    m_pPageFileChart->Create(WS_CHILD | WS_VISIBLE, chartRect, this, 0);
    m_pPageFileChart->SetTopDown(true);
    m_pPageFileChart->SetYCaption(L"MB");
    m_pPageFileChart->SetXCaption(RefreshCaption(m_nTimerInterval));
    m_pPageFileChart->SetCanvasColor(kCanvas);
    m_pPageFileChart->SetGridColor(kGrid);
    m_pPageFileChart->SetGridLabelCount(6);
    m_pPageFileChart->SetTraceCount(kPageFileTraceCount);
    m_nPageFileScaleMax = 5120;
    m_pPageFileChart->SetValueRange(0, static_cast<double>(m_nPageFileScaleMax));

    // "Read" is the top label, beside the top band of the top-down chart.
    const chart_placement::LegendSlots slots = chart_placement::PageFileLegend(chartRect, size.height, m_dDpiScale);
    RECT labelRect = slots.first;
    for (int i = 0; i < kPageFileTraceCount; ++i) {
        m_pPageFileChart->SetTraceColor(i, m_crPageFileTrace[i]);
        m_pPageFileLegend[i] = CreateLegendLabel(this, &m_fontLabel, labelRect, m_strPageFileTraceName[i],
                                                 m_crPageFileTrace[i], m_crPageFileLegendText[i]);
        OffsetRect(&labelRect, 0, slots.step);
    }
}

void CPaliskDlg::FeedReadChart(ULONGLONG hits, ULONGLONG misses) {
    if (m_pReadChart == nullptr) return;
    const read_chart::ScaleChange change = read_chart::UpdateScale(hits, &m_nReadScaleMax, &m_nReadLowCount);
    if (change != read_chart::ScaleChange::None) {
        m_pReadChart->SetValueRange(0, static_cast<double>(m_nReadScaleMax));
        m_pReadChart->SendMessage(WM_SETREDRAW, TRUE, 0);
    }
    double values[3];
    read_chart::SampleValues(hits, misses, m_nReadScaleMax, values);
    m_pReadChart->AddSample(values);
}

void CPaliskDlg::FeedPageFileChart(ULONGLONG readBytes, ULONGLONG remainderBytes, ULONGLONG writtenBytes) {
    const ULONGLONG bytes[kPageFileTraceCount] = {readBytes, remainderBytes, writtenBytes};
    for (int i = 0; i < kPageFileTraceCount; ++i) {
        CString text;
        AppendBytes(text, bytes[i]);
        if (m_pPageFileLegend[i] != nullptr) m_pPageFileLegend[i]->SetTexts(text, m_strPageFileTraceName[i]);
    }
    if (m_pPageFileChart == nullptr) return;
    double values[kPageFileTraceCount];
    double sum = 0.0;
    for (int i = 0; i < kPageFileTraceCount; ++i) {
        sum += static_cast<double>(bytes[i]) / kBytesPerMegabyte;
        values[i] = sum;
    }
    m_pPageFileChart->AddSample(values);
}
