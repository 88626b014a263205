#pragma once
// The arithmetic of the strip chart, apart from any window: the display
// factor, the frame around the plot, the value labels (values, rows,
// alignment, text) and the mapping from a value to a pixel row.

#include <afxwin.h>

namespace strip_chart {

// Whole multiples of 96 dots per inch, as a double (96 to 191 give 1.0,
// 192 gives 2.0). A display below 96 dots per inch, or none, counts as 1.0:
// a factor of 0 would collapse the labels and the frame onto the edge.
double DisplayFactor(int dotsPerInch);

// Digits before the decimal point that the labels need beyond the first:
// the larger |trunc(log10 |bound|)| of the two bounds; a bound of 0 (or one
// that is not finite) counts for nothing.
int LabelDigits(double lower, double upper);

// Frame left: room for the labels, 6 pixels a character at factor 1.
int FrameLeft(int areaLeft, int decimals, double lower, double upper, double factor);

struct FrameRows {
    int top = 0;
    int bottom = 0;
};
// Frame top and bottom: the horizontal caption takes 15 × factor pixels
// below the frame, or above it when the axis is top-down.
FrameRows FrameTopBottom(bool topDown, int areaBottom, double factor);

// Row of label i of n (grid row), from the frame's top and bottom.
int LabelRow(int index, int count, int top, int bottom, bool topDown);
// Value of label i of n: label 0 the upper bound, label n − 1 the lower.
double LabelValue(int index, int count, double lower, double upper);
// TA_RIGHT with TA_TOP on the frame's top edge, TA_BOTTOM on its bottom
// edge, TA_BASELINE in between.
UINT LabelAlign(int index, int count, bool topDown);
// Whether grid row i gets dots: the first and last rows lie on the frame.
bool RowHasDots(int index, int count);
// The label's text, "%.*lf".
CString FormatLabel(double value, int decimals);

// The pixel row of value v: its distance from the lower bound in whole
// pixels, from the bottom edge up (from the top edge down when top-down).
// A value that is not a number sits on the lower bound.
int ValueToRow(double value, double lower, double pixelsPerUnit, int top, int bottom, bool topDown);

}  // namespace strip_chart
