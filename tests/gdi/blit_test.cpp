// Block transfers: raster operations, clipping to both bitmaps, and copies
// of a bitmap onto itself in every direction of overlap.

#include "gdi/gdi_test_support.h"

#include <climits>

namespace {

using gdi_test::Canvas;
using gdi_test::Selected;

constexpr COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// Column x of the canvas gets the colour RGB(10 * x + 5, y, 0).
void PaintGradient(Canvas& canvas) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) SetPixel(canvas.dc(), x, y, RGB(10 * x + 5, y, 0));
    }
}

class BlitTest : public gdi_test::NoLeaks {};

TEST_F(BlitTest, SrcCopyMovesABlockBetweenBitmaps) {
    Canvas source(8, 8, kRed), target(12, 12);
    SetPixel(source.dc(), 2, 3, kBlue);
    EXPECT_TRUE(BitBlt(target.dc(), 5, 5, 4, 4, source.dc(), 1, 1, SRCCOPY));
    EXPECT_EQ(target.At(6, 7), kBlue);
    EXPECT_EQ(target.At(5, 5), kRed);
    EXPECT_EQ(target.At(8, 8), kRed);
    EXPECT_EQ(target.At(9, 8), kWhite);
    EXPECT_EQ(target.At(4, 5), kWhite);
    EXPECT_EQ(target.Count(kRed) + target.Count(kBlue), 16);
}

TEST_F(BlitTest, RasterOperationsCombineSourceAndDestinationBitwise) {
    const COLORREF d = RGB(0x1C, 0x2A, 0x40), s = RGB(0x05, 0x0F, 0x44);
    struct Case {
        DWORD rop;
        COLORREF expected;
    } cases[] = {
        {SRCCOPY, s},
        {SRCPAINT, RGB(0x1C | 0x05, 0x2A | 0x0F, 0x40 | 0x44)},
        {SRCAND, RGB(0x1C & 0x05, 0x2A & 0x0F, 0x40 & 0x44)},
        {SRCINVERT, RGB(0x1C ^ 0x05, 0x2A ^ 0x0F, 0x40 ^ 0x44)},
        {NOTSRCCOPY, RGB(0xFA, 0xF0, 0xBB)},
        {SRCERASE, RGB(0x05 & 0xE3, 0x0F & 0xD5, 0x44 & 0xBF)},
        {BLACKNESS, RGB(0, 0, 0)},
        {WHITENESS, RGB(255, 255, 255)},
        {DSTINVERT, RGB(0xE3, 0xD5, 0xBF)},
    };
    for (const Case& c : cases) {
        Canvas source(2, 2, s), target(2, 2, d);
        EXPECT_TRUE(BitBlt(target.dc(), 0, 0, 2, 2, source.dc(), 0, 0, c.rop)) << std::hex << c.rop;
        EXPECT_EQ(target.At(1, 1), c.expected) << std::hex << c.rop;
    }
}

TEST_F(BlitTest, PatternOperationsUseTheSelectedBrush) {
    Canvas canvas(6, 6, RGB(0x0F, 0xF0, 0x33));
    {
        Selected brush(canvas.dc(), CreateSolidBrush(RGB(0xFF, 0x00, 0x11)));
        EXPECT_TRUE(PatBlt(canvas.dc(), 0, 0, 3, 3, PATCOPY));
        EXPECT_TRUE(PatBlt(canvas.dc(), 3, 3, 3, 3, PATINVERT));
        // Negative extents reach left of and above the origin.
        EXPECT_TRUE(PatBlt(canvas.dc(), 6, 3, -1, -3, PATCOPY));
    }
    EXPECT_EQ(canvas.At(2, 2), RGB(0xFF, 0x00, 0x11));
    EXPECT_EQ(canvas.At(3, 2), RGB(0x0F, 0xF0, 0x33));
    EXPECT_EQ(canvas.At(4, 4), RGB(0xF0, 0xF0, 0x22));
    EXPECT_EQ(canvas.At(5, 0), RGB(0xFF, 0x00, 0x11));
    EXPECT_EQ(canvas.At(5, 3), RGB(0xF0, 0xF0, 0x22));
    SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(PatBlt(canvas.dc(), 0, 0, 6, 6, PATCOPY));  // a hollow brush paints nothing
    EXPECT_EQ(canvas.At(2, 2), RGB(0xFF, 0x00, 0x11));
}

