#pragma once
// Window text as the text messages hand it over.

#include <windows.h>

#include <string>

namespace host::user {

// WM_GETTEXT's copy: at most capacity - 1 characters and a terminating zero
// into `buffer`; returns the characters copied (0 when nothing fits).
LRESULT CopyTextOut(const std::wstring& text, WPARAM capacity, LPARAM buffer);

// The text a window was created with, unless it names a resource by ordinal
// (0xFFFF and a number, as a dialog template gives an icon).
std::wstring CreationText(LPCWSTR name);

}  // namespace host::user
