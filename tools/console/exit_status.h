#pragma once
// What palisk-report's exit status says. The two command refusals follow
// the BSD sysexits convention, so that a script can tell "not allowed"
// from "not possible here".

namespace console {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;        // a command failed (a process ended, the kernel said no for another reason)
constexpr int kExitUsage = 2;         // the command line is malformed
constexpr int kExitUnsupported = 69;  // EX_UNAVAILABLE: this kernel offers no such command
constexpr int kExitRefused = 77;      // EX_NOPERM: refused for lack of rights

}  // namespace console
