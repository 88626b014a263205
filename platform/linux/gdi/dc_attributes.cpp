// A DC's attributes: colours and modes, the coordinate mapping, device
// capabilities and the clip box.

#include "draw_target.h"

#include "host/machine.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace host::gdi {

namespace {

std::function<int()>& ScreenDpiProvider() {
    static std::function<int()> provider;
    return provider;
}

// Sets one attribute of the DC's state and answers the previous value, or
// `failure` for a bad DC.
template <class T>
T Exchange(HDC hdc, T DcState::*member, T value, T failure) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return failure;
    const T previous = dc->state.*member;
    dc->state.*member = value;
    return previous;
}

template <class T>
T Read(HDC hdc, T DcState::*member, T failure) {
    DcObject* dc = FindDc(hdc);
    return dc ? dc->state.*member : failure;
}

bool IsScalableMode(int mode) { return mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC; }

}  // namespace

void SetScreenDpiProvider(std::function<int()> provider) { ScreenDpiProvider() = std::move(provider); }

int DeviceDpi() {
    if (const int dpi = ActiveMachine().DotsPerInch(); dpi > 0) return dpi;
    if (const auto& provider = ScreenDpiProvider()) {
        if (const int dpi = provider(); dpi > 0) return dpi;
    }
    return 96;
}

int DevicePenWidth(const DcObject& dc, const LOGPEN& pen) {
    if (pen.lopnWidth.x <= 1) return 1;
    const double scaled = pen.lopnWidth.x * std::abs(dc.state.mapping.ScaleX());
    return scaled < 1.0 ? 1 : static_cast<int>(scaled + 0.5);
}

}  // namespace host::gdi

using namespace host::gdi;

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) { return Exchange(hdc, &DcState::bkColor, color, CLR_INVALID); }
COLORREF WINAPI GetBkColor(HDC hdc) { return Read(hdc, &DcState::bkColor, CLR_INVALID); }
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    return Exchange(hdc, &DcState::textColor, color, CLR_INVALID);
}
COLORREF WINAPI GetTextColor(HDC hdc) { return Read(hdc, &DcState::textColor, CLR_INVALID); }
UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
    return Exchange(hdc, &DcState::textAlign, align, static_cast<UINT>(GDI_ERROR));
}
UINT WINAPI GetTextAlign(HDC hdc) { return Read(hdc, &DcState::textAlign, static_cast<UINT>(GDI_ERROR)); }

int WINAPI SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Exchange(hdc, &DcState::bkMode, mode, 0);
}
int WINAPI GetBkMode(HDC hdc) { return Read(hdc, &DcState::bkMode, 0); }

int WINAPI SetPolyFillMode(HDC hdc, int mode) {
    if (mode != ALTERNATE && mode != WINDING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Exchange(hdc, &DcState::polyFillMode, mode, 0);
}
int WINAPI GetPolyFillMode(HDC hdc) { return Read(hdc, &DcState::polyFillMode, 0); }

int WINAPI SetROP2(HDC hdc, int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Exchange(hdc, &DcState::rop2, rop2, 0);
}
int WINAPI GetROP2(HDC hdc) { return Read(hdc, &DcState::rop2, 0); }

// ---- mapping -------------------------------------------------------------

int WINAPI SetMapMode(HDC hdc, int iMode) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    if (iMode < MM_TEXT || iMode > MM_ANISOTROPIC) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Mapping& mapping = dc->state.mapping;
    const int previous = mapping.mode;
    if (iMode != previous || !IsScalableMode(iMode)) mapping.SetMode(iMode, DeviceDpi());
    return previous;
}

int WINAPI GetMapMode(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    return dc ? dc->state.mapping.mode : 0;
}

