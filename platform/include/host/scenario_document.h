#pragma once
// A scenario file, parsed: its JSON and the line on which each value stands,
// so that a refusal can name the line of the field at fault.
//
// Host-only: the system's own code never includes this header.

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace host {

class ScenarioDocument {
public:
    // Containers may nest this deep (a scenario needs fewer than ten levels).
    static constexpr int kMaxNesting = 64;

    // Parses `text`. A syntax error, a number beyond the range of a double
    // or nesting deeper than kMaxNesting gives nothing, and `error` says
    // "line N: ..." for the line where the parser stopped.
    static std::optional<ScenarioDocument> Parse(const std::string& text, std::string* error);

    const nlohmann::json& Root() const { return root_; }
    // The line (from 1) of the value at a JSON pointer ("/machine/dpi"):
    // the line of its key for an object member. 0 when there is no such value.
    // It scans the text: refusals ask it once.
    int LineOf(const std::string& pointer) const;

private:
    nlohmann::json root_;
    std::string text_;
};

// The line (from 1) of byte `offset` of `text`.
int LineOfOffset(const std::string& text, std::size_t offset);

// An object key as a JSON-pointer token ("a/b" -> "a~1b").
std::string JsonPointerToken(const std::string& key);

}  // namespace host
