#include "host/real_time_machine.h"

#include <time.h>

namespace host {

DWORD RealTimeMachine::TickCount() {
    // Milliseconds since boot, as GetTickCount counts them (wrapping).
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const ULONGLONG ms = static_cast<ULONGLONG>(ts.tv_sec) * 1000u + static_cast<ULONGLONG>(ts.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

ULONGLONG RealTimeMachine::UtcFileTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return kFileTimeUnixEpoch + static_cast<ULONGLONG>(ts.tv_sec) * 10000000u +
           static_cast<ULONGLONG>(ts.tv_nsec) / 100u;
}

}  // namespace host
