#pragma once
// The command line of palisk-report: what to show, how often, and which
// memory commands to carry out first.

#include <cstdint>
#include <string>
#include <vector>

namespace console {

// The memory commands, as the main window's buttons give them.
enum class CommandKind {
    PurgeStandby,             // "Flush All Standby"
    PurgeLowPriorityStandby,  // "Flush Standby 0"
    FlushModified,            // "Flush ModPgList"
    EmptyWorkingSets,         // "Flush WorkSets"
    EmptyWorkingSet,          // "Flush TargetWS" on one process
};

struct Command {
    CommandKind kind = CommandKind::PurgeStandby;
    std::uint32_t pid = 0;  // EmptyWorkingSet only
};

// The refresh timer's limits, as a window timer clamps its interval.
constexpr std::uint32_t kMinimumIntervalMs = 10;
constexpr std::uint32_t kMaximumIntervalMs = 0x7FFFFFFF;

struct Options {
    bool help = false;
    bool version = false;
    bool once = false;                 // one report, then exit
    bool cacheEffectiveness = false;   // the lower panel: cache effectiveness, not standby repurposing
    std::uint32_t intervalMs = 1000;   // the refresh timer's interval
    std::vector<Command> commands;     // in the order given
    std::string scenario;              // a scenario file whose machine answers instead of this computer
};

// Reads the arguments after the program's name. False, with a message for
// the user, on anything it does not understand; `options` is then unusable.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// What --help prints.
std::string UsageText();

// The command's name in messages ("purge standby").
std::string CommandName(const Command& command);
// The option that asks for it ("--purge-standby", "--empty-working-set 42").
std::string CommandOption(const Command& command);

}  // namespace console
