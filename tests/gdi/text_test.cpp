// TextOutW placement under every alignment, checked by the ink's bounding
// box against the font's metrics; fonts by LOGFONT; rotated text.

#include "gdi/gdi_test_support.h"

#include <set>

namespace {

using gdi_test::Canvas;
using gdi_test::Selected;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kGreen = RGB(0, 255, 0);

// The chart's label font: 14-pixel cell, Courier New, drawn without
// antialiasing so that ink edges are exact.
HFONT LabelFont(int escapement = 0, DWORD quality = NONANTIALIASED_QUALITY) {
    return CreateFontW(14, 0, escapement, 0, 300, FALSE, FALSE, FALSE, 0, 0, 0, quality, FF_SWISS, L"Courier New");
}

class TextTest : public gdi_test::NoLeaks {
protected:
    // Draws "H" (no descender, flat top and bottom) with the given alignment.
    RECT InkOfH(UINT align, int x, int y, TEXTMETRICW* tm, SIZE* extent) {
        Canvas canvas(120, 80);
        Selected font(canvas.dc(), LabelFont());
        SetBkMode(canvas.dc(), TRANSPARENT);
        SetTextAlign(canvas.dc(), align);
        EXPECT_TRUE(GetTextMetricsW(canvas.dc(), tm));
        EXPECT_TRUE(GetTextExtentPoint32W(canvas.dc(), L"H", 1, extent));
        EXPECT_TRUE(TextOutW(canvas.dc(), x, y, L"H", 1));
        return canvas.InkBounds(kWhite);
    }
};

TEST_F(TextTest, CellHeightFontHasTheRequestedCellAndConsistentMetrics) {
    Canvas canvas(10, 10);
    Selected font(canvas.dc(), LabelFont());
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_NEAR(tm.tmHeight, 14, 1);
    EXPECT_GT(tm.tmDescent, 0);
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);  // clear: a fixed-pitch face
    EXPECT_EQ(tm.tmWeight, 300);
    SIZE one{}, four{}, narrow{};
    GetTextExtentPoint32W(canvas.dc(), L"M", 1, &one);
    GetTextExtentPoint32W(canvas.dc(), L"MMMM", 4, &four);
    GetTextExtentPoint32W(canvas.dc(), L"iiii", 4, &narrow);
    EXPECT_EQ(four.cx, 4 * one.cx);
    EXPECT_EQ(narrow.cx, four.cx);
    EXPECT_EQ(one.cy, tm.tmHeight);
}

TEST_F(TextTest, EmHeightFontsExcludeTheInternalLeading) {
    Canvas canvas(10, 10);
    Selected font(canvas.dc(), CreateFontW(-20, 0, 0, 0, FW_BOLD, TRUE, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &tm));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_NE(tm.tmItalic, 0);
    EXPECT_NE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);  // set: a proportional face
    SIZE wide{}, narrow{};
    GetTextExtentPoint32W(canvas.dc(), L"WWW", 3, &wide);
    GetTextExtentPoint32W(canvas.dc(), L"iii", 3, &narrow);
    EXPECT_GT(wide.cx, narrow.cx);
}

TEST_F(TextTest, TopLeftAlignmentPutsTheCellAtThePoint) {
    TEXTMETRICW tm{};
    SIZE extent{};
    const RECT ink = InkOfH(TA_LEFT | TA_TOP, 40, 20, &tm, &extent);
    EXPECT_GE(ink.left, 40);
    EXPECT_LE(ink.left, 40 + extent.cx / 3);
    EXPECT_EQ(ink.bottom, 20 + tm.tmAscent);  // "H" stands on the baseline
    EXPECT_GE(ink.top, 20 + tm.tmInternalLeading);
}

TEST_F(TextTest, RightAlignedLabelsEndAtThePointOnEachVerticalAnchor) {
    TEXTMETRICW tm{};
    SIZE extent{};
    const RECT top = InkOfH(TA_RIGHT | TA_TOP, 60, 20, &tm, &extent);
    EXPECT_LE(top.right, 60);
    EXPECT_GE(top.right, 60 - extent.cx / 3);
    EXPECT_EQ(top.bottom, 20 + tm.tmAscent);

    const RECT bottom = InkOfH(TA_RIGHT | TA_BOTTOM, 60, 50, &tm, &extent);
    EXPECT_EQ(bottom.right, top.right);
    EXPECT_EQ(bottom.bottom, 50 - tm.tmDescent);
    EXPECT_EQ(bottom.bottom - bottom.top, top.bottom - top.top);

    const RECT baseline = InkOfH(TA_RIGHT | TA_BASELINE, 60, 50, &tm, &extent);
    EXPECT_EQ(baseline.right, top.right);
    EXPECT_EQ(baseline.bottom, 50);
}

