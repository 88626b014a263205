// System metrics and colours with Windows' defaults, the common-control
// initialisation, cursors and the beep.
//
// Sizes follow the display's dots per inch as they do for a DPI-aware
// program on Windows (32-pixel icons at 96 dpi, 64 at 192); border widths
// stay what they are at 96 dpi.

#include <commctrl.h>

#include "geometry.h"
#include "menus.h"

#include "host/machine.h"

#include <QApplication>

#include <array>

namespace host::user {

namespace {

constexpr int kColorCount = COLOR_MENUBAR + 1;

// Windows 10's default colours, by COLOR_ index.
constexpr std::array<COLORREF, kColorCount> kSysColors = {
    RGB(200, 200, 200),  // COLOR_SCROLLBAR
    RGB(0, 0, 0),        // COLOR_BACKGROUND
    RGB(153, 180, 209),  // COLOR_ACTIVECAPTION
    RGB(191, 205, 219),  // COLOR_INACTIVECAPTION
    RGB(240, 240, 240),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(100, 100, 100),  // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(0, 0, 0),        // COLOR_CAPTIONTEXT
    RGB(180, 180, 180),  // COLOR_ACTIVEBORDER
    RGB(244, 247, 252),  // COLOR_INACTIVEBORDER
    RGB(171, 171, 171),  // COLOR_APPWORKSPACE
    RGB(0, 120, 215),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240),  // COLOR_BTNFACE
    RGB(160, 160, 160),  // COLOR_BTNSHADOW
    RGB(109, 109, 109),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(0, 0, 0),        // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105),  // COLOR_3DDKSHADOW
    RGB(227, 227, 227),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25: no colour of its own
    RGB(0, 102, 204),    // COLOR_HOTLIGHT
    RGB(185, 209, 234),  // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 120, 215),    // COLOR_MENUHILIGHT
    RGB(240, 240, 240),  // COLOR_MENUBAR
};

int DotsPerInch() {
    const int machine = ActiveMachine().DotsPerInch();
    if (machine > 0) return machine;
    HDC dc = CreateCompatibleDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) DeleteDC(dc);
    return dpi > 0 ? dpi : 96;
}

int Scaled(int pixelsAt96) { return MulDiv(pixelsAt96, DotsPerInch(), 96); }

// The brushes GetSysColorBrush hands out: made once, never deleted.
std::array<HBRUSH, kColorCount>& SysBrushes() {
    static std::array<HBRUSH, kColorCount> brushes{};
    return brushes;
}

}  // namespace

}  // namespace host::user

using namespace host::user;

int WINAPI GetSystemMetrics(int nIndex) {
    switch (nIndex) {
    case SM_CXSCREEN: return ScreenSize().width();
    case SM_CYSCREEN: return ScreenSize().height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return Scaled(17);
    case SM_CYCAPTION: return Scaled(23);
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return Scaled(32);
    case SM_CXSMICON:
    case SM_CYSMICON: return Scaled(16);
    default: return 0;
    }
}

DWORD WINAPI GetSysColor(int nIndex) {
    if (nIndex < 0 || nIndex >= kColorCount) return 0;
    return kSysColors[static_cast<std::size_t>(nIndex)];
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    if (nIndex < 0 || nIndex >= kColorCount) return nullptr;
    HBRUSH& brush = SysBrushes()[static_cast<std::size_t>(nIndex)];
    if (!brush) brush = CreateSolidBrush(kSysColors[static_cast<std::size_t>(nIndex)]);
    return brush;
}

BOOL WINAPI MessageBeep(UINT) {
    // Nobody hears a beep on virtual time.
    if (CanAskUser()) QApplication::beep();
    return TRUE;
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    // The controls are always there; Win32 still insists on a proper record.
    return picce && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
    // The window system draws the pointer: a system cursor is a token that
    // stands for it. Cursors from the program's own resources are not kept.
    if (hInstance || !IS_INTRESOURCE(lpCursorName) || !lpCursorName) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    const auto id = reinterpret_cast<ULONG_PTR>(lpCursorName);
    if (id < 32512 || id > 32651) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(0x00010000 + id);
}
