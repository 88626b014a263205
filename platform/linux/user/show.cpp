#include "show.h"

#include "geometry.h"
#include "paint.h"
#include "window_class.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace host::user {

namespace {

struct FocusState {
    HWND focus = nullptr;
    HWND active = nullptr;
};

FocusState& Focus() {
    static FocusState state;
    return state;
}

// Where Qt will put a maximised window's client area.
QSize MaximizedClientSize(const Window& window) {
    const QScreen* screen = window.widget->screen();
    if (!screen) return window.widget->size();
    const QMargins m = NonClientMargins(window);
    return screen->availableGeometry().size().shrunkBy(m);
}

// Whether the window system is about to resize the window for its new
// state; the resize then reports the size once, with the new size.
bool ResizeExpected(const Window& window, DWORD oldStyle) {
    if (window.style & WS_MINIMIZE) return false;  // a minimised window keeps its size
    if (window.style & WS_MAXIMIZE) return window.widget->size() != MaximizedClientSize(window);
    if ((oldStyle & WS_MAXIMIZE) && window.normalRect.isValid()) {
        return window.widget->size() != window.normalRect.size();
    }
    return false;
}

void ShowNow(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || (window->style & WS_VISIBLE)) return;
    SendMessageW(hwnd, WM_SHOWWINDOW, TRUE, 0);
    window = LookupWindow(hwnd);
    if (!window) return;
    window->style |= WS_VISIBLE;
    if (window->widget) window->widget->show();
    // The window system may place a top-level window as it first shows it
    // (clear of the screen's edge, say) without a move event: tell the
    // window where it now is.
    if (!window->IsChild()) ReportSizeAndMove(hwnd);
    InvalidateTree(hwnd);
}

void HideNow(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !(window->style & WS_VISIBLE)) return;
    SendMessageW(hwnd, WM_SHOWWINDOW, FALSE, 0);
    window = LookupWindow(hwnd);
    if (!window) return;
    window->style &= ~WS_VISIBLE;
    if (window->widget) window->widget->hide();
    FocusState& focus = Focus();
    if (focus.focus && IsSelfOrDescendant(focus.focus, hwnd)) focus.focus = nullptr;
    if (focus.active == hwnd) focus.active = nullptr;
}

void Minimize(Window& window) {
    if (window.IsChild() || !window.widget) return;
    // A maximised window stays so underneath, to come back maximised.
    window.widget->setWindowState(window.widget->windowState() | Qt::WindowMinimized);
}

// Maximising and restoring are the window system's to do: the new size
// comes back as a resize (and so as WM_SIZE) when it answers, which on the
// offscreen platform is at the next turn of the event loop.
void Maximize(Window& window) {
    if (window.IsChild() || !window.widget) return;
    window.widget->setWindowState(Qt::WindowMaximized);
}

// A minimised window goes back to what it was before (maximised ones stay
// so); a maximised one to its normal size.
void Restore(Window& window) {
    if (window.IsChild() || !window.widget) return;
    const Qt::WindowStates state = window.widget->windowState();
    window.widget->setWindowState(state & ~((state & Qt::WindowMinimized) ? Qt::WindowMinimized : Qt::WindowMaximized));
}

// Reports the size of a state change whose resize never came (a window
// manager that kept the size): only if the state still stands and nothing
// was reported for it meanwhile.
void ReportLateSize(HWND hwnd, int type) {
    QTimer::singleShot(100, [hwnd, type] {
        WindowRef window = LookupWindow(hwnd);
        if (window && SizeTypeOf(*window) == type && window->sizeTypeSent != type) ReportSizeAndMove(hwnd);
    });
}

void SetFocusState(HWND hwnd, bool moveQtFocus) {
    FocusState& state = Focus();
    const HWND previous = LookupWindow(state.focus) ? state.focus : nullptr;
    if (previous == hwnd) return;
    state.focus = hwnd;
    if (hwnd) state.active = TopLevelOf(hwnd);
    if (previous) SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    WindowRef window = LookupWindow(hwnd);
    if (!window || state.focus != hwnd) return;
    if (moveQtFocus && window->widget) window->widget->setFocus(Qt::OtherFocusReason);
    SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

// Win32 refuses the focus to a window that is, or lies in, a disabled or
// minimised window.
bool CanTakeFocus(HWND hwnd) {
    for (WindowRef window = LookupWindow(hwnd); window; window = LookupWindow(window->parent)) {
        if (window->style & (WS_DISABLED | WS_MINIMIZE)) return false;
        if (!window->IsChild()) break;
    }
    return true;
}

}  // namespace

bool IsShown(const Window& window) {
    if (!(window.style & WS_VISIBLE)) return false;
    if (!window.IsChild()) return true;
    for (WindowRef parent = LookupWindow(window.parent); parent; parent = LookupWindow(parent->parent)) {
        if (!(parent->style & WS_VISIBLE)) return false;
        if (!parent->IsChild()) return true;
    }
    return false;  // a child whose parent is gone
}

