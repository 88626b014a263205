#pragma once
// Facts about a picture of the main window, checked from the outside: what
// the template and the chart layout say should be where, against the
// picture's pixels. The expected texts, colours and places are worked out
// here from the template's dialog units and the layout rules, never read
// from the dialog, so that a picture cannot vouch for the program that drew
// it.

#include <windows.h>

#include "host/gdi.h"

#include <string>
#include <vector>

namespace picture_facts {

// `text` as the host's GDI draws it with `font` in `textColor` on
// `background`, cut to the smallest rectangle holding all its ink.
host::PixelBuffer RenderText(const std::wstring& text, HFONT font, COLORREF textColor, COLORREF background);

// Whether `pattern` appears, pixel for pixel, somewhere wholly inside
// `area` of `picture`.
bool Contains(const host::PixelBuffer& picture, const RECT& area, const host::PixelBuffer& pattern);

// The colour of a pixel of the picture.
inline COLORREF ColorAt(const host::PixelBuffer& picture, int x, int y) {
    return host::ColorFromPixel(picture.At(x, y));
}

// The dialog's outer rectangle in its own client coordinates (left and top
// negative by the frame), from which the charts are laid out. A window that
// has not been shown yet has no frame on this host: the charts laid out
// during start-up saw the client rectangle itself (OuterBeforeShown).
RECT OuterNow(HWND dialog);
RECT OuterBeforeShown(HWND dialog);

// A rectangle of the template, in dialog units, in client pixels.
RECT TemplateRect(HWND dialog, int x, int y, int cx, int cy);

// Where a chart stands: its right 10 pixels inside the outer rectangle's
// right, its width 0.45 of the outer width, its height `heightFraction` of
// the outer height.
struct ChartPlace {
    RECT rect{};
    int height = 0;
};
// The RAM chart: its top at the template's RAM progress bar.
ChartPlace RamChart(HWND dialog, const RECT& outer, double heightFraction);
// A lower chart: 0.32 of the height, standing 46 pixels above the bottom.
ChartPlace LowerChart(const RECT& outer);

// A legend label's rectangle: the `index`-th from the top, at 96 dpi.
RECT RamLegendLabel(const ChartPlace& chart, int index);
RECT PageFileLegendLabel(const ChartPlace& chart, int index);

// The left half of a label, where its caption is centred.
RECT CaptionHalf(const RECT& label);

}  // namespace picture_facts
