#include "charts/strip_chart_math.h"

#include <cmath>

namespace strip_chart {

double DisplayFactor(int dotsPerInch) {
    const int factor = dotsPerInch / 96;
    return factor < 1 ? 1.0 : static_cast<double>(factor);
}

namespace {
int DigitsOf(double bound) {
    if (bound == 0.0 || !std::isfinite(bound)) return 0;
    return static_cast<int>(std::fabs(std::trunc(std::log10(std::fabs(bound)))));
}

// Conversion of a computed pixel position to int; positions far outside any
// window (a span of 0 gives infinities) are held where int can take them.
int ToPixel(double value) {
    if (std::isnan(value)) return 0;
    if (value > 1e9) return 1000000000;
    if (value < -1e9) return -1000000000;
    return static_cast<int>(value);
}
}  // namespace

int LabelDigits(double lower, double upper) {
    const int a = DigitsOf(upper);
    const int b = DigitsOf(lower);
    return a > b ? a : b;
}

int FrameLeft(int areaLeft, int decimals, double lower, double upper, double factor) {
    return ToPixel(areaLeft + 6.0 * (decimals + 4 + LabelDigits(lower, upper)) * factor);
}

FrameRows FrameTopBottom(bool topDown, int areaBottom, double factor) {
    if (topDown) return {ToPixel(15.0 * factor + 10.0), areaBottom - 10};
    return {10, ToPixel(areaBottom - 10 - 15.0 * factor)};
}

int LabelRow(int index, int count, int top, int bottom, bool topDown) {
    const int plotHeight = bottom - top;
    const int offset = count > 1 ? index * plotHeight / (count - 1) : 0;
    return topDown ? bottom - offset : top + offset;
}

double LabelValue(int index, int count, double lower, double upper) {
    if (count == 1) return upper;
    return upper - (upper - lower) * index / (count - 1);
}

UINT LabelAlign(int index, int count, bool topDown) {
    // A single label stands on the row where the upper bound is drawn.
    if (count == 1) return TA_RIGHT | (topDown ? TA_BOTTOM : TA_TOP);
    const int onTop = topDown ? count - 1 : 0;
    const int onBottom = topDown ? 0 : count - 1;
    if (index == onTop) return TA_RIGHT | TA_TOP;
    if (index == onBottom) return TA_RIGHT | TA_BOTTOM;
    return TA_RIGHT | TA_BASELINE;
}

bool RowHasDots(int index, int count) { return count < 2 || (index != 0 && index != count - 1); }

CString FormatLabel(double value, int decimals) {
    CString text;
    text.Format(L"%.*lf", decimals, value);
    return text;
}

int ValueToRow(double value, double lower, double pixelsPerUnit, int top, int bottom, bool topDown) {
    const int distance = std::isnan(value) ? 0 : ToPixel((value - lower) * pixelsPerUnit);
    return topDown ? top + distance : bottom - distance;
}

}  // namespace strip_chart
