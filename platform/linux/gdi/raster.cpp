#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace host::gdi {

namespace {

using i64 = long long;
// Products of two 32-bit coordinate differences need more than 64 bits.
using i128 = __int128;

i128 FloorDiv(i128 a, i128 b) {  // b > 0
    i128 q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return q;
}

i128 CeilDiv(i128 a, i128 b) { return -FloorDiv(-a, b); }  // b > 0

// Octants numbered clockwise from the positive x axis (y grows downward),
// as the Win32 line rasteriser classifies them.
int OctantOf(i64 dx, i64 dy) {
    if (dy > 0) {
        if (dx > 0) return dx > dy ? 1 : 2;
        return -dx > dy ? 4 : 3;
    }
    if (dx < 0) return -dx > -dy ? 5 : 6;
    return dx > -dy ? 8 : 7;
}

bool InOctants(int octant, unsigned mask) { return (mask >> (octant - 1)) & 1u; }

}  // namespace

RopMasks MasksFor(int rop2, std::uint32_t pixel) {
    // rop2 - 1 is a truth table indexed by (P << 1) | D.
    const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xFu;
    auto bit = [table](int p, int d) { return (table >> ((p << 1) | d)) & 1u; };
    const std::uint32_t p = pixel & 0x00FFFFFFu, notP = ~pixel & 0x00FFFFFFu;
    RopMasks masks;
    // result = D ? t1 : t0  ==  (D & (t0 ^ t1)) ^ t0, per bit of P.
    masks.andMask = ((bit(1, 0) ^ bit(1, 1)) ? p : 0) | ((bit(0, 0) ^ bit(0, 1)) ? notP : 0);
    masks.xorMask = (bit(1, 0) ? p : 0) | (bit(0, 0) ? notP : 0);
    return masks;
}

void FillDeviceRect(const Surface& surface, const RECT& clip, RECT r, RopMasks masks) {
    if (surface.Empty()) return;
    r = Intersect(Intersect(r, clip), surface.Bounds());
    if (EmptyRect(r)) return;
    const bool plainCopy = masks.andMask == 0;
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = surface.Row(y);
        if (plainCopy) {
            std::fill(row + r.left, row + r.right, masks.xorMask);
        } else {
            for (int x = r.left; x < r.right; ++x) ApplyMasks(row[x], masks);
        }
    }
}

int LinePixelCount(POINT from, POINT to) {
    const i64 dx = std::llabs(static_cast<i64>(to.x) - from.x);
    const i64 dy = std::llabs(static_cast<i64>(to.y) - from.y);
    return static_cast<int>(std::min<i64>(std::max(dx, dy), 0x7FFFFFFF));
}

void TraceLine(POINT from, POINT to, const RECT& clip, const std::function<void(int, int, int)>& plot) {
    const i64 sdx = static_cast<i64>(to.x) - from.x, sdy = static_cast<i64>(to.y) - from.y;
    if (sdx == 0 && sdy == 0) return;
    const int octant = OctantOf(sdx, sdy);
    const bool xMajor = InOctants(octant, 0x99);
    const int bias = InOctants(octant, 0xB4) ? 1 : 0;  // octants 3, 5, 6 and 8 break ties the other way
    const int xInc = InOctants(octant, 0xC3) ? 1 : -1;
    const int yInc = InOctants(octant, 0x0F) ? 1 : -1;
    const i64 major = xMajor ? std::llabs(sdx) : std::llabs(sdy);
    const i64 minor = xMajor ? std::llabs(sdy) : std::llabs(sdx);
    const i64 majorStart = xMajor ? from.x : from.y, minorStart = xMajor ? from.y : from.x;
    const int majorInc = xMajor ? xInc : yInc, minorInc = xMajor ? yInc : xInc;
    const i64 clipLo = xMajor ? clip.left : clip.top, clipHi = xMajor ? clip.right : clip.bottom;
    const i64 minorLo = xMajor ? clip.top : clip.left, minorHi = xMajor ? clip.bottom : clip.right;

    // Steps whose major coordinate lies inside the clip.
    i64 first = 0, last = major;  // half-open
    if (majorInc > 0) {
        first = std::max<i64>(first, clipLo - majorStart);
        last = std::min<i64>(last, clipHi - majorStart);
    } else {
        first = std::max<i64>(first, majorStart - (clipHi - 1));
        last = std::min<i64>(last, majorStart - clipLo + 1);
    }
    if (first >= last) return;

    // Minor offset of pixel i: ceil((2 i minor + bias - major) / (2 major)),
    // the closed form of the error-term loop below.
    const i128 n0 = CeilDiv(i128{2} * first * minor + bias - major, i128{2} * major);
    i64 n = static_cast<i64>(n0);
    i64 err = static_cast<i64>(i128{2} * minor - major + i128{2} * first * minor - i128{2} * n0 * major);
    for (i64 i = first; i < last; ++i) {
        const i64 mj = majorStart + i * majorInc, mn = minorStart + n * minorInc;
        if (mn >= minorLo && mn < minorHi) {
            plot(static_cast<int>(xMajor ? mj : mn), static_cast<int>(xMajor ? mn : mj), static_cast<int>(i));
        }
        if (err + bias > 0) {
            ++n;
            err += 2 * minor - 2 * major;
        } else {
            err += 2 * minor;
        }
    }
}

