// GDI object wrappers: pens, brushes, fonts, bitmaps, regions.

#include "afxwin.h"

#include "afx_state.h"

#include <cstring>

using afx_internal::MapFor;
using afx_internal::WrapperFor;

// ---- CGdiObject ---------------------------------------------------------------------

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) { return WrapperFor<CGdiObject, CGdiObject>(hObject); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    auto* map = MapFor<CGdiObject>();
    if (hObject == nullptr || m_hObject != nullptr || map == nullptr) return FALSE;
    map->SetPermanent(hObject, this);
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    const HGDIOBJ hObject = m_hObject;
    if (hObject != nullptr) {
        if (auto* map = MapFor<CGdiObject>()) map->RemovePermanent(hObject, this);
    }
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    const HGDIOBJ hObject = Detach();
    const BOOL deleted = ::DeleteObject(hObject);
    // Temporary wrappers of the handle go only with the object itself. A
    // stock object (a zero-sized compatible bitmap is the shared stock
    // bitmap) survives the call, and an object still selected into a
    // context lives until it is deselected; a wrapper of it that a caller
    // keeps, such as the bitmap a context held before, must stay good.
    const DWORD lastError = ::GetLastError();
    if (::GetObjectType(hObject) == 0) {
        if (auto* map = MapFor<CGdiObject>()) map->DropTemporaries(hObject);
    }
    ::SetLastError(lastError);
    return deleted;
}

BOOL CGdiObject::AttachNew(HGDIOBJ hObject) {
    if (hObject == nullptr) return FALSE;
    if (Attach(hObject)) return TRUE;
    ::DeleteObject(hObject);
    return FALSE;
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectW(m_hObject, nCount, lpObject); }

UINT CGdiObject::GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }

BOOL CGdiObject::CreateStockObject(int nIndex) {
    // Stock objects are shared; deleting one later is harmless (Win32 ignores it).
    return m_hObject == nullptr && Attach(::GetStockObject(nIndex));
}

// ---- CPen ---------------------------------------------------------------------------

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }

CPen* PASCAL CPen::FromHandle(HPEN hPen) { return WrapperFor<CGdiObject, CPen>(static_cast<HGDIOBJ>(hPen)); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return m_hObject == nullptr && AttachNew(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen) {
    return m_hObject == nullptr && lpLogPen != nullptr && AttachNew(::CreatePenIndirect(lpLogPen));
}

int CPen::GetLogPen(LOGPEN* pLogPen) const { return GetObject(sizeof(LOGPEN), pLogPen); }

// ---- CBrush -------------------------------------------------------------------------

CBrush::CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }

CBrush* PASCAL CBrush::FromHandle(HBRUSH hBrush) {
    return WrapperFor<CGdiObject, CBrush>(static_cast<HGDIOBJ>(hBrush));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    return m_hObject == nullptr && AttachNew(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush) {
    return m_hObject == nullptr && lpLogBrush != nullptr && AttachNew(::CreateBrushIndirect(lpLogBrush));
}

int CBrush::GetLogBrush(LOGBRUSH* pLogBrush) const { return GetObject(sizeof(LOGBRUSH), pLogBrush); }

// ---- CFont --------------------------------------------------------------------------

CFont* PASCAL CFont::FromHandle(HFONT hFont) { return WrapperFor<CGdiObject, CFont>(static_cast<HGDIOBJ>(hFont)); }

BOOL CFont::CreateFontIndirect(const LOGFONTW* lpLogFont) {
    return m_hObject == nullptr && lpLogFont != nullptr && AttachNew(::CreateFontIndirectW(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename) {
    return m_hObject == nullptr &&
           AttachNew(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                                   cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily,
                                   lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC) {
    LOGFONTW logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    if (lpszFaceName != nullptr) {
        std::wcsncpy(logFont.lfFaceName, lpszFaceName, LF_FACESIZE - 1);
    }
    // Tenths of a point to the context's logical units, as character height.
    const HDC hDC = pDC != nullptr ? pDC->m_hAttribDC : ::GetDC(nullptr);
    POINT points[2] = {{0, 0}, {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize, 720)}};
    ::DPtoLP(hDC, points, 2);
    logFont.lfHeight = -std::abs(points[1].y - points[0].y);
    if (pDC == nullptr) ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&logFont);
}

int CFont::GetLogFont(LOGFONTW* pLogFont) const { return GetObject(sizeof(LOGFONTW), pLogFont); }

// ---- CBitmap ------------------------------------------------------------------------

CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap) {
    return WrapperFor<CGdiObject, CBitmap>(static_cast<HGDIOBJ>(hBitmap));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
    return m_hObject == nullptr && AttachNew(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap) {
    return lpBitmap != nullptr && CreateBitmap(lpBitmap->bmWidth, lpBitmap->bmHeight, lpBitmap->bmPlanes,
                                               lpBitmap->bmBitsPixel, lpBitmap->bmBits);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    const HDC hDC = pDC == nullptr ? nullptr : pDC->m_hDC;
    return m_hObject == nullptr && AttachNew(::CreateCompatibleBitmap(hDC, nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const {
    return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(dwCount), lpBits));
}

// ---- CRgn ---------------------------------------------------------------------------

CRgn* PASCAL CRgn::FromHandle(HRGN hRgn) { return WrapperFor<CGdiObject, CRgn>(static_cast<HGDIOBJ>(hRgn)); }