TEST_F(BlitTest, CopyOntoItselfShiftedLeftScrollsLikeAStripChart) {
    Canvas canvas(16, 3);
    PaintGradient(canvas);
    EXPECT_TRUE(BitBlt(canvas.dc(), 0, 0, 12, 3, canvas.dc(), 4, 0, SRCCOPY));
    for (int x = 0; x < 16; ++x) {
        const int from = x < 12 ? x + 4 : x;  // the last four columns stay as they were
        EXPECT_EQ(canvas.At(x, 1), RGB(10 * from + 5, 1, 0)) << "column " << x;
    }
}

TEST_F(BlitTest, OverlappingCopiesRightDownAndUpKeepTheSource) {
    Canvas right(16, 2), down(3, 10), up(3, 10);
    PaintGradient(right);
    EXPECT_TRUE(BitBlt(right.dc(), 4, 0, 12, 2, right.dc(), 0, 0, SRCCOPY));
    for (int x = 4; x < 16; ++x) EXPECT_EQ(right.At(x, 0), RGB(10 * (x - 4) + 5, 0, 0)) << "column " << x;

    PaintGradient(down);
    EXPECT_TRUE(BitBlt(down.dc(), 0, 3, 3, 7, down.dc(), 0, 0, SRCCOPY));
    for (int y = 3; y < 10; ++y) EXPECT_EQ(down.At(1, y), RGB(15, y - 3, 0)) << "row " << y;

    PaintGradient(up);
    EXPECT_TRUE(BitBlt(up.dc(), 0, 0, 3, 7, up.dc(), 0, 3, SRCPAINT));
    for (int y = 0; y < 7; ++y) EXPECT_EQ(up.At(1, y), RGB(15, y | (y + 3), 0)) << "row " << y;

    // Moving right within one row with an operation that reads the destination.
    Canvas row(10, 1);
    PaintGradient(row);
    EXPECT_TRUE(BitBlt(row.dc(), 2, 0, 8, 1, row.dc(), 0, 0, SRCINVERT));
    for (int x = 2; x < 10; ++x) EXPECT_EQ(row.At(x, 0), RGB((10 * x + 5) ^ (10 * (x - 2) + 5), 0, 0));
}

