// The application object and the framework's global accessors.

#include "afxwin.h"

#include <cwchar>

namespace {

CWinApp* g_pApp = nullptr;
HINSTANCE g_hResource = nullptr;
bool g_bControlContainer = false;

// Chooses the message box icon the framework gives boxes that name none.
UINT WithDefaultIcon(UINT nType) {
    if ((nType & MB_ICONMASK) != 0) return nType;
    switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: return nType | MB_ICONEXCLAMATION;
        case MB_YESNO:
        case MB_YESNOCANCEL: return nType | MB_ICONQUESTION;
        default: return nType;  // retry and abort boxes name their own
    }
}

}  // namespace

// ---- CWinThread ------------------------------------------------------------------

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::Run() {
    BOOL idle = TRUE;
    LONG idleCount = 0;
    for (;;) {
        MSG peeked;
        while (idle && !::PeekMessageW(&peeked, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = FALSE;
        }
        if (!PumpMessage()) return ExitInstance();
        if (IsIdleMessage(&m_msgCur)) {
            idle = TRUE;
            idleCount = 0;
        }
    }
}

BOOL CWinThread::PumpMessage() {
    // 0 is WM_QUIT; -1 a failure that would only repeat.
    if (::GetMessageW(&m_msgCur, nullptr, 0, 0) <= 0) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    const CWnd* pMainWnd = GetMainWnd();
    const HWND hWndMain = pMainWnd == nullptr ? nullptr : pMainWnd->m_hWnd;
    bool reachedMain = false;
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (hWnd == hWndMain) {
            reachedMain = true;
            break;
        }
    }
    // Messages of other top-level windows (modeless dialogs) get a last
    // look from the main window.
    if (!reachedMain && hWndMain != nullptr) return GetMainWnd()->PreTranslateMessage(pMsg);
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG /*lCount*/) {
    AfxUnlockTempMaps();
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg) {
    constexpr UINT kSysTimer = 0x0118;  // the caret's blink timer
    return pMsg->message != WM_PAINT && pMsg->message != kSysTimer;
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

CWnd* CWinThread::GetMainWnd() { return m_pMainWnd; }

// ---- CWinApp -----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCWSTR lpszAppName) {
    if (lpszAppName != nullptr) SetAppName(lpszAppName);
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::SetAppName(LPCWSTR lpszAppName) {
    m_strAppName = lpszAppName;
    m_pszAppName = m_strAppName.GetString();
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

HICON CWinApp::LoadIcon(LPCWSTR lpszResourceName) const {
    return ::LoadIconW(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadStandardIcon(LPCWSTR lpszIconName) const { return ::LoadIconW(nullptr, lpszIconName); }

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const {
    return ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCWSTR lpszCursorName) const { return ::LoadCursorW(nullptr, lpszCursorName); }

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey.GetString();
    m_strProfileName = m_pszAppName;
    m_pszProfileName = m_strProfileName.GetString();
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

int CWinApp::DoMessageBox(LPCWSTR lpszPrompt, UINT nType, UINT /*nIDPrompt*/) {
    const CWnd* pMainWnd = GetMainWnd();
    const HWND hWndOwner = pMainWnd == nullptr ? nullptr : pMainWnd->m_hWnd;
    return ::MessageBoxW(hWndOwner, lpszPrompt, AfxGetAppName(), WithDefaultIcon(nType));
}

void CWinApp::OnHelp() {
    // No help system exists on this platform, so there is nothing to show.
}

// ---- global accessors ---------------------------------------------------------------

CWinApp* AFXAPI AfxGetApp() { return g_pApp; }
CWinThread* AFXAPI AfxGetThread() { return g_pApp; }

CWnd* AFXAPI AfxGetMainWnd() {
    CWinThread* pThread = AfxGetThread();
    return pThread == nullptr ? nullptr : pThread->GetMainWnd();
}

LPCWSTR AFXAPI AfxGetAppName() {
    return g_pApp != nullptr && g_pApp->m_pszAppName != nullptr ? g_pApp->m_pszAppName : L"";
}

HINSTANCE AFXAPI AfxGetInstanceHandle() {
    return g_pApp != nullptr && g_pApp->m_hInstance != nullptr ? g_pApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AFXAPI AfxGetResourceHandle() {
    return g_hResource != nullptr ? g_hResource : ::GetModuleHandleW(nullptr);
}

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource) { g_hResource = hInstResource; }

int AFXAPI AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT nIDHelp) {
    if (g_pApp != nullptr) return g_pApp->DoMessageBox(lpszText, nType, nIDHelp);
    return ::MessageBoxW(nullptr, lpszText, AfxGetAppName(), WithDefaultIcon(nType));
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString prompt;
    prompt.LoadString(nIDPrompt);
    return AfxMessageBox(prompt, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

void AFXAPI AfxEnableControlContainer() { g_bControlContainer = true; }

// ---- start and end ---------------------------------------------------------------------

BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPWSTR lpCmdLine, int nCmdShow) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return TRUE;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    // An application constructed without a name takes its title string.
    CString title;
    if (pApp->m_pszAppName == nullptr && title.LoadString(AFX_IDS_APP_TITLE)) pApp->SetAppName(title);
    return TRUE;
}

void AFXAPI AfxWinTerm() { AfxUnlockTempMaps(); }

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    int result = -1;
    CWinThread* pThread = AfxGetThread();
    CWinApp* pApp = AfxGetApp();
    if (pThread != nullptr && AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) && pApp->InitApplication()) {
        if (pThread->InitInstance()) {
            result = pThread->Run();
        } else {
            if (pThread->m_pMainWnd != nullptr) pThread->m_pMainWnd->DestroyWindow();
            result = pThread->ExitInstance();
        }
    }
    AfxWinTerm();
    return result;
}

void AFXAPI AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }
