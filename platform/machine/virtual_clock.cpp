#include "host/virtual_clock.h"

#include <limits>

namespace host {

void VirtualClock::Advance(std::uint32_t ms) {
    const std::uint64_t end = absoluteNow_ + ms;
    for (;;) {
        // The earliest due timer, ties broken by start order.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (next == timers_.end() || it->second.dueMs < next->second.dueMs ||
                (it->second.dueMs == next->second.dueMs && it->second.sequence < next->second.sequence))
                next = it;
        }
        if (next == timers_.end() || next->second.dueMs > end) break;
        if (next->second.dueMs > absoluteNow_) {
            absoluteNow_ = next->second.dueMs;
            now_ = static_cast<std::uint32_t>(absoluteNow_);
        }
        // Re-arm before the callback: it may stop or restart this very timer,
        // or advance the clock itself.
        next->second.dueMs += next->second.intervalMs;
        if (next->second.dueMs <= absoluteNow_) next->second.dueMs = absoluteNow_ + next->second.intervalMs;
        Callback callback = next->second.callback;
        callback();
    }
    if (absoluteNow_ < end) {
        absoluteNow_ = end;
        now_ = static_cast<std::uint32_t>(absoluteNow_);
    }
}

VirtualClock::TimerId VirtualClock::StartTimer(std::uint32_t intervalMs, Callback callback) {
    if (intervalMs == 0) intervalMs = 1;
    const TimerId id = nextId_++;
    timers_[id] = Timer{absoluteNow_ + intervalMs, intervalMs, nextSequence_++, std::move(callback)};
    return id;
}

bool VirtualClock::RestartTimer(TimerId id, std::uint32_t intervalMs) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return false;
    if (intervalMs == 0) intervalMs = 1;
    it->second.intervalMs = intervalMs;
    it->second.dueMs = absoluteNow_ + intervalMs;
    it->second.sequence = nextSequence_++;
    return true;
}

bool VirtualClock::StopTimer(TimerId id) { return timers_.erase(id) != 0; }

std::optional<std::uint64_t> VirtualClock::UntilNextDue() const {
    std::optional<std::uint64_t> earliest;
    for (const auto& [id, timer] : timers_)
        if (!earliest || timer.dueMs < *earliest) earliest = timer.dueMs;
    if (!earliest) return std::nullopt;
    return *earliest > absoluteNow_ ? *earliest - absoluteNow_ : 0;
}

}  // namespace host
