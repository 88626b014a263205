// Device contexts: creation and deletion, object selection, SaveDC and
// RestoreDC, and the host's window contexts over pixel buffers.

#include "draw_target.h"

#include <windows.h>

namespace host::gdi {

namespace {

void RetainState(const DcState& state) {
    Retain(state.pen);
    Retain(state.brush);
    Retain(state.font);
    if (state.bitmap) Retain(state.bitmap);
}

void ReleaseState(const DcState& state) {
    Release(state.pen);
    Release(state.brush);
    Release(state.font);
    if (state.bitmap) Release(state.bitmap);
}

HDC NewDc(DWORD type) {
    auto dc = std::make_unique<DcObject>(type);
    dc->state.pen = static_cast<HPEN>(StockObject(BLACK_PEN));
    dc->state.brush = static_cast<HBRUSH>(StockObject(WHITE_BRUSH));
    dc->state.font = static_cast<HFONT>(StockObject(SYSTEM_FONT));
    if (type == OBJ_MEMDC) dc->state.bitmap = DefaultBitmap();
    RetainState(dc->state);
    return static_cast<HDC>(AddObject(std::move(dc)));
}

void DestroyDc(HDC hdc, DcObject* dc) {
    for (const DcState& state : dc->saved) ReleaseState(state);
    ReleaseState(dc->state);
    RemoveObject(hdc);
}

// Swaps one of the DC's selections, keeping the selection counts right.
template <class Handle>
Handle Swap(Handle& slot, Handle replacement) {
    const Handle previous = slot;
    Retain(replacement);
    slot = replacement;
    Release(previous);
    return previous;
}

HGDIOBJ SelectBitmap(HDC hdc, DcObject& dc, BitmapObject& bitmap, HBITMAP handle) {
    // Only a memory DC draws on a bitmap, and a bitmap lives in one DC at a time.
    if (!dc.IsMemory()) return nullptr;
    if (!bitmap.stock && bitmap.selectedInto && bitmap.selectedInto != hdc) return nullptr;
    if (!bitmap.stock) bitmap.selectedInto = hdc;
    return Swap(dc.state.bitmap, handle);
}

}  // namespace

bool OpenTarget(HDC hdc, DrawTarget* target) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return false;
    target->dc = dc;
    target->surface = SurfaceOf(*dc);
    target->clip = target->surface.Bounds();
    if (dc->windowClip) target->clip = Intersect(target->clip, *dc->windowClip);
    return true;
}

const PenObject& SelectedPen(const DcObject& dc) {
    if (auto* pen = FindTyped<PenObject>(dc.state.pen, OBJ_PEN)) return *pen;
    return *FindTyped<PenObject>(StockObject(BLACK_PEN), OBJ_PEN);
}

const BrushObject& SelectedBrush(const DcObject& dc) {
    if (auto* brush = FindTyped<BrushObject>(dc.state.brush, OBJ_BRUSH)) return *brush;
    return *FindTyped<BrushObject>(StockObject(WHITE_BRUSH), OBJ_BRUSH);
}

FontObject& SelectedFont(const DcObject& dc) {
    if (auto* font = FindTyped<FontObject>(dc.state.font, OBJ_FONT)) return *font;
    return *FindTyped<FontObject>(StockObject(SYSTEM_FONT), OBJ_FONT);
}

HDC CreateBufferDC(PixelBuffer* buffer, HWND owner) {
    if (!buffer) return nullptr;
    const HDC hdc = NewDc(OBJ_DC);
    DcObject* dc = FindDc(hdc);
    dc->windowBuffer = buffer;
    dc->owner = owner;
    return hdc;
}

void ClipBufferDC(HDC hdc, const RECT& deviceRect) {
    DcObject* dc = FindDc(hdc);
    if (dc && !dc->IsMemory()) dc->windowClip = deviceRect;
}

void DeleteBufferDC(HDC hdc) {
    GdiObject* object = FindObject(hdc);
    if (object && object->type == OBJ_DC) DestroyDc(hdc, static_cast<DcObject*>(object));
}

PixelBuffer* TargetBuffer(HDC hdc) {
    GdiObject* object = FindObject(hdc);
    if (!object || (object->type != OBJ_DC && object->type != OBJ_MEMDC)) return nullptr;
    auto* dc = static_cast<DcObject*>(object);
    if (!dc->IsMemory()) return dc->windowBuffer;
    auto* bitmap = FindTyped<BitmapObject>(dc->state.bitmap, OBJ_BITMAP);
    // A bottom-up DIB section's rows are upside down in its buffer.
    return bitmap && !bitmap->bottomUp ? &bitmap->buffer : nullptr;
}

}  // namespace host::gdi

using namespace host::gdi;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !FindDc(hdc)) return nullptr;
    return NewDc(OBJ_MEMDC);
}

BOOL WINAPI DeleteDC(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    // A window's DC goes back with ReleaseDC or EndPaint, never DeleteDC.
    if (!dc->IsMemory()) return FALSE;
    DestroyDc(hdc, dc);
    return TRUE;
}

HWND WINAPI WindowFromDC(HDC hDC) {
    GdiObject* object = FindObject(hDC);
    if (!object || object->type != OBJ_DC) return nullptr;
    return static_cast<DcObject*>(object)->owner;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return nullptr;
    GdiObject* object = FindObject(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    DcState& state = dc->state;
    switch (object->type) {
        case OBJ_PEN: return Swap(state.pen, static_cast<HPEN>(h));
        case OBJ_BRUSH: return Swap(state.brush, static_cast<HBRUSH>(h));
        case OBJ_FONT: return Swap(state.font, static_cast<HFONT>(h));
        case OBJ_BITMAP:
            return SelectBitmap(hdc, *dc, *static_cast<BitmapObject*>(object), static_cast<HBITMAP>(h));
        default:
            // Palettes go through SelectPalette; DCs and icons are not selectable.
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
    }
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_PEN: return dc->state.pen;
        case OBJ_BRUSH: return dc->state.brush;
        case OBJ_FONT: return dc->state.font;
        case OBJ_BITMAP: return dc->state.bitmap;
        case OBJ_PAL: return StockObject(DEFAULT_PALETTE);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

int WINAPI SaveDC(HDC hdc) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return 0;
    RetainState(dc->state);
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
    DcObject* dc = FindDc(hdc);
    if (!dc) return FALSE;
    const int depth = static_cast<int>(dc->saved.size());
    // A negative level counts back from the most recent save.
    const int level = nSavedDC < 0 ? depth + nSavedDC + 1 : nSavedDC;
    if (level < 1 || level > depth) return FALSE;
    ReleaseState(dc->state);
    dc->state = dc->saved[level - 1];  // its selections move over with it
    for (int i = level; i < depth; ++i) ReleaseState(dc->saved[i]);
    dc->saved.resize(level - 1);
    return TRUE;
}
