#pragma once
// What the soak test does to the scripted machine and the window between
// refreshes, drawn from one seeded generator so that a run can be repeated
// exactly from its seed.

#include "host/scripted_system.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <random>
#include <string>

namespace soak {

class Events {
public:
    explicit Events(std::uint64_t seed) : random_(seed) {}

    // Makes queries, counters, allocations and opens fail for the next
    // refresh at random, and undoes last time's failures that persist.
    void ScriptFailures(host::ScriptedSystemState& state);
    // Starts or ends processes now and then (hostile names included).
    void ChurnProcesses(host::ScriptedSystemState& state);
    // What the window shows now, for choosing a step that a person could take.
    struct View {
        int targetItems = 0;    // entries of the target list, "**NONE**" included
        int visibleToggle = 0;  // the id of the panel toggle on show
        bool minimised = false;
    };
    // A step for the scenario runner (a resize, a click, a panel switch, a
    // choice in the target list...), or null for none this time.
    nlohmann::json UserStep(const View& view);

    // Counts of what was done, for the report.
    std::uint64_t failuresScripted = 0;
    std::uint64_t processesStarted = 0;
    std::uint64_t processesEnded = 0;
    std::uint64_t userSteps = 0;

private:
    bool Chance(double probability) { return std::bernoulli_distribution(probability)(random_); }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    std::uint64_t Any64() { return random_(); }
    void FailQueries(host::ScriptedSystemState& state);
    void FailOthers(host::ScriptedSystemState& state);
    void ScrambleFigures(host::ScriptedSystemState& state);
    std::wstring ProcessName();

    std::mt19937_64 random_;
    DWORD nextPid_ = 10000;
    host::ScriptedSystemState defaults_ = host::DefaultScriptedSystem();
};

}  // namespace soak
