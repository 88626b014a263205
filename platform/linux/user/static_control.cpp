// The "Static" class: text (left with word wrap, centred, right; '&'
// prefixes unless SS_NOPREFIX), icons (SS_ICON) and black rectangles.
// The class paints itself through GDI on its WM_PAINT, as Win32's does, so
// that its text wraps and clips by the same integer metrics that
// GetTextExtentPoint32W and DrawTextW give the program. A replaced
// procedure may paint it instead; the widget only shows the buffer and
// passes clicks on.

#include "controls.h"
#include "geometry.h"
#include "hosted_widget.h"
#include "messages.h"
#include "window_class.h"

#include <QMouseEvent>
#include <QRegion>
#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

namespace host::user {

namespace {

DWORD StaticType(const Window& window) { return window.style & SS_TYPEMASK; }

class StaticWidget : public Hosted<QWidget> {
public:
    StaticWidget(HWND hwnd, QWidget* parent) : Hosted<QWidget>(hwnd, parent) {
        // The backing buffer covers every pixel; Qt need not clear first.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    // Only SS_NOTIFY statics take clicks; the others let them through to
    // their parent, as Win32's hit test does.
    void mousePressEvent(QMouseEvent* e) override {
        if (Notifies()) e->accept();
        else e->ignore();
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!Notifies()) {
            e->ignore();
            return;
        }
        e->accept();
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) {
            if (WindowRef window = LookupWindow(Hwnd())) NotifyParent(*window, STN_CLICKED);
        }
    }

private:
    bool Notifies() const {
        WindowRef window = LookupWindow(Hwnd());
        return window && (window->style & SS_NOTIFY);
    }
};

// The whole control is drawn again: its text, font, state or picture
// changed.
void Redraw(const Window& window) { InvalidateRect(window.hwnd, nullptr, TRUE); }

std::vector<std::wstring_view> LinesOf(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(L'\n', start);
        lines.push_back(text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (end == std::wstring_view::npos) return lines;
        start = end + 1;
    }
}

// A left-aligned static whose lines all fit its width draws line i in row i
// (DrawText breaks a line only where it is too wide). Then a new text needs
// only the rows of the lines that changed drawn again: the report changes a
// few figures a second, not its fifty lines. False where the rows cannot be
// told so simply (wrapping, tabs, prefixes, a different line count).
bool ChangedRows(const Window& window, std::wstring_view before, std::wstring_view after, QRegion* rows) {
    if (StaticType(window) != SS_LEFT || (window.style & SS_CENTERIMAGE)) return false;
    const std::wstring_view awkward = (window.style & SS_NOPREFIX) ? L"\r\t" : L"\r\t&";
    if (before.find_first_of(awkward) != std::wstring_view::npos) return false;
    if (after.find_first_of(awkward) != std::wstring_view::npos) return false;
    const std::vector<std::wstring_view> old = LinesOf(before), now = LinesOf(after);
    if (old.size() != now.size()) return false;
    const QSize client = ClientSize(window);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    HGDIOBJ previous = SelectObject(dc, window.font ? static_cast<HGDIOBJ>(window.font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm{};
    bool simple = GetTextMetricsW(dc, &tm) != FALSE;
    auto fits = [&](std::wstring_view line) {
        SIZE size{};
        return GetTextExtentPoint32W(dc, line.data(), static_cast<int>(line.size()), &size) &&
               size.cx <= client.width();
    };
    for (std::size_t i = 0; simple && i < now.size(); ++i) {
        simple = fits(old[i]) && fits(now[i]);
        if (simple && old[i] != now[i]) *rows += QRect(0, static_cast<int>(i) * tm.tmHeight, client.width(), tm.tmHeight);
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    return simple;
}

// WM_SETTEXT: the new text is shown; where the old one can be compared line
// by line, only the lines that changed are drawn again.
LRESULT SetStaticText(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    WindowRef window = LookupWindow(hwnd);
    const std::wstring before = window ? window->text : std::wstring();
    const LRESULT result = DefWindowProcW(hwnd, WM_SETTEXT, wParam, lParam);
    if (!(window = LookupWindow(hwnd))) return result;
    QRegion rows;
    if (!ChangedRows(*window, before, window->text, &rows)) {
        Redraw(*window);
    } else if (!rows.isEmpty()) {
        InvalidateRegion(*window, rows, true);
    }
    return result;
}

// Win32 sizes an icon static to its icon, unless told to centre it.
void FitToIcon(Window& window) {
    int width = 0;
    int height = 0;
    if (!window.image || (window.style & SS_CENTERIMAGE) || !gdi::IconSize(window.image, &width, &height)) return;
    const QRect rect = WindowRectInParent(window);
    PlaceWindow(window.hwnd, QRect(rect.topLeft(), QSize(width, height)));
}

HICON SetImage(HWND hwnd, HICON icon) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return nullptr;
    HICON previous = window->image;
    window->image = icon;
    FitToIcon(*window);
    Redraw(*window);
    return previous;
}

// An icon named by the window text: a string, or 0xFFFF and an ordinal.
HICON IconFromCreationText(const CREATESTRUCTW& cs) {
    if (!cs.lpszName) return nullptr;
    if (static_cast<unsigned>(cs.lpszName[0]) == 0xFFFFu) {
        return LoadIconW(cs.hInstance, MAKEINTRESOURCEW(cs.lpszName[1]));
    }
    return cs.lpszName[0] ? LoadIconW(cs.hInstance, cs.lpszName) : nullptr;
}

// The brush and colours the parent chooses (WM_CTLCOLORSTATIC), else the
// default ones.
HBRUSH ControlBrush(const Window& window, HDC hdc) {
    const auto wParam = reinterpret_cast<WPARAM>(hdc);
    const auto lParam = reinterpret_cast<LPARAM>(window.hwnd);
    HBRUSH brush = nullptr;
    if (window.parent) brush = reinterpret_cast<HBRUSH>(SendMessageW(window.parent, WM_CTLCOLORSTATIC, wParam, lParam));
    if (!brush) brush = reinterpret_cast<HBRUSH>(DefWindowProcW(window.hwnd, WM_CTLCOLORSTATIC, wParam, lParam));
    return brush;
}

UINT TextFormat(const Window& window) {
    UINT format = DT_EXPANDTABS;
    switch (StaticType(window)) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: format |= DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: format |= DT_LEFT; break;
    default: format |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (window.style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (window.style & SS_CENTERIMAGE) format |= DT_VCENTER | DT_SINGLELINE;
    return format;
}

// An icon sits at the top left, or in the middle with SS_CENTERIMAGE.
void DrawStaticIcon(const Window& window, HDC hdc, const RECT& rc) {
    int width = 0;
    int height = 0;
    if (!window.image || !gdi::IconSize(window.image, &width, &height)) return;
    const bool centred = (window.style & SS_CENTERIMAGE) != 0;
    DrawIcon(hdc, centred ? (rc.right - width) / 2 : 0, centred ? (rc.bottom - height) / 2 : 0, window.image);
}

void DrawStaticWithGdi(Window& window, HDC hdc) {
    const QSize client = ClientSize(window);
    RECT rc{0, 0, client.width(), client.height()};
    HBRUSH brush = ControlBrush(window, hdc);
    const DWORD type = StaticType(window);
    if (type == SS_BLACKRECT) {
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        return;
    }
    FillRect(hdc, &rc, brush);
    if (type == SS_ICON) {
        DrawStaticIcon(window, hdc, rc);
        return;
    }
    if (window.style & WS_DISABLED) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(hdc, window.font ? static_cast<HGDIOBJ>(window.font) : GetStockObject(SYSTEM_FONT));
    DrawTextW(hdc, window.text.c_str(), -1, &rc, TextFormat(window));
    if (old) SelectObject(hdc, old);
}

// WM_PAINT: on the DC it brings, or on the window's own buffer.
LRESULT PaintStatic(HWND hwnd, WPARAM wParam) {
    WindowRef window = LookupWindow(hwnd);
    if (!window) return 0;
    if (wParam) {
        DrawStaticWithGdi(*window, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (hdc && (window = LookupWindow(hwnd))) DrawStaticWithGdi(*window, hdc);
    EndPaint(hwnd, &ps);
    return 0;
}

}  // namespace

QWidget* CreateStaticWidget(Window& window, QWidget* parent) { return new StaticWidget(window.hwnd, parent); }

void ApplyStaticStyle(Window& window) {
    // A new style may change everything drawn: alignment, wrapping, prefixes.
    Redraw(window);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleControlFont(hwnd, msg, wParam, lParam, &result)) {
        if (msg == WM_SETFONT && LOWORD(lParam)) InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    WindowRef window = LookupWindow(hwnd);
    if (!window) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        if (StaticType(*window) == SS_ICON) {
            SetImage(hwnd, IconFromCreationText(*reinterpret_cast<const CREATESTRUCTW*>(lParam)));
        }
        return 0;
    case WM_PAINT:
        return PaintStatic(hwnd, wParam);
    case WM_ENABLE:
        // Disabled text is drawn grey.
        Redraw(*window);
        return 0;
    case WM_SETTEXT:
        if (StaticType(*window) == SS_ICON) return TRUE;  // its text names an icon, once, at creation
        return SetStaticText(hwnd, wParam, lParam);
    case STM_SETICON:
        return reinterpret_cast<LRESULT>(SetImage(hwnd, reinterpret_cast<HICON>(wParam)));
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(window->image);
    case STM_SETIMAGE:
        if (wParam != IMAGE_ICON) return 0;  // bitmaps and cursors: the host shows icons only
        return reinterpret_cast<LRESULT>(SetImage(hwnd, reinterpret_cast<HICON>(lParam)));
    case STM_GETIMAGE:
        return wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(window->image) : 0;
    case WM_GETDLGCODE:
        return 0x0100;  // DLGC_STATIC
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace host::user
