#pragma once
// What the drawing host offers the window host and the tests beyond the
// Win32 surface: device contexts over a window's pixel buffer, icons made
// from pixels, and reading pixels back.
//
// Pixels are 32 bits, rows top-down, 0x00RRGGBB (the layout of a 32-bit DIB
// in memory); the top byte is ignored on reading and may hold anything.
// COLORREF (0x00BBGGRR) appears only at the Win32 surface.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace host {

struct PixelBuffer {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height, row-major, top-down

    void Resize(int w, int h, std::uint32_t fill = 0x00FFFFFF);
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0x00FFFFFFu; }
};

// COLORREF <-> pixel.
constexpr std::uint32_t PixelFromColor(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

namespace gdi {

// A device context that draws on `buffer` (a window's backing store). The
// buffer must outlive the context; it may be resized in place between
// drawings. `owner` is what WindowFromDC answers.
HDC CreateBufferDC(PixelBuffer* buffer, HWND owner);
// Limits drawing through a context made by CreateBufferDC to `deviceRect`,
// as BeginPaint's context is limited to the update region.
void ClipBufferDC(HDC hdc, const RECT& deviceRect);
// Releases a context made by CreateBufferDC (ReleaseDC / EndPaint use it).
void DeleteBufferDC(HDC hdc);
// The pixel buffer a context draws on now (its selected bitmap for a memory
// context), or null.
PixelBuffer* TargetBuffer(HDC hdc);

// Icons: HICON objects holding 0xAARRGGBB pixels (non-premultiplied alpha).
HICON CreateIconFromPixels(int width, int height, const std::uint32_t* argb);
bool IconSize(HICON icon, int* width, int* height);
const std::uint32_t* IconPixels(HICON icon);

// The dots per inch a screen context reports when the active machine names
// none (GetDeviceCaps LOGPIXELSX/Y). The window host installs the screen's.
void SetScreenDpiProvider(std::function<int()> provider);

// Where FillRect and FrameRect find a system colour when they are given
// (HBRUSH)(COLOR_xxx + 1) instead of a brush: the window host installs
// GetSysColor. Without a provider such a "brush" is refused like a bad handle.
void SetSysColorProvider(std::function<COLORREF(int index)> provider);

// How a font resolves on this host, so that Qt-native controls can show the
// same face at the same size as text drawn through a DC.
struct ResolvedFont {
    std::wstring family;   // the face fontconfig is asked for ("Liberation Sans")
    int pixelSize = 0;     // em height in pixels
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool antialiased = true;
};
// False (and nothing written) for a handle that is not a live font.
bool ResolveFont(HFONT font, ResolvedFont* resolved);

// Number of live GDI objects, DCs and icons (stock objects and shared icons
// excluded), for leak tests.
std::size_t LiveObjectCount();

}  // namespace gdi
}  // namespace host
