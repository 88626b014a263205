// The application icon at the hicolor sizes: resampled by area from icon
// 128's true-colour picture, and written as PNG files with alpha.

#include "icon_resample.h"
#include "png_file.h"

#include "resources/app_icon.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

namespace {

using icons::Picture;
using icons::ResampleByArea;

Picture Filled(int width, int height, std::uint32_t argb) {
    return Picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, argb)};
}

std::uint32_t At(const Picture& p, int x, int y) { return p.argb[static_cast<std::size_t>(y) * p.width + x]; }

TEST(IconResample, AWholeNumberEnlargementMakesEachPixelASharpSquare) {
    Picture source = Filled(2, 2, 0xFF000000);
    source.argb = {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x00000000};
    const Picture big = ResampleByArea(source, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(At(big, x, y), source.argb[(y / 3) * 2 + x / 3]) << x << "," << y;
}

TEST(IconResample, AReductionAveragesTheAreaItCovers) {
    Picture source = Filled(2, 2, 0);
    source.argb = {0xFFFF0000, 0xFF0000FF, 0xFFFF0000, 0xFF0000FF};  // red left, blue right
    EXPECT_EQ(ResampleByArea(source, 1).argb[0], 0xFF800080u);  // 127.5 rounds up
}

TEST(IconResample, ATransparentPixelLendsNoColourToItsNeighbours) {
    Picture square = Filled(2, 2, 0);
    square.argb = {0xFFFFFFFF, 0x00000000, 0xFFFFFFFF, 0x00000000};
    // Half the area is white and opaque, half is nothing: half-transparent
    // white, not grey.
    EXPECT_EQ(ResampleByArea(square, 1).argb[0], 0x80FFFFFFu);
    EXPECT_EQ(ResampleByArea(Filled(4, 4, 0), 2).argb, std::vector<std::uint32_t>(4, 0u));
}

TEST(IconResample, AFractionalEnlargementBlendsOnlyAtTheSeams) {
    Picture source = Filled(3, 3, 0xFF000000);
    source.argb[4] = 0xFFFFFFFF;  // a white centre on black
    const Picture big = ResampleByArea(source, 4);  // 4/3: each new pixel covers 3/4 of a source pixel
    // The corners lie wholly in black source pixels.
    EXPECT_EQ(At(big, 0, 0), 0xFF000000u);
    EXPECT_EQ(At(big, 3, 3), 0xFF000000u);
    // New pixel 1 covers source [0.75, 1.5): 0.5 of its 0.75 lies in the
    // white centre's column, and as much in its row: 4/9 of it is white.
    EXPECT_EQ(At(big, 1, 1), 0xFF717171u);  // 255 * 4/9 = 113.3
}

TEST(IconResample, TheInstalledSizesComeFromTheTrueColourPicture) {
    const resources::IconPicture& best = resources::AppIconPictures().back();
    ASSERT_EQ(best.bitsPerPixel, 32);
    const Picture source{best.width, best.height, best.argb};
    const Picture same = ResampleByArea(source, best.width);
    EXPECT_EQ(same.argb, best.argb) << "the 48 x 48 icon is the picture itself";
    const Picture twice = ResampleByArea(source, 2 * best.width);
    EXPECT_EQ(At(twice, 2 * 24 + 1, 2 * 20 + 1), At(source, 24, 20));
}

// ---- PNG files ----------------------------------------------------------------------

std::uint32_t Read32(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
           static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

TEST(PngFile, HoldsTheRgbaPixelsRowByRowWithValidChunks) {
    Picture picture = Filled(2, 2, 0);
    picture.argb = {0xFF102030, 0x80405060, 0x00000000, 0x01FFFFFF};
    const std::vector<unsigned char> png = icons::EncodePng(picture);
    ASSERT_GE(png.size(), 8u + 25 + 12 + 12);
    EXPECT_EQ(std::vector<unsigned char>(png.begin(), png.begin() + 8),
              (std::vector<unsigned char>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::size_t at = 8;
    std::vector<unsigned char> header, packed;
    std::vector<std::string> types;
    while (at + 12 <= png.size()) {
        const std::uint32_t length = Read32(png, at);
        const std::string type(png.begin() + static_cast<long>(at) + 4, png.begin() + static_cast<long>(at) + 8);
        const auto data = png.begin() + static_cast<long>(at) + 8;
        EXPECT_EQ(Read32(png, at + 8 + length), crc32(0L, &png[at + 4], 4 + length)) << type;
        if (type == "IHDR") header.assign(data, data + length);
        if (type == "IDAT") packed.insert(packed.end(), data, data + length);
        types.push_back(type);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_EQ(header, (std::vector<unsigned char>{0, 0, 0, 2, 0, 0, 0, 2, 8, 6, 0, 0, 0}));
    std::vector<unsigned char> raw(2 * (1 + 8));
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, packed.data(), packed.size()), Z_OK);
    EXPECT_EQ(raw, (std::vector<unsigned char>{0, 0x10, 0x20, 0x30, 0xFF, 0x40, 0x50, 0x60, 0x80,  //
                                               0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x01}));
}

}  // namespace
