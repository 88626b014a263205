#include "mapping.h"

#include <algorithm>
#include <cmath>

namespace host::gdi {

namespace {

LONG RoundToLong(double value) {
    const double rounded = std::floor(value + 0.5);
    return static_cast<LONG>(std::clamp(rounded, -2147483648.0, 2147483647.0));
}

LONG ClampToLong(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, -2147483648LL, 2147483647LL));
}

}  // namespace

POINT Mapping::ToDevice(POINT logical) const {
    if (!Scales()) {
        return {ClampToLong(static_cast<long long>(logical.x) - windowOrg.x + viewportOrg.x),
                ClampToLong(static_cast<long long>(logical.y) - windowOrg.y + viewportOrg.y)};
    }
    double x = 0, y = 0;
    ToDevice(logical.x, logical.y, &x, &y);
    return {RoundToLong(x), RoundToLong(y)};
}

void Mapping::ToDevice(double x, double y, double* dx, double* dy) const {
    *dx = (x - windowOrg.x) * ScaleX() + viewportOrg.x;
    *dy = (y - windowOrg.y) * ScaleY() + viewportOrg.y;
}

POINT Mapping::ToLogical(POINT device) const {
    if (!Scales()) {
        return {ClampToLong(static_cast<long long>(device.x) - viewportOrg.x + windowOrg.x),
                ClampToLong(static_cast<long long>(device.y) - viewportOrg.y + windowOrg.y)};
    }
    const double x = (static_cast<double>(device.x) - viewportOrg.x) / ScaleX() + windowOrg.x;
    const double y = (static_cast<double>(device.y) - viewportOrg.y) / ScaleY() + windowOrg.y;
    return {RoundToLong(x), RoundToLong(y)};
}

RECT Mapping::ToDeviceRect(const RECT& logical) const {
    const POINT a = ToDevice(POINT{logical.left, logical.top});
    const POINT b = ToDevice(POINT{logical.right, logical.bottom});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void Mapping::SetMode(int newMode, int dpi) {
    mode = newMode;
    // Units per inch of the metric modes; the y axis points up in all of them.
    int unitsPerInch = 0;
    switch (newMode) {
        case MM_TEXT:
            windowExt = {1, 1};
            viewportExt = {1, 1};
            return;
        case MM_LOMETRIC: unitsPerInch = 254; break;     // 0.1 mm
        case MM_HIMETRIC: unitsPerInch = 2540; break;    // 0.01 mm
        case MM_LOENGLISH: unitsPerInch = 100; break;    // 0.01 inch
        case MM_HIENGLISH: unitsPerInch = 1000; break;   // 0.001 inch
        case MM_TWIPS: unitsPerInch = 1440; break;       // 1/1440 inch
        case MM_ISOTROPIC: unitsPerInch = 254; break;    // starts out as MM_LOMETRIC
        case MM_ANISOTROPIC: return;                     // keeps the current extents
        default: return;
    }
    windowExt = {unitsPerInch, unitsPerInch};
    viewportExt = {dpi, -dpi};
}

void Mapping::FixIsotropic() {
    const double xdim = std::fabs(static_cast<double>(viewportExt.cx) / windowExt.cx);
    const double ydim = std::fabs(static_cast<double>(viewportExt.cy) / windowExt.cy);
    if (xdim > ydim) {
        const LONG sign = viewportExt.cx >= 0 ? 1 : -1;
        viewportExt.cx = RoundToLong(viewportExt.cx * ydim / xdim);
        if (viewportExt.cx == 0) viewportExt.cx = sign;
    } else if (ydim > xdim) {
        const LONG sign = viewportExt.cy >= 0 ? 1 : -1;
        viewportExt.cy = RoundToLong(viewportExt.cy * xdim / ydim);
        if (viewportExt.cy == 0) viewportExt.cy = sign;
    }
}

}  // namespace host::gdi
