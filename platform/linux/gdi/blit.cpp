// Block transfers: BitBlt and PatBlt with ternary raster operations,
// clipped to both bitmaps and correct when source and destination overlap
// in the same bitmap (a chart scrolls by copying its bitmap onto itself).

#include "draw_target.h"
#include "raster.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace host::gdi {

namespace {

unsigned Rop3(DWORD rop) { return (rop >> 16) & 0xFFu; }
bool UsesSource(DWORD rop) { return ((Rop3(rop) >> 2) & 0x33u) != (Rop3(rop) & 0x33u); }
bool UsesPattern(DWORD rop) { return ((Rop3(rop) >> 4) & 0x0Fu) != (Rop3(rop) & 0x0Fu); }

// The ternary operation as a truth table over (P, S, D): bit (P<<2 | S<<1 | D)
// of the code is the result for those inputs, for each bit of the pixel.
std::uint32_t Evaluate(unsigned code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    std::uint32_t result = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((code >> i) & 1u)) continue;
        result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return result & 0x00FFFFFFu;
}

// Applies `combine(d, s)` over `rows` x `cols` pixels; the rows are visited
// in the order that keeps an overlapping source intact.
template <class Combine>
void CombineRows(const Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int cols, int rows,
                 Combine combine) {
    const bool upward = dst.SameMemory(src) && dy > sy;
    for (int i = 0; i < rows; ++i) {
        const int r = upward ? rows - 1 - i : i;
        std::uint32_t* d = dst.Row(dy + r) + dx;
        const std::uint32_t* s = src.Row(sy + r) + sx;
        if (dst.SameMemory(src) && dy == sy && dx > sx) {
            for (int c = cols - 1; c >= 0; --c) d[c] = combine(d[c], s[c]);  // same row, moving right
        } else {
            for (int c = 0; c < cols; ++c) d[c] = combine(d[c], s[c]);
        }
    }
}

void Transfer(unsigned code, std::uint32_t pattern, const Surface& dst, int dx, int dy, const Surface& src, int sx,
              int sy, int cols, int rows) {
    auto run = [&](auto combine) { CombineRows(dst, dx, dy, src, sx, sy, cols, rows, combine); };
    constexpr std::uint32_t kRgb = 0x00FFFFFFu;
    switch (code) {
        case 0xCC: {  // SRCCOPY
            const bool upward = dst.SameMemory(src) && dy > sy;
            for (int i = 0; i < rows; ++i) {
                const int r = upward ? rows - 1 - i : i;
                std::memmove(dst.Row(dy + r) + dx, src.Row(sy + r) + sx, cols * sizeof(std::uint32_t));
            }
            return;
        }
        case 0xEE: return run([](std::uint32_t d, std::uint32_t s) { return (s | d) & kRgb; });  // SRCPAINT
        case 0x88: return run([](std::uint32_t d, std::uint32_t s) { return s & d & kRgb; });    // SRCAND
        case 0x66: return run([](std::uint32_t d, std::uint32_t s) { return (s ^ d) & kRgb; });  // SRCINVERT
        case 0x33: return run([](std::uint32_t, std::uint32_t s) { return ~s & kRgb; });         // NOTSRCCOPY
        default:
            return run([code, pattern](std::uint32_t d, std::uint32_t s) { return Evaluate(code, pattern, s, d); });
    }
}

// A source block copied aside, for a stretch within one bitmap.
struct Snapshot {
    std::vector<std::uint32_t> pixels;
    Surface surface;
};

Snapshot TakeSnapshot(const Surface& src, const RECT& r) {
    Snapshot snap;
    const int w = r.right - r.left, h = r.bottom - r.top;
    snap.pixels.resize(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        std::memcpy(snap.pixels.data() + static_cast<std::size_t>(y) * w, src.Row(r.top + y) + r.left,
                    w * sizeof(std::uint32_t));
    }
    snap.surface = Surface{snap.pixels.data(), w, h, w};
    return snap;
}

