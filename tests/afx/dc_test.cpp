// CDC and the GDI object wrappers on the real drawing host: pixels, the
// output/attribute split, what SelectObject returns, who deletes what.

#include "afx_test_support.h"

#include "host/gdi.h"

namespace {

using afx_test::HostTest;
using afx_test::TemporaryDcs;
using afx_test::TemporaryGdiObjects;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 32-bit bitmap selected into a memory context.
class Canvas {
public:
    Canvas(int width, int height) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(width, height, 1, 32, nullptr);
        previous = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, width, height, kWhite);
    }
    ~Canvas() { dc.SelectObject(previous); }

    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
};

class DcTest : public HostTest {};

TEST_F(DcTest, FillSolidRectFillsAndKeepsTheColourAsBackground) {
    Canvas canvas(10, 10);
    canvas.dc.FillSolidRect(CRect(2, 2, 6, 5), RGB(10, 20, 30));
    EXPECT_EQ(canvas.dc.GetPixel(2, 2), RGB(10, 20, 30));
    EXPECT_EQ(canvas.dc.GetPixel(5, 4), RGB(10, 20, 30));
    EXPECT_EQ(canvas.dc.GetPixel(6, 4), kWhite);  // right and bottom are outside
    EXPECT_EQ(canvas.dc.GetPixel(5, 5), kWhite);
    EXPECT_EQ(canvas.dc.GetBkColor(), RGB(10, 20, 30));
    // A reversed rectangle is put in order first.
    canvas.dc.FillSolidRect(9, 9, -2, -2, RGB(0, 0, 255));
    EXPECT_EQ(canvas.dc.GetPixel(7, 7), RGB(0, 0, 255));
    EXPECT_EQ(canvas.dc.GetPixel(8, 8), RGB(0, 0, 255));
    EXPECT_EQ(canvas.dc.GetPixel(9, 9), kWhite);
}

TEST_F(DcTest, Draw3dRectPutsTheLightEdgesOnTheLastColumnAndRow) {
    Canvas canvas(10, 10);
    const COLORREF dark = RGB(128, 128, 128), light = RGB(250, 250, 250);
    canvas.dc.Draw3dRect(1, 1, 6, 5, dark, light);  // columns 1..6, rows 1..5
    for (int x = 1; x <= 5; ++x) EXPECT_EQ(canvas.dc.GetPixel(x, 1), dark) << "top " << x;
    for (int y = 1; y <= 4; ++y) EXPECT_EQ(canvas.dc.GetPixel(1, y), dark) << "left " << y;
    for (int y = 1; y <= 5; ++y) EXPECT_EQ(canvas.dc.GetPixel(6, y), light) << "right " << y;
    for (int x = 1; x <= 6; ++x) EXPECT_EQ(canvas.dc.GetPixel(x, 5), light) << "bottom " << x;
    EXPECT_EQ(canvas.dc.GetPixel(3, 3), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(7, 1), kWhite);
    EXPECT_EQ(canvas.dc.GetPixel(1, 6), kWhite);
}

TEST_F(DcTest, LinesAndPixelsGoToTheOutputContext) {
    Canvas canvas(10, 10);
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* oldPen = canvas.dc.SelectObject(&red);
    EXPECT_EQ(canvas.dc.MoveTo(0, 3), CPoint(0, 0));
    EXPECT_TRUE(canvas.dc.LineTo(5, 3));
    EXPECT_EQ(canvas.dc.MoveTo(0, 0), CPoint(5, 3));
    EXPECT_EQ(canvas.dc.GetPixel(4, 3), RGB(255, 0, 0));
    EXPECT_EQ(canvas.dc.GetPixel(5, 3), kWhite);  // the end point is left out
    EXPECT_EQ(canvas.dc.SetPixel(CPoint(8, 8), RGB(0, 255, 0)), RGB(0, 255, 0));
    EXPECT_EQ(canvas.dc.GetPixel(CPoint(8, 8)), RGB(0, 255, 0));
    canvas.dc.SelectObject(oldPen);
}

