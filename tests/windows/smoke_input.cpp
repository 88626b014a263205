#include "smoke_input.h"

namespace smoke {

namespace {

// A screen coordinate as SendInput's absolute scale (0 to 65535 across the
// screen) gives it, rounded up so that it maps back onto the same pixel.
LONG Absolute(int pixel, int screenSize) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + screenSize - 1) / screenSize);
}

}  // namespace

bool PressWithPointer(HWND control) {
    RECT rect;
    if (!::GetWindowRect(control, &rect)) return false;
    const int x = (rect.left + rect.right) / 2, y = (rect.top + rect.bottom) / 2;
    // Every event carries the place itself: where the pointer happens to be
    // when the window system takes the button events does not matter.
    const DWORD place = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    INPUT events[3] = {};
    const DWORD flags[3] = {place, place | MOUSEEVENTF_LEFTDOWN, place | MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        events[i].type = INPUT_MOUSE;
        events[i].mi.dx = Absolute(x, ::GetSystemMetrics(SM_CXSCREEN));
        events[i].mi.dy = Absolute(y, ::GetSystemMetrics(SM_CYSCREEN));
        events[i].mi.dwFlags = flags[i];
    }
    return ::SendInput(3, events, sizeof(INPUT)) == 3;
}

}  // namespace smoke
