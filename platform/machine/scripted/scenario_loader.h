#pragma once
// Applying a scenario's "machine" object to a copy of the scripted
// machine's settings; the machine takes the copy only when all of it read
// well.

#include "host/machine.h"
#include "host/scripted_system.h"

#include "scenario_values.h"

#include <cstdint>
#include <deque>
#include <optional>

namespace host::scenario {

struct MachineSettings {
    ScriptedSystemState system;
    std::optional<std::uint32_t> startTick;  // set: restart the clock there
    bool clockHasTimers = false;             // then a start tick is refused
    ULONGLONG utcAtBoot = 0;
    int dotsPerInch = 96;
    bool timersRefused = false;
    std::deque<Machine::ModalAnswer> answers;
    Machine::ModalAnswer defaultAnswer;
};

// Throws Refusal, naming the line and the field, for anything malformed.
void ApplyMachineObject(const Node& machine, MachineSettings& settings);

}  // namespace host::scenario
