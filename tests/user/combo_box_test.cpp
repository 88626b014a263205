// The combo box: its list messages with Win32's results, and the order of
// its notifications when a person opens the list and picks an item.

#include "user_test_support.h"

#include <algorithm>
#include <string>

namespace {

using user_test::Commands;
using user_test::MakeWindow;
using user_test::UserTest;

constexpr int kCombo = 1022;

class ComboBoxTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
        combo = CreateWindowExW(0, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10,
                                10, 160, 200, parent, reinterpret_cast<HMENU>(kCombo), nullptr, nullptr);
        ASSERT_NE(combo, nullptr);
        recorder.log.clear();
    }
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageW(combo, msg, wParam, lParam); }
    LRESULT Add(LPCWSTR text) { return Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)); }
    std::wstring ItemText(int index) {
        WCHAR buffer[64] = L"?";
        if (Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)) == CB_ERR) return L"<err>";
        return buffer;
    }

    HWND parent = nullptr;
    HWND combo = nullptr;
};

TEST_F(ComboBoxTest, ItemsKeepInsertionOrderAndBadIndexesAnswerCbErr) {
    EXPECT_EQ(Add(L"**NONE**"), 0);
    EXPECT_EQ(Add(L"System[4]"), 1);
    EXPECT_EQ(Add(L"Idle[0]"), 2);
    EXPECT_EQ(Send(CB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(L"init[1]")), 1);
    EXPECT_EQ(Send(CB_GETCOUNT), 4);
    EXPECT_EQ(ItemText(3), L"Idle[0]");
    EXPECT_EQ(Send(CB_GETLBTEXTLEN, 1), 7);
    // Adding items selects nothing.
    EXPECT_EQ(Send(CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Send(CB_SETCURSEL, 4), CB_ERR);
    EXPECT_EQ(Send(CB_GETLBTEXT, 4, 0), CB_ERR);
    EXPECT_EQ(Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(-1)), CB_ERR);
    EXPECT_EQ(Send(CB_DELETESTRING, 9), CB_ERR);
    EXPECT_EQ(Send(CB_INSERTSTRING, 9, reinterpret_cast<LPARAM>(L"x")), CB_ERR);
    EXPECT_EQ(Send(CB_SETITEMDATA, 2, 0x77), TRUE);
    EXPECT_EQ(Send(CB_GETITEMDATA, 2), 0x77);
    EXPECT_EQ(Send(CB_GETITEMDATA, 8), CB_ERR);
    EXPECT_EQ(Send(CB_DELETESTRING, 0), 3);
    EXPECT_EQ(Send(CB_RESETCONTENT), 0);
    EXPECT_EQ(Send(CB_GETCOUNT), 0);
}

TEST_F(ComboBoxTest, SelectionFollowsSetCurSelWithoutNotifying) {
    for (LPCWSTR name : {L"alpha", L"beta", L"gamma"}) Add(name);
    EXPECT_EQ(Send(CB_SETCURSEL, 1), 1);
    EXPECT_EQ(Send(CB_GETCURSEL), 1);
    WCHAR text[16];
    EXPECT_EQ(GetWindowTextW(combo, text, 16), 4);
    EXPECT_STREQ(text, L"beta");
    // A list without an edit field takes no text.
    EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"zeta")), CB_ERR);
    // -1 clears the selection, and answers CB_ERR as Win32 does.
    EXPECT_EQ(Send(CB_SETCURSEL, static_cast<WPARAM>(-1)), CB_ERR);
    EXPECT_EQ(Send(CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(GetWindowTextLengthW(combo), 0);
    // Deleting the selected item leaves no selection.
    Send(CB_SETCURSEL, 2);
    Send(CB_DELETESTRING, 2);
    EXPECT_EQ(Send(CB_GETCURSEL), CB_ERR);
    EXPECT_TRUE(Commands().empty());
}

TEST_F(ComboBoxTest, FindingIgnoresCaseAndWrapsRound) {
    for (LPCWSTR name : {L"svchost[812]", L"Memory Compression[2345]", L"svchost[990]"}) Add(name);
    const auto text = [](LPCWSTR s) { return reinterpret_cast<LPARAM>(s); };
    EXPECT_EQ(Send(CB_FINDSTRING, static_cast<WPARAM>(-1), text(L"SVC")), 0);
    EXPECT_EQ(Send(CB_FINDSTRING, 0, text(L"svc")), 2);
    EXPECT_EQ(Send(CB_FINDSTRING, 2, text(L"svc")), 0);
    EXPECT_EQ(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text(L"svchost")), CB_ERR);
    EXPECT_EQ(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text(L"MEMORY COMPRESSION[2345]")), 1);
    EXPECT_EQ(Send(CB_SELECTSTRING, static_cast<WPARAM>(-1), text(L"mem")), 1);
    EXPECT_EQ(Send(CB_GETCURSEL), 1);
    EXPECT_EQ(Send(CB_SELECTSTRING, static_cast<WPARAM>(-1), text(L"zzz")), CB_ERR);
    EXPECT_EQ(Send(CB_GETCURSEL), 1);
}

