#pragma once
// A picture of a window as the screen shows it, written as a 24-bit BMP.

#include <windows.h>

namespace smoke {

bool WriteWindowPicture(HWND hwnd, const wchar_t* path);

}  // namespace smoke
