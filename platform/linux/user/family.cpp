// Parents, owners and control ids.

#include "window.h"

using host::user::LookupWindow;
using host::user::ValidWindow;
using host::user::WindowRef;

HWND WINAPI GetParent(HWND hWnd) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return nullptr;
    // A child's parent; a popup's owner; nothing for an overlapped window.
    if (window->IsChild()) return LookupWindow(window->parent) ? window->parent : nullptr;
    if (window->style & WS_POPUP) return LookupWindow(window->owner) ? window->owner : nullptr;
    return nullptr;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    WindowRef dialog = ValidWindow(hDlg);
    if (!dialog) return nullptr;
    for (HWND child : dialog->children) {
        WindowRef control = LookupWindow(child);
        if (control && control->id == static_cast<UINT_PTR>(static_cast<UINT>(nIDDlgItem))) return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return 0;
    // Only a child window has a control id.
    return window->IsChild() ? static_cast<int>(window->id) : 0;
}

HWND WINAPI GetDesktopWindow(void) { return host::user::DesktopHandle(); }
