#pragma once
// Window classes: those the program registers and the built-in ones
// ("Button", "Static", "ComboBox", "msctls_progress32", the dialog class).
// A class's kind decides which widget stands for its windows.

#include <windows.h>

#include <memory>
#include <string>

namespace host::user {

enum class WidgetKind {
    Plain,     // a QWidget showing the window's backing buffer
    Dialog,    // the same, with the dialog manager's keyboard handling
    Button,    // QPushButton
    Static,    // a QWidget showing what the class paints with GDI
    ComboBox,  // QComboBox
    Progress,  // QProgressBar
    Desktop,   // no widget at all
};

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    LPCWSTR menuName = nullptr;
    WidgetKind kind = WidgetKind::Plain;
    bool builtIn = false;
};

// The class named by `name` (a string, or an atom made with MAKEINTATOM),
// or null. Names compare without regard to case, as Win32 does.
std::shared_ptr<WindowClass> FindClass(LPCWSTR name);

// The class procedures of the built-in controls (each in its control's file).
LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Drops every class the program registered (the host going down).
void ResetClasses();

}  // namespace host::user
