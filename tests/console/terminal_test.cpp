// The live report on a terminal, through a pseudo-terminal as a person's
// terminal would show it: it redraws in place, follows a resize, scrolls,
// and ends on q and on Ctrl+C with the terminal as it was. ./run.sh
// without a display starts it and ends cleanly on Ctrl+C too.
//
// These run on this computer's live machine and on real time: each step
// waits for what it expects, however long the computer takes.

#include "program_run.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using console_test::Count;
using console_test::TerminalProgram;
using namespace std::chrono_literals;

constexpr const char* kEnter = "\x1b[?1049h";
constexpr const char* kLeave = "\x1b[?7h\x1b[?25h\x1b[?1049l";
constexpr const char* kFrame = "\x1b[?2026h";
constexpr const char* kClear = "\x1b[2J";

const std::vector<std::string> kTerminal = {"TERM=xterm-256color", "LC_ALL=C.UTF-8"};

// The status line of the last frame: the text after the last move to the
// bottom row, in reverse video.
std::string LastStatus(const std::string& out, int rows) {
    const std::string start = "\x1b[" + std::to_string(rows) + ";1H\x1b[7m";
    const std::size_t at = out.rfind(start);
    if (at == std::string::npos) return std::string();
    const std::size_t begin = at + start.size();
    return out.substr(begin, out.find("\x1b[0m", begin) - begin);
}

// The longest row the frames after `from` write, in characters.
std::size_t LongestRow(const std::string& out, std::size_t from) {
    std::size_t longest = 0;
    const std::regex row("\x1b\\[[0-9]+;1H(\x1b\\[7m)?([^\x1b]*)");
    for (auto it = std::sregex_iterator(out.begin() + static_cast<long>(from), out.end(), row);
         it != std::sregex_iterator(); ++it)
        longest = std::max(longest, static_cast<std::size_t>((*it)[2].length()));
    return longest;
}

// Where the first frame drawn for a terminal of `rows` rows begins, after
// `from`: a frame of the old size may still have been arriving then.
std::size_t FirstFrameOfSize(const std::string& out, std::size_t from, int rows) {
    const std::size_t status = out.find("\x1b[" + std::to_string(rows) + ";1H\x1b[7m", from);
    if (status == std::string::npos) return out.size();
    const std::size_t begin = out.rfind(kFrame, status);
    return begin == std::string::npos || begin < from ? from : begin;
}

bool FramesAfter(const std::string& out, std::size_t from, std::size_t count) {
    return out.size() > from && Count(out.substr(from), kFrame) >= count;
}

TEST(LiveReportOnATerminal, RedrawsInPlaceFollowsAResizeAndQuitsOnQ) {
    TerminalProgram program({PALISK_REPORT_TOOL, "--interval", "200"}, 60, 100, kTerminal);
    ASSERT_TRUE(program.Started());
    // Three frames: the start-up report and two refreshes, each drawn over
    // the one before without clearing the screen.
    ASSERT_TRUE(program.ReadUntil([](const std::string& out) { return Count(out, kFrame) >= 3; }, 60s))
        << program.Output();
    const std::string& out = program.Output();
    EXPECT_EQ(out.find(kEnter), 0u) << "the alternate screen first";
    EXPECT_EQ(Count(out, kClear), 1u) << "only entering clears the screen: no flicker";
    EXPECT_NE(out.find("\x1b[1;1HMEMORY USAGE\x1b[K"), std::string::npos);
    EXPECT_NE(out.find("\x1b[3;1HTotal RAM               ="), std::string::npos);
    EXPECT_EQ(LastStatus(out, 60).find("palisk-report  refreshed "), 0u) << "the whole report fits: " << LastStatus(out, 60);
    EXPECT_FALSE(program.Canonical()) << "keys are read one by one while the report shows";
    EXPECT_FALSE(program.Echoes());

    // A smaller terminal: the report is cut to its width and scrolls.
    const std::size_t resized = out.size();
    program.Resize(12, 50);
    ASSERT_TRUE(program.ReadUntil([&](const std::string& o) { return FramesAfter(o, resized, 1) &&
                                                                   LastStatus(o, 12).find("lines 1-11 of") !=
                                                                       std::string::npos; },
                                  60s))
        << program.Output().substr(resized);
    const std::size_t small = FirstFrameOfSize(out, resized, 12);
    EXPECT_EQ(out.find(kClear, small), small + std::string(kFrame).size()) << "a resize draws the screen anew";
    EXPECT_LE(LongestRow(out, small), 50u);
    EXPECT_EQ(LastStatus(out, 12).size(), 49u) << "the status fills the row but its last cell";

    const std::size_t scrolled = out.size();
    program.Type("\x1b[6~");  // PgDn: ten lines on
    ASSERT_TRUE(program.ReadUntil([](const std::string& o) { return LastStatus(o, 12).find("lines 11-21 of") !=
                                                                      std::string::npos; },
                                  60s))
        << program.Output().substr(scrolled);

    program.Type("q");
    EXPECT_EQ(program.Wait(60s), 0);
    const std::string& all = program.Output();
    ASSERT_GE(all.size(), std::string(kLeave).size());
    EXPECT_EQ(all.substr(all.size() - std::string(kLeave).size()), kLeave)
        << "the last thing written puts the screen, the cursor and wrapping back";
    EXPECT_TRUE(program.Canonical()) << "the terminal reads lines again";
    EXPECT_TRUE(program.Echoes());
}

TEST(LiveReportOnATerminal, CtrlCEndsItCleanly) {
    TerminalProgram program({PALISK_REPORT_TOOL}, 24, 80, kTerminal);
    ASSERT_TRUE(program.ReadUntil([](const std::string& out) { return Count(out, kFrame) >= 1; }, 60s))
        << program.Output();
    program.Type("\x03");  // the terminal turns it into SIGINT
    EXPECT_EQ(program.Wait(60s), 0);
    const std::string& out = program.Output();
    EXPECT_EQ(out.substr(out.size() - std::string(kLeave).size()), kLeave);
    EXPECT_TRUE(program.Canonical());
    EXPECT_TRUE(program.Echoes());
}

TEST(RunScript, WithoutADisplayShowsTheLiveReportAndEndsOnCtrlC) {
    std::vector<std::string> environment = kTerminal;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.emplace_back(name);
    environment.push_back(std::string("PALISK_BUILD_DIR=") + PALISK_BUILD_DIR);
    TerminalProgram program({"/bin/bash", std::string(PALISK_SOURCE_DIR) + "/run.sh"}, 30, 100, environment);
    ASSERT_TRUE(program.ReadUntil([](const std::string& out) { return Count(out, kFrame) >= 2; }, 240s))
        << program.Output();
    const std::string& out = program.Output();
    const std::size_t said = out.find("run.sh: no display here (DISPLAY and WAYLAND_DISPLAY are unset): starting the "
                                      "console report, q or Ctrl+C quits; for the window run ./run.sh in a desktop "
                                      "session (or over ssh -X)");
    EXPECT_NE(said, std::string::npos) << out;
    EXPECT_LT(said, out.find(kEnter)) << "it says which before starting";
    EXPECT_NE(out.find("MEMORY USAGE"), std::string::npos);
    program.Type("\x03");
    EXPECT_EQ(program.Wait(60s), 0);
    EXPECT_EQ(program.Output().substr(program.Output().size() - std::string(kLeave).size()), kLeave);
    EXPECT_TRUE(program.Canonical());
}

}  // namespace
