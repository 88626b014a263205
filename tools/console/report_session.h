#pragma once
// The main dialog run without a screen, for its report. The dialog is the
// window's own, on the offscreen platform: every refresh, fallback and
// message of the window happens here as there, and the report is the text
// of its controls 1017 (the heading) and 1001 (the body).
//
// The dialog's timers run on the machine's virtual clock, which the caller
// moves in step with real time (Advance): the program decides when to
// sleep and can watch the keyboard and signals meanwhile.

#include "command_outcome.h"
#include "console_options.h"

#include "host/machine.h"
#include "host/utf8.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CPaliskDlg;

namespace console {

class ReportSession {
public:
    // `machine` answers for the whole session and must run on a virtual
    // clock (Machine::Clock()); it becomes the active machine.
    explicit ReportSession(host::Machine& machine);
    ~ReportSession();
    ReportSession(const ReportSession&) = delete;
    ReportSession& operator=(const ReportSession&) = delete;

    // Creates the dialog (its start-up takes the first refresh), sets its
    // refresh timer to `intervalMs` and, for the cache effectiveness panel,
    // presses the panel toggle and Refresh as a person would. False with a
    // message when the dialog cannot be created.
    bool Start(std::uint32_t intervalMs, bool cacheEffectiveness, std::string* error);

    // The heading and the report as the window shows them now, in UTF-8.
    std::string ReportText() const;

    // Moves the dialog's clock on by `ms`; the timers that fall due fire on
    // the way. Answers how many refreshes the refresh timer took.
    int Advance(std::uint32_t ms);
    // Milliseconds until the dialog's next timer falls due; nothing when no
    // timer runs (the refresh timer could not be set).
    std::optional<std::uint64_t> UntilNextTimer() const;

    // Presses Refresh: one refresh now.
    void RefreshNow();

    // Carries out a memory command through the dialog's own button, and
    // reads what it did from the machine's action log.
    CommandOutcome Carry(const Command& command);

    // The message boxes shown since the last call, as "Caption: text".
    std::vector<std::string> TakeMessages();

private:
    bool Press(int id);
    bool ChooseTarget(std::uint32_t pid);
    bool IsListed(std::uint32_t pid);
    CommandOutcome EmptyWorkingSetOf(std::uint32_t pid);

    host::Machine& machine_;
    std::unique_ptr<CPaliskDlg> dialog_;
    std::size_t modalsSeen_ = 0;
};

using host::Utf8;

}  // namespace console
