// Creating and destroying windows, in Win32's order of messages.
//
// Creation: WM_NCCREATE, WM_CREATE (with the CREATESTRUCTW), then WM_SIZE
// and WM_MOVE, all before CreateWindowExW returns; WS_VISIBLE then shows it.
// Destruction: owned windows first; WM_DESTROY to the window and then down
// through its children; WM_NCDESTROY from the innermost children back up.
// The handle is invalid once WM_NCDESTROY has been sent.

#include "controls.h"
#include "geometry.h"
#include "menus.h"
#include "paint.h"
#include "plain_widget.h"
#include "show.h"
#include "timers.h"
#include "window.h"
#include "window_class.h"

#include <QWidget>

#include <algorithm>

namespace host::user {

namespace {

Qt::WindowFlags TopLevelFlags(DWORD style, DWORD exStyle, bool owned) {
    Qt::WindowFlags flags = owned ? Qt::Dialog : Qt::Window;
    if (exStyle & WS_EX_TOOLWINDOW) flags = Qt::Tool;
    flags |= Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
    } else if (!(style & (WS_THICKFRAME | WS_DLGFRAME | WS_BORDER))) {
        flags |= Qt::FramelessWindowHint;
    }
    if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    if (exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

QWidget* CreateWidget(Window& window, QWidget* parentWidget) {
    const bool child = window.IsChild();
    const Qt::WindowFlags flags = child ? Qt::Widget : TopLevelFlags(window.style, window.exStyle, window.owner);
    switch (window.cls->kind) {
    case WidgetKind::Button: return CreateButtonWidget(window, parentWidget);
    case WidgetKind::Static: return CreateStaticWidget(window, parentWidget);
    case WidgetKind::ComboBox: return CreateComboBoxWidget(window, parentWidget);
    case WidgetKind::Progress: return CreateProgressWidget(window, parentWidget);
    case WidgetKind::Dialog: return new PlainWidget(window.hwnd, true, parentWidget, flags);
    default: return new PlainWidget(window.hwnd, false, parentWidget, flags);
    }
}

// Win32's defaults for CW_USEDEFAULT: a place and size of its choosing for
// an overlapped window, zero for the others.
QRect RequestedRect(DWORD style, int x, int y, int width, int height) {
    const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
    if (x == CW_USEDEFAULT) {
        x = overlapped ? 100 : 0;
        y = overlapped ? 100 : 0;
    }
    if (width == CW_USEDEFAULT) {
        const QSize screen = ScreenSize();
        width = overlapped ? screen.width() * 3 / 4 : 0;
        height = overlapped ? screen.height() * 3 / 4 : 0;
    }
    return QRect(x, y, std::max(0, width), std::max(0, height));
}

void PlaceNewWidget(Window& window, QRect rect) {
    rect.setSize(ControlPlacementSize(window, rect.size()));
    if (window.IsChild()) {
        WindowRef parent = LookupWindow(window.parent);
        QPoint offset(0, 0);
        if (parent && parent->IsChild()) {
            const QMargins m = NonClientMargins(*parent);
            offset = QPoint(m.left(), m.top());
        }
        window.widget->setGeometry(QRect(rect.topLeft() + offset, rect.size()));
    } else {
        // Not yet shown, a top-level widget has no frame: its size is all
        // client area, its place that of the frame.
        window.widget->move(rect.topLeft());
        window.widget->resize(rect.size());
    }
    FitBufferToClient(window);
}

bool ValidateRelatives(DWORD style, HWND parent, HMENU menu) {
    if (style & WS_CHILD) {
        if (!parent) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return false;
        }
        return ValidWindow(parent) != nullptr;
    }
    if (parent && !ValidWindow(parent)) return false;
    if (menu && !MenuItems(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return false;
    }
    return true;
}

WindowRef MakeWindow(std::shared_ptr<WindowClass> cls, DWORD exStyle, DWORD style, HWND parent, HMENU menu,
                     HINSTANCE instance) {
    WindowRef window = AddWindow();
    window->cls = std::move(cls);
    window->proc = window->cls->proc;
    // Overlapped windows always have a caption, as on Windows.
    if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION | WS_CLIPSIBLINGS;
    window->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    window->exStyle = exStyle;
    window->instance = instance;
    window->extra.assign(static_cast<std::size_t>(std::max(0, window->cls->wndExtra)), 0);
    if (window->IsChild()) {
        window->parent = parent;
        window->id = reinterpret_cast<UINT_PTR>(menu);
        if (WindowRef parentWindow = LookupWindow(parent)) parentWindow->children.push_back(window->hwnd);
    } else if (parent && parent != DesktopHandle()) {
        // A top-level window is owned by the top-level window of its parent.
        window->owner = TopLevelOf(parent);
    }
    return window;
}

void SendDestroy(HWND hwnd) {
    if (WindowRef window = LookupWindow(hwnd)) window->destroyed = true;
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    WindowRef window = LookupWindow(hwnd);
    if (!window) return;
    const std::vector<HWND> children = window->children;
    for (HWND child : children) {
        if (LookupWindow(child)) SendDestroy(child);
    }
}

void Unlink(const Window& window) {
    if (!window.IsChild()) return;
    if (WindowRef parent = LookupWindow(window.parent)) std::erase(parent->children, window.hwnd);
}

void FreeWindow(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return;
    const std::vector<HWND> children = window->children;
    for (HWND child : children) FreeWindow(child);
    KillWindowTimers(hwnd);
    ReleaseWindowDCs(hwnd);
    DestroySystemMenu(hwnd);
    ForgetFocus(hwnd);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    Unlink(*window);
    RemoveWindow(hwnd);
    // The widget may be inside one of its own event handlers now.
    if (QWidget* widget = window->widget) {
        widget->hide();
        widget->deleteLater();
    }
    window->widget = nullptr;
}

void DestroyOwnedWindows(HWND owner) {
    for (HWND hwnd : AllWindows(true)) {
        WindowRef window = LookupWindow(hwnd);
        if (window && window->owner == owner && !window->destroyed) DestroyWindow(hwnd);
    }
}

void HideForDestruction(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !(window->style & WS_VISIBLE)) return;
    if (window->IsChild()) {
        ShowWindow(hwnd, SW_HIDE);
        return;
    }
    window->style &= ~WS_VISIBLE;
    if (window->widget) window->widget->hide();
}

}  // namespace

}  // namespace host::user

