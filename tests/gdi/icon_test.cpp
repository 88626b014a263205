// Icons from RT_ICON images of 4, 8 and 32 bits per pixel (bytes written
// out by hand here, independent of the host's own encoder), the choice of
// an image from a group directory, drawing, stock icons and loading from
// registered resources.

#include "gdi/gdi_test_support.h"

#include "host/modules.h"
#include "host/resources.h"

#include <cstdint>
#include <vector>

namespace {

using gdi_test::Canvas;

// Little-endian writer for hand-made resource bytes.
struct Bytes {
    std::vector<BYTE> data;
    Bytes& u8(unsigned v) {
        data.push_back(static_cast<BYTE>(v));
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& header(int width, int height, int bits, unsigned colours) {
        return u32(40).u32(width).u32(height * 2).u16(1).u16(bits).u32(0).u32(0).u32(0).u32(0).u32(colours).u32(0);
    }
};

std::uint32_t Pixel(HICON icon, int x, int y) {
    int w = 0;
    host::gdi::IconSize(icon, &w, nullptr);
    return host::gdi::IconPixels(icon)[y * w + x];
}

// A 4 x 2 icon in 16 colours: palette 1 red, 2 green; the bottom row's
// third pixel is masked out.
std::vector<BYTE> FourBitIcon() {
    Bytes b;
    b.header(4, 2, 4, 0);
    b.u32(0).u32(0x00FF0000).u32(0x0000FF00);
    for (int i = 3; i < 16; ++i) b.u32(0);
    b.u8(0x22).u8(0x01).u8(0).u8(0);  // bottom row first: 2 2 0 1
    b.u8(0x12).u8(0x12).u8(0).u8(0);  // top row: 1 2 1 2
    b.u32(0x20);                      // bottom mask row: the bit for x = 2
    b.u32(0);                         // top mask row: all opaque
    return b.data;
}

class IconTest : public gdi_test::NoLeaks {};

TEST_F(IconTest, FourBitImageUsesItsPaletteAndMask) {
    std::vector<BYTE> bits = FourBitIcon();
    HICON icon = CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE, 0x00030000, 0, 0, 0);
    ASSERT_NE(icon, nullptr);
    int w = 0, h = 0;
    ASSERT_TRUE(host::gdi::IconSize(icon, &w, &h));
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(Pixel(icon, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(icon, 1, 0), 0xFF00FF00u);
    EXPECT_EQ(Pixel(icon, 3, 1), 0xFFFF0000u);
    EXPECT_EQ(Pixel(icon, 1, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(icon, 2, 1) >> 24, 0u);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(host::gdi::IconSize(icon, &w, &h));
}

TEST_F(IconTest, EightBitImageReadsAShortColourTable) {
    Bytes b;
    b.header(2, 2, 8, 3);  // three colours only
    b.u32(0x000000FF).u32(0x00123456).u32(0x00FFFFFF);
    b.u8(2).u8(0).u8(0).u8(0);  // bottom row: white, blue
    b.u8(1).u8(5).u8(0).u8(0);  // top row: 0x123456, an index past the table
    b.u32(0).u32(0x40);  // bottom mask row clear, top row masks x = 1
    HICON icon = CreateIconFromResourceEx(b.data.data(), static_cast<DWORD>(b.data.size()), TRUE, 0x00030000, 0, 0, 0);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(Pixel(icon, 0, 0), 0xFF123456u);
    EXPECT_EQ(Pixel(icon, 1, 0) >> 24, 0u);
    EXPECT_EQ(Pixel(icon, 0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(icon, 1, 1), 0xFF0000FFu);
    DestroyIcon(icon);
}

TEST_F(IconTest, ThirtyTwoBitImageUsesAlphaOrElseTheMask) {
    Bytes withAlpha;
    withAlpha.header(2, 1, 32, 0);
    withAlpha.u32(0x80FF0000).u32(0x00000000);  // half-transparent red, clear
    withAlpha.u32(0);                            // the mask is ignored when there is alpha
    HICON alpha = CreateIconFromResourceEx(withAlpha.data.data(), static_cast<DWORD>(withAlpha.data.size()), TRUE,
                                           0x00030000, 0, 0, 0);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(Pixel(alpha, 0, 0), 0x80FF0000u);
    EXPECT_EQ(Pixel(alpha, 1, 0) >> 24, 0u);

    Bytes noAlpha;
    noAlpha.header(2, 1, 32, 0);
    noAlpha.u32(0x0000FF00).u32(0x000000FF);
    noAlpha.u32(0x80u);  // the mask clears x = 0
    HICON masked = CreateIconFromResourceEx(noAlpha.data.data(), static_cast<DWORD>(noAlpha.data.size()), TRUE,
                                            0x00030000, 0, 0, 0);
    ASSERT_NE(masked, nullptr);
    EXPECT_EQ(Pixel(masked, 0, 0) >> 24, 0u);
    EXPECT_EQ(Pixel(masked, 1, 0), 0xFF0000FFu);
    // A size asked for resizes the image.
    HICON big = CreateIconFromResourceEx(noAlpha.data.data(), static_cast<DWORD>(noAlpha.data.size()), TRUE,
                                         0x00030000, 8, 4, 0);
    int w = 0, h = 0;
    host::gdi::IconSize(big, &w, &h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 4);
    EXPECT_EQ(Pixel(big, 7, 3), 0xFF0000FFu);
    for (HICON i : {alpha, masked, big}) DestroyIcon(i);
}

TEST_F(IconTest, MalformedImagesAreRefused) {
    std::vector<BYTE> bits = FourBitIcon();
    SetLastError(0);
    EXPECT_EQ(CreateIconFromResourceEx(bits.data(), 60, TRUE, 0x00030000, 0, 0, 0), nullptr);  // cut short
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE, 0x00010000, 0, 0, 0),
              nullptr);
    EXPECT_EQ(CreateIconFromResourceEx(nullptr, 100, TRUE, 0x00030000, 0, 0, 0), nullptr);
    bits[14] = 7;  // seven bits per pixel
    EXPECT_EQ(CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE, 0x00030000, 0, 0, 0),
              nullptr);
    BYTE png[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    SetLastError(0);
    EXPECT_EQ(CreateIconFromResourceEx(png, sizeof png, TRUE, 0x00030000, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

// A directory of four images: 16 x 16 in 16 colours (id 1), 32 x 32 in 16
// colours (id 2), 32 x 32 true colour (id 3) and 48 x 48 true colour (id 4).
std::vector<BYTE> Directory(unsigned type = 1) {
    Bytes b;
    b.u16(0).u16(type).u16(4);
    const struct {
        int size, bits, id;
    } entries[] = {{16, 4, 1}, {32, 4, 2}, {32, 32, 3}, {48, 32, 4}};
    for (const auto& e : entries) {
        b.u8(e.size).u8(e.size).u8(e.bits == 4 ? 16 : 0).u8(0).u16(1).u16(e.bits).u32(100).u16(e.id);
    }
    return b.data;
}

TEST_F(IconTest, LookupPicksTheClosestSizeThenTheClosestDepth) {
    std::vector<BYTE> dir = Directory();
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 32, 32, 0), 3);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 16, 16, 0), 1);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 44, 44, 0), 4);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 32, 32, LR_MONOCHROME), 2);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 0, 0, LR_DEFAULTSIZE), 3);
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 0, 0, 0), 1);  // the first image's size
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), FALSE, 32, 32, 0), 0);  // not a cursor directory
    EXPECT_EQ(LookupIconIdFromDirectoryEx(nullptr, TRUE, 32, 32, 0), 0);
    dir[0] = 1;  // the reserved word must be zero
    EXPECT_EQ(LookupIconIdFromDirectoryEx(dir.data(), TRUE, 32, 32, 0), 0);
}

