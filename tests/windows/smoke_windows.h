#pragma once
// Finding palisk.exe's windows from another process: its main dialog, the
// message boxes it shows, and the state of the dialog's controls.

#include <windows.h>

#include <string>
#include <vector>

namespace smoke {

// A message box (or any other dialog) of the process, other than the main one.
struct MessageBoxWindow {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;  // the longest static text in it
};

// The visible top-level dialog captioned `caption` of process `pid`, or null.
HWND FindDialog(DWORD pid, const wchar_t* caption);

// The visible dialogs of process `pid` other than `mainWindow`.
std::vector<MessageBoxWindow> OpenBoxes(DWORD pid, HWND mainWindow);

// Ends a message box as its OK button would (WM_COMMAND IDOK, posted).
void AnswerOk(const MessageBoxWindow& box);

// A top-level window's caption.
std::wstring WindowText(HWND hwnd);
// A control's text, asked of the control itself (another process's
// controls do not give their text to GetWindowText).
std::wstring ControlText(HWND control);
bool ControlVisible(HWND dialog, int id);

}  // namespace smoke
