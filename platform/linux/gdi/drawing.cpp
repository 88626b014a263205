// Lines, polygons, rectangles and single pixels, and the window system's
// rectangle fills (FillRect, FrameRect), all in Win32's pixel rules.

#include "draw_target.h"
#include "lines.h"
#include "raster.h"

#include <windows.h>

#include <functional>
#include <vector>

namespace host::gdi {

namespace {

std::function<COLORREF(int)>& SysColorProvider() {
    static std::function<COLORREF(int)> provider;
    return provider;
}

// The highest system colour index FillRect accepts as (HBRUSH)(index + 1).
constexpr UINT_PTR kMaxSysColor = 30;

struct BrushPaint {
    bool hollow = false;
    std::uint32_t pixel = 0;
};

// A brush handle, or a system colour index + 1 in its place.
bool ResolveBrush(HBRUSH brush, BrushPaint* paint) {
    const auto value = reinterpret_cast<UINT_PTR>(brush);
    if (value >= 1 && value <= kMaxSysColor + 1) {
        const auto& provider = SysColorProvider();
        if (!provider) return false;
        paint->pixel = PixelOf(provider(static_cast<int>(value - 1)));
        return true;
    }
    auto* object = FindTyped<BrushObject>(brush, OBJ_BRUSH);
    if (!object) return false;
    paint->hollow = object->logBrush.lbStyle == BS_NULL;
    paint->pixel = PixelOf(object->logBrush.lbColor);
    return true;
}

// Fills a logical rectangle as PatBlt with PATCOPY does: the device
// rectangle between its corners, right column and bottom row left out.
void PaintLogicalRect(const DrawTarget& target, const RECT& r, const BrushPaint& paint) {
    if (paint.hollow) return;
    FillDeviceRect(target.surface, target.clip, target.Map().ToDeviceRect(r), RopMasks{0, paint.pixel});
}

std::vector<POINT> ToDevice(const DrawTarget& target, const POINT* points, int count) {
    std::vector<POINT> device(points, points + count);
    for (POINT& p : device) p = target.Map().ToDevice(p);
    return device;
}

// The brush of the DC in its raster operation, or null for a hollow brush.
bool BrushMasks(const DrawTarget& target, RopMasks* masks) {
    const LOGBRUSH& brush = SelectedBrush(*target.dc).logBrush;
    if (brush.lbStyle == BS_NULL) return false;
    *masks = MasksFor(target.State().rop2, PixelOf(brush.lbColor));
    return true;
}

}  // namespace

void SetSysColorProvider(std::function<COLORREF(int index)> provider) { SysColorProvider() = std::move(provider); }

}  // namespace host::gdi

using namespace host::gdi;

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (lppt) *lppt = dc->state.currentPosition;
    dc->state.currentPosition = POINT{x, y};
    return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (!lppt) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lppt = dc->state.currentPosition;
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return FALSE;
    const POINT ends[2] = {target.Map().ToDevice(target.State().currentPosition), target.ToDevice(x, y)};
    StrokeWithPen(target, ends, 2, false);
    target.dc->state.currentPosition = POINT{x, y};
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return FALSE;
    if (!apt || cpt < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::vector<POINT> device = ToDevice(target, apt, cpt);
    StrokeWithPen(target, device.data(), cpt, false);
    return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return FALSE;
    if (!apt || cpt < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::vector<POINT> device = ToDevice(target, apt, cpt);
    RopMasks fill;
    if (BrushMasks(target, &fill)) {
        FillPolygonInterior(target.surface, target.clip, device.data(), cpt, target.State().polyFillMode, fill);
    }
    StrokeWithPen(target, device.data(), cpt, true);  // the outline, closing edge included
    return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return FALSE;
    RECT r = target.Map().ToDeviceRect(RECT{left, top, right, bottom});
    if (r.left == r.right || r.top == r.bottom) return TRUE;
    const LOGPEN& pen = SelectedPen(*target.dc).logPen;
    const int width = pen.lopnStyle == PS_NULL ? 0 : DevicePenWidth(*target.dc, pen);
    if (pen.lopnStyle == PS_INSIDEFRAME) {  // the whole pen stays inside the rectangle
        r.left += width / 2;
        r.top += width / 2;
        r.right -= (width - 1) / 2;
        r.bottom -= (width - 1) / 2;
    }
    // The outline runs through the rectangle's last column and row.
    --r.right;
    --r.bottom;
    RopMasks fill;
    if (BrushMasks(target, &fill)) {
        const RECT inner{r.left + (width + 1) / 2, r.top + (width + 1) / 2, r.right - width / 2, r.bottom - width / 2};
        FillDeviceRect(target.surface, target.clip, inner, fill);
    }
    const POINT outline[4] = {{r.right, r.top}, {r.left, r.top}, {r.left, r.bottom}, {r.right, r.bottom}};
    StrokeWithPen(target, outline, 4, true);
    return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return CLR_INVALID;
    const POINT p = target.ToDevice(x, y);
    if (target.surface.Empty() || p.x < target.clip.left || p.x >= target.clip.right || p.y < target.clip.top ||
        p.y >= target.clip.bottom) {
        return CLR_INVALID;
    }
    target.surface.Row(p.y)[p.x] = PixelOf(color);
    return color & 0x00FFFFFFu;  // the colour the pixel really got
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return CLR_INVALID;
    const POINT p = target.ToDevice(x, y);
    if (target.surface.Empty() || p.x < 0 || p.x >= target.surface.width || p.y < 0 ||
        p.y >= target.surface.height) {
        return CLR_INVALID;
    }
    return host::ColorFromPixel(target.surface.Row(p.y)[p.x] & 0x00FFFFFFu);
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    DrawTarget target;
    if (!OpenTarget(hDC, &target)) return 0;
    BrushPaint paint;
    if (!lprc || !ResolveBrush(hbr, &paint)) {
        SetLastError(lprc ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    PaintLogicalRect(target, *lprc, paint);
    return 1;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    DrawTarget target;
    if (!OpenTarget(hDC, &target)) return 0;
    BrushPaint paint;
    if (!lprc || !ResolveBrush(hbr, &paint)) {
        SetLastError(lprc ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    const RECT& r = *lprc;
    if (r.right <= r.left || r.bottom <= r.top) return 0;
    // Four one-unit strips: left, right, top, bottom.
    PaintLogicalRect(target, RECT{r.left, r.top, r.left + 1, r.bottom}, paint);
    PaintLogicalRect(target, RECT{r.right - 1, r.top, r.right, r.bottom}, paint);
    PaintLogicalRect(target, RECT{r.left, r.top, r.right, r.top + 1}, paint);
    PaintLogicalRect(target, RECT{r.left, r.bottom - 1, r.right, r.bottom}, paint);
    return TRUE;
}
