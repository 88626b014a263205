// Bitmaps: compatible bitmaps, bitmaps from bits, DIB sections and reading
// the bits back. Every bitmap holds 32-bit pixels whatever it was made from.

#include "gdi_objects.h"
#include "pixel_pool.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

using namespace host::gdi;

namespace {

// Larger bitmaps fail with ERROR_NOT_ENOUGH_MEMORY, as a display driver
// refuses a bitmap it cannot hold.
constexpr long long kMaxPixels = 1LL << 27;

// A new bitmap of `width` x `height` black pixels, or null with the error set.
std::unique_ptr<BitmapObject> NewBitmap(int width, int height) {
    if (static_cast<long long>(width) * height > kMaxPixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto bitmap = std::make_unique<BitmapObject>();
    try {
        const int w = std::max(0, width), h = std::max(0, height);
        bitmap->buffer.pixels = TakePixels(static_cast<std::size_t>(w) * h, 0);
        bitmap->buffer.width = w;
        bitmap->buffer.height = h;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return bitmap;
}

std::uint32_t Expand5(unsigned v) { return (v << 3) | (v >> 2); }

// One pixel of a device-dependent bitmap's bits, as 0x00RRGGBB.
std::uint32_t ReadPixel(const BYTE* row, int x, UINT bitCount) {
    switch (bitCount) {
        case 1: return (row[x / 8] & (0x80 >> (x % 8))) ? 0x00FFFFFFu : 0u;
        case 16: {
            const unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);  // x-5-5-5
            return (Expand5((v >> 10) & 31) << 16) | (Expand5((v >> 5) & 31) << 8) | Expand5(v & 31);
        }
        case 24: return (row[x * 3 + 2] << 16) | (row[x * 3 + 1] << 8) | row[x * 3];
        default: return (row[x * 4 + 2] << 16) | (row[x * 4 + 1] << 8) | row[x * 4];
    }
}

void LoadBits(BitmapObject& bitmap, UINT bitCount, const BYTE* bits) {
    const int w = bitmap.buffer.width, h = bitmap.buffer.height;
    // Rows of device-dependent bits are padded to a WORD.
    const std::size_t stride = ((static_cast<std::size_t>(w) * bitCount + 15) / 16) * 2;
    for (int y = 0; y < h; ++y) {
        const BYTE* row = bits + y * stride;
        for (int x = 0; x < w; ++x) bitmap.buffer.pixels[static_cast<std::size_t>(y) * w + x] = ReadPixel(row, x, bitCount);
    }
}

bool IsStandardRgbMasks(const BITMAPINFO* info) {
    DWORD masks[3];
    std::memcpy(masks, reinterpret_cast<const BYTE*>(info) + info->bmiHeader.biSize, sizeof masks);
    return masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0x000000FF;
}

}  // namespace

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    if (!FindDc(hdc)) return nullptr;
    if (cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (cx == 0 || cy == 0) return DefaultBitmap();
    auto bitmap = NewBitmap(cx, cy);
    return bitmap ? static_cast<HBITMAP>(AddObject(std::move(bitmap))) : nullptr;
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const VOID* lpBits) {
    if (nWidth < 0 || nHeight < 0 || nPlanes != 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Monochrome, high-colour and true-colour bits; palette-indexed device
    // bitmaps have no palette to be read with and are refused.
    if (nBitCount != 1 && nBitCount != 16 && nBitCount != 24 && nBitCount != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (nWidth == 0 || nHeight == 0) return DefaultBitmap();
    auto bitmap = NewBitmap(nWidth, nHeight);
    if (!bitmap) return nullptr;
    if (lpBits) LoadBits(*bitmap, nBitCount, static_cast<const BYTE*>(lpBits));
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, VOID** ppvBits, HANDLE hSection,
                                DWORD offset) {
    (void)offset;
    if (ppvBits) *ppvBits = nullptr;
    if (hdc && !FindDc(hdc)) return nullptr;
    // Only 32-bit DIB sections: their bits are this host's pixels, shared
    // with the caller. Sections over file mappings have no Linux equivalent here.
    if (!pbmi || hSection || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) ||
        pbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || pbmi->bmiHeader.biBitCount != 32 ||
        pbmi->bmiHeader.biPlanes != 1 || pbmi->bmiHeader.biWidth <= 0 || pbmi->bmiHeader.biHeight == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const DWORD compression = pbmi->bmiHeader.biCompression;
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && IsStandardRgbMasks(pbmi))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const LONG height = pbmi->bmiHeader.biHeight;
    auto bitmap = NewBitmap(pbmi->bmiHeader.biWidth, height < 0 ? -height : height);
    if (!bitmap) return nullptr;
    bitmap->dibSection = true;
    bitmap->bottomUp = height > 0;
    if (ppvBits) *ppvBits = bitmap->buffer.pixels.data();
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits) {
    auto* bitmap = FindTyped<BitmapObject>(hbit, OBJ_BITMAP);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const int w = bitmap->buffer.width, h = bitmap->buffer.height;
    const LONG size = w * h * 4;
    if (!lpvBits) return size;
    if (cb <= 0) return 0;
    const LONG count = cb < size ? cb : size;
    // Device bits run top-down; a bottom-up section stores its rows reversed.
    auto* out = static_cast<BYTE*>(lpvBits);
    for (LONG done = 0, row = 0; done < count; ++row) {
        const int source = bitmap->bottomUp ? h - 1 - row : row;
        const LONG n = std::min<LONG>(w * 4, count - done);
        std::memcpy(out + done, bitmap->buffer.pixels.data() + static_cast<std::size_t>(source) * w, n);
        done += n;
    }
    return count;
}
