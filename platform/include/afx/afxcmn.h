#pragma once
// Common controls: the progress bar.

#include "afxwin.h"

#include <commctrl.h>

#ifndef CLR_DEFAULT
#define CLR_DEFAULT 0xFF000000L
#endif

class CProgressCtrl : public CWnd {
public:
    CProgressCtrl() = default;
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetRange(short nLower, short nUpper);
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    // Each returns the previous position.
    int SetPos(int nPos);
    int GetPos() const;
    int OffsetPos(int nPos);
    int SetStep(int nStep);
    int StepIt();
    // Each returns the previous colour (CLR_DEFAULT when none was set).
    COLORREF SetBkColor(COLORREF clrNew);
    COLORREF SetBarColor(COLORREF clrBar);
};
