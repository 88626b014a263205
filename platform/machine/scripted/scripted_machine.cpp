#include "host/scripted_machine.h"

namespace host {

ULONGLONG ScriptedMachine::UtcFileTime() { return utcBase_ + static_cast<ULONGLONG>(clock_.Now()) * 10000u; }

std::optional<Machine::MessageBoxAnswer> ScriptedMachine::AnswerMessageBox(HWND, const std::wstring&,
                                                                           const std::wstring&, UINT) {
    if (answers_.empty()) return defaultAnswer_;
    MessageBoxAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace host
