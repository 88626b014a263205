// Showing, hiding, enabling, minimising and maximising, places and sizes,
// system metrics and colours.

#include "user_test_support.h"

#include <commctrl.h>

#include "host/gdi.h"

#include <cstdint>
#include <vector>

namespace {

using user_test::MakeWindow;
using user_test::UserTest;

using ShowTest = UserTest;

TEST_F(ShowTest, ShowWindowAnswersTheFormerVisibilityAndSendsShowWindow) {
    HWND window = MakeWindow(WS_POPUP, 0, 0, 50, 50);
    recorder.log.clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));  // already visible: no second message
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(window));
    const auto shows = recorder.Of(WM_SHOWWINDOW);
    ASSERT_EQ(shows.size(), 2u);
    EXPECT_EQ(shows[0].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(shows[1].wParam, static_cast<WPARAM>(FALSE));
}

TEST_F(ShowTest, AChildIsVisibleOnlyWhenItsParentsAre) {
    HWND parent = MakeWindow(WS_POPUP, 0, 0, 100, 100);
    HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent);
    HWND grandchild = MakeWindow(WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, child);
    EXPECT_FALSE(IsWindowVisible(grandchild));
    EXPECT_TRUE(GetWindowLongW(grandchild, GWL_STYLE) & WS_VISIBLE);
    ShowWindow(parent, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(grandchild));
    ShowWindow(child, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(grandchild));
    EXPECT_TRUE(IsWindowVisible(parent));
}

TEST_F(ShowTest, EnableWindowAnswersWhetherTheWindowWasDisabled) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent);
    recorder.log.clear();
    EXPECT_FALSE(EnableWindow(child, FALSE));
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(EnableWindow(child, FALSE));  // no change, no message
    EXPECT_TRUE(EnableWindow(child, TRUE));
    EXPECT_TRUE(IsWindowEnabled(child));
    const auto enables = recorder.Of(WM_ENABLE);
    ASSERT_EQ(enables.size(), 2u);
    EXPECT_EQ(enables[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(enables[1].wParam, static_cast<WPARAM>(TRUE));
}

TEST_F(ShowTest, DisablingTheFocusWindowTakesTheFocusAway) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent);
    SetFocus(child);
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(GetActiveWindow(), parent);
    EnableWindow(child, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    // A disabled window cannot take the focus back.
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(ShowTest, MinimisingAndRestoringReportTheirSizeTypes) {
    HWND window = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200);
    const SIZE client = [&] {
        RECT rc;
        GetClientRect(window, &rc);
        return SIZE{rc.right, rc.bottom};
    }();
    recorder.log.clear();
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
    ShowWindow(window, SW_RESTORE);
    EXPECT_FALSE(IsIconic(window));
    const auto sizes = recorder.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    EXPECT_EQ(sizes[0].lParam, 0);
    EXPECT_EQ(sizes[1].wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(sizes[1].lParam), client.cx);
    EXPECT_EQ(HIWORD(sizes[1].lParam), client.cy);
}

TEST_F(ShowTest, MaximisingTakesTheScreenAndRestoringGivesTheOldSizeBack) {
    HWND window = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200);
    RECT before;
    GetClientRect(window, &before);
    recorder.log.clear();
    ShowWindow(window, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(window));
    // The window system answers with the new size in its own time.
    host::user::ProcessEvents();
    auto sizes = recorder.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);  // once, at the maximised size
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
    EXPECT_GT(LOWORD(sizes[0].lParam), before.right);
    recorder.log.clear();
    ASSERT_TRUE(host::user::Restore(window));
    EXPECT_FALSE(IsZoomed(window));
    sizes = recorder.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes.back().wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(sizes.back().lParam), before.right);
    EXPECT_EQ(HIWORD(sizes.back().lParam), before.bottom);
}

TEST_F(ShowTest, AMaximisedWindowComesBackMaximisedFromTheTaskbar) {
    HWND window = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300, 200);
    ASSERT_TRUE(host::user::Maximize(window));
    recorder.log.clear();
    ASSERT_TRUE(host::user::Minimize(window));
    EXPECT_TRUE(IsIconic(window));
    EXPECT_FALSE(IsZoomed(window));
    ASSERT_EQ(recorder.Of(WM_SIZE).size(), 1u);
    EXPECT_EQ(recorder.Of(WM_SIZE)[0].wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    recorder.log.clear();
    ASSERT_TRUE(host::user::Restore(window));
    EXPECT_TRUE(IsZoomed(window));
    const auto sizes = recorder.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
}

