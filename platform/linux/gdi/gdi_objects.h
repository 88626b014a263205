#pragma once
// The handle table of the drawing host. Every HGDIOBJ, HDC and HICON the
// host hands out is a key into it, tagged with the object's type, so that
// each call can tell a live handle of the right kind from a stale, deleted
// or foreign one and fail the way Win32 does instead of crashing.
//
// Single-threaded: GDI objects are used on the window thread only.

#include "host/gdi.h"
#include "mapping.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

namespace host::gdi {

class RenderFont;

// Icons are window-system objects in Win32; the drawing host keeps them in
// the same table under a tag of their own, outside the OBJ_* range.
constexpr DWORD kObjIcon = 0x1000;

struct GdiObject {
    explicit GdiObject(DWORD objectType) : type(objectType) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    const DWORD type;
    bool stock = false;          // stock objects and shared icons are never freed
    int selections = 0;          // how many DC states (current or saved) hold it
    bool deletePending = false;  // DeleteObject came while it was selected
};

struct PenObject : GdiObject {
    explicit PenObject(const LOGPEN& pen) : GdiObject(OBJ_PEN), logPen(pen) {}
    LOGPEN logPen;
};

struct BrushObject : GdiObject {
    explicit BrushObject(const LOGBRUSH& brush) : GdiObject(OBJ_BRUSH), logBrush(brush) {}
    LOGBRUSH logBrush;
};

struct FontObject : GdiObject {
    explicit FontObject(const LOGFONTW& font) : GdiObject(OBJ_FONT), logFont(font) {}
    ~FontObject() override;
    LOGFONTW logFont;
    // Renderers by device em size, antialiasing and average width, made on first use.
    std::map<std::tuple<int, bool, int>, std::shared_ptr<RenderFont>> renderers;
    // The renderer of the last mapping scale asked for: most drawing uses
    // one scale, and finding the renderer anew means resolving the face.
    struct LastUse {
        double scaleX = 0, scaleY = 0;
        std::shared_ptr<RenderFont> renderer;
    } lastUse;
};

// Every bitmap holds 32-bit pixels in a PixelBuffer. A bottom-up DIB section
// keeps its rows in memory order (last image row first), as its caller
// expects of the bits pointer it was given.
struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(OBJ_BITMAP) {}
    ~BitmapObject() override;  // its storage may serve the next bitmap
    PixelBuffer buffer;
    bool dibSection = false;
    bool bottomUp = false;
    HDC selectedInto = nullptr;  // the one memory DC it is selected into
};

struct PaletteObject : GdiObject {
    PaletteObject() : GdiObject(OBJ_PAL) {}
};

struct IconObject : GdiObject {
    IconObject() : GdiObject(kObjIcon) {}
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // non-premultiplied 0xAARRGGBB, top-down
};

// What SaveDC keeps and RestoreDC puts back.
struct DcState {
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;  // memory DCs only
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    COLORREF textColor = RGB(0, 0, 0);
    UINT textAlign = TA_LEFT | TA_TOP;
    int polyFillMode = ALTERNATE;
    int rop2 = R2_COPYPEN;
    POINT currentPosition{0, 0};
    Mapping mapping;
};

// A window DC draws on its window's buffer; a memory DC (OBJ_MEMDC) on the
// bitmap selected into it.
struct DcObject : GdiObject {
    explicit DcObject(DWORD dcType) : GdiObject(dcType) {}
    bool IsMemory() const { return type == OBJ_MEMDC; }
    DcState state;
    std::vector<DcState> saved;
    PixelBuffer* windowBuffer = nullptr;
    HWND owner = nullptr;
    // A window context from BeginPaint draws only inside the update
    // region's bounds (device pixels); others draw anywhere on their buffer.
    std::optional<RECT> windowClip;
};

// ---- the table ----

HANDLE AddObject(std::unique_ptr<GdiObject> object);
GdiObject* FindObject(HANDLE handle);
// Removes and frees an object; its handle is never handed out again.
void RemoveObject(HANDLE handle);

template <class T>
T* FindTyped(HANDLE handle, DWORD type) {
    GdiObject* object = FindObject(handle);
    return object && object->type == type ? static_cast<T*>(object) : nullptr;
}

// A DC of either kind, or null (and ERROR_INVALID_HANDLE) for anything else.
DcObject* FindDc(HDC hdc);

// Selection counting: a selected object outlives DeleteObject until the last
// DC state lets go of it, as in Win32.
void Retain(HGDIOBJ handle);
void Release(HGDIOBJ handle);

// The stock objects (GetStockObject indices) and the 1 x 1 bitmap every new
// memory DC starts with.
HGDIOBJ StockObject(int index);
HBITMAP DefaultBitmap();

// Objects that are neither stock nor shared.
std::size_t CountLiveObjects();

}  // namespace host::gdi
