// Message maps without windows: entries found by message, control id and
// notification code, derived maps first, handlers called with their own
// signatures.

#include <gtest/gtest.h>

#include <afxwin.h>

#include <string>
#include <vector>

namespace {

// A control handle for WM_COMMAND's lParam; no window stands behind it,
// which is enough for routing.
const LPARAM kControl = 0x5150;

class CPanel : public CWnd {
public:
    std::vector<std::string> calls;
    UINT_PTR lastTimer = 0;
    int lastWidth = -1, lastHeight = -1;
    UINT lastRangeId = 0;

protected:
    afx_msg void OnOkClicked() { calls.push_back("panel ok"); }
    afx_msg void OnApplyClicked() { calls.push_back("panel apply"); }
    afx_msg void OnListDropDown() { calls.push_back("drop down"); }
    afx_msg void OnListSelChange() { calls.push_back("sel change"); }
    afx_msg void OnRange(UINT nID) { lastRangeId = nID; }
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { lastTimer = nIDEvent; }
    afx_msg void OnSize(UINT /*nType*/, int cx, int cy) { lastWidth = cx, lastHeight = cy; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPanel, CWnd)
    ON_BN_CLICKED(IDOK, &CPanel::OnOkClicked)
    ON_BN_CLICKED(12, &CPanel::OnApplyClicked)
    ON_CBN_DROPDOWN(1022, &CPanel::OnListDropDown)
    ON_CBN_SELCHANGE(1022, &CPanel::OnListSelChange)
    ON_COMMAND_RANGE(100, 110, &CPanel::OnRange)
    ON_MESSAGE(WM_APP + 1, &CPanel::OnPing)
    ON_WM_TIMER()
    ON_WM_SIZE()
END_MESSAGE_MAP()

// Overrides one entry of its base (IDOK) and keeps the rest.
class CRefreshPanel : public CPanel {
protected:
    afx_msg void OnRefresh() { calls.push_back("refresh"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRefreshPanel, CPanel)
    ON_BN_CLICKED(IDOK, &CRefreshPanel::OnRefresh)
END_MESSAGE_MAP()

BOOL Notify(CWnd& wnd, UINT id, UINT code) {
    LRESULT result = 0;
    return wnd.OnWndMsg(WM_COMMAND, MAKEWPARAM(id, code), kControl, &result);
}

TEST(MessageMap, ControlNotificationsReachTheHandlerForTheirIdAndCode) {
    CPanel panel;
    EXPECT_TRUE(Notify(panel, 12, BN_CLICKED));
    EXPECT_TRUE(Notify(panel, 1022, CBN_DROPDOWN));
    EXPECT_TRUE(Notify(panel, 1022, CBN_SELCHANGE));
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"panel apply", "drop down", "sel change"}));
    // The same id with a code nobody handles, and a code for another id.
    EXPECT_FALSE(Notify(panel, 1022, CBN_CLOSEUP));
    EXPECT_FALSE(Notify(panel, 13, BN_CLICKED));
    EXPECT_EQ(panel.calls.size(), 3u);
}

TEST(MessageMap, DerivedEntriesWinAndBaseEntriesStillServe) {
    CRefreshPanel panel;
    EXPECT_TRUE(Notify(panel, IDOK, BN_CLICKED));
    EXPECT_TRUE(Notify(panel, 12, BN_CLICKED));
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"refresh", "panel apply"}));
    CPanel base;
    EXPECT_TRUE(Notify(base, IDOK, BN_CLICKED));
    EXPECT_EQ(base.calls, (std::vector<std::string>{"panel ok"}));
}

TEST(MessageMap, MenuCommandsRouteAsCommands) {
    CPanel panel;
    LRESULT result = 0;
    // A menu command has no control handle; the button handler of that id serves it.
    EXPECT_TRUE(panel.OnWndMsg(WM_COMMAND, MAKEWPARAM(12, 0), 0, &result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"panel apply"}));
    // Id 0 is never a command.
    EXPECT_FALSE(panel.OnWndMsg(WM_COMMAND, MAKEWPARAM(0, 0), 0, &result));
}

TEST(MessageMap, RangesPassTheIdToTheHandler) {
    CPanel panel;
    EXPECT_TRUE(panel.OnCmdMsg(107, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(panel.lastRangeId, 107u);
    EXPECT_TRUE(panel.OnCmdMsg(110, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(panel.lastRangeId, 110u);
    EXPECT_FALSE(panel.OnCmdMsg(111, CN_COMMAND, nullptr, nullptr));
}

TEST(MessageMap, HandlerQueriesDoNotCallTheHandler) {
    CPanel panel;
    AFX_CMDHANDLERINFO info{};
    EXPECT_TRUE(panel.OnCmdMsg(IDOK, BN_CLICKED, nullptr, &info));
    EXPECT_EQ(info.pTarget, &panel);
    EXPECT_NE(info.pfn, nullptr);
    EXPECT_TRUE(panel.calls.empty());
}

TEST(MessageMap, WindowMessagesAreUnpackedForTheirHandlers) {
    CPanel panel;
    LRESULT result = 0;
    EXPECT_TRUE(panel.OnWndMsg(WM_APP + 1, 40, 2, &result));
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(panel.OnWndMsg(WM_TIMER, 1957, 0, &result));
    EXPECT_EQ(panel.lastTimer, 1957u);
    EXPECT_TRUE(panel.OnWndMsg(WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480), &result));
    EXPECT_EQ(panel.lastWidth, 640);
    EXPECT_EQ(panel.lastHeight, 480);
    // Messages without an entry are left for the default procedure.
    EXPECT_FALSE(panel.OnWndMsg(WM_APP + 2, 0, 0, &result));
    EXPECT_FALSE(panel.OnWndMsg(WM_PAINT, 0, 0, &result));
}

// Notifications reflected to the control itself, before its parent.
class CSelfHandlingButton : public CWnd {
public:
    int clicks = 0;

protected:
    afx_msg void OnReflectedClick() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfHandlingButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, &CSelfHandlingButton::OnReflectedClick)
END_MESSAGE_MAP()

TEST(MessageMap, ReflectedNotificationsAreOfferedToTheControl) {
    CSelfHandlingButton button;
    LRESULT result = 0;
    EXPECT_TRUE(button.OnChildNotify(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), kControl, &result));
    EXPECT_EQ(button.clicks, 1);
    const WORD otherNotification = 6;
    EXPECT_FALSE(button.OnChildNotify(WM_COMMAND, MAKEWPARAM(5, otherNotification), kControl, &result));
    EXPECT_EQ(button.clicks, 1);
}

}  // namespace
