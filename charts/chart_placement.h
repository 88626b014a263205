#pragma once
// Where the dialog's charts and their legend labels go, from the dialog's
// outer rectangle in its own client coordinates.

#include <windows.h>

namespace chart_placement {

struct ChartSize {
    int width = 0;
    int height = 0;
};
// The fractions of the dialog's outer width and height, truncated.
ChartSize SizeFor(const RECT& dialog, double widthFraction, double heightFraction);

// The RAM chart: its top at `top` (the RAM progress control's), its right
// 10 pixels inside the dialog's right.
RECT RamChartRect(const RECT& dialog, int top, ChartSize size);
// A lower chart, standing on `bottom`.
RECT LowerChartRect(const RECT& dialog, int bottom, ChartSize size);

// First legend label and the step between labels.
struct LegendSlots {
    RECT first{};
    int step = 0;
};
// The RAM legend: the full layout's 18 labels scale with the display, the
// basic layout's four keep 100 × 20 pixels.
LegendSlots RamLegend(const RECT& chart, int chartHeight, double dpiScale, bool fullLayout);
// The page file legend's three labels.
LegendSlots PageFileLegend(const RECT& chart, int chartHeight, double dpiScale);

}  // namespace chart_placement
