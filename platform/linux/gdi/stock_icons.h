#pragma once
// The system's own icons (LoadIconW(NULL, IDI_...)), drawn by this host:
// 32 x 32 pictures in the usual shapes and colours.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace host::gdi {

// The 0xAARRGGBB pixels of a stock icon, or empty for an id that names none.
std::vector<std::uint32_t> StockIconPixels(WORD id, int size);

}  // namespace host::gdi
