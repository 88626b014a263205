#pragma once
// Scans of a scenario's JSON text that the parser does not answer: where a
// value stands (its line) and where nesting goes too deep. Both are single
// passes that keep only the path being walked, so they cost time in
// proportion to the text however it is shaped.

#include <cstddef>
#include <optional>
#include <string>

namespace host::json_scan {

// The line (from 1) of the value at a JSON pointer ("/machine/dpi", "" for
// the root) in a well-formed text: for an object member, the line of its
// key. 0 when there is no such value.
int LineOfValue(const std::string& text, const std::string& pointer);

// The offset of the first '[' or '{' (outside strings) that opens a
// container nested more than `maxDepth` deep; nothing when none does.
std::optional<std::size_t> OffsetBeyondDepth(const std::string& text, int maxDepth);

}  // namespace host::json_scan
