// Painting the minimised window, the drag icon and the About box.

#include "app/palisk_dlg.h"

#include "app/about_dlg.h"

void CPaliskDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CPaliskDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CPaliskDlg::OnBnClickedAbout() { ShowAboutBox(); }

void CPaliskDlg::ShowAboutBox() {
    CAboutDlg about(this);
    about.DoModal();
}
