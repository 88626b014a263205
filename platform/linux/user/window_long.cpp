// GetWindowLongPtrW / SetWindowLongPtrW and their 32-bit forms: the window
// procedure (subclassing), user data, id, styles, owner and the class's
// extra bytes (which hold a dialog's DWLP_* values).

#include "controls.h"
#include "geometry.h"
#include "paint.h"
#include "window.h"
#include "window_class.h"

#include <cstring>

namespace host::user {

namespace {

bool ExtraSlot(const Window& window, int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) + size <= window.extra.size();
}

LONG_PTR ReadExtra(const Window& window, int index, std::size_t size) {
    LONG_PTR value = 0;
    std::memcpy(&value, window.extra.data() + index, size);
    if (size == sizeof(LONG)) value = static_cast<LONG>(value);
    return value;
}

void WriteExtra(Window& window, int index, std::size_t size, LONG_PTR value) {
    std::memcpy(window.extra.data() + index, &value, size);
}

// Styles set this way keep the window's actual visibility and enabled
// state: ShowWindow and EnableWindow change those.
void SetStyle(Window& window, DWORD style) {
    const DWORD kept = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE;
    window.style = (style & ~kept) | (window.style & kept);
    SyncControl(window);
}

void SetProcedure(Window& window, WNDPROC proc) {
    window.proc = proc;
    // A replaced procedure may paint the control itself: the next paint
    // asks it, and a full repaint is due.
    window.paintsItself = false;
    InvalidateRegion(window, QRegion(QRect(QPoint(0, 0), ClientSize(window))), true);
}

LONG_PTR Get(const Window& window, int index, std::size_t size) {
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window.proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window.instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window.IsChild() ? window.parent : window.owner);
    case GWLP_USERDATA: return window.userData;
    case GWLP_ID: return static_cast<LONG_PTR>(window.id);
    case GWL_STYLE: return static_cast<LONG>(window.style);
    case GWL_EXSTYLE: return static_cast<LONG>(window.exStyle);
    default: break;
    }
    if (!ExtraSlot(window, index, size)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return ReadExtra(window, index, size);
}

LONG_PTR Set(Window& window, int index, std::size_t size, LONG_PTR value) {
    const LONG_PTR previous = Get(window, index, size);
    switch (index) {
    case GWLP_WNDPROC:
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        SetProcedure(window, reinterpret_cast<WNDPROC>(value));
        return previous;
    case GWLP_HINSTANCE: window.instance = reinterpret_cast<HINSTANCE>(value); return previous;
    case GWLP_HWNDPARENT:
        // Changes the owner of a top-level window; a child keeps its parent.
        if (!window.IsChild()) window.owner = reinterpret_cast<HWND>(value);
        return previous;
    case GWLP_USERDATA: window.userData = value; return previous;
    case GWLP_ID: window.id = static_cast<UINT_PTR>(value); return previous;
    case GWL_STYLE: SetStyle(window, static_cast<DWORD>(value)); return previous;
    case GWL_EXSTYLE: window.exStyle = static_cast<DWORD>(value); return previous;
    default: break;
    }
    if (!ExtraSlot(window, index, size)) return 0;  // Get set ERROR_INVALID_INDEX
    WriteExtra(window, index, size, value);
    return previous;
}

// On 64-bit Windows the 32-bit forms refuse the pointer-sized fields.
bool PointerOnly(int index) { return index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT; }

}  // namespace

}  // namespace host::user

using host::user::ValidWindow;
using host::user::WindowRef;

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
    WindowRef window = ValidWindow(hWnd);
    return window ? host::user::Get(*window, nIndex, sizeof(LONG_PTR)) : 0;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    WindowRef window = ValidWindow(hWnd);
    return window ? host::user::Set(*window, nIndex, sizeof(LONG_PTR), dwNewLong) : 0;
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return 0;
    if (host::user::PointerOnly(nIndex)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(host::user::Get(*window, nIndex, sizeof(LONG)));
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return 0;
    if (host::user::PointerOnly(nIndex)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return static_cast<LONG>(host::user::Set(*window, nIndex, sizeof(LONG), dwNewLong));
}
