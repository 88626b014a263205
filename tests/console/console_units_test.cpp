// The pure parts of palisk-report: its command line, the outcome of a
// command read from the action log, the keys, the screen frames and the
// pace of its clock.

#include "command_outcome.h"
#include "console_machine.h"
#include "console_options.h"
#include "exit_status.h"
#include "keys.h"
#include "report_loops.h"
#include "screen_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace console;

// ---- the command line -----------------------------------------------------------

Options Parsed(const std::vector<std::string>& args) {
    Options options;
    std::string error;
    EXPECT_TRUE(ParseOptions(args, &options, &error)) << error;
    return options;
}

std::string Refusal(const std::vector<std::string>& args) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(args, &options, &error));
    return error;
}

TEST(ConsoleOptions, DefaultsToTheLiveReportOnceASecond) {
    const Options options = Parsed({});
    EXPECT_FALSE(options.once);
    EXPECT_FALSE(options.cacheEffectiveness);
    EXPECT_EQ(options.intervalMs, 1000u);
    EXPECT_TRUE(options.commands.empty());
    EXPECT_TRUE(options.scenario.empty());
}

TEST(ConsoleOptions, ReadsValuesSeparateOrAfterAnEqualsSign) {
    const Options a = Parsed({"--interval", "250", "--once", "--cache", "--scenario", "s.json"});
    EXPECT_EQ(a.intervalMs, 250u);
    EXPECT_TRUE(a.once);
    EXPECT_TRUE(a.cacheEffectiveness);
    EXPECT_EQ(a.scenario, "s.json");
    const Options b = Parsed({"--interval=10", "--empty-working-set=4294967295"});
    EXPECT_EQ(b.intervalMs, 10u);
    ASSERT_EQ(b.commands.size(), 1u);
    EXPECT_EQ(b.commands[0].pid, 4294967295u);
}

TEST(ConsoleOptions, KeepsTheCommandsInTheOrderGiven) {
    const Options options = Parsed({"--flush-modified", "--purge-standby", "--empty-working-set", "42",
                                    "--empty-working-sets", "--purge-low-priority-standby"});
    ASSERT_EQ(options.commands.size(), 5u);
    EXPECT_EQ(options.commands[0].kind, CommandKind::FlushModified);
    EXPECT_EQ(options.commands[1].kind, CommandKind::PurgeStandby);
    EXPECT_EQ(options.commands[2].kind, CommandKind::EmptyWorkingSet);
    EXPECT_EQ(options.commands[2].pid, 42u);
    EXPECT_EQ(options.commands[3].kind, CommandKind::EmptyWorkingSets);
    EXPECT_EQ(options.commands[4].kind, CommandKind::PurgeLowPriorityStandby);
    EXPECT_EQ(CommandOption(options.commands[2]), "--empty-working-set 42");
}

TEST(ConsoleOptions, RefusesWhatItDoesNotUnderstand) {
    EXPECT_EQ(Refusal({"--watch"}), "unknown option '--watch'");
    EXPECT_EQ(Refusal({"--interval"}), "--interval needs a value");
    EXPECT_EQ(Refusal({"--interval", "9"}), "--interval takes milliseconds from 10 to 2147483647, not '9'");
    EXPECT_EQ(Refusal({"--interval", "2147483648"}),
              "--interval takes milliseconds from 10 to 2147483647, not '2147483648'");
    EXPECT_EQ(Refusal({"--interval=1s"}), "--interval takes milliseconds from 10 to 2147483647, not '1s'");
    EXPECT_EQ(Refusal({"--interval", "-5"}), "--interval takes milliseconds from 10 to 2147483647, not '-5'");
    EXPECT_EQ(Refusal({"--empty-working-set", "0"}), "--empty-working-set takes a process id, not '0'");
    EXPECT_EQ(Refusal({"--empty-working-set", "4294967296"}),
              "--empty-working-set takes a process id, not '4294967296'");
    EXPECT_EQ(Refusal({"--once=yes"}), "unknown option '--once=yes'");
    EXPECT_EQ(Refusal({"--scenario="}), "--scenario takes a file name");
}

// ---- what a command did, from the action log --------------------------------------

