// Dialogs from templates in memory: the template layout, controls placed in
// dialog units from the dialog font's base units, and the default dialog
// procedure's rules.

#include "user_test_support.h"

#include "host/resources.h"

#include <cstring>
#include <string>

namespace {

using Builder = host::user::DialogTemplateBuilder;
using user_test::UserTest;

const Builder::Name kButton = Builder::Name::Ordinal(Builder::kButton);
const Builder::Name kStatic = Builder::Name::Ordinal(Builder::kStatic);
const Builder::Name kCombo = Builder::Name::Ordinal(Builder::kComboBox);

INT_PTR CALLBACK QuietProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// Base units of "MS Shell Dlg" 8 pt at `dpi`, measured as Win32 defines them.
SIZE ShellDlgBaseUnits(int dpi) {
    HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_DONTCARE, L"MS Shell Dlg");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return SIZE{(extent.cx / 26 + 1) / 2, tm.tmHeight};
}

RECT ChildRectInDialog(HWND dialog, HWND child) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

using DialogTest = UserTest;

TEST_F(DialogTest, TemplatesFollowWin32LayoutWithThePlatformsWideCharacters) {
    Builder builder(WS_POPUP | WS_CAPTION, 0, 1, 2, 30, 40, L"Hi");
    builder.AddItem(kButton, L"OK", IDOK, WS_CHILD | BS_PUSHBUTTON, 3, 4, 5, 6);
    const std::vector<DWORD> words = builder.Build();
    const auto* bytes = reinterpret_cast<const BYTE*>(words.data());
    const std::size_t w = sizeof(WCHAR);
    // Header (18 bytes), no menu (1 element), no class (1), "Hi" and its zero.
    const std::size_t itemAt = (18 + w + w + 3 * w + 3) & ~std::size_t{3};
    DWORD style = 0;
    std::memcpy(&style, bytes + itemAt, 4);
    EXPECT_EQ(style, static_cast<DWORD>(WS_CHILD | BS_PUSHBUTTON));
    WORD id = 0;
    std::memcpy(&id, bytes + itemAt + 16, 2);
    EXPECT_EQ(id, IDOK);
    // The class as 0xFFFF and its ordinal, each one element wide.
    WCHAR classRef[2];
    std::memcpy(classRef, bytes + itemAt + 18, 2 * w);
    EXPECT_EQ(static_cast<unsigned>(classRef[0]), 0xFFFFu);
    EXPECT_EQ(static_cast<unsigned>(classRef[1]), 0x0080u);
}

