// The "msctls_progress32" class on QProgressBar: range, position, step and
// colours with the results Win32 gives (each setter answers the previous
// value; PBM_SETRANGE packs the old range into two 16-bit halves).

#include <commctrl.h>

#include "controls.h"
#include "hosted_widget.h"
#include "qt_bridge.h"
#include "window_class.h"

#include <QProgressBar>

#include <algorithm>

namespace host::user {

namespace {

class ProgressWidget : public Hosted<QProgressBar> {
public:
    ProgressWidget(HWND hwnd, QWidget* parent) : Hosted<QProgressBar>(hwnd, parent) {}
};

QProgressBar* AsBar(const Window& window) { return qobject_cast<QProgressBar*>(window.widget.data()); }

void Show(Window& window) {
    QProgressBar* bar = AsBar(window);
    if (!bar) return;
    const ProgressInfo& info = window.progress;
    // Qt animates a bar whose range is empty; Win32 just shows it empty.
    const int high = std::max(info.high, info.low + 1);
    bar->setRange(info.low, high);
    bar->setValue(std::clamp(info.pos, info.low, high));
    QPalette palette = bar->parentWidget() ? bar->parentWidget()->palette() : bar->palette();
    if (info.background != CLR_DEFAULT) {
        palette.setColor(QPalette::Base, ToQColor(info.background));
        palette.setColor(QPalette::Window, ToQColor(info.background));
    }
    if (info.bar != CLR_DEFAULT) palette.setColor(QPalette::Highlight, ToQColor(info.bar));
    bar->setPalette(palette);
}

void Coerce(ProgressInfo& info) { info.pos = std::clamp(info.pos, std::min(info.low, info.high), std::max(info.low, info.high)); }

LRESULT SetRange(Window& window, int low, int high) {
    ProgressInfo& info = window.progress;
    const LRESULT previous = MAKELONG(LOWORD(info.low), LOWORD(info.high));
    if (info.low == low && info.high == high) return previous;
    info.low = low;
    info.high = high;
    Coerce(info);
    Show(window);
    return previous;
}

LRESULT MovePosition(Window& window, int pos) {
    ProgressInfo& info = window.progress;
    const int previous = info.pos;
    info.pos = pos;
    Coerce(info);
    Show(window);
    return previous;
}

// PBM_STEPIT wraps around past either end of the range.
LRESULT StepIt(Window& window) {
    ProgressInfo& info = window.progress;
    const int previous = info.pos;
    if (info.low == info.high) return previous;
    int pos = info.pos + info.step;
    const int span = info.high - info.low;
    if (pos > info.high) pos = (pos - info.low) % span + info.low;
    if (pos < info.low) pos = (pos - info.low) % span + info.high;
    info.pos = pos;
    Show(window);
    return previous;
}

LRESULT SetColor(Window& window, COLORREF ProgressInfo::*which, LPARAM color) {
    const COLORREF previous = window.progress.*which;
    window.progress.*which = static_cast<COLORREF>(color);
    Show(window);
    return previous;
}

}  // namespace

QWidget* CreateProgressWidget(Window& window, QWidget* parent) {
    auto* bar = new ProgressWidget(window.hwnd, parent);
    bar->setTextVisible(false);
    bar->setFocusPolicy(Qt::NoFocus);
    // A themed progress bar draws its own frame: Win32 drops the edges.
    window.exStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE | WS_EX_STATICEDGE);
    return bar;
}

void ApplyProgressStyle(Window& window) {
    if (QProgressBar* bar = AsBar(window)) bar->setOrientation((window.style & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
    Show(window);
}

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return DefWindowProcW(hwnd, msg, wParam, lParam);
    ProgressInfo& info = window->progress;
    switch (msg) {
    case WM_PAINT: return ControlPaint(hwnd, wParam, nullptr);
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
    case WM_GETFONT: {
        // The bar keeps the font for its owner; it draws no text.
        LRESULT previous = reinterpret_cast<LRESULT>(window->font);
        if (msg == WM_SETFONT) window->font = reinterpret_cast<HFONT>(wParam);
        return previous;
    }
    case PBM_SETRANGE: return SetRange(*window, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32: return SetRange(*window, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PPBRANGE>(lParam)) *range = PBRANGE{info.low, info.high};
        return wParam ? info.low : info.high;
    case PBM_SETPOS: return MovePosition(*window, static_cast<int>(wParam));
    case PBM_DELTAPOS: return MovePosition(*window, info.pos + static_cast<int>(wParam));
    case PBM_GETPOS: return info.pos;
    case PBM_SETSTEP: {
        const int previous = info.step;
        info.step = static_cast<int>(wParam);
        return previous;
    }
    case PBM_STEPIT: return StepIt(*window);
    case PBM_SETBARCOLOR: return SetColor(*window, &ProgressInfo::bar, lParam);
    case PBM_SETBKCOLOR: return SetColor(*window, &ProgressInfo::background, lParam);
    case PBM_GETBARCOLOR: return info.bar;
    case PBM_GETBKCOLOR: return info.background;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace host::user