TEST_F(DcTest, SelectObjectReturnsWhatWasSelectedBefore) {
    Canvas canvas(4, 4);
    CPen first(PS_SOLID, 1, RGB(1, 1, 1)), second(PS_SOLID, 1, RGB(2, 2, 2));
    CPen* original = canvas.dc.SelectObject(&first);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(canvas.dc.SelectObject(&second), &first);
    EXPECT_EQ(canvas.dc.GetCurrentPen(), &second);
    EXPECT_EQ(canvas.dc.SelectObject(original), &second);

    CBrush brush(RGB(9, 9, 9));
    CBrush* originalBrush = canvas.dc.SelectObject(&brush);
    EXPECT_EQ(canvas.dc.SelectObject(originalBrush), &brush);

    CFont font;
    ASSERT_TRUE(font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, L"Courier New"));
    CFont* originalFont = canvas.dc.SelectObject(&font);
    EXPECT_EQ(canvas.dc.GetCurrentFont(), &font);
    EXPECT_EQ(canvas.dc.SelectObject(originalFont), &font);

    EXPECT_EQ(canvas.dc.SelectObject(static_cast<CPen*>(nullptr)), nullptr);
}

TEST_F(DcTest, APreviousObjectCanBeKeptAcrossMessagesAndSelectedBack) {
    // The strip chart keeps the bitmap its layer had before for its whole life.
    Canvas canvas(4, 4);
    const HGDIOBJ originalHandle = canvas.previous->m_hObject;
    AfxUnlockTempMaps();
    host::user::ProcessEvents();
    EXPECT_EQ(canvas.previous->m_hObject, originalHandle);
    EXPECT_EQ(canvas.dc.SelectObject(canvas.previous), &canvas.bitmap);
    EXPECT_EQ(canvas.dc.SelectObject(&canvas.bitmap), canvas.previous);
}

TEST_F(DcTest, TemporaryGdiWrappersLiveAsLongAsTheirHandle) {
    const std::size_t before = TemporaryGdiObjects();
    const HPEN raw = ::CreatePen(PS_SOLID, 1, RGB(3, 3, 3));
    CPen* pen = CPen::FromHandle(raw);
    EXPECT_EQ(CPen::FromHandle(raw), pen);
    EXPECT_EQ(CGdiObject::FromHandle(raw), pen);  // a pen wrapper serves as a plain one
    EXPECT_EQ(TemporaryGdiObjects(), before + 1);
    AfxUnlockTempMaps();
    EXPECT_EQ(TemporaryGdiObjects(), before + 1);
    ::DeleteObject(raw);
    AfxUnlockTempMaps();
    EXPECT_EQ(TemporaryGdiObjects(), before);
    EXPECT_EQ(CPen::FromHandle(nullptr), nullptr);
}

TEST_F(DcTest, DeletingAWrapperOfASharedObjectKeepsTheOtherWrappersOfIt) {
    // A zero-sized compatible bitmap is the stock bitmap every new memory
    // context starts with. The strip chart keeps the wrapper SelectObject
    // gave for it, and a zero-sized layer wraps the same handle: deleting
    // that layer's bitmap deletes nothing, so the kept wrapper must live on.
    CDC first;
    ASSERT_TRUE(first.CreateCompatibleDC(nullptr));
    CBitmap real;
    ASSERT_TRUE(real.CreateBitmap(2, 2, 1, 32, nullptr));
    CBitmap* previous = first.SelectObject(&real);
    ASSERT_NE(previous, nullptr);
    const HGDIOBJ shared = previous->m_hObject;
    const std::size_t temporaries = TemporaryGdiObjects();
    {
        CDC second;
        ASSERT_TRUE(second.CreateCompatibleDC(&first));
        CBitmap empty;
        ASSERT_TRUE(empty.CreateCompatibleBitmap(&second, 0, 0));
        EXPECT_EQ(empty.m_hObject, shared);
        EXPECT_TRUE(empty.DeleteObject());
    }
    EXPECT_EQ(TemporaryGdiObjects(), temporaries);
    EXPECT_EQ(previous->m_hObject, shared);
    EXPECT_EQ(first.SelectObject(previous), &real);

    // An object deleted while a context still holds it lives until it is
    // deselected, and so do its wrappers.
    const HBRUSH raw = ::CreateSolidBrush(RGB(7, 7, 7));
    CBrush* temporary = CBrush::FromHandle(raw);
    CBrush owner;
    ASSERT_TRUE(owner.Attach(raw));
    CBrush* before = first.SelectObject(&owner);
    const std::size_t withBrush = TemporaryGdiObjects();
    EXPECT_TRUE(owner.DeleteObject());
    EXPECT_EQ(TemporaryGdiObjects(), withBrush);
    EXPECT_EQ(temporary->m_hObject, raw);
    first.SelectObject(before);
    EXPECT_EQ(::GetObjectType(raw), 0u);  // gone once deselected
}

