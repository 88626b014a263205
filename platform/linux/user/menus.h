#pragma once
// Menus: popup menus the program builds, and each window's system menu.
//
// Linux window managers own the title bar's menu, so the host shows a
// window's system menu itself, as a context menu (a right click on the
// window's background, and Alt+Space), and sends WM_SYSCOMMAND with the
// chosen item's id.

#include <windows.h>

#include <QPoint>

#include <string>
#include <vector>

namespace host::user {

struct MenuItem {
    UINT flags = 0;  // MF_SEPARATOR, MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP
    UINT_PTR id = 0;
    std::wstring text;
    HMENU submenu = nullptr;
};

// The items of a menu, or null for a handle that is not a menu.
const std::vector<MenuItem>* MenuItems(HMENU menu);

// Shows the window's system menu at `screen` (when a person can answer it)
// and sends WM_SYSCOMMAND with the choice.
void TrackSystemMenu(HWND hwnd, QPoint screen);

// Greys the system menu's standard items as the window's state and styles
// allow, as Win32 does before showing it.
void PrepareSystemMenu(HWND hwnd);

// Destroys the window's system menu (the window is being destroyed).
void DestroySystemMenu(HWND hwnd);

// Whether a menu may be shown to a person: not on a machine with virtual
// time, where nobody is there to choose.
bool CanAskUser();

}  // namespace host::user
