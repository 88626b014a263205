// The "Static" class: text (left with word wrap, centred, right; '&'
// prefixes unless SS_NOPREFIX), icons (SS_ICON) and black rectangles.
// Qt's QLabel draws it, unless a replaced procedure paints it itself; the
// class's own WM_PAINT, given a DC, draws it with GDI as Win32 does.

#include "controls.h"
#include "geometry.h"
#include "hosted_widget.h"
#include "messages.h"
#include "qt_bridge.h"
#include "window_class.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace host::user {

namespace {

DWORD StaticType(const Window& window) { return window.style & SS_TYPEMASK; }

class LabelWidget : public Hosted<QLabel> {
public:
    LabelWidget(HWND hwnd, QWidget* parent) : Hosted<QLabel>(hwnd, parent) {}

protected:
    // Only SS_NOTIFY statics take clicks; the others let them through to
    // their parent, as Win32's hit test does.
    void mousePressEvent(QMouseEvent* e) override {
        if (Notifies()) e->accept();
        else QLabel::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (!Notifies()) {
            QLabel::mouseReleaseEvent(e);
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

QLabel* AsLabel(const Window& window) { return qobject_cast<QLabel*>(window.widget.data()); }

void SyncText(Window& window) {
    QLabel* label = AsLabel(window);
    if (!label || StaticType(window) == SS_ICON || StaticType(window) == SS_BLACKRECT) return;
    const QString text = ToQt(window.text);
    label->setText((window.style & SS_NOPREFIX) ? text : StripMnemonicPrefixes(text));
}

void SyncImage(Window& window) {
    QLabel* label = AsLabel(window);
    if (!label || StaticType(window) != SS_ICON) return;
    const QImage image = IconImage(window.image);
    label->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
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
    SyncImage(*window);
    FitToIcon(*window);
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

void DrawStaticWithGdi(Window& window, HDC hdc) {
    const QSize client = ClientSize(window);
    RECT rc{0, 0, client.width(), client.height()};
    HBRUSH brush = nullptr;
    if (window.parent) {
        brush = reinterpret_cast<HBRUSH>(SendMessageW(window.parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                                      reinterpret_cast<LPARAM>(window.hwnd)));
    }
    if (!brush) {
        brush = reinterpret_cast<HBRUSH>(DefWindowProcW(window.hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                                        reinterpret_cast<LPARAM>(window.hwnd)));
    }
    const DWORD type = StaticType(window);
    if (type == SS_BLACKRECT) {
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        return;
    }
    FillRect(hdc, &rc, brush);
    if (type == SS_ICON) {
        if (window.image) DrawIcon(hdc, 0, 0, window.image);
        return;
    }
    UINT format = DT_EXPANDTABS;
    switch (type) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: format |= DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: format |= DT_LEFT; break;
    default: format |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (window.style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (window.style & SS_CENTERIMAGE) format |= DT_VCENTER | DT_SINGLELINE;
    if (window.style & WS_DISABLED) SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(hdc, window.font ? static_cast<HGDIOBJ>(window.font) : GetStockObject(SYSTEM_FONT));
    DrawTextW(hdc, window.text.c_str(), -1, &rc, format);
    if (old) SelectObject(hdc, old);
}

Qt::Alignment AlignmentFor(const Window& window) {
    Qt::Alignment vertical = (window.style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
    switch (StaticType(window)) {
    case SS_CENTER: return Qt::AlignHCenter | vertical;
    case SS_RIGHT: return Qt::AlignRight | vertical;
    default: return Qt::AlignLeft | vertical;
    }
}

}  // namespace

QWidget* CreateStaticWidget(Window& window, QWidget* parent) {
    auto* label = new LabelWidget(window.hwnd, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

void ApplyStaticStyle(Window& window) {
    QLabel* label = AsLabel(window);
    if (!label) return;
    const DWORD type = StaticType(window);
    label->setAlignment(AlignmentFor(window));
    label->setWordWrap(type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    label->setFrameStyle((window.style & SS_SUNKEN) ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
    label->setAutoFillBackground(type == SS_BLACKRECT);
    if (type == SS_BLACKRECT) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, SysQColor(COLOR_WINDOWFRAME));
        label->setPalette(palette);
    }
    SyncText(window);
    SyncImage(window);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleControlFont(hwnd, msg, wParam, lParam, &result)) return result;
    WindowRef window = LookupWindow(hwnd);
    if (!window) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE:
        if (StaticType(*window) == SS_ICON) {
            SetImage(hwnd, IconFromCreationText(*reinterpret_cast<const CREATESTRUCTW*>(lParam)));
        }
        return 0;
    case WM_PAINT:
        return ControlPaint(hwnd, wParam, DrawStaticWithGdi);
    case WM_SETTEXT:
        if (StaticType(*window) == SS_ICON) return TRUE;  // its text names an icon, once, at creation
        result = DefWindowProcW(hwnd, msg, wParam, lParam);
        if ((window = LookupWindow(hwnd))) SyncText(*window);
        return result;
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
