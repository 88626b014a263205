// Dialogs from templates, placed in dialog units: a unit is a quarter of the
// dialog font's average character width across and an eighth of its height
// down, as Win32 computes them (MulDiv, rounding half away from zero).

#include "dialog.h"

#include "dialog_template.h"
#include "geometry.h"
#include "window_class.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <memory>

namespace host::user {

namespace {

constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

int ScreenDpi() {
    HDC dc = CreateCompatibleDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) DeleteDC(dc);
    return dpi > 0 ? dpi : 96;
}

// The template's font, made at the screen's dots per inch; null when the
// template names none.
HFONT CreateTemplateFont(const DialogTemplate& t) {
    if (!t.hasFont) return nullptr;
    // 0x7FFF asks for the system's message font; the host's is the system font.
    if (t.pointSize == 0x7FFF) return nullptr;
    const int pixels = MulDiv(t.pointSize, ScreenDpi(), 72);
    return CreateFontW(-pixels, 0, 0, 0, t.weight, t.italic, FALSE, FALSE, t.charSet, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FF_DONTCARE, t.face.c_str());
}

void SystemBaseUnits(int* baseX, int* baseY) {
    if (!MeasureBaseUnits(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), baseX, baseY)) {
        *baseX = 8;  // Windows' own figures for its system font at 96 dpi
        *baseY = 16;
    }
}

QRect ToPixels(const DialogInfo& info, short x, short y, short cx, short cy) {
    return QRect(MulDiv(x, info.baseX, 4), MulDiv(y, info.baseY, 8), MulDiv(cx, info.baseX, 4),
                 MulDiv(cy, info.baseY, 8));
}

// Where a top-level dialog goes: centred (DS_CENTER) or at its template
// place from the owner's client origin.
QPoint DialogPosition(const DialogTemplate& t, const DialogInfo& info, HWND owner, QSize size) {
    if (t.style & DS_CENTER) {
        const QScreen* screen = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
        const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), ScreenSize());
        return area.center() - QPoint(size.width() / 2, size.height() / 2);
    }
    QPoint pos = ToPixels(info, t.x, t.y, 0, 0).topLeft();
    if (!(t.style & (WS_CHILD | DS_ABSALIGN))) {
        if (WindowRef ownerWindow = LookupWindow(owner)) pos += ClientOriginOnScreen(*ownerWindow);
    }
    return pos;
}

LPCWSTR ClassName(const TemplateName& name) {
    if (name.isOrdinal) return name.ordinal >= 0xC000 ? MAKEINTATOM(name.ordinal) : ClassForOrdinal(name.ordinal);
    return name.text.c_str();
}

