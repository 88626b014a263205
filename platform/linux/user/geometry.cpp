#include "geometry.h"

#include "controls.h"
#include "paint.h"
#include "window_class.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace host::user {

namespace {

bool IsDesktop(const Window& window) { return window.cls && window.cls->kind == WidgetKind::Desktop; }

// The edges Win32 puts around a child window's client area, by its styles.
QMargins ChildEdges(const Window& window) {
    const DWORD style = window.style;
    const DWORD ex = window.exStyle;
    int edge = 0;
    if ((ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) {
        edge = 1;
    } else if ((ex & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME))) {
        edge = 2;
    }
    if (style & WS_THICKFRAME) edge += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME)) ++edge;
    if (ex & WS_EX_CLIENTEDGE) edge += GetSystemMetrics(SM_CXEDGE);
    QMargins margins(edge, edge, edge, edge);
    if ((style & WS_CAPTION) == WS_CAPTION) margins.setTop(margins.top() + GetSystemMetrics(SM_CYCAPTION));
    return margins;
}

// Where the client area starts inside the window's own widget.
QPoint ClientOffsetInWidget(const Window& window) {
    if (!window.IsChild()) return QPoint(0, 0);
    const QMargins m = NonClientMargins(window);
    return QPoint(m.left(), m.top());
}

QPoint ParentClientOffset(const Window& window) {
    if (!window.IsChild()) return QPoint(0, 0);
    WindowRef parent = LookupWindow(window.parent);
    return parent ? ClientOffsetInWidget(*parent) : QPoint(0, 0);
}

QPoint ClientOriginInParent(const Window& window) {
    const QMargins m = NonClientMargins(window);
    return WindowRectInParent(window).topLeft() + QPoint(m.left(), m.top());
}

}  // namespace

int SizeTypeOf(const Window& window) {
    if (window.style & WS_MINIMIZE) return SIZE_MINIMIZED;
    if (window.style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

QMargins NonClientMargins(const Window& window) {
    if (window.IsChild()) return ChildEdges(window);
    if (!window.widget) return QMargins();
    const QRect frame = window.widget->frameGeometry();
    const QRect client = window.widget->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                    frame.bottom() - client.bottom());
}

QSize ClientSize(const Window& window) {
    if (IsDesktop(window)) return ScreenSize();
    // A minimised window has no client area, as on Windows.
    if (!window.widget || (window.style & WS_MINIMIZE)) return QSize(0, 0);
    if (!window.IsChild()) return window.widget->size();
    const QSize outer = window.widget->size();
    const QMargins m = NonClientMargins(window);
    return QSize(std::max(0, outer.width() - m.left() - m.right()), std::max(0, outer.height() - m.top() - m.bottom()));
}

QPoint ClientOriginOnScreen(const Window& window) {
    if (!window.widget) return QPoint(0, 0);
    return window.widget->mapToGlobal(ClientOffsetInWidget(window));
}

QRect WindowRectOnScreen(const Window& window) {
    if (IsDesktop(window)) return QRect(QPoint(0, 0), ScreenSize());
    if (!window.widget) return QRect();
    if (!window.IsChild()) return window.widget->frameGeometry();
    return QRect(window.widget->mapToGlobal(QPoint(0, 0)), window.widget->size());
}

QRect WindowRectInParent(const Window& window) {
    if (!window.IsChild()) return WindowRectOnScreen(window);
    if (!window.widget) return QRect();
    return window.widget->geometry().translated(-ParentClientOffset(window));
}

void PlaceWindow(HWND hwnd, const QRect& rect) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget) return;
    QSize size(std::max(0, rect.width()), std::max(0, rect.height()));
    if (size != WindowRectInParent(*window).size()) size = ControlPlacementSize(*window, size);
    if (window->IsChild()) {
        window->widget->setGeometry(QRect(rect.topLeft() + ParentClientOffset(*window), size));
    } else {
        const QMargins m = NonClientMargins(*window);
        window->widget->setGeometry(rect.left() + m.left(), rect.top() + m.top(),
                                    std::max(0, size.width() - m.left() - m.right()),
                                    std::max(0, size.height() - m.top() - m.bottom()));
    }
    FitBufferToClient(*window);
    ReportSizeAndMove(hwnd);
}

void ReportSizeAndMove(HWND hwnd, bool force) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget) return;
    const int type = SizeTypeOf(*window);
    const QSize client = ClientSize(*window);
    if (force || type != window->sizeTypeSent || client != window->sizeSent) {
        window->sizeTypeSent = type;
        window->sizeSent = client;
        SendMessageW(hwnd, WM_SIZE, static_cast<WPARAM>(type), MAKELPARAM(client.width(), client.height()));
    }
    window = LookupWindow(hwnd);
    if (!window || (window->style & WS_MINIMIZE)) return;
    const QPoint origin = window->IsChild() ? ClientOriginInParent(*window) : ClientOriginOnScreen(*window);
    if (force || origin != window->moveSent) {
        window->moveSent = origin;
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x(), origin.y()));
    }
}

