// Buttons, statics and progress bars: their notifications, their messages'
// results, and their text.

#include "user_test_support.h"

#include <commctrl.h>

namespace {

using user_test::Commands;
using user_test::MakeWindow;
using user_test::UserTest;

class ControlsTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
        recorder.log.clear();
    }
    HWND Control(LPCWSTR className, LPCWSTR text, DWORD style, int id, int width = 80, int height = 24) {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, height, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    std::wstring Text(HWND hwnd) {
        WCHAR buffer[256];
        GetWindowTextW(hwnd, buffer, 256);
        return buffer;
    }

    HWND parent = nullptr;
};

TEST_F(ControlsTest, AClickReachesTheParentAsBnClicked) {
    HWND button = Control(L"Button", L"&Refresh", BS_PUSHBUTTON | WS_TABSTOP, 1);
    ASSERT_TRUE(host::user::Click(button));
    ASSERT_EQ(Commands(), (std::vector<std::pair<int, int>>{{1, BN_CLICKED}}));
    EXPECT_EQ(recorder.Of(WM_COMMAND).front().lParam, reinterpret_cast<LPARAM>(button));
    // BM_CLICK is a click too.
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Commands().size(), 2u);
}

TEST_F(ControlsTest, DisabledHiddenOrBlockedButtonsTakeNoClick) {
    HWND button = Control(L"Button", L"AutoStop", BS_PUSHBUTTON, 1010);
    EnableWindow(button, FALSE);
    EXPECT_TRUE(host::user::Click(button));  // the click lands, and does nothing
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_TRUE(Commands().empty());
    EnableWindow(button, TRUE);
    ShowWindow(button, SW_HIDE);
    EXPECT_FALSE(host::user::Click(button));
    ShowWindow(button, SW_SHOW);
    // A disabled top-level window (the owner of a modal box) takes no input.
    EnableWindow(parent, FALSE);
    host::user::Click(button);
    EXPECT_TRUE(Commands().empty());
    EnableWindow(parent, TRUE);
    host::user::Click(button);
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{1010, BN_CLICKED}}));
}

TEST_F(ControlsTest, EnterAndEscapeInADialogPressItsButtons) {
    using Builder = host::user::DialogTemplateBuilder;
    Builder builder(WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 0, 200, 60, L"Keys");
    builder.Font(8, L"MS Shell Dlg");
    builder.AddItem(Builder::Name::Ordinal(Builder::kButton), L"Go", 7, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 5, 5, 40, 14);
    const std::vector<DWORD> bytes = builder.Build();
    static std::vector<WPARAM> commands;
    commands.clear();
    const DLGPROC proc = [](HWND, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_COMMAND) commands.push_back(wParam);
        return msg == WM_INITDIALOG ? FALSE : msg == WM_COMMAND;
    };
    HWND dialog = CreateDialogIndirectParamW(nullptr, host::user::AsTemplate(bytes), parent, proc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(7, DC_HASDEFID));
    host::user::PressKey(dialog, VK_RETURN);
    host::user::PressKey(dialog, VK_ESCAPE);
    EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(7, BN_CLICKED), IDCANCEL}));
}

TEST_F(ControlsTest, CheckBoxesKeepTheirCheck) {
    HWND automatic = Control(L"Button", L"auto", BS_AUTOCHECKBOX, 3);
    HWND manual = Control(L"Button", L"manual", BS_CHECKBOX, 4);
    host::user::Click(automatic);
    host::user::Click(manual);
    EXPECT_EQ(SendMessageW(automatic, BM_GETCHECK, 0, 0), BST_CHECKED);
    // A plain check box changes only when its program says so.
    EXPECT_EQ(SendMessageW(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(manual, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(manual, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{3, BN_CLICKED}, {4, BN_CLICKED}}));
}

TEST_F(ControlsTest, StaticTextIsTheWindowText) {
    HWND label = Control(L"Static", L"Target Process:", SS_LEFT, 1025);
    EXPECT_EQ(Text(label), L"Target Process:");
    ASSERT_TRUE(SetDlgItemTextW(parent, 1025, L"Flush &Standby && more"));
    WCHAR buffer[64];
    EXPECT_EQ(GetDlgItemTextW(parent, 1025, buffer, 64), 22u);
    // The window text keeps its prefixes; only the drawing interprets them.
    EXPECT_STREQ(buffer, L"Flush &Standby && more");
    SetLastError(0);
    EXPECT_FALSE(SetDlgItemTextW(parent, 4242, L"x"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
}

TEST_F(ControlsTest, ControlsKeepTheFontTheyAreGiven) {
    HWND label = Control(L"Static", L"x", SS_LEFT, 1);
    HFONT font = CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, L"Courier New");
    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), 0);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    DestroyWindow(label);
    DeleteObject(font);
}

TEST_F(ControlsTest, ProgressBarsAnswerThePreviousValues) {
    HWND bar = Control(PROGRESS_CLASSW, nullptr, PBS_SMOOTH | PBS_VERTICAL, 1004);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
    // The old range, packed into two 16-bit halves.
    EXPECT_EQ(SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(10, 50)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageW(bar, PBM_SETRANGE32, 20, 40), MAKELONG(10, 50));
    PBRANGE range{};
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 20);
    EXPECT_EQ(range.iHigh, 40);
    // Positions are held inside the range.
    EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 35, 0), 20);
    EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 99, 0), 35);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(SendMessageW(bar, PBM_DELTAPOS, static_cast<WPARAM>(-30), 0), 40);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 20);
    // Stepping past the end wraps round.
    EXPECT_EQ(SendMessageW(bar, PBM_SETSTEP, 15, 0), 10);
    SendMessageW(bar, PBM_SETPOS, 35, 0);
    SendMessageW(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 30);
    // Colours start as CLR_DEFAULT and each setter answers the one before.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_SETBKCOLOR, 0, RGB(0, 128, 0))), CLR_DEFAULT);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_SETBKCOLOR, 0, RGB(128, 128, 0))), RGB(0, 128, 0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_GETBKCOLOR, 0, 0)), RGB(128, 128, 0));
}

TEST_F(ControlsTest, SubclassingReachesTheClassThroughCallWindowProc) {
    HWND button = Control(L"Button", L"Exit", BS_PUSHBUTTON, 2);
    static WNDPROC original = nullptr;
    static int seen = 0;
    seen = 0;
    const WNDPROC subclass = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_SETTEXT) ++seen;
        return CallWindowProcW(original, hwnd, msg, wParam, lParam);
    };
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass)));
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(subclass));
    SetWindowTextW(button, L"Quit");
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(Text(button), L"Quit");
    // The class still clicks through the new procedure.
    host::user::Click(button);
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{2, BN_CLICKED}}));
}

}  // namespace
