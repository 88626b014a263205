#include "scenario_runner.h"

#include "app/palisk_dlg.h"
#include "host/user.h"
#include "program_resources.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>

namespace scenario {

namespace {

bool Fail(std::string* error, const std::string& pointer, const std::string& message) {
    if (error) *error = pointer + ": " + message;
    return false;
}

// A JSON integer that fits `Int`; nothing for any other value, so that a
// number too large for its use is refused rather than cut to fit.
template <class Int>
std::optional<Int> Fitting(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        const auto n = value.get<std::uint64_t>();
        if (n <= static_cast<std::uint64_t>(std::numeric_limits<Int>::max())) return static_cast<Int>(n);
    } else if (value.is_number_integer()) {
        const auto n = value.get<std::int64_t>();
        if (n >= static_cast<std::int64_t>(std::numeric_limits<Int>::min()) &&
            n <= static_cast<std::int64_t>(std::numeric_limits<Int>::max()))
            return static_cast<Int>(n);
    }
    return std::nullopt;
}

// An int field of an object: absent gives `fallback`; a value that is not
// an int gives nothing.
std::optional<int> IntField(const nlohmann::json& value, const char* key, int fallback) {
    const auto it = value.find(key);
    return it == value.end() ? std::optional<int>(fallback) : Fitting<int>(*it);
}

bool IsCoordinate(const nlohmann::json& value, const char* key) {
    const auto it = value.find(key);
    return it != value.end() && Fitting<int>(*it).has_value();
}

// "line N: " when a message does not begin by naming its line already (the
// machine object's refusals name the line of the field at fault).
std::string LinePrefix(int line, const std::string& message) {
    std::size_t digits = 5;
    while (digits < message.size() && message[digits] >= '0' && message[digits] <= '9') ++digits;
    const bool named = message.rfind("line ", 0) == 0 && digits > 5 && message.compare(digits, 2, ": ") == 0;
    return named ? std::string() : "line " + std::to_string(line) + ": ";
}

}  // namespace

ScenarioRunner::ScenarioRunner() {
    host::SetActiveMachine(&machine_);
    host::RegisterProgramResources();
}

ScenarioRunner::~ScenarioRunner() {
    if (dialog_ && dialog_->GetSafeHwnd()) dialog_->DestroyWindow();
    dialog_.reset();
    host::SetActiveMachine(nullptr);
}

bool ScenarioRunner::Load(const std::string& text, std::string* error) {
    document_ = host::ScenarioDocument::Parse(text, error);
    if (!document_) return false;
    if (document_->Root().contains("machine") && !machine_.ApplyMachine(*document_, "/machine", error)) return false;
    const auto steps = document_->Root().find("steps");
    if (steps == document_->Root().end() || !steps->is_array()) {
        if (error) *error = "line " + std::to_string(document_->LineOf("")) + ": \"steps\" must be an array";
        return false;
    }
    return true;
}

bool ScenarioRunner::Start(std::string* error) {
    if (dialog_) return Fail(error, "start", "the dialog has already been started");
    dialog_ = std::make_unique<CPaliskDlg>();
    if (!dialog_->Create(IDD_PALISK_DIALOG)) return Fail(error, "start", "the main dialog could not be created");
    return true;
}

HWND ScenarioRunner::Control(int id, const std::string& pointer, std::string* error) const {
    if (!dialog_ || !dialog_->GetSafeHwnd()) {
        Fail(error, pointer, "no dialog: a \"start\" step must come first");
        return nullptr;
    }
    HWND control = GetDlgItem(dialog_->GetSafeHwnd(), id);
    if (!control) Fail(error, pointer, "no control with id " + std::to_string(id));
    return control;
}

bool ScenarioRunner::RunStep(const nlohmann::json& step, const std::string& pointer, std::string* error) {
    if (!CarryOut(step, pointer, error)) return false;
    host::user::ProcessEvents();
    // What the step did must show on the screen as the windows hold it.
    if (ScreenAgrees(error)) return true;
    if (error) *error = pointer + ": after this step " + *error;
    return false;
}

