#pragma once
// The entries of a message map. Each expands to an AFX_MSGMAP_ENTRY whose
// thunk calls the handler of ThisClass (the class named in
// BEGIN_MESSAGE_MAP) with the handler's own signature. Handlers of commands
// and notifications are given as member pointers: &CMyDlg::OnBnClickedX.

// A thunk: pThis is the object, wParam and lParam the message parameters.
#define AFX_MSG_THUNK(...)                                                        \
    [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam) -> LRESULT {           \
        ThisClass* pThis = static_cast<ThisClass*>(pTarget);                      \
        (void)pThis, (void)wParam, (void)lParam;                                  \
        __VA_ARGS__                                                               \
    }

#define AFX_WINDOW_MESSAGE_ENTRY(message, ...) {static_cast<UINT>(message), 0, 0, 0, AFX_MSG_THUNK(__VA_ARGS__)},

// ---- window messages ------------------------------------------------------
#define ON_WM_CREATE() \
    AFX_WINDOW_MESSAGE_ENTRY(WM_CREATE, return pThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));)
#define ON_WM_DESTROY() AFX_WINDOW_MESSAGE_ENTRY(WM_DESTROY, pThis->OnDestroy(); return 0;)
#define ON_WM_NCDESTROY() AFX_WINDOW_MESSAGE_ENTRY(WM_NCDESTROY, pThis->OnNcDestroy(); return 0;)
#define ON_WM_CLOSE() AFX_WINDOW_MESSAGE_ENTRY(WM_CLOSE, pThis->OnClose(); return 0;)
#define ON_WM_PAINT() AFX_WINDOW_MESSAGE_ENTRY(WM_PAINT, pThis->OnPaint(); return 0;)
#define ON_WM_ERASEBKGND()                   \
    AFX_WINDOW_MESSAGE_ENTRY(WM_ERASEBKGND, \
                             return pThis->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));)
#define ON_WM_SIZE()                                                                           \
    AFX_WINDOW_MESSAGE_ENTRY(WM_SIZE,                                                          \
                             pThis->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); \
                             return 0;)
#define ON_WM_MOVE() \
    AFX_WINDOW_MESSAGE_ENTRY(WM_MOVE, pThis->OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;)
#define ON_WM_SHOWWINDOW()                                                                         \
    AFX_WINDOW_MESSAGE_ENTRY(WM_SHOWWINDOW,                                                        \
                             pThis->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); \
                             return 0;)
#define ON_WM_TIMER() AFX_WINDOW_MESSAGE_ENTRY(WM_TIMER, pThis->OnTimer(static_cast<UINT_PTR>(wParam)); return 0;)
#define ON_WM_SYSCOMMAND() \
    AFX_WINDOW_MESSAGE_ENTRY(WM_SYSCOMMAND, pThis->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0;)
#define ON_WM_QUERYDRAGICON() \
    AFX_WINDOW_MESSAGE_ENTRY(WM_QUERYDRAGICON, return reinterpret_cast<LRESULT>(pThis->OnQueryDragIcon());)
#define ON_WM_CONTEXTMENU()                                                                         \
    AFX_WINDOW_MESSAGE_ENTRY(WM_CONTEXTMENU,                                                        \
                             pThis->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                  CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))); \
                             return 0;)

#define AFX_MOUSE_ENTRY(message, handler) \
    AFX_WINDOW_MESSAGE_ENTRY(message, pThis->handler(static_cast<UINT>(wParam), CPoint(lParam)); return 0;)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)

// Any message, to a handler LRESULT (wParam, lParam).
#define ON_MESSAGE(message, memberFxn) \
    AFX_WINDOW_MESSAGE_ENTRY(message, return (pThis->*(memberFxn))(wParam, lParam);)

// ---- commands and control notifications -------------------------------------
#define ON_COMMAND(id, memberFxn)                                                             \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id),                    \
     AFX_MSG_THUNK((pThis->*(memberFxn))(); return 0;)},
// Handler void (UINT nID).
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                               \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(idLast),                \
     AFX_MSG_THUNK((pThis->*(memberFxn))(LOWORD(wParam)); return 0;)},
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                  \
    {WM_COMMAND, static_cast<WORD>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
     AFX_MSG_THUNK((pThis->*(memberFxn))(); return 0;)},
// Handler void (UINT nID).
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                        \
    {WM_COMMAND, static_cast<WORD>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), \
     AFX_MSG_THUNK((pThis->*(memberFxn))(LOWORD(wParam)); return 0;)},
// A notification the control handles itself, before its parent sees it.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                          \
    {WM_COMMAND + WM_REFLECT_BASE, static_cast<WORD>(wNotifyCode), 0, 0,    \
     AFX_MSG_THUNK((pThis->*(memberFxn))(); return 0;)},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
