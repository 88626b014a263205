#pragma once
// The About box: the icon, the version, the copyright line and OK.

#include <afxwin.h>

#include "resources/resource_ids.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr) : CDialog(IDD_ABOUTBOX, pParent) {}

    enum { IDD = IDD_ABOUTBOX };
};