TEST_F(DcTest, ObjectsDeleteWhatTheyCreateAndNothingElse) {
    const std::size_t before = host::gdi::LiveObjectCount();
    {
        CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
        CBrush brush(RGB(1, 2, 3));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateBitmap(3, 3, 1, 32, nullptr));
        EXPECT_EQ(host::gdi::LiveObjectCount(), before + 3);
        // A second creation is refused and makes nothing.
        EXPECT_FALSE(pen.CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
        EXPECT_EQ(host::gdi::LiveObjectCount(), before + 3);
        // Freeing a temporary wrapper never deletes its object.
        const HBRUSH raw = ::CreateSolidBrush(RGB(4, 5, 6));
        ASSERT_NE(CBrush::FromHandle(raw), nullptr);
        afx_internal::CurrentThreadState()->gdiObjects.ClearTemporaries();
        EXPECT_EQ(host::gdi::LiveObjectCount(), before + 4);
        EXPECT_TRUE(::DeleteObject(raw));
    }
    EXPECT_EQ(host::gdi::LiveObjectCount(), before);
    CPen empty;
    EXPECT_FALSE(empty.DeleteObject());
}

TEST_F(DcTest, FontsDescribeThemselves) {
    CFont font;
    ASSERT_TRUE(font.CreateFont(-16, 0, 900, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_SWISS, L"Times New Roman"));
    LOGFONTW description{};
    ASSERT_EQ(font.GetLogFont(&description), static_cast<int>(sizeof(LOGFONTW)));
    EXPECT_EQ(description.lfHeight, -16);
    EXPECT_EQ(description.lfEscapement, 900);
    EXPECT_EQ(description.lfWeight, FW_BOLD);
    EXPECT_EQ(description.lfItalic, TRUE);
    EXPECT_EQ(description.lfQuality, PROOF_QUALITY);
    EXPECT_EQ(description.lfPitchAndFamily, FF_SWISS);
    EXPECT_STREQ(description.lfFaceName, L"Times New Roman");

    CFont copy;
    ASSERT_TRUE(copy.CreateFontIndirect(&description));
    LOGFONTW again{};
    copy.GetLogFont(&again);
    EXPECT_EQ(again.lfWeight, FW_BOLD);
}

TEST_F(DcTest, SettingsGoToBothContextsAndQueriesToTheAttributeContext) {
    const HDC output = ::CreateCompatibleDC(nullptr);
    const HDC attribute = ::CreateCompatibleDC(nullptr);
    {
        CDC dc;
        dc.SetOutputDC(output);
        dc.SetAttribDC(attribute);
        dc.SetTextColor(RGB(1, 2, 3));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_RIGHT | TA_BASELINE);
        EXPECT_EQ(::GetTextColor(output), RGB(1, 2, 3));
        EXPECT_EQ(::GetTextColor(attribute), RGB(1, 2, 3));
        EXPECT_EQ(::GetBkMode(output), TRANSPARENT);
        EXPECT_EQ(::GetTextAlign(output), static_cast<UINT>(TA_RIGHT | TA_BASELINE));
        ::SetTextColor(attribute, RGB(7, 8, 9));
        EXPECT_EQ(dc.GetTextColor(), RGB(7, 8, 9));
        EXPECT_FALSE(dc.IsPrinting());
        // Let go of the borrowed contexts so that the object deletes neither.
        dc.ReleaseOutputDC();
        dc.ReleaseAttribDC();
    }
    EXPECT_EQ(::GetObjectType(output), static_cast<DWORD>(OBJ_MEMDC));
    ::DeleteDC(output);
    ::DeleteDC(attribute);
}

