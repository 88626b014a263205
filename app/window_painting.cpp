// Painting the minimised window, the drag icon and the About box.

#include "app/palisk_dlg.h"

#include "app/about_dlg.h"
#include "app/minimised_icon.h"

CPoint MinimisedIconPlace(const CRect& rcClient, int cxIcon, int cyIcon) {
    return CPoint((rcClient.Width() - cxIcon + 1) / 2, (rcClient.Height() - cyIcon + 1) / 2);
}

void DrawMinimisedIcon(CDC& dc, const CRect& rcClient, HICON hIcon) {
    const CPoint place = MinimisedIconPlace(rcClient, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(place.x, place.y, hIcon);
}

void CPaliskDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect rect;
    GetClientRect(&rect);
    DrawMinimisedIcon(dc, rect, m_hIcon);
}

HCURSOR CPaliskDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CPaliskDlg::OnBnClickedAbout() { ShowAboutBox(); }

void CPaliskDlg::ShowAboutBox() {
    CAboutDlg about(this);
    about.DoModal();
}
