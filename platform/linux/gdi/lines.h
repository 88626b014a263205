#pragma once
// Drawing with the selected pen: solid, dashed and wide strokes along
// device points, in the DC's raster operation.

#include "draw_target.h"

namespace host::gdi {

// Strokes the path through `points` (device units) with the DC's pen; a
// closed path also draws the edge from the last point back to the first.
// Each segment leaves out its end point, as LineTo does.
void StrokeWithPen(const DrawTarget& target, const POINT* points, int count, bool closed);

}  // namespace host::gdi
