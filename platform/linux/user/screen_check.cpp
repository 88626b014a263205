// What the screen shows against what the windows hold. The window state
// (WS_VISIBLE, WS_DISABLED, the size and place a window was told) is what
// the program acts on; Qt's widgets are what a person sees and clicks. The
// two must never drift apart: a widget Qt shows while its window is hidden
// takes the clicks meant for the window beneath it.

#include "host/user.h"

#include "geometry.h"
#include "show.h"
#include "qt_bridge.h"
#include "window.h"
#include "window_class.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>

#include <sstream>
#include <string>

namespace host::user {

namespace {

std::string Utf8(const std::wstring& text) { return ToQt(text).toStdString(); }

// "control 1018 (Button "Show Standby Repurposed")", or for a window without
// an id of its own (the charts, the legend labels) its class, text and place
// among its parent's children.
std::string Describe(const Window& window, std::size_t index) {
    std::ostringstream out;
    const std::wstring cls = window.cls ? window.cls->name : std::wstring();
    if (!window.IsChild()) {
        out << "top-level window (" << Utf8(cls) << " \"" << Utf8(window.text) << "\")";
    } else if (window.id != 0 && window.id != 0xFFFF) {
        out << "control " << window.id << " (" << Utf8(cls) << " \"" << Utf8(window.text) << "\")";
    } else {
        out << "child " << index + 1 << " without an id (" << Utf8(cls) << " \"" << Utf8(window.text) << "\")";
    }
    return out.str();
}

// A child looks disabled when it or any window between it and its
// top-level window is disabled.
bool LooksEnabledByStyle(const Window& window) {
    for (WindowRef w = LookupWindow(window.hwnd); w && w->IsChild(); w = LookupWindow(w->parent)) {
        if (w->style & WS_DISABLED) return false;
    }
    return true;
}

std::string SizeText(QSize size) {
    return std::to_string(size.width()) + " x " + std::to_string(size.height());
}

std::string PointText(QPoint point) {
    return "(" + std::to_string(point.x()) + ", " + std::to_string(point.y()) + ")";
}

void Compare(const Window& window, std::size_t index, std::vector<std::string>* out) {
    const QWidget* widget = window.widget;
    if (!widget) return;
    const std::string name = Describe(window, index);
    const bool shown = IsShown(window);
    if (widget->isVisible() != shown) {
        out->push_back(name + (shown ? ": the window is shown, the screen does not show it"
                                     : ": the window is hidden, the screen shows it"));
    }
    if (window.IsChild() && widget->isEnabled() != LooksEnabledByStyle(window)) {
        out->push_back(name + (widget->isEnabled() ? ": the window is disabled, the screen shows it enabled"
                                                   : ": the window is enabled, the screen shows it disabled"));
    }
    // The client area's size and place as the screen has them, against what
    // WM_SIZE and WM_MOVE last told the window. A minimised window has no
    // client area and keeps its place.
    const QSize size = ClientSize(window);
    if (size != window.sizeSent) {
        out->push_back(name + ": the screen's client area is " + SizeText(size) + ", the window was told " +
                       SizeText(window.sizeSent));
    }
    if (window.style & WS_MINIMIZE) return;
    const QMargins m = NonClientMargins(window);
    const QPoint origin = window.IsChild() ? WindowRectInParent(window).topLeft() + QPoint(m.left(), m.top())
                                           : ClientOriginOnScreen(window);
    if (origin != window.moveSent) {
        out->push_back(name + ": the screen puts the client area at " + PointText(origin) +
                       ", the window was told " + PointText(window.moveSent));
    }
}

void CompareTree(HWND hwnd, std::size_t index, std::vector<std::string>* out) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return;
    Compare(*window, index, out);
    const std::vector<HWND> children = window->children;
    for (std::size_t i = 0; i < children.size(); ++i) CompareTree(children[i], i, out);
}

}  // namespace

std::vector<std::string> ScreenMismatches(HWND hwnd) {
    std::vector<std::string> mismatches;
    CompareTree(hwnd, 0, &mismatches);
    return mismatches;
}

HWND WindowAt(HWND topLevel, POINT client) {
    WindowRef top = LookupWindow(topLevel);
    if (!top || top->IsChild() || !top->widget) return nullptr;
    const QPoint point(client.x, client.y);
    if (!QRect(QPoint(0, 0), ClientSize(*top)).contains(point)) return nullptr;
    // Qt's own hit-testing: visible children only, the topmost first.
    for (QWidget* widget = top->widget->childAt(point); widget; widget = widget->parentWidget()) {
        if (WindowRef window = WindowOfWidget(widget)) return window->hwnd;
    }
    return topLevel;
}

std::wstring ShownCaption(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !window->widget) return std::wstring();
    QWidget* widget = window->widget;
    if (const auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdWString();
    if (const auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText().toStdWString();
    if (const auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdWString();
    return std::wstring();
}

}  // namespace host::user
