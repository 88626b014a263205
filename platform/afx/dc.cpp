// CDC: device contexts, with the output/attribute split of the framework:
// drawing goes to m_hDC, queries go to m_hAttribDC, settings go to both.

#include "afxwin.h"

#include "afx_state.h"

#include <utility>

using afx_internal::MapFor;
using afx_internal::WrapperFor;

namespace {

// Applies a setting to the output context (when it is a separate one) and
// to the attribute context; the result is the attribute context's.
template <class Result, class Apply>
Result SetOnBoth(HDC hDC, HDC hAttribDC, Result failed, Apply apply) {
    Result result = failed;
    if (hDC != nullptr && hDC != hAttribDC) result = apply(hDC);
    if (hAttribDC != nullptr) result = apply(hAttribDC);
    return result;
}

HGDIOBJ Handle(const CGdiObject* pObject) { return pObject == nullptr ? nullptr : pObject->m_hObject; }

// The corners of a rectangle as two points, for the point-mapping calls.
template <class MapPoints>
void MapRect(LPRECT lpRect, MapPoints mapPoints) {
    POINT corners[2] = {{lpRect->left, lpRect->top}, {lpRect->right, lpRect->bottom}};
    mapPoints(corners);
    *lpRect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

}  // namespace

CDC::~CDC() {
    if (m_hDC != nullptr) ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CDC* PASCAL CDC::FromHandle(HDC hDC) { return WrapperFor<CDC, CDC>(hDC); }

BOOL CDC::Attach(HDC hDC) {
    auto* map = MapFor<CDC>();
    if (hDC == nullptr || m_hDC != nullptr || map == nullptr) return FALSE;
    map->SetPermanent(hDC, this);
    m_hDC = hDC;
    SetAttribDC(hDC);
    return TRUE;
}

HDC CDC::Detach() {
    const HDC hDC = m_hDC;
    if (hDC != nullptr) {
        if (auto* map = MapFor<CDC>()) map->RemovePermanent(hDC, this);
    }
    ReleaseAttribDC();
    m_hDC = nullptr;
    return hDC;
}

void CDC::SetAttribDC(HDC hDC) { m_hAttribDC = hDC; }
void CDC::SetOutputDC(HDC hDC) { m_hDC = hDC; }
void CDC::ReleaseAttribDC() { m_hAttribDC = nullptr; }
void CDC::ReleaseOutputDC() { m_hDC = nullptr; }

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC != nullptr) return FALSE;
    const HDC hDC = ::CreateCompatibleDC(pDC == nullptr ? nullptr : pDC->m_hDC);
    if (hDC == nullptr) return FALSE;
    if (Attach(hDC)) return TRUE;
    ::DeleteDC(hDC);
    return FALSE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC() {
    int saved = 0;
    if (m_hAttribDC != nullptr) saved = ::SaveDC(m_hAttribDC);
    // Two separate contexts can only be restored together, by -1.
    if (m_hDC != m_hAttribDC && ::SaveDC(m_hDC) != 0) saved = -1;
    return saved;
}

BOOL CDC::RestoreDC(int nSavedDC) {
    BOOL restored = TRUE;
    if (m_hDC != m_hAttribDC) restored = ::RestoreDC(m_hDC, nSavedDC);
    if (m_hAttribDC != nullptr) restored = restored && ::RestoreDC(m_hAttribDC, nSavedDC);
    return restored;
}

int CDC::GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }

// ---- objects ----------------------------------------------------------------------

CPen* CDC::SelectObject(CPen* pPen) { return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, Handle(pPen)))); }

CBrush* CDC::SelectObject(CBrush* pBrush) {
    return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, Handle(pBrush))));
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, Handle(pBitmap))));
}

// Fonts change text measurement, so both contexts get them.
CFont* CDC::SelectObject(CFont* pFont) {
    const HGDIOBJ previous = SetOnBoth<HGDIOBJ>(m_hDC, m_hAttribDC, nullptr,
                                                [&](HDC hDC) { return ::SelectObject(hDC, Handle(pFont)); });
    return CFont::FromHandle(static_cast<HFONT>(previous));
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) { return CGdiObject::FromHandle(SelectObject(Handle(pObject))); }

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
    return SetOnBoth<HGDIOBJ>(m_hDC, m_hAttribDC, nullptr, [&](HDC hDC) { return ::SelectObject(hDC, hObject); });
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    return CGdiObject::FromHandle(SelectObject(::GetStockObject(nIndex)));
}

CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}

CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

// ---- colours and modes ------------------------------------------------------------

COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hAttribDC); }

