#include "charts/chart_placement.h"

namespace chart_placement {

ChartSize SizeFor(const RECT& dialog, double widthFraction, double heightFraction) {
    return {static_cast<int>((dialog.right - dialog.left) * widthFraction),
            static_cast<int>((dialog.bottom - dialog.top) * heightFraction)};
}

RECT RamChartRect(const RECT& dialog, int top, ChartSize size) {
    const int right = dialog.right - 10;
    return {right - size.width, top, right, top + size.height};
}

RECT LowerChartRect(const RECT& dialog, int bottom, ChartSize size) {
    const int right = dialog.right - 10;
    return {right - size.width, bottom - size.height, right, bottom};
}

namespace {
LegendSlots ScaledSlots(const RECT& chart, int firstOffset, int step, double dpiScale) {
    LegendSlots slots;
    slots.first.left = chart.left - static_cast<int>(180 * dpiScale);
    slots.first.right = chart.left - 7;
    slots.first.top = chart.top + firstOffset;
    slots.first.bottom = slots.first.top + static_cast<int>(20 * dpiScale);
    slots.step = step;
    return slots;
}
}  // namespace

LegendSlots RamLegend(const RECT& chart, int chartHeight, double dpiScale, bool fullLayout) {
    if (fullLayout) return ScaledSlots(chart, chartHeight / 38, chartHeight / 19, dpiScale);
    LegendSlots slots;
    slots.first = {chart.left - 102, chart.top + chartHeight / 10, chart.left - 2, chart.top + chartHeight / 10 + 20};
    slots.step = chartHeight / 5;
    return slots;
}

LegendSlots PageFileLegend(const RECT& chart, int chartHeight, double dpiScale) {
    return ScaledSlots(chart, chartHeight / 8, chartHeight / 3, dpiScale);
}

}  // namespace chart_placement
