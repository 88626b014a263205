// The control classes and CMenu on the real host.

#include "afx_test_support.h"

#include <afxcmn.h>

#include "host/gdi.h"

#include <cstdint>

namespace {

using afx_test::HostTest;

class ControlsTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200,
                                    nullptr, nullptr));
    }
    CWnd parent;
};

TEST_F(ControlsTest, ComboBoxItemsAndSelection) {
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 120, 100), &parent, 1022));
    EXPECT_EQ(combo.AddString(L"**NONE**"), 0);
    EXPECT_EQ(combo.AddString(L"System[4]"), 1);
    EXPECT_EQ(combo.InsertString(1, L"SystemIdle[0]"), 1);
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.SetCurSel(2), 2);
    EXPECT_EQ(combo.SetCurSel(7), CB_ERR);

    CString text;
    combo.GetLBText(1, text);
    EXPECT_EQ(text, L"SystemIdle[0]");
    EXPECT_EQ(combo.GetLBTextLen(2), 9);
    combo.GetLBText(9, text);  // no such item
    EXPECT_TRUE(text.IsEmpty());

    EXPECT_EQ(combo.FindStringExact(-1, L"system[4]"), 2);  // case does not matter
    EXPECT_EQ(combo.FindStringExact(-1, L"System"), CB_ERR);
    EXPECT_EQ(combo.FindString(-1, L"System"), 1);
    EXPECT_EQ(combo.SelectString(-1, L"**"), 0);
    EXPECT_EQ(combo.GetCurSel(), 0);

    EXPECT_NE(combo.SetItemData(2, 4), CB_ERR);
    EXPECT_EQ(combo.SetItemData(9, 4), CB_ERR);
    EXPECT_EQ(combo.GetItemData(2), 4u);
    EXPECT_EQ(combo.DeleteString(0), 2);
    combo.ShowDropDown(TRUE);
    EXPECT_TRUE(combo.GetDroppedState());
    combo.ShowDropDown(FALSE);
    EXPECT_FALSE(combo.GetDroppedState());
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(ControlsTest, ProgressBarRangePositionAndColours) {
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH | PBS_VERTICAL, CRect(0, 0, 20, 90), &parent,
                                1004));
    progress.SetRange32(0, 1000);
    int lower = -1, upper = -1;
    progress.GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 1000);
    EXPECT_EQ(progress.SetPos(250), 0);
    EXPECT_EQ(progress.GetPos(), 250);
    EXPECT_EQ(progress.OffsetPos(50), 250);
    EXPECT_EQ(progress.GetPos(), 300);
    progress.SetRange(0, 100);
    EXPECT_LE(progress.GetPos(), 100);  // the position stays inside the range

    // Each colour call answers the colour it replaced.
    EXPECT_EQ(progress.SetBkColor(RGB(0, 128, 0)), static_cast<COLORREF>(CLR_DEFAULT));
    EXPECT_EQ(progress.SetBkColor(RGB(128, 128, 0)), RGB(0, 128, 0));
    EXPECT_EQ(progress.SetBarColor(RGB(1, 2, 3)), static_cast<COLORREF>(CLR_DEFAULT));
}

TEST_F(ControlsTest, StaticsShowTextOrAnIcon) {
    CStatic label;
    ASSERT_TRUE(label.Create(L"Target Process:", WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(0, 0, 80, 12), &parent));
    EXPECT_EQ(label.GetDlgCtrlID(), 0xffff);
    EXPECT_EQ(afx_test::TextOf(label.m_hWnd), L"Target Process:");

    const std::uint32_t pixels[4] = {0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu, 0xFF0000FFu};
    const HICON icon = host::gdi::CreateIconFromPixels(2, 2, pixels);
    CStatic picture;
    ASSERT_TRUE(picture.Create(nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, CRect(0, 20, 32, 52), &parent, 5));
    EXPECT_EQ(picture.SetIcon(icon), nullptr);
    EXPECT_EQ(picture.GetIcon(), icon);
    picture.DestroyWindow();
    ::DestroyIcon(icon);
}

TEST_F(ControlsTest, ButtonsKeepTheirCheckAndStyle) {
    CButton box;
    ASSERT_TRUE(box.Create(L"Show", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(0, 0, 60, 14), &parent, 1027));
    EXPECT_EQ(box.GetCheck(), BST_UNCHECKED);
    box.SetCheck(BST_CHECKED);
    EXPECT_EQ(box.GetCheck(), BST_CHECKED);
    EXPECT_EQ(box.GetButtonStyle() & BS_TYPEMASK, static_cast<UINT>(BS_AUTOCHECKBOX));

    CButton push;
    ASSERT_TRUE(push.Create(L"About", WS_CHILD | WS_VISIBLE, CRect(0, 20, 60, 34), &parent, 1000));
    push.SetButtonStyle(BS_DEFPUSHBUTTON);
    EXPECT_EQ(push.GetButtonStyle() & BS_TYPEMASK, static_cast<UINT>(BS_DEFPUSHBUTTON));
}

class MenuTest : public HostTest {};

TEST_F(MenuTest, APopupMenuOwnsItsItemsAndGoesWithItsObject) {
    HMENU handle = nullptr;
    {
        CMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        EXPECT_FALSE(menu.CreatePopupMenu());  // one menu per object
        handle = menu.GetSafeHmenu();
        ASSERT_TRUE(menu.AppendMenu(MF_SEPARATOR));
        ASSERT_TRUE(menu.AppendMenu(MF_STRING, 64, L"Flush &Standby Caches"));
        EXPECT_EQ(menu.GetMenuItemCount(), 2u);
        EXPECT_EQ(menu.GetMenuItemID(1), 64u);
        CString text;
        EXPECT_EQ(menu.GetMenuString(64, text, MF_BYCOMMAND), 21);
        EXPECT_EQ(text, L"Flush &Standby Caches");
        EXPECT_EQ(menu.EnableMenuItem(64, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(MF_ENABLED));
        EXPECT_EQ(menu.EnableMenuItem(64, MF_BYCOMMAND | MF_ENABLED), static_cast<UINT>(MF_GRAYED));
        EXPECT_EQ(CMenu::FromHandle(handle), &menu);
    }
    EXPECT_EQ(::GetMenuItemCount(handle), -1);  // destroyed with its object
}

TEST_F(MenuTest, TheSystemMenuIsBorrowedNeverDestroyed) {
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), L"menu", WS_POPUP | WS_SYSMENU | WS_CAPTION, 0, 0, 100, 60,
                                nullptr, nullptr));
    CMenu* systemMenu = window.GetSystemMenu(FALSE);
    ASSERT_NE(systemMenu, nullptr);
    const UINT items = systemMenu->GetMenuItemCount();
    ASSERT_TRUE(systemMenu->AppendMenu(MF_STRING, 16, L"&About Palisk..."));
    AfxUnlockTempMaps();
    EXPECT_EQ(window.GetSystemMenu(FALSE)->GetMenuItemCount(), items + 1);
    afx_internal::CurrentThreadState()->menus.ClearTemporaries();
    EXPECT_EQ(window.GetSystemMenu(FALSE)->GetMenuItemCount(), items + 1);
}

}  // namespace
