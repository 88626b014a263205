#pragma once
// The sections of a scenario's "machine" object that concern the kernel's
// state beyond its records: each reads one section into the state, or
// refuses it (Refusal) with its line and field.

#include "host/scripted_system.h"

#include "scenario_values.h"

namespace host::scenario {

void ApplySelf(const Node& node, ScriptedSystemState& s);
void ApplyProcesses(const Node& node, ScriptedSystemState& s);
void ApplyMemoryListCommands(const Node& node, ScriptedSystemState& s);
void ApplyMemoryStatus(const Node& node, ScriptedSystemState& s);
void ApplySystemInfo(const Node& node, ScriptedSystemState& s);
void ApplyLogicalProcessors(const Node& node, ScriptedSystemState& s);
void ApplyVersion(const Node& node, ScriptedSystemState& s);
void ApplyCacheLimits(const Node& node, ScriptedSystemState& s);
void ApplyHeap(const Node& node, ScriptedSystemState& s);
void ApplyToken(const Node& node, ScriptedSystemState& s);
void ApplyRegistry(const Node& node, ScriptedSystemState& s);
void ApplyServices(const Node& node, ScriptedSystemState& s);
void ApplyCounters(const Node& node, ScriptedSystemState& s);

}  // namespace host::scenario
