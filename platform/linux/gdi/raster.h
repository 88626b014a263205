#pragma once
// Pixel-exact primitives in device coordinates, clipped to a device
// rectangle: rectangle fills, cosmetic lines (Bresenham with the tie-breaking
// of Win32, end point left out), polygon interiors (pixel centres inside,
// top and left edges in, bottom and right edges out) and wide strokes.

#include "surface.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace host::gdi {

// Every binary raster operation (R2_*) with a fixed colour P reduces to
// dst = (dst & andMask) ^ xorMask.
struct RopMasks {
    std::uint32_t andMask = 0;
    std::uint32_t xorMask = 0;
};
RopMasks MasksFor(int rop2, std::uint32_t pixel);

inline void ApplyMasks(std::uint32_t& pixel, RopMasks masks) {
    pixel = ((pixel & masks.andMask) ^ masks.xorMask) & 0x00FFFFFFu;
}

// Fills the half-open rectangle `r`, clipped to `clip` and the surface.
void FillDeviceRect(const Surface& surface, const RECT& clip, RECT r, RopMasks masks);

// Calls `plot(x, y, step)` for each pixel of the line from `from` to `to`,
// the end point excluded, that lies inside `clip`; `step` counts pixels from
// the start (dashes use it). Horizontal and vertical lines included.
void TraceLine(POINT from, POINT to, const RECT& clip, const std::function<void(int, int, int)>& plot);
// The number of pixels a line has (its length along the major axis).
int LinePixelCount(POINT from, POINT to);

// Fills the interior of a closed polygon by ALTERNATE or WINDING.
void FillPolygonInterior(const Surface& surface, const RECT& clip, const POINT* points, int count, int fillMode,
                         RopMasks masks);

// Calls `span(y, left, right)` for each half-open run of interior pixels.
void ForEachPolygonSpan(const POINT* points, int count, int fillMode, const RECT& clip,
                        const std::function<void(int, int, int)>& span);

// A geometric pen `width` pixels wide with round ends and joins, along
// the given points (closed: back to the first). Each pixel is painted once.
void StrokeWide(const Surface& surface, const RECT& clip, const POINT* points, int count, bool closed, int width,
                RopMasks masks);

}  // namespace host::gdi
