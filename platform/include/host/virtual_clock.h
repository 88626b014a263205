#pragma once
// Virtual time for the scripted machine: a millisecond counter that only
// moves when a test or scenario advances it, and the timers that fall due
// on the way, fired in the order of their due times.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace host {

class VirtualClock {
public:
    using TimerId = std::uint64_t;
    using Callback = std::function<void()>;

    explicit VirtualClock(std::uint32_t startMs = 0) : absoluteNow_(startMs), now_(startMs) {}

    std::uint32_t Now() const { return now_; }

    // Moves time forward by `ms`, firing every timer that falls due on the
    // way, in order of due time (timers due at the same moment fire in the
    // order they were started). A callback may itself advance the clock (a
    // message box that stays open for a while); the outer advance then goes
    // on from wherever the clock stands, up to its own end.
    void Advance(std::uint32_t ms);

    // A periodic timer: first due `intervalMs` from now, then every
    // `intervalMs` after its previous due time. An interval of 0 counts as 1,
    // as a window timer's does.
    TimerId StartTimer(std::uint32_t intervalMs, Callback callback);
    // Re-arms an existing timer from now with a new interval; false if unknown.
    bool RestartTimer(TimerId id, std::uint32_t intervalMs);
    bool StopTimer(TimerId id);
    // Milliseconds from now until the earliest timer falls due (0 when one
    // is due now); nothing while no timer runs. A program that keeps this
    // clock in step with real time sleeps that long.
    std::optional<std::uint64_t> UntilNextDue() const;
    bool IsRunning(TimerId id) const { return timers_.count(id) != 0; }
    std::size_t RunningTimers() const { return timers_.size(); }

private:
    struct Timer {
        std::uint64_t dueMs;
        std::uint32_t intervalMs;
        std::uint64_t sequence;  // start order, to break ties
        Callback callback;
    };
    // Absolute time in 64 bits so that the 32-bit tick count may wrap.
    std::uint64_t absoluteNow_;
    std::uint32_t now_;
    std::uint64_t nextId_ = 1;
    std::uint64_t nextSequence_ = 0;
    std::map<TimerId, Timer> timers_;
};

}  // namespace host
