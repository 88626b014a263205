#include "dib.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace host::gdi {

namespace {

constexpr long long kMaxSide = 16384;

std::uint32_t Read16(const BYTE* p) { return p[0] | (p[1] << 8); }
std::uint32_t Read32(const BYTE* p) { return Read16(p) | (Read16(p + 2) << 16); }

struct Layout {
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    int bitCount = 0;
    std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue for 16 and 32 bits
    bool alphaByte = false;              // 32-bit BI_RGB: the fourth byte is alpha
    std::size_t colours = 0;
    std::size_t tableOffset = 0;
    std::size_t bitsOffset = 0;
    std::size_t stride = 0;
};

bool ParseLayout(const BYTE* data, std::size_t size, bool icon, Layout* l) {
    if (!data || size < sizeof(BITMAPINFOHEADER)) return false;
    const std::uint32_t headerSize = Read32(data);
    // BITMAPINFOHEADER and its longer successors; the old core header is not used by icons.
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > size) return false;
    const long long width = static_cast<LONG>(Read32(data + 4));
    const long long height = static_cast<LONG>(Read32(data + 8));
    const std::uint32_t planes = Read16(data + 12), compression = Read32(data + 16), clrUsed = Read32(data + 32);
    l->bitCount = static_cast<int>(Read16(data + 14));
    if (planes > 1 || width <= 0 || width > kMaxSide) return false;
    if (icon) {
        if (height < 2) return false;
        l->height = static_cast<int>(height / 2);  // the colour bits, then the mask
    } else {
        if (height == 0 || std::llabs(height) > kMaxSide) return false;
        l->height = static_cast<int>(std::llabs(height));
        l->bottomUp = height > 0;
    }
    if (l->height > kMaxSide) return false;
    l->width = static_cast<int>(width);
    switch (l->bitCount) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: return false;
    }
    std::size_t offset = headerSize;
    if (compression == BI_BITFIELDS && (l->bitCount == 16 || l->bitCount == 32)) {
        // The masks follow a plain header, or sit inside a longer one.
        const std::size_t at = headerSize == sizeof(BITMAPINFOHEADER) ? offset : sizeof(BITMAPINFOHEADER);
        if (at + 12 > size) return false;
        for (int i = 0; i < 3; ++i) l->masks[i] = Read32(data + at + 4 * i);
        if (headerSize == sizeof(BITMAPINFOHEADER)) offset += 12;
    } else if (compression == BI_RGB) {
        if (l->bitCount == 16) l->masks[0] = 0x7C00, l->masks[1] = 0x03E0, l->masks[2] = 0x001F;
        if (l->bitCount == 32) {
            l->masks[0] = 0x00FF0000, l->masks[1] = 0x0000FF00, l->masks[2] = 0x000000FF;
            l->alphaByte = true;
        }
    } else {
        return false;  // run-length and JPEG/PNG-compressed bitmaps are not read
    }
    const std::size_t fullTable = l->bitCount <= 8 ? (std::size_t{1} << l->bitCount) : 0;
    l->colours = clrUsed ? clrUsed : fullTable;
    if (l->colours > (size - offset) / 4) return false;
    l->tableOffset = offset;
    l->bitsOffset = offset + l->colours * 4;
    l->stride = ((static_cast<std::size_t>(l->width) * l->bitCount + 31) / 32) * 4;
    return l->bitsOffset <= size && l->stride * l->height <= size - l->bitsOffset;
}

std::uint32_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask), bits = std::popcount(mask);
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return value >> (bits - 8);
    const std::uint32_t max = (1u << bits) - 1;
    return (value * 255 + max / 2) / max;
}