bool IsInputBlocked(const QWidget* widget) {
    if (!widget) return false;
    WindowRef top = WindowOfWidget(widget->window());
    return top && !top->IsChild() && (top->style & WS_DISABLED);
}

void OnWidgetGeometryChanged(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return;
    FitBufferToClient(*window);
    ReportSizeAndMove(hwnd);
}

void OnWindowStateChanged(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget || window->IsChild()) return;
    const Qt::WindowStates state = window->widget->windowState();
    const DWORD oldStyle = window->style;
    window->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
    if (state & Qt::WindowMinimized) window->style |= WS_MINIMIZE;
    else if (state & Qt::WindowMaximized) window->style |= WS_MAXIMIZE;
    if ((oldStyle ^ window->style) & (WS_MINIMIZE | WS_MAXIMIZE)) {
        if ((window->style & WS_MAXIMIZE) && !(oldStyle & (WS_MAXIMIZE | WS_MINIMIZE))) {
            window->normalRect = window->widget->geometry();
        }
        if (ResizeExpected(*window, oldStyle)) ReportLateSize(hwnd, SizeTypeOf(*window));
        else ReportSizeAndMove(hwnd);
    }
}

void OnCloseRequested(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || (window->style & WS_DISABLED)) return;
    if (window->cls && (window->cls->style & CS_NOCLOSE)) return;
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void OnFocusIn(HWND hwnd) {
    if (Focus().focus != hwnd) SetFocusState(hwnd, false);
}

void OnActivated(HWND hwnd) { Focus().active = hwnd; }

void ForgetFocus(HWND hwnd) {
    FocusState& state = Focus();
    if (state.focus == hwnd) state.focus = nullptr;
    if (state.active == hwnd) state.active = nullptr;
}

}  // namespace host::user

using host::user::LookupWindow;
using host::user::ValidWindow;
using host::user::WindowRef;

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    const BOOL wasVisible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
    switch (nCmdShow) {
    case SW_HIDE:
        host::user::HideNow(hWnd);
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        host::user::ShowNow(hWnd);
        if ((window = LookupWindow(hWnd)) && !(window->style & WS_MINIMIZE)) host::user::Minimize(*window);
        break;
    case SW_SHOWMAXIMIZED:
        host::user::ShowNow(hWnd);
        if ((window = LookupWindow(hWnd)) && !(window->style & WS_MAXIMIZE)) host::user::Maximize(*window);
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        host::user::ShowNow(hWnd);
        if ((window = LookupWindow(hWnd)) && (window->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
            host::user::Restore(*window);
        }
        break;
    case SW_SHOW:
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        host::user::ShowNow(hWnd);
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    window = LookupWindow(hWnd);
    const bool activates = nCmdShow == SW_SHOW || nCmdShow == SW_SHOWNORMAL || nCmdShow == SW_RESTORE ||
                           nCmdShow == SW_SHOWMAXIMIZED || nCmdShow == SW_SHOWDEFAULT;
    if (window && !window->IsChild() && activates) host::user::Focus().active = hWnd;
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    WindowRef window = LookupWindow(hWnd);
    return window && host::user::IsShown(*window) ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    const bool wasDisabled = (window->style & WS_DISABLED) != 0;
    if (wasDisabled == !bEnable) return wasDisabled ? TRUE : FALSE;
    if (bEnable) {
        window->style &= ~WS_DISABLED;
    } else {
        window->style |= WS_DISABLED;
        // A disabled window loses the keyboard focus.
        const HWND focus = host::user::Focus().focus;
        if (focus && host::user::IsSelfOrDescendant(focus, hWnd)) SetFocus(nullptr);
    }
    // A disabled child looks disabled; a disabled top-level window (the owner
    // of a modal one) only stops taking input, as on Windows.
    if ((window = LookupWindow(hWnd)) && window->IsChild() && window->widget) {
        window->widget->setEnabled(bEnable != FALSE);
    }
    SendMessageW(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    WindowRef window = LookupWindow(hWnd);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hWnd) {
    WindowRef window = LookupWindow(hWnd);
    return window && (window->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL WINAPI IsZoomed(HWND hWnd) {
    WindowRef window = LookupWindow(hWnd);
    return window && (window->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

HWND WINAPI SetFocus(HWND hWnd) {
    const HWND previous = LookupWindow(host::user::Focus().focus) ? host::user::Focus().focus : nullptr;
    if (hWnd) {
        if (!ValidWindow(hWnd)) return nullptr;
        if (!host::user::CanTakeFocus(hWnd)) return nullptr;
    }
    host::user::SetFocusState(hWnd, true);
    return previous;
}

HWND WINAPI GetFocus(void) {
    const HWND focus = host::user::Focus().focus;
    return LookupWindow(focus) ? focus : nullptr;
}

HWND WINAPI GetActiveWindow(void) {
    const HWND active = host::user::Focus().active;
    return LookupWindow(active) ? active : nullptr;
}