TEST_F(BlitTest, TransfersAreClippedToBothBitmaps) {
    Canvas source(4, 4, kRed), target(8, 8);
    // The source ends at column 4: destination columns fed from beyond it stay.
    EXPECT_TRUE(BitBlt(target.dc(), 0, 0, 8, 8, source.dc(), 2, 2, SRCCOPY));
    EXPECT_EQ(target.At(1, 1), kRed);
    EXPECT_EQ(target.At(2, 1), kWhite);
    EXPECT_EQ(target.At(1, 2), kWhite);
    EXPECT_EQ(target.Count(kRed), 4);
    // Negative destination coordinates lose the part above and left.
    EXPECT_TRUE(BitBlt(target.dc(), -3, -3, 4, 4, source.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(target.Count(kRed), 4);
    EXPECT_TRUE(BitBlt(target.dc(), 100, 100, 4, 4, source.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(target.dc(), 6, 6, 4, 4, source.dc(), -2, -2, SRCCOPY));
    EXPECT_EQ(target.At(7, 7), kWhite);  // from source (-1, -1): nothing there
    EXPECT_EQ(target.Count(kRed), 4);
}

TEST_F(BlitTest, LayersCombineWithOrAsTheChartPaints) {
    Canvas grid(4, 1, RGB(0, 0, 0)), plot(4, 1, RGB(0, 0, 0)), paint(4, 1);
    SetPixel(grid.dc(), 1, 0, RGB(0, 255, 255));   // a grid dot
    SetPixel(plot.dc(), 1, 0, RGB(255, 0, 0));     // a band under it
    SetPixel(plot.dc(), 2, 0, RGB(255, 0, 0));
    BitBlt(paint.dc(), 0, 0, 4, 1, grid.dc(), 0, 0, SRCCOPY);
    BitBlt(paint.dc(), 0, 0, 4, 1, plot.dc(), 0, 0, SRCPAINT);
    EXPECT_EQ(paint.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(paint.At(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(paint.At(2, 0), RGB(255, 0, 0));
}

TEST_F(BlitTest, BadHandlesAndOperationsFailCleanly) {
    Canvas canvas(4, 4, kRed);
    SetLastError(0);
    EXPECT_FALSE(BitBlt(canvas.dc(), 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 4, 4, canvas.dc(), 0, 0, SRCCOPY));
    // Operations that ignore the source need none.
    EXPECT_TRUE(BitBlt(canvas.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0));
    SetLastError(0);
    EXPECT_FALSE(PatBlt(canvas.dc(), 0, 0, 4, 4, SRCCOPY));  // PatBlt has no source
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(canvas.At(1, 1), kRed);
}

TEST_F(BlitTest, ExtremeCoordinatesAreClippedWithoutOverflow) {
    Canvas source(4, 4, kRed), target(4, 4);
    EXPECT_TRUE(BitBlt(target.dc(), INT_MAX - 1, 0, 10, 10, source.dc(), INT_MIN, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(target.dc(), 0, 0, INT_MIN, INT_MIN, source.dc(), INT_MAX, INT_MAX, SRCCOPY));
    EXPECT_TRUE(BitBlt(target.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, source.dc(), INT_MAX, 0, SRCPAINT));
    EXPECT_TRUE(PatBlt(target.dc(), INT_MAX, INT_MAX, INT_MAX, INT_MAX, BLACKNESS));
    EXPECT_EQ(target.Count(kWhite), 16);
    EXPECT_TRUE(PatBlt(target.dc(), -1000, -1000, INT_MAX, INT_MAX, BLACKNESS));
    EXPECT_EQ(target.Count(RGB(0, 0, 0)), 16);
    const RECT everything{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_NE(FillRect(target.dc(), &everything, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_EQ(target.Count(kWhite), 16);
}

TEST_F(BlitTest, ScaledMappingStretchesTheCopy) {
    Canvas source(2, 2, kRed), target(8, 8);
    SetPixel(source.dc(), 1, 1, kBlue);
    SetMapMode(target.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(target.dc(), 1, 1, nullptr);
    SetViewportExtEx(target.dc(), 2, 2, nullptr);
    EXPECT_TRUE(BitBlt(target.dc(), 0, 0, 2, 2, source.dc(), 0, 0, SRCCOPY));
    SetMapMode(target.dc(), MM_TEXT);  // read back in device pixels
    EXPECT_EQ(target.Count(kRed), 12);
    EXPECT_EQ(target.Count(kBlue), 4);
    EXPECT_EQ(target.At(3, 3), kBlue);
    EXPECT_EQ(target.At(4, 4), kWhite);
}

}  // namespace

namespace {

// A chart composes its picture in a bitmap made and deleted at every paint:
// the next bitmap of the same size takes the same storage back, black again,
// rather than having it mapped and faulted in anew.
TEST_F(BlitTest, ABitmapMadeAgainAtTheSameSizeReusesItsStorageCleared) {
    constexpr int kWidth = 573, kHeight = 254;  // a lower chart
    const auto storageOf = [](int width, int height, COLORREF paint) {
        Canvas canvas(width, height, paint);
        const host::PixelBuffer* buffer = host::gdi::TargetBuffer(canvas.dc());
        EXPECT_EQ(canvas.At(width - 1, height - 1), paint);
        return buffer ? static_cast<const void*>(buffer->pixels.data()) : nullptr;
    };
    const void* first = storageOf(kWidth, kHeight, kRed);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP again = CreateCompatibleBitmap(dc, kWidth, kHeight);
    HGDIOBJ old = SelectObject(dc, again);
    EXPECT_EQ(static_cast<const void*>(host::gdi::TargetBuffer(dc)->pixels.data()), first);
    for (int y = 0; y < kHeight; y += 37) {
        for (int x = 0; x < kWidth; x += 41) ASSERT_EQ(GetPixel(dc, x, y), RGB(0, 0, 0)) << x << ", " << y;
    }
    SelectObject(dc, old);
    DeleteObject(again);
    DeleteDC(dc);
}

}  // namespace