namespace {

// Window and viewport extents change only in the two scalable modes; in the
// others the call succeeds and changes nothing, as in Win32.
BOOL SetExtent(HDC hdc, int x, int y, LPSIZE previous, SIZE Mapping::*extent) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    Mapping& mapping = dc->state.mapping;
    if (previous) *previous = mapping.*extent;
    if (!IsScalableMode(mapping.mode)) return TRUE;
    if (x == 0 || y == 0) return FALSE;
    mapping.*extent = SIZE{x, y};
    if (mapping.mode == MM_ISOTROPIC) mapping.FixIsotropic();
    return TRUE;
}

BOOL SetOrigin(HDC hdc, int x, int y, LPPOINT previous, POINT Mapping::*origin) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (previous) *previous = dc->state.mapping.*origin;
    dc->state.mapping.*origin = POINT{x, y};
    return TRUE;
}

template <class T>
BOOL GetMappingValue(HDC hdc, T* out, T Mapping::*member) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (!out) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *out = dc->state.mapping.*member;
    return TRUE;
}

template <class Convert>
BOOL ConvertPoints(HDC hdc, LPPOINT points, int count, Convert convert) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (count < 0 || (count > 0 && !points)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int i = 0; i < count; ++i) points[i] = convert(dc->state.mapping, points[i]);
    return TRUE;
}

}  // namespace

BOOL WINAPI SetWindowExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
    return SetExtent(hdc, x, y, lpsz, &Mapping::windowExt);
}
BOOL WINAPI SetViewportExtEx(HDC hdc, int x, int y, LPSIZE lpsz) {
    return SetExtent(hdc, x, y, lpsz, &Mapping::viewportExt);
}
BOOL WINAPI SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, x, y, lppt, &Mapping::windowOrg);
}
BOOL WINAPI SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, x, y, lppt, &Mapping::viewportOrg);
}
BOOL WINAPI GetWindowExtEx(HDC hdc, LPSIZE lpsize) { return GetMappingValue(hdc, lpsize, &Mapping::windowExt); }
BOOL WINAPI GetViewportExtEx(HDC hdc, LPSIZE lpsize) {
    return GetMappingValue(hdc, lpsize, &Mapping::viewportExt);
}
BOOL WINAPI GetWindowOrgEx(HDC hdc, LPPOINT lppoint) { return GetMappingValue(hdc, lppoint, &Mapping::windowOrg); }
BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lppoint) {
    return GetMappingValue(hdc, lppoint, &Mapping::viewportOrg);
}

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT lppt, int c) {
    return ConvertPoints(hdc, lppt, c, [](const Mapping& m, POINT p) { return m.ToDevice(p); });
}
BOOL WINAPI DPtoLP(HDC hdc, LPPOINT lppt, int c) {
    return ConvertPoints(hdc, lppt, c, [](const Mapping& m, POINT p) { return m.ToLogical(p); });
}

// ---- capabilities and clipping ---------------------------------------------

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return 0;
    const int dpi = DeviceDpi();
    switch (index) {
        case DRIVERVERSION: return 0x4000;
        case TECHNOLOGY: return DT_RASDISPLAY;
        case HORZRES: return target.surface.width;
        case VERTRES: return target.surface.height;
        case HORZSIZE: return MulDiv(target.surface.width, 254, dpi * 10);   // millimetres
        case VERTSIZE: return MulDiv(target.surface.height, 254, dpi * 10);
        case BITSPIXEL: return 32;
        case PLANES: return 1;
        case NUMCOLORS: return -1;  // more than 256 colours
        case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT;
        case LOGPIXELSX:
        case LOGPIXELSY: return dpi;
        default: return 0;
    }
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return ERROR;
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    if (target.surface.Empty() || EmptyRect(target.clip)) {
        *lprect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    const Mapping& m = target.Map();
    const POINT a = m.ToLogical(POINT{target.clip.left, target.clip.top});
    const POINT b = m.ToLogical(POINT{target.clip.right, target.clip.bottom});
    *lprect = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    return SIMPLEREGION;
}

BOOL WINAPI GdiFlush(void) { return TRUE; }  // drawing is never batched here
