// The rectangle helpers: right and bottom edges lie outside a rectangle,
// and an empty rectangle has no area.

#include <gtest/gtest.h>

#include <windows.h>

namespace {

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST(RectTest, PointsOnTheRightAndBottomEdgesAreOutside) {
    const RECT r{0, 0, 10, 5};
    EXPECT_TRUE(PtInRect(&r, POINT{0, 0}));
    EXPECT_TRUE(PtInRect(&r, POINT{9, 4}));
    EXPECT_FALSE(PtInRect(&r, POINT{10, 4}));
    EXPECT_FALSE(PtInRect(&r, POINT{9, 5}));
    EXPECT_FALSE(PtInRect(&r, POINT{-1, 0}));
    EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
}

TEST(RectTest, EmptinessIsAboutArea) {
    RECT r{};
    EXPECT_TRUE(IsRectEmpty(&r));
    SetRect(&r, 5, 5, 5, 9);
    EXPECT_TRUE(IsRectEmpty(&r));
    SetRect(&r, 5, 5, 4, 9);
    EXPECT_TRUE(IsRectEmpty(&r));
    SetRect(&r, 5, 5, 6, 6);
    EXPECT_FALSE(IsRectEmpty(&r));
    EXPECT_TRUE(IsRectEmpty(nullptr));
    EXPECT_TRUE(SetRectEmpty(&r));
    EXPECT_TRUE(Same(r, RECT{0, 0, 0, 0}));
}

TEST(RectTest, IntersectionOfDisjointOrEmptyRectanglesIsEmpty) {
    const RECT a{0, 0, 10, 10}, b{5, 5, 15, 15}, touching{10, 0, 20, 10}, empty{2, 2, 2, 8};
    RECT out{1, 1, 1, 1};
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(Same(out, RECT{5, 5, 10, 10}));
    EXPECT_FALSE(IntersectRect(&out, &a, &touching));
    EXPECT_TRUE(Same(out, RECT{0, 0, 0, 0}));
    EXPECT_FALSE(IntersectRect(&out, &a, &empty));
    EXPECT_FALSE(IntersectRect(&out, &a, nullptr));
}

TEST(RectTest, UnionIgnoresEmptyRectangles) {
    const RECT a{0, 0, 4, 4}, b{10, 2, 12, 20}, empty{-50, -50, -50, 0};
    RECT out{};
    EXPECT_TRUE(UnionRect(&out, &a, &b));
    EXPECT_TRUE(Same(out, RECT{0, 0, 12, 20}));
    EXPECT_TRUE(UnionRect(&out, &empty, &b));
    EXPECT_TRUE(Same(out, b));
    EXPECT_TRUE(UnionRect(&out, &a, &empty));
    EXPECT_TRUE(Same(out, a));
    EXPECT_FALSE(UnionRect(&out, &empty, &empty));
    EXPECT_TRUE(Same(out, RECT{0, 0, 0, 0}));
}

TEST(RectTest, InflateOffsetAndCopyMoveEveryEdge) {
    RECT r{10, 20, 30, 40}, copy{};
    EXPECT_TRUE(InflateRect(&r, 2, -3));
    EXPECT_TRUE(Same(r, RECT{8, 23, 32, 37}));
    EXPECT_TRUE(OffsetRect(&r, -8, 7));
    EXPECT_TRUE(Same(r, RECT{0, 30, 24, 44}));
    EXPECT_TRUE(CopyRect(&copy, &r));
    EXPECT_TRUE(Same(copy, r));
    EXPECT_FALSE(CopyRect(nullptr, &r));
    EXPECT_FALSE(InflateRect(nullptr, 1, 1));
    EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
    EXPECT_FALSE(EqualRect(&r, nullptr));
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
}

}  // namespace
