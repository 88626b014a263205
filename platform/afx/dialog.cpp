#include "afxwin.h"

#include "afx_state.h"

#include <commctrl.h>

using afx_internal::CurrentThreadState;
using afx_internal::ThreadState;

namespace {

// While a dialog is being created, its first message binds it (through
// AfxDlgProc). Restores what was being created before, for nesting.
class CreatingDialog {
public:
    CreatingDialog(ThreadState& state, CWnd* pDialog)
        : state_(state), outerWindow_(state.creatingWindow), outerDialog_(state.creatingDialog) {
        state_.creatingWindow = pDialog;
        state_.creatingDialog = true;
    }
    ~CreatingDialog() {
        state_.creatingWindow = outerWindow_;
        state_.creatingDialog = outerDialog_;
    }
    CreatingDialog(const CreatingDialog&) = delete;
    CreatingDialog& operator=(const CreatingDialog&) = delete;

private:
    ThreadState& state_;
    CWnd* outerWindow_;
    bool outerDialog_;
};

// Templates may hold common controls (the progress bar), whose window
// classes exist only once the common-controls library has registered them.
void RegisterCommonControls() {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
}

bool IsInputMessage(UINT message) {
    constexpr UINT kKeyFirst = 0x0100, kKeyLast = 0x0109;      // WM_KEYFIRST, WM_KEYLAST
    constexpr UINT kMouseFirst = 0x0200, kMouseLast = 0x020E;  // WM_MOUSEFIRST, WM_MOUSELAST
    return (message >= kKeyFirst && message <= kKeyLast) || (message >= kMouseFirst && message <= kMouseLast);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_pParentWnd(pParentWnd) {
    SetTemplateName(MAKEINTRESOURCEW(nIDTemplate));
}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd) : m_pParentWnd(pParentWnd) {
    SetTemplateName(lpszTemplateName);
}

void CDialog::SetTemplateName(LPCWSTR lpszTemplateName) {
    if (IS_INTRESOURCE(lpszTemplateName)) {
        m_lpszTemplateName = lpszTemplateName;
        m_nIDHelp = LOWORD(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
    } else {
        m_strTemplateName = lpszTemplateName;
        m_lpszTemplateName = m_strTemplateName.GetString();
    }
}

LPCDLGTEMPLATE CDialog::LoadTemplate() const {
    if (m_lpszTemplateName == nullptr) return m_lpDialogTemplate;
    const HINSTANCE hInstance = AfxGetResourceHandle();
    const HRSRC hResource = ::FindResourceW(hInstance, m_lpszTemplateName, RT_DIALOG);
    if (hResource == nullptr) return nullptr;
    const HGLOBAL hTemplate = ::LoadResource(hInstance, hResource);
    return hTemplate == nullptr ? nullptr : static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate));
}

// The given parent, else the application's main window (unless that is
// this dialog itself).
HWND CDialog::ModalOwner() const {
    if (m_pParentWnd != nullptr) return m_pParentWnd->m_hWnd;
    const CWnd* pMainWnd = AfxGetMainWnd();
    return pMainWnd == nullptr || pMainWnd == this ? nullptr : pMainWnd->m_hWnd;
}

// ---- modal --------------------------------------------------------------------------

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit) {
    if (lpDialogTemplate == nullptr) return FALSE;
    m_lpszTemplateName = nullptr;
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    m_lpDialogInit = lpDialogInit;
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    const LPCDLGTEMPLATE lpTemplate = LoadTemplate();
    ThreadState* state = CurrentThreadState();
    if (lpTemplate == nullptr || state == nullptr || m_hWnd != nullptr) return -1;
    RegisterCommonControls();
    INT_PTR result;
    {
        CreatingDialog creating(*state, this);
        result = ::DialogBoxIndirectParamW(AfxGetResourceHandle(), lpTemplate, ModalOwner(), &AfxDlgProc,
                                           reinterpret_cast<LPARAM>(this));
    }
    // The dialog manager has destroyed the window; WM_NCDESTROY unbound the
    // object, unless the window never got that far.
    if (m_hWnd != nullptr && !::IsWindow(m_hWnd)) Detach();
    return result;
}

// ---- modeless -----------------------------------------------------------------------

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd); }

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd) {
    SetTemplateName(lpszTemplateName);
    const LPCDLGTEMPLATE lpTemplate = LoadTemplate();
    return lpTemplate != nullptr && CreateIndirect(lpTemplate, pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void* lpDialogInit) {
    ThreadState* state = CurrentThreadState();
    if (lpDialogTemplate == nullptr || state == nullptr || m_hWnd != nullptr) return FALSE;
    // A modeless dialog without a parent is owned by the main window.
    if (pParentWnd == nullptr && AfxGetMainWnd() != this) pParentWnd = AfxGetMainWnd();
    m_pParentWnd = pParentWnd;
    m_lpDialogInit = lpDialogInit;
    RegisterCommonControls();
    HWND hWnd;
    {
        CreatingDialog creating(*state, this);
        hWnd = ::CreateDialogIndirectParamW(AfxGetResourceHandle(), lpDialogTemplate,
                                            pParentWnd == nullptr ? nullptr : pParentWnd->m_hWnd, &AfxDlgProc,
                                            reinterpret_cast<LPARAM>(this));
    }
    if (hWnd == nullptr) return FALSE;
    if (m_hWnd == hWnd) return TRUE;
    // The dialog procedure never saw the window: the object cannot run it.
    ::DestroyWindow(hWnd);
    return FALSE;
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

DWORD CDialog::GetDefID() const { return static_cast<DWORD>(SendMessage(DM_GETDEFID)); }
void CDialog::SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl != nullptr) SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

// ---- handlers -------------------------------------------------------------------------

LRESULT CDialog::HandleInitDialog(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    PreInitDialog();
    return OnInitDialog();
}

void CDialog::PreInitDialog() {}

BOOL CDialog::OnInitDialog() {
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    // There is no help system, so a Help button has nothing to show.
    if (CWnd* pHelpButton = GetDlgItem(ID_HELP)) pHelpButton->ShowWindow(SW_HIDE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
    // Keyboard navigation of a modeless dialog (a modal one has its own loop).
    return IsInputMessage(pMsg->message) && ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    // Commands proper (ids from 0x8000, below the system range) go on to
    // the application; control notifications do not.
    if (nCode != CN_COMMAND || nID < 0x8000 || nID >= 0xF000) return FALSE;
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr && pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
