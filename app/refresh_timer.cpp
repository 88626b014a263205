// The refresh timer and the buttons that start, stop and take a refresh.

#include "app/palisk_dlg.h"

void CPaliskDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != m_nTimer) return;
    // A message box shown by a refresh runs a nested message loop in which
    // ticks keep arriving; a refresh taken there would show the same box
    // again, one more each second. Ticks that arrive while such a box is
    // open take no refresh.
    if (m_nOpenRefreshMessages > 0) return;
    RefreshMemoryInfo();
    ++m_nRefreshCount;
}

void CPaliskDlg::OnBnClickedAutoStart() {
    m_nTimer = SetTimer(REFRESH_TIMER_ID, m_nTimerInterval, nullptr);
    if (m_nTimer == 0) MessageBox(L"Error Setting Timer", L"Test_DUVudov", MB_OK);
    m_btnAutoStart.EnableWindow(FALSE);
    m_btnAutoStop.EnableWindow(TRUE);
}

void CPaliskDlg::OnBnClickedAutoStop() {
    KillTimer(m_nTimer);
    m_btnAutoStart.EnableWindow(TRUE);
    m_btnAutoStop.EnableWindow(FALSE);
}

void CPaliskDlg::OnBnClickedRefresh() { RefreshMemoryInfo(); }

int CPaliskDlg::ShowRefreshMessage(LPCWSTR text, LPCWSTR caption) {
    ++m_nOpenRefreshMessages;
    const int answer = MessageBox(text, caption, MB_OK);
    --m_nOpenRefreshMessages;
    return answer;
}