TEST(CommandOutcome, ReadsTheStatusOfTheMemoryListCommand) {
    const CommandOutcome refused = OutcomeFromLog(
        {"linux: memory-list command 4 refused: SeProfileSingleProcessPrivilege not enabled",
         "NtSetSystemInformation(SystemMemoryListInformation, MemoryPurgeStandbyList) -> 0xC0000061"});
    EXPECT_EQ(refused.kind, OutcomeKind::Refused);
    EXPECT_EQ(refused.status, "STATUS_PRIVILEGE_NOT_HELD (0xC0000061)");
    EXPECT_EQ(refused.details,
              std::vector<std::string>{"memory-list command 4 refused: SeProfileSingleProcessPrivilege not enabled"});

    const CommandOutcome done = OutcomeFromLog(
        {"linux: write \"1\" to /proc/sys/vm/drop_caches: ok",
         "NtSetSystemInformation(SystemMemoryListInformation, MemoryPurgeStandbyList) -> 0x00000000"});
    EXPECT_EQ(done.kind, OutcomeKind::Done);
    EXPECT_EQ(ExitStatusOf(done.kind), 0);

    const CommandOutcome unsupported = OutcomeFromLog(
        {"NtSetSystemInformation(SystemMemoryListInformation, MemoryPurgeLowPriorityStandbyList) -> 0xC00000BB"});
    EXPECT_EQ(unsupported.kind, OutcomeKind::Unsupported);
    EXPECT_EQ(ExitStatusOf(unsupported.kind), 69);

    const CommandOutcome odd =
        OutcomeFromLog({"NtSetSystemInformation(SystemMemoryListInformation, MemoryFlushModifiedList) -> 0xC0000185"});
    EXPECT_EQ(odd.kind, OutcomeKind::Failed);
    EXPECT_EQ(odd.status, "0xC0000185");
    EXPECT_EQ(ExitStatusOf(odd.kind), 1);
}

TEST(CommandOutcome, AWarningStatusStillCountsAsDone) {
    // As NT_SUCCESS reads it: every status below 0x80000000 (here STATUS_PENDING).
    EXPECT_EQ(OutcomeFromLog({"NtSetSystemInformation(SystemMemoryListInformation, MemoryEmptyWorkingSets) -> "
                              "0x00000103"})
                  .kind,
              OutcomeKind::Done);
}

TEST(CommandOutcome, ReadsTheResultOfEmptyingOneWorkingSet) {
    const CommandOutcome refused = OutcomeFromLog({"linux: empty working set, pid 77: refused: no CAP_SYS_NICE",
                                                   "EmptyWorkingSet(pid 77) -> error 5"});
    EXPECT_EQ(refused.kind, OutcomeKind::Refused);
    EXPECT_EQ(refused.status, "ERROR_ACCESS_DENIED (5)");
    EXPECT_EQ(ExitStatusOf(refused.kind), 77);
    EXPECT_EQ(OutcomeFromLog({"EmptyWorkingSet(pid 77) -> ok"}).kind, OutcomeKind::Done);
    EXPECT_EQ(OutcomeFromLog({"EmptyWorkingSet(pid 77) -> error 120"}).kind, OutcomeKind::Unsupported);
    EXPECT_EQ(OutcomeFromLog({"EmptyWorkingSet(invalid handle) -> error 6"}).kind, OutcomeKind::Failed);
}

TEST(CommandOutcome, NothingLoggedMeansNothingWasTried) {
    const CommandOutcome outcome = OutcomeFromLog({"AdjustTokenPrivileges(...) -> ok", "something else -> 0x0"});
    EXPECT_EQ(outcome.kind, OutcomeKind::NotTried);
    EXPECT_EQ(ExitStatusOf(outcome.kind), 1);
}

// ---- keys ------------------------------------------------------------------------------

TEST(Keys, DecodesLettersAndBothFormsOfTheCursorKeys) {
    std::string input = "q\x1b[A\x1bOB\x1b[5~\x1b[6~\x1b[H\x1bOF\x1b[1~\x1b[4~Gjkx\x0c";
    EXPECT_EQ(TakeKeys(input), (std::vector<Key>{Key::Quit, Key::Up, Key::Down, Key::PageUp, Key::PageDown,
                                                 Key::Home, Key::End, Key::Home, Key::End, Key::End, Key::Down,
                                                 Key::Up, Key::Redraw}));
    EXPECT_TRUE(input.empty());
}

TEST(Keys, KeepsASequenceThatHasNotFullyArrived) {
    std::string input = "j\x1b[6";
    EXPECT_EQ(TakeKeys(input), std::vector<Key>{Key::Down});
    EXPECT_EQ(input, "\x1b[6");
    input += "~";
    EXPECT_EQ(TakeKeys(input), std::vector<Key>{Key::PageDown});
    EXPECT_TRUE(input.empty());
}

