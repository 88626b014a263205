// Pixel rules of rectangles, lines, polygons and single pixels, read back
// exactly.

#include "gdi/gdi_test_support.h"

#include <climits>

namespace {

using gdi_test::Canvas;
using gdi_test::Selected;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

class RasterTest : public gdi_test::NoLeaks {};

TEST_F(RasterTest, FillRectLeavesOutTheRightColumnAndBottomRow) {
    Canvas canvas(8, 6);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT r{1, 1, 5, 4};
    EXPECT_NE(FillRect(canvas.dc(), &r, black), 0);
    EXPECT_EQ(canvas.Picture(kBlack), (std::vector<std::string>{
                                          "........",
                                          ".####...",
                                          ".####...",
                                          ".####...",
                                          "........",
                                          "........",
                                      }));
}

TEST_F(RasterTest, FillRectWithAnEmptyOrBadArgumentDrawsNothing) {
    Canvas canvas(4, 4);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT empty{2, 2, 2, 4};
    EXPECT_NE(FillRect(canvas.dc(), &empty, black), 0);
    EXPECT_EQ(canvas.Count(kBlack), 0);
    SetLastError(0);
    EXPECT_EQ(FillRect(canvas.dc(), nullptr, black), 0);
    const RECT all{0, 0, 4, 4};
    EXPECT_EQ(FillRect(canvas.dc(), &all, reinterpret_cast<HBRUSH>(0x7654320)), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(FillRect(nullptr, &all, black), 0);
    EXPECT_EQ(canvas.Count(kBlack), 0);
}

TEST_F(RasterTest, FillRectTakesSystemColourIndexesFromTheProvider) {
    Canvas canvas(4, 4);
    const RECT all{0, 0, 4, 4};
    host::gdi::SetSysColorProvider(nullptr);
    EXPECT_EQ(FillRect(canvas.dc(), &all, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 0);
    host::gdi::SetSysColorProvider([](int index) { return index == COLOR_BTNFACE ? RGB(1, 2, 3) : kBlack; });
    EXPECT_NE(FillRect(canvas.dc(), &all, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 0);
    EXPECT_EQ(canvas.At(3, 3), RGB(1, 2, 3));
    host::gdi::SetSysColorProvider(nullptr);
}

TEST_F(RasterTest, FrameRectDrawsAOneUnitBorder) {
    Canvas canvas(6, 5);
    const RECT r{1, 1, 5, 4};
    EXPECT_NE(FrameRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(canvas.Picture(kBlack), (std::vector<std::string>{
                                          "......",
                                          ".####.",
                                          ".#..#.",
                                          ".####.",
                                          "......",
                                      }));
}

TEST_F(RasterTest, LineToLeavesOutItsEndPointAndMovesTheCurrentPosition) {
    Canvas canvas(8, 8);
    MoveToEx(canvas.dc(), 1, 2, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc(), 6, 2));  // horizontal
    MoveToEx(canvas.dc(), 7, 1, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc(), 7, 6));  // vertical
    MoveToEx(canvas.dc(), 0, 3, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc(), 4, 7));  // diagonal
    POINT at{};
    EXPECT_TRUE(GetCurrentPositionEx(canvas.dc(), &at));
    EXPECT_EQ(at.x, 4);
    EXPECT_EQ(at.y, 7);
    EXPECT_EQ(canvas.Picture(kBlack), (std::vector<std::string>{
                                          "........",
                                          ".......#",
                                          ".#####.#",
                                          "#......#",
                                          ".#.....#",
                                          "..#....#",
                                          "...#....",
                                          "........",
                                      }));
}

TEST_F(RasterTest, ShallowLinesStepLikeWin32AndCoverTheSamePixelsBothWays) {
    Canvas forward(7, 3), backward(7, 3);
    MoveToEx(forward.dc(), 0, 0, nullptr);
    LineTo(forward.dc(), 6, 2);
    EXPECT_EQ(forward.Picture(kBlack), (std::vector<std::string>{
                                           "##.....",
                                           "..###..",
                                           ".....#.",
                                       }));
    // A tie (y = x / 2 at x = 1) resolves to the same pixel in both directions.
    Canvas a(5, 3), b(5, 3);
    MoveToEx(a.dc(), 0, 0, nullptr);
    LineTo(a.dc(), 4, 2);
    MoveToEx(b.dc(), 4, 2, nullptr);
    LineTo(b.dc(), 0, 0);
    EXPECT_EQ(a.Picture(kBlack), (std::vector<std::string>{"##...", "..##.", "....."}));
    EXPECT_EQ(b.Picture(kBlack), (std::vector<std::string>{".#...", "..##.", "....#"}));
}

TEST_F(RasterTest, LinesAreClippedToTheBitmapAtAnyDistance) {
    Canvas canvas(8, 8);
    MoveToEx(canvas.dc(), -100, -50, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc(), 100, 50));
    EXPECT_EQ(canvas.At(0, 0), kBlack);
    EXPECT_EQ(canvas.At(4, 2), kBlack);
    EXPECT_EQ(canvas.At(6, 3), kBlack);
    EXPECT_EQ(canvas.Count(kBlack), 8);
    MoveToEx(canvas.dc(), INT_MIN, INT_MIN, nullptr);
    EXPECT_TRUE(LineTo(canvas.dc(), INT_MAX, INT_MAX));
    EXPECT_TRUE(LineTo(canvas.dc(), INT_MIN, INT_MAX));
}

TEST_F(RasterTest, DottedPenFillsItsGapsOnlyInOpaqueMode) {
    Canvas canvas(12, 2);
    Selected pen(canvas.dc(), CreatePen(PS_DOT, 0, kBlack));
    SetBkColor(canvas.dc(), kGreen);
    MoveToEx(canvas.dc(), 0, 0, nullptr);
    LineTo(canvas.dc(), 12, 0);
    SetBkMode(canvas.dc(), TRANSPARENT);
    MoveToEx(canvas.dc(), 0, 1, nullptr);
    LineTo(canvas.dc(), 12, 1);
    EXPECT_EQ(canvas.Picture(kBlack), (std::vector<std::string>{"###...###...", "###...###..."}));
    EXPECT_EQ(canvas.Picture(kGreen), (std::vector<std::string>{"...###...###", "............"}));
}

TEST_F(RasterTest, XorPenUndoesItselfAndNotPenInverts) {
    Canvas canvas(6, 3, RGB(0x12, 0x34, 0x56));
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, 1, RGB(0xFF, 0x0F, 0x00)));
    EXPECT_EQ(SetROP2(canvas.dc(), R2_XORPEN), R2_COPYPEN);
    MoveToEx(canvas.dc(), 0, 1, nullptr);
    LineTo(canvas.dc(), 6, 1);
    EXPECT_EQ(canvas.At(2, 1), RGB(0x12 ^ 0xFF, 0x34 ^ 0x0F, 0x56));
    MoveToEx(canvas.dc(), 0, 1, nullptr);
    LineTo(canvas.dc(), 6, 1);
    EXPECT_EQ(canvas.At(2, 1), RGB(0x12, 0x34, 0x56));
    SetROP2(canvas.dc(), R2_NOT);
    MoveToEx(canvas.dc(), 0, 0, nullptr);
    LineTo(canvas.dc(), 6, 0);
    EXPECT_EQ(canvas.At(0, 0), RGB(0xED, 0xCB, 0xA9));
    EXPECT_EQ(SetROP2(canvas.dc(), 0), 0);
    EXPECT_EQ(SetROP2(canvas.dc(), 17), 0);
}