bool ScenarioRunner::CarryOut(const nlohmann::json& step, const std::string& pointer, std::string* error) {
    if (!step.is_object() || step.size() != 1) return Fail(error, pointer, "a step is an object with one action");
    const std::string action = step.begin().key();
    const nlohmann::json& value = step.begin().value();
    if (action == "start") return Start(error);
    if (action == "advance") {
        const auto milliseconds = Fitting<std::uint32_t>(value);
        if (!milliseconds) return Fail(error, pointer, "\"advance\" takes milliseconds from 0 to 4294967295");
        machine_.Advance(*milliseconds);
        return true;
    }
    if (action == "ticks") {
        const auto count = Fitting<std::uint32_t>(value);
        if (!count) return Fail(error, pointer, "\"ticks\" takes a count from 0 to 4294967295");
        for (std::uint32_t i = 0; i < *count; ++i) machine_.Advance(1000);
        return true;
    }
    if (action == "machine") return machine_.ApplyMachine(*document_, pointer + "/machine", error);
    if (action == "click" || action == "dropdown") {
        const auto id = Fitting<int>(value);
        if (!id) return Fail(error, pointer, "\"" + action + "\" takes a control id");
        HWND control = Control(*id, pointer, error);
        if (!control) return false;
        const bool done = action == "click" ? host::user::Click(control) : host::user::DropDown(control);
        if (action == "dropdown") host::user::CloseDropDown(control);
        return done || Fail(error, pointer, "the control took no " + action);
    }
    if (action == "clickAt") return ClickAt(value, pointer, error);
    if (action == "choose") {
        if (!value.is_object()) return Fail(error, pointer, "\"choose\" takes {\"id\": ..., \"index\": ...}");
        const auto id = IntField(value, "id", IDC_TARGET_PROCESS);
        const auto index = IntField(value, "index", 0);
        if (!id || !index) return Fail(error, pointer, "\"choose\" takes {\"id\": ..., \"index\": ...}");
        HWND control = Control(*id, pointer, error);
        if (!control) return false;
        return host::user::ChooseComboItem(control, *index) || Fail(error, pointer, "no such item");
    }
    if (action == "syscommand") {
        const auto command = Fitting<int>(value);
        if (!command || !dialog_) return Fail(error, pointer, "\"syscommand\" takes a command id");
        dialog_->SendMessage(WM_SYSCOMMAND, static_cast<WPARAM>(*command), 0);
        return true;
    }
    if (action == "resize") {
        if (!dialog_) return Fail(error, pointer, "no dialog");
        const auto width = value.is_object() ? IntField(value, "width", 0) : std::nullopt;
        const auto height = value.is_object() ? IntField(value, "height", 0) : std::nullopt;
        if (!width || !height) return Fail(error, pointer, "\"resize\" takes {\"width\": ..., \"height\": ...}");
        return host::user::Resize(dialog_->GetSafeHwnd(), *width, *height) ||
               Fail(error, pointer, "the window could not be resized");
    }
    if (action == "minimize" || action == "restore" || action == "maximize") {
        if (!dialog_) return Fail(error, pointer, "no dialog");
        HWND hwnd = dialog_->GetSafeHwnd();
        const bool done = action == "minimize"   ? host::user::Minimize(hwnd)
                          : action == "restore" ? host::user::Restore(hwnd)
                                                : host::user::Maximize(hwnd);
        return done || Fail(error, pointer, "the window state could not be changed");
    }
    return Fail(error, pointer, "unknown action \"" + action + "\"");
}

bool ScenarioRunner::ClickAt(const nlohmann::json& value, const std::string& pointer, std::string* error) {
    if (!value.is_object() || !IsCoordinate(value, "x") || !IsCoordinate(value, "y") || value.size() != 2) {
        return Fail(error, pointer, "\"clickAt\" takes {\"x\": ..., \"y\": ...} in the dialog's client area");
    }
    if (!dialog_ || !dialog_->GetSafeHwnd()) return Fail(error, pointer, "no dialog: a \"start\" step must come first");
    const POINT at{value["x"].get<int>(), value["y"].get<int>()};
    HWND dialog = dialog_->GetSafeHwnd();
    if (pointer_) {
        std::string why;
        return pointer_->Click(dialog, at, &why) || Fail(error, pointer, why);
    }
    return host::user::ClickAt(dialog, at) ||
           Fail(error, pointer, "(" + std::to_string(at.x) + ", " + std::to_string(at.y) +
                                    ") is not in the dialog's client area");
}

bool ScenarioRunner::ScreenAgrees(std::string* error) {
    std::vector<std::string> mismatches;
    for (HWND window : host::user::TopLevelWindows()) {
        const std::vector<std::string> found = host::user::ScreenMismatches(window);
        mismatches.insert(mismatches.end(), found.begin(), found.end());
    }
    if (mismatches.empty()) return true;
    if (error) {
        *error = "the screen and the windows disagree:";
        for (const std::string& line : mismatches) *error += "\n  " + line;
    }
    return false;
}

bool ScenarioRunner::Run(const RunOptions& options, std::string* error) {
    if (!document_) return Fail(error, "", "no scenario loaded");
    if (!options.outputDir.empty()) std::filesystem::create_directories(options.outputDir);
    const nlohmann::json& steps = document_->Root()["steps"];
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string pointer = "/steps/" + std::to_string(i);
        if (!RunStep(steps[i], pointer, error)) {
            if (error) *error = LinePrefix(document_->LineOf(pointer), *error) + *error;
            return false;
        }
        states_.push_back(CaptureState());
        if (options.afterStep) options.afterStep(i + 1);
        if (options.outputDir.empty()) continue;
        char name[32];
        std::snprintf(name, sizeof(name), "state-%02zu", i + 1);
        std::ofstream(options.outputDir + "/" + name + ".json") << states_.back().dump(2) << "\n";
        if (options.pictures && dialog_ && dialog_->GetSafeHwnd())
            host::user::SavePng(host::user::Grab(dialog_->GetSafeHwnd()), options.outputDir + "/" + name + ".png");
    }
    return true;
}

}  // namespace scenario
