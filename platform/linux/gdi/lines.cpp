#include "lines.h"

#include "raster.h"

#include <array>
#include <vector>

namespace host::gdi {

namespace {

// The dash patterns of cosmetic pens, in pixels: on, off, on, off...
struct DashPattern {
    std::array<int, 6> lengths{};
    int count = 0;
    int total = 0;
};

DashPattern PatternFor(UINT style) {
    DashPattern p;
    switch (style) {
        case PS_DASH: p.lengths = {18, 6}; p.count = 2; break;
        case PS_DOT: p.lengths = {3, 3}; p.count = 2; break;
        case PS_DASHDOT: p.lengths = {9, 6, 3, 6}; p.count = 4; break;
        case PS_DASHDOTDOT: p.lengths = {9, 3, 3, 3, 3, 3}; p.count = 6; break;
        default: return p;
    }
    for (int i = 0; i < p.count; ++i) p.total += p.lengths[i];
    return p;
}

// Whether the pixel `position` pixels into the pattern falls in a dash.
bool InDash(const DashPattern& pattern, long long position) {
    int offset = static_cast<int>(position % pattern.total);
    for (int i = 0; i < pattern.count; ++i) {
        if (offset < pattern.lengths[i]) return i % 2 == 0;
        offset -= pattern.lengths[i];
    }
    return false;
}

void StrokeSolid(const DrawTarget& target, const POINT* points, int count, bool closed, RopMasks masks) {
    const int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        TraceLine(points[i], points[(i + 1) % count], target.clip,
                  [&](int x, int y, int) { ApplyMasks(target.surface.Row(y)[x], masks); });
    }
}

// Dashes continue from one segment to the next; in OPAQUE mode the gaps
// take the background colour.
void StrokeDashed(const DrawTarget& target, const POINT* points, int count, bool closed, const DashPattern& pattern,
                  RopMasks dashMasks, const RopMasks* gapMasks) {
    long long travelled = 0;
    const int segments = closed ? count : count - 1;
    for (int i = 0; i < segments; ++i) {
        const POINT from = points[i], to = points[(i + 1) % count];
        TraceLine(from, to, target.clip, [&](int x, int y, int step) {
            if (InDash(pattern, travelled + step)) ApplyMasks(target.surface.Row(y)[x], dashMasks);
            else if (gapMasks) ApplyMasks(target.surface.Row(y)[x], *gapMasks);
        });
        travelled += LinePixelCount(from, to);
    }
}

}  // namespace

void StrokeWithPen(const DrawTarget& target, const POINT* points, int count, bool closed) {
    if (target.surface.Empty() || count < 2) return;
    const LOGPEN& pen = SelectedPen(*target.dc).logPen;
    if (pen.lopnStyle == PS_NULL) return;
    const DcState& state = target.State();
    const RopMasks masks = MasksFor(state.rop2, PixelOf(pen.lopnColor));
    const int width = DevicePenWidth(*target.dc, pen);
    if (width > 1) {
        // Wide pens are geometric: solid, with round ends and joins.
        StrokeWide(target.surface, target.clip, points, count, closed, width, masks);
        return;
    }
    const DashPattern pattern = PatternFor(pen.lopnStyle);
    if (pattern.count == 0) {
        StrokeSolid(target, points, count, closed, masks);
        return;
    }
    const RopMasks gap = MasksFor(state.rop2, PixelOf(state.bkColor));
    StrokeDashed(target, points, count, closed, pattern, masks, state.bkMode == OPAQUE ? &gap : nullptr);
}

}  // namespace host::gdi
