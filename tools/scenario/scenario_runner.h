#pragma once
// The headless scenario runner: the real main dialog on a scripted machine,
// driven step by step as a person would drive it, with what a person would
// see written down after every step.

#include "host/scenario_document.h"
#include "host/scripted_machine.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CPaliskDlg;

namespace scenario {

struct RunOptions {
    std::string outputDir;   // empty: keep the states in memory only
    bool pictures = false;   // also write PNGs of the window after each step
};

class ScenarioRunner {
public:
    ScenarioRunner();
    ~ScenarioRunner();
    ScenarioRunner(const ScenarioRunner&) = delete;
    ScenarioRunner& operator=(const ScenarioRunner&) = delete;

    // Loads a scenario's text; false with a message naming the line and the
    // field when it is malformed.
    bool Load(const std::string& text, std::string* error);
    // Runs every step; false with a message when a step cannot be carried
    // out (an unknown control, a step before "start"...).
    bool Run(const RunOptions& options, std::string* error);

    // The state after each step, as written to state-NN.json.
    const std::vector<nlohmann::json>& States() const { return states_; }
    host::ScriptedMachine& Machine() { return machine_; }
    CPaliskDlg* Dialog() { return dialog_.get(); }

    // Runs one step (an object of the "steps" array at `pointer`).
    bool RunStep(const nlohmann::json& step, const std::string& pointer, std::string* error);
    // What a person would see now.
    nlohmann::json CaptureState();

private:
    bool Start(std::string* error);
    HWND Control(int id, const std::string& pointer, std::string* error) const;

    host::ScriptedMachine machine_;
    std::optional<host::ScenarioDocument> document_;
    std::unique_ptr<CPaliskDlg> dialog_;
    std::vector<nlohmann::json> states_;
};

// UTF-8 of a wide text, for the state files.
std::string Utf8(const std::wstring& text);

}  // namespace scenario
