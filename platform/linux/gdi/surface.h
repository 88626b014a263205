#pragma once
// A view of 32-bit pixels that drawing writes to: a window's buffer or a
// bitmap. Rows may run bottom-up in memory (a bottom-up DIB section), so a
// row is found through a signed stride.

#include "gdi_objects.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace host::gdi {

struct Surface {
    std::uint32_t* origin = nullptr;  // pixel (0, 0)
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // pixels from a row to the row below it

    bool Empty() const { return !origin || width <= 0 || height <= 0; }
    std::uint32_t* Row(int y) const { return origin + static_cast<std::ptrdiff_t>(y) * stride; }
    RECT Bounds() const { return {0, 0, width, height}; }
    bool SameMemory(const Surface& other) const { return origin == other.origin; }
};

Surface SurfaceOf(PixelBuffer& buffer);
Surface SurfaceOf(BitmapObject& bitmap);
// What a DC draws on now (empty when it has nothing to draw on).
Surface SurfaceOf(DcObject& dc);

// Rectangle arithmetic on device rectangles (half-open: right and bottom out).
inline bool EmptyRect(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }
// A rectangle from edges that may lie beyond the 32-bit range, held to it.
inline RECT ClampedRect(long long left, long long top, long long right, long long bottom) {
    auto held = [](long long v) { return static_cast<LONG>(std::clamp<long long>(v, -2147483647LL - 1, 2147483647LL)); };
    return {held(left), held(top), held(right), held(bottom)};
}
inline RECT Intersect(const RECT& a, const RECT& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

}  // namespace host::gdi