void FitBufferToClient(Window& window) {
    const QSize client = ClientSize(window);
    PixelBuffer& buffer = window.buffer;
    const QSize old(buffer.width, buffer.height);
    if (client == old) return;
    // Minimising leaves the picture alone: there is nothing to show, and the
    // restored window gets its old pixels back until it repaints.
    if (client.isEmpty() && (window.style & WS_MINIMIZE)) return;
    PixelBuffer resized;
    resized.Resize(client.width(), client.height());
    const int rows = std::min(old.height(), client.height());
    const int columns = std::min(old.width(), client.width());
    for (int y = 0; y < rows; ++y) {
        std::copy_n(buffer.pixels.begin() + static_cast<std::ptrdiff_t>(y) * old.width(), columns,
                    resized.pixels.begin() + static_cast<std::ptrdiff_t>(y) * client.width());
    }
    buffer = std::move(resized);
    const UINT classStyle = window.cls ? window.cls->style : 0;
    const bool redrawAll = ((classStyle & CS_HREDRAW) && client.width() != old.width()) ||
                           ((classStyle & CS_VREDRAW) && client.height() != old.height());
    QRegion exposed(QRect(QPoint(0, 0), client));
    if (!redrawAll) exposed -= QRect(QPoint(0, 0), old);
    if (!exposed.isEmpty()) InvalidateRegion(window, exposed, true);
}

QSize ScreenSize() {
    const QScreen* screen = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

}  // namespace host::user

using host::user::LookupWindow;
using host::user::ValidWindow;
using host::user::WindowRef;

namespace {

RECT ToRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// Where a window's client area starts on the screen; the desktop (or no
// window) stands for the screen itself.
bool ScreenOrigin(HWND hwnd, QPoint* origin) {
    if (!hwnd || hwnd == host::user::DesktopHandle()) {
        *origin = QPoint(0, 0);
        return true;
    }
    WindowRef window = ValidWindow(hwnd);
    if (!window) return false;
    *origin = host::user::ClientOriginOnScreen(*window);
    return true;
}

void Restack(const host::user::Window& window, HWND insertAfter) {
    QWidget* widget = window.widget;
    if (!widget) return;
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        widget->raise();
    } else if (insertAfter == HWND_BOTTOM) {
        widget->lower();
    } else if (WindowRef above = LookupWindow(insertAfter); above && above->widget) {
        // Win32 puts the window just below the one named.
        if (above->widget->parentWidget() == widget->parentWidget()) widget->stackUnder(above->widget);
    }
}

}  // namespace

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    if (!lpRect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *lpRect = ToRect(QRect(QPoint(0, 0), host::user::ClientSize(*window)));
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    if (!lpRect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *lpRect = ToRect(host::user::WindowRectOnScreen(*window));
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    const QRect current = host::user::WindowRectInParent(*window);
    const QPoint pos = (uFlags & SWP_NOMOVE) ? current.topLeft() : QPoint(X, Y);
    const QSize size = (uFlags & SWP_NOSIZE) ? current.size() : QSize(std::max(0, cx), std::max(0, cy));
    if (!(uFlags & SWP_NOZORDER)) Restack(*window, hWndInsertAfter);
    if ((uFlags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
        host::user::PlaceWindow(hWnd, QRect(pos, size));
    }
    if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOWNA);
    if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW);
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, flags);
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    QPoint origin;
    if (!lpPoint || !hWnd || !ScreenOrigin(hWnd, &origin)) return FALSE;
    lpPoint->x += origin.x();
    lpPoint->y += origin.y();
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    QPoint origin;
    if (!lpPoint || !hWnd || !ScreenOrigin(hWnd, &origin)) return FALSE;
    lpPoint->x -= origin.x();
    lpPoint->y -= origin.y();
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    QPoint from;
    QPoint to;
    if (!ScreenOrigin(hWndFrom, &from) || !ScreenOrigin(hWndTo, &to)) return 0;
    const QPoint delta = from - to;
    for (UINT i = 0; lpPoints && i < cPoints; ++i) {
        lpPoints[i].x += delta.x();
        lpPoints[i].y += delta.y();
    }
    // Win32 answers the offset, horizontal in the low word; a zero offset
    // is a success too, so clear the last error first.
    SetLastError(ERROR_SUCCESS);
    return MAKELONG(delta.x(), delta.y());
}
