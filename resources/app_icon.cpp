#include "resources/app_icon.h"

#include <algorithm>
#include <cmath>

namespace resources {

namespace {

constexpr int kSize = 48;
constexpr int kPlotLeft = 7, kPlotTop = 9, kPlotRight = 41, kPlotBottom = 39;  // inclusive

// The sixteen colours every display had; the 16-colour picture uses only these.
constexpr std::uint32_t kBlack = 0x000000, kNavy = 0x000080, kGreen = 0x008000, kLime = 0x00FF00,
                        kYellow = 0xFFFF00, kRed = 0xFF0000, kCyan = 0x00FFFF, kWhite = 0xFFFFFF,
                        kBlue = 0x0000FF;

enum class Depth { Sixteen, TwoFiftySix, TrueColour };

// How far (x, y) lies inside the tile's rounded corner: 1 inside, 0 outside,
// a fraction on the edge (true colour only).
double TileCoverage(int x, int y, Depth depth) {
    const double radius = 7.0, lo = 1.0 + radius, hi = kSize - 2 - radius;
    const double cx = std::clamp(x + 0.5, lo, hi), cy = std::clamp(y + 0.5, lo, hi);
    const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
    if (depth != Depth::TrueColour) return distance <= radius ? 1.0 : 0.0;
    return std::clamp(radius + 0.5 - distance, 0.0, 1.0);
}

// The tops of the stacked bands at column x of the plot, as rows.
struct Bands {
    int green, yellow, red;
};

Bands BandsAt(int x) {
    const double t = (x - kPlotLeft) / 4.0;
    const int greenHeight = static_cast<int>(11 + 4 * std::sin(t));
    const int yellowHeight = static_cast<int>(6 + 2 * std::cos(t * 1.3));
    const int redHeight = 3;
    Bands b;
    b.green = kPlotBottom - greenHeight;
    b.yellow = b.green - yellowHeight;
    b.red = b.yellow - redHeight;
    return b;
}

std::uint32_t Background(int y, Depth depth) {
    if (depth == Depth::Sixteen) return kNavy;
    // A gentle vertical gradient from blue to navy.
    const int blue = 0xE0 - (y * 0x60) / kSize;
    return static_cast<std::uint32_t>(blue) & 0xFF;
}

std::uint32_t PlotColour(int x, int y, Depth depth) {
    const bool frame = x == kPlotLeft || x == kPlotRight || y == kPlotTop || y == kPlotBottom;
    if (frame) return depth == Depth::Sixteen ? kCyan : 0x40E0FF;
    const Bands b = BandsAt(x);
    if (y > b.green) {
        if (depth == Depth::Sixteen) return kGreen;
        // Darker toward the axis, brighter toward the band's top line.
        const auto green = std::min<std::uint32_t>(0xFF, 0x60 + 8u * static_cast<std::uint32_t>(kPlotBottom - y));
        return green << 8;
    }
    if (y == b.green) return kLime;
    if (y > b.red && y <= b.yellow) return kYellow;
    if (y > b.red - 1 && y <= b.red + 2) return kRed;
    // Dotted grid rows at a third and two thirds of the plot.
    const int third = (kPlotBottom - kPlotTop) / 3;
    if ((y == kPlotTop + third || y == kPlotTop + 2 * third) && (x - kPlotLeft) % 4 == 0) return kCyan;
    return kBlack;
}

std::uint32_t Pixel(int x, int y, Depth depth) {
    const double coverage = TileCoverage(x, y, depth);
    if (coverage <= 0.0) return 0;  // transparent
    const bool inPlot = x >= kPlotLeft && x <= kPlotRight && y >= kPlotTop && y <= kPlotBottom;
    std::uint32_t rgb = inPlot ? PlotColour(x, y, depth) : Background(y, depth);
    // A white bar of "memory" above the plot.
    if (!inPlot && y >= 3 && y <= 5 && x >= kPlotLeft && x <= kPlotRight) rgb = (x / 4) % 2 ? kWhite : kBlue;
    const auto alpha = static_cast<std::uint32_t>(std::lround(coverage * 255.0));
    return (alpha << 24) | rgb;
}

IconPicture Draw(Depth depth, int bitsPerPixel) {
    IconPicture picture{kSize, kSize, bitsPerPixel, std::vector<std::uint32_t>(kSize * kSize), {}};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) picture.argb[y * kSize + x] = Pixel(x, y, depth);
    if (bitsPerPixel <= 8) {
        for (std::uint32_t p : picture.argb) {
            const std::uint32_t rgb = p & 0xFFFFFF;
            if ((p >> 24) != 0 && std::find(picture.palette.begin(), picture.palette.end(), rgb) == picture.palette.end())
                picture.palette.push_back(rgb);
        }
        std::sort(picture.palette.begin(), picture.palette.end());
    }
    return picture;
}

}  // namespace

const std::vector<IconPicture>& AppIconPictures() {
    static const std::vector<IconPicture> pictures = {
        Draw(Depth::Sixteen, 4),
        Draw(Depth::TwoFiftySix, 8),
        Draw(Depth::TrueColour, 32),
    };
    return pictures;
}

}  // namespace resources
