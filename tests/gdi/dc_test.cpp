// Device contexts and objects: selection, deletion, saved states, mapping,
// clip box, device capabilities, window contexts and bitmaps.

#include "gdi/gdi_test_support.h"

#include "host/scripted_machine.h"

#include <cstring>

namespace {

using gdi_test::Canvas;
using gdi_test::Selected;

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0);

class DcTest : public gdi_test::NoLeaks {};

TEST_F(DcTest, SelectObjectAnswersWhatWasSelectedBefore) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH brush = CreateSolidBrush(kRed);
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), pen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
    EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);
    // A new memory DC draws on a 1 x 1 bitmap (32 bits per pixel here).
    BITMAP bm{};
    EXPECT_EQ(GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(font)}) {
        EXPECT_TRUE(DeleteObject(o));
    }
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(DcTest, CompatibleBitmapsAreThirtyTwoBitAndReadBack) {
    Canvas canvas(10, 5, RGB(0x11, 0x22, 0x33));
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(canvas.bitmap(), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 10);
    EXPECT_EQ(bm.bmHeight, 5);
    EXPECT_EQ(bm.bmWidthBytes, 40);
    EXPECT_EQ(bm.bmBits, nullptr);
    EXPECT_EQ(GetBitmapBits(canvas.bitmap(), 0, nullptr), 200);
    BYTE bits[200] = {};
    EXPECT_EQ(GetBitmapBits(canvas.bitmap(), sizeof bits, bits), 200);
    EXPECT_EQ(bits[0], 0x33);  // blue, green, red, unused
    EXPECT_EQ(bits[1], 0x22);
    EXPECT_EQ(bits[2], 0x11);
    EXPECT_EQ(GetBitmapBits(canvas.bitmap(), 6, bits), 6);

    HDC dc = canvas.dc();
    EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 5), CreateCompatibleBitmap(dc, 7, 0));  // the shared 1 x 1 bitmap
    SetLastError(0);
    EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 5), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateCompatibleBitmap(reinterpret_cast<HDC>(0x12345), 5, 5), nullptr);
    SetLastError(0);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 1 << 16, 1 << 16), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST_F(DcTest, ABitmapIsSelectedIntoOneDcAtATime) {
    HDC first = CreateCompatibleDC(nullptr), second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 4, 4);
    HGDIOBJ old = SelectObject(first, bitmap);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_EQ(SelectObject(first, old), bitmap);
    HGDIOBJ old2 = SelectObject(second, bitmap);
    EXPECT_NE(old2, nullptr);
    SelectObject(second, old2);
    EXPECT_TRUE(DeleteObject(bitmap));
    DeleteDC(first);
    DeleteDC(second);
}

TEST_F(DcTest, DeletingASelectedObjectWaitsUntilTheDcLetsGo) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 3);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));  // still drawing
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 3, 1);
    EXPECT_EQ(GetPixel(dc, 1, 1), kRed);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBitmap);
    SetLastError(0);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    // Stock objects survive DeleteObject.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(DcTest, ACreateSelectDeleteCycleLeavesNoObjectBehind) {
    const std::size_t before = host::gdi::LiveObjectCount();
    for (int i = 0; i < 25; ++i) {
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldPen = SelectObject(dc, CreatePen(PS_DASH, 1, kRed));
        HGDIOBJ oldBrush = SelectObject(dc, CreateSolidBrush(kBlack));
        HGDIOBJ oldFont = SelectObject(dc, CreateFontW(14, 0, 900, 0, 300, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, L"Courier New"));
        Rectangle(dc, 1, 1, 7, 7);
        SaveDC(dc);
        DeleteObject(SelectObject(dc, oldPen));
        DeleteObject(SelectObject(dc, oldBrush));
        DeleteObject(SelectObject(dc, oldFont));
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);  // takes the saved state's objects with it
    }
    EXPECT_EQ(host::gdi::LiveObjectCount(), before);
}

