#include "console_options.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace console {

namespace {

// A whole decimal number in [minimum, maximum], nothing before or after it.
std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t minimum, std::uint64_t maximum) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// Options that stand alone, and the commands among them.
bool ParseFlag(std::string_view arg, Options* options) {
    if (arg == "-h" || arg == "--help") options->help = true;
    else if (arg == "--version") options->version = true;
    else if (arg == "--once") options->once = true;
    else if (arg == "--cache") options->cacheEffectiveness = true;
    else if (arg == "--purge-standby") options->commands.push_back({CommandKind::PurgeStandby, 0});
    else if (arg == "--purge-low-priority-standby") options->commands.push_back({CommandKind::PurgeLowPriorityStandby, 0});
    else if (arg == "--flush-modified") options->commands.push_back({CommandKind::FlushModified, 0});
    else if (arg == "--empty-working-sets") options->commands.push_back({CommandKind::EmptyWorkingSets, 0});
    else return false;
    return true;
}

// An option that takes a value; false with a message when the value is wrong.
bool ParseValued(std::string_view name, std::string_view value, Options* options, std::string* error) {
    if (name == "--interval") {
        const auto ms = ParseNumber(value, kMinimumIntervalMs, kMaximumIntervalMs);
        if (!ms) {
            *error = "--interval takes milliseconds from " + std::to_string(kMinimumIntervalMs) + " to " +
                     std::to_string(kMaximumIntervalMs) + ", not '" + std::string(value) + "'";
            return false;
        }
        options->intervalMs = static_cast<std::uint32_t>(*ms);
        return true;
    }
    if (name == "--empty-working-set") {
        const auto pid = ParseNumber(value, 1, 0xFFFFFFFFu);
        if (!pid) {
            *error = "--empty-working-set takes a process id, not '" + std::string(value) + "'";
            return false;
        }
        options->commands.push_back({CommandKind::EmptyWorkingSet, static_cast<std::uint32_t>(*pid)});
        return true;
    }
    if (value.empty()) {
        *error = "--scenario takes a file name";
        return false;
    }
    options->scenario = std::string(value);
    return true;
}

bool TakesValue(std::string_view name) {
    return name == "--interval" || name == "--empty-working-set" || name == "--scenario";
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
    *options = Options{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (ParseFlag(arg, options)) continue;
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        if (!TakesValue(name)) {
            *error = "unknown option '" + std::string(arg) + "'";
            return false;
        }
        if (equals != std::string_view::npos) {
            if (!ParseValued(name, arg.substr(equals + 1), options, error)) return false;
            continue;
        }
        if (i + 1 == args.size()) {
            *error = std::string(name) + " needs a value";
            return false;
        }
        if (!ParseValued(name, args[++i], options, error)) return false;
    }
    return true;
}

std::string CommandName(const Command& command) {
    switch (command.kind) {
        case CommandKind::PurgeStandby: return "purge standby";
        case CommandKind::PurgeLowPriorityStandby: return "purge low-priority standby";
        case CommandKind::FlushModified: return "flush modified";
        case CommandKind::EmptyWorkingSets: return "empty working sets";
        case CommandKind::EmptyWorkingSet: return "empty working set of process " + std::to_string(command.pid);
    }
    return "command";
}

std::string CommandOption(const Command& command) {
    switch (command.kind) {
        case CommandKind::PurgeStandby: return "--purge-standby";
        case CommandKind::PurgeLowPriorityStandby: return "--purge-low-priority-standby";
        case CommandKind::FlushModified: return "--flush-modified";
        case CommandKind::EmptyWorkingSets: return "--empty-working-sets";
        case CommandKind::EmptyWorkingSet: return "--empty-working-set " + std::to_string(command.pid);
    }
    return "";
}

std::string UsageText() {
    return R"(Usage: palisk-report [OPTION]...
Palisk's memory report on a terminal: how physical memory is divided among
the page lists, the file cache, the working sets, the paging files and the
pools. The report is redrawn in place once a second until q or Ctrl+C; when
the output is not a terminal, each refresh prints it as plain text.

  --once                      print one report and exit
  --cache                     show cache effectiveness instead of standby
                              repurposing in the lower panel
  --interval MS               refresh every MS milliseconds (default 1000)
  --purge-standby             purge the standby lists (the clean page cache)
  --purge-low-priority-standby
                              purge the lowest-priority standby list
  --flush-modified            write out the modified page list
  --empty-working-sets        empty the working sets of all processes
  --empty-working-set PID     empty the working set of process PID
  --scenario FILE             answer from the machine of a scenario file
                              instead of this computer (for tests)
  -h, --help                  show this help and exit
      --version               show the version and exit

The memory commands are carried out in the order given, each as the main
window's button does it; the first that fails ends the run. Without --once
the program then exits; with it, one report follows. They need root (sudo,
or palisk-admin for the window); refused, they change nothing.

Keys while the report is live: q quits, as does Ctrl+C; Up, Down, PgUp,
PgDn, Home and End scroll a report taller than the terminal.

Exit status: 0 done; 1 a command failed; 2 a malformed command line;
69 this kernel offers no such command; 77 a command was refused for lack
of rights.
)";
}

}  // namespace console
