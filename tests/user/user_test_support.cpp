#include "user_test_support.h"

namespace user_test {

namespace {

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Recorder& recorder = TheRecorder();
    recorder.log.push_back(Logged{hwnd, msg, wParam, lParam});
    LRESULT result = 0;
    if (recorder.handler && recorder.handler(hwnd, msg, wParam, lParam, &result)) return result;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LPCWSTR Register(LPCWSTR name, UINT style) {
    WNDCLASSW wc{};
    wc.style = style;
    wc.lpfnWndProc = LoggingProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name;
    WNDCLASSW existing;
    if (!GetClassInfoW(nullptr, name, &existing)) RegisterClassW(&wc);
    return name;
}

}  // namespace

Recorder& TheRecorder() {
    static Recorder recorder;
    return recorder;
}

LPCWSTR TestClass() { return Register(L"UserTestWindow", CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS); }

LPCWSTR TestClassNoRedraw() { return Register(L"UserTestWindowNoRedraw", 0); }

HWND MakeWindow(DWORD style, int x, int y, int width, int height, HWND parent, int id, LPCWSTR className,
                LPVOID param) {
    return CreateWindowExW(0, className ? className : TestClass(), L"test", style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, param);
}

std::vector<std::pair<int, int>> Commands() {
    std::vector<std::pair<int, int>> commands;
    for (const Logged& entry : TheRecorder().Of(WM_COMMAND)) {
        commands.emplace_back(LOWORD(entry.wParam), HIWORD(entry.wParam));
    }
    return commands;
}

void UserTest::SetUp() {
    host::SetActiveMachine(&machine);
    recorder.log.clear();
    recorder.handler = nullptr;
}

void UserTest::TearDown() {
    recorder.handler = nullptr;
    for (HWND hwnd : host::user::TopLevelWindows()) DestroyWindow(hwnd);
    host::user::ProcessEvents();
    recorder.log.clear();
    host::SetActiveMachine(nullptr);
}

}  // namespace user_test
