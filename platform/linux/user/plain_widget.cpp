#include "plain_widget.h"

#include "dialog.h"
#include "geometry.h"
#include "window_class.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace host::user {

namespace {

WPARAM KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    WPARAM state = 0;
    if (buttons & Qt::LeftButton) state |= MK_LBUTTON;
    if (buttons & Qt::RightButton) state |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) state |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) state |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) state |= MK_CONTROL;
    return state;
}

// Bits 0-15 of a key message's lParam: the repeat count.
LPARAM KeyLParam(const QKeyEvent* e, bool down) {
    LPARAM lParam = 1;
    if (e->modifiers() & Qt::AltModifier) lParam |= 1L << 29;
    if (!down) lParam |= (1L << 30) | (1L << 31);
    return lParam;
}

}  // namespace

UINT VirtualKeyFromQt(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return static_cast<UINT>(key);  // the same codes
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + static_cast<UINT>(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    default: return 0;
    }
}

PlainWidget::PlainWidget(HWND hwnd, bool dialog, QWidget* parent, Qt::WindowFlags flags)
    : Hosted<QWidget>(hwnd, parent, flags), dialog_(dialog) {
    setMouseTracking(true);
    // The backing buffer covers every pixel; Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Win32 gives such a window the focus only when asked (SetFocus), never
    // for a click.
    setFocusPolicy(Qt::NoFocus);
}

void PlainWidget::SendMouse(UINT msg, QMouseEvent* e) {
    WindowRef window = LookupWindow(Hwnd());
    if (!window) return;
    const QMargins m = window->IsChild() ? NonClientMargins(*window) : QMargins();
    const QPoint p = e->position().toPoint() - QPoint(m.left(), m.top());
    SendMessageW(Hwnd(), msg, KeyState(e->buttons(), e->modifiers()), MAKELPARAM(p.x(), p.y()));
}

void PlainWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) SendMouse(WM_LBUTTONDOWN, e);
    else if (e->button() == Qt::RightButton) SendMouse(WM_RBUTTONDOWN, e);
}

void PlainWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) SendMouse(WM_LBUTTONUP, e);
    else if (e->button() == Qt::RightButton) SendMouse(WM_RBUTTONUP, e);
}

void PlainWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    WindowRef window = LookupWindow(Hwnd());
    const bool classWantsDouble = window && window->cls && (window->cls->style & CS_DBLCLKS);
    if (e->button() == Qt::LeftButton) SendMouse(classWantsDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, e);
    else if (e->button() == Qt::RightButton) SendMouse(WM_RBUTTONDOWN, e);
}

void PlainWidget::mouseMoveEvent(QMouseEvent* e) { SendMouse(WM_MOUSEMOVE, e); }

void PlainWidget::wheelEvent(QWheelEvent* e) {
    const QPoint screen = e->globalPosition().toPoint();
    const auto delta = static_cast<short>(e->angleDelta().y());
    const WPARAM wParam = MAKEWPARAM(KeyState(e->buttons(), e->modifiers()), static_cast<WORD>(delta));
    SendMessageW(Hwnd(), WM_MOUSEWHEEL, wParam, MAKELPARAM(screen.x(), screen.y()));
}

void PlainWidget::keyPressEvent(QKeyEvent* e) {
    const UINT vk = VirtualKeyFromQt(e->key());
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    if (alt && vk == VK_SPACE) {
        // The window's system menu, where the window manager leaves Alt+Space
        // to the program.
        SendMessageW(TopLevelOf(Hwnd()), WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
        return;
    }
    if (dialog_ && !alt && HandleDialogKey(Hwnd(), vk)) return;
    if (vk) SendMessageW(Hwnd(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyLParam(e, true));
    const QString text = e->text();
    if (!alt && text.size() == 1 && text.at(0).isPrint()) {
        SendMessageW(Hwnd(), WM_CHAR, static_cast<WPARAM>(text.at(0).unicode()), KeyLParam(e, true));
    }
}

void PlainWidget::keyReleaseEvent(QKeyEvent* e) {
    const UINT vk = VirtualKeyFromQt(e->key());
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    if (vk) SendMessageW(Hwnd(), alt ? WM_SYSKEYUP : WM_KEYUP, vk, KeyLParam(e, false));
}

void PlainWidget::contextMenuEvent(QContextMenuEvent* e) {
    // Mouse-made context menus come from WM_RBUTTONUP through DefWindowProc;
    // the keyboard's menu key asks here, with (-1, -1) as Win32 sends it.
    if (e->reason() == QContextMenuEvent::Keyboard) {
        SendMessageW(Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(-1, -1));
    }
}

}  // namespace host::user
