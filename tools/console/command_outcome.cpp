#include "command_outcome.h"

#include "exit_status.h"

#include <windows.h>
#include <ntstatus.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace console {

namespace {

constexpr std::string_view kListCommand = "NtSetSystemInformation(SystemMemoryListInformation, ";
constexpr std::string_view kEmptyWorkingSet = "EmptyWorkingSet(";
constexpr std::string_view kArrow = ") -> ";
constexpr std::string_view kLinux = "linux: ";

struct Named {
    DWORD value;
    const char* name;
};

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

OutcomeKind KindOfStatus(NTSTATUS status) {
    if (status >= 0) return OutcomeKind::Done;
    if (status == STATUS_PRIVILEGE_NOT_HELD || status == STATUS_ACCESS_DENIED) return OutcomeKind::Refused;
    if (status == STATUS_NOT_SUPPORTED || status == STATUS_NOT_IMPLEMENTED) return OutcomeKind::Unsupported;
    return OutcomeKind::Failed;
}

std::string NameOfStatus(DWORD status) {
    static const Named kNames[] = {
        {static_cast<DWORD>(STATUS_SUCCESS), "STATUS_SUCCESS"},
        {static_cast<DWORD>(STATUS_PRIVILEGE_NOT_HELD), "STATUS_PRIVILEGE_NOT_HELD"},
        {static_cast<DWORD>(STATUS_ACCESS_DENIED), "STATUS_ACCESS_DENIED"},
        {static_cast<DWORD>(STATUS_NOT_SUPPORTED), "STATUS_NOT_SUPPORTED"},
        {static_cast<DWORD>(STATUS_NOT_IMPLEMENTED), "STATUS_NOT_IMPLEMENTED"},
        {static_cast<DWORD>(STATUS_INVALID_PARAMETER), "STATUS_INVALID_PARAMETER"},
        {static_cast<DWORD>(STATUS_UNSUCCESSFUL), "STATUS_UNSUCCESSFUL"},
    };
    for (const Named& n : kNames)
        if (n.value == status) return std::string(n.name) + " (" + Hex(status) + ")";
    return Hex(status);
}

OutcomeKind KindOfError(DWORD error) {
    if (error == ERROR_SUCCESS) return OutcomeKind::Done;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD) return OutcomeKind::Refused;
    if (error == ERROR_CALL_NOT_IMPLEMENTED || error == ERROR_NOT_SUPPORTED) return OutcomeKind::Unsupported;
    return OutcomeKind::Failed;
}

std::string NameOfError(DWORD error) {
    static const Named kNames[] = {
        {ERROR_ACCESS_DENIED, "ERROR_ACCESS_DENIED"},
        {ERROR_PRIVILEGE_NOT_HELD, "ERROR_PRIVILEGE_NOT_HELD"},
        {ERROR_CALL_NOT_IMPLEMENTED, "ERROR_CALL_NOT_IMPLEMENTED"},
        {ERROR_NOT_SUPPORTED, "ERROR_NOT_SUPPORTED"},
        {ERROR_INVALID_PARAMETER, "ERROR_INVALID_PARAMETER"},
    };
    for (const Named& n : kNames)
        if (n.value == error) return std::string(n.name) + " (" + std::to_string(error) + ")";
    return "error " + std::to_string(error);
}

// "... -> 0xC0000061" after a memory-list command.
bool ReadListStatus(std::string_view line, CommandOutcome* outcome) {
    const std::size_t arrow = line.rfind(kArrow);
    if (!line.starts_with(kListCommand) || arrow == std::string_view::npos) return false;
    const std::string text(line.substr(arrow + kArrow.size()));
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (end == text.c_str() || *end != '\0') return false;
    const auto status = static_cast<DWORD>(value);
    outcome->kind = KindOfStatus(static_cast<NTSTATUS>(status));
    outcome->status = NameOfStatus(status);
    return true;
}

// "... -> ok" or "... -> error 5" after EmptyWorkingSet.
bool ReadWorkingSetResult(std::string_view line, CommandOutcome* outcome) {
    const std::size_t arrow = line.rfind(kArrow);
    if (!line.starts_with(kEmptyWorkingSet) || arrow == std::string_view::npos) return false;
    const std::string_view result = line.substr(arrow + kArrow.size());
    if (result == "ok") {
        outcome->kind = OutcomeKind::Done;
        outcome->status = "ok";
        return true;
    }
    if (!result.starts_with("error ")) return false;
    const auto error = static_cast<DWORD>(std::strtoul(std::string(result.substr(6)).c_str(), nullptr, 10));
    outcome->kind = KindOfError(error);
    outcome->status = NameOfError(error);
    return true;
}

}  // namespace

CommandOutcome OutcomeFromLog(const std::vector<std::string>& lines) {
    CommandOutcome outcome;
    for (const std::string& line : lines) {
        if (std::string_view(line).starts_with(kLinux)) {
            outcome.details.push_back(line.substr(kLinux.size()));
            continue;
        }
        if (!ReadListStatus(line, &outcome)) ReadWorkingSetResult(line, &outcome);
    }
    return outcome;
}

int ExitStatusOf(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::Done: return kExitOk;
        case OutcomeKind::Refused: return kExitRefused;
        case OutcomeKind::Unsupported: return kExitUnsupported;
        case OutcomeKind::Failed:
        case OutcomeKind::NotTried: return kExitFailed;
    }
    return kExitFailed;
}

}  // namespace console
