// The "ComboBox" class on QComboBox. CBN_DROPDOWN reaches the parent before
// the list opens, so that a handler may refill it; CBN_SELCHANGE comes for a
// user's choice only (never for CB_SETCURSEL); CBN_CLOSEUP when the list
// closes. Items keep insertion order unless the style says CBS_SORT.

#include "controls.h"
#include "geometry.h"
#include "hosted_widget.h"
#include "messages.h"
#include "qt_bridge.h"
#include "text.h"
#include "window_class.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cstring>

namespace host::user {

namespace {

bool HasList(const Window& window) { return (window.style & 0x3) == CBS_DROPDOWN || (window.style & 0x3) == CBS_DROPDOWNLIST; }

class ComboWidget : public Hosted<QComboBox> {
public:
    ComboWidget(HWND hwnd, QWidget* parent) : Hosted<QComboBox>(hwnd, parent) {}

    bool Dropped() const { return dropped_; }

    void showPopup() override {
        if (dropped_) return;
        WindowRef window = LookupWindow(Hwnd());
        if (!window) return;
        NotifyParent(*window, CBN_DROPDOWN);
        // The handler may have destroyed or hidden the combo box.
        window = LookupWindow(Hwnd());
        if (!window || !isVisible()) return;
        FitListHeight(*window);
        dropped_ = true;
        QComboBox::showPopup();
    }

    void hidePopup() override {
        QComboBox::hidePopup();
        if (!dropped_) return;
        dropped_ = false;
        if (WindowRef window = LookupWindow(Hwnd())) NotifyParent(*window, CBN_CLOSEUP);
    }

protected:
    void focusInEvent(QFocusEvent* e) override {
        Hosted<QComboBox>::focusInEvent(e);
        if (WindowRef window = LookupWindow(Hwnd())) NotifyParent(*window, CBN_SETFOCUS);
    }
    void focusOutEvent(QFocusEvent* e) override {
        Hosted<QComboBox>::focusOutEvent(e);
        if (WindowRef window = LookupWindow(Hwnd())) NotifyParent(*window, CBN_KILLFOCUS);
    }

private:
    // The dropped list takes the height the control was given beyond its
    // selection field.
    void FitListHeight(const Window& window) {
        const int itemHeight = std::max(1, count() > 0 ? view()->sizeHintForRow(0) : fontMetrics().height());
        const int listHeight = window.listHeight - height();
        setMaxVisibleItems(std::max(1, listHeight / itemHeight));
    }

