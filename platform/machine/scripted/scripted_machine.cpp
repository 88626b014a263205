#include "host/scripted_machine.h"

#include "scenario_loader.h"
#include "scenario_values.h"


namespace host {

ScriptedMachine::ScriptedMachine()
    : system_([this] { return UtcFileTime(); }, [this] { return utcBase_; }) {}

ULONGLONG ScriptedMachine::UtcFileTime() { return utcBase_ + static_cast<ULONGLONG>(clock_.Now()) * 10000u; }

bool ScriptedMachine::SetStartTick(std::uint32_t tick) {
    if (clock_.RunningTimers() != 0) return false;
    clock_ = VirtualClock(tick);
    return true;
}

std::optional<Machine::ModalAnswer> ScriptedMachine::AnswerModal(const ModalRecord&) {
    if (answers_.empty()) return defaultAnswer_;
    ModalAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

bool ScriptedMachine::LoadScenario(std::string_view text, std::string* error) {
    std::optional<ScenarioDocument> document = ScenarioDocument::Parse(std::string(text), error);
    if (!document) return false;
    if (!document->Root().is_object()) {
        if (error) *error = "line 1: a scenario is a JSON object";
        return false;
    }
    if (!document->Root().contains("machine")) return true;  // nothing to change
    return ApplyMachine(*document, "/machine", error);
}

namespace {

// "/steps/3/machine" -> "steps[3].machine": how refusals name fields.
std::string DottedPath(const std::string& pointer) {
    std::string path;
    std::size_t at = 0;
    while (at < pointer.size()) {
        const std::size_t next = pointer.find('/', at + 1);
        std::string token = pointer.substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
        for (std::size_t i = 0; (i = token.find('~', i)) != std::string::npos; ++i)
            token.replace(i, 2, token.compare(i, 2, "~1") == 0 ? "/" : "~");
        const bool index = !token.empty() && token.find_first_not_of("0123456789") == std::string::npos;
        path += index && !path.empty() ? "[" + token + "]" : (path.empty() ? "" : ".") + token;
        at = next == std::string::npos ? pointer.size() : next;
    }
    return path;
}

}  // namespace

bool ScriptedMachine::ApplyMachine(const ScenarioDocument& document, const std::string& pointer, std::string* error) {
    const nlohmann::json* object = nullptr;
    try {
        object = &document.Root().at(nlohmann::json::json_pointer(pointer));
    } catch (const nlohmann::json::exception&) {
        if (error) *error = "no machine object at " + pointer;
        return false;
    }
    scenario::MachineSettings settings{system_.State(), std::nullopt, clock_.RunningTimers() != 0, utcBase_,
                                       dotsPerInch_,    timersRefused_, answers_, defaultAnswer_};
    try {
        scenario::ApplyMachineObject(scenario::Node(document, *object, pointer, DottedPath(pointer)), settings);
    } catch (const scenario::Refusal& refusal) {
        if (error) *error = refusal.what();
        return false;
    }
    system_.State() = std::move(settings.system);
    if (settings.startTick) clock_ = VirtualClock(*settings.startTick);
    utcBase_ = settings.utcAtBoot;
    dotsPerInch_ = settings.dotsPerInch;
    timersRefused_ = settings.timersRefused;
    answers_ = std::move(settings.answers);
    defaultAnswer_ = settings.defaultAnswer;
    return true;
}

}  // namespace host
