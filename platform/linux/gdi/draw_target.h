#pragma once
// What a drawing call works with: the DC, the pixels it draws on and the
// device rectangle drawing is clipped to, looked up and checked once.

#include "gdi_objects.h"
#include "surface.h"

#include <windows.h>

#include <cstdint>

namespace host::gdi {

struct DrawTarget {
    DcObject* dc = nullptr;
    Surface surface;
    RECT clip{0, 0, 0, 0};  // device units

    const DcState& State() const { return dc->state; }
    const Mapping& Map() const { return dc->state.mapping; }
    POINT ToDevice(int x, int y) const { return dc->state.mapping.ToDevice(POINT{x, y}); }
};

// False, with ERROR_INVALID_HANDLE, when `hdc` is not a live DC.
bool OpenTarget(HDC hdc, DrawTarget* target);

// The pen, brush and font selected into a DC (stock defaults if somehow lost).
const PenObject& SelectedPen(const DcObject& dc);
const BrushObject& SelectedBrush(const DcObject& dc);
FontObject& SelectedFont(const DcObject& dc);

// A COLORREF as a pixel. PALETTEINDEX and PALETTERGB colours carry flags in
// the top byte; on a 32-bit surface only their RGB part matters.
inline std::uint32_t PixelOf(COLORREF color) { return PixelFromColor(color & 0x00FFFFFFu); }

// The device's dots per inch: the active machine's, else the screen's.
int DeviceDpi();

// A pen's width in device pixels (cosmetic pens are one pixel wide).
int DevicePenWidth(const DcObject& dc, const LOGPEN& pen);

}  // namespace host::gdi
