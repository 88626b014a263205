// CWnd: binding objects to windows, creating and destroying windows, and
// the default message handlers.

#include "afxwin.h"

#include "afx_state.h"

using afx_internal::CurrentThreadState;
using afx_internal::MapFor;
using afx_internal::ThreadState;

const CWnd CWnd::wndTop;

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    CWinThread* thread = AfxGetThread();
    if (thread != nullptr && thread->m_pMainWnd == this) thread->m_pMainWnd = nullptr;
    if (m_hWnd == nullptr) return;
    // The window outlives no object: give it back its own procedure,
    // unbind, and destroy it (its last messages then find no object).
    m_bDialogProc = false;
    const HWND hWnd = UnsubclassWindow();
    if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
}

// ---- binding ---------------------------------------------------------------------

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) { return afx_internal::WrapperFor<CWnd, CWnd>(hWnd); }

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
    auto* map = MapFor<CWnd>();
    return map == nullptr ? nullptr : map->LookupPermanent(hWnd);
}

BOOL CWnd::Attach(HWND hWndNew) {
    auto* map = MapFor<CWnd>();
    if (hWndNew == nullptr || m_hWnd != nullptr || map == nullptr) return FALSE;
    // One window, one object.
    if (map->LookupPermanent(hWndNew) != nullptr) return FALSE;
    map->SetPermanent(hWndNew, this);
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        if (auto* map = MapFor<CWnd>()) map->RemovePermanent(hWnd, this);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd) || !Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    ::SetLastError(ERROR_SUCCESS);
    const auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (previous == nullptr && ::GetLastError() != ERROR_SUCCESS) {
        Detach();
        return FALSE;
    }
    // A window of a framework class already runs AfxWndProc; its next step
    // is then the system's default.
    m_pfnSuper = previous == &AfxWndProc ? nullptr : previous;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (pParent == nullptr) return FALSE;
    const HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd == nullptr) return nullptr;
    if (m_pfnSuper != nullptr) ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::PreSubclassWindow() {}

// ---- creation and destruction ----------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW));
    }
    return cs.lpszClass != nullptr;
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd == nullptr ? nullptr : pParentWnd->m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    ThreadState* state = CurrentThreadState();
    if (m_hWnd != nullptr || state == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    CREATESTRUCT cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x, cs.y = y, cs.cx = nWidth, cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }

    // AfxWndProc binds this object on the window's first message.
    CWnd* const outerWindow = state->creatingWindow;
    const bool outerDialog = state->creatingDialog;
    state->creatingWindow = this;
    state->creatingDialog = false;
    const HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                        cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    state->creatingWindow = outerWindow;
    state->creatingDialog = outerDialog;

    // Failed creation: an object that was bound has been unbound by the
    // window's WM_NCDESTROY already (and may have deleted itself).
    if (hWnd == nullptr) return FALSE;
    if (m_hWnd == hWnd) return TRUE;
    // A class with its own procedure (a standard control): subclass it now.
    if (SubclassWindow(hWnd)) return TRUE;
    ::DestroyWindow(hWnd);
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    const HWND hWnd = m_hWnd;
    CWnd* const bound = FromHandlePermanent(hWnd);
    // A wrapper that was never bound lets go of the handle first: it may be
    // freed while the window's last messages are dispatched.
    if (bound == nullptr) Detach();
    const BOOL result = ::DestroyWindow(hWnd);
    // A bound object was unbound by WM_NCDESTROY and may be gone now; one
    // whose window died without telling it lets go here.
    if (bound != nullptr && !::IsWindow(hWnd) && FromHandlePermanent(hWnd) == bound) bound->Detach();
    return result;
}

void CWnd::PostNcDestroy() {}

void CWnd::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    ThreadState* state = CurrentThreadState();
    const HWND outerLockout = state == nullptr ? nullptr : state->lockoutNotifyWindow;
    if (state != nullptr) state->lockoutNotifyWindow = m_hWnd;
    BOOL ok = FALSE;
    try {
        DoDataExchange(&dx);
        ok = TRUE;
    } catch (CException* e) {
        // Validation failed (the user has been told) or a control is missing.
        e->Delete();
    }
    if (state != nullptr) state->lockoutNotifyWindow = outerLockout;
    return ok;
}

// ---- default handlers: the message goes on to the default procedure -----------------

int CWnd::OnCreate(LPCREATESTRUCT /*lpCreateStruct*/) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC* /*pDC*/) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) { Default(); }
void CWnd::OnMove(int /*x*/, int /*y*/) { Default(); }
void CWnd::OnShowWindow(BOOL /*bShow*/, UINT /*nStatus*/) { Default(); }
void CWnd::OnTimer(UINT_PTR /*nIDEvent*/) { Default(); }
void CWnd::OnSysCommand(UINT /*nID*/, LPARAM /*lParam*/) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnContextMenu(CWnd* /*pWnd*/, CPoint /*point*/) { Default(); }
void CWnd::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
void CWnd::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
void CWnd::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
void CWnd::OnLButtonDblClk(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
void CWnd::OnRButtonDown(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
void CWnd::OnRButtonUp(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
