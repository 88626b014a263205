#include "host/startup_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace host {

void TraceStartup(const char* milestone) {
    static const bool enabled = std::getenv("PALISK_TRACE_STARTUP") != nullptr;
    if (!enabled) return;
    static std::set<std::string> reached;
    if (!reached.insert(milestone).second) return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(stderr, "palisk: startup %s %lld\n", milestone,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

}  // namespace host
