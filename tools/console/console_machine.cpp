#include "console_machine.h"

namespace console {

// The virtual clock starts at the real tick count, so GetTickCount reads
// the milliseconds since boot, as in the window.
ConsoleLiveMachine::ConsoleLiveMachine() : clock_(host::RealTimeMachine::TickCount()) {}

std::uint64_t ClockStep(std::uint64_t elapsedMs, std::optional<std::uint64_t> untilNextMs, std::uint32_t intervalMs) {
    if (!untilNextMs || elapsedMs <= *untilNextMs + intervalMs) return elapsedMs;
    return *untilNextMs;
}

}  // namespace console