TEST_F(DcTest, SaveDcAndRestoreDcStackStates) {
    Canvas canvas(4, 4);
    HDC dc = canvas.dc();
    SetBkColor(dc, RGB(1, 1, 1));
    EXPECT_EQ(SaveDC(dc), 1);
    SetBkColor(dc, RGB(2, 2, 2));
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    SetWindowOrgEx(dc, 5, 5, nullptr);
    EXPECT_EQ(SaveDC(dc), 2);
    SetBkColor(dc, RGB(3, 3, 3));
    SelectObject(dc, oldPen);
    EXPECT_TRUE(DeleteObject(pen));  // held by saved state 2
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetBkColor(dc), RGB(2, 2, 2));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    POINT org{};
    GetWindowOrgEx(dc, &org);
    EXPECT_EQ(org.x, 5);
    EXPECT_FALSE(RestoreDC(dc, 2));  // level 2 is gone
    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_EQ(GetBkColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(GetObjectType(pen), 0u);  // the last state holding it is gone
    EXPECT_FALSE(RestoreDC(dc, 0));
    EXPECT_FALSE(RestoreDC(dc, -1));
    EXPECT_EQ(SaveDC(nullptr), 0);
}

TEST_F(DcTest, BadHandlesAndArgumentsFailLikeWin32) {
    HDC bogus = reinterpret_cast<HDC>(0x7777777);
    Canvas canvas(2, 2);
    SetLastError(0);
    EXPECT_EQ(SelectObject(bogus, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SelectObject(canvas.dc(), reinterpret_cast<HGDIOBJ>(0x7777777)), nullptr);
    EXPECT_EQ(SelectObject(canvas.dc(), canvas.dc()), nullptr);
    EXPECT_EQ(SelectObject(canvas.dc(), GetStockObject(DEFAULT_PALETTE)), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(bogus));
    EXPECT_FALSE(DeleteDC(bogus));
    EXPECT_EQ(GetObjectW(bogus, 0, nullptr), 0);
    EXPECT_EQ(SetBkColor(bogus, kRed), CLR_INVALID);
    EXPECT_EQ(GetTextColor(bogus), CLR_INVALID);
    EXPECT_EQ(SetTextAlign(bogus, TA_RIGHT), static_cast<UINT>(GDI_ERROR));
    EXPECT_EQ(SetBkMode(canvas.dc(), 7), 0);
    EXPECT_EQ(SetBkMode(canvas.dc(), TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetPolyFillMode(canvas.dc(), 3), 0);
    EXPECT_EQ(GetDeviceCaps(bogus, BITSPIXEL), 0);
    EXPECT_EQ(CreateCompatibleDC(bogus), nullptr);
    EXPECT_FALSE(MoveToEx(bogus, 0, 0, nullptr));
    EXPECT_FALSE(LineTo(bogus, 1, 1));
    EXPECT_FALSE(Rectangle(bogus, 0, 0, 1, 1));
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(CreatePen(99, 1, kRed), nullptr);
    const LOGBRUSH hatched{2 /* BS_HATCHED */, kRed, 0};
    EXPECT_EQ(CreateBrushIndirect(&hatched), nullptr);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
    // A deleted DC's handle is dead for good.
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SetPixel(dc, 0, 0, kRed), CLR_INVALID);
}

TEST_F(DcTest, GetObjectDescribesPensBrushesAndFonts) {
    HPEN pen = CreatePen(PS_DASH, -3, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObjectW(pen, 0, nullptr), static_cast<int>(sizeof(LOGPEN)));
    EXPECT_EQ(GetObjectW(pen, sizeof lp - 1, &lp), 0);
    EXPECT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));

    LOGFONTW in{};
    in.lfHeight = -16;
    in.lfWeight = 700;
    in.lfItalic = 1;
    std::wcscpy(in.lfFaceName, L"Times New Roman");
    HFONT font = CreateFontIndirectW(&in);
    LOGFONTW out{};
    EXPECT_EQ(GetObjectW(font, sizeof out, &out), static_cast<int>(sizeof out));
    EXPECT_EQ(std::memcmp(&in, &out, sizeof out), 0);
    LOGFONTW part{};
    EXPECT_EQ(GetObjectW(font, 8, &part), 8);  // a short buffer takes what fits
    EXPECT_EQ(part.lfHeight, -16);
    EXPECT_EQ(part.lfEscapement, 0);

    LOGBRUSH lb{};
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_EQ(GetObjectW(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(font), static_cast<HGDIOBJ>(brush)}) {
        DeleteObject(o);
    }
}

