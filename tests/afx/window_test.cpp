// CWnd on the real host: binding during creation, subclassing, default
// handling, timers on the virtual clock, temporary wrappers.

#include "afx_test_support.h"

#include <algorithm>
#include <cwchar>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace {

using afx_test::HostTest;
using afx_test::RawWindow;
using afx_test::TemporaryWindows;
using afx_test::TextOf;

class CRecorder : public CWnd {
public:
    std::vector<CSize> sizes;
    std::vector<UINT_PTR> timers;
    HWND boundInOnCreate = nullptr;
    bool failCreate = false;
    int destroys = 0;
    int postNcDestroys = 0;
    std::size_t temporariesInHandler = 0;

    BOOL CreatePopup(LPCWSTR className = nullptr) {
        if (className == nullptr) className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
        return CreateEx(0, className, L"recorder", WS_POPUP, CRect(0, 0, 120, 80), nullptr, 0);
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) {
        boundInOnCreate = m_hWnd;
        if (failCreate) return -1;
        return CWnd::OnCreate(lpCreateStruct);
    }
    afx_msg void OnSize(UINT nType, int cx, int cy) {
        CWnd::OnSize(nType, cx, cy);
        sizes.emplace_back(cx, cy);
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent) { timers.push_back(nIDEvent); }
    afx_msg void OnDestroy() {
        ++destroys;
        CWnd::OnDestroy();
    }
    // Wraps a window that dies before the handler returns.
    afx_msg LRESULT OnMakeTemporary(WPARAM, LPARAM) {
        const HWND hWnd = RawWindow(L"Static", L"short-lived");
        CWnd::FromHandle(hWnd)->SetWindowText(L"seen");
        temporariesInHandler = TemporaryWindows();
        ::DestroyWindow(hWnd);
        return 0;
    }
    void PostNcDestroy() override { ++postNcDestroys; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecorder, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_APP, &CRecorder::OnMakeTemporary)
END_MESSAGE_MAP()

// A static control whose text changes pass through the map.
class CLoggingStatic : public CStatic {
public:
    std::vector<std::wstring> texts;

protected:
    afx_msg LRESULT OnSetText(WPARAM, LPARAM lParam) {
        texts.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
        return Default();  // the static's own procedure stores the text
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLoggingStatic, CStatic)
    ON_MESSAGE(WM_SETTEXT, &CLoggingStatic::OnSetText)
END_MESSAGE_MAP()

class WindowTest : public HostTest {};

TEST_F(WindowTest, CreateExBindsTheObjectOnTheWindowsFirstMessage) {
    CRecorder window;
    ASSERT_TRUE(window.CreatePopup());
    EXPECT_EQ(window.boundInOnCreate, window.m_hWnd);
    // WM_SIZE came inside CreateWindowEx and already reached the handler.
    ASSERT_FALSE(window.sizes.empty());
    EXPECT_EQ(window.sizes.front(), CSize(120, 80));
    EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);
    EXPECT_EQ(::GetWindowLongPtrW(window.m_hWnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AfxWndProc));
}

TEST_F(WindowTest, CreateExWithoutAClassUsesTheFrameworksDefaultClass) {
    CRecorder window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"plain", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
    ASSERT_FALSE(window.sizes.empty());
    EXPECT_EQ(window.sizes.front(), CSize(50, 40));
}

TEST_F(WindowTest, RefusedCreationUnbindsAndCallsPostNcDestroy) {
    CRecorder window;
    window.failCreate = true;
    EXPECT_FALSE(window.CreatePopup());
    EXPECT_NE(window.boundInOnCreate, nullptr);
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(window.postNcDestroys, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(window.boundInOnCreate), nullptr);
    // The object can try again.
    window.failCreate = false;
    EXPECT_TRUE(window.CreatePopup());
}

TEST_F(WindowTest, DestroyWindowRunsTheLastHandlersAndUnbinds) {
    CRecorder window;
    ASSERT_TRUE(window.CreatePopup());
    const HWND hWnd = window.m_hWnd;
    EXPECT_TRUE(window.DestroyWindow());
    EXPECT_EQ(window.destroys, 1);
    EXPECT_EQ(window.postNcDestroys, 1);
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_FALSE(window.DestroyWindow());
}

TEST_F(WindowTest, AnObjectTakesItsWindowWithIt) {
    HWND hWnd = nullptr;
    {
        CRecorder window;
        ASSERT_TRUE(window.CreatePopup());
        hWnd = window.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST_F(WindowTest, MessagesTheMapLeavesReachTheDefaultProcedure) {
    CRecorder window;
    ASSERT_TRUE(window.CreatePopup());
    window.SetWindowText(L"caption");
    EXPECT_EQ(TextOf(window.m_hWnd), L"caption");
    EXPECT_EQ(window.GetWindowTextLength(), 7);
}

TEST_F(WindowTest, TimersTickOnTheVirtualClockByTheirIds) {
    CRecorder window;
    ASSERT_TRUE(window.CreatePopup());
    EXPECT_EQ(window.SetTimer(7, 100), 7u);
    EXPECT_EQ(window.SetTimer(9, 250), 9u);
    machine.Advance(500);
    EXPECT_EQ(window.timers, (std::vector<UINT_PTR>{7, 7, 9, 7, 7, 7, 9}));
    EXPECT_TRUE(window.KillTimer(7));
    window.timers.clear();
    machine.Advance(500);
    EXPECT_EQ(window.timers, (std::vector<UINT_PTR>{9, 9}));
    EXPECT_FALSE(window.KillTimer(7));
}

TEST_F(WindowTest, StandardControlsAreSubclassedAndKeepTheirOwnProcedure) {
    CRecorder parent;
    ASSERT_TRUE(parent.CreatePopup());
    CLoggingStatic label;
    ASSERT_TRUE(label.Create(L"first", WS_CHILD | WS_VISIBLE, CRect(1, 2, 61, 22), &parent, 55));
    EXPECT_EQ(label.GetDlgCtrlID(), 55);
    EXPECT_EQ(label.GetParent(), &parent);
    EXPECT_EQ(parent.GetDlgItem(55), &label);

    label.SetWindowText(L"second");
    EXPECT_EQ(label.texts, (std::vector<std::wstring>{L"second"}));
    EXPECT_EQ(TextOf(label.m_hWnd), L"second");

    // Given back its own procedure, the control no longer reaches the map.
    const HWND hWnd = label.UnsubclassWindow();
    EXPECT_NE(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&AfxWndProc));
    ::SetWindowTextW(hWnd, L"third");
    EXPECT_EQ(label.texts.size(), 1u);
    EXPECT_EQ(TextOf(hWnd), L"third");
}

TEST_F(WindowTest, OneWindowIsBoundToOneObject) {
    const HWND hWnd = RawWindow(L"Static", L"raw");
    CLoggingStatic first, second;
    EXPECT_TRUE(first.SubclassWindow(hWnd));
    EXPECT_FALSE(second.SubclassWindow(hWnd));
    EXPECT_FALSE(second.Attach(hWnd));
    EXPECT_FALSE(first.Attach(hWnd));  // already holding one
    EXPECT_EQ(first.UnsubclassWindow(), hWnd);
    EXPECT_TRUE(second.Attach(hWnd));
    EXPECT_EQ(second.Detach(), hWnd);
    EXPECT_FALSE(first.SubclassWindow(nullptr));
    ::DestroyWindow(hWnd);
}

TEST_F(WindowTest, TemporaryWrappersLiveAsLongAsTheirWindow) {
    const std::size_t before = TemporaryWindows();
    const HWND hWnd = RawWindow(L"Static", L"unbound");
    CWnd* wrapper = CWnd::FromHandle(hWnd);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hWnd), wrapper);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
    EXPECT_EQ(TemporaryWindows(), before + 1);
    AfxUnlockTempMaps();
    EXPECT_EQ(wrapper->m_hWnd, hWnd);  // still good while the window lives
    EXPECT_EQ(TextOf(hWnd), L"unbound");
    ::DestroyWindow(hWnd);
    AfxUnlockTempMaps();
    EXPECT_EQ(TemporaryWindows(), before);
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);

    // A wrapper may destroy its own window.
    const HWND other = RawWindow(L"Static", L"other");
    EXPECT_TRUE(CWnd::FromHandle(other)->DestroyWindow());
    EXPECT_FALSE(::IsWindow(other));
    AfxUnlockTempMaps();
    EXPECT_EQ(TemporaryWindows(), before);
}

