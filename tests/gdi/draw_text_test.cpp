// DrawTextW: placement in the rectangle (compared pixel for pixel with
// TextOutW at the place the layout rules give), line breaking, prefixes,
// clipping and DT_CALCRECT.

#include "gdi/gdi_test_support.h"

#include <climits>
#include <cwchar>

namespace {

using gdi_test::Canvas;
using gdi_test::Selected;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

HFONT TestFont() {
    return CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, L"Arial");
}

class DrawTextTest : public gdi_test::NoLeaks {
protected:
    void SetUp() override {
        NoLeaks::SetUp();
        for (Canvas* c : {&drawn_, &expected_}) {
            fonts_.push_back(SelectObject(c->dc(), TestFont()));
            SetBkMode(c->dc(), TRANSPARENT);
        }
    }
    void TearDown() override {
        DeleteObject(SelectObject(drawn_.dc(), fonts_[0]));
        DeleteObject(SelectObject(expected_.dc(), fonts_[1]));
        NoLeaks::TearDown();
    }
    SIZE Extent(const wchar_t* text) {
        SIZE size{};
        GetTextExtentPoint32W(expected_.dc(), text, static_cast<int>(wcslen(text)), &size);
        return size;
    }

    Canvas drawn_{120, 60};
    Canvas expected_{120, 60};
    std::vector<HGDIOBJ> fonts_;
};

