#pragma once
// Reading a scenario's values: each value travels with its place in the
// file, so that whatever is wrong with it is refused with the line and the
// field ("line 12: machine.processes[2].pid: expected ...").

#include "host/scenario_document.h"

#include <pdh.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace host::scenario {

// A refusal, already worded with its line and field.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Node {
public:
    Node(const ScenarioDocument& document, const nlohmann::json& value, std::string pointer, std::string path);

    const nlohmann::json& Json() const { return *value_; }
    const std::string& Path() const { return path_; }
    bool IsNull() const { return value_->is_null(); }

    Node Member(const std::string& key) const;
    Node Element(std::size_t index) const;
    std::size_t Size() const { return value_->size(); }

    [[noreturn]] void Fail(const std::string& message) const;
    void RequireObject() const;
    void RequireArray() const;

    // Runs the handler of each member of an object, by key; a key without a
    // handler is refused, naming the keys that are known.
    using Handler = std::function<void(const Node&)>;
    using Handlers = std::vector<std::pair<const char*, Handler>>;
    void Dispatch(const Handlers& handlers) const;
    // Runs `each` on every member (any key).
    void ForEachMember(const std::function<void(const std::string& key, const Node&)>& each) const;
    // Runs `each` on every element of an array.
    void ForEachElement(const std::function<void(const Node&)>& each) const;

private:
    const ScenarioDocument* document_;
    const nlohmann::json* value_;
    std::string pointer_;
    std::string path_;
};

// Integers: JSON numbers or "0x..." strings, checked against their width.
std::uint64_t ReadUnsigned(const Node& node, unsigned bits);
std::int64_t ReadSigned(const Node& node, unsigned bits);
bool ReadBool(const Node& node);
std::wstring ReadText(const Node& node);
// A FILETIME: a number, or a UTC time "2026-01-01T08:30:00Z" (fractions of
// a second allowed).
ULONGLONG ReadFileTime(const Node& node);
// Status and error codes: a number, "0x...", or a name (STATUS_ACCESS_DENIED,
// ERROR_ACCESS_DENIED, PDH_CSTATUS_NO_COUNTER...).
NTSTATUS ReadNtStatus(const Node& node);
DWORD ReadWin32Error(const Node& node);
PDH_STATUS ReadPdhStatus(const Node& node);
// IDOK, IDCANCEL... or a number.
int ReadDialogResult(const Node& node);
// SERVICE_RUNNING, SERVICE_PAUSED... or a number 1..7.
DWORD ReadServiceState(const Node& node);

// Text as wide characters, and back (UTF-8).
std::wstring Widen(const std::string& utf8);

}  // namespace host::scenario
