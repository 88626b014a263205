// Pens, brushes and fonts, and the calls common to every GDI object:
// DeleteObject, GetObjectW, GetObjectType and GetStockObject.

#include "gdi_objects.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

using namespace host::gdi;

namespace {

template <class T>
int CopyOut(const T& value, int size, LPVOID out) {
    const int n = std::min<int>(size, sizeof(T));
    std::memcpy(out, &value, n);
    return n;
}

int BitmapInfo(const BitmapObject& bitmap, int size, LPVOID out) {
    if (!out) return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP bm{};
    bm.bmWidth = bitmap.buffer.width;
    bm.bmHeight = bitmap.buffer.height;
    bm.bmWidthBytes = bitmap.buffer.width * 4;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 32;
    bm.bmBits = bitmap.dibSection ? const_cast<std::uint32_t*>(bitmap.buffer.pixels.data()) : nullptr;
    std::memcpy(out, &bm, sizeof bm);
    return sizeof(BITMAP);
}

}  // namespace

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
    if (!plpen) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGPEN pen = *plpen;
    switch (pen.lopnStyle) {
        case PS_SOLID:
        case PS_DASH:
        case PS_DOT:
        case PS_DASHDOT:
        case PS_DASHDOTDOT:
        case PS_INSIDEFRAME: break;
        case PS_NULL:
            pen.lopnWidth = {1, 0};
            pen.lopnColor = 0;
            break;
        default:  // geometric styles and user dashes need ExtCreatePen
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
    pen.lopnWidth.x = std::abs(pen.lopnWidth.x);
    pen.lopnWidth.y = 0;
    return static_cast<HPEN>(AddObject(std::make_unique<PenObject>(pen)));
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    const LOGPEN pen{static_cast<UINT>(iStyle), {cWidth, 0}, color};
    return CreatePenIndirect(&pen);
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
    if (!plbrush) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Solid and hollow brushes only: hatched and pattern brushes are not
    // part of this host and fail as an unknown style does.
    if (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGBRUSH brush = *plbrush;
    if (brush.lbStyle == BS_NULL) brush.lbColor = 0;
    brush.lbHatch = 0;
    return static_cast<HBRUSH>(AddObject(std::make_unique<BrushObject>(brush)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    const LOGBRUSH brush{BS_SOLID, color, 0};
    return CreateBrushIndirect(&brush);
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTW font = *lplf;
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return static_cast<HFONT>(AddObject(std::make_unique<FontObject>(font)));
}

HFONT WINAPI CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,
                         DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
    LOGFONTW lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic);
    lf.lfUnderline = static_cast<BYTE>(bUnderline);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) std::wcsncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&lf);
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    GdiObject* object = FindObject(ho);
    if (!object || object->type == kObjIcon) return FALSE;  // icons go with DestroyIcon
    if (object->stock) return TRUE;                         // stock objects stay
    if (object->type == OBJ_DC) return TRUE;                // a window's DC stays until released
    if (object->type == OBJ_MEMDC) return DeleteDC(static_cast<HDC>(ho));
    if (object->selections > 0) {
        // Win32 defers the deletion until the last DC lets go of the object.
        object->deletePending = true;
        return TRUE;
    }
    RemoveObject(ho);
    return TRUE;
}

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    GdiObject* object = FindObject(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (c < 0 && pv) return 0;
    switch (object->type) {
        case OBJ_PEN:
            if (!pv) return sizeof(LOGPEN);
            if (c < static_cast<int>(sizeof(LOGPEN))) return 0;
            return CopyOut(static_cast<PenObject*>(object)->logPen, c, pv);
        case OBJ_BRUSH:
            return pv ? CopyOut(static_cast<BrushObject*>(object)->logBrush, c, pv) : sizeof(LOGBRUSH);
        case OBJ_FONT:
            return pv ? CopyOut(static_cast<FontObject*>(object)->logFont, c, pv) : sizeof(LOGFONTW);
        case OBJ_BITMAP: return BitmapInfo(*static_cast<BitmapObject*>(object), c, pv);
        case OBJ_PAL: {
            const WORD entries = 20;  // the default palette's system colours
            return pv ? CopyOut(entries, c, pv) : sizeof(WORD);
        }
        default: return 0;  // DCs and icons have no object description
    }
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    GdiObject* object = FindObject(h);
    if (!object || object->type == kObjIcon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return object->type;
}

HGDIOBJ WINAPI GetStockObject(int i) { return StockObject(i); }
