#pragma once
// A DC's mapping from logical to device coordinates: the window origin and
// extent map onto the viewport origin and extent, as Win32 defines them:
//
//   device = (logical - windowOrg) * viewportExt / windowExt + viewportOrg
//
// rounded to the nearest pixel. MM_TEXT is the identity up to the origins.

#include <windows.h>

namespace host::gdi {

struct Mapping {
    int mode = MM_TEXT;
    POINT windowOrg{0, 0};
    SIZE windowExt{1, 1};
    POINT viewportOrg{0, 0};
    SIZE viewportExt{1, 1};

    bool Scales() const { return windowExt.cx != viewportExt.cx || windowExt.cy != viewportExt.cy; }
    double ScaleX() const { return static_cast<double>(viewportExt.cx) / windowExt.cx; }
    double ScaleY() const { return static_cast<double>(viewportExt.cy) / windowExt.cy; }

    POINT ToDevice(POINT logical) const;
    POINT ToLogical(POINT device) const;
    // Device coordinates as reals, for text placement.
    void ToDevice(double x, double y, double* dx, double* dy) const;

    // A logical rectangle in device units, with left <= right and top <= bottom.
    RECT ToDeviceRect(const RECT& logical) const;

    // Changes the mapping mode; the fixed modes reset the extents.
    // `dpi` is the device's pixels per inch (the metric modes need it).
    void SetMode(int newMode, int dpi);
    // MM_ISOTROPIC keeps one logical unit equally long on both axes by
    // shrinking the larger viewport extent.
    void FixIsotropic();
};

}  // namespace host::gdi
