// Icons: made from RT_ICON images, chosen from RT_GROUP_ICON directories,
// loaded from the module's resources or the system's own set, and drawn
// with alpha blending.

#include "dib.h"
#include "draw_target.h"
#include "stock_icons.h"

#include "host/modules.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <string>
#include <tuple>

namespace host::gdi {

namespace {

constexpr int kIconSize = 32;  // SM_CXICON and SM_CYICON at 96 dots per inch
constexpr int kScreenDepth = 32;
constexpr std::size_t kDirHeader = 6, kDirEntry = 14;
constexpr WORD kFirstStockIcon = 32512, kLastStockIcon = 32516;

HICON AddIcon(DecodedImage image, bool shared) {
    auto icon = std::make_unique<IconObject>();
    icon->width = image.width;
    icon->height = image.height;
    icon->argb = std::move(image.argb);
    icon->stock = shared;  // shared icons live as long as the process
    return static_cast<HICON>(AddObject(std::move(icon)));
}

std::uint32_t Read16(const BYTE* p) { return p[0] | (p[1] << 8); }

struct DirEntry {
    int width, height, bits;
    WORD id;
};

// Entry n of an icon (type 1) or cursor (type 2) directory.
bool ReadEntry(const BYTE* dir, std::size_t size, bool icon, int n, DirEntry* e) {
    if (n >= static_cast<int>(Read16(dir + 4))) return false;
    const std::size_t at = kDirHeader + static_cast<std::size_t>(n) * kDirEntry;
    if (at + kDirEntry > size) return false;
    const BYTE* p = dir + at;
    if (icon) {
        e->width = p[0] ? p[0] : 256;
        e->height = p[1] ? p[1] : 256;
    } else {
        e->width = static_cast<int>(Read16(p));
        e->height = static_cast<int>(Read16(p + 2));
        if (e->height == e->width * 2) e->height /= 2;  // cursor heights count the mask
    }
    e->bits = static_cast<int>(Read16(p + 6));
    e->id = static_cast<WORD>(Read16(p + 12));
    return true;
}

// The icon closest to the size, then to the depth, as user32 chooses it.
int BestIcon(const BYTE* dir, std::size_t size, int width, int height, int depth, UINT flags) {
    DirEntry e{};
    unsigned long long bestSize = ULLONG_MAX;
    if (flags & LR_DEFAULTSIZE) {
        if (!width) width = kIconSize;
        if (!height) height = kIconSize;
    } else if (!width && !height) {
        if (!ReadEntry(dir, size, true, 0, &e)) return -1;
        width = e.width;  // the size of the first image
        height = e.height;
    }
    for (int i = 0; ReadEntry(dir, size, true, i, &e); ++i) {
        bestSize = std::min<unsigned long long>(bestSize, std::abs(width - e.width) + std::abs(height - e.height));
    }
    int best = -1;
    unsigned long long bestDepth = ULLONG_MAX;
    for (int i = 0; ReadEntry(dir, size, true, i, &e); ++i) {
        if (static_cast<unsigned long long>(std::abs(width - e.width) + std::abs(height - e.height)) != bestSize) {
            continue;
        }
        const unsigned long long depthGap = std::abs(depth - e.bits);
        if (depthGap < bestDepth) {
            best = i;
            bestDepth = depthGap;
        }
    }
    return best;
}

// The largest cursor no bigger than asked for, else the smallest larger one.
int BestCursor(const BYTE* dir, std::size_t size, int width, int height, UINT flags) {
    DirEntry e{};
    if (flags & LR_DEFAULTSIZE) {
        if (!width) width = kIconSize;
        if (!height) height = kIconSize;
    } else if (!width && !height) {
        return ReadEntry(dir, size, false, 0, &e) ? 0 : -1;
    }
    int best = -1, bestW = 0, bestH = 0, bestBits = 0;
    for (int i = 0; ReadEntry(dir, size, false, i, &e); ++i) {
        if (e.width > width || e.height > height || e.width < bestW || e.height < bestH) continue;
        if (e.width == bestW && e.height == bestH && e.bits <= bestBits) continue;
        best = i, bestW = e.width, bestH = e.height, bestBits = e.bits;
    }
    if (best >= 0) return best;
    bestW = bestH = 255;
    bestBits = 0;
    for (int i = 0; ReadEntry(dir, size, false, i, &e); ++i) {
        if (e.width > bestW || e.height > bestH) continue;
        if (e.width == bestW && e.height == bestH && e.bits <= bestBits) continue;
        best = i, bestW = e.width, bestH = e.height, bestBits = e.bits;
    }
    return best < 0 ? 0 : best;
}

int FindBestEntry(const BYTE* dir, std::size_t size, bool icon, int cx, int cy, UINT flags) {
    if (!dir || size < kDirHeader || Read16(dir) != 0 || Read16(dir + 2) != (icon ? 1u : 2u)) return -1;
    const int depth = (flags & LR_MONOCHROME) ? 1 : kScreenDepth;
    return icon ? BestIcon(dir, size, cx, cy, depth, flags) : BestCursor(dir, size, cx, cy, flags);
}

bool IsStockIconId(LPCWSTR name) {
    if (!IS_INTRESOURCE(name)) return false;
    const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    return id >= kFirstStockIcon && id <= kLastStockIcon;
}

HICON StockIcon(LPCWSTR name) {
    static std::map<WORD, HICON> loaded;
    const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    if (auto it = loaded.find(id); it != loaded.end()) return it->second;
    DecodedImage image;
    image.width = image.height = kIconSize;
    image.argb = StockIconPixels(id, kIconSize);
    const HICON icon = AddIcon(std::move(image), true);
    loaded.emplace(id, icon);
    return icon;
}

std::wstring NameKey(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
    std::wstring key;
    for (const wchar_t* p = name; *p; ++p) key.push_back(static_cast<wchar_t>(std::towupper(*p)));
    return key;
}

// The bytes of a module's resource, or null with the error FindResourceW set.
const BYTE* ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD* size) {
    const HRSRC found = FindResourceW(module, name, type);
    if (!found) return nullptr;
    *size = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

HICON LoadIconResource(HMODULE module, LPCWSTR name, int cx, int cy, UINT flags) {
    DWORD dirSize = 0;
    const BYTE* dir = ResourceBytes(module, name, RT_GROUP_ICON, &dirSize);
    if (!dir) return nullptr;
    const int index = FindBestEntry(dir, dirSize, true, cx, cy, flags);
    DirEntry entry{};
    if (index < 0 || !ReadEntry(dir, dirSize, true, index, &entry)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    DWORD size = 0;
    const BYTE* bits = ResourceBytes(module, MAKEINTRESOURCEW(entry.id), RT_ICON, &size);
    if (!bits) return nullptr;
    return CreateIconFromResourceEx(const_cast<BYTE*>(bits), size, TRUE, 0x00030000, cx, cy,
                                    flags & (LR_DEFAULTSIZE | LR_MONOCHROME));
}

HBITMAP LoadBitmapResource(HMODULE module, LPCWSTR name) {
    DWORD size = 0;
    const BYTE* bits = ResourceBytes(module, name, RT_BITMAP, &size);
    if (!bits) return nullptr;
    DecodedImage image;
    if (!DecodePackedDib(bits, size, &image)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->buffer.Resize(image.width, image.height, 0);
    for (std::size_t i = 0; i < image.argb.size(); ++i) bitmap->buffer.pixels[i] = image.argb[i] & 0x00FFFFFFu;
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

void BlendIcon(const DrawTarget& target, POINT at, const DecodedImage& image) {
    const RECT area = Intersect(ClampedRect(at.x, at.y, static_cast<long long>(at.x) + image.width,
                                            static_cast<long long>(at.y) + image.height),
                                target.clip);
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = target.surface.Row(y);
        for (int x = area.left; x < area.right; ++x) {
            const std::uint32_t s = image.argb[static_cast<std::size_t>(y - at.y) * image.width + (x - at.x)];
            const unsigned a = s >> 24;
            if (a == 0) continue;
            std::uint32_t out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const unsigned c = (s >> shift) & 0xFF, d = (row[x] >> shift) & 0xFF;
                out |= ((c * a + d * (255 - a) + 127) / 255) << shift;
            }
            row[x] = out;
        }
    }
}

}  // namespace

HICON CreateIconFromPixels(int width, int height, const std::uint32_t* argb) {
    if (width <= 0 || height <= 0 || !argb) return nullptr;
    DecodedImage image;
    image.width = width;
    image.height = height;
    image.argb.assign(argb, argb + static_cast<std::size_t>(width) * height);
    return AddIcon(std::move(image), false);
}

bool IconSize(HICON icon, int* width, int* height) {
    auto* object = FindTyped<IconObject>(icon, kObjIcon);
    if (!object) return false;
    if (width) *width = object->width;
    if (height) *height = object->height;
    return true;
}

const std::uint32_t* IconPixels(HICON icon) {
    auto* object = FindTyped<IconObject>(icon, kObjIcon);
    return object ? object->argb.data() : nullptr;
}

std::size_t LiveObjectCount() { return CountLiveObjects(); }

}  // namespace host::gdi

using namespace host::gdi;

HICON WINAPI CreateIconFromResourceEx(PBYTE presbits, DWORD dwResSize, BOOL fIcon, DWORD dwVer, int cxDesired,
                                      int cyDesired, UINT Flags) {
    if (!presbits || dwVer < 0x00020000 || dwVer > 0x00030000 || cxDesired < 0 || cyDesired < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BYTE* data = presbits;
    std::size_t size = dwResSize;
    if (!fIcon) {  // a cursor image starts with its hot spot
        if (size < 4) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        data += 4;
        size -= 4;
    }
    if (size >= 4 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') {
        SetLastError(ERROR_NOT_SUPPORTED);  // PNG-compressed images are not decoded by this host
        return nullptr;
    }
    DecodedImage image;
    if (!DecodeIconImage(data, size, &image)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int width = cxDesired, height = cyDesired;
    if (Flags & LR_DEFAULTSIZE) {
        if (!width) width = kIconSize;
        if (!height) height = kIconSize;
    } else {
        if (!width) width = image.width;
        if (!height) height = image.height;
    }
    if (width != image.width || height != image.height) image = Resample(image, width, height);
    return AddIcon(std::move(image), false);
}

int WINAPI LookupIconIdFromDirectoryEx(PBYTE presbits, BOOL fIcon, int cxDesired, int cyDesired, UINT Flags) {
    // Win32 gives this call no size: the directory's own count bounds it.
    const std::size_t size = presbits ? kDirHeader + Read16(presbits + 4) * kDirEntry : 0;
    const int index = FindBestEntry(presbits, size, fIcon != FALSE, cxDesired, cyDesired, Flags);
    DirEntry entry{};
    if (index < 0 || !ReadEntry(presbits, size, fIcon != FALSE, index, &entry)) return 0;
    return entry.id;
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    auto* icon = FindTyped<IconObject>(hIcon, kObjIcon);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!icon->stock) RemoveObject(hIcon);  // shared icons stay for whoever else holds them
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    DrawTarget target;
    if (!OpenTarget(hDC, &target)) return FALSE;
    auto* icon = FindTyped<IconObject>(hIcon, kObjIcon);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (target.surface.Empty()) return TRUE;
    DecodedImage image{icon->width, icon->height, icon->argb};
    if (image.width != kIconSize || image.height != kIconSize) image = Resample(image, kIconSize, kIconSize);
    BlendIcon(target, target.ToDevice(X, Y), image);
    return TRUE;
}

HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (fuLoad & LR_LOADFROMFILE) {
        SetLastError(ERROR_NOT_SUPPORTED);  // the program loads images from its resources only
        return nullptr;
    }
    if (type == IMAGE_BITMAP) return LoadBitmapResource(hInst, name);
    if (type != IMAGE_ICON) {
        SetLastError(type == IMAGE_CURSOR ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
        return nullptr;  // the window host draws its cursors itself
    }
    if (!hInst && IsStockIconId(name)) return StockIcon(name);
    const HMODULE module = hInst ? hInst : host::ExecutableModule();
    if (!(fuLoad & LR_SHARED)) return LoadIconResource(module, name, cx, cy, fuLoad);
    // A shared icon is loaded once for each module, name and size.
    static std::map<std::tuple<HMODULE, std::wstring, int, int, UINT>, HICON> shared;
    const auto key = std::make_tuple(module, NameKey(name), cx, cy, fuLoad & (LR_DEFAULTSIZE | LR_MONOCHROME));
    if (auto it = shared.find(key); it != shared.end() && FindObject(it->second)) return it->second;
    const HICON icon = LoadIconResource(module, name, cx, cy, fuLoad);
    if (!icon) return nullptr;
    FindObject(icon)->stock = true;
    shared[key] = icon;
    return icon;
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    return static_cast<HICON>(LoadImageW(hInstance, lpIconName, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
