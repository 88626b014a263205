#pragma once
// Common controls: the progress bar.

#include "winuser.h"

#define PROGRESS_CLASSW L"msctls_progress32"
#define WC_BUTTONW L"Button"
#define WC_STATICW L"Static"
#define WC_COMBOBOXW L"ComboBox"

#define CLR_NONE 0xFFFFFFFFL
#define CLR_DEFAULT 0xFF000000L

#define PBS_SMOOTH 0x01
#define PBS_VERTICAL 0x04

#define CCM_FIRST 0x2000
#define CCM_SETBKCOLOR (CCM_FIRST + 1)

#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)
#define PBM_SETBARCOLOR (WM_USER + 9)
#define PBM_SETBKCOLOR CCM_SETBKCOLOR
#define PBM_GETBARCOLOR (WM_USER + 15)
#define PBM_GETBKCOLOR (WM_USER + 14)

typedef struct {
    int iLow;
    int iHigh;
} PBRANGE, *PPBRANGE;

typedef struct tagINITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_STANDARD_CLASSES 0x00004000

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce);
