// The "Button" class: push buttons (default, multi-line), check boxes and
// group boxes. A click reaches the parent as WM_COMMAND / BN_CLICKED; Qt
// delivers no clicks to a disabled button, so neither does the host.

#include "controls.h"
#include "geometry.h"
#include "hosted_widget.h"
#include "messages.h"
#include "qt_bridge.h"
#include "window_class.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace host::user {

namespace {

DWORD ButtonType(const Window& window) { return window.style & BS_TYPEMASK; }

bool IsCheckBox(DWORD type) { return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX; }

class PushButtonWidget : public Hosted<QPushButton> {
public:
    PushButtonWidget(HWND hwnd, QWidget* parent) : Hosted<QPushButton>(hwnd, parent) {}

    void SetWordWrap(bool wrap) {
        wrap_ = wrap;
        update();
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        if (PaintWidget(this, Hwnd())) return;  // shown from its buffer
        if (!wrap_) {
            QPushButton::paintEvent(e);
            return;
        }
        // BS_MULTILINE: the bevel as usual, the caption wrapped to the width.
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, caption);
    }

private:
    bool wrap_ = false;
};

class CheckBoxWidget : public Hosted<QCheckBox> {
public:
    CheckBoxWidget(HWND hwnd, QWidget* parent) : Hosted<QCheckBox>(hwnd, parent) {}

protected:
    // A BS_CHECKBOX is checked by its program, not by the click.
    void nextCheckState() override {
        WindowRef window = LookupWindow(Hwnd());
        if (window && ButtonType(*window) == BS_AUTOCHECKBOX) QCheckBox::nextCheckState();
    }
};

class GroupBoxWidget : public Hosted<QGroupBox> {
public:
    GroupBoxWidget(HWND hwnd, QWidget* parent) : Hosted<QGroupBox>(hwnd, parent) {}
};

QAbstractButton* AsButton(const Window& window) { return qobject_cast<QAbstractButton*>(window.widget.data()); }

void SyncText(Window& window) {
    const QString text = ToQt(window.text);
    if (QAbstractButton* button = AsButton(window)) button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(window.widget.data())) group->setTitle(StripMnemonicPrefixes(text));
}

void DrawButtonWithGdi(Window& window, HDC hdc) {
    // A button drawn onto a DC shows its face and caption, centred.
    const QSize client = ClientSize(window);
    RECT rc{0, 0, client.width(), client.height()};
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = window.font ? SelectObject(hdc, window.font) : nullptr;
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor((window.style & WS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(hdc, window.text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (old) SelectObject(hdc, old);
}

LRESULT SetCheck(Window& window, WPARAM state) {
    if (auto* box = qobject_cast<QCheckBox*>(window.widget.data())) box->setChecked(state == BST_CHECKED);
    return 0;
}

LRESULT GetCheck(const Window& window) {
    auto* box = qobject_cast<QCheckBox*>(window.widget.data());
    return box && box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

}  // namespace

QWidget* CreateButtonWidget(Window& window, QWidget* parent) {
    const HWND hwnd = window.hwnd;
    const DWORD type = ButtonType(window);
    if (type == BS_GROUPBOX) return new GroupBoxWidget(hwnd, parent);
    QAbstractButton* button = IsCheckBox(type) ? static_cast<QAbstractButton*>(new CheckBoxWidget(hwnd, parent))
                                               : new PushButtonWidget(hwnd, parent);
    QObject::connect(button, &QAbstractButton::clicked, button, [hwnd] {
        if (WindowRef control = LookupWindow(hwnd)) NotifyParent(*control, BN_CLICKED);
    });
    return button;
}

void ApplyButtonStyle(Window& window) {
    if (auto* push = dynamic_cast<PushButtonWidget*>(window.widget.data())) {
        push->setDefault(ButtonType(window) == BS_DEFPUSHBUTTON);
        push->setAutoDefault(false);
        push->SetWordWrap((window.style & BS_MULTILINE) != 0);
    }
    if (auto* box = qobject_cast<QCheckBox*>(window.widget.data())) box->setCheckable(true);
    if (QWidget* widget = window.widget) {
        widget->setFocusPolicy((window.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        if (ButtonType(window) == BS_GROUPBOX) widget->setFocusPolicy(Qt::NoFocus);
    }
    SyncText(window);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleControlFont(hwnd, msg, wParam, lParam, &result)) return result;
    WindowRef window = LookupWindow(hwnd);
    if (!window) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT:
        return ControlPaint(hwnd, wParam, DrawButtonWithGdi);
    case WM_SETTEXT:
        result = DefWindowProcW(hwnd, msg, wParam, lParam);
        if ((window = LookupWindow(hwnd))) SyncText(*window);
        return result;
    case BM_CLICK:
        // As a user's click: nothing for a disabled button.
        if (QAbstractButton* button = AsButton(*window); button && button->isEnabled()) button->click();
        return 0;
    case BM_GETCHECK:
        return GetCheck(*window);
    case BM_SETCHECK:
        return SetCheck(*window, wParam);
    case BM_GETSTATE: {
        QAbstractButton* button = AsButton(*window);
        return GetCheck(*window) | (button && button->isDown() ? 0x0004 /* BST_PUSHED */ : 0);
    }
    case BM_SETSTATE:
        if (QAbstractButton* button = AsButton(*window)) button->setDown(wParam != 0);
        return 0;
    case BM_SETSTYLE:
        window->style = (window->style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
        ApplyButtonStyle(*window);
        if (LOWORD(lParam) && window->widget) window->widget->update();
        return 0;
    case WM_GETDLGCODE: {
        const DWORD type = ButtonType(*window);
        if (type == BS_DEFPUSHBUTTON) return 0x0010;  // DLGC_DEFPUSHBUTTON
        if (type == BS_PUSHBUTTON) return 0x0020;     // DLGC_UNDEFPUSHBUTTON
        return 0x2000;                                // DLGC_BUTTON
    }
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace host::user
