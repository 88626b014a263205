// palisk-report's memory commands carried out by root on this computer:
// the modified list written out and the standby lists purged, each saying
// what Linux did, with exit status 0. Skipped for an ordinary user.

#include "program_run.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using console_test::Finished;
using console_test::RunProgram;

TEST(RootConsoleCommands, WriteOutAndPurgeThenReport) {
    if (geteuid() != 0) GTEST_SKIP() << "the memory commands need root";
    const Finished run = RunProgram({PALISK_REPORT_TOOL, "--flush-modified", "--purge-standby", "--once"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("palisk-report: flush modified: done\n  linux: sync"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("palisk-report: purge standby: done\n  linux: write \"1\" to /proc/sys/vm/drop_caches: ok"),
              std::string::npos) << run.err;
    EXPECT_NE(run.out.find("MEMORY USAGE"), std::string::npos);
}

}  // namespace
