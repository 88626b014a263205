#pragma once
// The headless scenario runner: the real main dialog on a scripted machine,
// driven step by step as a person would drive it, with what a person would
// see written down after every step.

#include "host/scenario_document.h"
#include "host/scripted_machine.h"
#include "host/utf8.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CPaliskDlg;

namespace scenario {

// How a click by position reaches the window system: by default through
// the window system's own input path in this process; under a real X
// server, through the server (XServerPointer).
class Pointer {
public:
    virtual ~Pointer() = default;
    // Clicks at a point of the dialog's client area; false with a message
    // when the click could not be given or never arrived.
    virtual bool Click(HWND dialog, POINT client, std::string* error) = 0;
};

struct RunOptions {
    std::string outputDir;   // empty: keep the states in memory only
    bool pictures = false;   // also write PNGs of the window after each step
    // Called after each step once its state is taken, with the step's
    // number counted from 1: a test looks at the screen there.
    std::function<void(std::size_t step)> afterStep;
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
    // Clicks by position go through `pointer` from now on.
    void SetPointer(std::unique_ptr<Pointer> pointer) { pointer_ = std::move(pointer); }
    CPaliskDlg* Dialog() { return dialog_.get(); }

    // Runs one step (an object of the "steps" array at `pointer`), lets the
    // window system catch up, and checks that the screen shows what the
    // windows hold (ScreenAgrees).
    bool RunStep(const nlohmann::json& step, const std::string& pointer, std::string* error);
    // What a person would see now.
    nlohmann::json CaptureState();
    // Whether the screen shows every window as the window holds it (shown,
    // enabled, placed); false with one line per difference.
    bool ScreenAgrees(std::string* error);

private:
    bool Start(std::string* error);
    HWND Control(int id, const std::string& pointer, std::string* error) const;
    bool CarryOut(const nlohmann::json& step, const std::string& pointer, std::string* error);
    bool ClickAt(const nlohmann::json& value, const std::string& pointer, std::string* error);

    host::ScriptedMachine machine_;
    std::optional<host::ScenarioDocument> document_;
    std::unique_ptr<CPaliskDlg> dialog_;
    std::unique_ptr<Pointer> pointer_;
    std::vector<nlohmann::json> states_;
};

using host::Utf8;

}  // namespace scenario
