#include "text_scan.h"

#include <charconv>

namespace host::linux_proc {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

template <typename T>
std::optional<T> ParseWhole(std::string_view field, int base) {
    if (field.empty()) return std::nullopt;
    T value{};
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value, base);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

bool LineReader::Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t newline = rest_.find('\n');
    if (newline == std::string_view::npos) {
        line = rest_;
        rest_ = {};
    } else {
        line = rest_.substr(0, newline);
        rest_.remove_prefix(newline + 1);
    }
    return true;
}

bool FieldReader::Next(std::string_view& field) {
    std::size_t start = 0;
    while (start < rest_.size() && IsBlank(rest_[start])) ++start;
    if (start == rest_.size()) {
        rest_ = {};
        return false;
    }
    std::size_t stop = start;
    while (stop < rest_.size() && !IsBlank(rest_[stop])) ++stop;
    field = rest_.substr(start, stop - start);
    rest_.remove_prefix(stop);
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view field) {
    // from_chars accepts no '+', and for an unsigned type no '-' either.
    return ParseWhole<std::uint64_t>(field, 10);
}

std::optional<std::int64_t> ParseSigned(std::string_view field) { return ParseWhole<std::int64_t>(field, 10); }

std::optional<std::uint64_t> ParseHex(std::string_view field) { return ParseWhole<std::uint64_t>(field, 16); }

std::string DecodeOctalEscapes(std::string_view escaped) {
    std::string text;
    text.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const bool escape = escaped[i] == '\\' && i + 3 < escaped.size() && escaped[i + 1] >= '0' &&
                            escaped[i + 1] <= '3' && IsOctalDigit(escaped[i + 2]) && IsOctalDigit(escaped[i + 3]);
        if (escape) {
            text.push_back(
                static_cast<char>((escaped[i + 1] - '0') * 64 + (escaped[i + 2] - '0') * 8 + (escaped[i + 3] - '0')));
            i += 3;
        } else {
            text.push_back(escaped[i]);
        }
    }
    return text;
}

std::optional<std::uint64_t> CheckedMultiply(std::uint64_t a, std::uint64_t b) {
    std::uint64_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
    return product;
}

}  // namespace host::linux_proc