TEST_F(DrawTextTest, CentredSingleLineSitsInTheMiddleOfTheRectangle) {
    RECT r{10, 0, 110, 40};
    const int height = DrawTextW(drawn_.dc(), L"Hello", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const SIZE size = Extent(L"Hello");
    const int x = (10 + 110 - size.cx) / 2, y = 40 / 2 - size.cy / 2;
    TextOutW(expected_.dc(), x, y, L"Hello", 5);
    EXPECT_EQ(drawn_.Picture(kBlack), expected_.Picture(kBlack));
    EXPECT_EQ(height, y + size.cy);  // measured from the rectangle's top
    EXPECT_GT(drawn_.Count(kBlack), 0);
}

TEST_F(DrawTextTest, RightAlignedTextEndsAtTheRightEdge) {
    RECT r{0, 5, 100, 50};
    const int height = DrawTextW(drawn_.dc(), L"42.5 MB", -1, &r, DT_RIGHT);
    const SIZE size = Extent(L"42.5 MB");
    TextOutW(expected_.dc(), 100 - size.cx, 5, L"42.5 MB", 7);
    EXPECT_EQ(drawn_.Picture(kBlack), expected_.Picture(kBlack));
    EXPECT_EQ(height, size.cy);
    // Bottom alignment applies to single lines.
    RECT bottom{0, 0, 100, 50};
    Canvas other(120, 60);
    Selected font(other.dc(), TestFont());
    SetBkMode(other.dc(), TRANSPARENT);
    DrawTextW(other.dc(), L"x", 1, &bottom, DT_BOTTOM | DT_SINGLELINE);
    EXPECT_LE(other.InkBounds(kWhite).bottom, 50);
    EXPECT_GT(other.InkBounds(kWhite).top, 30);
}

TEST_F(DrawTextTest, CalcRectMeasuresWithoutDrawing) {
    RECT r{5, 5, 6, 6};
    const int height = DrawTextW(drawn_.dc(), L"Measure me", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    const SIZE size = Extent(L"Measure me");
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right, 5 + size.cx);
    EXPECT_EQ(r.bottom, 5 + size.cy);
    EXPECT_EQ(height, size.cy);
    EXPECT_EQ(drawn_.Count(kBlack), 0);
    RECT empty{5, 5, 50, 50};
    EXPECT_EQ(DrawTextW(drawn_.dc(), L"", -1, &empty, DT_CALCRECT), size.cy);
    EXPECT_EQ(empty.right, 5);
    EXPECT_EQ(empty.bottom, 5);
}

TEST_F(DrawTextTest, LinesBreakAtLineEndsAndBetweenWords) {
    const SIZE line = Extent(L"x");
    RECT r{0, 0, 120, 60};
    EXPECT_EQ(DrawTextW(drawn_.dc(), L"one\r\ntwo\nthree", -1, &r, DT_CALCRECT), 3 * line.cy);
    EXPECT_EQ(r.right, Extent(L"three").cx);
    const SIZE two = Extent(L"aaa bbb");
    RECT narrow{0, 0, two.cx + 2, 60};
    EXPECT_EQ(DrawTextW(drawn_.dc(), L"aaa bbb ccc", -1, &narrow, DT_CALCRECT | DT_WORDBREAK), 2 * line.cy);
    EXPECT_EQ(narrow.right, two.cx);
    // A single line ignores both line ends and word breaks.
    RECT single{0, 0, 10, 60};
    EXPECT_EQ(DrawTextW(drawn_.dc(), L"aaa bbb\nccc", -1, &single, DT_CALCRECT | DT_SINGLELINE | DT_WORDBREAK),
              line.cy);
    // Drawn, the second line starts one line height down at the left edge.
    RECT box{0, 0, two.cx + 2, 60};
    DrawTextW(drawn_.dc(), L"aaa bbb ccc", -1, &box, DT_WORDBREAK);
    TextOutW(expected_.dc(), 0, 0, L"aaa bbb", 7);
    TextOutW(expected_.dc(), 0, line.cy, L"ccc", 3);
    EXPECT_EQ(drawn_.Picture(kBlack), expected_.Picture(kBlack));
}

TEST_F(DrawTextTest, PrefixesUnderlineAndDoubleAmpersandsShowOne) {
    RECT r{0, 0, 120, 60};
    DrawTextW(drawn_.dc(), L"A&&B", -1, &r, DT_SINGLELINE);
    TextOutW(expected_.dc(), 0, 0, L"A&B", 3);
    EXPECT_EQ(drawn_.Picture(kBlack), expected_.Picture(kBlack));

    drawn_.Fill(kWhite);
    expected_.Fill(kWhite);
    DrawTextW(drawn_.dc(), L"&File", -1, &r, DT_SINGLELINE);
    TextOutW(expected_.dc(), 0, 0, L"File", 4);
    TEXTMETRICW tm{};
    GetTextMetricsW(expected_.dc(), &tm);
    const SIZE f = Extent(L"F");
    // The underline: one row, one pixel under the baseline, as wide as the F less a pixel.
    const RECT under{0, tm.tmAscent + 1, f.cx - 1, tm.tmAscent + 2};
    FillRect(expected_.dc(), &under, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(drawn_.Picture(kBlack), expected_.Picture(kBlack));

    drawn_.Fill(kWhite);
    expected_.Fill(kWhite);
    DrawTextW(drawn_.dc(), L"&File", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    TextOutW(expected_.dc(), 0, 0, L"&File", 5);
    EXPECT_EQ(drawn_.Picture(kBlack), expected_.Picture(kBlack));
}

TEST_F(DrawTextTest, TextIsClippedToTheRectangleUnlessNoClip) {
    RECT r{10, 10, 30, 14};
    DrawTextW(drawn_.dc(), L"WWWWWWWW", -1, &r, DT_SINGLELINE);
    const RECT clipped = drawn_.InkBounds(kWhite);
    EXPECT_GE(clipped.left, 10);
    EXPECT_LE(clipped.right, 30);
    EXPECT_LE(clipped.bottom, 14);
    drawn_.Fill(kWhite);
    DrawTextW(drawn_.dc(), L"WWWWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(drawn_.InkBounds(kWhite).right, 30);
}

TEST_F(DrawTextTest, TabsExpandToEightAverageWidths) {
    TEXTMETRICW tm{};
    GetTextMetricsW(expected_.dc(), &tm);
    RECT r{0, 0, 120, 60};
    DrawTextW(drawn_.dc(), L"a\tb", -1, &r, DT_EXPANDTABS | DT_SINGLELINE);
    TextOutW(expected_.dc(), 0, 0, L"a", 1);
    TextOutW(expected_.dc(), 8 * tm.tmAveCharWidth, 0, L"b", 1);
    EXPECT_EQ(drawn_.Picture(kBlack), expected_.Picture(kBlack));
}

TEST_F(DrawTextTest, BadArgumentsDrawNothing) {
    RECT far{INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX};
    EXPECT_GT(DrawTextW(drawn_.dc(), L"far\naway", -1, &far, DT_CENTER | DT_WORDBREAK), 0);
    RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_GT(DrawTextW(drawn_.dc(), L"x", -1, &huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_CALCRECT), 0);
    EXPECT_TRUE(DrawIcon(drawn_.dc(), INT_MAX, INT_MIN, LoadIconW(nullptr, IDI_APPLICATION)));
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawTextW(nullptr, L"x", 1, &r, 0), 0);
    EXPECT_EQ(DrawTextW(drawn_.dc(), nullptr, 1, &r, 0), 0);
    EXPECT_EQ(DrawTextW(drawn_.dc(), L"x", 1, nullptr, 0), 0);
    EXPECT_EQ(drawn_.Count(kBlack), 0);
}

}  // namespace
