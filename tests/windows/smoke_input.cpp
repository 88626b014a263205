#include "smoke_input.h"

namespace smoke {

bool PressWithPointer(HWND control) {
    RECT rect;
    if (!::GetWindowRect(control, &rect)) return false;
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    if (!::SetCursorPos(x, y)) return false;
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return ::SendInput(2, clicks, sizeof(INPUT)) == 2;
}

}  // namespace smoke
