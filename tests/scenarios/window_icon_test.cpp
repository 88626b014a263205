// The window's icon: installed big and small, offered for dragging, and
// drawn in the middle of the client area while the window is minimised.

#include "scenario_support.h"

#include "app/minimised_icon.h"
#include "app/palisk_dlg.h"
#include "host/user.h"

#include <vector>

namespace {

using scenario_test::RunScenario;

constexpr COLORREF kMarker = RGB(1, 2, 3);

// A square memory picture filled with kMarker, for drawing an icon on.
class Canvas {
public:
    explicit Canvas(int size) : size_(size) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, size, size);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        HBRUSH marker = CreateSolidBrush(kMarker);
        RECT all{0, 0, size, size};
        FillRect(dc_, &all, marker);
        DeleteObject(marker);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    std::vector<COLORREF> Pixels() const {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < size_; ++y)
            for (int x = 0; x < size_; ++x) pixels.push_back(GetPixel(dc_, x, y));
        return pixels;
    }

private:
    int size_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

std::vector<COLORREF> IconDrawnAt(int size, int x, int y, HICON icon) {
    Canvas canvas(size);
    DrawIcon(canvas.dc(), x, y, icon);
    return canvas.Pixels();
}

HICON Icon128() { return LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME)); }

TEST(WindowIcon, BigSmallAndDragIconsAreIcon128) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"steps": [{"start": {}}]})");
    CPaliskDlg* dlg = runner.Dialog();
    ASSERT_NE(Icon128(), nullptr);
    EXPECT_EQ(dlg->m_hIcon, Icon128());
    EXPECT_EQ(dlg->SendMessage(WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(Icon128()));
    EXPECT_EQ(dlg->SendMessage(WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(Icon128()));
    EXPECT_EQ(dlg->SendMessage(WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(Icon128()));
}

TEST(MinimisedIcon, ThePlaceHalvesTheSpareRoomPlusOneTruncatingTowardZero) {
    EXPECT_EQ(MinimisedIconPlace(CRect(0, 0, 36, 36), 32, 32), CPoint(2, 2));
    EXPECT_EQ(MinimisedIconPlace(CRect(0, 0, 35, 37), 32, 32), CPoint(2, 3));
    EXPECT_EQ(MinimisedIconPlace(CRect(10, 20, 46, 56), 32, 32), CPoint(2, 2));  // only the size counts
    // Smaller than the icon: -31 / 2 is -15, not -16.
    EXPECT_EQ(MinimisedIconPlace(CRect(0, 0, 0, 0), 32, 32), CPoint(-15, -15));
    EXPECT_EQ(MinimisedIconPlace(CRect(0, 0, 20, 10), 32, 16), CPoint(-5, -2));
}

// The host cannot give a minimised window a 36 x 36 client area (a
// minimised window's client area is empty, as on Windows), so the drawing
// is checked on a 36 x 36 picture with the very function OnPaint uses.
TEST(MinimisedIcon, A36PixelClientShowsIcon128At2_2) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"steps": [{"start": {}}]})");
    ASSERT_EQ(GetSystemMetrics(SM_CXICON), 32);
    ASSERT_EQ(GetSystemMetrics(SM_CYICON), 32);
    const HICON icon = runner.Dialog()->m_hIcon;
    Canvas canvas(36);
    CDC dc;
    dc.Attach(canvas.dc());
    DrawMinimisedIcon(dc, CRect(0, 0, 36, 36), icon);
    dc.Detach();
    const std::vector<COLORREF> shown = canvas.Pixels();
    EXPECT_EQ(shown, IconDrawnAt(36, 2, 2, icon));
    // The icon is not flat: a place one pixel off would show.
    EXPECT_NE(shown, IconDrawnAt(36, 1, 1, icon));
    EXPECT_NE(shown, IconDrawnAt(36, 3, 3, icon));
    // Nothing lands in the two-pixel margin on the left and top.
    for (int i = 0; i < 36; ++i) {
        EXPECT_EQ(shown[i], kMarker) << "row 0, column " << i;
        EXPECT_EQ(shown[static_cast<std::size_t>(i) * 36 + 1], kMarker) << "column 1, row " << i;
    }
}

// Messages the dialog sends itself, seen in front of its own procedure.
WNDPROC g_dialogProc = nullptr;
std::vector<std::pair<UINT, WPARAM>> g_seen;
LRESULT CALLBACK Watching(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ICONERASEBKGND) g_seen.emplace_back(msg, wParam);
    return CallWindowProcW(g_dialogProc, hwnd, msg, wParam, lParam);
}

TEST(MinimisedIcon, OnlyTheMinimisedWindowPaintsItsIcon) {
    scenario::ScenarioRunner runner;
    RunScenario(runner, R"({"steps": [{"start": {}}]})");
    const HWND hwnd = runner.Dialog()->GetSafeHwnd();
    g_seen.clear();
    g_dialogProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Watching)));
    // Restored: the base dialog paints; no icon background is asked for.
    SendMessageW(hwnd, WM_PAINT, 0, 0);
    EXPECT_TRUE(g_seen.empty());
    ASSERT_TRUE(host::user::Minimize(hwnd));
    ASSERT_TRUE(IsIconic(hwnd));
    SendMessageW(hwnd, WM_PAINT, 0, 0);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_NE(g_seen[0].second, 0u);  // the paint DC comes along
    ASSERT_TRUE(host::user::Restore(hwnd));
    g_seen.clear();
    SendMessageW(hwnd, WM_PAINT, 0, 0);
    EXPECT_TRUE(g_seen.empty());
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
}

}  // namespace