TEST_F(TextTest, CentredTextSitsAroundThePoint) {
    TEXTMETRICW tm{};
    SIZE extent{};
    const RECT left = InkOfH(TA_LEFT | TA_TOP, 60, 20, &tm, &extent);
    const RECT top = InkOfH(TA_CENTER | TA_TOP, 60, 20, &tm, &extent);
    EXPECT_EQ(top.left, left.left - extent.cx / 2);
    EXPECT_EQ(top.bottom, 20 + tm.tmAscent);
    const RECT baseline = InkOfH(TA_CENTER | TA_BASELINE, 60, 40, &tm, &extent);
    EXPECT_EQ(baseline.left, top.left);
    EXPECT_EQ(baseline.bottom, 40);
}

TEST_F(TextTest, EscapementNineHundredWritesUpward) {
    Canvas word(60, 120), first(60, 120);
    for (Canvas* c : {&word, &first}) {
        SelectObject(c->dc(), LabelFont(900));
        SetBkMode(c->dc(), TRANSPARENT);
        SetTextAlign(c->dc(), TA_LEFT | TA_BASELINE);
    }
    EXPECT_TRUE(TextOutW(word.dc(), 30, 100, L"ABCDEF", 6));
    EXPECT_TRUE(TextOutW(first.dc(), 30, 100, L"A", 1));
    const RECT all = word.InkBounds(kWhite), a = first.InkBounds(kWhite);
    EXPECT_GT(all.bottom - all.top, 3 * (all.right - all.left));  // much taller than wide
    EXPECT_LE(all.bottom, 101);                                    // it starts at the point...
    EXPECT_LT(all.top, 60);                                        // ...and climbs
    EXPECT_GE(a.top, all.top + (all.bottom - all.top) / 2);        // the first letter is at the bottom
    EXPECT_LE(all.right, 30 + 1);  // glyph tops face left: the baseline is the ink's right edge
    for (Canvas* c : {&word, &first}) DeleteObject(SelectObject(c->dc(), GetStockObject(SYSTEM_FONT)));
}

TEST_F(TextTest, RotatedCaptionCentresOnItsPoint) {
    Canvas canvas(40, 140);
    Selected font(canvas.dc(), LabelFont(900));
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetTextAlign(canvas.dc(), TA_CENTER | TA_BASELINE);
    TEXTMETRICW tm{};
    GetTextMetricsW(canvas.dc(), &tm);
    EXPECT_TRUE(TextOutW(canvas.dc(), 20, 70, L"MEMORY", 6));
    const RECT ink = canvas.InkBounds(kWhite);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 70.0, 3.0);
    EXPECT_GE(ink.left, 20 - tm.tmAscent);
    EXPECT_LE(ink.right, 20 + 1);
}

TEST_F(TextTest, OpaqueModeFillsTheCellAndTransparentModeDoesNot) {
    Canvas opaque(80, 30), transparent(80, 30);
    for (Canvas* c : {&opaque, &transparent}) {
        SelectObject(c->dc(), LabelFont());
        SetBkColor(c->dc(), kGreen);
    }
    SetBkMode(transparent.dc(), TRANSPARENT);
    SIZE extent{};
    GetTextExtentPoint32W(opaque.dc(), L"ab", 2, &extent);
    TextOutW(opaque.dc(), 10, 5, L"ab", 2);
    TextOutW(transparent.dc(), 10, 5, L"ab", 2);
    const RECT cell = opaque.InkBounds(kWhite);
    EXPECT_EQ(cell.left, 10);
    EXPECT_EQ(cell.top, 5);
    EXPECT_EQ(cell.right, 10 + extent.cx);
    EXPECT_EQ(cell.bottom, 5 + extent.cy);
    EXPECT_EQ(opaque.Count(kGreen) + opaque.Count(kBlack), extent.cx * extent.cy);
    EXPECT_EQ(transparent.Count(kGreen), 0);
    EXPECT_EQ(transparent.Count(kBlack), opaque.Count(kBlack));
    for (Canvas* c : {&opaque, &transparent}) DeleteObject(SelectObject(c->dc(), GetStockObject(SYSTEM_FONT)));
}

