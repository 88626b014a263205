#pragma once
// A machine whose every answer is scripted, on a virtual clock. Tests and
// the scenario runner drive it: they advance the clock (timers fire on the
// way), set the display's dots per inch, queue the answers to message
// boxes, and script the kernel's figures, failures and processes
// (Scripted(), or a scenario file's "machine" object: docs/scenarios.md).

#include "host/machine.h"
#include "host/scenario_document.h"
#include "host/scripted_system.h"
#include "host/virtual_clock.h"

#include <deque>
#include <string>
#include <string_view>

namespace host {

class ScriptedMachine : public Machine {
public:
    ScriptedMachine();
    ScriptedMachine(const ScriptedMachine&) = delete;
    ScriptedMachine& operator=(const ScriptedMachine&) = delete;

    DWORD TickCount() override { return clock_.Now(); }
    ULONGLONG UtcFileTime() override;
    VirtualClock* Clock() override { return &clock_; }
    void Advance(std::uint32_t ms) { clock_.Advance(ms); }
    // Restarts the clock at `tick` milliseconds since boot. Refused (false)
    // while timers run on it: they would lose their due times.
    bool SetStartTick(std::uint32_t tick);

    int DotsPerInch() override { return dotsPerInch_; }
    void SetDotsPerInch(int dpi) { dotsPerInch_ = dpi; }

    // UTC time at tick 0 (the boot), in FILETIME units.
    void SetUtcBase(ULONGLONG fileTime) { utcBase_ = fileTime; }
    ULONGLONG UtcBase() const { return utcBase_; }

    bool TimersRefused() override { return timersRefused_; }
    void SetTimersRefused(bool refused) { timersRefused_ = refused; }

    // Modal windows are answered in order from the queue; when it is empty,
    // with the default answer (IDOK, closed at once).
    std::optional<ModalAnswer> AnswerModal(const ModalRecord& request) override;
    void QueueModalAnswer(ModalAnswer answer) { answers_.push_back(answer); }
    void ClearModalAnswers() { answers_.clear(); }
    void SetDefaultModalAnswer(ModalAnswer answer) { defaultAnswer_ = answer; }

    // The kernel's side: figures, processes, failures.
    SystemServices* System() override { return &system_; }
    ScriptedSystem& Scripted() { return system_; }
    ScriptedSystemState& State() { return system_.State(); }

    // Applies the "machine" object of a scenario file (the whole file's
    // text) on top of the current state. A malformed file changes nothing
    // and is refused with a message naming the line and the field.
    bool LoadScenario(std::string_view text, std::string* error);
    // Applies the machine object at `pointer` (a JSON pointer such as
    // "/machine" or "/steps/3/machine") of a parsed scenario on top of the
    // current state; the scenario runner calls this between steps. All or
    // nothing, as LoadScenario.
    bool ApplyMachine(const ScenarioDocument& document, const std::string& pointer, std::string* error);

private:
    VirtualClock clock_;
    int dotsPerInch_ = 96;
    // 2026-01-01 00:00:00 UTC.
    ULONGLONG utcBase_ = 134116992000000000ULL;
    bool timersRefused_ = false;
    std::deque<ModalAnswer> answers_;
    ModalAnswer defaultAnswer_{};
    ScriptedSystem system_;
};

}  // namespace host
