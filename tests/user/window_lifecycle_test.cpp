// Creating and destroying windows, classes, window longs, and what a bad
// window handle gets.

#include "user_test_support.h"

#include <algorithm>

namespace {

using user_test::MakeWindow;
using user_test::UserTest;

using LifecycleTest = UserTest;

TEST_F(LifecycleTest, CreationSendsNcCreateCreateSizeAndMoveBeforeReturning) {
    int param = 0;
    HWND parent = MakeWindow(WS_POPUP, 10, 20, 200, 100);
    recorder.log.clear();
    void* createParams = nullptr;
    recorder.handler = [&](HWND, UINT msg, WPARAM, LPARAM lParam, LRESULT*) {
        if (msg == WM_CREATE) createParams = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams;
        return false;
    };
    // A bordered child: its client area is one pixel in on every side.
    HWND child = MakeWindow(WS_CHILD | WS_BORDER, 5, 7, 60, 40, parent, 12, nullptr, &param);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(recorder.Messages(child), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(createParams, &param);
    const auto size = recorder.Of(WM_SIZE).front();
    EXPECT_EQ(size.wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(size.lParam), 58);
    EXPECT_EQ(HIWORD(size.lParam), 38);
    // WM_MOVE gives the client origin in the parent's client coordinates.
    const auto move = recorder.Of(WM_MOVE).front();
    EXPECT_EQ(GET_X_LPARAM(move.lParam), 6);
    EXPECT_EQ(GET_Y_LPARAM(move.lParam), 8);
    EXPECT_EQ(GetDlgCtrlID(child), 12);
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_EQ(GetDlgItem(parent, 12), child);
}

TEST_F(LifecycleTest, CreationFailsWhenTheProcedureRefuses) {
    recorder.handler = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* result) {
        if (msg != WM_CREATE) return false;
        *result = -1;
        return true;
    };
    EXPECT_EQ(MakeWindow(WS_POPUP, 0, 0, 10, 10), nullptr);
    // The refused window was destroyed properly, down to WM_NCDESTROY.
    EXPECT_EQ(recorder.Of(WM_NCDESTROY).size(), 1u);
    EXPECT_TRUE(host::user::TopLevelWindows().empty());
}

TEST_F(LifecycleTest, CreationFailsForUnknownClassesAndParentlessChildren) {
    SetLastError(0);
    EXPECT_EQ(MakeWindow(WS_POPUP, 0, 0, 10, 10, nullptr, 0, L"NoSuchClass"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(MakeWindow(WS_CHILD, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
    EXPECT_EQ(MakeWindow(WS_CHILD, 0, 0, 10, 10, reinterpret_cast<HWND>(0x5678)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(LifecycleTest, DestroySendsDestroyTopDownAndNcDestroyBottomUp) {
    HWND parent = MakeWindow(WS_POPUP, 0, 0, 200, 100);
    HWND first = MakeWindow(WS_CHILD, 0, 0, 50, 50, parent, 1);
    HWND inner = MakeWindow(WS_CHILD, 0, 0, 10, 10, first, 2);
    HWND second = MakeWindow(WS_CHILD, 60, 0, 50, 50, parent, 3);
    recorder.log.clear();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<HWND> destroyed;
    for (const auto& entry : recorder.Of(WM_DESTROY)) destroyed.push_back(entry.hwnd);
    EXPECT_EQ(destroyed, (std::vector<HWND>{parent, first, inner, second}));
    std::vector<HWND> freed;
    for (const auto& entry : recorder.Of(WM_NCDESTROY)) freed.push_back(entry.hwnd);
    EXPECT_EQ(freed, (std::vector<HWND>{inner, first, second, parent}));
    for (HWND hwnd : {parent, first, inner, second}) EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(LifecycleTest, DestroyingAnOwnerDestroysItsOwnedWindowsFirst) {
    HWND owner = MakeWindow(WS_POPUP, 0, 0, 100, 100);
    HWND owned = MakeWindow(WS_POPUP, 0, 0, 50, 50, owner);
    EXPECT_EQ(GetParent(owned), owner);
    recorder.log.clear();
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(owned));
    ASSERT_EQ(recorder.Of(WM_DESTROY).size(), 2u);
    EXPECT_EQ(recorder.Of(WM_DESTROY).front().hwnd, owned);
}

TEST_F(LifecycleTest, ClassesRegisterOnceAndStayWhileTheyHaveWindows) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"LifecycleClass";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    wc.cbSize = 0;
    EXPECT_EQ(RegisterClassExW(&wc), 0);

    WNDCLASSW info{};
    ASSERT_TRUE(GetClassInfoW(nullptr, L"lifecycleclass", &info));  // names ignore case
    EXPECT_EQ(info.lpfnWndProc, &DefWindowProcW);

    HWND window = MakeWindow(WS_POPUP, 0, 0, 10, 10, nullptr, 0, L"LifecycleClass");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(host::user::ClassName(window), L"LifecycleClass");
    EXPECT_FALSE(UnregisterClassW(L"LifecycleClass", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassW(L"LifecycleClass", nullptr));
    EXPECT_FALSE(GetClassInfoW(nullptr, L"LifecycleClass", &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    // The system's classes are always there and cannot be removed.
    EXPECT_TRUE(GetClassInfoW(nullptr, L"BUTTON", &info));
    EXPECT_FALSE(UnregisterClassW(L"Button", nullptr));
}

TEST_F(LifecycleTest, WindowLongsHoldUserDataIdsStylesAndExtraBytes) {
    HWND parent = MakeWindow(WS_POPUP, 0, 0, 100, 100);
    HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, 5);
    EXPECT_EQ(SetWindowLongPtrW(child, GWLP_USERDATA, 0x1234), 0);
    EXPECT_EQ(GetWindowLongPtrW(child, GWLP_USERDATA), 0x1234);
    EXPECT_EQ(SetWindowLongPtrW(child, GWLP_ID, 9), 5);
    EXPECT_EQ(GetDlgCtrlID(child), 9);
    EXPECT_EQ(GetWindowLongPtrW(child, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(parent));
    // Styles set this way keep the window's real visibility.
    SetWindowLongW(child, GWL_STYLE, WS_CHILD | WS_BORDER);
    EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & (WS_VISIBLE | WS_BORDER), static_cast<LONG>(WS_VISIBLE | WS_BORDER));
    // Extra bytes: DLGWINDOWEXTRA of them; beyond is an invalid index.
    EXPECT_EQ(SetWindowLongPtrW(child, 8, -77), 0);
    EXPECT_EQ(GetWindowLongPtrW(child, 8), -77);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(child, DLGWINDOWEXTRA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    // The 32-bit form refuses pointer-sized fields, as on 64-bit Windows.
    EXPECT_EQ(GetWindowLongW(child, GWLP_WNDPROC), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
}

TEST_F(LifecycleTest, WindowTextGoesThroughTheTextMessages) {
    HWND window = MakeWindow(WS_POPUP, 0, 0, 10, 10);
    recorder.log.clear();
    ASSERT_TRUE(SetWindowTextW(window, L"Palisk"));
    EXPECT_EQ(GetWindowTextLengthW(window), 6);
    WCHAR buffer[4];
    EXPECT_EQ(GetWindowTextW(window, buffer, 4), 3);
    EXPECT_STREQ(buffer, L"Pal");
    EXPECT_EQ(recorder.Messages(window), (std::vector<UINT>{WM_SETTEXT, WM_GETTEXTLENGTH, WM_GETTEXT}));
    EXPECT_EQ(GetWindowTextW(window, buffer, 0), 0);
}

TEST_F(LifecycleTest, BadHandlesFailLikeWin32) {
    HWND stale = MakeWindow(WS_POPUP, 0, 0, 10, 10);
    DestroyWindow(stale);
    for (HWND bad : {stale, reinterpret_cast<HWND>(0x1234), reinterpret_cast<HWND>(~0x0ull)}) {
        EXPECT_FALSE(IsWindow(bad));
        SetLastError(0);
        EXPECT_FALSE(ShowWindow(bad, SW_SHOW));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
        SetLastError(0);
        EXPECT_EQ(SendMessageW(bad, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_FALSE(PostMessageW(bad, WM_USER, 0, 0));
        EXPECT_FALSE(DestroyWindow(bad));
        EXPECT_EQ(GetWindowLongPtrW(bad, GWLP_USERDATA), 0);
        EXPECT_FALSE(SetWindowTextW(bad, L"x"));
        RECT rc{1, 2, 3, 4};
        EXPECT_FALSE(GetClientRect(bad, &rc));
        EXPECT_EQ(rc.left, 1);
        EXPECT_EQ(SetTimer(bad, 1, 100, nullptr), 0u);
        EXPECT_EQ(GetDlgItem(bad, 1), nullptr);
        EXPECT_FALSE(EndDialog(bad, 1));
        EXPECT_EQ(GetDC(bad), nullptr);
        EXPECT_FALSE(InvalidateRect(bad, nullptr, TRUE));
        EXPECT_EQ(GetSystemMenu(bad, FALSE), nullptr);
        EXPECT_EQ(MessageBoxW(bad, L"text", L"caption", MB_OK), 0);
    }
    // No message box was shown for a bad owner.
    EXPECT_TRUE(machine.Modals().empty());
}

TEST_F(LifecycleTest, PostedMessagesArriveThroughTheQueue) {
    HWND window = MakeWindow(WS_POPUP, 0, 0, 10, 10);
    recorder.log.clear();
    ASSERT_TRUE(PostMessageW(window, WM_USER + 1, 1, 2));
    ASSERT_TRUE(PostMessageW(window, WM_USER + 2, 3, 4));
    EXPECT_TRUE(recorder.log.empty());  // not yet
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    DispatchMessageW(&msg);
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    DispatchMessageW(&msg);
    EXPECT_EQ(recorder.Messages(window), (std::vector<UINT>{WM_USER + 2, WM_USER + 1}));
    PostQuitMessage(3);
    EXPECT_FALSE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(LifecycleTest, TheEventLoopDeliversPostedMessagesToo) {
    HWND window = MakeWindow(WS_POPUP, 0, 0, 10, 10);
    recorder.log.clear();
    PostMessageW(window, WM_USER + 5, 0, 0);
    host::user::ProcessEvents();
    EXPECT_EQ(recorder.Messages(window), (std::vector<UINT>{WM_USER + 5}));
    // A message for a window destroyed meanwhile is dropped.
    PostMessageW(window, WM_USER + 6, 0, 0);
    DestroyWindow(window);
    recorder.log.clear();
    host::user::ProcessEvents();
    EXPECT_TRUE(recorder.log.empty());
}

}  // namespace
