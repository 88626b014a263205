#include "charts/chart_release.h"

#include "app/palisk_dlg.h"
#include "charts/duvudov_ctrl.h"
#include "widgets/static_fader.h"

namespace {
// The window goes before the object (the objects' destructors would also
// destroy a window still bound, but the order is then plain to see).
template <typename Window>
void Release(Window*& window) {
    if (window == nullptr) return;
    if (window->GetSafeHwnd() != nullptr) window->DestroyWindow();
    delete window;
    window = nullptr;
}
}  // namespace

void ReleaseRamChart(CPaliskDlg& dialog) {
    Release(dialog.m_pRamChart);
    for (CStaticFader*& label : dialog.m_pRamLegend) Release(label);
}

CChartRelease::~CChartRelease() {
    ReleaseRamChart(*m_pDialog);
    Release(m_pDialog->m_pReadChart);
    Release(m_pDialog->m_pPageFileChart);
    for (CStaticFader*& label : m_pDialog->m_pPageFileLegend) Release(label);
}
