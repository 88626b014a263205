// DefDlgProcW, EndDialog and the dialog keyboard.
//
// The dialog procedure answers TRUE when it handled a message (its result
// then comes from DWLP_MSGRESULT, except for the few messages whose result
// is the procedure's own return value) and FALSE to leave the message to
// the dialog manager.

#include "dialog.h"

#include "geometry.h"
#include "window_class.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>

namespace host::user {

namespace {

bool ReturnsProcedureResult(UINT msg) {
    return (msg >= WM_CTLCOLORBTN && msg <= WM_CTLCOLORSTATIC) || msg == WM_QUERYDRAGICON || msg == WM_INITDIALOG ||
           msg == 0x0039 /* WM_COMPAREITEM */ || msg == 0x002E /* WM_VKEYTOITEM */ || msg == 0x002F /* WM_CHARTOITEM */;
}

// Messages the dialog manager keeps from DefWindowProcW when the procedure
// leaves them.
bool KeptFromDefault(UINT msg) {
    return msg == WM_INITDIALOG || msg == 0x0039 /* WM_COMPAREITEM */ || msg == 0x002E /* WM_VKEYTOITEM */ ||
           msg == 0x002F /* WM_CHARTOITEM */;
}

bool IsPushButton(const Window& window) {
    if (!window.cls || window.cls->kind != WidgetKind::Button) return false;
    const DWORD type = window.style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

LRESULT GetDefaultId(const Window& dialog) {
    if (dialog.dialog && dialog.dialog->defaultId) return MAKELONG(dialog.dialog->defaultId, DC_HASDEFID);
    for (HWND child : dialog.children) {
        WindowRef control = LookupWindow(child);
        if (control && IsPushButton(*control) && (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return MAKELONG(control->id, DC_HASDEFID);
        }
    }
    return 0;
}

LRESULT SetDefaultId(HWND hwnd, WPARAM id) {
    WindowRef dialog = LookupWindow(hwnd);
    if (!dialog || !dialog->dialog) return FALSE;
    dialog->dialog->defaultId = static_cast<UINT>(id);
    const std::vector<HWND> children = dialog->children;
    for (HWND child : children) {
        WindowRef control = LookupWindow(child);
        if (!control || !IsPushButton(*control)) continue;
        const WPARAM type = control->id == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((control->style & BS_TYPEMASK) != type) SendMessageW(child, BM_SETSTYLE, type, TRUE);
    }
    return TRUE;
}

LRESULT EraseDialog(HWND hwnd, HDC hdc) {
    WindowRef dialog = LookupWindow(hwnd);
    if (!dialog || !hdc) return 0;
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(hwnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush) brush = GetSysColorBrush(COLOR_3DFACE);
    const QSize client = ClientSize(*dialog);
    RECT rc{0, 0, client.width(), client.height()};
    FillRect(hdc, &rc, brush);
    return 1;
}

LRESULT CloseDialog(HWND hwnd) {
    // Closing is the Cancel command, unless Cancel is there and disabled.
    HWND cancel = nullptr;
    if (WindowRef dialog = LookupWindow(hwnd)) {
        for (HWND child : dialog->children) {
            WindowRef control = LookupWindow(child);
            if (control && control->id == IDCANCEL) cancel = child;
        }
    }
    if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return 0;
    }
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return 0;
}

LRESULT NextControl(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam)) {
        SetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    WindowRef dialog = LookupWindow(hwnd);
    if (!dialog) return 0;
    // The next (wParam 0) or previous tab stop after the focus.
    std::vector<HWND> stops;
    for (HWND child : dialog->children) {
        WindowRef control = LookupWindow(child);
        if (control && (control->style & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child)) {
            stops.push_back(child);
        }
    }
    if (stops.empty()) return 0;
    const auto at = std::find(stops.begin(), stops.end(), GetFocus());
    std::size_t index = 0;
    if (at != stops.end()) {
        const std::size_t current = static_cast<std::size_t>(at - stops.begin());
        index = wParam ? (current + stops.size() - 1) % stops.size() : (current + 1) % stops.size();
    }
    SetFocus(stops[index]);
    return 0;
}

void FreeDialog(HWND hwnd) {
    WindowRef dialog = LookupWindow(hwnd);
    if (!dialog || !dialog->dialog) return;
    DialogInfo& info = *dialog->dialog;
    if (info.font) DeleteObject(info.font);
    info.font = nullptr;
    // A modal loop whose dialog is destroyed ends with it.
    info.ended = true;
    if (info.loop) info.loop->quit();
}

// What the dialog manager does with a message the procedure left.
LRESULT DialogDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (msg) {
    case WM_ERASEBKGND: return EraseDialog(hwnd, reinterpret_cast<HDC>(wParam));
    case DM_GETDEFID: {
        WindowRef dialog = LookupWindow(hwnd);
        return dialog ? GetDefaultId(*dialog) : 0;
    }
    case DM_SETDEFID: return SetDefaultId(hwnd, wParam);
    case WM_NEXTDLGCTL: return NextControl(hwnd, wParam, lParam);
    case WM_GETFONT: {
        WindowRef dialog = LookupWindow(hwnd);
        return dialog && dialog->dialog ? reinterpret_cast<LRESULT>(dialog->dialog->font) : 0;
    }
    case WM_CLOSE: return CloseDialog(hwnd);
    case WM_NCDESTROY:
        FreeDialog(hwnd);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    default: *handled = false; return 0;
    }
}

HWND FocusedPushButton(HWND dialog) {
    const HWND focus = GetFocus();
    WindowRef control = LookupWindow(focus);
    if (!control || !control->IsChild() || control->parent != dialog || !IsPushButton(*control)) return nullptr;
    return focus;
}

void PressButton(HWND dialog, UINT id, HWND button) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

HWND ChildWithId(HWND dialog, UINT id) {
    WindowRef window = LookupWindow(dialog);
    if (!window) return nullptr;
    for (HWND child : window->children) {
        WindowRef control = LookupWindow(child);
        if (control && control->id == id) return child;
    }
    return nullptr;
}

}  // namespace

