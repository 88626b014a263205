#pragma once
// What a memory command did. The main window's buttons show nothing either
// way; the machine's action log records every command the program gave and
// its status, so that is where the outcome is read.

#include <string>
#include <vector>

namespace console {

enum class OutcomeKind {
    Done,
    Refused,      // no privilege, or access to the process denied
    Unsupported,  // the kernel offers no such command
    Failed,       // anything else: a process that ended, an unexpected status
    NotTried,     // no command reached the kernel (nothing logged)
};

struct CommandOutcome {
    OutcomeKind kind = OutcomeKind::NotTried;
    std::string status;                // "STATUS_PRIVILEGE_NOT_HELD (0xC0000061)", "ERROR_ACCESS_DENIED (5)"
    std::vector<std::string> details;  // what the live machine did on Linux, in its own words
};

// The outcome from the lines the machine logged while one command ran:
// the status of the last NtSetSystemInformation or EmptyWorkingSet call,
// and the live machine's "linux: " lines as details.
CommandOutcome OutcomeFromLog(const std::vector<std::string>& lines);

// The exit status that says so (exit_status.h); NotTried counts as Failed.
int ExitStatusOf(OutcomeKind kind);

}  // namespace console
