// Win32 paint semantics on the backing buffer: update regions, erasing,
// synchronous updates, and controls whose replaced procedure paints them.

#include "user_test_support.h"

namespace {

using user_test::MakeWindow;
using user_test::PixelAt;
using user_test::UserTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kFace = RGB(240, 240, 240);

class PaintTest : public UserTest {
protected:
    // A test window that paints a red 2x2 square at (2, 2) and notes what
    // each WM_PAINT was told.
    void PaintRedSquare() {
        recorder.handler = [this](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* result) {
            if (msg != WM_PAINT) return false;
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hwnd, &ps);
            paints.push_back(ps);
            RECT square{2, 2, 4, 4};
            HBRUSH red = CreateSolidBrush(kRed);
            FillRect(hdc, &square, red);
            DeleteObject(red);
            EndPaint(hwnd, &ps);
            *result = 0;
            return true;
        };
    }
    std::size_t Erases() const { return recorder.Of(WM_ERASEBKGND).size(); }

    std::vector<PAINTSTRUCT> paints;
};

TEST_F(PaintTest, UpdateWindowPaintsAtOnceErasingWithTheClassBrush) {
    PaintRedSquare();
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    ASSERT_TRUE(UpdateWindow(window));
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(Erases(), 1u);
    EXPECT_FALSE(paints[0].fErase);  // the class brush erased it
    EXPECT_EQ(paints[0].rcPaint.right, 40);
    EXPECT_EQ(paints[0].rcPaint.bottom, 30);
    const host::PixelBuffer* buffer = host::user::WindowBuffer(window);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->width, 40);
    EXPECT_EQ(PixelAt(*buffer, 0, 0), kFace);
    EXPECT_EQ(PixelAt(*buffer, 2, 2), kRed);
    EXPECT_EQ(PixelAt(*buffer, 3, 3), kRed);
    EXPECT_EQ(PixelAt(*buffer, 4, 4), kFace);
    // Nothing is due any more.
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    UpdateWindow(window);
    EXPECT_EQ(paints.size(), 1u);
}

// As on Windows, BeginPaint's context reaches only what was invalidated:
// a procedure that fills its whole client area changes just that part.
TEST_F(PaintTest, APaintReachesOnlyTheInvalidatedPart) {
    RECT clipBox{};
    recorder.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* result) {
        if (msg != WM_PAINT) return false;
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        GetClipBox(hdc, &clipBox);
        RECT all{0, 0, 40, 30};
        HBRUSH brush = CreateSolidBrush(paints.empty() ? kBlue : kRed);
        FillRect(hdc, &all, brush);
        DeleteObject(brush);
        paints.push_back(ps);
        EndPaint(hwnd, &ps);
        *result = 0;
        return true;
    };
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    UpdateWindow(window);  // all blue
    RECT part{10, 5, 20, 15};
    InvalidateRect(window, &part, FALSE);
    UpdateWindow(window);  // red, but only there
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_TRUE(EqualRect(&clipBox, &part));
    const host::PixelBuffer* buffer = host::user::WindowBuffer(window);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(PixelAt(*buffer, 10, 5), kRed);
    EXPECT_EQ(PixelAt(*buffer, 19, 14), kRed);
    EXPECT_EQ(PixelAt(*buffer, 20, 14), kBlue);
    EXPECT_EQ(PixelAt(*buffer, 9, 5), kBlue);
    EXPECT_EQ(PixelAt(*buffer, 10, 15), kBlue);
}

TEST_F(PaintTest, InvalidationsAccumulateAndRememberTheErase) {
    PaintRedSquare();
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    UpdateWindow(window);
    paints.clear();
    recorder.log.clear();
    RECT a{1, 1, 5, 5};
    RECT b{10, 8, 20, 12};
    InvalidateRect(window, &a, FALSE);
    InvalidateRect(window, &b, FALSE);
    RECT due;
    ASSERT_TRUE(GetUpdateRect(window, &due, FALSE));
    EXPECT_EQ(due.left, 1);
    EXPECT_EQ(due.top, 1);
    EXPECT_EQ(due.right, 20);
    EXPECT_EQ(due.bottom, 12);
    UpdateWindow(window);
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(Erases(), 0u);  // nobody asked for an erase
    EXPECT_EQ(paints[0].rcPaint.right, 20);
    // One erasing invalidation is enough for the whole paint to erase.
    InvalidateRect(window, &a, FALSE);
    InvalidateRect(window, &b, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(Erases(), 1u);
}

TEST_F(PaintTest, ValidatedAndHiddenWindowsGetNoPaint) {
    PaintRedSquare();
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    UpdateWindow(window);
    paints.clear();
    InvalidateRect(window, nullptr, TRUE);
    ValidateRect(window, nullptr);
    UpdateWindow(window);
    EXPECT_TRUE(paints.empty());
    ShowWindow(window, SW_HIDE);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_TRUE(paints.empty());
    // Showing it again makes all of it due.
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    EXPECT_EQ(paints.size(), 1u);
}

TEST_F(PaintTest, RedrawSuspendedWindowsCollectNothing) {
    PaintRedSquare();
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    UpdateWindow(window);
    paints.clear();
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_TRUE(paints.empty());
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(paints.size(), 1u);
}

TEST_F(PaintTest, ResizingRepaintsAllForRedrawClassesAndTheNewPartOtherwise) {
    HWND redraw = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
    HWND keep = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr, 0, user_test::TestClassNoRedraw());
    UpdateWindow(redraw);
    UpdateWindow(keep);
    MoveWindow(redraw, 0, 0, 60, 30, TRUE);
    MoveWindow(keep, 0, 0, 60, 30, TRUE);
    RECT due;
    ASSERT_TRUE(GetUpdateRect(redraw, &due, FALSE));
    EXPECT_EQ(due.left, 0);
    ASSERT_TRUE(GetUpdateRect(keep, &due, FALSE));
    EXPECT_EQ(due.left, 40);
    EXPECT_EQ(due.right, 60);
}

