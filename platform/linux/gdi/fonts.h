#pragma once
// Fonts as a DC sees them: a LOGFONTW resolved to a face this host has, at
// the DC's scale, and lines of text laid out with it.

#include "draw_target.h"
#include "font_renderer.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host::gdi {

// The face that stands in for a Windows face name: the metric-compatible
// Liberation faces for Arial, Times New Roman and Courier New, a sans face
// for the dialog fonts, the name itself for anything else.
std::wstring StandInFamily(const LOGFONTW& lf);
// Whether the face name is one of the Windows faces with a stand-in.
bool HasStandIn(const wchar_t* faceName);

// The request for `lf` drawn at the given logical-to-device scales.
FontRequest RequestFor(const LOGFONTW& lf, double scaleX, double scaleY);

// The selected font of a DC at the DC's scale; null without a renderer.
std::shared_ptr<RenderFont> DeviceFont(const DcObject& dc);

// One line of text: the device offset of each glyph along the baseline and
// of the line's end (offsets.size() == text length + 1).
struct TextLine {
    std::shared_ptr<RenderFont> font;
    std::vector<int> offsets;
    int Width() const { return offsets.empty() ? 0 : offsets.back(); }
};
bool LayOutLine(const DcObject& dc, std::wstring_view text, TextLine* line);

// Device pixels to logical units along one axis of the DC's mapping.
int LogicalWidth(const DcObject& dc, int devicePixels);
int LogicalHeight(const DcObject& dc, int devicePixels);

// Draws one laid-out line as ExtTextOut does: placed by `align` (TA_*)
// around the logical reference point, the cell filled with the background
// colour in OPAQUE mode, ink clipped to `deviceClip`. Returns where the
// current position moves under TA_UPDATECP (logical units).
POINT DrawTextLine(const DrawTarget& target, POINT logicalRef, UINT align, std::wstring_view text,
                   const TextLine& line, const RECT& deviceClip);

}  // namespace host::gdi