// Source and destination of different device sizes (their mappings
// differ): each destination pixel takes its nearest source pixel.
void StretchTransfer(unsigned code, std::uint32_t pattern, const DrawTarget& dst, const RECT& dstRect,
                     const Surface& source, const RECT& srcRect) {
    const RECT visible = Intersect(dstRect, dst.clip);
    const RECT srcVisible = Intersect(srcRect, source.Bounds());
    if (EmptyRect(visible) || EmptyRect(srcVisible)) return;
    const Snapshot snap = TakeSnapshot(source, srcVisible);
    const long long dw = dstRect.right - dstRect.left, dh = dstRect.bottom - dstRect.top;
    const long long sw = srcRect.right - srcRect.left, sh = srcRect.bottom - srcRect.top;
    for (int y = visible.top; y < visible.bottom; ++y) {
        const long long sy = srcRect.top + ((2LL * (y - dstRect.top) + 1) * sh) / (2 * dh);
        if (sy < srcVisible.top || sy >= srcVisible.bottom) continue;
        const std::uint32_t* row = snap.surface.Row(static_cast<int>(sy - srcVisible.top));
        std::uint32_t* out = dst.surface.Row(y);
        for (int x = visible.left; x < visible.right; ++x) {
            const long long sx = srcRect.left + ((2LL * (x - dstRect.left) + 1) * sw) / (2 * dw);
            if (sx < srcVisible.left || sx >= srcVisible.right) continue;
            out[x] = Evaluate(code, pattern, row[sx - srcVisible.left], out[x]);
        }
    }
}

// The pattern a raster operation reads, or false when the brush is hollow
// (then nothing is drawn, as with a null brush in Win32).
bool PatternPixel(const DcObject& dc, DWORD rop, std::uint32_t* pattern) {
    *pattern = 0;
    if (!UsesPattern(rop)) return true;
    const LOGBRUSH& brush = SelectedBrush(dc).logBrush;
    if (brush.lbStyle == BS_NULL) return false;
    *pattern = PixelOf(brush.lbColor);
    return true;
}

void FillWithRop(const DrawTarget& target, const RECT& deviceRect, DWORD rop, std::uint32_t pattern) {
    const RECT r = Intersect(deviceRect, target.clip);
    if (EmptyRect(r) || target.surface.Empty()) return;
    const unsigned code = Rop3(rop);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = target.surface.Row(y);
        for (int x = r.left; x < r.right; ++x) row[x] = Evaluate(code, pattern, 0, row[x]);
    }
}

}  // namespace

}  // namespace host::gdi

using namespace host::gdi;

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    DrawTarget target;
    if (!OpenTarget(hdc, &target)) return FALSE;
    if (UsesSource(rop)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint32_t pattern = 0;
    if (!PatternPixel(*target.dc, rop, &pattern)) return TRUE;
    // Negative extents reach left of or above (x, y).
    const RECT device = target.Map().ToDeviceRect(ClampedRect(x, y, static_cast<long long>(x) + w,
                                                              static_cast<long long>(y) + h));
    FillWithRop(target, device, rop, pattern);
    return TRUE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    if (!UsesSource(rop)) return PatBlt(hdc, x, y, cx, cy, rop);
    DrawTarget dst, src;
    if (!OpenTarget(hdc, &dst) || !OpenTarget(hdcSrc, &src)) return FALSE;
    std::uint32_t pattern = 0;
    if (!PatternPixel(*dst.dc, rop, &pattern)) return TRUE;
    // Negative extents count back from the corner, in both bitmaps alike.
    long long dx = x, dy = y, sx = x1, sy = y1, w = cx, h = cy;
    if (w < 0) {
        dx += w;
        sx += w;
        w = -w;
    }
    if (h < 0) {
        dy += h;
        sy += h;
        h = -h;
    }
    const RECT dstRect = dst.Map().ToDeviceRect(ClampedRect(dx, dy, dx + w, dy + h));
    const RECT srcRect = src.Map().ToDeviceRect(ClampedRect(sx, sy, sx + w, sy + h));
    if (dst.surface.Empty() || src.surface.Empty() || EmptyRect(dstRect)) return TRUE;
    const long long dstW = static_cast<long long>(dstRect.right) - dstRect.left;
    const long long dstH = static_cast<long long>(dstRect.bottom) - dstRect.top;
    if (dstW != static_cast<long long>(srcRect.right) - srcRect.left ||
        dstH != static_cast<long long>(srcRect.bottom) - srcRect.top) {
        StretchTransfer(Rop3(rop), pattern, dst, dstRect, src.surface, srcRect);
        return TRUE;
    }
    // Clip the destination to its bitmap and to where the source has pixels.
    const long long offX = static_cast<long long>(srcRect.left) - dstRect.left;
    const long long offY = static_cast<long long>(srcRect.top) - dstRect.top;
    const RECT srcInDst = ClampedRect(src.clip.left - offX, src.clip.top - offY, src.clip.right - offX,
                                      src.clip.bottom - offY);
    const RECT visible = Intersect(Intersect(dstRect, dst.clip), srcInDst);
    if (EmptyRect(visible)) return TRUE;
    Transfer(Rop3(rop), pattern, dst.surface, visible.left, visible.top, src.surface,
             static_cast<int>(visible.left + offX), static_cast<int>(visible.top + offY),
             visible.right - visible.left, visible.bottom - visible.top);
    return TRUE;
}