    bool dropped_ = false;
};

ComboWidget* AsCombo(const Window& window) { return dynamic_cast<ComboWidget*>(window.widget.data()); }

int FieldHeight(const Window& window) {
    // As Win32 sizes it: the font's cell height and the field's edges.
    int height = 21;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return height;
    HGDIOBJ old = SelectObject(dc, window.font ? static_cast<HGDIOBJ>(window.font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm{};
    if (GetTextMetricsW(dc, &tm)) height = tm.tmHeight + 8;
    if (old) SelectObject(dc, old);
    DeleteDC(dc);
    return height;
}

int CompareNoCase(const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive); }

// Inserts without Qt's habit of selecting the first item of an empty list.
int InsertItem(ComboWidget& combo, int index, const QString& text) {
    const bool hadSelection = combo.currentIndex() >= 0;
    combo.insertItem(index, text);
    if (!hadSelection && combo.currentIndex() >= 0) combo.setCurrentIndex(-1);
    return index;
}

LRESULT AddString(const Window& window, ComboWidget& combo, const QString& text) {
    int index = combo.count();
    if (window.style & CBS_SORT) {
        index = 0;
        while (index < combo.count() && CompareNoCase(combo.itemText(index), text) <= 0) ++index;
    }
    return InsertItem(combo, index, text);
}

LRESULT DeleteString(ComboWidget& combo, WPARAM wParam) {
    const int index = static_cast<int>(wParam);
    if (index < 0 || index >= combo.count()) return CB_ERR;
    const bool wasSelected = combo.currentIndex() == index;
    combo.removeItem(index);
    if (wasSelected) combo.setCurrentIndex(-1);  // Win32 leaves no selection
    return combo.count();
}

// CB_FINDSTRING / CB_FINDSTRINGEXACT: searches after `start` and wraps.
LRESULT Find(const ComboWidget& combo, WPARAM start, const WCHAR* text, bool exact) {
    if (!text || combo.count() == 0) return CB_ERR;
    const QString wanted = QString::fromWCharArray(text);
    const int count = combo.count();
    const int first = (static_cast<int>(start) >= 0 && static_cast<int>(start) < count) ? static_cast<int>(start) + 1 : 0;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        const QString item = combo.itemText(i);
        const bool hit = exact ? CompareNoCase(item, wanted) == 0 : item.startsWith(wanted, Qt::CaseInsensitive);
        if (hit) return i;
    }
    return CB_ERR;
}

LRESULT SetCurSel(ComboWidget& combo, WPARAM wParam) {
    const int index = static_cast<int>(wParam);
    if (index < 0 || index >= combo.count()) {
        combo.setCurrentIndex(-1);
        return CB_ERR;
    }
    combo.setCurrentIndex(index);
    return index;
}

LRESULT GetItemText(const ComboWidget& combo, WPARAM wParam, LPARAM lParam, bool lengthOnly) {
    const int index = static_cast<int>(wParam);
    if (index < 0 || index >= combo.count()) return CB_ERR;
    const std::wstring text = FromQt(combo.itemText(index));
    if (!lengthOnly) {
        auto* out = reinterpret_cast<WCHAR*>(lParam);
        if (!out) return CB_ERR;
        std::memcpy(out, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    }
    return static_cast<LRESULT>(text.size());
}

LRESULT ItemData(ComboWidget& combo, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    if (index < 0 || index >= combo.count()) return CB_ERR;
    if (msg == CB_GETITEMDATA) return static_cast<LRESULT>(combo.itemData(index, Qt::UserRole).toLongLong());
    combo.setItemData(index, QVariant::fromValue<qlonglong>(lParam), Qt::UserRole);
    return TRUE;
}

LRESULT ShowDropDown(ComboWidget& combo, bool show) {
    if (show && !combo.Dropped()) combo.showPopup();
    else if (!show && combo.Dropped()) combo.hidePopup();
    return TRUE;
}

LRESULT SetText(Window& window, ComboWidget& combo, LPARAM lParam) {
    // A drop-down list has no edit field to take text.
    if (!combo.isEditable()) return CB_ERR;
    const auto* text = reinterpret_cast<const WCHAR*>(lParam);
    window.text = text ? text : L"";
    combo.lineEdit()->setText(ToQt(window.text));
    return TRUE;
}

LRESULT ListMessage(Window& window, ComboWidget& combo, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* text = reinterpret_cast<const WCHAR*>(lParam);
    switch (msg) {
    case CB_ADDSTRING: return AddString(window, combo, QString::fromWCharArray(text ? text : L""));
    case CB_INSERTSTRING: {
        const int index = static_cast<int>(wParam) == -1 ? combo.count() : static_cast<int>(wParam);
        if (index < 0 || index > combo.count()) return CB_ERR;
        return InsertItem(combo, index, QString::fromWCharArray(text ? text : L""));
    }
    case CB_DELETESTRING: return DeleteString(combo, wParam);
    case CB_RESETCONTENT: combo.clear(); return 0;
    case CB_GETCOUNT: return combo.count();
    case CB_GETCURSEL: return combo.currentIndex() >= 0 ? combo.currentIndex() : CB_ERR;
    case CB_SETCURSEL: return SetCurSel(combo, wParam);
    case CB_GETLBTEXT: return GetItemText(combo, wParam, lParam, false);
    case CB_GETLBTEXTLEN: return GetItemText(combo, wParam, lParam, true);
    case CB_FINDSTRING: return Find(combo, wParam, text, false);
    case CB_FINDSTRINGEXACT: return Find(combo, wParam, text, true);
    case CB_SELECTSTRING: {
        const LRESULT found = Find(combo, wParam, text, false);
        if (found != CB_ERR) combo.setCurrentIndex(static_cast<int>(found));
        return found;
    }
    case CB_GETITEMDATA:
    case CB_SETITEMDATA: return ItemData(combo, msg, wParam, lParam);
    case CB_SHOWDROPDOWN: return ShowDropDown(combo, wParam != 0);
    case CB_GETDROPPEDSTATE: return combo.Dropped() ? TRUE : FALSE;
    case CB_GETEDITSEL: {
        if (!combo.isEditable()) return CB_ERR;
        const QLineEdit* edit = combo.lineEdit();
        const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
        const int end = edit->hasSelectedText() ? start + static_cast<int>(edit->selectedText().size()) : start;
        return MAKELRESULT(start, end);
    }
    default: return DefWindowProcW(window.hwnd, msg, wParam, lParam);
    }
}

}  // namespace

QWidget* CreateComboBoxWidget(Window& window, QWidget* parent) {
    auto* combo = new ComboWidget(window.hwnd, parent);
    const HWND hwnd = window.hwnd;
    QObject::connect(combo, &QComboBox::activated, combo, [hwnd](int) {
        if (WindowRef control = LookupWindow(hwnd)) NotifyParent(*control, CBN_SELCHANGE);
    });
    return combo;
}

void ApplyComboBoxStyle(Window& window) {
    ComboWidget* combo = AsCombo(window);
    if (!combo) return;
    const bool editable = (window.style & 0x3) == CBS_DROPDOWN || (window.style & 0x3) == CBS_SIMPLE;
    if (combo->isEditable() != editable) combo->setEditable(editable);
    combo->setFocusPolicy((window.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    combo->setInsertPolicy(QComboBox::NoInsert);
}

QSize ControlPlacementSize(Window& window, QSize requested) {
    if (!window.cls || window.cls->kind != WidgetKind::ComboBox || !HasList(window)) return requested;
    window.listHeight = requested.height();
    return QSize(requested.width(), FieldHeight(window));
}

void RefitComboField(Window& window) {
    if (!window.widget || !HasList(window)) return;
    const QRect rect = window.widget->geometry();
    window.widget->setGeometry(rect.x(), rect.y(), rect.width(), FieldHeight(window));
    OnWidgetGeometryChanged(window.hwnd);
}

std::wstring ComboText(const Window& window) {
    const ComboWidget* combo = AsCombo(window);
    if (!combo) return std::wstring();
    if (combo->isEditable()) return FromQt(combo->currentText());
    return combo->currentIndex() >= 0 ? FromQt(combo->itemText(combo->currentIndex())) : std::wstring();
}

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleControlFont(hwnd, msg, wParam, lParam, &result)) {
        if (msg == WM_SETFONT) {
            if (WindowRef window = LookupWindow(hwnd)) RefitComboField(*window);
        }
        return result;
    }
    WindowRef window = LookupWindow(hwnd);
    ComboWidget* combo = window ? AsCombo(*window) : nullptr;
    if (!combo) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT: return ControlPaint(hwnd, wParam, nullptr);
    case WM_GETTEXT: return CopyTextOut(ComboText(*window), wParam, lParam);
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(ComboText(*window).size());
    case WM_SETTEXT: return SetText(*window, *combo, lParam);
    case WM_GETDLGCODE: return 0x0001 | 0x0004;  // DLGC_WANTARROWS | DLGC_HASSETSEL
    default: return ListMessage(*window, *combo, msg, wParam, lParam);
    }
}

}  // namespace host::user