TEST_F(IconTest, DrawIconBlendsAtTheStandardSize) {
    std::vector<std::uint32_t> pixels(16 * 16, 0x80FF0000u);  // half-transparent red
    pixels[0] = 0x00000000u;
    HICON icon = host::gdi::CreateIconFromPixels(16, 16, pixels.data());
    ASSERT_NE(icon, nullptr);
    Canvas canvas(40, 40);
    EXPECT_TRUE(DrawIcon(canvas.dc(), 4, 4, icon));
    EXPECT_EQ(canvas.At(4, 4), RGB(255, 255, 255));   // transparent corner, doubled
    EXPECT_EQ(canvas.At(5, 5), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(6, 6), RGB(255, 127, 127));
    EXPECT_EQ(canvas.At(35, 35), RGB(255, 127, 127));  // 32 x 32 from (4, 4)
    EXPECT_EQ(canvas.At(36, 36), RGB(255, 255, 255));
    SetLastError(0);
    EXPECT_FALSE(DrawIcon(canvas.dc(), 0, 0, reinterpret_cast<HICON>(canvas.dc())));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
    EXPECT_FALSE(DrawIcon(nullptr, 0, 0, icon));
    EXPECT_TRUE(DrawIcon(canvas.dc(), -30, 38, icon));  // partly off the bitmap
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_EQ(host::gdi::CreateIconFromPixels(0, 4, pixels.data()), nullptr);
}