TEST_F(PaintTest, GetDcDrawsOnTheBufferWithoutAPaint) {
    HWND window = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 20, 20);
    UpdateWindow(window);
    HDC hdc = GetDC(window);
    ASSERT_NE(hdc, nullptr);
    SetPixel(hdc, 5, 6, kBlue);
    EXPECT_EQ(ReleaseDC(window, hdc), 1);
    EXPECT_EQ(ReleaseDC(window, hdc), 0);  // released already
    EXPECT_EQ(PixelAt(*host::user::WindowBuffer(window), 5, 6), kBlue);
}

// A replaced Static procedure that paints the label itself, blue.
WNDPROC g_staticProc = nullptr;
LRESULT CALLBACK BlueStatic(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return CallWindowProcW(g_staticProc, hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH blue = CreateSolidBrush(kBlue);
    FillRect(hdc, &rc, blue);
    DeleteObject(blue);
    EndPaint(hwnd, &ps);
    return 0;
}

// A replaced procedure that leaves painting to the class.
LRESULT CALLBACK PassingStatic(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(g_staticProc, hwnd, msg, wParam, lParam);
}

TEST_F(PaintTest, ASubclassedStaticThatPaintsItselfIsPaintedThroughItsProcedure) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    HWND fader = CreateWindowExW(0, L"Static", L"never drawn", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, parent,
                                 reinterpret_cast<HMENU>(0xFFFF), nullptr, nullptr);
    HWND label = CreateWindowExW(0, L"Static", L"class draws me", WS_CHILD | WS_VISIBLE, 100, 10, 80, 20, parent,
                                 nullptr, nullptr, nullptr);
    g_staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(fader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BlueStatic)));
    SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassingStatic));

    const host::PixelBuffer screen = host::user::Grab(parent);
    ASSERT_EQ(screen.width, 200);
    EXPECT_EQ(PixelAt(screen, 10, 10), kBlue);
    EXPECT_EQ(PixelAt(screen, 59, 29), kBlue);
    EXPECT_NE(PixelAt(screen, 60, 30), kBlue);
    const host::PixelBuffer* own = host::user::WindowBuffer(fader);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(PixelAt(*own, 25, 10), kBlue);
    // The label whose procedure passes WM_PAINT on is painted by its class,
    // in the button face colour.
    const host::PixelBuffer* classDrawn = host::user::WindowBuffer(label);
    ASSERT_NE(classDrawn, nullptr);
    EXPECT_EQ(PixelAt(*classDrawn, 79, 19), kFace);
    EXPECT_EQ(PixelAt(screen, 179, 29), kFace);

    // Invalidating without erase repaints through the procedure again.
    HDC hdc = GetDC(fader);
    SetPixel(hdc, 0, 0, kRed);
    ReleaseDC(fader, hdc);
    InvalidateRect(fader, nullptr, FALSE);
    UpdateWindow(fader);
    EXPECT_EQ(PixelAt(*host::user::WindowBuffer(fader), 0, 0), kBlue);
}

TEST_F(PaintTest, TheStaticClassDrawsItsTextOnAGivenDc) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    HWND label = CreateWindowExW(0, L"Static", L"WWWW", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 60, 20, parent,
                                 nullptr, nullptr, nullptr);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 60, 20);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(label, WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
    // Background in the button face, text in the window text colour.
    EXPECT_EQ(GetPixel(memory, 59, 19), kFace);
    bool inked = false;
    for (int x = 0; x < 40 && !inked; ++x) {
        for (int y = 0; y < 20 && !inked; ++y) inked = GetPixel(memory, x, y) != kFace;
    }
    EXPECT_TRUE(inked);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST_F(PaintTest, GrabShowsChildWindowsWithTheirEdges) {
    HWND parent = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 100, 60);
    PaintRedSquare();
    CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, user_test::TestClass(), L"", WS_CHILD | WS_VISIBLE, 10, 10,
                    30, 30, parent, nullptr, nullptr, nullptr);
    const host::PixelBuffer screen = host::user::Grab(parent);
    ASSERT_EQ(screen.width, 100);
    // Static edge, then the client edge's two lines; the client starts 3 in.
    EXPECT_EQ(PixelAt(screen, 10, 10), RGB(160, 160, 160));
    EXPECT_EQ(PixelAt(screen, 11, 11), RGB(160, 160, 160));
    EXPECT_EQ(PixelAt(screen, 12, 12), RGB(105, 105, 105));
    EXPECT_EQ(PixelAt(screen, 15, 15), kRed);  // the child's (2, 2)
    EXPECT_EQ(PixelAt(screen, 0, 0), kFace);
    EXPECT_TRUE(host::user::SavePng(screen, ::testing::TempDir() + "/grab.png"));
    host::PixelBuffer loaded;
    ASSERT_TRUE(host::user::LoadPng(::testing::TempDir() + "/grab.png", &loaded));
    EXPECT_EQ(loaded.pixels, screen.pixels);
    EXPECT_FALSE(host::user::LoadPng(::testing::TempDir() + "/no-such.png", &loaded));
}

}  // namespace
