#include "gdi_objects.h"
#include "pixel_pool.h"

#include "font_renderer.h"

#include <array>
#include <cwchar>
#include <unordered_map>

namespace host::gdi {

FontObject::~FontObject() = default;

BitmapObject::~BitmapObject() { ReturnPixels(std::move(buffer.pixels)); }

namespace {

struct Table {
    std::unordered_map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
    // Handles start well above the small values that stand for system colours
    // in FillRect ((HBRUSH)(COLOR_WINDOW + 1)) and are never reused, so a
    // stale handle can never name a newer object.
    std::uintptr_t next = 0x10000;
};

Table& TheTable() {
    static Table table;
    return table;
}

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

LOGFONTW MakeLogFont(LONG height, LONG width, LONG weight, BYTE charSet, BYTE pitchAndFamily, const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    lf.lfCharSet = charSet;
    lf.lfPitchAndFamily = pitchAndFamily;
    std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

std::unique_ptr<GdiObject> MakeStock(int index) {
    auto brush = [](UINT style, COLORREF color) {
        return std::make_unique<BrushObject>(LOGBRUSH{style, color, 0});
    };
    auto pen = [](UINT style, COLORREF color) {
        return std::make_unique<PenObject>(LOGPEN{style, {0, 0}, color});
    };
    auto font = [](const LOGFONTW& lf) { return std::make_unique<FontObject>(lf); };
    switch (index) {
        case WHITE_BRUSH: return brush(BS_SOLID, RGB(255, 255, 255));
        case LTGRAY_BRUSH: return brush(BS_SOLID, RGB(192, 192, 192));
        case GRAY_BRUSH: return brush(BS_SOLID, RGB(128, 128, 128));
        case DKGRAY_BRUSH: return brush(BS_SOLID, RGB(64, 64, 64));
        case BLACK_BRUSH: return brush(BS_SOLID, RGB(0, 0, 0));
        case NULL_BRUSH: return brush(BS_NULL, 0);
        case WHITE_PEN: return pen(PS_SOLID, RGB(255, 255, 255));
        case BLACK_PEN: return pen(PS_SOLID, RGB(0, 0, 0));
        case NULL_PEN: return pen(PS_NULL, 0);
        case OEM_FIXED_FONT:
            return font(MakeLogFont(12, 8, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, L"Terminal"));
        case ANSI_FIXED_FONT:
            return font(MakeLogFont(12, 9, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, L"Courier"));
        case ANSI_VAR_FONT:
            return font(MakeLogFont(12, 0, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, L"MS Sans Serif"));
        case SYSTEM_FONT:
            return font(MakeLogFont(16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, L"System"));
        case DEVICE_DEFAULT_FONT:
            return font(MakeLogFont(16, 0, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, L"System"));
        case DEFAULT_PALETTE: return std::make_unique<PaletteObject>();
        case SYSTEM_FIXED_FONT:
            return font(MakeLogFont(16, 8, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, L"Fixedsys"));
        case DEFAULT_GUI_FONT:
            return font(MakeLogFont(-11, 0, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH | FF_SWISS, L"MS Shell Dlg"));
        default: return nullptr;  // 9 is not a stock object
    }
}

HANDLE AddStock(std::unique_ptr<GdiObject> object) {
    object->stock = true;
    return AddObject(std::move(object));
}

}  // namespace

HANDLE AddObject(std::unique_ptr<GdiObject> object) {
    Table& table = TheTable();
    const std::uintptr_t key = table.next;
    table.next += 4;
    table.objects.emplace(key, std::move(object));
    return reinterpret_cast<HANDLE>(key);
}

GdiObject* FindObject(HANDLE handle) {
    Table& table = TheTable();
    const auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second.get();
}

void RemoveObject(HANDLE handle) { TheTable().objects.erase(reinterpret_cast<std::uintptr_t>(handle)); }

DcObject* FindDc(HDC hdc) {
    GdiObject* object = FindObject(hdc);
    if (!object || (object->type != OBJ_DC && object->type != OBJ_MEMDC)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return static_cast<DcObject*>(object);
}

void Retain(HGDIOBJ handle) {
    if (GdiObject* object = FindObject(handle)) ++object->selections;
}

void Release(HGDIOBJ handle) {
    GdiObject* object = FindObject(handle);
    if (!object || object->selections == 0) return;
    if (--object->selections > 0) return;
    if (object->type == OBJ_BITMAP) static_cast<BitmapObject*>(object)->selectedInto = nullptr;
    if (object->deletePending) RemoveObject(handle);
}

HGDIOBJ StockObject(int index) {
    static const std::array<HGDIOBJ, kStockCount> stock = [] {
        std::array<HGDIOBJ, kStockCount> handles{};
        for (int i = 0; i < kStockCount; ++i) {
            if (auto object = MakeStock(i)) handles[i] = AddStock(std::move(object));
        }
        return handles;
    }();
    return index >= 0 && index < kStockCount ? stock[index] : nullptr;
}

HBITMAP DefaultBitmap() {
    // Win32's is a 1 x 1 monochrome bitmap; every bitmap here has 32 bits
    // per pixel, so a compatible bitmap made from a fresh memory DC is never
    // monochrome (the classic surprise of CreateCompatibleBitmap on Windows).
    static const HBITMAP bitmap = [] {
        auto object = std::make_unique<BitmapObject>();
        object->buffer.Resize(1, 1, 0);
        return static_cast<HBITMAP>(AddStock(std::move(object)));
    }();
    return bitmap;
}

std::size_t CountLiveObjects() {
    std::size_t count = 0;
    for (const auto& [key, object] : TheTable().objects) {
        if (!object->stock) ++count;
    }
    return count;
}

}  // namespace host::gdi
