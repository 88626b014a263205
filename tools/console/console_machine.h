#pragma once
// This computer, as palisk-report sees it: the live machine's figures and
// commands, with two differences from the window program's machine.
//
// - Time: the dialog's timers run on a virtual clock that the program moves
//   in step with real time, so it can sleep on the keyboard and on signals
//   while no timer is due (see ClockStep).
// - Message boxes: there is no one to click them. Each is answered OK at
//   once, as its only button would be, and the program prints it.

#include "host/live_linux_machine.h"
#include "host/virtual_clock.h"

#include <cstdint>
#include <optional>

namespace console {

class ConsoleLiveMachine : public host::LiveLinuxMachine {
public:
    ConsoleLiveMachine();

    DWORD TickCount() override { return clock_.Now(); }
    host::VirtualClock* Clock() override { return &clock_; }
    std::optional<ModalAnswer> AnswerModal(const host::ModalRecord&) override { return ModalAnswer{}; }

private:
    host::VirtualClock clock_;
};

// How far to move a virtual clock when `elapsedMs` of real time have passed
// and its earliest timer is due in `untilNextMs`: all of it, unless a
// refresh timer of `intervalMs` would then fall due more than once (the
// computer slept, or the program was stopped). Then only up to that timer:
// the missed ticks fall together into one, as a window's timer messages do,
// instead of a burst of refreshes.
std::uint64_t ClockStep(std::uint64_t elapsedMs, std::optional<std::uint64_t> untilNextMs, std::uint32_t intervalMs);

}  // namespace console