TEST_F(DcTest, WindowOriginPutsItsLogicalPointAtPixelZero) {
    Canvas target(10, 10), surface(4, 4);
    // An off-screen surface for the target's rectangle (3, 2)-(7, 6).
    EXPECT_TRUE(SetWindowOrgEx(surface.dc(), 3, 2, nullptr));
    SetPixel(surface.dc(), 3, 2, kRed);
    SetPixel(surface.dc(), 6, 5, kBlack);
    EXPECT_EQ(SetPixel(surface.dc(), 7, 2, kBlack), CLR_INVALID);
    const RECT r{4, 3, 6, 5};
    FillRect(surface.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_TRUE(BitBlt(target.dc(), 3, 2, 4, 4, surface.dc(), 3, 2, SRCCOPY));
    EXPECT_EQ(target.At(3, 2), kRed);
    EXPECT_EQ(target.At(6, 5), kBlack);
    EXPECT_EQ(target.At(4, 3), kBlack);
    EXPECT_EQ(target.At(5, 4), kBlack);
    EXPECT_EQ(target.At(6, 4), kWhite);
    EXPECT_EQ(target.At(2, 2), kWhite);
    RECT clip{};
    EXPECT_EQ(GetClipBox(surface.dc(), &clip), SIMPLEREGION);
    EXPECT_EQ(clip.left, 3);
    EXPECT_EQ(clip.top, 2);
    EXPECT_EQ(clip.right, 7);
    EXPECT_EQ(clip.bottom, 6);
}

TEST_F(DcTest, MappingModesScaleLogicalUnits) {
    Canvas canvas(40, 40);
    HDC dc = canvas.dc();
    SIZE previous{};
    EXPECT_TRUE(SetWindowExtEx(dc, 10, 10, &previous));  // ignored in MM_TEXT
    EXPECT_EQ(previous.cx, 1);
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    EXPECT_EQ(SetMapMode(dc, MM_ANISOTROPIC), MM_TEXT);
    EXPECT_TRUE(SetWindowExtEx(dc, 100, 100, nullptr));
    EXPECT_TRUE(SetViewportExtEx(dc, 40, -20, nullptr));
    EXPECT_TRUE(SetViewportOrgEx(dc, 0, 30, nullptr));
    EXPECT_FALSE(SetWindowExtEx(dc, 0, 5, nullptr));
    POINT points[2] = {{100, 100}, {25, 0}};
    EXPECT_TRUE(LPtoDP(dc, points, 2));
    EXPECT_EQ(points[0].x, 40);
    EXPECT_EQ(points[0].y, 10);
    EXPECT_EQ(points[1].x, 10);
    EXPECT_EQ(points[1].y, 30);
    EXPECT_TRUE(DPtoLP(dc, points, 2));
    EXPECT_EQ(points[0].x, 100);
    EXPECT_EQ(points[0].y, 100);
    const RECT r{0, 0, 25, 50};  // device (0, 30)-(10, 20): y flipped
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    EXPECT_EQ(canvas.Count(kBlack), 10 * 10);
    EXPECT_EQ(canvas.At(9, 20), kBlack);
    EXPECT_EQ(canvas.At(9, 30), kWhite);
    EXPECT_EQ(canvas.At(10, 25), kWhite);

    // MM_ISOTROPIC keeps units square by shrinking the larger viewport extent.
    SetMapMode(dc, MM_ISOTROPIC);
    SetWindowExtEx(dc, 100, 100, nullptr);
    SetViewportExtEx(dc, 40, 20, nullptr);
    SIZE viewport{};
    GetViewportExtEx(dc, &viewport);
    EXPECT_EQ(viewport.cx, 20);
    EXPECT_EQ(viewport.cy, 20);
    EXPECT_EQ(SetMapMode(dc, 0), 0);
    EXPECT_EQ(SetMapMode(dc, 9), 0);
    EXPECT_FALSE(LPtoDP(dc, nullptr, 1));
}

TEST_F(DcTest, ClipBoxIsTheTargetInLogicalUnits) {
    HDC fresh = CreateCompatibleDC(nullptr);
    RECT r{};
    EXPECT_EQ(GetClipBox(fresh, &r), SIMPLEREGION);
    EXPECT_EQ(r.right, 1);  // the 1 x 1 starting bitmap
    EXPECT_EQ(GetClipBox(fresh, nullptr), ERROR);
    EXPECT_EQ(GetClipBox(nullptr, &r), ERROR);
    DeleteDC(fresh);
    host::PixelBuffer empty;
    HDC window = host::gdi::CreateBufferDC(&empty, nullptr);
    EXPECT_EQ(GetClipBox(window, &r), NULLREGION);
    EXPECT_EQ(r.right, 0);
    host::gdi::DeleteBufferDC(window);
}

TEST_F(DcTest, DeviceCapsComeFromTheMachineThenTheScreen) {
    Canvas canvas(30, 20);
    host::ScriptedMachine machine;
    host::SetActiveMachine(&machine);
    machine.SetDotsPerInch(144);
    host::gdi::SetScreenDpiProvider([] { return 120; });
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), LOGPIXELSX), 144);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), LOGPIXELSY), 144);
    machine.SetDotsPerInch(0);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), LOGPIXELSX), 120);
    host::gdi::SetScreenDpiProvider(nullptr);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), LOGPIXELSX), 96);
    host::SetActiveMachine(nullptr);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), HORZRES), 30);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), VERTRES), 20);
    EXPECT_EQ(GetDeviceCaps(canvas.dc(), TECHNOLOGY), DT_RASDISPLAY);
}

