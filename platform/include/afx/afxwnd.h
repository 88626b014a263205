#pragma once
// CWnd: a C++ object bound to one window. Messages for a bound window go
// through the framework's window procedure (AfxWndProc) to WindowProc, which
// looks them up in the object's message map; what the map does not handle
// goes to DefWindowProc: the window's previous procedure when the framework
// subclassed it, the dialog manager's default for dialogs, the system's
// default otherwise. Default() passes on the message being handled.
//
// Binding: windows of classes registered with AfxRegisterWndClass run
// AfxWndProc from their first message, and CreateEx binds the object then,
// so that messages sent during creation (WM_CREATE, WM_SIZE) already reach
// its handlers. Windows of other classes (the standard controls) are
// subclassed right after creation, or later with SubclassWindow.

#include "afxdc.h"
#include "afxmenu.h"
#include "afxmsgmap.h"

class CDataExchange;
class CWinApp;

typedef CREATESTRUCTW CREATESTRUCT;
typedef LPCREATESTRUCTW LPCREATESTRUCT;

// The document/view creation context of the full framework; nothing here
// uses it, but Create keeps its place in the signature.
struct CCreateContext {};

// CWnd::m_nFlags.
#define WF_TOOLTIPS 0x0001

namespace afx_internal {
struct WndAccess;
}

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;
    UINT m_nFlags = 0;

    // The insert-after window of SetWindowPos that means "on top".
    static const CWnd wndTop;

    CWnd() = default;
    // A window still bound is destroyed with its object.
    ~CWnd() override;

    operator HWND() const noexcept { return m_hWnd; }
    HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    // ---- binding ---------------------------------------------------------------
    // The object bound to hWnd, or a temporary one that lives while the
    // window does. Null for a null handle.
    static CWnd* PASCAL FromHandle(HWND hWnd);
    // The object bound to hWnd, or null.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Binds the object and routes the window's messages through the map;
    // unhandled ones go on to the window's previous procedure.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- creation ------------------------------------------------------------------
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x,
                          int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                          LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    // Called after the window's last message; the object may delete itself here.
    virtual void PostNcDestroy();
    // Called when an existing window is subclassed.
    virtual void PreSubclassWindow();

    // ---- message dispatch -------------------------------------------------------------
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // TRUE when the map handled the message; *pResult is then its result.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // A notification this control sent its parent, offered to the control first.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Passes the message being handled to the default procedure.
    LRESULT Default();

    // ---- data exchange -------------------------------------------------------------------
    virtual void DoDataExchange(CDataExchange* pDX);
    // Runs DoDataExchange: TRUE saves the controls into members, FALSE loads
    // them. Control notifications sent meanwhile are not handled.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // ---- state and placement ------------------------------------------------------------
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    void SetWindowText(LPCWSTR lpszString);
    int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
    // Centres the window over its parent (the screen for a top-level window).
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);

    // ---- relatives ----------------------------------------------------------------------------
    CWnd* GetParent() const;
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    void SetDlgItemText(int nID, LPCWSTR lpszString);
    int GetDlgItemText(int nID, LPWSTR lpStr, int nMaxCount) const;
    int GetDlgItemText(int nID, CString& rString) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    static CWnd* PASCAL GetFocus();
    CWnd* SetFocus();
    static CWnd* PASCAL GetDesktopWindow();

    // ---- painting ---------------------------------------------------------------------------------
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    CDC* BeginPaint(LPPAINTSTRUCT lpPaint);
    void EndPaint(LPPAINTSTRUCT lpPaint);
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);

    // ---- messages, timers and the rest ------------------------------------------------------------
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse,
                      void(CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD) = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const;
    CMenu* GetSystemMenu(BOOL bRevert) const;
    // The caption defaults to the application's name.
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);
    // Tool tips come from TTN_NEEDTEXT handlers, which this framework does
    // not route (the platform has no tool-tip control); enabling them is
    // recorded in m_nFlags and shows nothing.
    BOOL EnableToolTips(BOOL bEnable = TRUE);

protected:
    // ---- default message handlers: each passes its message to Default() ----
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);

    // The procedure a subclassed window had before; null otherwise.
    WNDPROC m_pfnSuper = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    friend struct afx_internal::WndAccess;
    // Set for dialogs: their messages arrive through the dialog procedure,
    // and the default handling is the dialog manager's.
    bool m_bDialogProc = false;
};

// The framework's window procedure and dialog procedure.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
WNDPROC AFXAPI AfxGetAfxWndProc();

// Registers (once) a window class whose procedure is AfxWndProc and returns
// its name, made from the arguments: equal arguments give the same class.
// Null when the class cannot be registered.
LPCWSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                                   HICON hIcon = nullptr);

// Frees the temporary wrappers (windows, contexts, GDI objects, menus)
// whose handles are gone; a wrapper lives as long as its handle. The
// framework does this itself after each message it dispatches.
BOOL AFXAPI AfxUnlockTempMaps(BOOL bDeleteTemps = TRUE);
