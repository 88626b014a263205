#pragma once
// A machine whose every answer is scripted, on a virtual clock. Tests and
// the scenario runner drive it: they advance the clock (timers fire on the
// way), set the display's dots per inch and queue the answers to message
// boxes.

#include "host/machine.h"
#include "host/virtual_clock.h"

#include <deque>

namespace host {

class ScriptedMachine : public Machine {
public:
    ScriptedMachine() = default;

    DWORD TickCount() override { return clock_.Now(); }
    ULONGLONG UtcFileTime() override;
    VirtualClock* Clock() override { return &clock_; }
    void Advance(std::uint32_t ms) { clock_.Advance(ms); }

    int DotsPerInch() override { return dotsPerInch_; }
    void SetDotsPerInch(int dpi) { dotsPerInch_ = dpi; }

    // UTC time at tick 0, in FILETIME units.
    void SetUtcBase(ULONGLONG fileTime) { utcBase_ = fileTime; }

    bool TimersRefused() override { return timersRefused_; }
    void SetTimersRefused(bool refused) { timersRefused_ = refused; }

    // Modal windows are answered in order from the queue; when it is empty,
    // with the default answer (IDOK, closed at once).
    std::optional<ModalAnswer> AnswerModal(const ModalRecord& request) override;
    void QueueModalAnswer(ModalAnswer answer) { answers_.push_back(answer); }
    void SetDefaultModalAnswer(ModalAnswer answer) { defaultAnswer_ = answer; }

private:
    VirtualClock clock_;
    int dotsPerInch_ = 96;
    // 2026-01-01 00:00:00 UTC.
    ULONGLONG utcBase_ = 134116992000000000ULL;
    bool timersRefused_ = false;
    std::deque<ModalAnswer> answers_;
    ModalAnswer defaultAnswer_{};
};

}  // namespace host
