#pragma once
// The application icon: three 48 x 48 pictures of one design, for 16
// colours, 256 colours and true colour. A small strip chart of stacked
// memory bands on a blue tile.

#include <cstdint>
#include <vector>

namespace resources {

struct IconPicture {
    int width;
    int height;
    int bitsPerPixel;                  // 4, 8 or 32
    std::vector<std::uint32_t> argb;   // width * height, rows top-down, 0xAARRGGBB
    // For 4 and 8 bits per pixel: the colours the picture uses (0x00RRGGBB),
    // at most 16 or 256; every opaque pixel of `argb` is one of them.
    std::vector<std::uint32_t> palette;
};

// The pictures of icon resource 128, from fewest colours to most.
const std::vector<IconPicture>& AppIconPictures();

}  // namespace resources