TEST_F(TextTest, NonAntialiasedTextHasOnlyTheTextColour) {
    Canvas sharp(60, 20), smooth(60, 20);
    Selected sharpFont(sharp.dc(), LabelFont());
    Selected smoothFont(smooth.dc(), LabelFont(0, ANTIALIASED_QUALITY));
    for (Canvas* c : {&sharp, &smooth}) {
        SetBkMode(c->dc(), TRANSPARENT);
        TextOutW(c->dc(), 2, 2, L"Wave", 4);
    }
    auto colours = [](const Canvas& c) {
        std::set<COLORREF> seen;
        for (int y = 0; y < c.height(); ++y) {
            for (int x = 0; x < c.width(); ++x) seen.insert(c.At(x, y));
        }
        return seen;
    };
    EXPECT_EQ(colours(sharp), (std::set<COLORREF>{kBlack, kWhite}));
    EXPECT_GT(colours(smooth).size(), 2u);
}

TEST_F(TextTest, UpdateCpMovesTheCurrentPositionByTheText) {
    Canvas canvas(80, 20);
    Selected font(canvas.dc(), LabelFont());
    SetBkColor(canvas.dc(), kGreen);  // the opaque cell shows where the text went
    SetTextAlign(canvas.dc(), TA_UPDATECP);
    MoveToEx(canvas.dc(), 5, 3, nullptr);
    SIZE extent{};
    GetTextExtentPoint32W(canvas.dc(), L"ab", 2, &extent);
    EXPECT_TRUE(TextOutW(canvas.dc(), 999, 999, L"ab", 2));  // the position is used, not (x, y)
    POINT at{};
    GetCurrentPositionEx(canvas.dc(), &at);
    EXPECT_EQ(at.x, 5 + extent.cx);
    EXPECT_EQ(at.y, 3);
    EXPECT_EQ(canvas.InkBounds(kWhite).left, 5);
    SetTextAlign(canvas.dc(), TA_UPDATECP | TA_RIGHT);
    TextOutW(canvas.dc(), 0, 0, L"ab", 2);
    GetCurrentPositionEx(canvas.dc(), &at);
    EXPECT_EQ(at.x, 5);
}

TEST_F(TextTest, FaceNamesAndResolvedFonts) {
    Canvas canvas(4, 4);
    Selected font(canvas.dc(), LabelFont());
    WCHAR name[LF_FACESIZE] = {};
    EXPECT_EQ(GetTextFaceW(canvas.dc(), 0, nullptr), 12);
    EXPECT_EQ(GetTextFaceW(canvas.dc(), LF_FACESIZE, name), 12);
    EXPECT_STREQ(name, L"Courier New");
    EXPECT_EQ(GetTextFaceW(canvas.dc(), 4, name), 4);
    EXPECT_STREQ(name, L"Cou");
    EXPECT_EQ(GetTextFaceW(canvas.dc(), 0, name), 0);

    host::gdi::ResolvedFont resolved;
    HFONT dialog = CreateFontW(-11, 0, 0, 0, FW_BOLD, TRUE, TRUE, 0, 0, 0, 0, 0, 0, L"MS Shell Dlg");
    ASSERT_TRUE(host::gdi::ResolveFont(dialog, &resolved));
    EXPECT_EQ(resolved.family, L"Liberation Sans");
    EXPECT_EQ(resolved.pixelSize, 11);
    EXPECT_EQ(resolved.weight, FW_BOLD);
    EXPECT_TRUE(resolved.italic);
    EXPECT_TRUE(resolved.underline);
    ASSERT_TRUE(host::gdi::ResolveFont(static_cast<HFONT>(GetCurrentObject(canvas.dc(), OBJ_FONT)), &resolved));
    EXPECT_EQ(resolved.family, L"Liberation Mono");
    EXPECT_FALSE(resolved.antialiased);
    DeleteObject(dialog);
    EXPECT_FALSE(host::gdi::ResolveFont(dialog, &resolved));
    EXPECT_FALSE(host::gdi::ResolveFont(reinterpret_cast<HFONT>(canvas.dc()), &resolved));
}

TEST_F(TextTest, TextCallsRefuseBadArguments) {
    Canvas canvas(4, 4);
    SIZE size{};
    SetLastError(0);
    EXPECT_FALSE(TextOutW(canvas.dc(), 0, 0, L"x", -1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(TextOutW(canvas.dc(), 0, 0, nullptr, 3));
    EXPECT_TRUE(TextOutW(canvas.dc(), 0, 0, nullptr, 0));
    EXPECT_FALSE(TextOutW(nullptr, 0, 0, L"x", 1));
    EXPECT_FALSE(GetTextExtentPoint32W(canvas.dc(), L"x", 1, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32W(canvas.dc(), L"x", -2, &size));
    EXPECT_FALSE(GetTextMetricsW(canvas.dc(), nullptr));
    EXPECT_EQ(GetTextFaceW(nullptr, 0, nullptr), 0);
    EXPECT_TRUE(GetTextExtentPoint32W(canvas.dc(), L"", 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    EXPECT_EQ(canvas.Count(kBlack), 0);
}

}  // namespace
