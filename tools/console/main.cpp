// palisk-report: Palisk's memory report on a terminal, for the computers
// without a display. The report is the main window's own: the real dialog
// runs on the offscreen platform and its report controls are printed.
//
//   palisk-report [--once] [--cache] [--interval MS] [memory commands...]
//
// palisk-report --help says everything; docs/man/palisk-report.1 is its manual.

#include "command_outcome.h"
#include "console_machine.h"
#include "console_options.h"
#include "exit_status.h"
#include "report_loops.h"
#include "report_session.h"
#include "terminal.h"

#include "host/host_app.h"
#include "host/scripted_machine.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

#ifndef PALISK_VERSION
#define PALISK_VERSION "unknown"
#endif

namespace {

using namespace console;

// This computer, or the machine of a scenario file.
std::unique_ptr<host::Machine> MakeMachine(const Options& options, std::string* error) {
    if (options.scenario.empty()) return std::make_unique<ConsoleLiveMachine>();
    std::ifstream file(options.scenario);
    if (!file) {
        *error = "cannot read " + options.scenario;
        return nullptr;
    }
    std::stringstream text;
    text << file.rdbuf();
    auto machine = std::make_unique<host::ScriptedMachine>();
    if (!machine->LoadScenario(text.str(), error)) {
        *error = options.scenario + ": " + *error;
        return nullptr;
    }
    return machine;
}

void SayOutcome(const Command& command, const CommandOutcome& outcome) {
    std::string line = "palisk-report: " + CommandName(command) + ": ";
    switch (outcome.kind) {
        case OutcomeKind::Done: line += "done"; break;
        case OutcomeKind::Refused: line += "refused, " + outcome.status; break;
        case OutcomeKind::Unsupported: line += "not supported here, " + outcome.status; break;
        default: line += "failed, " + outcome.status; break;
    }
    for (const std::string& detail : outcome.details) line += "\n  linux: " + detail;
    std::fprintf(stderr, "%s\n", line.c_str());
    // Root was refused by Linux itself (a process it may not trace); an
    // ordinary user lacks the rights.
    if (outcome.kind == OutcomeKind::Refused && geteuid() != 0)
        std::fprintf(stderr, "palisk-report: the memory commands need root: sudo palisk-report %s\n",
                     CommandOption(command).c_str());
}

// Carries out the commands in order; the exit status of the first that
// does not succeed, or 0.
int CarryOutCommands(ReportSession& session, const Options& options) {
    for (const Command& command : options.commands) {
        const CommandOutcome outcome = session.Carry(command);
        SayOutcome(command, outcome);
        if (outcome.kind != OutcomeKind::Done) return ExitStatusOf(outcome.kind);
    }
    return kExitOk;
}

int Run(const Options& options) {
    // The dialog never shows on a screen, wherever the program runs; Qt
    // is not given the program's own arguments, and its warnings about a
    // desktop session (XDG_RUNTIME_DIR...) mean nothing to a terminal
    // user, unless they ask for them with QT_LOGGING_RULES.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QT_LOGGING_RULES", "*.warning=false", 0);
    int qtArgc = 1;
    char name[] = "palisk-report";
    char* qtArgv[] = {name, nullptr};
    host::HostApplication application(qtArgc, qtArgv);

    std::string error;
    const std::unique_ptr<host::Machine> machine = MakeMachine(options, &error);
    if (!machine) {
        std::fprintf(stderr, "palisk-report: %s\n", error.c_str());
        return kExitFailed;
    }
    SignalPipe signals;
    ReportSession session(*machine);
    if (!session.Start(options.intervalMs, options.cacheEffectiveness, &error)) {
        std::fprintf(stderr, "palisk-report: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!options.commands.empty()) {
        PrintMessageBoxes(session.TakeMessages());  // those of the start-up, before the commands' lines
        const int status = CarryOutCommands(session, options);
        if (!options.once) {
            PrintMessageBoxes(session.TakeMessages());
            return status;
        }
        session.RefreshNow();  // the report shows what the commands did
        RunPlain(session, signals, STDOUT_FILENO, options);
        return status;
    }
    if (options.once || !IsDrawableTerminal(STDOUT_FILENO)) return RunPlain(session, signals, STDOUT_FILENO, options);
    LiveTerminal terminal(STDIN_FILENO, STDOUT_FILENO);
    return RunLive(session, terminal, signals, options);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fprintf(stderr, "palisk-report: %s\nTry 'palisk-report --help'.\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return kExitOk;
    }
    if (options.version) {
        std::printf("palisk-report (Palisk) %s\n", PALISK_VERSION);
        return kExitOk;
    }
    return Run(options);
}
