// How a message reaches a CWnd: the window procedure and the dialog
// procedure find (or bind) the object, WindowProc looks the message up in
// the map, and what the map leaves goes to the default procedure.

#include "afxwin.h"

#include "afx_state.h"

using afx_internal::CurrentThreadState;
using afx_internal::DialogDefaultCall;
using afx_internal::ThreadState;
using afx_internal::WndAccess;

namespace {

// Messages whose result a dialog procedure returns itself instead of
// leaving it in DWLP_MSGRESULT (Win32's rule for DefDlgProc).
bool DialogReturnsResultDirectly(UINT message) {
    constexpr UINT kVKeyToItem = 0x002E;     // WM_VKEYTOITEM
    constexpr UINT kCharToItem = 0x002F;     // WM_CHARTOITEM
    constexpr UINT kCompareItem = 0x0039;    // WM_COMPAREITEM
    constexpr UINT kCtlColorFirst = 0x0132;  // WM_CTLCOLORMSGBOX
    constexpr UINT kCtlColorLast = 0x0138;   // WM_CTLCOLORSTATIC
    return message == WM_INITDIALOG || message == WM_QUERYDRAGICON || message == kVKeyToItem ||
           message == kCharToItem || message == kCompareItem ||
           (message >= kCtlColorFirst && message <= kCtlColorLast);
}

// The bookkeeping of one dispatched message: Default() finds it, and when
// the outermost dispatch ends the wrappers of dead handles are freed.
class DispatchScope {
public:
    DispatchScope(ThreadState& state, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
        : state_(state), outer_(state.currentMessage) {
        state_.currentMessage = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
        ++state_.dispatchDepth;
    }
    ~DispatchScope() {
        state_.currentMessage = outer_;
        if (--state_.dispatchDepth == 0) afx_internal::PurgeTemporaries();
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    ThreadState& state_;
    MSG outer_;
};

// The object being created on this thread, bound to its window on the
// window's first message.
CWnd* BindCreatingWindow(ThreadState& state, HWND hWnd, bool dialog) {
    CWnd* pWnd = state.creatingWindow;
    if (pWnd == nullptr || state.creatingDialog != dialog) return nullptr;
    state.creatingWindow = nullptr;
    if (!pWnd->Attach(hWnd)) return nullptr;
    WndAccess::SetDialogProc(*pWnd, dialog);
    return pWnd;
}

// After the window's last message: give the window its own procedure back,
// unbind the object and let it clean up (it may delete itself).
void FinishNcDestroy(CWnd* pWnd) {
    const HWND hWnd = pWnd->m_hWnd;
    WNDPROC& super = WndAccess::Super(*pWnd);
    if (super != nullptr &&
        ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc)) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    }
    super = nullptr;
    WndAccess::SetDialogProc(*pWnd, false);
    // The main window going ends the application's message loop.
    CWinThread* thread = AfxGetThread();
    if (thread != nullptr && thread->m_pMainWnd == pWnd) {
        thread->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
    pWnd->Detach();
    pWnd->PostNcDestroy();
}

LRESULT CallWndProc(ThreadState& state, CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DispatchScope scope(state, hWnd, message, wParam, lParam);
    const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) FinishNcDestroy(pWnd);
    return result;
}

// The dialog manager's default handling of a message a dialog is
// handling. DefDlgProc first offers the message to the dialog procedure;
// the procedure recognises this call and declines, so the default runs.
LRESULT CallDialogDefault(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    ThreadState* state = CurrentThreadState();
    if (state == nullptr) return ::DefDlgProcW(hWnd, message, wParam, lParam);
    DialogDefaultCall call{hWnd, message, wParam, lParam, false};
    DialogDefaultCall* const outer = state->dialogDefault;
    state->dialogDefault = &call;
    const LRESULT result = ::DefDlgProcW(hWnd, message, wParam, lParam);
    state->dialogDefault = outer;
    return result;
}

bool IsPendingDefaultCall(ThreadState& state, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogDefaultCall* call = state.dialogDefault;
    if (call == nullptr || call->passedThrough || call->hWnd != hWnd || call->message != message ||
        call->wParam != wParam || call->lParam != lParam) {
        return false;
    }
    call->passedThrough = true;
    return true;
}

}  // namespace

// ---- the framework's procedures ----------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    ThreadState* state = CurrentThreadState();
    if (state == nullptr) return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    CWnd* pWnd = state->windows.LookupPermanent(hWnd);
    if (pWnd == nullptr) pWnd = BindCreatingWindow(*state, hWnd, false);
    // A window of a framework class that no object was created for.
    if (pWnd == nullptr) return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return CallWndProc(*state, pWnd, hWnd, nMsg, wParam, lParam);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    ThreadState* state = CurrentThreadState();
    if (state == nullptr || IsPendingDefaultCall(*state, hWnd, nMsg, wParam, lParam)) return FALSE;
    CWnd* pWnd = state->windows.LookupPermanent(hWnd);
    if (pWnd == nullptr) pWnd = BindCreatingWindow(*state, hWnd, true);
    if (pWnd == nullptr || !WndAccess::IsDialogProc(*pWnd)) return FALSE;
    if (nMsg == WM_NCDESTROY) {
        // The dialog manager frees its own data after this; the object
        // lets go of the window first.
        DispatchScope scope(*state, hWnd, nMsg, wParam, lParam);
        FinishNcDestroy(pWnd);
        return FALSE;
    }
    // Every other message is handled here, its default handling included.
    const LRESULT result = CallWndProc(*state, pWnd, hWnd, nMsg, wParam, lParam);
    if (DialogReturnsResultDirectly(nMsg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

WNDPROC AFXAPI AfxGetAfxWndProc() { return &AfxWndProc; }

// ---- CWnd: dispatch -------------------------------------------------------------

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        result = 1;
    } else if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0)) {
        result = entry->pfn(this, wParam, lParam);
    } else {
        return FALSE;
    }
    if (pResult != nullptr) *pResult = result;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    if (m_bDialogProc) return CallDialogDefault(m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const ThreadState* state = CurrentThreadState();
    if (state == nullptr) return 0;
    const MSG& message = state->currentMessage;
    return DefWindowProc(message.message, message.wParam, message.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(wParam);
    const auto hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr) {
        // A menu command or accelerator: both route as commands.
        if (nID == 0) return FALSE;
        nCode = CN_COMMAND;
    } else {
        // Notifications sent while UpdateData runs are ignored.
        const ThreadState* state = CurrentThreadState();
        if (state != nullptr && state->lockoutNotifyWindow != nullptr && state->lockoutNotifyWindow == m_hWnd) {
            return TRUE;
        }
        CWnd* pChild = FromHandlePermanent(hWndCtrl);
        LRESULT childResult = 0;
        if (pChild != nullptr && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &childResult)) return TRUE;
        if (nID == 0) return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_COMMAND) return FALSE;
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
    if (entry == nullptr) return FALSE;
    entry->pfn(this, wParam, lParam);
    if (pResult != nullptr) *pResult = 1;
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/) { return FALSE; }