TEST_F(WindowTest, TemporariesOfAHandlerAreFreedWhenItsMessageEnds) {
    CRecorder window;
    ASSERT_TRUE(window.CreatePopup());
    const std::size_t before = TemporaryWindows();
    window.SendMessage(WM_APP);
    EXPECT_EQ(window.temporariesInHandler, before + 1);
    EXPECT_EQ(TemporaryWindows(), before);
}

TEST_F(WindowTest, WindowClassesAreNamedFromTheirArgumentsAndShared) {
    const LPCWSTR plain = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    EXPECT_EQ(AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW), plain);
    std::wostringstream expected;
    expected << L"Afx:" << std::uppercase << std::hex << std::setw(16) << std::setfill(L'0')
             << reinterpret_cast<UINT_PTR>(AfxGetInstanceHandle()) << std::nouppercase << L":3";
    EXPECT_EQ(std::wstring(plain), expected.str());

    const auto brush = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    const LPCWSTR brushed = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr, brush);
    EXPECT_NE(std::wstring(brushed), std::wstring(plain));
    EXPECT_EQ(std::count(brushed, brushed + wcslen(brushed), L':'), 5);  // Afx:instance:style:cursor:brush:icon

    WNDCLASSW info{};
    ASSERT_TRUE(::GetClassInfoW(AfxGetInstanceHandle(), brushed, &info));
    EXPECT_EQ(info.lpfnWndProc, &AfxWndProc);
    EXPECT_EQ(info.hbrBackground, brush);
}