void ForEachPolygonSpan(const POINT* points, int count, int fillMode, const RECT& clip,
                        const std::function<void(int, int, int)>& span) {
    if (count < 3) return;
    struct Edge {
        i64 x1, y1, x2, y2;  // y1 < y2
        int direction;
    };
    std::vector<Edge> edges;
    edges.reserve(count);
    i64 top = points[0].y, bottom = points[0].y;
    for (int i = 0; i < count; ++i) {
        const POINT a = points[i], b = points[(i + 1) % count];
        top = std::min<i64>(top, a.y);
        bottom = std::max<i64>(bottom, a.y);
        if (a.y == b.y) continue;  // horizontal edges bound no span
        if (a.y < b.y) edges.push_back({a.x, a.y, b.x, b.y, 1});
        else edges.push_back({b.x, b.y, a.x, a.y, -1});
    }
    top = std::max<i64>(top, clip.top);
    bottom = std::min<i64>(bottom, clip.bottom);

    struct Crossing {
        i64 x;
        int direction;
    };
    std::vector<Crossing> crossings;
    for (i64 y = top; y < bottom; ++y) {
        crossings.clear();
        for (const Edge& e : edges) {
            if (y < e.y1 || y >= e.y2) continue;  // top row in, bottom row out
            // The first pixel whose centre lies at or right of the edge.
            const i64 x = e.x1 + static_cast<i64>(CeilDiv(i128{y - e.y1} * (e.x2 - e.x1), e.y2 - e.y1));
            crossings.push_back({x, e.direction});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        auto emit = [&](i64 left, i64 right) {
            left = std::max<i64>(left, clip.left);
            right = std::min<i64>(right, clip.right);
            if (left < right) span(static_cast<int>(y), static_cast<int>(left), static_cast<int>(right));
        };
        if (fillMode == WINDING) {
            int winding = 0;
            i64 start = 0;
            for (const Crossing& c : crossings) {
                const int before = winding;
                winding += c.direction;
                if (before == 0 && winding != 0) start = c.x;
                else if (before != 0 && winding == 0) emit(start, c.x);
            }
        } else {
            for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) emit(crossings[i].x, crossings[i + 1].x);
        }
    }
}

void FillPolygonInterior(const Surface& surface, const RECT& clip, const POINT* points, int count, int fillMode,
                         RopMasks masks) {
    if (surface.Empty()) return;
    const RECT bounds = Intersect(clip, surface.Bounds());
    ForEachPolygonSpan(points, count, fillMode, bounds, [&](int y, int left, int right) {
        FillDeviceRect(surface, bounds, RECT{left, y, right, y + 1}, masks);
    });
}

namespace {

// Offsets of the pixels a round pen tip `width` pixels across covers.
std::vector<POINT> PenTip(int width) {
    std::vector<POINT> tip;
    const double radius = width / 2.0;
    const double centre = (width % 2) ? 0.0 : -0.5;  // even tips sit between pixels
    const int lo = -(width / 2), hi = lo + width - 1;
    for (int dy = lo; dy <= hi; ++dy) {
        for (int dx = lo; dx <= hi; ++dx) {
            const double ox = dx - centre, oy = dy - centre;
            if (ox * ox + oy * oy <= radius * radius + 0.25) tip.push_back({dx, dy});
        }
    }
    return tip;
}

}  // namespace

void StrokeWide(const Surface& surface, const RECT& clip, const POINT* points, int count, bool closed, int width,
                RopMasks masks) {
    if (surface.Empty() || count < 1) return;
    const RECT area = Intersect(clip, surface.Bounds());
    if (EmptyRect(area)) return;
    const std::vector<POINT> tip = PenTip(width);
    // Collect the stroke first so that overlapping stamps paint each pixel
    // once (an XOR pen must not cancel itself out at the joins).
    const int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(w) * h, 0);
    auto stamp = [&](int x, int y) {
        for (const POINT& o : tip) {
            const i64 px = static_cast<i64>(x) + o.x, py = static_cast<i64>(y) + o.y;
            if (px >= area.left && px < area.right && py >= area.top && py < area.bottom) {
                mask[static_cast<std::size_t>(py - area.top) * w + (px - area.left)] = 1;
            }
        }
    };
    const RECT reach = {area.left - width, area.top - width, area.right + width, area.bottom + width};
    const int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const POINT a = points[i], b = points[(i + 1) % count];
        TraceLine(a, b, reach, [&](int x, int y, int) { stamp(x, y); });
    }
    for (int i = 0; i < count; ++i) {
        if (points[i].x >= reach.left && points[i].x < reach.right && points[i].y >= reach.top &&
            points[i].y < reach.bottom) {
            stamp(points[i].x, points[i].y);  // the ends and joins are round
        }
    }
    for (int y = 0; y < h; ++y) {
        std::uint32_t* row = surface.Row(area.top + y);
        for (int x = 0; x < w; ++x) {
            if (mask[static_cast<std::size_t>(y) * w + x]) ApplyMasks(row[area.left + x], masks);
        }
    }
}

}  // namespace host::gdi
