#pragma once
// The cache read chart's scale: it jumps up at once to a new peak of hits
// and comes down by halves, each time only after 61 feeds in a row below a
// third of the scale, and never while the scale is 100 or less.

#include <windows.h>

namespace read_chart {

enum class ScaleChange { None, Raised, Halved };

// Updates the scale and the count of low feeds for one period's hits and
// tells whether the chart's range must follow.
ScaleChange UpdateScale(ULONGLONG hits, ULONGLONG* scaleMax, int* lowCount);

// The three stacked values of one sample: hits − misses (0 when a period's
// misses exceed its hits, rather than a wrapped count), hits, the scale.
void SampleValues(ULONGLONG hits, ULONGLONG misses, ULONGLONG scaleMax, double values[3]);

}  // namespace read_chart
