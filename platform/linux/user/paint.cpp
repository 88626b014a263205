#include "paint.h"

#include "geometry.h"
#include "show.h"
#include "window_class.h"

#include "host/startup_trace.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <map>

namespace host::user {

namespace {

// DCs given out by GetDC / GetWindowDC / BeginPaint, and their windows.
std::map<HDC, HWND>& IssuedDCs() {
    static std::map<HDC, HWND> dcs;
    return dcs;
}

// What GetDC(NULL) draws on: nothing reaches the screen that way.
PixelBuffer& ScreenBuffer() {
    static PixelBuffer buffer;
    return buffer;
}

bool IsControl(const Window& window) {
    if (!window.cls) return false;
    const WidgetKind kind = window.cls->kind;
    return kind != WidgetKind::Plain && kind != WidgetKind::Dialog && kind != WidgetKind::Desktop;
}

bool HasPendingPaint(const Window& window) { return !window.updateRegion.isEmpty() || window.internalPaint; }

QRect ClientRect(const Window& window) { return QRect(QPoint(0, 0), ClientSize(window)); }

QRect FromRect(const RECT& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

void Validate(Window& window) {
    window.updateRegion = QRegion();
    window.eraseDue = false;
    window.internalPaint = false;
}

// Sends WM_PAINT now and learns from it whether a control paints itself.
void SendPaint(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return;
    window->beganPaint = false;
    window->nativePaint = false;
    SendMessageW(hwnd, WM_PAINT, 0, 0);
    window = LookupWindow(hwnd);
    if (!window) return;
    if (IsControl(*window)) {
        if (window->beganPaint) window->paintsItself = true;
        else if (window->nativePaint) window->paintsItself = false;
    }
    // A procedure that ignores WM_PAINT would be asked again and again on
    // Windows; the host takes the paint as done instead.
    Validate(*window);
}

void SendEraseNow(HWND hwnd) {
    HDC hdc = GetDC(hwnd);
    if (!hdc) return;
    SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    ReleaseDC(hwnd, hdc);
    if (WindowRef window = LookupWindow(hwnd)) window->eraseDue = false;
}

void UpdateTree(HWND hwnd, bool children) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return;
    if (HasPendingPaint(*window) && IsShown(*window) && !window->redrawOff) SendPaint(hwnd);
    if (!children) return;
    window = LookupWindow(hwnd);
    if (!window) return;
    const std::vector<HWND> kids = window->children;
    for (HWND child : kids) UpdateTree(child, true);
}

// Win32's 3-D edges, drawn in the non-client area of a child window.
void DrawEdge(QPainter& p, QRect& r, int topLeftColor, int bottomRightColor) {
    if (r.width() <= 0 || r.height() <= 0) return;
    const auto color = [](int index) {
        const COLORREF c = GetSysColor(index);
        return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
    };
    p.setPen(color(topLeftColor));
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(color(bottomRightColor));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    r.adjust(1, 1, -1, -1);
}

void DrawNonClient(QPainter& p, const Window& window, QRect r) {
    const DWORD style = window.style;
    const DWORD ex = window.exStyle;
    if ((ex & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) {
        DrawEdge(p, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    } else if ((ex & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME))) {
        DrawEdge(p, r, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
        DrawEdge(p, r, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
    }
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (ex & WS_EX_DLGMODALFRAME)) {
        DrawEdge(p, r, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
    }
    if (ex & WS_EX_CLIENTEDGE) {
        DrawEdge(p, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        DrawEdge(p, r, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    }
}

void ShowBuffer(QWidget* widget, const Window& window) {
    QPainter painter(widget);
    QPoint offset(0, 0);
    if (window.IsChild()) {
        const QMargins m = NonClientMargins(window);
        if (!m.isNull()) {
            painter.fillRect(widget->rect(), widget->palette().window());
            DrawNonClient(painter, window, widget->rect());
        }
        offset = QPoint(m.left(), m.top());
    }
    const PixelBuffer& buffer = window.buffer;
    if (buffer.width <= 0 || buffer.height <= 0) return;
    // The top byte of a buffer pixel is free for the drawing host; RGB32
    // ignores it.
    const QImage image(reinterpret_cast<const uchar*>(buffer.pixels.data()), buffer.width, buffer.height,
                       buffer.width * 4, QImage::Format_RGB32);
    painter.drawImage(offset, image);
}

void InvalidateAll(bool erase) {
    for (HWND hwnd : AllWindows(false)) {
        if (WindowRef window = LookupWindow(hwnd)) InvalidateRegion(*window, ClientRect(*window), erase);
    }
}

void ApplyRedraw(HWND hwnd, const QRegion* area, UINT flags) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return;
    const QRegion region = area ? *area : QRegion(ClientRect(*window));
    if (flags & RDW_INVALIDATE) InvalidateRegion(*window, region, (flags & RDW_ERASE) != 0);
    if ((flags & RDW_INTERNALPAINT) && IsShown(*window)) {
        window->internalPaint = true;
        if (window->widget) window->widget->update();
    }
    if (flags & RDW_VALIDATE) {
        window->updateRegion -= region;
        if (window->updateRegion.isEmpty()) window->eraseDue = false;
    }
    if (flags & RDW_NOERASE) window->eraseDue = false;
    if (flags & RDW_NOINTERNALPAINT) window->internalPaint = false;
    if (!(flags & RDW_ALLCHILDREN)) return;
    const std::vector<HWND> kids = window->children;
    for (HWND child : kids) ApplyRedraw(child, nullptr, flags);
}

}  // namespace

void InvalidateRegion(Window& window, const QRegion& region, bool erase) {
    if (!window.widget || window.redrawOff || !IsShown(window)) return;
    const QRegion clipped = region & ClientRect(window);
    if (clipped.isEmpty()) return;
    window.updateRegion += clipped;
    if (erase) window.eraseDue = true;
    const QMargins m = window.IsChild() ? NonClientMargins(window) : QMargins();
    window.widget->update(clipped.translated(m.left(), m.top()));
}

void InvalidateTree(HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window || !IsShown(*window)) return;
    InvalidateRegion(*window, ClientRect(*window), true);
    const std::vector<HWND> kids = window->children;
    for (HWND child : kids) InvalidateTree(child);
}

bool ShowsBuffer(const Window& window) {
    // Statics always paint themselves through GDI (their class's WM_PAINT).
    return !IsControl(window) || window.paintsItself || window.cls->kind == WidgetKind::Static;
}

bool PaintWidget(QWidget* widget, HWND hwnd) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return true;  // destroyed, waiting for deletion: draw nothing
    const bool subclassed = IsControl(*window) && window->proc != window->cls->proc;
    if ((ShowsBuffer(*window) || subclassed) && HasPendingPaint(*window) && !window->redrawOff) {
        window->inQtPaint = true;
        SendPaint(hwnd);
        window->inQtPaint = false;
        if (!LookupWindow(hwnd)) return true;
    } else if (!ShowsBuffer(*window)) {
        Validate(*window);  // Qt draws the control now
    }
    if (!ShowsBuffer(*window)) return false;
    ShowBuffer(widget, *window);
    if (!window->IsChild()) TraceStartup("window-shown");
    return true;
}

bool TakeNativePaint(Window& window) {
    if (window.beganPaint) return false;
    window.nativePaint = true;
    Validate(window);
    if (window.widget && !window.inQtPaint) window.widget->update();
    return true;
}

void ReleaseWindowDCs(HWND hwnd) {
    auto& dcs = IssuedDCs();
    for (auto it = dcs.begin(); it != dcs.end();) {
        if (it->second == hwnd) {
            gdi::DeleteBufferDC(it->first);
            it = dcs.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace host::user

using host::user::LookupWindow;
using host::user::ValidWindow;
using host::user::WindowRef;

HDC WINAPI GetDC(HWND hWnd) {
    if (!hWnd || hWnd == host::user::DesktopHandle()) {
        host::PixelBuffer& screen = host::user::ScreenBuffer();
        const QSize size = host::user::ScreenSize();
        if (screen.width != size.width() || screen.height != size.height()) screen.Resize(size.width(), size.height());
        HDC hdc = host::gdi::CreateBufferDC(&screen, nullptr);
        if (hdc) host::user::IssuedDCs()[hdc] = nullptr;
        return hdc;
    }
    WindowRef window = ValidWindow(hWnd);
    if (!window) return nullptr;
    host::user::FitBufferToClient(*window);
    HDC hdc = host::gdi::CreateBufferDC(&window->buffer, hWnd);
    if (hdc) host::user::IssuedDCs()[hdc] = hWnd;
    return hdc;
}

HDC WINAPI GetWindowDC(HWND hWnd) {
    // The non-client edges are drawn by the host, not through a DC: a window
    // DC covers the client area, with the client origin at (0, 0).
    return GetDC(hWnd);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    auto& dcs = host::user::IssuedDCs();
    auto it = dcs.find(hDC);
    if (it == dcs.end()) return 0;
    const HWND owner = it->second;
    dcs.erase(it);
    host::gdi::DeleteBufferDC(hDC);
    // What was drawn through the DC shows on the next Qt paint.
    if (WindowRef window = LookupWindow(owner); window && window->widget && !window->inQtPaint) {
        window->widget->update();
    }
    return 1;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return nullptr;
    if (!lpPaint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    host::user::FitBufferToClient(*window);
    HDC hdc = host::gdi::CreateBufferDC(&window->buffer, hWnd);
    if (!hdc) return nullptr;
    host::user::IssuedDCs()[hdc] = hWnd;
    window->beganPaint = true;
    const QRect bounds = window->updateRegion.boundingRect();
    const bool erase = window->eraseDue;
    host::user::Validate(*window);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = hdc;
    if (!bounds.isEmpty()) {
        lpPaint->rcPaint = RECT{bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1};
        // As on Windows, the paint reaches only what was invalidated.
        host::gdi::ClipBufferDC(hdc, lpPaint->rcPaint);
    }
    if (erase) {
        // fErase tells the procedure that the background is still to be erased.
        const LRESULT erased = SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        lpPaint->fErase = erased ? FALSE : TRUE;
    }
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint && lpPaint->hdc) ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    if (!hWnd) {
        host::user::InvalidateAll(bErase != FALSE);
        return TRUE;
    }
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    const QRegion region = lpRect ? QRegion(host::user::FromRect(*lpRect)) : QRegion(host::user::ClientRect(*window));
    host::user::InvalidateRegion(*window, region, bErase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    if (!hWnd) {
        // Win32 redraws every window when given no window here.
        host::user::InvalidateAll(true);
        return TRUE;
    }
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    if (lpRect) {
        window->updateRegion -= host::user::FromRect(*lpRect);
        if (window->updateRegion.isEmpty()) window->eraseDue = false;
    } else {
        host::user::Validate(*window);
    }
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    if (!ValidWindow(hWnd)) return FALSE;
    host::user::UpdateTree(hWnd, true);
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
    std::vector<HWND> targets;
    if (!hWnd) {
        targets = host::user::AllWindows(true);
    } else if (ValidWindow(hWnd)) {
        targets.push_back(hWnd);
    } else {
        return FALSE;
    }
    // A region's shape belongs to the drawing host; a region redraws the whole
    // client area here, which covers every region the program can give.
    (void)hrgnUpdate;
    for (HWND target : targets) {
        if (lprcUpdate) {
            const QRegion area(host::user::FromRect(*lprcUpdate));
            host::user::ApplyRedraw(target, &area, flags);
        } else {
            host::user::ApplyRedraw(target, nullptr, flags);
        }
        if (flags & RDW_UPDATENOW) {
            host::user::UpdateTree(target, (flags & RDW_ALLCHILDREN) != 0);
        } else if (flags & RDW_ERASENOW) {
            WindowRef window = LookupWindow(target);
            if (window && window->eraseDue) host::user::SendEraseNow(target);
        }
    }
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    WindowRef window = ValidWindow(hWnd);
    if (!window) return FALSE;
    const QRect bounds = window->updateRegion.boundingRect();
    if (lpRect) {
        *lpRect = bounds.isEmpty() ? RECT{0, 0, 0, 0}
                                   : RECT{bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1};
    }
    if (bounds.isEmpty()) return FALSE;
    if (bErase && window->eraseDue) host::user::SendEraseNow(hWnd);
    return TRUE;
}