TEST_F(ShowTest, MovingAndSizingSendMessagesOnlyForRealChanges) {
    HWND parent = MakeWindow(WS_POPUP, 0, 0, 200, 200);
    HWND child = MakeWindow(WS_CHILD, 10, 10, 50, 50, parent);
    recorder.log.clear();
    MoveWindow(child, 10, 10, 50, 50, TRUE);
    EXPECT_TRUE(recorder.log.empty());
    SetWindowPos(child, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(recorder.Messages(child), (std::vector<UINT>{WM_MOVE}));
    recorder.log.clear();
    SetWindowPos(child, nullptr, 0, 0, 70, 20, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(recorder.Messages(child), (std::vector<UINT>{WM_SIZE}));
    RECT rc;
    GetWindowRect(child, &rc);
    POINT corner{rc.left, rc.top};
    ScreenToClient(parent, &corner);
    EXPECT_EQ(corner.x, 30);
    EXPECT_EQ(corner.y, 40);
    EXPECT_EQ(rc.right - rc.left, 70);
    EXPECT_EQ(rc.bottom - rc.top, 20);
}

TEST_F(ShowTest, PointsMapBetweenClientAreas) {
    HWND parent = MakeWindow(WS_POPUP, 100, 50, 200, 200);
    // A client edge puts the child's client area two pixels in.
    HWND child = CreateWindowExW(WS_EX_CLIENTEDGE, user_test::TestClass(), L"", WS_CHILD, 10, 20, 50, 50, parent,
                                 nullptr, nullptr, nullptr);
    POINT p{0, 0};
    ASSERT_TRUE(ClientToScreen(child, &p));
    EXPECT_EQ(p.x, 112);
    EXPECT_EQ(p.y, 72);
    POINT q{5, 5};
    const int offset = MapWindowPoints(child, parent, &q, 1);
    EXPECT_EQ(q.x, 17);
    EXPECT_EQ(q.y, 27);
    EXPECT_EQ(LOWORD(offset), 12);
    EXPECT_EQ(HIWORD(offset), 22);
    RECT client;
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 46);
    EXPECT_EQ(client.bottom, 46);
}

TEST_F(ShowTest, AUserResizeReportsTheNewClientSize) {
    HWND window = MakeWindow(WS_POPUP | WS_THICKFRAME | WS_VISIBLE, 0, 0, 200, 100);
    RECT outer;
    GetWindowRect(window, &outer);
    RECT client;
    GetClientRect(window, &client);
    const int frameX = (outer.right - outer.left) - client.right;
    const int frameY = (outer.bottom - outer.top) - client.bottom;
    recorder.log.clear();
    ASSERT_TRUE(host::user::Resize(window, 300, 150));
    const auto sizes = recorder.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(LOWORD(sizes[0].lParam), 300 - frameX);
    EXPECT_EQ(HIWORD(sizes[0].lParam), 150 - frameY);
}

TEST_F(ShowTest, WindowIconsAnswerTheirPredecessors) {
    HWND window = MakeWindow(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    const std::vector<std::uint32_t> pixels(16 * 16, 0xFF00FF00u);
    HICON first = host::gdi::CreateIconFromPixels(16, 16, pixels.data());
    HICON second = host::gdi::CreateIconFromPixels(16, 16, pixels.data());
    EXPECT_EQ(SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(first)), 0);
    EXPECT_EQ(SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(second)),
              reinterpret_cast<LRESULT>(first));
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(second));
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    // ICON_SMALL2 falls back on the big icon.
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL2, 0), reinterpret_cast<LRESULT>(second));
    DestroyWindow(window);
    DestroyIcon(first);
    DestroyIcon(second);
}

TEST_F(ShowTest, MetricsAndColoursHaveWindowsDefaultsAndFollowTheDisplay) {
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMICON), 16);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    machine.SetDotsPerInch(192);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 64);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(160, 160, 160));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetSysColorBrush(COLOR_MENUBAR + 1), nullptr);
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    EXPECT_TRUE(InitCommonControlsEx(&icc));
    icc.dwSize = 4;
    EXPECT_FALSE(InitCommonControlsEx(&icc));
    EXPECT_NE(LoadCursorW(nullptr, IDC_ARROW), nullptr);
}

}  // namespace
