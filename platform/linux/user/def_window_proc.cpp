// DefWindowProcW: what a window does with a message its procedure leaves.

#include "geometry.h"
#include "menus.h"
#include "qt_bridge.h"
#include "text.h"
#include "window.h"
#include "window_class.h"

#include <QIcon>
#include <QPixmap>

namespace host::user {

namespace {

LRESULT SetText(Window& window, LPARAM lParam) {
    const auto* text = reinterpret_cast<const WCHAR*>(lParam);
    window.text = text ? text : L"";
    if (!window.IsChild() && window.widget) window.widget->setWindowTitle(ToQt(window.text));
    return TRUE;
}

HBRUSH ClassBrush(const Window& window) {
    if (!window.cls || !window.cls->background) return nullptr;
    const auto value = reinterpret_cast<ULONG_PTR>(window.cls->background);
    // (HBRUSH)(COLOR_xxx + 1) names a system colour.
    if (value <= COLOR_MENUBAR + 1) return GetSysColorBrush(static_cast<int>(value) - 1);
    return window.cls->background;
}

LRESULT EraseBackground(const Window& window, HDC hdc) {
    HBRUSH brush = ClassBrush(window);
    if (!brush || !hdc) return 0;
    const QSize client = ClientSize(window);
    RECT rc{0, 0, client.width(), client.height()};
    FillRect(hdc, &rc, brush);
    return 1;
}

LRESULT SystemCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    switch (wParam & 0xFFF0) {
    case SC_CLOSE: SendMessageW(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    case SC_KEYMENU:
        if (lParam == VK_SPACE) {
            WindowRef window = LookupWindow(hwnd);
            if (window) TrackSystemMenu(hwnd, ClientOriginOnScreen(*window));
        }
        break;
    default:
        // SC_MOVE and SC_SIZE start the window manager's own move and size
        // loops on Windows; here the window manager offers them itself.
        break;
    }
    return 0;
}

LRESULT ContextMenu(const Window& window, WPARAM wParam, LPARAM lParam) {
    if (window.IsChild()) {
        if (window.parent) SendMessageW(window.parent, WM_CONTEXTMENU, wParam, lParam);
        return 0;
    }
    if (!(window.style & WS_SYSMENU)) return 0;
    QPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (lParam == MAKELPARAM(-1, -1)) at = ClientOriginOnScreen(window);
    TrackSystemMenu(window.hwnd, at);
    return 0;
}

void ShowIcons(const Window& window) {
    if (window.IsChild() || !window.widget) return;
    QIcon icon;
    for (HICON handle : {window.bigIcon, window.smallIcon}) {
        const QImage image = IconImage(handle);
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    window.widget->setWindowIcon(icon);
}

LRESULT SetIcon(Window& window, WPARAM which, LPARAM lParam) {
    HICON& slot = which == ICON_BIG ? window.bigIcon : window.smallIcon;
    HICON previous = slot;
    slot = reinterpret_cast<HICON>(lParam);
    ShowIcons(window);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT GetIcon(const Window& window, WPARAM which) {
    switch (which) {
    case ICON_BIG: return reinterpret_cast<LRESULT>(window.bigIcon);
    case ICON_SMALL: return reinterpret_cast<LRESULT>(window.smallIcon);
    case ICON_SMALL2: return reinterpret_cast<LRESULT>(window.smallIcon ? window.smallIcon : window.bigIcon);
    default: return 0;
    }
}

LRESULT SetRedraw(Window& window, WPARAM wParam) {
    window.redrawOff = wParam == FALSE;
    if (window.redrawOff) window.updateRegion = QRegion();
    // Turning drawing back on repaints nothing by itself, as on Windows.
    return 0;
}

LRESULT ControlColor(WPARAM wParam) {
    auto hdc = reinterpret_cast<HDC>(wParam);
    if (hdc) {
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(COLOR_3DFACE));
    }
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
}

LRESULT RightButtonUp(const Window& window, LPARAM lParam) {
    const QPoint screen = ClientOriginOnScreen(window) + QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    SendMessageW(window.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.hwnd), MAKELPARAM(screen.x(), screen.y()));
    return 0;
}

}  // namespace

}  // namespace host::user

using namespace host::user;

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowRef window = LookupWindow(hWnd);
    if (!window) return 0;
    switch (Msg) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs) SetText(*window, reinterpret_cast<LPARAM>(CreationText(cs->lpszName).c_str()));
        return TRUE;
    }
    case WM_SETTEXT: return SetText(*window, lParam);
    case WM_GETTEXT: return CopyTextOut(window->text, wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(window->text.size());
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    case WM_SYSCOMMAND: return SystemCommand(hWnd, wParam, lParam);
    case WM_ERASEBKGND: return EraseBackground(*window, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hWnd, &ps)) EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_SETREDRAW: return SetRedraw(*window, wParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN: return ControlColor(wParam);
    case WM_RBUTTONUP: return RightButtonUp(*window, lParam);
    case WM_CONTEXTMENU: return ContextMenu(*window, wParam, lParam);
    case WM_SETICON: return SetIcon(*window, wParam, lParam);
    case WM_GETICON: return GetIcon(*window, wParam);
    case WM_QUERYDRAGICON: return window->cls ? reinterpret_cast<LRESULT>(window->cls->icon) : 0;
    case WM_MOUSEWHEEL:
        // An unhandled wheel turn goes to the parent, as on Windows.
        if (window->IsChild() && window->parent) return SendMessageW(window->parent, Msg, wParam, lParam);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4) SendMessageW(TopLevelOf(hWnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    default: return 0;
    }
}
