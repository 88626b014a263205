// What a person would see of the main dialog: every control's text,
// visibility and enabled state, the message boxes shown, and the machine's
// action log.

#include "scenario_runner.h"

#include "app/palisk_dlg.h"
#include "host/user.h"

namespace scenario {

namespace {

std::wstring WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

nlohmann::json ControlState(HWND hwnd) {
    nlohmann::json control;
    control["class"] = Utf8(host::user::ClassName(hwnd));
    control["text"] = Utf8(WindowText(hwnd));
    control["visible"] = IsWindowVisible(hwnd) != FALSE;
    control["enabled"] = IsWindowEnabled(hwnd) != FALSE;
    if (host::user::ClassName(hwnd) == L"ComboBox") {
        nlohmann::json items = nlohmann::json::array();
        for (const std::wstring& item : host::user::ComboItems(hwnd)) items.push_back(Utf8(item));
        control["items"] = items;
        control["selection"] = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
    }
    return control;
}

nlohmann::json ModalsState(const host::Machine& machine) {
    nlohmann::json modals = nlohmann::json::array();
    for (const host::ModalRecord& m : machine.Modals()) {
        nlohmann::json entry;
        entry["kind"] = m.kind == host::ModalRecord::Kind::MessageBox ? "message box" : "dialog";
        entry["caption"] = Utf8(m.caption);
        if (m.kind == host::ModalRecord::Kind::MessageBox) entry["text"] = Utf8(m.text);
        entry["answer"] = m.answer;
        modals.push_back(entry);
    }
    return modals;
}

}  // namespace

nlohmann::json ScenarioRunner::CaptureState() {
    nlohmann::json state;
    state["tick"] = static_cast<unsigned>(machine_.TickCount());
    nlohmann::json controls = nlohmann::json::object();
    if (dialog_ && dialog_->GetSafeHwnd()) {
        HWND dialog = dialog_->GetSafeHwnd();
        for (HWND child : host::user::Children(dialog)) {
            const int id = GetDlgCtrlID(child);
            if (id == 0 || id == 0xFFFF) continue;  // charts and legend labels have no id of their own
            controls[std::to_string(id)] = ControlState(child);
        }
        state["window"] = {{"text", Utf8(WindowText(dialog))},
                           {"visible", IsWindowVisible(dialog) != FALSE},
                           {"iconic", IsIconic(dialog) != FALSE},
                           {"refreshCount", dialog_->m_nRefreshCount},
                           {"targetIndex", dialog_->m_nTargetIndex},
                           {"memCompressionPid", dialog_->m_nMemCompressionPid},
                           {"pdhReady", dialog_->m_bPdhReady}};
    }
    state["controls"] = controls;
    state["modals"] = ModalsState(machine_);
    state["actions"] = machine_.Actions();
    return state;
}

}  // namespace scenario
