#pragma once
// The RAM usage chart's two layouts (names and colours of their traces) and
// the arithmetic that turns page counts into bands and stacked values.

#include <afxwin.h>

namespace ram_chart {

constexpr int kFullTraceCount = 18;
constexpr int kBasicTraceCount = 4;
// The reduced feed's figures in the full layout.
constexpr int kReducedValueCount = 6;

struct TraceStyle {
    const wchar_t* name;
    COLORREF trace;
    COLORREF legendText;
};
// Bottom of the stack first.
extern const TraceStyle kFullLayout[kFullTraceCount];
extern const TraceStyle kBasicLayout[kBasicTraceCount];

// The page counts of one refresh that the full layout shows.
struct PageFigures {
    ULONG available = 0, physical = 0, bad = 0;
    ULONG targetWs = 0, systemWs = 0, compressionWs = 0;
    ULONG cacheResident = 0, zeroed = 0, free = 0, modified = 0, modifiedNoWrite = 0;
    ULONG standby[8] = {};  // by priority, 0 (idle) to 7
};

// The 18 bands in pages, bottom first. Band 0 is what remains of the used
// pages after the six named used parts; when those parts add up to more
// than the used pages (their figures are taken at slightly different
// moments) it is 0 rather than a wrapped, huge count.
void FullBands(const PageFigures& figures, ULONGLONG bands[kFullTraceCount]);

// Megabytes (pages ÷ 256) stacked: value i = value i − 1 + band i.
void StackMegabytes(const ULONGLONG* bands, int count, double* values);

// The basic layout's four stacked values, in megabytes: used without the
// cache, used, used plus the cache's standby part, all physical memory.
// Formed in signed arithmetic: a figure that does not fit shows as a band
// below the axis (clamped by the chart), not as a wrapped count.
void BasicValues(ULONG available, ULONG physical, ULONG cacheResident, ULONG cacheCurrent,
                 double values[kBasicTraceCount]);

// The reduced feed in the full layout: six values, in megabytes, for traces
// 0 to 5 (used without the cache, used, then the three standby counters
// stacked on it, and all physical memory). Traces 6 to 17 repeat the last
// value: they lie flat at the top of the stack, so nothing false is drawn
// for figures the reduced feed does not have.
void ReducedFullValues(ULONG available, ULONG physical, ULONG cacheResident, ULONG standbyCore,
                       ULONG standbyNormal, ULONG standbyReserve, double values[kFullTraceCount]);

}  // namespace ram_chart