TEST(Keys, DropsSequencesItDoesNotKnowAndALoneEscape) {
    std::string input = "\x1b[2J\x1b[15~\x1bq";  // unknown CSI, F5, then Escape and q
    EXPECT_EQ(TakeKeys(input), std::vector<Key>{Key::Quit});
    EXPECT_TRUE(input.empty());
}

// ---- frames ------------------------------------------------------------------------------

TEST(ScreenFrame, SplitsAtLineFeedsWithoutAnEmptyLastLine) {
    EXPECT_EQ(SplitLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(ScreenFrame, ClipsByCharactersNotBytes) {
    EXPECT_EQ(ClipToColumns("abcdef", 4), "abcd");
    EXPECT_EQ(ClipToColumns("abc", 4), "abc");
    EXPECT_EQ(ClipToColumns("\xC3\xA9t\xC3\xA9!", 3), "\xC3\xA9t\xC3\xA9");  // "été!"
    EXPECT_EQ(ClipToColumns("abc", 0), "");
}

TEST(ScreenFrame, DrawsEveryRowInPlaceAndTheStatusLast) {
    ScreenContent content;
    content.lines = {"first line", "second", "third"};
    content.status = "status";
    const std::string frame = ComposeFrame(content, TerminalSize{3, 8}, 0);
    EXPECT_EQ(frame,
              "\x1b[?2026h"
              "\x1b[1;1Hfirst li\x1b[K"
              "\x1b[2;1Hsecond\x1b[K"
              "\x1b[3;1H\x1b[7mstatus \x1b[0m\x1b[K"
              "\x1b[?2026l");
}

TEST(ScreenFrame, ScrollsNoFurtherThanTheLastLineAndClearsWhatIsBelowTheReport) {
    ScreenContent content;
    content.lines = {"1", "2", "3", "4"};
    EXPECT_EQ(MaxScroll(4, TerminalSize{3, 10}), 2);
    EXPECT_EQ(MaxScroll(4, TerminalSize{10, 10}), 0);
    const std::string scrolled = ComposeFrame(content, TerminalSize{3, 10}, 99);
    EXPECT_NE(scrolled.find("\x1b[1;1H3\x1b[K\x1b[2;1H4\x1b[K"), std::string::npos) << scrolled;
    // A taller terminal: rows past the report are written empty.
    const std::string tall = ComposeFrame(content, TerminalSize{7, 10}, 0, true);
    EXPECT_EQ(tall.substr(0, 12), "\x1b[?2026h\x1b[2J");
    EXPECT_NE(tall.find("\x1b[5;1H\x1b[K\x1b[6;1H\x1b[K\x1b[7;1H\x1b[7m"), std::string::npos) << tall;
}

TEST(ScreenFrame, ATerminalOfOneRowShowsOnlyTheStatus) {
    ScreenContent content;
    content.lines = {"report"};
    content.status = "st";
    EXPECT_EQ(ComposeFrame(content, TerminalSize{1, 3}, 0), "\x1b[?2026h\x1b[1;1H\x1b[7mst\x1b[0m\x1b[K\x1b[?2026l");
}

TEST(StatusLine, SaysWhichLinesShowOnlyWhenTheReportDoesNotFit) {
    EXPECT_EQ(StatusLine("12:00:01", 1000, 0, 23, 20), "palisk-report  refreshed 12:00:01, every 1 s  q quits");
    EXPECT_EQ(StatusLine("12:00:01", 1000, 0, 23, 23), "palisk-report  refreshed 12:00:01, every 1 s  q quits");
    EXPECT_EQ(StatusLine("12:00:01", 250, 5, 23, 47),
              "lines 6-28 of 47  Up/Down PgUp/PgDn  refreshed 12:00:01, every 250 ms  q quits");
    EXPECT_LE(StatusLine("23:59:59", 1000, 26, 23, 49).size(), 79u) << "fits an 80-column terminal's status row";
}

// ---- the clock's pace ------------------------------------------------------------------

TEST(ClockStep, FollowsRealTimeWhileAtMostOneRefreshFallsDue) {
    EXPECT_EQ(ClockStep(1000, 1000, 1000), 1000u);
    EXPECT_EQ(ClockStep(1003, 1000, 1000), 1003u);
    EXPECT_EQ(ClockStep(2000, 1000, 1000), 2000u) << "a refresh due now and the next one are both taken";
    EXPECT_EQ(ClockStep(500, std::nullopt, 1000), 500u) << "no timer runs";
}

TEST(ClockStep, AfterASleepTheMissedRefreshesFallTogether) {
    EXPECT_EQ(ClockStep(3600000, 400, 1000), 400u);
    EXPECT_EQ(ClockStep(2001, 1000, 1000), 1000u);
}

}  // namespace