COLORREF CDC::SetBkColor(COLORREF crColor) {
    return SetOnBoth<COLORREF>(m_hDC, m_hAttribDC, CLR_INVALID, [&](HDC hDC) { return ::SetBkColor(hDC, crColor); });
}

int CDC::GetBkMode() const { return ::GetBkMode(m_hAttribDC); }

int CDC::SetBkMode(int nBkMode) {
    return SetOnBoth<int>(m_hDC, m_hAttribDC, 0, [&](HDC hDC) { return ::SetBkMode(hDC, nBkMode); });
}

COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hAttribDC); }

COLORREF CDC::SetTextColor(COLORREF crColor) {
    return SetOnBoth<COLORREF>(m_hDC, m_hAttribDC, CLR_INVALID,
                               [&](HDC hDC) { return ::SetTextColor(hDC, crColor); });
}

UINT CDC::GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }

UINT CDC::SetTextAlign(UINT nFlags) {
    return SetOnBoth<UINT>(m_hDC, m_hAttribDC, GDI_ERROR, [&](HDC hDC) { return ::SetTextAlign(hDC, nFlags); });
}

int CDC::GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }

int CDC::SetPolyFillMode(int nPolyFillMode) {
    return SetOnBoth<int>(m_hDC, m_hAttribDC, 0, [&](HDC hDC) { return ::SetPolyFillMode(hDC, nPolyFillMode); });
}

int CDC::SetROP2(int nDrawMode) {
    return SetOnBoth<int>(m_hDC, m_hAttribDC, 0, [&](HDC hDC) { return ::SetROP2(hDC, nDrawMode); });
}

// ---- coordinate mapping ----------------------------------------------------------------

int CDC::GetMapMode() const { return ::GetMapMode(m_hAttribDC); }

int CDC::SetMapMode(int nMapMode) {
    return SetOnBoth<int>(m_hDC, m_hAttribDC, 0, [&](HDC hDC) { return ::SetMapMode(hDC, nMapMode); });
}

CPoint CDC::GetViewportOrg() const {
    CPoint point;
    ::GetViewportOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetViewportOrg(int x, int y) {
    CPoint previous;
    SetOnBoth<BOOL>(m_hDC, m_hAttribDC, FALSE, [&](HDC hDC) { return ::SetViewportOrgEx(hDC, x, y, &previous); });
    return previous;
}

CSize CDC::GetViewportExt() const {
    CSize size;
    ::GetViewportExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetViewportExt(int cx, int cy) {
    CSize previous;
    SetOnBoth<BOOL>(m_hDC, m_hAttribDC, FALSE, [&](HDC hDC) { return ::SetViewportExtEx(hDC, cx, cy, &previous); });
    return previous;
}

CPoint CDC::GetWindowOrg() const {
    CPoint point;
    ::GetWindowOrgEx(m_hAttribDC, &point);
    return point;
}

CPoint CDC::SetWindowOrg(int x, int y) {
    CPoint previous;
    SetOnBoth<BOOL>(m_hDC, m_hAttribDC, FALSE, [&](HDC hDC) { return ::SetWindowOrgEx(hDC, x, y, &previous); });
    return previous;
}

CSize CDC::GetWindowExt() const {
    CSize size;
    ::GetWindowExtEx(m_hAttribDC, &size);
    return size;
}

CSize CDC::SetWindowExt(int cx, int cy) {
    CSize previous;
    SetOnBoth<BOOL>(m_hDC, m_hAttribDC, FALSE, [&](HDC hDC) { return ::SetWindowExtEx(hDC, cx, cy, &previous); });
    return previous;
}

void CDC::DPtoLP(LPPOINT lpPoints, int nCount) const { ::DPtoLP(m_hAttribDC, lpPoints, nCount); }
void CDC::LPtoDP(LPPOINT lpPoints, int nCount) const { ::LPtoDP(m_hAttribDC, lpPoints, nCount); }

void CDC::DPtoLP(LPRECT lpRect) const {
    MapRect(lpRect, [this](POINT* corners) { ::DPtoLP(m_hAttribDC, corners, 2); });
}

void CDC::LPtoDP(LPRECT lpRect) const {
    MapRect(lpRect, [this](POINT* corners) { ::LPtoDP(m_hAttribDC, corners, 2); });
}

// A size maps as the difference of two points from the origin.
void CDC::DPtoLP(LPSIZE lpSize) const {
    POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::DPtoLP(m_hAttribDC, points, 2);
    *lpSize = SIZE{points[1].x - points[0].x, points[1].y - points[0].y};
}

void CDC::LPtoDP(LPSIZE lpSize) const {
    POINT points[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::LPtoDP(m_hAttribDC, points, 2);
    *lpSize = SIZE{points[1].x - points[0].x, points[1].y - points[0].y};
}

int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
