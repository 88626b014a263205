#pragma once
// The application object: runs the main dialog modally and ends the program
// when it closes.

#include <afxwin.h>

class CPaliskApp : public CWinApp {
public:
    CPaliskApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CPaliskApp theApp;
