#include "smoke_windows.h"

namespace smoke {

namespace {

bool IsDialogOf(HWND hwnd, DWORD pid) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t className[64] = {};
    ::GetClassNameW(hwnd, className, 64);
    return owner == pid && ::IsWindowVisible(hwnd) && std::wstring(className) == L"#32770";
}

struct DialogSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    if (IsDialogOf(hwnd, search->pid)) search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> DialogsOf(DWORD pid) {
    DialogSearch search{pid, {}};
    ::EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK KeepLongestStatic(HWND hwnd, LPARAM lParam) {
    auto* longest = reinterpret_cast<std::wstring*>(lParam);
    wchar_t className[32] = {};
    ::GetClassNameW(hwnd, className, 32);
    const std::wstring text = ControlText(hwnd);
    if (_wcsicmp(className, L"Static") == 0 && text.size() > longest->size()) *longest = text;
    return TRUE;
}

}  // namespace

HWND FindDialog(DWORD pid, const wchar_t* caption) {
    for (HWND hwnd : DialogsOf(pid)) {
        if (WindowText(hwnd) == caption) return hwnd;
    }
    return nullptr;
}

std::vector<MessageBoxWindow> OpenBoxes(DWORD pid, HWND mainWindow) {
    std::vector<MessageBoxWindow> boxes;
    for (HWND hwnd : DialogsOf(pid)) {
        if (hwnd == mainWindow) continue;
        MessageBoxWindow box{hwnd, WindowText(hwnd), {}};
        ::EnumChildWindows(hwnd, &KeepLongestStatic, reinterpret_cast<LPARAM>(&box.text));
        boxes.push_back(box);
    }
    return boxes;
}

void AnswerOk(const MessageBoxWindow& box) {
    ::PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box.hwnd, IDOK)));
}

std::wstring WindowText(HWND hwnd) {
    wchar_t text[4096] = {};
    ::GetWindowTextW(hwnd, text, 4096);
    return text;
}

std::wstring ControlText(HWND control) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied))
        return {};
    return std::wstring(text, copied);
}

bool ControlVisible(HWND dialog, int id) {
    const HWND control = ::GetDlgItem(dialog, id);
    return control != nullptr && ::IsWindowVisible(control);
}

}  // namespace smoke
