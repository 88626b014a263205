#include "stock_icons.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace host::gdi {

namespace {

// A shape in unit coordinates (0..1 across the icon, y downward).
using Shape = std::function<bool(double u, double v)>;

struct Layer {
    std::uint32_t rgb;
    Shape shape;
};

Shape Box(double l, double t, double r, double b) {
    return [=](double u, double v) { return u >= l && u < r && v >= t && v < b; };
}

Shape Disc(double cx, double cy, double radius) {
    return [=](double u, double v) { return (u - cx) * (u - cx) + (v - cy) * (v - cy) <= radius * radius; };
}

// A triangle given by its corners in any order of winding.
Shape Triangle(double ax, double ay, double bx, double by, double cx, double cy) {
    return [=](double u, double v) {
        auto side = [&](double x1, double y1, double x2, double y2) { return (x2 - x1) * (v - y1) - (y2 - y1) * (u - x1); };
        const double d1 = side(ax, ay, bx, by), d2 = side(bx, by, cx, cy), d3 = side(cx, cy, ax, ay);
        return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
    };
}

// A band of the given half-width along the segment from (ax, ay) to (bx, by).
Shape Stroke(double ax, double ay, double bx, double by, double halfWidth) {
    return [=](double u, double v) {
        const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
        double t = ((u - ax) * dx + (v - ay) * dy) / len2;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        const double px = ax + t * dx - u, py = ay + t * dy - v;
        return px * px + py * py <= halfWidth * halfWidth;
    };
}

// Part of a ring, between two angles in degrees (counter-clockwise, 0 = right).
Shape Arc(double cx, double cy, double inner, double outer, double from, double to) {
    return [=](double u, double v) {
        const double dx = u - cx, dy = cy - v, r2 = dx * dx + dy * dy;
        if (r2 < inner * inner || r2 > outer * outer) return false;
        double angle = std::atan2(dy, dx) * 180.0 / std::numbers::pi;
        while (angle < from) angle += 360.0;
        return angle <= to;
    };
}

std::vector<Layer> LayersFor(WORD id) {
    constexpr std::uint32_t kWhite = 0xFFFFFF, kBlue = 0x1E64C8, kBlack = 0x000000;
    switch (id) {
        case 32512:  // application: a window with a title bar
            return {{0x404040, Box(0.06, 0.14, 0.94, 0.88)},
                    {kWhite, Box(0.09, 0.17, 0.91, 0.85)},
                    {0x2060C0, Box(0.09, 0.17, 0.91, 0.30)}};
        case 32513:  // hand / error: a white cross on a red disc
            return {{0xA01010, Disc(0.5, 0.5, 0.47)},
                    {0xE03030, Disc(0.5, 0.5, 0.43)},
                    {kWhite, Stroke(0.33, 0.33, 0.67, 0.67, 0.06)},
                    {kWhite, Stroke(0.67, 0.33, 0.33, 0.67, 0.06)}};
        case 32514:  // question: a white question mark on a blue disc
            return {{kBlue, Disc(0.5, 0.5, 0.47)},
                    {kWhite, Arc(0.5, 0.38, 0.08, 0.17, -90.0, 200.0)},
                    {kWhite, Box(0.455, 0.53, 0.545, 0.64)},
                    {kWhite, Disc(0.5, 0.75, 0.06)}};
        case 32515:  // exclamation / warning: a black mark on a yellow triangle
            return {{0x806000, Triangle(0.5, 0.05, 0.97, 0.91, 0.03, 0.91)},
                    {0xFFD21E, Triangle(0.5, 0.12, 0.91, 0.87, 0.09, 0.87)},
                    {kBlack, Box(0.455, 0.33, 0.545, 0.64)},
                    {kBlack, Disc(0.5, 0.75, 0.055)}};
        case 32516:  // asterisk / information: a white "i" on a blue disc
            return {{kBlue, Disc(0.5, 0.5, 0.47)},
                    {kWhite, Disc(0.5, 0.28, 0.07)},
                    {kWhite, Box(0.44, 0.40, 0.56, 0.77)}};
        default: return {};
    }
}

// Source-over of a colour with coverage `a` (0..1) onto a non-premultiplied pixel.
std::uint32_t Over(std::uint32_t dst, std::uint32_t rgb, double a) {
    const double da = (dst >> 24) / 255.0, oa = a + da * (1 - a);
    if (oa <= 0) return 0;
    std::uint32_t out = static_cast<std::uint32_t>(std::lround(oa * 255)) << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double s = (rgb >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(std::lround((s * a + d * da * (1 - a)) / oa)) << shift;
    }
    return out;
}

}  // namespace

std::vector<std::uint32_t> StockIconPixels(WORD id, int size) {
    const std::vector<Layer> layers = LayersFor(id);
    if (layers.empty() || size <= 0) return {};
    constexpr int kSamples = 4;  // per axis, for smooth edges
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint32_t& p = pixels[static_cast<std::size_t>(y) * size + x];
            for (const Layer& layer : layers) {
                int inside = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        const double u = (x + (sx + 0.5) / kSamples) / size;
                        const double v = (y + (sy + 0.5) / kSamples) / size;
                        inside += layer.shape(u, v) ? 1 : 0;
                    }
                }
                if (inside) p = Over(p, layer.rgb, static_cast<double>(inside) / (kSamples * kSamples));
            }
        }
    }
    return pixels;
}

}  // namespace host::gdi
