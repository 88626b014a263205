#include "scenario_values.h"

#include <ntstatus.h>
#include <pdhmsg.h>

#include <array>
#include <charconv>
#include <limits>
#include <string_view>

namespace host::scenario {

// ---- nodes ------------------------------------------------------------------

Node::Node(const ScenarioDocument& document, const nlohmann::json& value, std::string pointer, std::string path)
    : document_(&document), value_(&value), pointer_(std::move(pointer)), path_(std::move(path)) {}

Node Node::Member(const std::string& key) const {
    return Node(*document_, value_->at(key), pointer_ + "/" + JsonPointerToken(key), path_ + "." + key);
}

Node Node::Element(std::size_t index) const {
    return Node(*document_, value_->at(index), pointer_ + "/" + std::to_string(index),
                path_ + "[" + std::to_string(index) + "]");
}

void Node::Fail(const std::string& message) const {
    const int line = document_->LineOf(pointer_);
    throw Refusal((line > 0 ? "line " + std::to_string(line) + ": " : std::string()) + path_ + ": " + message);
}

void Node::RequireObject() const {
    if (!value_->is_object()) Fail("expected an object");
}

void Node::RequireArray() const {
    if (!value_->is_array()) Fail("expected an array");
}

void Node::Dispatch(const Handlers& handlers) const {
    RequireObject();
    for (auto it = value_->begin(); it != value_->end(); ++it) {
        const Handler* handler = nullptr;
        for (const auto& [key, h] : handlers)
            if (it.key() == key) handler = &h;
        if (!handler) {
            std::string known;
            for (const auto& entry : handlers) known += (known.empty() ? "" : ", ") + std::string(entry.first);
            Member(it.key()).Fail("unknown field (known here: " + known + ")");
        }
        (*handler)(Member(it.key()));
    }
}

void Node::ForEachMember(const std::function<void(const std::string&, const Node&)>& each) const {
    RequireObject();
    for (auto it = value_->begin(); it != value_->end(); ++it) each(it.key(), Member(it.key()));
}

void Node::ForEachElement(const std::function<void(const Node&)>& each) const {
    RequireArray();
    for (std::size_t i = 0; i < value_->size(); ++i) each(Element(i));
}

// ---- numbers ----------------------------------------------------------------

namespace {

// A "0x..." string's value, or nothing.
std::optional<std::uint64_t> ParseHex(const std::string& text) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return std::nullopt;
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data() + 2, end, value, 16);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string WidthWords(unsigned bits, bool isSigned) {
    return std::string("expected ") + (isSigned ? "a signed " : "an unsigned ") + std::to_string(bits) +
           "-bit number";
}

}  // namespace

std::uint64_t ReadUnsigned(const Node& node, unsigned bits) {
    const nlohmann::json& j = node.Json();
    const std::uint64_t max = bits >= 64 ? std::numeric_limits<std::uint64_t>::max() : (std::uint64_t{1} << bits) - 1;
    std::optional<std::uint64_t> value;
    if (j.is_number_unsigned()) value = j.get<std::uint64_t>();
    else if (j.is_number_integer() && j.get<std::int64_t>() >= 0)
        value = static_cast<std::uint64_t>(j.get<std::int64_t>());
    else if (j.is_string()) value = ParseHex(j.get<std::string>());
    if (!value || *value > max) node.Fail(WidthWords(bits, false) + " (or \"0x...\")");
    return *value;
}

std::int64_t ReadSigned(const Node& node, unsigned bits) {
    const nlohmann::json& j = node.Json();
    const std::int64_t max =
        bits >= 64 ? std::numeric_limits<std::int64_t>::max() : (std::int64_t{1} << (bits - 1)) - 1;
    const std::int64_t min = -max - 1;
    if (j.is_number_integer() && !(j.is_number_unsigned() && j.get<std::uint64_t>() > std::uint64_t(max))) {
        const std::int64_t v = j.get<std::int64_t>();
        if (v >= min && v <= max) return v;
    }
    node.Fail(WidthWords(bits, true));
}

bool ReadBool(const Node& node) {
    if (!node.Json().is_boolean()) node.Fail("expected true or false");
    return node.Json().get<bool>();
}

std::wstring Widen(const std::string& utf8) {
    std::wstring out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += static_cast<wchar_t>(cp);
        i += 1 + extra;
    }
    return out;
}