TEST_F(IconTest, StockIconsAreSharedAndDrawn) {
    HICON app = LoadIconW(nullptr, IDI_APPLICATION);
    HICON warning = LoadIconW(nullptr, IDI_WARNING);
    ASSERT_NE(app, nullptr);
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, IDI_APPLICATION), app);
    EXPECT_EQ(LoadIconW(nullptr, IDI_EXCLAMATION), warning);
    EXPECT_TRUE(DestroyIcon(app));  // shared: stays
    int w = 0, h = 0;
    ASSERT_TRUE(host::gdi::IconSize(app, &w, &h));
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 32);
    // The warning sign is a yellow triangle with a dark mark at its middle.
    EXPECT_EQ(Pixel(warning, 10, 24), 0xFFFFD21Eu);
    EXPECT_EQ(Pixel(warning, 16, 16) & 0x00FFFFFFu, 0x00000000u);
    EXPECT_EQ(Pixel(warning, 1, 1) >> 24, 0u);
    for (LPCWSTR id : {IDI_HAND, IDI_QUESTION, IDI_ASTERISK}) {
        HICON icon = LoadIconW(nullptr, id);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(Pixel(icon, 16, 16) >> 24, 255u);
        EXPECT_EQ(Pixel(icon, 0, 0) >> 24, 0u);
    }
}

std::vector<std::uint32_t> Checker(int size, std::uint32_t a, std::uint32_t b) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) pixels[y * size + x] = ((x / 4 + y / 4) % 2) ? a : b;
    }
    return pixels;
}

TEST_F(IconTest, IconsLoadFromRegisteredResources) {
    const HMODULE module = host::ExecutableModule();
    host::IconImage sixteen{32, 32, 4, Checker(32, 0xFF0000FFu, 0x00000000u), {0x0000FF, 0xFFFFFF}};
    host::IconImage twoFiftySix{32, 32, 8, Checker(32, 0xFF00FF00u, 0x00000000u), {0x00FF00}};
    host::IconImage trueColour{32, 32, 32, Checker(32, 0x80FF0000u, 0xFF102030u), {}};
    host::IconImage small{16, 16, 32, Checker(16, 0xFF123456u, 0xFF654321u), {}};
    const host::IconResources icon = host::BuildIconResources(1, {sixteen, twoFiftySix, trueColour, small});
    ASSERT_EQ(icon.images.size(), 4u);
    host::RegisterIconResources(module, MAKEINTRESOURCEW(128), icon);

    HICON loaded = LoadIconW(nullptr, MAKEINTRESOURCEW(128));  // null: the executable
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(128)), loaded);  // shared
    const std::uint32_t* pixels = host::gdi::IconPixels(loaded);
    EXPECT_EQ(std::vector<std::uint32_t>(pixels, pixels + 32 * 32), trueColour.argb);

    HICON fromSmall = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(128), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(fromSmall, nullptr);
    pixels = host::gdi::IconPixels(fromSmall);
    EXPECT_EQ(std::vector<std::uint32_t>(pixels, pixels + 16 * 16), small.argb);
    DestroyIcon(fromSmall);

    // The 16-colour image decodes to its palette colours with clear pixels masked.
    const auto& image = icon.images[0].second;
    HICON four = CreateIconFromResourceEx(const_cast<BYTE*>(image.data()), static_cast<DWORD>(image.size()), TRUE,
                                          0x00030000, 0, 0, 0);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(Pixel(four, 4, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel(four, 0, 0) >> 24, 0u);
    DestroyIcon(four);

    SetLastError(0);
    EXPECT_EQ(LoadIconW(module, MAKEINTRESOURCEW(129)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadImageW(module, MAKEINTRESOURCEW(128), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    host::ClearResources(module);
}

TEST_F(IconTest, BuilderRefusesMalformedImages) {
    host::IconImage wrongCount{4, 4, 32, std::vector<std::uint32_t>(15), {}};
    host::IconImage noPalette{4, 4, 8, std::vector<std::uint32_t>(16), {}};
    host::IconImage bigPalette{4, 4, 4, std::vector<std::uint32_t>(16), std::vector<std::uint32_t>(17)};
    host::IconImage tooLarge{300, 4, 32, std::vector<std::uint32_t>(1200), {}};
    for (const host::IconImage& bad : {wrongCount, noPalette, bigPalette, tooLarge}) {
        EXPECT_TRUE(host::BuildIconResources(1, {bad}).images.empty());
    }
    EXPECT_TRUE(host::BuildIconResources(1, {}).group.empty());
}

}  // namespace
