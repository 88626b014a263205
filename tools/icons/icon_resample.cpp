#include "icon_resample.h"

#include <algorithm>
#include <cmath>

namespace icons {

namespace {

// How much of the source pixel [cell, cell + 1) lies in [from, to).
double Overlap(int cell, double from, double to) {
    return std::max(0.0, std::min<double>(cell + 1, to) - std::max<double>(cell, from));
}

std::uint32_t Channel(std::uint32_t argb, int shift) { return (argb >> shift) & 0xFFu; }

std::uint32_t Round8(double value) { return static_cast<std::uint32_t>(std::clamp(std::lround(value), 0L, 255L)); }

// One pixel of the result: the source area [x0, x1) x [y0, y1).
std::uint32_t AveragePixel(const Picture& source, double x0, double x1, double y0, double y1) {
    double alpha = 0, red = 0, green = 0, blue = 0;
    for (int y = static_cast<int>(y0); y < std::min<double>(y1, source.height); ++y) {
        const double wy = Overlap(y, y0, y1);
        for (int x = static_cast<int>(x0); x < std::min<double>(x1, source.width); ++x) {
            const double w = wy * Overlap(x, x0, x1);
            const std::uint32_t p = source.argb[static_cast<std::size_t>(y) * source.width + x];
            const double a = w * Channel(p, 24) / 255.0;
            alpha += a;
            red += a * Channel(p, 16);
            green += a * Channel(p, 8);
            blue += a * Channel(p, 0);
        }
    }
    const double area = (x1 - x0) * (y1 - y0);
    if (alpha <= 0) return 0;
    return Round8(255.0 * alpha / area) << 24 | Round8(red / alpha) << 16 | Round8(green / alpha) << 8 |
           Round8(blue / alpha);
}

}  // namespace

Picture ResampleByArea(const Picture& source, int size) {
    Picture result;
    result.width = result.height = size;
    result.argb.resize(static_cast<std::size_t>(size) * size);
    const double sx = static_cast<double>(source.width) / size, sy = static_cast<double>(source.height) / size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            result.argb[static_cast<std::size_t>(y) * size + x] =
                AveragePixel(source, x * sx, (x + 1) * sx, y * sy, (y + 1) * sy);
    return result;
}

}  // namespace icons
