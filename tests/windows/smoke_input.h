#pragma once
// A press of a control as a person's pointer gives it: the pointer moves to
// the control's centre and the left button goes down and up there, through
// the window system's own input queue and hit-testing.

#include <windows.h>

namespace smoke {

bool PressWithPointer(HWND control);

}  // namespace smoke