TEST_F(ComboBoxTest, SortedCombosInsertInOrder) {
    HWND sorted = CreateWindowExW(0, L"ComboBox", nullptr, WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, 0, 0, 100, 100,
                                  parent, nullptr, nullptr, nullptr);
    for (LPCWSTR name : {L"delta", L"Alpha", L"charlie", L"bravo"}) {
        SendMessageW(sorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    EXPECT_EQ(host::user::ComboItems(sorted), (std::vector<std::wstring>{L"Alpha", L"bravo", L"charlie", L"delta"}));
}

TEST_F(ComboBoxTest, DropDownComesBeforeTheListOpensAndTheListShowsTheRefill) {
    Add(L"stale");
    LRESULT droppedDuringNotification = -1;
    recorder.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
        if (msg == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN) {
            droppedDuringNotification = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0);
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            for (LPCWSTR name : {L"**NONE**", L"explorer[1200]", L"Memory Compression[2345] *"}) {
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            }
            SendMessageW(combo, CB_SETCURSEL, 0, 0);
        }
        return false;
    };
    ASSERT_TRUE(host::user::DropDown(combo));
    EXPECT_EQ(droppedDuringNotification, FALSE);
    EXPECT_TRUE(host::user::IsDroppedDown(combo));
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), TRUE);
    EXPECT_EQ(host::user::ComboItems(combo),
              (std::vector<std::wstring>{L"**NONE**", L"explorer[1200]", L"Memory Compression[2345] *"}));
    ASSERT_TRUE(host::user::CloseDropDown(combo));
    EXPECT_EQ(Commands(), (std::vector<std::pair<int, int>>{{kCombo, CBN_DROPDOWN}, {kCombo, CBN_CLOSEUP}}));
    // A hidden or disabled combo box cannot be opened.
    EnableWindow(combo, FALSE);
    EXPECT_FALSE(host::user::DropDown(combo));
    EnableWindow(combo, TRUE);
    ShowWindow(combo, SW_HIDE);
    EXPECT_FALSE(host::user::DropDown(combo));
}

TEST_F(ComboBoxTest, AUserChoiceSelectsAndNotifiesSelChange) {
    recorder.handler = [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT*) {
        if (msg == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN) {
            SendMessageW(combo, CB_RESETCONTENT, 0, 0);
            for (LPCWSTR name : {L"**NONE**", L"init[1]", L"sshd[640]"}) {
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            }
            SendMessageW(combo, CB_SETCURSEL, 0, 0);
        }
        return false;
    };
    // Choosing from a closed list opens it first, as a person must.
    ASSERT_TRUE(host::user::ChooseComboItem(combo, 2));
    EXPECT_EQ(Send(CB_GETCURSEL), 2);
    EXPECT_FALSE(host::user::IsDroppedDown(combo));
    const auto commands = Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), std::make_pair(kCombo, static_cast<int>(CBN_DROPDOWN)));
    EXPECT_EQ(commands.back(), std::make_pair(kCombo, static_cast<int>(CBN_SELCHANGE)));
    EXPECT_EQ(std::count(commands.begin(), commands.end(), std::make_pair(kCombo, static_cast<int>(CBN_SELCHANGE))), 1);
    // No item there: no choice, and the list is closed again.
    recorder.log.clear();
    EXPECT_FALSE(host::user::ChooseComboItem(combo, 7));
    EXPECT_FALSE(host::user::IsDroppedDown(combo));
    for (const auto& [id, code] : Commands()) EXPECT_NE(code, CBN_SELCHANGE);
}

TEST_F(ComboBoxTest, TheSelectionFieldKeepsTheFontsHeightAndTheRestIsTheList) {
    RECT rc;
    GetWindowRect(combo, &rc);
    const int fieldHeight = rc.bottom - rc.top;
    EXPECT_LT(fieldHeight, 200);
    EXPECT_GT(fieldHeight, 10);
    EXPECT_EQ(rc.right - rc.left, 160);
    // A bigger font makes a taller field.
    HFONT big = CreateFontW(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
    SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(big), FALSE);
    GetWindowRect(combo, &rc);
    EXPECT_GT(rc.bottom - rc.top, fieldHeight);
    DestroyWindow(combo);
    DeleteObject(big);
}

}  // namespace
