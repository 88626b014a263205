#pragma once
// Small tools for reading the kernel's text: lines, blank-separated fields
// and numbers, all on string_views into the caller's text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace host::linux_proc {

// Walks a text line by line; the last line need not end in '\n'.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}
    bool Next(std::string_view& line);

private:
    std::string_view rest_;
};

// Walks the fields of a line, separated by blanks and tabs.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : rest_(text) {}
    bool Next(std::string_view& field);
    // What follows the last field read, blanks included.
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

std::string_view TrimBlanks(std::string_view text);

// A whole field as a decimal number; nothing for a sign, a stray character
// or a value that does not fit.
std::optional<std::uint64_t> ParseUnsigned(std::string_view field);
std::optional<std::int64_t> ParseSigned(std::string_view field);
std::optional<std::uint64_t> ParseHex(std::string_view field);

// Paths in /proc/swaps and /proc/self/mountinfo: the kernel writes a
// blank, tab, newline or backslash as a backslash and three octal digits.
std::string DecodeOctalEscapes(std::string_view escaped);

// a × b, or nothing when it does not fit in 64 bits.
std::optional<std::uint64_t> CheckedMultiply(std::uint64_t a, std::uint64_t b);

}  // namespace host::linux_proc
