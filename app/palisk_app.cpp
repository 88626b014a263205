#include "app/palisk_app.h"

#include "app/palisk_dlg.h"

BEGIN_MESSAGE_MAP(CPaliskApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CPaliskApp::CPaliskApp() = default;

CPaliskApp theApp;

BOOL CPaliskApp::InitInstance() {
    CWinApp::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(L"Local AppWizard-Generated Applications");
    CPaliskDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog has closed: end the program without a message loop.
    return FALSE;
}
