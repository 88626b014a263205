#include "host/machine.h"

#include "host/real_time_machine.h"

namespace host {

namespace {
Machine* g_active = nullptr;
}

Machine& ActiveMachine() {
    static RealTimeMachine fallback;
    return g_active ? *g_active : fallback;
}

void SetActiveMachine(Machine* machine) { g_active = machine; }

}  // namespace host
