#include "text.h"

#include "window.h"

#include <algorithm>
#include <cwchar>

namespace host::user {

LRESULT CopyTextOut(const std::wstring& text, WPARAM capacity, LPARAM buffer) {
    auto* out = reinterpret_cast<WCHAR*>(buffer);
    if (!out || capacity == 0) return 0;
    const std::size_t count = std::min<std::size_t>(text.size(), capacity - 1);
    std::wmemcpy(out, text.data(), count);
    out[count] = L'\0';
    return static_cast<LRESULT>(count);
}

std::wstring CreationText(LPCWSTR name) {
    if (!name || static_cast<unsigned>(name[0]) == 0xFFFFu) return std::wstring();
    return std::wstring(name);
}

}  // namespace host::user

using host::user::LookupWindow;
using host::user::ValidWindow;
using host::user::WindowRef;

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (!ValidWindow(hWnd)) return FALSE;
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString && nMaxCount > 0) lpString[0] = L'\0';
    if (!ValidWindow(hWnd) || !lpString || nMaxCount <= 0) return 0;
    return static_cast<int>(
        SendMessageW(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    if (!ValidWindow(hWnd)) return 0;
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SetWindowTextW(item, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    if (lpString && cchMax > 0) lpString[0] = L'\0';
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? static_cast<UINT>(GetWindowTextW(item, lpString, cchMax)) : 0;
}
