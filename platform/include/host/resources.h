#pragma once
// The resources of this host's modules: what FindResourceW, LoadResource,
// LoadStringW, LoadIconW and LoadImageW find. On Windows they live in the
// executable's resource section; here the program (or a test) registers
// them at start-up, built from data with the helpers below.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace host {

// Registers a resource of `module` (null: the executable), replacing one of
// the same type and name. `type` and `name` are MAKEINTRESOURCE ids or
// strings, matched as Win32 matches them: ids by value, strings without
// regard to case, and "#123" as the id 123.
void RegisterResource(HMODULE module, LPCWSTR type, LPCWSTR name, std::vector<BYTE> bytes);
// Forgets the resources of one module, or of all modules. Handles found
// before become invalid (and fail cleanly when used).
void ClearResources(HMODULE module);
void ClearAllResources();

// ---- string tables ----------------------------------------------------------
// String s lives in RT_STRING block s / 16 + 1 at position s % 16. A block
// holds 16 counted strings, each a count followed by that many WCHARs, as in
// Win32; the count takes one WCHAR, as it does on Windows (where a WCHAR is
// a WORD), so every string in the block stays WCHAR-aligned.

// A block of up to 16 strings (missing ones are empty); empty result for more than 16.
std::vector<BYTE> BuildStringTableBlock(const std::vector<std::wstring>& strings);
// Registers `strings` (id to text) as the RT_STRING blocks of `module`.
void RegisterStringTable(HMODULE module, const std::map<UINT, std::wstring>& strings);

// ---- icons --------------------------------------------------------------------

struct IconImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;              // 4, 8 or 32
    std::vector<std::uint32_t> argb;    // width * height, rows top-down, 0xAARRGGBB
    // 4 and 8 bits per pixel: the colours (0x00RRGGBB) the opaque pixels
    // use, at most 16 or 256; pixels with alpha below 128 are transparent.
    std::vector<std::uint32_t> palette;
};

// An icon as resources: an RT_GROUP_ICON directory and its RT_ICON images
// (BITMAPINFOHEADER DIBs with their AND masks).
struct IconResources {
    std::vector<BYTE> group;
    std::vector<std::pair<WORD, std::vector<BYTE>>> images;  // RT_ICON id, bytes
};

// Encodes `images`; they get the RT_ICON ids firstImageId, firstImageId + 1...
// Empty (no images) when an image is malformed: bad size or depth, pixel
// count, or a palette that is empty or too large.
IconResources BuildIconResources(WORD firstImageId, const std::vector<IconImage>& images);
// Registers the group under `groupName` and each image under its id.
void RegisterIconResources(HMODULE module, LPCWSTR groupName, const IconResources& icon);

}  // namespace host
