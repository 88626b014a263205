#pragma once
// Running scenarios from the tests: a runner over a scenario text, and a
// look at the state it left.

#include "scenario_runner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace scenario_test {

inline std::string ReadScenario(const std::string& name) {
    std::ifstream file(std::string(PALISK_SOURCE_DIR) + "/tests/scenarios/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Loads `text` into `runner` and runs it. When it cannot, the test fails
// with the runner's message and ends there (GoogleTest reports the
// exception), so that it never reads states that were not taken.
inline void RunScenario(scenario::ScenarioRunner& runner, const std::string& text) {
    std::string error;
    if (runner.Load(text, &error) && runner.Run(scenario::RunOptions{}, &error)) return;
    throw std::runtime_error("the scenario did not run: " + error);
}

inline const nlohmann::json& Control(const nlohmann::json& state, int id) {
    return state["controls"][std::to_string(id)];
}

inline int CountModals(const nlohmann::json& state, const std::string& caption) {
    int count = 0;
    for (const auto& m : state["modals"])
        if (m["caption"] == caption) ++count;
    return count;
}

}  // namespace scenario_test
