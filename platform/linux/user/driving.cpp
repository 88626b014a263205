// The driving API of host/user.h: input delivered through Qt's own event
// paths, so that it meets the same checks a person's input does.

#include "host/user.h"

#include "geometry.h"
#include "menus.h"
#include "paint.h"
#include "window.h"
#include "window_class.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

namespace host::user {

namespace {

// A window that a person could reach: it exists, shows, and its top-level
// window takes input.
WindowRef Reachable(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget || !IsWindowVisible(hwnd)) return nullptr;
    return window;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const QPointF local(at);
    QMouseEvent event(type, local, widget->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void SendKey(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

int QtKeyFromVirtualKey(UINT vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<int>(vk);
    if (vk >= VK_F1 && vk < VK_F1 + 12) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    switch (vk) {
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_RETURN: return Qt::Key_Return;
    case VK_TAB: return Qt::Key_Tab;
    case VK_BACK: return Qt::Key_Backspace;
    case VK_SPACE: return Qt::Key_Space;
    case VK_LEFT: return Qt::Key_Left;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_UP: return Qt::Key_Up;
    case VK_DOWN: return Qt::Key_Down;
    case VK_HOME: return Qt::Key_Home;
    case VK_END: return Qt::Key_End;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_DELETE: return Qt::Key_Delete;
    default: return 0;
    }
}

QComboBox* ComboOf(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    return window ? qobject_cast<QComboBox*>(window->widget.data()) : nullptr;
}

PixelBuffer FromImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    PixelBuffer buffer;
    buffer.Resize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            buffer.pixels[static_cast<std::size_t>(y) * buffer.width + x] = row[x] & 0x00FFFFFFu;
        }
    }
    return buffer;
}

bool SetState(HWND hwnd, Qt::WindowStates state) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget || window->IsChild() || (window->style & WS_DISABLED)) return false;
    if (!(window->style & WS_VISIBLE)) return false;
    window->widget->setWindowState(state);
    // The window system resizes the window in its own time; let it.
    ProcessEvents();
    return true;
}

}  // namespace

const PixelBuffer* WindowBuffer(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !ShowsBuffer(*window)) return nullptr;
    return &window->buffer;
}

PixelBuffer Grab(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget) return PixelBuffer();
    const QMargins m = window->IsChild() ? NonClientMargins(*window) : QMargins();
    const QRect client(QPoint(m.left(), m.top()), ClientSize(*window));
    if (client.isEmpty()) return PixelBuffer();
    return FromImage(window->widget->grab(client).toImage());
}

bool SavePng(const PixelBuffer& buffer, const std::string& path) {
    if (buffer.width <= 0 || buffer.height <= 0) return false;
    const QImage image(reinterpret_cast<const uchar*>(buffer.pixels.data()), buffer.width, buffer.height,
                       buffer.width * 4, QImage::Format_RGB32);
    return image.save(QString::fromStdString(path), "PNG");
}

bool LoadPng(const std::string& path, PixelBuffer* buffer) {
    QImage image;
    if (!buffer || !image.load(QString::fromStdString(path), "PNG")) return false;
    *buffer = FromImage(image);
    return true;
}

bool Click(HWND button) {
    WindowRef window = Reachable(button);
    if (!window) return false;
    QWidget* widget = window->widget;
    const QPoint centre = widget->rect().center();
    SendMouse(widget, QEvent::MouseButtonPress, centre);
    if (LookupWindow(button) && window->widget) SendMouse(widget, QEvent::MouseButtonRelease, centre);
    return true;
}

bool PressKey(HWND hwnd, UINT vk) {
    WindowRef window = Reachable(hwnd);
    const int key = QtKeyFromVirtualKey(vk);
    if (!window || !key) return false;
    const QString text = vk == VK_SPACE ? QStringLiteral(" ") : QString();
    SendKey(window->widget, key, text);
    return true;
}

bool DropDown(HWND combo) {
    WindowRef window = Reachable(combo);
    QComboBox* box = ComboOf(combo);
    if (!window || !box) return false;
    if (IsDroppedDown(combo)) return true;
    SendMouse(box, QEvent::MouseButtonPress, box->rect().center());
    return IsDroppedDown(combo);
}

bool CloseDropDown(HWND combo) {
    QComboBox* box = ComboOf(combo);
    if (!box || !IsDroppedDown(combo)) return false;
    box->hidePopup();
    return true;
}

bool ChooseComboItem(HWND combo, int index) {
    if (!IsDroppedDown(combo) && !DropDown(combo)) return false;
    QComboBox* box = ComboOf(combo);
    if (!box) return false;
    if (index < 0 || index >= box->count()) {
        CloseDropDown(combo);
        return false;
    }
    // Enter on the highlighted item, as the keyboard picks it.
    box->view()->setCurrentIndex(box->model()->index(index, box->modelColumn(), box->rootModelIndex()));
    SendKey(box->view(), Qt::Key_Return);
    return true;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    if (QComboBox* box = ComboOf(combo)) {
        for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdWString());
    }
    return items;
}

bool IsDroppedDown(HWND combo) { return ComboOf(combo) && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0); }

std::vector<SystemMenuItem> SystemMenuItems(HWND hwnd) {
    std::vector<SystemMenuItem> result;
    HMENU menu = IsWindow(hwnd) ? GetSystemMenu(hwnd, FALSE) : nullptr;
    if (!menu) return result;
    PrepareSystemMenu(hwnd);
    for (const MenuItem& item : *MenuItems(menu)) {
        SystemMenuItem entry;
        entry.separator = (item.flags & MF_SEPARATOR) != 0;
        entry.id = entry.separator ? 0 : static_cast<UINT>(item.id);
        entry.text = item.text;
        entry.enabled = !(item.flags & (MF_GRAYED | MF_DISABLED));
        result.push_back(std::move(entry));
    }
    return result;
}

bool ChooseSystemMenuItem(HWND hwnd, UINT id) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || (window->style & WS_DISABLED)) return false;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu) return false;
    SendMessageW(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    if (!IsWindow(hwnd)) return false;
    SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    if (!IsWindow(hwnd)) return false;
    PrepareSystemMenu(hwnd);
    const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP))) return false;
    SendMessageW(hwnd, WM_SYSCOMMAND, id, 0);
    return true;
}

bool Resize(HWND hwnd, int width, int height) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget || (window->style & WS_DISABLED)) return false;
    if (window->IsChild()) {
        PlaceWindow(hwnd, QRect(WindowRectInParent(*window).topLeft(), QSize(width, height)));
        return true;
    }
    const QMargins m = NonClientMargins(*window);
    window->widget->resize(std::max(0, width - m.left() - m.right()), std::max(0, height - m.top() - m.bottom()));
    ProcessEvents();
    return true;
}

bool Minimize(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    return window && window->widget && SetState(hwnd, window->widget->windowState() | Qt::WindowMinimized);
}

bool Restore(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget) return false;
    // From minimised back to where it was (maximised windows stay so).
    const Qt::WindowStates state = window->widget->windowState();
    if (state & Qt::WindowMinimized) return SetState(hwnd, state & ~Qt::WindowMinimized);
    return SetState(hwnd, Qt::WindowNoState);
}

bool Maximize(HWND hwnd) { return SetState(hwnd, Qt::WindowMaximized); }

std::wstring ClassName(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    return window && window->cls ? window->cls->name : std::wstring();
}

std::vector<HWND> Children(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    return window ? window->children : std::vector<HWND>();
}

std::vector<HWND> TopLevelWindows() { return AllWindows(true); }

void ProcessEvents() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::processEvents();
    // Widgets of destroyed windows go now, not when some outer loop returns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace host::user