TEST_F(DcTest, WindowDcDrawsOnItsBufferAcrossResizes) {
    host::PixelBuffer buffer;
    buffer.Resize(6, 4);
    HWND owner = reinterpret_cast<HWND>(0x4242);
    HDC dc = host::gdi::CreateBufferDC(&buffer, owner);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(WindowFromDC(dc), owner);
    EXPECT_EQ(host::gdi::TargetBuffer(dc), &buffer);
    SetPixel(dc, 5, 3, kRed);
    EXPECT_EQ(buffer.At(5, 3), 0x00FF0000u);
    buffer.Resize(20, 10);
    const RECT r{0, 0, 20, 10};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(buffer.At(19, 9), 0u);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);  // only memory DCs take bitmaps
    EXPECT_FALSE(DeleteDC(dc));                     // a window DC is released, not deleted
    EXPECT_EQ(host::gdi::CreateBufferDC(nullptr, owner), nullptr);
    host::gdi::DeleteBufferDC(dc);
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(WindowFromDC(dc), nullptr);
    DeleteObject(bitmap);
    Canvas memory(2, 2);
    EXPECT_EQ(WindowFromDC(memory.dc()), nullptr);
    EXPECT_NE(host::gdi::TargetBuffer(memory.dc()), nullptr);
}

TEST_F(DcTest, DibSectionsShareTheirBitsInEitherRowOrder) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 3;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bottomUp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bottomUp, nullptr);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bottomUp);
    SetPixel(dc, 1, 0, kRed);
    EXPECT_EQ(static_cast<std::uint32_t*>(bits)[2 * 4 + 1], 0x00FF0000u);  // the last row in memory
    static_cast<std::uint32_t*>(bits)[1] = 0x000000FF;                     // image row 2
    EXPECT_EQ(GetPixel(dc, 1, 2), RGB(0, 0, 255));
    EXPECT_EQ(host::gdi::TargetBuffer(dc), nullptr);  // its buffer rows are upside down
    BITMAP bm{};
    GetObjectW(bottomUp, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBits, bits);
    SelectObject(dc, old);

    info.bmiHeader.biHeight = -3;  // top-down
    HBITMAP topDown = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, topDown);
    SetPixel(dc, 1, 0, kRed);
    EXPECT_EQ(static_cast<std::uint32_t*>(bits)[1], 0x00FF0000u);
    SelectObject(dc, old);

    info.bmiHeader.biBitCount = 8;
    SetLastError(0);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    DeleteObject(bottomUp);
    DeleteObject(topDown);
    DeleteDC(dc);
}

TEST_F(DcTest, CreateBitmapReadsMonochromeAndTrueColourBits) {
    const BYTE mono[] = {0xA0, 0x00, 0x40, 0x00};  // rows padded to a WORD
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 1, mono);
    const BYTE rgb[] = {0x30, 0x20, 0x10, 0x60, 0x50, 0x40};  // blue, green, red; one 2-pixel row
    HBITMAP colour = CreateBitmap(2, 1, 1, 24, rgb);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 0), kBlack);
    EXPECT_EQ(GetPixel(dc, 2, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 1), kWhite);
    SelectObject(dc, colour);
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x40, 0x50, 0x60));
    SelectObject(dc, old);
    EXPECT_EQ(CreateBitmap(2, 2, 2, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(2, 2, 1, 8, nullptr), nullptr);
    DeleteObject(bitmap);
    DeleteObject(colour);
    DeleteDC(dc);
}

}  // namespace
