// The system menu: Win32's default items, the program's own items reaching
// WM_SYSCOMMAND, and the menu functions' results.

#include "user_test_support.h"

#include <algorithm>

namespace {

using user_test::MakeWindow;
using user_test::UserTest;

class SystemMenuTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        window = MakeWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                                WS_VISIBLE,
                            0, 0, 300, 200);
        recorder.log.clear();
    }
    std::vector<UINT> Ids() {
        std::vector<UINT> ids;
        for (const auto& item : host::user::SystemMenuItems(window)) ids.push_back(item.id);
        return ids;
    }
    std::vector<WPARAM> SysCommands() {
        std::vector<WPARAM> commands;
        for (const auto& entry : recorder.Of(WM_SYSCOMMAND)) commands.push_back(entry.wParam);
        return commands;
    }

    HWND window = nullptr;
};

TEST_F(SystemMenuTest, TheMenuStartsWithWindowsDefaultItems) {
    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(window, FALSE), menu);
    EXPECT_EQ(Ids(), (std::vector<UINT>{SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE}));
    WCHAR text[32];
    EXPECT_EQ(GetMenuStringW(menu, SC_CLOSE, text, 32, MF_BYCOMMAND), 13);
    EXPECT_STREQ(text, L"&Close\tAlt+F4");
    // A restored window cannot be restored again.
    const auto items = host::user::SystemMenuItems(window);
    EXPECT_FALSE(items[0].enabled);
    EXPECT_TRUE(items[3].enabled);
    EXPECT_TRUE(items[5].separator);
}

TEST_F(SystemMenuTest, AppendedItemsReachWmSysCommand) {
    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_TRUE(AppendMenuW(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 64, L"Flush &Standby Caches"));
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 16, L"&About Palisk..."));
    EXPECT_EQ(GetMenuItemCount(menu), 10);
    EXPECT_EQ(GetMenuItemID(menu, 8), 64u);
    EXPECT_EQ(host::user::SystemMenuItems(window).back().text, L"&About Palisk...");
    ASSERT_TRUE(host::user::ChooseSystemMenuItem(window, 64));
    ASSERT_TRUE(host::user::ChooseSystemMenuItem(window, 16));
    EXPECT_EQ(SysCommands(), (std::vector<WPARAM>{64, 16}));
    // The menu is initialised before each choice, as when it opens.
    EXPECT_EQ(recorder.Messages(window).front(), static_cast<UINT>(WM_INITMENU));
}

TEST_F(SystemMenuTest, GreyedAndMissingItemsCannotBeChosen) {
    HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuW(menu, MF_STRING, 32, L"&Flush All Working Sets");
    EXPECT_EQ(EnableMenuItem(menu, 32, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(GetMenuState(menu, 32, MF_BYCOMMAND), static_cast<UINT>(MF_GRAYED));
    EXPECT_FALSE(host::user::ChooseSystemMenuItem(window, 32));
    EXPECT_FALSE(host::user::ChooseSystemMenuItem(window, 4711));
    EXPECT_FALSE(host::user::ChooseSystemMenuItem(window, SC_RESTORE));
    EXPECT_TRUE(SysCommands().empty());
    EXPECT_EQ(EnableMenuItem(menu, 4711, MF_BYCOMMAND), -1);
    EXPECT_EQ(GetMenuState(menu, 4711, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(SystemMenuTest, RevertingRestoresTheDefaultMenu) {
    AppendMenuW(GetSystemMenu(window, FALSE), MF_STRING, 48, L"Flush &Target WS");
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(window, FALSE)), 8);
    EXPECT_EQ(GetSystemMenu(window, TRUE), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(window, FALSE)), 7);
}

TEST_F(SystemMenuTest, DefaultCommandsMinimiseRestoreAndClose) {
    ASSERT_TRUE(host::user::ChooseSystemMenuItem(window, SC_MINIMIZE));
    EXPECT_TRUE(IsIconic(window));
    EXPECT_EQ(recorder.Of(WM_SIZE).back().wParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    ASSERT_TRUE(host::user::ChooseSystemMenuItem(window, SC_RESTORE));
    EXPECT_FALSE(IsIconic(window));
    ASSERT_TRUE(host::user::ChooseSystemMenuItem(window, SC_CLOSE));
    // A plain window closes by being destroyed.
    EXPECT_FALSE(IsWindow(window));
    const auto messages = recorder.Messages(window);
    EXPECT_NE(std::find(messages.begin(), messages.end(), static_cast<UINT>(WM_CLOSE)), messages.end());
}

TEST_F(SystemMenuTest, WindowsWithoutSysMenuStyleHaveNone) {
    HWND plain = MakeWindow(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(GetSystemMenu(plain, FALSE), nullptr);
    EXPECT_TRUE(host::user::SystemMenuItems(plain).empty());
    EXPECT_FALSE(host::user::ChooseSystemMenuItem(plain, SC_CLOSE));
}

TEST_F(SystemMenuTest, PopupMenusAnswerLikeWin32) {
    HMENU popup = CreatePopupMenu();
    HMENU inner = CreatePopupMenu();
    AppendMenuW(inner, MF_STRING | MF_CHECKED, 7, L"inner");
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), L"More");
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(-1));  // a submenu has no id
    EXPECT_EQ(GetMenuState(popup, 0, MF_BYPOSITION) >> 8, 1u);   // its item count
    EXPECT_EQ(GetMenuState(popup, 7, MF_BYCOMMAND), static_cast<UINT>(MF_CHECKED));
    // Nobody is there to choose: the menu is dismissed.
    EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, window, nullptr), 0);
    EXPECT_TRUE(DestroyMenu(popup));
    EXPECT_FALSE(DestroyMenu(inner));  // went with its parent menu
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
    EXPECT_EQ(GetMenuItemCount(popup), -1);
    EXPECT_FALSE(AppendMenuW(popup, MF_STRING, 1, L"x"));
}

}  // namespace
