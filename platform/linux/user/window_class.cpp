#include "window_class.h"

#include "window.h"

#include <commctrl.h>

#include <cwctype>
#include <vector>

namespace host::user {

namespace {

// String atoms start at 0xC000 in Win32; the dialog class has 0x8002.
constexpr ATOM kFirstAtom = 0xC000;
constexpr ATOM kDialogAtom = 0x8002;

struct ClassTable {
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = kFirstAtom;
};

bool SameName(const std::wstring& a, LPCWSTR b) {
    std::size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == L'\0' || std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return b[i] == L'\0';
}

std::shared_ptr<WindowClass> BuiltIn(const wchar_t* name, ATOM atom, UINT style, WNDPROC proc, int wndExtra,
                                     HBRUSH background, WidgetKind kind) {
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->atom = atom;
    cls->style = style;
    cls->proc = proc;
    cls->wndExtra = wndExtra;
    cls->background = background;
    cls->kind = kind;
    cls->builtIn = true;
    return cls;
}

void AddBuiltInClasses(ClassTable& table) {
    const auto sysBrush = [](int index) { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(index + 1)); };
    // A dialog keeps DWLP_MSGRESULT, DWLP_DLGPROC and DWLP_USER in its extra bytes.
    constexpr int kDialogExtra = static_cast<int>(DWLP_USER + sizeof(LONG_PTR));
    table.classes.push_back(BuiltIn(L"#32770", kDialogAtom, CS_SAVEBITS | CS_DBLCLKS, DefDlgProcW,
                                    kDialogExtra > DLGWINDOWEXTRA ? kDialogExtra : DLGWINDOWEXTRA, nullptr,
                                    WidgetKind::Dialog));
    table.classes.push_back(BuiltIn(WC_BUTTONW, table.nextAtom++, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW,
                                    ButtonProc, 0, nullptr, WidgetKind::Button));
    table.classes.push_back(
        BuiltIn(WC_STATICW, table.nextAtom++, CS_DBLCLKS | CS_PARENTDC, StaticProc, 0, nullptr, WidgetKind::Static));
    table.classes.push_back(BuiltIn(WC_COMBOBOXW, table.nextAtom++, CS_DBLCLKS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW,
                                    ComboBoxProc, 0, nullptr, WidgetKind::ComboBox));
    table.classes.push_back(BuiltIn(PROGRESS_CLASSW, table.nextAtom++, CS_HREDRAW | CS_VREDRAW, ProgressProc, 0,
                                    sysBrush(COLOR_BTNFACE), WidgetKind::Progress));
    table.classes.push_back(
        BuiltIn(L"#32769", table.nextAtom++, 0, DefWindowProcW, 0, sysBrush(COLOR_BACKGROUND), WidgetKind::Desktop));
}

ClassTable& Table() {
    static ClassTable table = [] {
        ClassTable t;
        AddBuiltInClasses(t);
        return t;
    }();
    return table;
}

// A class registered with a built-in control's procedure (a copy made from
// GetClassInfoW) gets that control's widget.
WidgetKind KindForProcedure(WNDPROC proc) {
    for (const auto& cls : Table().classes) {
        if (cls->builtIn && cls->kind != WidgetKind::Desktop && cls->proc == proc) return cls->kind;
    }
    return WidgetKind::Plain;
}

bool ClassHasWindows(const std::shared_ptr<WindowClass>& cls) {
    for (HWND hwnd : AllWindows(false)) {
        WindowRef window = LookupWindow(hwnd);
        if (window && window->cls == cls) return true;
    }
    return false;
}

ATOM Register(const WNDCLASSEXW& wc) {
    if (!wc.lpszClassName || IS_INTRESOURCE(wc.lpszClassName) || wc.lpszClassName[0] == L'\0' ||
        wc.cbClsExtra < 0 || wc.cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(wc.lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = wc.lpszClassName;
    cls->style = wc.style;
    cls->proc = wc.lpfnWndProc;
    cls->clsExtra = wc.cbClsExtra;
    cls->wndExtra = wc.cbWndExtra;
    cls->instance = wc.hInstance;
    cls->icon = wc.hIcon;
    cls->smallIcon = wc.hIconSm;
    cls->cursor = wc.hCursor;
    cls->background = wc.hbrBackground;
    cls->menuName = wc.lpszMenuName;
    cls->kind = KindForProcedure(wc.lpfnWndProc);
    ClassTable& table = Table();
    cls->atom = table.nextAtom++;
    table.classes.push_back(cls);
    return cls->atom;
}

}  // namespace

std::shared_ptr<WindowClass> FindClass(LPCWSTR name) {
    if (!name) return nullptr;
    for (const auto& cls : Table().classes) {
        if (IS_INTRESOURCE(name) ? cls->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                                 : SameName(cls->name, name))
            return cls;
    }
    return nullptr;
}

void ResetClasses() {
    auto& classes = Table().classes;
    std::erase_if(classes, [](const auto& cls) { return !cls->builtIn; });
}

}  // namespace host::user

using host::user::FindClass;
using host::user::WindowClass;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpWndClass) {
    if (!lpWndClass || lpWndClass->cbSize != sizeof(WNDCLASSEXW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return host::user::Register(*lpWndClass);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXW ex{};
    ex.cbSize = sizeof(ex);
    ex.style = lpWndClass->style;
    ex.lpfnWndProc = lpWndClass->lpfnWndProc;
    ex.cbClsExtra = lpWndClass->cbClsExtra;
    ex.cbWndExtra = lpWndClass->cbWndExtra;
    ex.hInstance = lpWndClass->hInstance;
    ex.hIcon = lpWndClass->hIcon;
    ex.hCursor = lpWndClass->hCursor;
    ex.hbrBackground = lpWndClass->hbrBackground;
    ex.lpszMenuName = lpWndClass->lpszMenuName;
    ex.lpszClassName = lpWndClass->lpszClassName;
    return host::user::Register(ex);
}

BOOL WINAPI GetClassInfoW(HINSTANCE, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass) {
    std::shared_ptr<WindowClass> cls = FindClass(lpClassName);
    if (!cls || cls->kind == host::user::WidgetKind::Desktop) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpWndClass->style = cls->style;
    lpWndClass->lpfnWndProc = cls->proc;
    lpWndClass->cbClsExtra = cls->clsExtra;
    lpWndClass->cbWndExtra = cls->wndExtra;
    lpWndClass->hInstance = cls->instance;
    lpWndClass->hIcon = cls->icon;
    lpWndClass->hCursor = cls->cursor;
    lpWndClass->hbrBackground = cls->background;
    lpWndClass->lpszMenuName = cls->menuName;
    // Win32 hands back the caller's own name pointer.
    lpWndClass->lpszClassName = lpClassName;
    return TRUE;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
    std::shared_ptr<WindowClass> cls = FindClass(lpClassName);
    // The system's own classes belong to no module of the program.
    if (!cls || cls->builtIn) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (host::user::ClassHasWindows(cls)) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    std::erase(host::user::Table().classes, cls);
    return TRUE;
}
