// Modal windows: dialogs run with DialogBox and message boxes.
//
// Each first asks the active machine for an answer. A scripted answer is
// given without asking anybody: the dialog is still really created, shown
// and ended with the answer, and while the window is "open" the machine's
// virtual clock moves on by the answer's openMs, so the timers that fall due
// fire inside it as they would in a real nested loop. Without an answer a
// real window runs in a nested Qt event loop. Every modal window is
// recorded with the machine once it has closed.

#include "dialog.h"
#include "dialog_template.h"
#include "qt_bridge.h"

#include "host/machine.h"
#include "host/virtual_clock.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <optional>

namespace host::user {

namespace {

// Brackets a modal window: the machine counts it open, and the owner takes
// no input meanwhile.
class ModalScope {
public:
    explicit ModalScope(HWND owner) {
        if (owner && IsWindowEnabled(owner)) {
            disabledOwner_ = owner;
            EnableWindow(owner, FALSE);
        }
        ActiveMachine().NoteModalOpened();
    }
    ~ModalScope() {
        ActiveMachine().NoteModalClosed();
        if (disabledOwner_ && IsWindow(disabledOwner_)) EnableWindow(disabledOwner_, TRUE);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    HWND disabledOwner_ = nullptr;
};

// A message box stays open for its answer's time.
void StayOpen(const Machine::ModalAnswer& answer) {
    if (VirtualClock* clock = ActiveMachine().Clock(); clock && answer.openMs > 0) clock->Advance(answer.openMs);
}

bool Ended(const WindowRef& dialog) { return !LookupWindow(dialog->hwnd) || !dialog->dialog || dialog->dialog->ended; }

// A dialog stays open for its answer's time, or until it ends itself.
void StayOpen(const Machine::ModalAnswer& answer, const WindowRef& dialog) {
    VirtualClock* clock = ActiveMachine().Clock();
    if (!clock) return;
    for (std::uint32_t ms = 0; ms < answer.openMs && !Ended(dialog); ++ms) clock->Advance(1);
}

void RunLiveLoop(const WindowRef& dialog) {
    if (Ended(dialog)) return;
    QEventLoop loop;
    dialog->dialog->loop = &loop;
    loop.exec();
    if (dialog->dialog) dialog->dialog->loop = nullptr;
}

INT_PTR RunDialog(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC proc, LPARAM param) {
    DialogTemplate parsed;
    if (!ParseDialogTemplate(dialogTemplate, &parsed)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    ModalRecord record;
    record.kind = ModalRecord::Kind::Dialog;
    record.caption = parsed.title;
    const std::optional<Machine::ModalAnswer> answer = ActiveMachine().AnswerModal(record);

    const HWND hwnd = CreateDialogFromTemplate(instance, dialogTemplate, parent, proc, param, true);
    WindowRef dialog = LookupWindow(hwnd);
    if (!dialog) return -1;
    ActiveMachine().NoteModalOpened();
    if (!Ended(dialog)) {
        if (!answer && dialog->widget) dialog->widget->setWindowModality(Qt::ApplicationModal);
        ShowWindow(hwnd, SW_SHOWNORMAL);
        if (answer) {
            StayOpen(*answer, dialog);
            if (!Ended(dialog)) EndDialog(hwnd, answer->result);
        } else {
            RunLiveLoop(dialog);
        }
    }
    const INT_PTR result = DialogResult(*dialog);
    ActiveMachine().NoteModalClosed();
    record.caption = dialog->text;
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    record.answer = static_cast<int>(result);
    ActiveMachine().RecordModal(record);
    return result;
}

QMessageBox::Icon BoxIcon(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

struct BoxButton {
    QMessageBox::StandardButton button;
    int id;
};

std::vector<BoxButton> BoxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

// A real message box, for a person to answer.
int AskUser(HWND owner, const ModalRecord& record) {
    WindowRef ownerWindow = LookupWindow(owner);
    QMessageBox box(BoxIcon(record.type), ToQt(record.caption), ToQt(record.text), QMessageBox::NoButton,
                    ownerWindow ? ownerWindow->widget.data() : nullptr);
    const std::vector<BoxButton> buttons = BoxButtons(record.type);
    QMessageBox::StandardButtons standard;
    for (const BoxButton& b : buttons) standard |= b.button;
    box.setStandardButtons(standard);
    box.setWindowModality(Qt::ApplicationModal);
    const int clicked = box.exec();
    for (const BoxButton& b : buttons) {
        if (b.button == clicked) return b.id;
    }
    // Closed without a button: what Escape answers on Windows.
    return (record.type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

}  // namespace

}  // namespace host::user

using namespace host::user;

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    // A bad owner fails with 0, any other failure with -1.
    if (hWndParent && !ValidWindow(hWndParent)) return 0;
    return RunDialog(hInstance, hDialogTemplate, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
    if (hWndParent && !ValidWindow(hWndParent)) return 0;
    HRSRC resource = FindResourceW(hInstance, lpTemplateName, RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(hInstance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return -1;
    return RunDialog(hInstance, static_cast<LPCDLGTEMPLATEW>(data), hWndParent, lpDialogFunc, dwInitParam);
}

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    if (hWnd && !ValidWindow(hWnd)) return 0;
    if ((uType & MB_TYPEMASK) > MB_RETRYCANCEL) {
        SetLastError(ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    host::ModalRecord record;
    record.kind = host::ModalRecord::Kind::MessageBox;
    record.caption = lpCaption ? lpCaption : L"Error";  // Windows' caption for none
    record.text = lpText ? lpText : L"";
    record.type = uType;
    const std::optional<host::Machine::ModalAnswer> answer = host::ActiveMachine().AnswerModal(record);
    const HWND owner = hWnd ? TopLevelOf(hWnd) : nullptr;
    {
        ModalScope scope(owner);
        if (answer) {
            StayOpen(*answer);
            record.answer = answer->result;
        } else {
            record.answer = AskUser(owner, record);
        }
    }
    host::ActiveMachine().RecordModal(record);
    return record.answer;
}
