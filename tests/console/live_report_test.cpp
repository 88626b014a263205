// palisk-report on this computer: its totals agree with /proc/meminfo, and
// its memory commands are refused to an ordinary user with exit status 77
// (as root the test runs them as the user "nobody"). As root, the
// live-root tests carry two commands out.

#include "program_run.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using console_test::Finished;
using console_test::RunProgram;

std::map<std::string, std::uint64_t> MeminfoKiB() {
    std::map<std::string, std::uint64_t> fields;
    std::ifstream file("/proc/meminfo");
    for (std::string line; std::getline(file, line);) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) fields[line.substr(0, colon)] = std::stoull(line.substr(colon + 1));
    }
    return fields;
}

// The byte count of a report line ("   Available            =     2047.00 MB ..."),
// as the report prints it: whole MB and hundredths, cut.
std::optional<double> ReportedMiB(const std::string& report, const std::string& label) {
    const std::size_t at = report.find("\n" + label);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t equals = report.find('=', at);
    std::istringstream value(report.substr(equals + 1, report.find('\n', equals) - equals - 1));
    double number = 0;
    std::string unit;
    value >> number >> unit;
    return unit == "MB" ? number : number / 1048576.0;
}

// "%8llu.%02llu MB" of a byte count, worked out here.
std::string MegabytesOf(std::uint64_t bytes) {
    char text[40];
    std::snprintf(text, sizeof text, "%8llu.%02llu MB", static_cast<unsigned long long>(bytes >> 20),
                  static_cast<unsigned long long>((bytes & 0xFFFFF) * 100 >> 20));
    return text;
}

double MiB(std::uint64_t kib) { return static_cast<double>(kib) / 1024.0; }

TEST(LiveConsoleReport, TotalsAgreeWithProcMeminfo) {
    const auto before = MeminfoKiB();
    const Finished printed = RunProgram({PALISK_REPORT_TOOL, "--once"});
    const auto after = MeminfoKiB();
    ASSERT_EQ(printed.status, 0) << printed.err;
    const std::string& report = printed.out;

    // The total is exact: MemTotal is a whole number of pages.
    EXPECT_NE(report.find("\nTotal RAM               = " + MegabytesOf(before.at("MemTotal") * 1024) + "\n"),
              std::string::npos) << report;

    // Available = free + clean page cache, read a moment apart from the
    // test's own reads: it must lie between them, give or take what moves
    // in that moment.
    const auto available = [](const std::map<std::string, std::uint64_t>& m) {
        const std::uint64_t file = m.at("Active(file)") + m.at("Inactive(file)");
        const std::uint64_t modified = m.at("Dirty") + m.at("Writeback");
        return MiB(m.at("MemFree") + (file > modified ? file - modified : 0));
    };
    const double slack = std::max(32.0, MiB(before.at("MemTotal")) / 100);
    const auto shown = ReportedMiB(report, "   Available            =");
    ASSERT_TRUE(shown) << report;
    EXPECT_GE(*shown, std::min(available(before), available(after)) - slack);
    EXPECT_LE(*shown, std::max(available(before), available(after)) + slack);
    const auto used = ReportedMiB(report, "   Used                 =");
    ASSERT_TRUE(used);
    EXPECT_NEAR(*shown + *used, MiB(before.at("MemTotal")), 0.02) << "available and used make the total";

    const auto free = ReportedMiB(report, "      Free List         =");
    ASSERT_TRUE(free) << report;
    EXPECT_NEAR(*free, (MiB(before.at("MemFree")) + MiB(after.at("MemFree"))) / 2, slack);
    const auto shared = ReportedMiB(report, "      Cache WS          =");
    ASSERT_TRUE(shared);
    EXPECT_NEAR(*shared, (MiB(before.at("Shmem")) + MiB(after.at("Shmem"))) / 2, slack);
}

// ---- the commands as an ordinary user --------------------------------------------

constexpr const char* kNobody = "65534";

// The command line that runs `argv` as this user, or as nobody for root.
std::vector<std::string> AsOrdinaryUser(std::vector<std::string> argv) {
    if (geteuid() != 0) return argv;
    std::vector<std::string> dropped = {"/usr/bin/setpriv", std::string("--reuid=") + kNobody,
                                        std::string("--regid=") + kNobody, "--clear-groups"};
    dropped.insert(dropped.end(), argv.begin(), argv.end());
    return dropped;
}

bool CanRunAsOrdinaryUser() { return RunProgram(AsOrdinaryUser({"/bin/true"})).status == 0; }

// A process of the test's own that sleeps until it is killed.
class Sleeper {
public:
    Sleeper() : pid_(fork()) {
        if (pid_ == 0) {
            pause();
            _exit(0);
        }
    }
    ~Sleeper() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_;
};

TEST(LiveConsoleCommands, EveryCommandIsRefusedToAnOrdinaryUserWith77) {
    if (!CanRunAsOrdinaryUser()) GTEST_SKIP() << "cannot drop to the user nobody here";
    for (const char* option : {"--purge-standby", "--purge-low-priority-standby", "--flush-modified",
                               "--empty-working-sets"}) {
        const Finished run = RunProgram(AsOrdinaryUser({PALISK_REPORT_TOOL, option}));
        EXPECT_EQ(run.status, 77) << option << ": " << run.err;
        EXPECT_NE(run.err.find(": refused, STATUS_PRIVILEGE_NOT_HELD (0xC0000061)"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("palisk-report: the memory commands need root: sudo palisk-report " +
                               std::string(option)),
                  std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(LiveConsoleCommands, AnotherUsersWorkingSetIsRefusedWith77) {
    if (!CanRunAsOrdinaryUser()) GTEST_SKIP() << "cannot drop to the user nobody here";
    // As root the sleeper is root's, and nobody may not touch it; as an
    // ordinary user it is one's own, which Linux still refuses to empty
    // without CAP_SYS_NICE.
    const Sleeper sleeper;
    const Finished run = RunProgram(
        AsOrdinaryUser({PALISK_REPORT_TOOL, "--empty-working-set", std::to_string(sleeper.Pid()), "--once"}));
    EXPECT_EQ(run.status, 77) << run.err;
    EXPECT_NE(run.err.find("empty working set of process " + std::to_string(sleeper.Pid()) + ": refused"),
              std::string::npos) << run.err;
    EXPECT_NE(run.out.find("MEMORY USAGE"), std::string::npos) << "--once still prints the report";
}

}  // namespace