TEST_F(DialogTest, ControlsAreMadeInTemplateOrderWithTheirStylesIdsAndCaptions) {
    for (bool extended : {false, true}) {
        Builder builder(WS_POPUP | WS_CAPTION, 0, 0, 0, 300, 100, L"Palisk");
        builder.Font(8, L"MS Shell Dlg").Extended(extended);
        builder.AddItem(kButton, L"About", 1000, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 7, 50, 14);
        builder.AddItem(kStatic, L"RAM Usage", 1008, WS_CHILD | WS_VISIBLE | SS_CENTER | WS_GROUP, 10, 25, 100, 8);
        builder.AddItem(L"msctls_progress32", L"", 1004, WS_CHILD | WS_VISIBLE | WS_BORDER | 0x05, 10, 40, 80, 24,
                        WS_EX_STATICEDGE);
        builder.AddItem(kCombo, L"", 1022, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 120,
                        7, 159, 80);
        const std::vector<DWORD> bytes = builder.Build();
        HWND dialog = CreateDialogIndirectParamW(nullptr, host::user::AsTemplate(bytes), nullptr, QuietProc, 0);
        ASSERT_NE(dialog, nullptr) << "extended " << extended;
        EXPECT_EQ(host::user::ClassName(dialog), L"#32770");
        const std::vector<HWND> children = host::user::Children(dialog);
        ASSERT_EQ(children.size(), 4u);
        EXPECT_EQ(host::user::ClassName(children[0]), L"Button");
        EXPECT_EQ(host::user::ClassName(children[1]), L"Static");
        EXPECT_EQ(host::user::ClassName(children[2]), L"msctls_progress32");
        EXPECT_EQ(host::user::ClassName(children[3]), L"ComboBox");
        EXPECT_EQ(GetDlgItem(dialog, 1008), children[1]);
        EXPECT_EQ(GetWindowLongW(children[0], GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        WCHAR text[32];
        GetWindowTextW(children[1], text, 32);
        EXPECT_STREQ(text, L"RAM Usage");
        GetWindowTextW(dialog, text, 32);
        EXPECT_STREQ(text, L"Palisk");
        // Each control has the dialog's font.
        EXPECT_EQ(SendMessageW(children[1], WM_GETFONT, 0, 0), SendMessageW(dialog, WM_GETFONT, 0, 0));
        EXPECT_NE(SendMessageW(dialog, WM_GETFONT, 0, 0), 0);
        DestroyWindow(dialog);
    }
}

class DialogUnitsTest : public UserTest, public ::testing::WithParamInterface<int> {};

TEST_P(DialogUnitsTest, AControlLandsWhereWin32PutsItForTheDialogFont) {
    machine.SetDotsPerInch(GetParam());
    const SIZE base = ShellDlgBaseUnits(GetParam());
    ASSERT_GT(base.cx, 0);
    ASSERT_GT(base.cy, 0);
    Builder builder(WS_POPUP | WS_CAPTION | DS_SHELLFONT, 0, 0, 0, 849, 490, L"Palisk");
    builder.Font(8, L"MS Shell Dlg");
    builder.AddItem(kButton, L"Flush Cache WS", 1012, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 106, 469, 60, 14);
    const std::vector<DWORD> bytes = builder.Build();
    HWND dialog = CreateDialogIndirectParamW(nullptr, host::user::AsTemplate(bytes), nullptr, QuietProc, 0);
    ASSERT_NE(dialog, nullptr);

    const RECT placed = ChildRectInDialog(dialog, GetDlgItem(dialog, 1012));
    EXPECT_EQ(placed.left, MulDiv(106, base.cx, 4));
    EXPECT_EQ(placed.top, MulDiv(469, base.cy, 8));
    EXPECT_EQ(placed.right - placed.left, MulDiv(60, base.cx, 4));
    EXPECT_EQ(placed.bottom - placed.top, MulDiv(14, base.cy, 8));
    RECT mapped{106, 469, 106 + 60, 469 + 14};
    ASSERT_TRUE(MapDialogRect(dialog, &mapped));
    EXPECT_EQ(mapped.left, placed.left);
    EXPECT_EQ(mapped.top, placed.top);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, MulDiv(849, base.cx, 4));
    EXPECT_EQ(client.bottom, MulDiv(490, base.cy, 8));
    DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(DotsPerInch, DialogUnitsTest, ::testing::Values(96, 192));

TEST_F(DialogTest, TheDialogFontGrowsWithTheDisplay) {
    const SIZE at96 = ShellDlgBaseUnits(96);
    const SIZE at192 = ShellDlgBaseUnits(192);
    EXPECT_GE(at192.cy, 2 * at96.cy - 2);
    EXPECT_GE(at192.cx, 2 * at96.cx - 2);
    // Without a window, MapDialogRect has nothing to go by.
    RECT rc{1, 1, 1, 1};
    EXPECT_FALSE(MapDialogRect(user_test::MakeWindow(WS_POPUP, 0, 0, 10, 10), &rc));
    const LONG units = GetDialogBaseUnits();
    EXPECT_GT(LOWORD(units), 0);
    EXPECT_GT(HIWORD(units), LOWORD(units));
}

INT_PTR CALLBACK ResultProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_USER + 1) {
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 1234);
        return TRUE;
    }
    if (msg == WM_QUERYDRAGICON) return 0x4321;  // answered directly, not through DWLP_MSGRESULT
    return msg == WM_INITDIALOG;
}

TEST_F(DialogTest, TheDialogProcedureAnswersThroughMsgResult) {
    Builder builder(WS_POPUP, 0, 0, 0, 50, 50, L"r");
    const std::vector<DWORD> bytes = builder.Build();
    HWND dialog = CreateDialogIndirectParamW(nullptr, host::user::AsTemplate(bytes), nullptr, ResultProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&ResultProc));
    EXPECT_EQ(SendMessageW(dialog, WM_USER + 1, 0, 0), 1234);
    EXPECT_EQ(SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0), 0x4321);
    // Left to the dialog manager: default handling.
    EXPECT_EQ(SendMessageW(dialog, WM_USER + 2, 0, 0), 0);
    EXPECT_EQ(SetWindowLongPtrW(dialog, DWLP_USER, 99), 0);
    EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_USER), 99);
    DestroyWindow(dialog);
}

std::vector<WPARAM> g_commands;

INT_PTR CALLBACK CommandProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND) {
        g_commands.push_back(wParam);
        if (LOWORD(wParam) == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return TRUE;
    }
    return msg == WM_INITDIALOG;
}