std::wstring ReadText(const Node& node) {
    if (!node.Json().is_string()) node.Fail("expected a string");
    return Widen(node.Json().get<std::string>());
}

// ---- times ------------------------------------------------------------------

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// "YYYY-MM-DDTHH:MM:SS[.fffffff]Z" as FILETIME, or nothing.
std::optional<ULONGLONG> ParseUtc(std::string_view s) {
    auto number = [&](std::size_t at, std::size_t digits) -> std::optional<int> {
        int v = 0;
        if (at + digits > s.size()) return std::nullopt;
        auto [p, ec] = std::from_chars(s.data() + at, s.data() + at + digits, v);
        if (ec != std::errc() || p != s.data() + at + digits) return std::nullopt;
        return v;
    };
    if (s.size() < 20 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':' || s.back() != 'Z')
        return std::nullopt;
    const auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const auto hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    if (!year || !month || !day || !hour || !minute || !second || *year < 1601 || *month < 1 || *month > 12 ||
        *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    static const std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int monthDays = kDays[*month - 1] + (*month == 2 && IsLeap(*year) ? 1 : 0);
    if (*day < 1 || *day > monthDays) return std::nullopt;
    ULONGLONG fraction = 0;  // in 100-ns units
    if (s.size() > 20) {
        if (s[19] != '.' || s.size() > 28) return std::nullopt;
        const std::size_t digits = s.size() - 21;
        const auto f = number(20, digits);
        if (!f || digits == 0) return std::nullopt;
        fraction = static_cast<ULONGLONG>(*f);
        for (std::size_t d = digits; d < 7; ++d) fraction *= 10;
    }
    const long long y = *year - 1601;
    long long days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < *month; ++m) days += kDays[m - 1] + (m == 2 && IsLeap(*year) ? 1 : 0);
    days += *day - 1;
    const ULONGLONG seconds = static_cast<ULONGLONG>(days) * 86400 + *hour * 3600ULL + *minute * 60ULL + *second;
    return seconds * 10000000ULL + fraction;
}

}  // namespace

ULONGLONG ReadFileTime(const Node& node) {
    if (node.Json().is_string()) {
        if (auto t = ParseUtc(node.Json().get<std::string>())) return *t;
        if (auto hex = ParseHex(node.Json().get<std::string>())) return *hex;
        node.Fail("expected a time such as \"2026-01-01T08:30:00Z\" or a FILETIME number");
    }
    return ReadUnsigned(node, 64);
}

// ---- codes ------------------------------------------------------------------

