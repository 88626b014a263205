// The handle table. Handles are never reused, so a handle kept after its
// window died stays invalid for the life of the process.

#include "window.h"

#include "window_class.h"

#include <map>
#include <unordered_map>

namespace host::user {

namespace {

struct Table {
    // Ordered by handle, which is creation order.
    std::map<HWND, WindowRef> windows;
    std::unordered_map<const QWidget*, HWND> widgets;
    std::uintptr_t nextHandle = 0x10010;
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

WindowRef LookupWindow(HWND hwnd) {
    if (!hwnd) return nullptr;
    Table& table = TheTable();
    auto it = table.windows.find(hwnd);
    return it == table.windows.end() ? nullptr : it->second;
}

WindowRef ValidWindow(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

WindowRef WindowOfWidget(const QWidget* widget) {
    Table& table = TheTable();
    auto it = table.widgets.find(widget);
    return it == table.widgets.end() ? nullptr : LookupWindow(it->second);
}

WindowRef AddWindow() {
    Table& table = TheTable();
    auto window = std::make_shared<Window>();
    // Win32 window handles are small even numbers; keep to that look.
    window->hwnd = reinterpret_cast<HWND>(table.nextHandle);
    table.nextHandle += 4;
    table.windows.emplace(window->hwnd, window);
    return window;
}

void RemoveWindow(HWND hwnd) {
    Table& table = TheTable();
    auto it = table.windows.find(hwnd);
    if (it == table.windows.end()) return;
    // The widget may already be gone; drop its entry by handle.
    std::erase_if(table.widgets, [hwnd](const auto& entry) { return entry.second == hwnd; });
    table.windows.erase(it);
}

void BindWidget(Window& window, QWidget* widget) {
    window.widget = widget;
    TheTable().widgets[widget] = window.hwnd;
}

std::vector<HWND> AllWindows(bool topLevelOnly) {
    std::vector<HWND> result;
    for (const auto& [hwnd, window] : TheTable().windows) {
        if (window->cls && window->cls->kind == WidgetKind::Desktop) continue;
        if (!topLevelOnly || !window->IsChild()) result.push_back(hwnd);
    }
    return result;
}

HWND TopLevelOf(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    while (window && window->IsChild() && window->parent) {
        WindowRef parent = LookupWindow(window->parent);
        if (!parent) break;
        window = parent;
    }
    return window ? window->hwnd : nullptr;
}

bool IsSelfOrDescendant(HWND hwnd, HWND ancestor) {
    for (WindowRef window = LookupWindow(hwnd); window; window = LookupWindow(window->parent)) {
        if (window->hwnd == ancestor) return true;
        if (!window->IsChild()) break;
    }
    return false;
}

HWND DesktopHandle() {
    static HWND desktop = [] {
        WindowRef window = AddWindow();
        window->cls = FindClass(L"#32769");
        window->proc = DefWindowProcW;
        window->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        return window->hwnd;
    }();
    return desktop;
}

}  // namespace host::user
