#include "smoke_capture.h"

#include <cstdio>
#include <vector>

namespace smoke {

namespace {

bool WriteBitmapFile(const wchar_t* path, const BITMAPINFOHEADER& header, const std::vector<BYTE>& bits) {
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* out = _wfopen(path, L"wb");
    if (!out) return false;
    const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1 &&
                         std::fwrite(bits.data(), 1, bits.size(), out) == bits.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

bool WriteWindowPicture(HWND hwnd, const wchar_t* path) {
    RECT rect;
    if (!::GetWindowRect(hwnd, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as a BMP file keeps its rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<BYTE> bits(stride * height);

    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    bool copied = ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    ::SelectObject(memory, old);
    copied = copied && ::GetDIBits(memory, bitmap, 0, height, bits.data(), reinterpret_cast<BITMAPINFO*>(&header),
                                   DIB_RGB_COLORS) == height;
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return copied && WriteBitmapFile(path, header, bits);
}

}  // namespace smoke