TEST_F(WindowTest, OperationsActOnTheWindow) {
    CRecorder parent;
    ASSERT_TRUE(parent.CreatePopup());
    parent.ShowWindow(SW_SHOWNOACTIVATE);
    CLoggingStatic child;
    ASSERT_TRUE(child.Create(L"child", WS_CHILD, CRect(10, 10, 30, 20), &parent, 7));
    EXPECT_FALSE(child.IsWindowVisible());
    child.ShowWindow(SW_SHOW);
    EXPECT_TRUE(child.IsWindowVisible());
    child.EnableWindow(FALSE);
    EXPECT_FALSE(child.IsWindowEnabled());
    child.MoveWindow(5, 6, 40, 12);
    CRect client;
    child.GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(40, 12));
    CRect window;
    child.GetWindowRect(&window);
    parent.ScreenToClient(&window);
    EXPECT_EQ(window.TopLeft(), CPoint(5, 6));
    child.CenterWindow();
    child.GetWindowRect(&window);
    parent.ScreenToClient(&window);
    EXPECT_EQ(window.TopLeft(), CPoint((120 - 40) / 2, (80 - 12) / 2));
    EXPECT_EQ(child.SetDlgCtrlID(8), 7);
    EXPECT_EQ(child.GetDlgCtrlID(), 8);
    EXPECT_FALSE(child.ModifyStyle(0, WS_CHILD));  // nothing changes
    EXPECT_TRUE(child.ModifyStyle(0, SS_CENTER));
    EXPECT_EQ(child.GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
}

TEST_F(WindowTest, PostedMessagesArriveThroughTheQueue) {
    CRecorder window;
    ASSERT_TRUE(window.CreatePopup());
    EXPECT_TRUE(window.PostMessage(WM_TIMER, 31));
    EXPECT_TRUE(window.timers.empty());
    host::user::ProcessEvents();
    EXPECT_EQ(window.timers, (std::vector<UINT_PTR>{31}));
}

}  // namespace