using namespace host::user;

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    std::shared_ptr<WindowClass> cls = FindClass(lpClassName);
    if (!cls || cls->kind == WidgetKind::Desktop) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (!ValidateRelatives(dwStyle, hWndParent, hMenu)) return nullptr;

    WindowRef window = MakeWindow(cls, dwExStyle, dwStyle, hWndParent, hMenu, hInstance);
    const HWND hwnd = window->hwnd;
    WindowRef parent = LookupWindow(window->parent);
    BindWidget(*window, CreateWidget(*window, parent ? parent->widget.data() : nullptr));
    // Qt shows a child with its parent unless it was hidden explicitly; a
    // Win32 child stays hidden until it is given WS_VISIBLE.
    if (window->IsChild()) window->widget->hide();
    if (window->IsChild() && (window->style & WS_DISABLED)) window->widget->setEnabled(false);
    SyncControl(*window);
    PlaceNewWidget(*window, RequestedRect(dwStyle, X, Y, nWidth, nHeight));

    CREATESTRUCTW cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.x = X;
    cs.y = Y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.style = static_cast<LONG>(window->style);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;
    window.reset();

    if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd) || SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    if ((window = LookupWindow(hwnd))) SyncControl(*window);
    ReportSizeAndMove(hwnd, true);
    if (!IsWindow(hwnd)) return nullptr;
    if (dwStyle & WS_VISIBLE) {
        const int show = (dwStyle & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW;
        ShowWindow(hwnd, show);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    WindowRef window = ValidWindow(hWnd);
    if (!window || window->cls->kind == WidgetKind::Desktop) {
        if (window) SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A second call while the first is under way has nothing left to do.
    if (window->destroyed) return TRUE;
    window->destroyed = true;
    const bool topLevel = !window->IsChild();
    window.reset();
    HideForDestruction(hWnd);
    if (topLevel) DestroyOwnedWindows(hWnd);
    if (IsWindow(hWnd)) SendDestroy(hWnd);
    if (IsWindow(hWnd)) FreeWindow(hWnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return LookupWindow(hWnd) ? TRUE : FALSE; }
