// What the screen shows against what the windows hold, and clicks by
// position: the window system's own hit-testing decides which window a
// click reaches, so a widget shown where its window is hidden would take it.

#include "user_test_support.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <string>

namespace {

using user_test::Commands;
using user_test::MakeWindow;
using user_test::UserTest;

using ScreenAgreementTest = UserTest;

constexpr int kBelow = 7;
constexpr int kAbove = 8;

HWND MakeButton(HWND parent, int id, const wchar_t* caption, DWORD style) {
    return CreateWindowExW(0, L"Button", caption, WS_CHILD | BS_PUSHBUTTON | style, 10, 10, 80, 20, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

constexpr POINT kCentre{50, 20};

bool Clicked(int id) {
    const auto commands = Commands();
    return std::find(commands.begin(), commands.end(), std::make_pair(id, static_cast<int>(BN_CLICKED))) !=
           commands.end();
}

// Two buttons on one place, as the dialog's panel toggles are: the one
// created later lies on top on the screen, but is created hidden.
TEST_F(ScreenAgreementTest, AChildCreatedHiddenStaysOffTheScreenWhenItsParentShows) {
    HWND parent = MakeWindow(WS_POPUP, 0, 0, 200, 100);
    HWND below = MakeButton(parent, kBelow, L"Below", WS_VISIBLE);
    HWND above = MakeButton(parent, kAbove, L"Above", 0);
    ShowWindow(parent, SW_SHOW);
    host::user::ProcessEvents();

    EXPECT_FALSE(IsWindowVisible(above));
    EXPECT_TRUE(host::user::ScreenMismatches(parent).empty());
    const HWND found = host::user::WindowAt(parent, kCentre);
    EXPECT_EQ(found, below);
    EXPECT_EQ(host::user::ShownCaption(found), L"Below");

    recorder.log.clear();
    ASSERT_TRUE(host::user::ClickAt(parent, kCentre));
    EXPECT_TRUE(Clicked(kBelow));
    EXPECT_FALSE(Clicked(kAbove));
}

TEST_F(ScreenAgreementTest, ShowingHidingAndDisablingMoveTheClicks) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    HWND below = MakeButton(parent, kBelow, L"Below", WS_VISIBLE);
    HWND above = MakeButton(parent, kAbove, L"Above", 0);

    ShowWindow(above, SW_SHOW);
    EXPECT_EQ(host::user::WindowAt(parent, kCentre), above);
    ShowWindow(above, SW_HIDE);
    ShowWindow(above, SW_SHOW);
    ShowWindow(below, SW_HIDE);
    EXPECT_TRUE(host::user::ScreenMismatches(parent).empty());
    recorder.log.clear();
    host::user::ClickAt(parent, kCentre);
    EXPECT_TRUE(Clicked(kAbove));

    // A disabled button looks disabled and takes no click.
    EnableWindow(above, FALSE);
    EXPECT_TRUE(host::user::ScreenMismatches(parent).empty());
    recorder.log.clear();
    host::user::ClickAt(parent, kCentre);
    EXPECT_FALSE(Clicked(kAbove));

    // Where no child is, the parent itself is found.
    EXPECT_EQ(host::user::WindowAt(parent, POINT{150, 80}), parent);
}

TEST_F(ScreenAgreementTest, ADisabledContainerDisablesWhatIsInsideItOnTheScreen) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    HWND box = MakeWindow(WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, 150, 80, parent, 3);
    MakeButton(box, kBelow, L"Inside", WS_VISIBLE);
    EXPECT_TRUE(host::user::ScreenMismatches(parent).empty());
    EnableWindow(box, TRUE);
    EXPECT_TRUE(host::user::ScreenMismatches(parent).empty());
}

// The check reports a screen that has drifted from the windows, naming the
// control; here Qt is made to hide a widget behind the window's back.
TEST_F(ScreenAgreementTest, ADriftIsReportedWithTheControlsId) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    MakeButton(parent, kBelow, L"Below", WS_VISIBLE);
    QWidget* widget = nullptr;
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->property("text").toString() == QStringLiteral("Below")) widget = w;
    }
    ASSERT_NE(widget, nullptr);
    widget->hide();
    // A hidden widget hears of a move only when it shows again: nothing
    // tells the window.
    widget->move(30, 10);
    const std::vector<std::string> mismatches = host::user::ScreenMismatches(parent);
    ASSERT_EQ(mismatches.size(), 2u);
    EXPECT_EQ(mismatches[0], "control 7 (Button \"Below\"): the window is shown, the screen does not show it");
    EXPECT_EQ(mismatches[1], "control 7 (Button \"Below\"): the screen puts the client area at (30, 10), "
                             "the window was told (10, 10)");
}

TEST_F(ScreenAgreementTest, AClickNeedsAShownWindowAndAPointInsideIt) {
    HWND hidden = MakeWindow(WS_POPUP, 0, 0, 200, 100);
    EXPECT_FALSE(host::user::ClickAt(hidden, kCentre));
    HWND shown = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    EXPECT_FALSE(host::user::ClickAt(shown, POINT{200, 20}));
    EXPECT_FALSE(host::user::ClickAt(shown, POINT{-1, 20}));
    EXPECT_EQ(host::user::WindowAt(shown, POINT{20, 100}), nullptr);
    EXPECT_TRUE(host::user::ClickAt(shown, POINT{199, 99}));
}

}  // namespace
