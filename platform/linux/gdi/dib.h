#pragma once
// Reading device-independent bitmaps from resource data: the images of
// RT_ICON resources (colour bits followed by an AND mask, height doubled)
// and the packed DIBs of RT_BITMAP resources. Every read is checked against
// the data's size; malformed data is refused, never read past.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace host::gdi {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // non-premultiplied 0xAARRGGBB, rows top-down
};

// An icon image. 32-bit images with any alpha use it; other images (and
// 32-bit ones whose alpha is all zero) take transparency from the mask.
bool DecodeIconImage(const BYTE* data, std::size_t size, DecodedImage* image);

// A packed DIB: header, colour table, bits. Every pixel is opaque.
bool DecodePackedDib(const BYTE* data, std::size_t size, DecodedImage* image);

// Nearest-neighbour resampling to a new size.
DecodedImage Resample(const DecodedImage& image, int width, int height);

}  // namespace host::gdi
