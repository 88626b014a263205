#include "host/scripted_machine.h"

namespace host {

ULONGLONG ScriptedMachine::UtcFileTime() { return utcBase_ + static_cast<ULONGLONG>(clock_.Now()) * 10000u; }

std::optional<Machine::ModalAnswer> ScriptedMachine::AnswerModal(const ModalRecord&) {
    if (answers_.empty()) return defaultAnswer_;
    ModalAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace host