TEST_F(DcTest, MappingConvertsBetweenLogicalAndDeviceUnits) {
    Canvas canvas(4, 4);
    CDC& dc = canvas.dc;
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    const int saved = dc.SaveDC();
    ASSERT_NE(saved, 0);
    EXPECT_EQ(dc.SetMapMode(MM_ANISOTROPIC), MM_TEXT);
    dc.SetWindowExt(100, 100);
    EXPECT_EQ(dc.SetViewportExt(200, 50), CSize(1, 1));
    EXPECT_EQ(dc.GetViewportExt(), CSize(200, 50));
    CRect rect(10, 10, 20, 20);
    dc.LPtoDP(&rect);
    EXPECT_EQ(rect, CRect(20, 5, 40, 10));
    dc.DPtoLP(&rect);
    EXPECT_EQ(rect, CRect(10, 10, 20, 20));
    CSize size(10, 10);
    dc.LPtoDP(&size);
    EXPECT_EQ(size, CSize(20, 5));
    EXPECT_EQ(dc.SetWindowOrg(5, 5), CPoint(0, 0));
    EXPECT_EQ(dc.GetWindowOrg(), CPoint(5, 5));
    EXPECT_TRUE(dc.RestoreDC(saved));
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(dc.GetWindowOrg(), CPoint(0, 0));
}

TEST_F(DcTest, TemporaryContextWrappersGoWithTheirContext) {
    const std::size_t before = TemporaryDcs();
    const HDC raw = ::CreateCompatibleDC(nullptr);
    CDC* wrapper = CDC::FromHandle(raw);
    EXPECT_EQ(CDC::FromHandle(raw), wrapper);
    EXPECT_EQ(wrapper->m_hAttribDC, raw);
    ::DeleteDC(raw);
    AfxUnlockTempMaps();
    EXPECT_EQ(TemporaryDcs(), before);
}

// A window that paints itself green through a CPaintDC.
class CGreenWnd : public CWnd {
public:
    int paints = 0;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++paints;
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(0, 128, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CGreenWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(DcTest, PaintAndClientContextsDrawOnTheWindow) {
    CGreenWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), L"green", WS_POPUP | WS_VISIBLE, 0, 0, 30, 20, nullptr,
                                nullptr));
    window.Invalidate(FALSE);
    window.UpdateWindow();
    EXPECT_GE(window.paints, 1);
    const host::PixelBuffer* buffer = host::user::WindowBuffer(window.m_hWnd);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->At(10, 10), host::PixelFromColor(RGB(0, 128, 0)));
    {
        CClientDC dc(&window);
        dc.SetPixel(1, 1, RGB(255, 0, 0));
    }
    EXPECT_EQ(buffer->At(1, 1), host::PixelFromColor(RGB(255, 0, 0)));
}

TEST_F(DcTest, AWindowContextAnswersTheMachinesDotsPerInch) {
    machine.SetDotsPerInch(144);
    CGreenWnd window;
    ASSERT_TRUE(window.CreateEx(0, AfxRegisterWndClass(0), L"dpi", WS_POPUP, 0, 0, 30, 20, nullptr, nullptr));
    CDC* dc = window.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->GetDeviceCaps(LOGPIXELSX), 144);
    EXPECT_EQ(dc->GetWindow(), &window);
    EXPECT_EQ(window.ReleaseDC(dc), 1);
}

TEST_F(DcTest, TextIsMeasuredAndDrawn) {
    Canvas canvas(80, 30);
    CFont font;
    ASSERT_TRUE(font.CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, L"Courier New"));
    CFont* old = canvas.dc.SelectObject(&font);
    const CSize extent = canvas.dc.GetTextExtent(CString(L"abc"));
    EXPECT_GT(extent.cx, 0);
    EXPECT_GT(extent.cy, 0);
    EXPECT_EQ(canvas.dc.GetTextExtent(L"abcabc", 6).cx, 2 * extent.cx);  // a fixed-pitch face
    canvas.dc.SetTextColor(RGB(0, 0, 0));
    canvas.dc.SetBkMode(TRANSPARENT);
    EXPECT_TRUE(canvas.dc.TextOut(2, 2, CString(L"MMM")));
    int inked = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 80; ++x) inked += canvas.dc.GetPixel(x, y) != kWhite;
    }
    EXPECT_GT(inked, 0);
    CRect box(0, 0, 80, 30);
    EXPECT_GT(canvas.dc.DrawText(CString(L"a\nb"), &box, DT_CALCRECT), extent.cy);
    CString face;
    EXPECT_GT(canvas.dc.GetTextFace(face), 0);
    EXPECT_EQ(face, L"Courier New");
    canvas.dc.SelectObject(old);
}

}  // namespace
