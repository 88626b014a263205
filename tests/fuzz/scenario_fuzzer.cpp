// The scenario loader on files the fuzzer makes up: a file is either read
// or refused with a message that names its line, every value of a file
// that parses has a line, and nothing crashes, leaks or takes more than
// linear time (the run's time limit catches a slow input).

#include "fuzz_support.h"

#include "host/scenario_document.h"
#include "host/scripted_machine.h"

#include <algorithm>
#include <string>

namespace {

// The lines of the first `budget` values, each looked up by its pointer.
void CheckLines(const host::ScenarioDocument& document, const nlohmann::json& value, const std::string& pointer,
                int lines, int& budget) {
    if (budget-- <= 0) return;
    const int line = document.LineOf(pointer);
    FUZZ_REQUIRE(line >= 1 && line <= lines);
    if (value.is_object()) {
        for (auto it = value.begin(); it != value.end() && budget > 0; ++it)
            CheckLines(document, it.value(), pointer + "/" + host::JsonPointerToken(it.key()), lines, budget);
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size() && budget > 0; ++i)
            CheckLines(document, value[i], pointer + "/" + std::to_string(i), lines, budget);
    }
}

bool NamesALine(const std::string& message) { return message.rfind("line ", 0) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto document = host::ScenarioDocument::Parse(text, &error);
    if (!document) {
        FUZZ_REQUIRE(NamesALine(error));
        return 0;
    }
    int budget = 64;
    CheckLines(*document, document->Root(), "", static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1,
               budget);

    host::ScriptedMachine machine;
    if (!machine.LoadScenario(text, &error)) FUZZ_REQUIRE(NamesALine(error));
    return 0;
}