TEST_F(RasterTest, WidePenHasRoundEnds) {
    Canvas canvas(24, 20);
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, 5, kBlack));
    MoveToEx(canvas.dc(), 5, 10, nullptr);
    LineTo(canvas.dc(), 15, 10);
    EXPECT_EQ(canvas.At(10, 8), kBlack);
    EXPECT_EQ(canvas.At(10, 12), kBlack);
    EXPECT_EQ(canvas.At(10, 7), kWhite);
    EXPECT_EQ(canvas.At(10, 13), kWhite);
    EXPECT_EQ(canvas.At(17, 10), kBlack);  // the round end reaches past the end point
    EXPECT_EQ(canvas.At(17, 8), kWhite);   // but not into the corner
    EXPECT_EQ(canvas.At(18, 10), kWhite);
}

// A five-pointed star drawn in one stroke crosses itself; its centre is
// outside by the alternate rule and inside by the winding rule.
const POINT kStar[] = {{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};

TEST_F(RasterTest, PolygonFillModesDecideTheHoleOfAStar) {
    Canvas alternate(21, 21), winding(21, 21);
    for (Canvas* c : {&alternate, &winding}) {
        SelectObject(c->dc(), GetStockObject(NULL_PEN));
        SelectObject(c->dc(), GetStockObject(BLACK_BRUSH));
    }
    EXPECT_EQ(SetPolyFillMode(winding.dc(), WINDING), ALTERNATE);
    EXPECT_TRUE(Polygon(alternate.dc(), kStar, 5));
    EXPECT_TRUE(Polygon(winding.dc(), kStar, 5));
    EXPECT_EQ(alternate.At(10, 11), kWhite);  // the hole
    EXPECT_EQ(winding.At(10, 11), kBlack);
    for (Canvas* c : {&alternate, &winding}) {
        EXPECT_EQ(c->At(10, 3), kBlack);  // the top point
        EXPECT_EQ(c->At(3, 8), kBlack);   // the left point
        EXPECT_EQ(c->At(10, 19), kWhite); // between the two lower points
    }
    EXPECT_GT(winding.Count(kBlack), alternate.Count(kBlack));
}

TEST_F(RasterTest, PolygonFillsPixelCentresAndOutlinesWithTheClosingEdge) {
    const POINT box[] = {{1, 1}, {6, 1}, {6, 5}, {1, 5}};
    Canvas filled(8, 7), outlined(8, 7), both(8, 7);
    SelectObject(filled.dc(), GetStockObject(NULL_PEN));
    {
        Selected brush(filled.dc(), CreateSolidBrush(kBlue));
        Polygon(filled.dc(), box, 4);
    }
    EXPECT_EQ(filled.Picture(kBlue), (std::vector<std::string>{
                                         "........",
                                         ".#####..",
                                         ".#####..",
                                         ".#####..",
                                         ".#####..",
                                         "........",
                                         "........",
                                     }));
    SelectObject(outlined.dc(), GetStockObject(NULL_BRUSH));
    Polygon(outlined.dc(), box, 4);
    EXPECT_EQ(outlined.Picture(kBlack), (std::vector<std::string>{
                                            "........",
                                            ".######.",
                                            ".#....#.",
                                            ".#....#.",
                                            ".#....#.",
                                            ".######.",
                                            "........",
                                        }));
    Selected pen(both.dc(), CreatePen(PS_SOLID, 0, kRed));
    Selected brush(both.dc(), CreateSolidBrush(kBlue));
    Polygon(both.dc(), box, 4);
    EXPECT_EQ(both.Picture(kRed), outlined.Picture(kBlack));
    EXPECT_EQ(both.Count(kBlue), 12);  // the interior the outline leaves
}

TEST_F(RasterTest, RectangleOutlinesInsideItsBoundsAndShrinksWithoutAPen) {
    Canvas framed(7, 6), bare(7, 6);
    Selected brush(framed.dc(), CreateSolidBrush(kBlue));
    EXPECT_TRUE(Rectangle(framed.dc(), 1, 1, 6, 5));
    EXPECT_EQ(framed.Picture(kBlack), (std::vector<std::string>{
                                          ".......",
                                          ".#####.",
                                          ".#...#.",
                                          ".#...#.",
                                          ".#####.",
                                          ".......",
                                      }));
    EXPECT_EQ(framed.Count(kBlue), 6);
    SelectObject(bare.dc(), GetStockObject(NULL_PEN));
    SelectObject(bare.dc(), GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(Rectangle(bare.dc(), 1, 1, 6, 5));
    EXPECT_EQ(bare.Picture(kBlack), (std::vector<std::string>{
                                        ".......",
                                        ".####..",
                                        ".####..",
                                        ".####..",
                                        ".......",
                                        ".......",
                                    }));
}

TEST_F(RasterTest, PolygonAndPolylineRefuseTooFewPoints) {
    Canvas canvas(4, 4);
    const POINT one[] = {{1, 1}};
    SetLastError(0);
    EXPECT_FALSE(Polygon(canvas.dc(), one, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(Polyline(canvas.dc(), one, 1));
    EXPECT_FALSE(Polygon(canvas.dc(), nullptr, 3));
    const POINT line[] = {{0, 0}, {3, 0}, {3, 3}};
    EXPECT_TRUE(Polyline(canvas.dc(), line, 3));
    EXPECT_EQ(canvas.At(3, 0), kBlack);  // a joint is drawn by the next segment
    EXPECT_EQ(canvas.At(3, 3), kWhite);  // the last end point is left out
}

TEST_F(RasterTest, SetPixelAnswersTheColourSetAndGetPixelReadsIt) {
    Canvas canvas(4, 4);
    EXPECT_EQ(SetPixel(canvas.dc(), 2, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(canvas.dc(), 2, 1), RGB(10, 20, 30));
    // PALETTERGB-style flags in the top byte do not reach the pixel.
    EXPECT_EQ(SetPixel(canvas.dc(), 0, 0, 0x02000000 | RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(SetPixel(canvas.dc(), 4, 0, kBlack), CLR_INVALID);
    EXPECT_EQ(SetPixel(canvas.dc(), -1, 0, kBlack), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.dc(), 0, 4), CLR_INVALID);
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
    EXPECT_EQ(canvas.Count(kBlack), 0);
}

}  // namespace
