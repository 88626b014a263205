#pragma once
// The host window object behind every HWND, and the table that validates
// handles. A stale or made-up HWND finds nothing here; callers then fail the
// way Win32 does (ERROR_INVALID_WINDOW_HANDLE).
//
// Windows are held by shared_ptr: a procedure may destroy its own window
// while the host still has work to finish for it. A destroyed window leaves
// the table at once (its handle turns invalid) and its object dies with the
// last reference.

#include <windows.h>

#include "host/gdi.h"

#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;

namespace host::user {

struct WindowClass;

// What a dialog keeps beyond an ordinary window.
struct DialogInfo {
    HFONT font = nullptr;     // the template's font, made for this dialog
    int baseX = 0, baseY = 0;  // dialog base units of that font, in pixels
    bool ended = false;
    INT_PTR result = 0;
    HWND disabledOwner = nullptr;  // the owner a modal run disabled
    QEventLoop* loop = nullptr;    // the nested loop of a live modal run
    UINT defaultId = 0;            // DM_SETDEFID; 0: the BS_DEFPUSHBUTTON control
};

// Range, position and colours of a progress bar.
struct ProgressInfo {
    int low = 0, high = 100, pos = 0, step = 10;
    COLORREF bar = 0xFF000000u, background = 0xFF000000u;  // CLR_DEFAULT
};

struct Window {
    HWND hwnd = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // child windows only
    HWND owner = nullptr;   // top-level windows only
    UINT_PTR id = 0;        // control id of a child (GWLP_ID)
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::wstring text;
    std::vector<std::uint8_t> extra;  // cbWndExtra bytes
    std::vector<HWND> children;       // in creation order
    QPointer<QWidget> widget;

    // Painting: the client area's backing store and the Win32 update state.
    PixelBuffer buffer;
    QRegion updateRegion;
    bool eraseDue = false;
    bool internalPaint = false;
    bool redrawOff = false;     // WM_SETREDRAW FALSE
    bool paintsItself = false;  // a control whose replaced procedure paints it
    bool beganPaint = false;    // BeginPaint ran during the current WM_PAINT
    bool nativePaint = false;   // the control's class asked Qt to draw it
    bool inQtPaint = false;     // inside the widget's own paint event

    // Size and place as last reported with WM_SIZE / WM_MOVE.
    int sizeTypeSent = -1;
    QSize sizeSent{-1, -1};
    QPoint moveSent{INT32_MIN, INT32_MIN};
    QRect normalRect;  // a top-level window's client geometry before maximising

    HFONT font = nullptr;  // WM_SETFONT
    HICON bigIcon = nullptr, smallIcon = nullptr;
    HICON image = nullptr;  // SS_ICON statics
    HMENU systemMenu = nullptr;
    ProgressInfo progress;
    int listHeight = 0;     // a combo box's height with its list dropped
    std::unique_ptr<DialogInfo> dialog;
    bool destroyed = false;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
};

using WindowRef = std::shared_ptr<Window>;

// The window of `hwnd`, or null (nothing else happens).
WindowRef LookupWindow(HWND hwnd);
// The window of `hwnd`, or null with ERROR_INVALID_WINDOW_HANDLE set.
WindowRef ValidWindow(HWND hwnd);
// The window a widget stands for, or null.
WindowRef WindowOfWidget(const QWidget* widget);

// Adds a new window to the table and gives it its handle.
WindowRef AddWindow();
// Takes the window out of the table: its handle is invalid from now on.
void RemoveWindow(HWND hwnd);
void BindWidget(Window& window, QWidget* widget);

// Every live window in creation order; top-level ones only if asked.
std::vector<HWND> AllWindows(bool topLevelOnly);

// The top-level window that contains `hwnd` (itself when top-level).
HWND TopLevelOf(HWND hwnd);
// True when `hwnd` is `ancestor` or lies inside it.
bool IsSelfOrDescendant(HWND hwnd, HWND ancestor);

// The desktop window: the parent of every top-level window in Win32 terms.
HWND DesktopHandle();

}  // namespace host::user
