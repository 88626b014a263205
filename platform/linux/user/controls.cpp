#include "controls.h"

#include "paint.h"
#include "qt_bridge.h"
#include "window_class.h"

#include <QWidget>

namespace host::user {

bool HandleControlFont(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg != WM_SETFONT && msg != WM_GETFONT) return false;
    WindowRef window = LookupWindow(hwnd);
    if (!window) {
        *result = 0;
        return true;
    }
    if (msg == WM_GETFONT) {
        *result = reinterpret_cast<LRESULT>(window->font);
        return true;
    }
    window->font = reinterpret_cast<HFONT>(wParam);
    if (window->widget) {
        window->widget->setFont(ToQFont(window->font));
        if (LOWORD(lParam)) window->widget->update();
    }
    *result = 0;
    return true;
}

void SyncControl(Window& window) {
    if (!window.cls || !window.widget) return;
    switch (window.cls->kind) {
    case WidgetKind::Button: ApplyButtonStyle(window); break;
    case WidgetKind::Static: ApplyStaticStyle(window); break;
    case WidgetKind::ComboBox: ApplyComboBoxStyle(window); break;
    case WidgetKind::Progress: ApplyProgressStyle(window); break;
    default: break;
    }
}

LRESULT ControlPaint(HWND hwnd, WPARAM wParam, void (*drawWithGdi)(Window& window, HDC hdc)) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return 0;
    if (wParam) {
        if (drawWithGdi) drawWithGdi(*window, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    if (TakeNativePaint(*window)) return 0;
    // The replaced procedure began painting and passed the message on: the
    // control draws itself onto the buffer like a Win32 control would.
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc && drawWithGdi) drawWithGdi(*window, hdc);
    EndPaint(hwnd, &ps);
    return 0;
}

}  // namespace host::user
