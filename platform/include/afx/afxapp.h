#pragma once
// The application: one CWinApp object per program, constructed during
// static initialisation. AfxWinMain (called by wWinMain) initialises it,
// calls InitInstance and, when that returns TRUE, runs the message loop
// until WM_QUIT; the program's result is ExitInstance's.

#include "afxwnd.h"

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;

    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};  // the message the loop is dispatching

    virtual BOOL InitInstance();
    // The message loop: returns ExitInstance's result once WM_QUIT arrives.
    virtual int Run();
    virtual BOOL PumpMessage();
    // Offers the message to the target window and its parents, then to the
    // main window (modeless dialogs take their keyboard messages here).
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Idle work between messages: frees temporary wrappers. TRUE asks for
    // more idle time.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual CWnd* GetMainWnd();
};

class CWinApp : public CWinThread {
public:
    // Registers this object as the application (AfxGetApp).
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCWSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCWSTR m_pszRegistryKey = nullptr;
    LPCWSTR m_pszProfileName = nullptr;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    // The exit code: the WM_QUIT message's wParam.
    int ExitInstance() override;

    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(LPCWSTR lpszResourceName) const;
    HICON LoadStandardIcon(LPCWSTR lpszIconName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCWSTR lpszCursorName) const;

    // Names the registry key under which the framework would keep the
    // application's settings (the profile is named after the application).
    // This framework keeps no settings, so nothing is written anywhere.
    void SetRegistryKey(LPCWSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);

    // Shows an application message box (AfxMessageBox).
    virtual int DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    // ID_HELP. There is no help system on this platform: the command is
    // accepted and nothing is shown.
    afx_msg void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    friend BOOL AFXAPI AfxWinInit(HINSTANCE, HINSTANCE, LPWSTR, int);
    void SetAppName(LPCWSTR lpszAppName);
    // Storage behind the LPCWSTR members above.
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strProfileName;
};

CWinApp* AFXAPI AfxGetApp();
CWinThread* AFXAPI AfxGetThread();
// The application's main window, or null.
CWnd* AFXAPI AfxGetMainWnd();
LPCWSTR AFXAPI AfxGetAppName();
HINSTANCE AFXAPI AfxGetInstanceHandle();
// Where resources are looked up: the executable unless set otherwise.
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);

// A message box owned by the main window, with the application's name as
// caption; with no icon given, OK boxes get the exclamation icon and
// Yes/No boxes the question mark.
int AFXAPI AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = static_cast<UINT>(-1));

// Records that the application hosts controls in its dialogs. The
// framework has no ActiveX controls; dialog controls work either way.
void AFXAPI AfxEnableControlContainer();

BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
void AFXAPI AfxWinTerm();
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
void AFXAPI AfxPostQuitMessage(int nExitCode);