bool HandleDialogKey(HWND dialog, UINT vk) {
    if (vk == VK_ESCAPE) {
        HWND cancel = ChildWithId(dialog, IDCANCEL);
        if (!cancel || IsWindowEnabled(cancel)) PressButton(dialog, IDCANCEL, cancel);
        return true;
    }
    if (vk != VK_RETURN) return false;
    if (HWND focused = FocusedPushButton(dialog)) {
        // Enter presses the push button that has the focus.
        if (IsWindowEnabled(focused)) PressButton(dialog, static_cast<UINT>(GetDlgCtrlID(focused)), focused);
        return true;
    }
    const LRESULT defId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(defId) == DC_HASDEFID) {
        const UINT id = LOWORD(defId);
        HWND button = ChildWithId(dialog, id);
        if (!button || IsWindowEnabled(button)) PressButton(dialog, id, button);
    } else {
        PressButton(dialog, IDOK, ChildWithId(dialog, IDOK));
    }
    return true;
}

}  // namespace host::user

using namespace host::user;

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!LookupWindow(hDlg)) return 0;
    SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hDlg, DWLP_DLGPROC));
    const INT_PTR result = proc ? proc(hDlg, Msg, wParam, lParam) : 0;
    if (!LookupWindow(hDlg)) return ReturnsProcedureResult(Msg) ? result : 0;
    if (!result) {
        bool handled = false;
        const LRESULT answer = DialogDefault(hDlg, Msg, wParam, lParam, &handled);
        if (handled) return answer;
        if (!KeptFromDefault(Msg)) return DefWindowProcW(hDlg, Msg, wParam, lParam);
    }
    if (ReturnsProcedureResult(Msg)) return result;
    return GetWindowLongPtrW(hDlg, DWLP_MSGRESULT);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    WindowRef window = ValidWindow(hDlg);
    if (!window) return FALSE;
    if (!window->dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DialogInfo& info = *window->dialog;
    info.result = nResult;
    info.ended = true;
    // The owner takes input again at once, before the loop unwinds.
    if (const HWND owner = info.disabledOwner) {
        info.disabledOwner = nullptr;
        if (IsWindow(owner)) EnableWindow(owner, TRUE);
    }
    if ((window = LookupWindow(hDlg)) && (window->style & WS_VISIBLE)) {
        window->style &= ~WS_VISIBLE;
        if (window->widget) window->widget->hide();
    }
    if (window && window->dialog && window->dialog->loop) window->dialog->loop->quit();
    return TRUE;
}

BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg) {
    if (!lpMsg || !LookupWindow(hDlg)) return FALSE;
    if (!lpMsg->hwnd || !IsSelfOrDescendant(lpMsg->hwnd, hDlg)) return FALSE;
    if (lpMsg->message == WM_KEYDOWN) {
        const auto vk = static_cast<UINT>(lpMsg->wParam);
        if (HandleDialogKey(hDlg, vk)) return TRUE;
        if (vk == VK_TAB) {
            const bool back = QGuiApplication::instance() &&
                              (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier);
            SendMessageW(hDlg, WM_NEXTDLGCTL, back ? 1 : 0, 0);
            return TRUE;
        }
    }
    TranslateMessage(lpMsg);
    DispatchMessageW(lpMsg);
    return TRUE;
}