namespace {

struct NamedCode {
    std::string_view name;
    std::uint32_t value;
};

constexpr NamedCode kNtStatuses[] = {
    {"STATUS_SUCCESS", 0x00000000},
    {"STATUS_UNSUCCESSFUL", 0xC0000001},
    {"STATUS_NOT_IMPLEMENTED", 0xC0000002},
    {"STATUS_INVALID_INFO_CLASS", 0xC0000003},
    {"STATUS_INFO_LENGTH_MISMATCH", 0xC0000004},
    {"STATUS_ACCESS_VIOLATION", 0xC0000005},
    {"STATUS_INVALID_HANDLE", 0xC0000008},
    {"STATUS_INVALID_CID", 0xC000000B},
    {"STATUS_INVALID_PARAMETER", 0xC000000D},
    {"STATUS_NO_MEMORY", 0xC0000017},
    {"STATUS_ACCESS_DENIED", 0xC0000022},
    {"STATUS_BUFFER_TOO_SMALL", 0xC0000023},
    {"STATUS_PRIVILEGE_NOT_HELD", 0xC0000061},
    {"STATUS_NOT_SUPPORTED", 0xC00000BB},
    {"STATUS_PROCESS_IS_TERMINATING", 0xC000010A},
};

constexpr NamedCode kWin32Errors[] = {
    {"ERROR_SUCCESS", 0},
    {"ERROR_INVALID_FUNCTION", 1},
    {"ERROR_FILE_NOT_FOUND", 2},
    {"ERROR_ACCESS_DENIED", 5},
    {"ERROR_INVALID_HANDLE", 6},
    {"ERROR_NOT_ENOUGH_MEMORY", 8},
    {"ERROR_OUTOFMEMORY", 14},
    {"ERROR_NOT_SUPPORTED", 50},
    {"ERROR_INVALID_PARAMETER", 87},
    {"ERROR_CALL_NOT_IMPLEMENTED", 120},
    {"ERROR_INSUFFICIENT_BUFFER", 122},
    {"ERROR_MOD_NOT_FOUND", 126},
    {"ERROR_PROC_NOT_FOUND", 127},
    {"ERROR_MORE_DATA", 234},
    {"ERROR_NOT_ALL_ASSIGNED", 1300},
    {"ERROR_NO_SUCH_PRIVILEGE", 1313},
    {"ERROR_PRIVILEGE_NOT_HELD", 1314},
    {"ERROR_SERVICE_DOES_NOT_EXIST", 1060},
    {"ERROR_NO_SYSTEM_RESOURCES", 1450},
};

constexpr NamedCode kPdhStatuses[] = {
    {"ERROR_SUCCESS", 0},
    {"PDH_CSTATUS_NO_MACHINE", 0x800007D0},
    {"PDH_NO_DATA", 0x800007D5},
    {"PDH_CSTATUS_NO_OBJECT", 0xC0000BB8},
    {"PDH_CSTATUS_NO_COUNTER", 0xC0000BB9},
    {"PDH_CSTATUS_INVALID_DATA", 0xC0000BBA},
    {"PDH_MEMORY_ALLOCATION_FAILURE", 0xC0000BBB},
    {"PDH_INVALID_HANDLE", 0xC0000BBC},
    {"PDH_INVALID_ARGUMENT", 0xC0000BBD},
    {"PDH_CSTATUS_BAD_COUNTERNAME", 0xC0000BC0},
    {"PDH_INVALID_PATH", 0xC0000BC4},
    {"PDH_INVALID_DATA", 0xC0000BC6},
    {"PDH_NOT_IMPLEMENTED", 0xC0000BD3},
};

constexpr NamedCode kDialogResults[] = {
    {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6}, {"IDNO", 7},
    {"IDCLOSE", 8},
};

constexpr NamedCode kServiceStates[] = {
    {"SERVICE_STOPPED", 1}, {"SERVICE_START_PENDING", 2},    {"SERVICE_STOP_PENDING", 3},
    {"SERVICE_RUNNING", 4}, {"SERVICE_CONTINUE_PENDING", 5}, {"SERVICE_PAUSE_PENDING", 6},
    {"SERVICE_PAUSED", 7},
};

template <std::size_t N>
std::uint32_t ReadCode(const Node& node, const NamedCode (&names)[N], const char* kind) {
    const nlohmann::json& j = node.Json();
    if (j.is_string()) {
        const std::string text = j.get<std::string>();
        for (const NamedCode& n : names)
            if (n.name == text) return n.value;
        if (auto hex = ParseHex(text); hex && *hex <= 0xFFFFFFFFu) return static_cast<std::uint32_t>(*hex);
        node.Fail(std::string("unknown ") + kind + " \"" + text + "\" (give a name, a number or \"0x...\")");
    }
    if (j.is_number_integer()) {
        if (!j.is_number_unsigned() && j.get<std::int64_t>() < 0 && j.get<std::int64_t>() >= INT32_MIN)
            return static_cast<std::uint32_t>(static_cast<std::int32_t>(j.get<std::int64_t>()));
        if (j.get<std::int64_t>() >= 0 && j.get<std::uint64_t>() <= 0xFFFFFFFFu)
            return static_cast<std::uint32_t>(j.get<std::uint64_t>());
    }
    node.Fail(std::string("expected a 32-bit ") + kind + ": a name, a number or \"0x...\"");
}

}  // namespace

NTSTATUS ReadNtStatus(const Node& node) { return static_cast<NTSTATUS>(ReadCode(node, kNtStatuses, "status")); }

DWORD ReadWin32Error(const Node& node) { return ReadCode(node, kWin32Errors, "error code"); }

PDH_STATUS ReadPdhStatus(const Node& node) {
    return static_cast<PDH_STATUS>(ReadCode(node, kPdhStatuses, "counter status"));
}

int ReadDialogResult(const Node& node) { return static_cast<int>(ReadCode(node, kDialogResults, "dialog result")); }

DWORD ReadServiceState(const Node& node) {
    const DWORD state = ReadCode(node, kServiceStates, "service state");
    if (state < SERVICE_STOPPED || state > SERVICE_PAUSED) node.Fail("expected a service state from 1 to 7");
    return state;
}

}  // namespace host::scenario
