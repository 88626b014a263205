#pragma once
// GDI objects: a CGdiObject holds one pen, brush, font, bitmap or region
// handle. An object that created or attached its handle owns it and deletes
// it when destroyed. FromHandle gives a temporary wrapper for a handle the
// framework does not own; it lives as long as the handle does, so a pointer
// returned by CDC::SelectObject may be kept and selected back later.

#include "afx.h"

class CDC;

class CGdiObject : public CObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    ~CGdiObject() override;

    operator HGDIOBJ() const noexcept { return m_hObject; }
    HGDIOBJ GetSafeHandle() const noexcept { return m_hObject; }

    static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    // Deletes the object the handle names; FALSE when there is none.
    BOOL DeleteObject();
    int GetObject(int nCount, LPVOID lpObject) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int nIndex);

    bool operator==(const CGdiObject& obj) const noexcept { return m_hObject == obj.m_hObject; }

protected:
    // Takes a freshly created handle; fails (and deletes nothing) when this
    // object already holds one or creation failed.
    BOOL AttachNew(HGDIOBJ hObject);
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    // The pen is created at once; on failure the object stays empty.
    CPen(int nPenStyle, int nWidth, COLORREF crColor);
    static CPen* PASCAL FromHandle(HPEN hPen);
    operator HPEN() const noexcept { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
    BOOL CreatePenIndirect(LPLOGPEN lpLogPen);
    int GetLogPen(LOGPEN* pLogPen) const;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    // A solid brush, created at once; on failure the object stays empty.
    explicit CBrush(COLORREF crColor);
    static CBrush* PASCAL FromHandle(HBRUSH hBrush);
    operator HBRUSH() const noexcept { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
    int GetLogBrush(LOGBRUSH* pLogBrush) const;
};

class CFont : public CGdiObject {
public:
    CFont() = default;
    static CFont* PASCAL FromHandle(HFONT hFont);
    operator HFONT() const noexcept { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTW* lpLogFont);
    BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                    BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                    BYTE nQuality, BYTE nPitchAndFamily, LPCWSTR lpszFacename);
    // A font of nPointSize tenths of a point, for pDC (the screen when null).
    BOOL CreatePointFont(int nPointSize, LPCWSTR lpszFaceName, CDC* pDC = nullptr);
    int GetLogFont(LOGFONTW* pLogFont) const;
};

class CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    static CBitmap* PASCAL FromHandle(HBITMAP hBitmap);
    operator HBITMAP() const noexcept { return static_cast<HBITMAP>(m_hObject); }
    BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
    BOOL CreateBitmapIndirect(LPBITMAP lpBitmap);
    BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    int GetBitmap(BITMAP* pBitMap) const;
    DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const;
};

// Regions can be named (RedrawWindow takes one) but the platform offers no
// calls that create them.
class CRgn : public CGdiObject {
public:
    CRgn() = default;
    static CRgn* PASCAL FromHandle(HRGN hRgn);
    operator HRGN() const noexcept { return static_cast<HRGN>(m_hObject); }
};