// The colour of pixel x of a row as 0x00RRGGBB, and its alpha byte.
std::uint32_t ReadColour(const BYTE* data, const Layout& l, const BYTE* row, int x, std::uint32_t* alpha) {
    *alpha = 0;
    if (l.bitCount <= 8) {
        const int perByte = 8 / l.bitCount;
        const int shift = (perByte - 1 - x % perByte) * l.bitCount;
        const std::size_t index = (row[x / perByte] >> shift) & ((1u << l.bitCount) - 1);
        if (index >= l.colours) return 0;
        const BYTE* q = data + l.tableOffset + index * 4;  // B, G, R, reserved
        return (q[2] << 16) | (q[1] << 8) | q[0];
    }
    if (l.bitCount == 24) return (row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3];
    const std::uint32_t pixel = l.bitCount == 16 ? Read16(row + x * 2) : Read32(row + x * 4);
    if (l.alphaByte) *alpha = pixel >> 24;
    return (Channel(pixel, l.masks[0]) << 16) | (Channel(pixel, l.masks[1]) << 8) | Channel(pixel, l.masks[2]);
}

const BYTE* RowOf(const BYTE* bits, const Layout& l, std::size_t stride, int y) {
    const int stored = l.bottomUp ? l.height - 1 - y : y;
    return bits + static_cast<std::size_t>(stored) * stride;
}

// Reads the colour bits; returns whether any pixel had a non-zero alpha byte.
bool ReadColours(const BYTE* data, const Layout& l, DecodedImage* image) {
    image->width = l.width;
    image->height = l.height;
    image->argb.assign(static_cast<std::size_t>(l.width) * l.height, 0);
    bool anyAlpha = false;
    for (int y = 0; y < l.height; ++y) {
        const BYTE* row = RowOf(data + l.bitsOffset, l, l.stride, y);
        for (int x = 0; x < l.width; ++x) {
            std::uint32_t alpha = 0;
            const std::uint32_t rgb = ReadColour(data, l, row, x, &alpha);
            anyAlpha = anyAlpha || alpha != 0;
            image->argb[static_cast<std::size_t>(y) * l.width + x] = (alpha << 24) | rgb;
        }
    }
    return anyAlpha;
}

}  // namespace

bool DecodeIconImage(const BYTE* data, std::size_t size, DecodedImage* image) {
    Layout l;
    if (!ParseLayout(data, size, true, &l)) return false;
    const bool useAlpha = ReadColours(data, l, image);
    if (useAlpha) return true;
    // Without alpha the AND mask decides: a set bit is transparent. An image
    // whose data stops before its mask is opaque throughout.
    const std::size_t maskOffset = l.bitsOffset + l.stride * l.height;
    const std::size_t maskStride = ((static_cast<std::size_t>(l.width) + 31) / 32) * 4;
    const bool haveMask = maskOffset <= size && maskStride * l.height <= size - maskOffset;
    for (int y = 0; y < l.height; ++y) {
        const BYTE* mask = haveMask ? RowOf(data + maskOffset, l, maskStride, y) : nullptr;
        for (int x = 0; x < l.width; ++x) {
            std::uint32_t& p = image->argb[static_cast<std::size_t>(y) * l.width + x];
            const bool clear = mask && (mask[x / 8] & (0x80 >> (x % 8)));
            p = (p & 0x00FFFFFFu) | (clear ? 0u : 0xFF000000u);
        }
    }
    return true;
}

bool DecodePackedDib(const BYTE* data, std::size_t size, DecodedImage* image) {
    Layout l;
    if (!ParseLayout(data, size, false, &l)) return false;
    ReadColours(data, l, image);
    for (std::uint32_t& p : image->argb) p |= 0xFF000000u;
    return true;
}

DecodedImage Resample(const DecodedImage& image, int width, int height) {
    DecodedImage out;
    out.width = width;
    out.height = height;
    out.argb.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const long long sy = ((2LL * y + 1) * image.height) / (2LL * height);
        for (int x = 0; x < width; ++x) {
            const long long sx = ((2LL * x + 1) * image.width) / (2LL * width);
            out.argb[static_cast<std::size_t>(y) * width + x] = image.argb[static_cast<std::size_t>(sy) * image.width + sx];
        }
    }
    return out;
}

}  // namespace host::gdi
