// CStringArray, and CPoint, CSize and CRect arithmetic.

#include <gtest/gtest.h>

#include <afxwin.h>

namespace {

template <class Action>
bool ThrowsInvalidArg(Action action) {
    try {
        action();
    } catch (CInvalidArgException* e) {
        e->Delete();
        return true;
    }
    return false;
}

std::vector<std::wstring> Items(const CStringArray& array) {
    std::vector<std::wstring> items;
    for (INT_PTR i = 0; i < array.GetSize(); ++i) items.emplace_back(array[i].GetString());
    return items;
}

TEST(CStringArray, AddAndIndex) {
    CStringArray array;
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(array.Add(L"a"), 0);
    EXPECT_EQ(array.Add(CString(L"b")), 1);
    EXPECT_EQ(array.GetCount(), 2);
    EXPECT_EQ(array.GetUpperBound(), 1);
    array[1] = L"B";
    array.SetAt(0, L"A");
    array.ElementAt(0) += L"!";
    EXPECT_EQ(Items(array), (std::vector<std::wstring>{L"A!", L"B"}));
    EXPECT_TRUE(ThrowsInvalidArg([&] { array.GetAt(2); }));
    EXPECT_TRUE(ThrowsInvalidArg([&] { array.SetAt(-1, L"x"); }));
}

TEST(CStringArray, InsertAndRemove) {
    CStringArray array;
    array.InsertAt(2, L"c");  // past the end: grows with empty strings
    EXPECT_EQ(Items(array), (std::vector<std::wstring>{L"", L"", L"c"}));
    array.InsertAt(0, L"z", 2);
    EXPECT_EQ(Items(array), (std::vector<std::wstring>{L"z", L"z", L"", L"", L"c"}));
    array.RemoveAt(1, 3);
    EXPECT_EQ(Items(array), (std::vector<std::wstring>{L"z", L"c"}));
    EXPECT_TRUE(ThrowsInvalidArg([&] { array.RemoveAt(1, 2); }));
    EXPECT_TRUE(ThrowsInvalidArg([&] { array.InsertAt(0, L"x", 0); }));
    array.InsertAt(1, &array);  // inserting an array into itself
    EXPECT_EQ(Items(array), (std::vector<std::wstring>{L"z", L"z", L"c", L"c"}));
    EXPECT_EQ(array.Append(array), 4);
    EXPECT_EQ(array.GetSize(), 8);
    array.RemoveAll();
    EXPECT_TRUE(array.IsEmpty());
}

TEST(CStringArray, SizingAndCopying) {
    CStringArray array;
    array.SetSize(3);
    EXPECT_EQ(Items(array), (std::vector<std::wstring>{L"", L"", L""}));
    array.SetAtGrow(4, L"e");
    EXPECT_EQ(array.GetSize(), 5);
    array.SetSize(1);
    EXPECT_EQ(array.GetSize(), 1);
    EXPECT_TRUE(ThrowsInvalidArg([&] { array.SetSize(-1); }));
    CStringArray copy;
    copy.Add(L"old");
    copy.Copy(array);
    EXPECT_EQ(copy.GetSize(), 1);
    EXPECT_TRUE(copy[0].IsEmpty());
}

TEST(CRect, SizeAndCorners) {
    CRect rect(10, 20, 110, 70);
    EXPECT_EQ(rect.Width(), 100);
    EXPECT_EQ(rect.Height(), 50);
    EXPECT_EQ(rect.Size(), CSize(100, 50));
    EXPECT_EQ(rect.TopLeft(), CPoint(10, 20));
    EXPECT_EQ(rect.BottomRight(), CPoint(110, 70));
    EXPECT_EQ(rect.CenterPoint(), CPoint(60, 45));
    rect.TopLeft() = CPoint(0, 0);
    EXPECT_EQ(rect, CRect(0, 0, 110, 70));
    EXPECT_EQ(CRect(CPoint(1, 2), CSize(3, 4)), CRect(1, 2, 4, 6));
}

TEST(CRect, EmptyNullAndContainment) {
    EXPECT_TRUE(CRect().IsRectNull());
    EXPECT_TRUE(CRect().IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_FALSE(CRect(5, 5, 5, 9).IsRectNull());
    EXPECT_TRUE(CRect(9, 0, 5, 9).IsRectEmpty());
    const CRect rect(0, 0, 10, 10);
    EXPECT_TRUE(rect.PtInRect(CPoint(0, 0)));
    EXPECT_TRUE(rect.PtInRect(CPoint(9, 9)));
    EXPECT_FALSE(rect.PtInRect(CPoint(10, 5)));  // right and bottom are outside
    EXPECT_FALSE(rect.PtInRect(CPoint(5, 10)));
}

TEST(CRect, MovingGrowingAndNormalising) {
    CRect rect(0, 0, 10, 10);
    rect.OffsetRect(5, -5);
    EXPECT_EQ(rect, CRect(5, -5, 15, 5));
    rect.InflateRect(2, 3);
    EXPECT_EQ(rect, CRect(3, -8, 17, 8));
    rect.DeflateRect(1, 1, 2, 2);
    EXPECT_EQ(rect, CRect(4, -7, 15, 6));
    rect.MoveToXY(0, 0);
    EXPECT_EQ(rect, CRect(0, 0, 11, 13));
    CRect reversed(10, 20, 0, 5);
    reversed.NormalizeRect();
    EXPECT_EQ(reversed, CRect(0, 5, 10, 20));
    EXPECT_EQ(CRect(0, 0, 4, 4) + CPoint(1, 1), CRect(1, 1, 5, 5));
    EXPECT_EQ(CRect(1, 1, 5, 5) - CSize(1, 1), CRect(0, 0, 4, 4));
}

TEST(CRect, IntersectionAndUnionFollowWin32) {
    CRect result;
    EXPECT_TRUE(result.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 20, 20)));
    EXPECT_EQ(result, CRect(5, 5, 10, 10));
    // Rectangles that only touch do not intersect, and the result is all zero.
    EXPECT_FALSE(result.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_TRUE(result.IsRectNull());
    // An empty rectangle takes no part in a union.
    EXPECT_TRUE(result.UnionRect(CRect(0, 0, 0, 50), CRect(2, 2, 4, 4)));
    EXPECT_EQ(result, CRect(2, 2, 4, 4));
    EXPECT_EQ(CRect(0, 0, 2, 2) | CRect(5, 5, 6, 6), CRect(0, 0, 6, 6));
    EXPECT_EQ(CRect(0, 0, 4, 4) & CRect(2, 2, 6, 6), CRect(2, 2, 4, 4));
}

TEST(CPoint, ArithmeticAndPackedCoordinates) {
    CPoint point(3, 4);
    point += CSize(1, 1);
    EXPECT_EQ(point, CPoint(4, 5));
    EXPECT_EQ(point - CPoint(1, 2), CSize(3, 3));
    EXPECT_EQ(-point, CPoint(-4, -5));
    // Message coordinates are signed 16-bit halves.
    EXPECT_EQ(CPoint(MAKELPARAM(-5, 7)), CPoint(-5, 7));
    CSize size(2, 3);
    size -= CSize(1, 1);
    EXPECT_EQ(size, CSize(1, 2));
}

}  // namespace