HWND CreateDialogWindow(const DialogTemplate& t, const DialogInfo& info, HINSTANCE instance, HWND parent) {
    DWORD style = t.style & ~WS_VISIBLE;
    DWORD exStyle = t.exStyle;
    if (t.style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (t.style & DS_CONTROL) {
        style &= ~(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    const QRect client = ToPixels(info, 0, 0, t.cx, t.cy);
    QSize size = client.size();
    QPoint pos;
    if (style & WS_CHILD) {
        pos = ToPixels(info, t.x, t.y, 0, 0).topLeft();
        Window probe;
        probe.style = style;
        probe.exStyle = exStyle;
        size = size.grownBy(NonClientMargins(probe));
    } else {
        pos = DialogPosition(t, info, parent, size);
    }
    const LPCWSTR className = t.className.IsEmpty() ? WC_DIALOG : ClassName(t.className);
    if (!className) return nullptr;
    // A template's menu bar is left out: the host shows no menu bars.
    return CreateWindowExW(exStyle, className, t.title.c_str(), style, pos.x(), pos.y(), size.width(), size.height(),
                           parent, nullptr, instance, nullptr);
}

// The caption of a template item as CreateWindowExW takes it: a string, or
// 0xFFFF and the ordinal (an icon's resource id).
std::wstring ItemCaption(const TemplateName& title) {
    if (!title.isOrdinal) return title.text;
    return std::wstring{static_cast<wchar_t>(0xFFFF), static_cast<wchar_t>(title.ordinal)};
}

bool CreateControls(HWND dialog, const DialogTemplate& t, const DialogInfo& info, HINSTANCE instance) {
    for (const DialogItemTemplate& item : t.items) {
        const QRect rect = ToPixels(info, item.x, item.y, item.cx, item.cy);
        const LPCWSTR className = ClassName(item.className);
        const std::wstring caption = ItemCaption(item.title);
        HWND control = className ? CreateWindowExW(item.exStyle | WS_EX_NOPARENTNOTIFY, className, caption.c_str(),
                                                   item.style | WS_CHILD, rect.x(), rect.y(), rect.width(),
                                                   rect.height(), dialog, reinterpret_cast<HMENU>(
                                                       static_cast<ULONG_PTR>(item.id)),
                                                   instance, const_cast<void*>(item.creationData))
                                 : nullptr;
        if (!LookupWindow(dialog)) return false;
        if (!control) {
            if (t.style & DS_NOFAILCREATE) continue;
            return false;
        }
        // Template order is the order from the top of the z-order down.
        if (WindowRef window = LookupWindow(control); window && window->widget) window->widget->lower();
        if (info.font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(info.font), 0);
    }
    return true;
}

// The first control that takes the focus by Tab, as WM_INITDIALOG gets it.
HWND FirstTabStop(HWND dialog) {
    WindowRef window = LookupWindow(dialog);
    if (!window) return nullptr;
    for (HWND child : window->children) {
        WindowRef control = LookupWindow(child);
        if (control && (control->style & WS_TABSTOP) && !(control->style & WS_DISABLED)) return child;
    }
    return window->children.empty() ? nullptr : window->children.front();
}

}  // namespace

bool MeasureBaseUnits(HFONT font, int* baseX, int* baseY) {
    if (!font) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    SIZE extent{};
    const bool ok = old && GetTextMetricsW(dc, &tm) && GetTextExtentPoint32W(dc, kAlphabet, 52, &extent);
    if (old) SelectObject(dc, old);
    DeleteDC(dc);
    if (!ok || extent.cx <= 0 || tm.tmHeight <= 0) return false;
    *baseX = (extent.cx / 26 + 1) / 2;
    *baseY = tm.tmHeight;
    return true;
}

HWND CreateDialogFromTemplate(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC proc,
                              LPARAM param, bool modal) {
    DialogTemplate t;
    if (!ParseDialogTemplate(dialogTemplate, &t)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (parent && !ValidWindow(parent)) return nullptr;
    // A top-level dialog is owned by its parent's top-level window.
    const HWND owner = (t.style & WS_CHILD) ? parent : TopLevelOf(parent);

    auto info = std::make_unique<DialogInfo>();
    info->font = CreateTemplateFont(t);
    if (!info->font || !MeasureBaseUnits(info->font, &info->baseX, &info->baseY)) {
        SystemBaseUnits(&info->baseX, &info->baseY);
    }
    const HWND hwnd = CreateDialogWindow(t, *info, instance, owner);
    WindowRef window = LookupWindow(hwnd);
    if (!window) {
        if (info->font) DeleteObject(info->font);
        return nullptr;
    }
    // The dialog procedure sees messages from WM_SETFONT on, as on Windows.
    window->dialog = std::move(info);
    const DialogInfo& dialog = *window->dialog;
    SetWindowLongPtrW(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (modal && owner && IsWindowEnabled(owner)) {
        window->dialog->disabledOwner = owner;
        EnableWindow(owner, FALSE);
    }
    if (dialog.font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialog.font), 0);
    if (!CreateControls(hwnd, t, dialog, instance)) {
        if (LookupWindow(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    const HWND focus = FirstTabStop(hwnd);
    if (SendMessageW(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param) && focus && IsWindow(focus)) {
        SetFocus(focus);
    }
    window = LookupWindow(hwnd);
    if (!window) return nullptr;
    if ((t.style & WS_VISIBLE) && !window->dialog->ended) ShowWindow(hwnd, SW_SHOWNORMAL);
    return hwnd;
}

INT_PTR DialogResult(const Window& dialog) { return dialog.dialog && dialog.dialog->ended ? dialog.dialog->result : 0; }

}  // namespace host::user

using namespace host::user;

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    return CreateDialogFromTemplate(hInstance, lpTemplate, hWndParent, lpDialogFunc, dwInitParam, false);
}

HWND WINAPI CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
    HRSRC resource = FindResourceW(hInstance, lpTemplateName, RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(hInstance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return nullptr;
    return CreateDialogIndirectParamW(hInstance, static_cast<LPCDLGTEMPLATEW>(data), hWndParent, lpDialogFunc,
                                      dwInitParam);
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    WindowRef window = ValidWindow(hDlg);
    if (!window) return FALSE;
    if (!window->dialog || !lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DialogInfo& info = *window->dialog;
    lpRect->left = MulDiv(lpRect->left, info.baseX, 4);
    lpRect->right = MulDiv(lpRect->right, info.baseX, 4);
    lpRect->top = MulDiv(lpRect->top, info.baseY, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, info.baseY, 8);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
    int baseX = 0;
    int baseY = 0;
    SystemBaseUnits(&baseX, &baseY);
    return MAKELONG(baseX, baseY);
}