TEST_F(DialogTest, ClosingIsTheCancelCommandAndEndDialogHidesAModelessDialog) {
    Builder builder(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 0, 100, 50, L"Closable");
    builder.AddItem(kButton, L"Exit", IDCANCEL, WS_CHILD | WS_VISIBLE, 5, 5, 40, 14);
    const std::vector<DWORD> bytes = builder.Build();
    g_commands.clear();
    HWND dialog = CreateDialogIndirectParamW(nullptr, host::user::AsTemplate(bytes), nullptr, CommandProc, 0);
    ASSERT_TRUE(IsWindowVisible(dialog));
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(g_commands.empty());  // posted, not sent
    host::user::ProcessEvents();
    EXPECT_EQ(g_commands, (std::vector<WPARAM>{MAKEWPARAM(IDCANCEL, BN_CLICKED)}));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));
    // A disabled Cancel button keeps the dialog from closing.
    ShowWindow(dialog, SW_SHOW);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    host::user::ProcessEvents();
    EXPECT_EQ(g_commands.size(), 1u);
    DestroyWindow(dialog);
}

TEST_F(DialogTest, AFailingControlFailsTheDialogUnlessToldOtherwise) {
    Builder builder(WS_POPUP, 0, 0, 0, 50, 50, L"f");
    builder.AddItem(L"NoSuchControl", L"", 1, WS_CHILD, 0, 0, 10, 10);
    std::vector<DWORD> bytes = builder.Build();
    EXPECT_EQ(CreateDialogIndirectParamW(nullptr, host::user::AsTemplate(bytes), nullptr, QuietProc, 0), nullptr);
    EXPECT_TRUE(host::user::TopLevelWindows().empty());
    Builder tolerant(WS_POPUP | DS_NOFAILCREATE, 0, 0, 0, 50, 50, L"f");
    tolerant.AddItem(L"NoSuchControl", L"", 1, WS_CHILD, 0, 0, 10, 10);
    bytes = tolerant.Build();
    HWND dialog = CreateDialogIndirectParamW(nullptr, host::user::AsTemplate(bytes), nullptr, QuietProc, 0);
    EXPECT_NE(dialog, nullptr);
    EXPECT_TRUE(host::user::Children(dialog).empty());
}

class ResourceDialogTest : public UserTest {
protected:
    void TearDown() override {
        UserTest::TearDown();
        host::ClearResources(nullptr);
    }
};

TEST_F(ResourceDialogTest, DialogsLoadByResourceIdAndIconStaticsLoadTheirIcon) {
    host::IconImage red;
    red.width = red.height = 32;
    red.argb.assign(32 * 32, 0xFFFF0000u);
    host::RegisterIconResources(nullptr, MAKEINTRESOURCEW(128), host::BuildIconResources(1, {red}));
    Builder builder(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME, 0, 0, 0, 235, 55, L"About Palisk");
    builder.Font(8, L"MS Shell Dlg");
    builder.AddItem(kStatic, Builder::Name::Ordinal(128), 0xFFFF, WS_CHILD | WS_VISIBLE | SS_ICON, 11, 17, 20, 20);
    const std::vector<DWORD> words = builder.Build();
    const auto* bytes = reinterpret_cast<const BYTE*>(words.data());
    host::RegisterResource(nullptr, RT_DIALOG, MAKEINTRESOURCEW(100),
                           std::vector<BYTE>(bytes, bytes + words.size() * sizeof(DWORD)));

    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(100), nullptr, QuietProc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND icon = host::user::Children(dialog).at(0);
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
    // The icon static takes its icon's size, as on Windows.
    RECT rc;
    GetClientRect(icon, &rc);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(rc.bottom, GetSystemMetrics(SM_CYICON));
    const RECT placed = ChildRectInDialog(dialog, icon);
    const host::PixelBuffer screen = host::user::Grab(dialog);
    EXPECT_EQ(user_test::PixelAt(screen, placed.left + 5, placed.top + 5), RGB(255, 0, 0));
    WCHAR text[8] = L"x";
    EXPECT_EQ(GetWindowTextW(icon, text, 8), 0);  // the ordinal is no text

    // A missing resource fails the dialog functions.
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), nullptr, QuietProc, 0), nullptr);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101), nullptr, QuietProc, 0), -1);
    machine.QueueModalAnswer({IDOK, 0});
    EXPECT_EQ(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(100), dialog, QuietProc, 0), IDOK);
}

}  // namespace
