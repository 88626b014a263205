// The three panel toggles of the main dialog and its size handler. One of
// three panels is shown below the RAM chart: the page file chart, the cache
// read chart, or none (the RAM chart then grows into that space). Three
// buttons share one place; exactly one is visible, and pressing it moves to
// the next panel: page file → cache effectiveness → standby repurposing.

#include "app/palisk_dlg.h"
#include "charts/duvudov_ctrl.h"
#include "widgets/static_fader.h"

namespace {

constexpr double kRamHeightWithLowerChart = 0.5;
constexpr double kRamHeightAlone = 0.84;

void Show(CWnd* window, int command) {
    if (window != nullptr && window->GetSafeHwnd() != nullptr) window->ShowWindow(command);
}

void ShowPageFilePanel(CPaliskDlg& dialog, int command) {
    for (CStaticFader* label : dialog.m_pPageFileLegend) Show(label, command);
    Show(dialog.m_pPageFileChart, command);
    Show(&dialog.m_stPageFileTitle, command);
}

// Hides the read chart; its history is erased first, so that it starts
// empty when shown again.
void HideReadPanel(CPaliskDlg& dialog) {
    if (dialog.m_pReadChart != nullptr) dialog.m_pReadChart->RedrawGrid();
    Show(dialog.m_pReadChart, SW_HIDE);
    Show(&dialog.m_stCacheTitle, SW_HIDE);
}

}  // namespace

void CPaliskDlg::OnBnClickedShowRepurposed() {
    if (!m_bShowCacheEffectiveness) return;
    m_bShowCacheEffectiveness = false;
    m_bShowPageFile = false;
    Show(&m_btnShowPageFile, SW_SHOW);
    Show(&m_btnShowCacheEffectiveness, SW_HIDE);
    Show(&m_btnShowRepurposed, SW_HIDE);
    ShowPageFilePanel(*this, SW_HIDE);
    HideReadPanel(*this);
    RebuildRamChart(kRamHeightAlone);
}

void CPaliskDlg::OnBnClickedShowCacheEffectiveness() {
    if (m_bShowCacheEffectiveness) return;
    m_bShowCacheEffectiveness = true;
    m_bShowPageFile = false;
    Show(&m_btnShowPageFile, SW_HIDE);
    Show(&m_btnShowCacheEffectiveness, SW_HIDE);
    Show(&m_btnShowRepurposed, SW_SHOW);
    ShowPageFilePanel(*this, SW_HIDE);
    Show(m_pReadChart, SW_SHOW);
    Show(&m_stCacheTitle, SW_SHOW);
    RebuildRamChart(kRamHeightWithLowerChart);
}

void CPaliskDlg::OnBnClickedShowPageFile() {
    if (m_bShowPageFile) return;
    m_bShowCacheEffectiveness = false;
    m_bShowPageFile = true;
    Show(&m_btnShowPageFile, SW_HIDE);
    Show(&m_btnShowCacheEffectiveness, SW_SHOW);
    Show(&m_btnShowRepurposed, SW_HIDE);
    for (CStaticFader* label : m_pPageFileLegend) Show(label, SW_SHOW);
    HideReadPanel(*this);
    Show(m_pPageFileChart, SW_SHOW);
    Show(&m_stPageFileTitle, SW_SHOW);
    RebuildRamChart(kRamHeightWithLowerChart);
}

void CPaliskDlg::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    if (!m_bInitialized) return;
    const bool lowerChartShown = m_bShowCacheEffectiveness || m_bShowPageFile;
    RebuildRamChart(lowerChartShown ? kRamHeightWithLowerChart : kRamHeightAlone);
}
