// Churn: 1,000 short-lived children start and end while the main dialog on
// this computer's live machine refreshes many times a second, refills its
// target list, picks one of the children and empties its working set. A
// command may act on the child picked, that very instance, and on nothing
// else. Three witnesses say so: the action log (every command names the
// picked id), the creation times (the list's entry is the child the test
// started, and a child that took over a reused id is never acted on), and
// the children themselves, each watching its own working set (a file
// mapping only it maps, whose pages only an emptied working set loses).
// As root the test also forces ids to be reused.

#include "app/palisk_dlg.h"
#include "host/linux_proc.h"
#include "host/linux_processes.h"
#include "host/live_linux_machine.h"
#include "host/user.h"
#include "program_resources.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace lp = host::linux_proc;

namespace {

// The build folder, or the temporary folder where this user may not write
// there (a run as an ordinary user of a build made as root).
std::string ScratchParent() {
    return access(PALISK_LIVE_SCRATCH_DIR, W_OK | X_OK) == 0 ? PALISK_LIVE_SCRATCH_DIR
                                                            : std::filesystem::temp_directory_path().string();
}

constexpr int kChildren = 1000;
constexpr int kAtOnce = 16;
constexpr std::size_t kMappedBytes = 256 * 1024;
constexpr int kForcedReuses = 40;  // attempts, as root
constexpr int kProbeLifeMs = 3000;

// A machine of this computer that answers any message box at once, so that
// a box can never hold the test (none is expected).
class LiveMachine : public host::LiveLinuxMachine {
public:
    std::optional<ModalAnswer> AnswerModal(const host::ModalRecord&) override { return ModalAnswer{}; }
};

struct Report {
    int serial = 0;
    int pagedOut = 0;  // the child saw its mapped pages leave memory
};

// What a child does, with nothing but system calls (it is a fork of a
// threaded process): map its slot's file, bring every page in, then watch
// them for `lifeMs` and report whether they ever went.
[[noreturn]] void ChildLife(int serial, const std::string& file, int lifeMs, int reportFd) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    void* map = fd < 0 ? MAP_FAILED : mmap(nullptr, kMappedBytes, PROT_READ, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED) _exit(3);
    const long page = sysconf(_SC_PAGESIZE);
    volatile unsigned char sink = 0;
    for (std::size_t at = 0; at < kMappedBytes; at += static_cast<std::size_t>(page))
        sink = sink + static_cast<const unsigned char*>(map)[at];
    unsigned char resident[kMappedBytes / 4096 + 1];
    const std::size_t pages = kMappedBytes / static_cast<std::size_t>(page);
    Report report{serial, 0};
    timespec start{}, now{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        if (mincore(map, kMappedBytes, resident) == 0) {
            std::size_t in = 0;
            for (std::size_t i = 0; i < pages; ++i) in += resident[i] & 1;
            if (in < pages / 2) report.pagedOut = 1;
        }
        clock_gettime(CLOCK_MONOTONIC, &now);
        if ((now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000 >= lifeMs) break;
        const timespec pause{0, 2000000};
        nanosleep(&pause, nullptr);
    }
    if (write(reportFd, &report, sizeof report) != static_cast<ssize_t>(sizeof report)) _exit(4);
    _exit(0);
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Child {
    int serial = 0;
    pid_t pid = 0;
    int slot = 0;
    ULONGLONG creationTime = 0;  // as the program computes it from the kernel's start ticks
};

class Churn {
public:
    explicit Churn(std::uint64_t seed) : random_(seed) {}

    bool SetUp() {
        std::string pattern = ScratchParent() + "/palisk-churn-XXXXXX";
        if (!mkdtemp(pattern.data()) || pipe2(reports_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        folder_ = pattern;
        const std::string bytes(kMappedBytes, 'p');
        for (int slot = 0; slot < kAtOnce; ++slot) {
            const std::string file = SlotFile(slot);
            const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            // Written out, so that its pages are clean and a page-out can drop them.
            const bool ok = fd >= 0 && write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                            fsync(fd) == 0;
            if (fd >= 0) close(fd);
            if (!ok) return false;
            freeSlots_.insert(slot);
        }
        const auto boot = lp::ParseBootTime(ReadText("/proc/stat"));
        bootTime_ = boot.value_or(0);
        return boot.has_value();
    }

    ~Churn() {
        for (const auto& [pid, child] : alive_) kill(pid, SIGKILL);
        while (waitpid(-1, nullptr, 0) > 0) {
        }
        for (int slot = 0; slot < kAtOnce; ++slot) unlink(SlotFile(slot).c_str());
        if (!folder_.empty()) rmdir(folder_.c_str());
        close(reports_[0]);
        close(reports_[1]);
    }

    // Starts a child in a free slot; false when none is free or fork fails.
    bool Spawn(int lifeMs) {
        if (freeSlots_.empty()) return false;
        const int slot = *freeSlots_.begin();
        const int serial = ++started_;
        const std::string file = SlotFile(slot);
        const pid_t pid = fork();
        if (pid < 0) return false;
        if (pid == 0) ChildLife(serial, file, lifeMs, reports_[1]);
        freeSlots_.erase(slot);
        Child child{serial, pid, slot, CreationTime(pid)};
        alive_[pid] = child;
        bySerial_[serial] = child;
        return true;
    }

    // Waits for children that have ended, freeing their slots.
    void Reap(bool block = false) {
        for (;;) {
            const pid_t pid = waitpid(-1, nullptr, block ? 0 : WNOHANG);
            if (pid <= 0) return;
            const auto it = alive_.find(pid);
            if (it == alive_.end()) continue;
            freeSlots_.insert(it->second.slot);
            alive_.erase(it);
        }
    }

    void ReadReports() {
        Report report;
        while (read(reports_[0], &report, sizeof report) == static_cast<ssize_t>(sizeof report))
            reports_by_serial_[report.serial] = report;
    }

    // A child still running, at random.
    const Child* AnyAlive() {
        if (alive_.empty()) return nullptr;
        auto it = alive_.begin();
        std::advance(it, std::uniform_int_distribution<std::size_t>(0, alive_.size() - 1)(random_));
        return &it->second;
    }
    int LifeMs() { return std::uniform_int_distribution<int>(20, 120)(random_); }

    // Ends a child at once (it reports nothing) and waits for it.
    void Kill(pid_t pid) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        const auto it = alive_.find(pid);
        if (it == alive_.end()) return;
        freeSlots_.insert(it->second.slot);
        killed_.insert(it->second.serial);
        alive_.erase(it);
    }

    ULONGLONG CreationTime(pid_t pid) const {
        const auto stat = lp::ParseProcStat(ReadText("/proc/" + std::to_string(pid) + "/stat"));
        return stat ? lp::CreationFileTime(bootTime_, stat->startTicks, sysconf(_SC_CLK_TCK)) : 0;
    }

    int Started() const { return started_; }
    std::size_t AliveCount() const { return alive_.size(); }
    const std::map<int, Child>& BySerial() const { return bySerial_; }
    const std::map<int, Report>& Reports() const { return reports_by_serial_; }
    const std::set<int>& Killed() const { return killed_; }

private:
    std::string SlotFile(int slot) const { return folder_ + "/slot" + std::to_string(slot); }

    std::mt19937_64 random_;
    std::string folder_;
    int reports_[2] = {-1, -1};
    std::uint64_t bootTime_ = 0;
    std::set<int> freeSlots_;
    std::map<pid_t, Child> alive_;
    std::map<int, Child> bySerial_;
    std::map<int, Report> reports_by_serial_;
    std::set<int> killed_;
    int started_ = 0;
};

struct DestroyDialog {
    void operator()(CPaliskDlg* dialog) const {
        if (dialog->GetSafeHwnd()) dialog->DestroyWindow();
        delete dialog;
    }
};

// Opens the target list (which refills it) and, while it is open, picks the
// entry of `pid`; false when the list no longer has it.
bool Pick(CPaliskDlg& dialog, pid_t pid) {
    const HWND combo = GetDlgItem(dialog.GetSafeHwnd(), IDC_TARGET_PROCESS);
    host::user::DropDown(combo);
    const std::wstring suffix = L"[" + std::to_wstring(pid) + L"]";
    const std::vector<std::wstring> items = host::user::ComboItems(combo);
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (items[i].ends_with(suffix)) return host::user::ChooseComboItem(combo, static_cast<int>(i));
    }
    host::user::CloseDropDown(combo);
    return false;
}

// Whether the kernel lets this process choose the next id it hands out.
bool SetNextPid(pid_t next) {
    const int fd = open("/proc/sys/kernel/ns_last_pid", O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const std::string text = std::to_string(next - 1);
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return ok;
}

struct Tally {
    int refreshes = 0, picks = 0, commands = 0, acted = 0, forcedReuses = 0;
    std::set<int> actedOn;  // serials of the children a command acted on
};

TEST(Churn, CommandsReachThePickedChildAndNoOther) {
    const std::uint64_t seed = std::random_device{}();
    std::printf("churn: seed %llu\n", static_cast<unsigned long long>(seed));
    Churn churn(seed);
    ASSERT_TRUE(churn.SetUp()) << "no scratch folder or no boot time";
    LiveMachine machine;
    host::SetActiveMachine(&machine);
    host::RegisterProgramResources();
    const bool root = geteuid() == 0;
    Tally tally;
    Child probe;  // as root, the witness's own check
    const auto started = std::chrono::steady_clock::now();
    {
        const std::unique_ptr<CPaliskDlg, DestroyDialog> dialog(new CPaliskDlg);
        ASSERT_TRUE(dialog->Create(IDD_PALISK_DIALOG));
        const HWND window = dialog->GetSafeHwnd();
        while (churn.Started() < kChildren || churn.AliveCount() > 0) {
            while (churn.Started() < kChildren && churn.Spawn(churn.LifeMs())) {
            }
            churn.Reap();
            dialog->SendMessage(WM_TIMER, 1957, 0);  // a refresh, as the timer gives it
            ++tally.refreshes;
            const Child* chosen = churn.AnyAlive();
            if (chosen == nullptr || !Pick(*dialog, chosen->pid)) continue;
            const Child target = *chosen;
            ++tally.picks;
            const int entry = dialog->m_nTargetIndex - 1;
            ASSERT_GE(entry, 0);
            ASSERT_EQ(dialog->m_pTargetPids[entry], static_cast<DWORD>(target.pid));
            // The entry is the child started, not one that had its id before.
            ASSERT_EQ(dialog->m_pTargetCreationTimes[entry], target.creationTime) << "serial " << target.serial;

            // Now and then, as root, the child goes and another takes its id.
            bool reused = false;
            if (root && tally.forcedReuses < kForcedReuses && tally.picks % 20 == 0 &&
                churn.Started() < kChildren) {
                churn.Kill(target.pid);
                reused = SetNextPid(target.pid) && churn.Spawn(churn.LifeMs()) &&
                         churn.BySerial().rbegin()->second.pid == target.pid;
                tally.forcedReuses += reused;
            }
            const std::size_t logged = machine.Actions().size();
            host::user::Click(GetDlgItem(window, IDC_FLUSH_TARGET_WS));
            ++tally.commands;
            // Every line the command logs names the picked id, and only that.
            const std::string id = std::to_string(target.pid);
            for (std::size_t i = logged; i < machine.Actions().size(); ++i) {
                const std::string& line = machine.Actions()[i];
                if (line.rfind("EmptyWorkingSet(", 0) == 0) {
                    ASSERT_EQ(line.rfind("EmptyWorkingSet(pid " + id + ") -> ", 0), 0u) << line;
                } else {
                    const std::string prefix = "linux: empty working set, ";
                    ASSERT_TRUE(line.rfind(prefix + "pid " + id + ": ", 0) == 0 ||
                                line.rfind(prefix + "id " + id + ": ", 0) == 0)
                        << line;
                }
                if (line.ends_with("-> ok")) {
                    ASSERT_FALSE(reused) << "acted on the process that took over id " << id << ": " << line;
                    tally.acted += 1;
                    tally.actedOn.insert(target.serial);
                }
            }
            churn.ReadReports();
        }
        // The witness itself: one more child, living long enough for the
        // command to reach it whatever the load, must see its pages go.
        if (root) {
            ASSERT_TRUE(churn.Spawn(kProbeLifeMs));
            probe = churn.BySerial().rbegin()->second;
            usleep(300000);  // time to bring its pages in, before the command takes them
            dialog->SendMessage(WM_TIMER, 1957, 0);
            ASSERT_TRUE(Pick(*dialog, probe.pid));
            const std::size_t logged = machine.Actions().size();
            host::user::Click(GetDlgItem(window, IDC_FLUSH_TARGET_WS));
            for (std::size_t i = logged; i < machine.Actions().size(); ++i)
                if (machine.Actions()[i].ends_with("-> ok")) tally.actedOn.insert(probe.serial);
            EXPECT_TRUE(tally.actedOn.count(probe.serial)) << "the command did not act on the probe";
        }
        churn.Reap(true);
        churn.ReadReports();
        EXPECT_TRUE(machine.Modals().empty()) << "a message box was shown";
    }
    host::user::ProcessEvents();
    host::SetActiveMachine(nullptr);

    // The children's own account: only a child a command acted on lost its pages.
    int lost = 0, actedAndLost = 0;
    for (const auto& [serial, report] : churn.Reports()) {
        if (!report.pagedOut) continue;
        ++lost;
        EXPECT_TRUE(tally.actedOn.count(serial)) << "child " << serial << " lost its pages, but no command acted on it";
        actedAndLost += tally.actedOn.count(serial) != 0;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("churn: %d children (%zu reported, %zu ended early) in %.1f s; %d refreshes, %d picks, %d commands, "
                "%d acted, %d ids reused on purpose; %d children lost their pages, %d of them acted on\n",
                churn.Started(), churn.Reports().size(), churn.Killed().size(), seconds, tally.refreshes, tally.picks,
                tally.commands, tally.acted, tally.forcedReuses, lost, actedAndLost);
    const int children = kChildren + (root ? 1 : 0);
    EXPECT_EQ(churn.Started(), children);
    // Each child either reported or was ended early (one ended just after
    // reporting counts once).
    std::set<int> accounted = churn.Killed();
    for (const auto& [serial, report] : churn.Reports()) accounted.insert(serial);
    EXPECT_EQ(accounted.size(), static_cast<std::size_t>(children));
    // As root, the probe saw its pages go. (For an ordinary user the kernel
    // may page out a process's anonymous memory but keep the file pages it
    // maps, so that no child sees anything. In the AddressSanitizer build, whose
    // children reserve terabytes of shadow memory, hardly any child saw its
    // pages go (0 or 1 of some 75 acted on, the probe sometimes not): the
    // cause is not pinned down, and there the check is left out.)
#if !defined(__SANITIZE_ADDRESS__)
    constexpr bool kWitnessSeesPageOuts = true;
#else
    constexpr bool kWitnessSeesPageOuts = false;
#endif
    if (root && kWitnessSeesPageOuts) {
        const auto report = churn.Reports().find(probe.serial);
        ASSERT_NE(report, churn.Reports().end()) << "the probe did not report";
        EXPECT_TRUE(report->second.pagedOut) << "the probe never saw its pages go: the witness sees nothing";
    }
}

}  // namespace
