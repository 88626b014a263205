// Building resource data in Win32's layouts: RT_STRING blocks, and icons as
// an RT_GROUP_ICON directory with BITMAPINFOHEADER images. Pure functions:
// the Windows resource-script generator (tools/windows_resources) encodes
// the application icon with them too.

#include "host/resources.h"

#include <algorithm>
#include <cstring>

namespace host {

namespace {

void Put16(std::vector<BYTE>& out, unsigned value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void Put32(std::vector<BYTE>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutWchar(std::vector<BYTE>& out, WCHAR ch) {
    BYTE bytes[sizeof(WCHAR)];
    std::memcpy(bytes, &ch, sizeof ch);
    out.insert(out.end(), bytes, bytes + sizeof ch);
}

bool ValidImage(const IconImage& image) {
    if (image.width < 1 || image.width > 256 || image.height < 1 || image.height > 256) return false;
    if (image.argb.size() != static_cast<std::size_t>(image.width) * image.height) return false;
    switch (image.bitsPerPixel) {
        case 4: return !image.palette.empty() && image.palette.size() <= 16;
        case 8: return !image.palette.empty() && image.palette.size() <= 256;
        case 32: return true;
        default: return false;
    }
}

bool Transparent(std::uint32_t argb) { return (argb >> 24) < 128; }

// The palette entry of a colour: itself when listed, else the nearest.
unsigned PaletteIndex(const std::vector<std::uint32_t>& palette, std::uint32_t rgb) {
    unsigned best = 0;
    long bestDistance = -1;
    for (unsigned i = 0; i < palette.size(); ++i) {
        const std::uint32_t p = palette[i];
        long distance = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const long d = static_cast<long>((p >> shift) & 0xFF) - static_cast<long>((rgb >> shift) & 0xFF);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::size_t RowBytes(int width, int bitsPerPixel) { return ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4; }

// The colour bits of one image, rows bottom-up as in every icon DIB.
void PutColourBits(std::vector<BYTE>& out, const IconImage& image) {
    const std::size_t stride = RowBytes(image.width, image.bitsPerPixel);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<BYTE> row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t argb = image.argb[static_cast<std::size_t>(y) * image.width + x];
            if (image.bitsPerPixel == 32) {
                std::memcpy(&row[x * 4], &argb, 4);  // B, G, R, A in memory
                continue;
            }
            const unsigned index = Transparent(argb) ? 0 : PaletteIndex(image.palette, argb & 0x00FFFFFFu);
            if (image.bitsPerPixel == 8) row[x] = static_cast<BYTE>(index);
            else row[x / 2] |= static_cast<BYTE>(x % 2 ? index : index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

// The AND mask: a set bit lets the screen show through.
void PutMask(std::vector<BYTE>& out, const IconImage& image) {
    const std::size_t stride = RowBytes(image.width, 1);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<BYTE> row(stride, 0);
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t argb = image.argb[static_cast<std::size_t>(y) * image.width + x];
            const bool clear = image.bitsPerPixel == 32 ? (argb >> 24) == 0 : Transparent(argb);
            if (clear) row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

std::vector<BYTE> EncodeImage(const IconImage& image) {
    const unsigned colours = image.bitsPerPixel == 32 ? 0u : 1u << image.bitsPerPixel;
    const std::size_t imageSize = RowBytes(image.width, image.bitsPerPixel) * image.height +
                                  RowBytes(image.width, 1) * image.height;
    std::vector<BYTE> out;
    Put32(out, sizeof(BITMAPINFOHEADER));
    Put32(out, static_cast<std::uint32_t>(image.width));
    Put32(out, static_cast<std::uint32_t>(image.height * 2));  // colour bits and mask
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(image.bitsPerPixel));
    Put32(out, BI_RGB);
    Put32(out, static_cast<std::uint32_t>(imageSize));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colours);
    Put32(out, 0);
    for (unsigned i = 0; i < colours; ++i) Put32(out, i < image.palette.size() ? image.palette[i] & 0x00FFFFFFu : 0);
    PutColourBits(out, image);
    PutMask(out, image);
    return out;
}

}  // namespace

std::vector<BYTE> BuildStringTableBlock(const std::vector<std::wstring>& strings) {
    if (strings.size() > 16) return {};
    std::vector<BYTE> block;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::wstring empty;
        const std::wstring& s = i < strings.size() ? strings[i] : empty;
        // Win32 counts fit a WORD: longer strings are cut there.
        const std::size_t length = std::min<std::size_t>(s.size(), 0xFFFF);
        PutWchar(block, static_cast<WCHAR>(length));
        for (std::size_t k = 0; k < length; ++k) PutWchar(block, s[k]);
    }
    return block;
}

IconResources BuildIconResources(WORD firstImageId, const std::vector<IconImage>& images) {
    IconResources icon;
    if (images.empty() || images.size() > static_cast<std::size_t>(0xFFFF - firstImageId)) return icon;
    for (const IconImage& image : images) {
        if (!ValidImage(image)) return IconResources{};
    }
    Put16(icon.group, 0);  // reserved
    Put16(icon.group, 1);  // icons (cursors are 2)
    Put16(icon.group, static_cast<unsigned>(images.size()));
    WORD id = firstImageId;
    for (const IconImage& image : images) {
        std::vector<BYTE> bits = EncodeImage(image);
        icon.group.push_back(static_cast<BYTE>(image.width == 256 ? 0 : image.width));
        icon.group.push_back(static_cast<BYTE>(image.height == 256 ? 0 : image.height));
        icon.group.push_back(static_cast<BYTE>(image.bitsPerPixel == 4 ? 16 : 0));  // colours below 256
        icon.group.push_back(0);
        Put16(icon.group, 1);  // planes
        Put16(icon.group, static_cast<unsigned>(image.bitsPerPixel));
        Put32(icon.group, static_cast<std::uint32_t>(bits.size()));
        Put16(icon.group, id);
        icon.images.emplace_back(id++, std::move(bits));
    }
    return icon;
}

}  // namespace host
