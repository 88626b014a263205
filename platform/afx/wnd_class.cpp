// Window classes the framework registers for its own windows.

#include "afxwin.h"

#include <set>
#include <string>

namespace {

// The names handed out stay valid for the life of the program.
std::set<std::wstring>& ClassNames() {
    static std::set<std::wstring> names;
    return names;
}

}  // namespace

LPCWSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    const HINSTANCE hInstance = AfxGetInstanceHandle();
    // The name spells out the arguments, so equal requests share a class.
    CString name;
    if (hCursor == nullptr && hbrBackground == nullptr && hIcon == nullptr) {
        name.Format(L"Afx:%p:%x", hInstance, nClassStyle);
    } else {
        name.Format(L"Afx:%p:%x:%p:%p:%p", hInstance, nClassStyle, hCursor, hbrBackground, hIcon);
    }
    LPCWSTR stored = ClassNames().insert(std::wstring(name.GetString())).first->c_str();

    WNDCLASSW existing{};
    if (::GetClassInfoW(hInstance, stored, &existing)) return stored;

    WNDCLASSW wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &AfxWndProc;
    wc.hInstance = hInstance;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = stored;
    if (::RegisterClassW(&wc) == 0) return nullptr;
    return stored;
}
