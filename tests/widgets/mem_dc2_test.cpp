#include "widgets/mem_dc2.h"

#include <gtest/gtest.h>

#include "host/gdi.h"
#include "host/scripted_machine.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A 200 × 50 memory context filled with white, standing in for a window's
// paint context.
class MemDcTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::SetActiveMachine(&machine);
        ASSERT_TRUE(target.CreateCompatibleDC(nullptr));
        CDC screen;
        screen.Attach(::GetDC(nullptr));
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 200, 50));
        ::ReleaseDC(nullptr, screen.Detach());
        target.SelectObject(&bitmap);
        target.FillSolidRect(0, 0, 200, 50, kWhite);
    }
    void TearDown() override { host::SetActiveMachine(nullptr); }

    host::ScriptedMachine machine;
    CBitmap bitmap;
    CDC target;
};

TEST_F(MemDcTest, TextModeSurfaceCopiesBackExactlyItsRectangle) {
    target.SetBkColor(RGB(0, 0, 255));
    const RECT rect = {0, 0, 100, 20};
    {
        CMemDC2 surface(&target, &rect);
        ASSERT_TRUE(surface.m_bMemDC);
        BITMAP info{};
        ASSERT_NE(surface.m_bitmap.GetBitmap(&info), 0);
        EXPECT_EQ(info.bmWidth, 100);
        EXPECT_EQ(info.bmHeight, 20);
        EXPECT_EQ(surface.GetWindowOrg(), CPoint(0, 0));
        EXPECT_EQ(surface.GetMapMode(), MM_TEXT);
        // Filled with the target's background colour; the target is untouched so far.
        EXPECT_EQ(surface.GetPixel(99, 19), RGB(0, 0, 255));
        EXPECT_EQ(target.GetPixel(0, 0), kWhite);
        surface.FillSolidRect(10, 5, 20, 10, kRed);
    }
    EXPECT_EQ(target.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(target.GetPixel(99, 19), RGB(0, 0, 255));
    EXPECT_EQ(target.GetPixel(10, 5), kRed);
    EXPECT_EQ(target.GetPixel(29, 14), kRed);
    EXPECT_EQ(target.GetPixel(100, 0), kWhite);  // outside the rectangle
    EXPECT_EQ(target.GetPixel(0, 20), kWhite);
}

TEST_F(MemDcTest, OffsetRectangleKeepsTheTargetsCoordinates) {
    const RECT rect = {50, 10, 80, 30};
    {
        CMemDC2 surface(&target, &rect);
        EXPECT_EQ(surface.GetWindowOrg(), CPoint(50, 10));
        surface.FillSolidRect(50, 10, 1, 1, kRed);  // the rectangle's first pixel
    }
    EXPECT_EQ(target.GetPixel(50, 10), kRed);
    EXPECT_EQ(target.GetPixel(49, 10), kWhite);
    EXPECT_EQ(target.GetPixel(80, 30), kWhite);
}

TEST_F(MemDcTest, PrintingContextIsDrawnOnDirectlyAndLeftIntact) {
    target.m_bPrinting = TRUE;
    const std::size_t before = host::gdi::LiveObjectCount();
    const RECT rect = {0, 0, 40, 10};
    {
        CMemDC2 surface(&target, &rect);
        EXPECT_FALSE(surface.m_bMemDC);
        EXPECT_EQ(surface.GetSafeHdc(), target.GetSafeHdc());
        EXPECT_EQ(surface.m_bitmap.GetSafeHandle(), nullptr);
        EXPECT_EQ(host::gdi::LiveObjectCount(), before);
        surface.FillSolidRect(5, 5, 1, 1, kRed);
        EXPECT_EQ(target.GetPixel(5, 5), kRed);  // at once, not on destruction
    }
    target.m_bPrinting = FALSE;
    EXPECT_EQ(target.SetPixel(1, 1, kRed), kRed);  // the printer's context still works
    EXPECT_EQ(host::gdi::LiveObjectCount(), before);
}

TEST_F(MemDcTest, WithoutARectangleTheClipBoxIsCovered) {
    CMemDC2 surface(&target);
    EXPECT_EQ(surface.m_rect.right - surface.m_rect.left, 200);
    EXPECT_EQ(surface.m_rect.bottom - surface.m_rect.top, 50);
}

}  // namespace
