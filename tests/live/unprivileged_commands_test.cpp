// Every memory command, tried by an ordinary user on this very computer:
// each is refused with the status or error the program expects, the
// machine's action log says so, nothing crashes, and the pages the test
// put in the page cache, in a dirty file and in a child's working set stay
// where they were. Run as root, the test runs itself again in a child that
// has dropped to the user "nobody".
//
// The commands are tried twice: through the surface, where each result can
// be checked, and through the live main dialog (every button and
// system-menu item), which shows no result, so there the action log tells.

#include "app/palisk_dlg.h"
#include "host/live_linux_machine.h"
#include "host/user.h"
#include "live_commands_support.h"
#include "program_resources.h"

#include <psapi.h>
#include <ntstatus.h>

#include <grp.h>
#include <memory>

namespace {

using namespace live_test;

constexpr std::uint64_t kFileBytes = 32 * kMiB;
constexpr std::uint64_t kDirtyBytes = 16 * kMiB;
constexpr uid_t kNobody = 65534;
constexpr int kCannotRunAsNobody = 77;  // exit code of a child that could not become nobody and run

// What the test put on the machine, and how to see that it is still there.
struct Witnesses {
    const CachedFile& cached;
    const CachedFile& dirty;
    const FileMappingChild& child;
};

struct Figures {
    std::uint64_t residentFile = 0;
    std::optional<std::uint64_t> dirtyFile;
    std::int64_t childWorkingSet = 0;
};

Figures Measure(const Witnesses& w) {
    Figures f;
    f.residentFile = w.cached.ResidentBytes();
    f.dirtyFile = w.dirty.ModifiedBytes();
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, TRUE, w.child.Id());
    EXPECT_NE(process, nullptr) << "the child cannot be opened to read its working set";
    if (process) {
        f.childWorkingSet = WorkingSetBytes(process);
        CloseHandle(process);
    }
    return f;
}

std::string ListCommandLine(const char* name, const char* status) {
    return std::string("NtSetSystemInformation(SystemMemoryListInformation, ") + name + ") -> " + status;
}

// ---- through the surface -----------------------------------------------------------

void TryEveryCommandThroughTheSurface(const host::Machine& machine, const FileMappingChild& child) {
    const std::size_t logged = machine.Actions().size();
    // The program enables the privilege first; an ordinary user's token does
    // not hold it, which the adjust call reports as not all assigned.
    EXPECT_EQ(EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
    for (ULONG command : {nt::MemoryPurgeStandbyList, nt::MemoryPurgeLowPriorityStandbyList,
                          nt::MemoryFlushModifiedList, nt::MemoryEmptyWorkingSets}) {
        EXPECT_EQ(SendMemoryListCommand(command), STATUS_PRIVILEGE_NOT_HELD) << "command " << command;
        EXPECT_EQ(CountLogged(machine, "memory-list command " + std::to_string(command) + " refused", logged), 1)
            << LogFrom(machine, logged);
    }

    // The target flush: the program opens the process for all access, then
    // empties its working set. Its own child opens; emptying it needs
    // CAP_SYS_NICE.
    const HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, TRUE, child.Id());
    ASSERT_NE(process, nullptr) << "an ordinary user opens its own child; error " << GetLastError();
    EXPECT_FALSE(EmptyWorkingSet(process));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(process);
    EXPECT_EQ(CountLogged(machine, "pid " + std::to_string(child.Pid()) + ": refused", logged), 1)
        << LogFrom(machine, logged);

    // The file-cache limits: Linux has none, so the program finds neither
    // entry point; the functions themselves refuse as not implemented.
    const HMODULE kernel32 = LoadLibraryW(L"kernel32.dll");
    ASSERT_NE(kernel32, nullptr);
    EXPECT_EQ(GetProcAddress(kernel32, "SetSystemFileCacheSize"), nullptr);
    EXPECT_EQ(GetProcAddress(kernel32, "GetSystemFileCacheSize"), nullptr);
    FreeLibrary(kernel32);
    SIZE_T minimum = 0, maximum = 0;
    DWORD flags = 0;
    EXPECT_FALSE(GetSystemFileCacheSize(&minimum, &maximum, &flags));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_FALSE(SetSystemFileCacheSize(static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1), FILE_CACHE_MAX_HARD_ENABLE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
}

// ---- through the live dialog ---------------------------------------------------------

// Destroys the dialog's window before the dialog object, as its owner must.
struct DestroyDialog {
    void operator()(CPaliskDlg* dialog) const {
        if (dialog->GetSafeHwnd()) dialog->DestroyWindow();
        delete dialog;
    }
};

// Picks the child in the target list. Choosing opens the list, which is
// rebuilt first, so a process starting or ending meanwhile can move the
// child's entry: the choice is checked and made again.
bool ChooseTarget(CPaliskDlg& dialog, DWORD id) {
    const HWND combo = GetDlgItem(dialog.GetSafeHwnd(), IDC_TARGET_PROCESS);
    const std::wstring suffix = L"[" + std::to_wstring(id) + L"]";
    for (int attempt = 0; attempt < 5; ++attempt) {
        host::user::DropDown(combo);
        host::user::CloseDropDown(combo);
        const std::vector<std::wstring> items = host::user::ComboItems(combo);
        int index = -1;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].ends_with(suffix)) index = static_cast<int>(i);
        if (index < 1 || !host::user::ChooseComboItem(combo, index)) continue;
        if (dialog.m_nTargetIndex == index && dialog.m_pTargetPids[index - 1] == id) return true;
    }
    return false;
}

void TryEveryCommandThroughTheDialog(host::Machine& machine, const FileMappingChild& child) {
    host::RegisterProgramResources();
    const std::unique_ptr<CPaliskDlg, DestroyDialog> dialog(new CPaliskDlg);
    ASSERT_TRUE(dialog->Create(IDD_PALISK_DIALOG));
    const HWND window = dialog->GetSafeHwnd();
    ASSERT_TRUE(ChooseTarget(*dialog, child.Id())) << "the child is not in the target list";
    const std::size_t logged = machine.Actions().size();

    // The file-cache buttons are disabled: a click does nothing.
    for (int id : {IDC_FLUSH_CACHE_WS, IDC_CACHE_MAX_HALF, IDC_CACHE_MAX_DOUBLE}) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, id))) << "button " << id;
        host::user::Click(GetDlgItem(window, id));
    }
    for (int id : {IDC_FLUSH_ALL_STANDBY, IDC_FLUSH_STANDBY0, IDC_FLUSH_MOD_PG_LIST, IDC_FLUSH_WORK_SETS,
                   IDC_FLUSH_TARGET_WS}) {
        EXPECT_TRUE(host::user::Click(GetDlgItem(window, id))) << "button " << id;
    }
    for (UINT id : {IDM_FLUSH_STANDBY_CACHES, IDM_FLUSH_ALL_WORKING_SETS, IDM_FLUSH_TARGET_WS}) {
        EXPECT_TRUE(host::user::ChooseSystemMenuItem(window, id)) << "system-menu item " << id;
    }
    host::user::ProcessEvents();

    const char* const refused = "0xC0000061";  // STATUS_PRIVILEGE_NOT_HELD
    EXPECT_EQ(CountLogged(machine, ListCommandLine("MemoryPurgeStandbyList", refused), logged), 2);
    EXPECT_EQ(CountLogged(machine, ListCommandLine("MemoryPurgeLowPriorityStandbyList", refused), logged), 1);
    EXPECT_EQ(CountLogged(machine, ListCommandLine("MemoryFlushModifiedList", refused), logged), 1);
    EXPECT_EQ(CountLogged(machine, ListCommandLine("MemoryEmptyWorkingSets", refused), logged), 2);
    EXPECT_EQ(CountLogged(machine, "SeProfileSingleProcessPrivilege not enabled", logged), 6);
    EXPECT_EQ(CountLogged(machine, "EmptyWorkingSet(pid " + std::to_string(child.Id()) + ") -> error 5", logged), 2);
    EXPECT_EQ(CountLogged(machine, "pid " + std::to_string(child.Pid()) + ": refused", logged), 2);
    EXPECT_EQ(CountLogged(machine, "SetSystemFileCacheSize", logged), 0);
    EXPECT_EQ(CountLogged(machine, "-> ok", logged) + CountLogged(machine, ": ok", logged), 0)
        << "a command acted:\n" << LogFrom(machine, logged);
    EXPECT_TRUE(machine.Modals().empty()) << "the commands show no message";
    EXPECT_TRUE(IsWindow(window));
    const int index = dialog->m_nTargetIndex;
    EXPECT_TRUE(index > 0 && dialog->m_pTargetPids[index - 1] == child.Id()) << "the selection was changed";
}

// ---- the test, as this user ------------------------------------------------------------

void TryEveryCommandAsThisUser() {
    ScratchDir scratch(PALISK_LIVE_SCRATCH_DIR);
    ASSERT_TRUE(scratch.Ok()) << "no writable scratch directory (TMPDIR)";
    const CachedFile cached(scratch.NewFile("cached"), kFileBytes, CachedFile::State::Clean);
    const CachedFile dirty(scratch.NewFile("dirty"), kDirtyBytes, CachedFile::State::Dirty);
    ASSERT_TRUE(cached.Ok() && dirty.Ok()) << "cannot write in " << scratch.Path();
    const FileMappingChild child(cached);
    ASSERT_TRUE(child.Ready()) << "the child did not start or read its mapping";

    host::LiveLinuxMachine machine;
    ActiveMachineScope active(machine);
    const Witnesses witnesses{cached, dirty, child};
    const Figures before = Measure(witnesses);
    ASSERT_GE(before.residentFile, kFileBytes * 9 / 10) << "the page cache did not keep the file it read";
    ASSERT_GE(before.childWorkingSet, static_cast<std::int64_t>(kFileBytes));

    TryEveryCommandThroughTheSurface(machine, child);
    TryEveryCommandThroughTheDialog(machine, child);

    // Nothing moved the test's pages: allow an eighth for memory pressure
    // from elsewhere, far less than any of the commands would take.
    const Figures after = Measure(witnesses);
    ShowFigures("test file in the page cache", static_cast<std::int64_t>(before.residentFile),
                static_cast<std::int64_t>(after.residentFile));
    ShowFigures("child's working set", before.childWorkingSet, after.childWorkingSet);
    EXPECT_GE(after.residentFile, before.residentFile - kFileBytes / 8);
    EXPECT_GE(after.childWorkingSet, before.childWorkingSet - static_cast<std::int64_t>(kFileBytes / 8));
    if (before.dirtyFile && after.dirtyFile) {
        ShowFigures("dirty file", static_cast<std::int64_t>(*before.dirtyFile),
                    static_cast<std::int64_t>(*after.dirtyFile));
        EXPECT_GE(*after.dirtyFile, *before.dirtyFile / 2) << "the dirty file was written out";
    }
}

// ---- root: the same test as nobody ---------------------------------------------------------

std::string OwnExecutable() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

// This process's environment with TMPDIR set to `tmpdir`, for execve.
std::vector<std::string> EnvironmentWithTmpdir(const std::string& tmpdir) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        if (std::strncmp(*entry, "TMPDIR=", 7) != 0) environment.emplace_back(*entry);
    environment.push_back("TMPDIR=" + tmpdir);
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs the current test in a child that gives up root for `nobody` (no
// supplementary groups, no capabilities left) with `home` as its TMPDIR.
// Everything the child needs is made before the fork: between fork and exec
// it only makes system calls, as a forked copy of a threaded process must.
// The wait status of the child.
int RunThisTestAsNobody(const std::string& home) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string executable = OwnExecutable();
    std::vector<std::string> arguments = {executable,
                                          std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()};
    std::vector<std::string> environment = EnvironmentWithTmpdir(home);
    const std::vector<char*> argv = Pointers(arguments);
    const std::vector<char*> envp = Pointers(environment);
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
            setresuid(kNobody, kNobody, kNobody) == 0) {
            execve(executable.c_str(), argv.data(), envp.data());
        }
        _exit(kCannotRunAsNobody);
    }
    int status = -1;
    if (pid > 0) waitpid(pid, &status, 0);
    return status;
}

TEST(UnprivilegedCommands, EveryCommandIsRefusedAndChangesNothing) {
    if (geteuid() != 0) return TryEveryCommandAsThisUser();

    ScratchDir home(PALISK_LIVE_SCRATCH_DIR);
    ASSERT_TRUE(home.Ok());
    ASSERT_EQ(chown(home.Path().c_str(), kNobody, kNobody), 0);
    const int status = RunThisTestAsNobody(home.Path());
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotRunAsNobody) {
        GTEST_SKIP() << "could not run this test as uid " << kNobody
                     << ": is the build directory readable and searchable by everyone?";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the run as nobody failed (its output is above); wait status " << status;
}

}  // namespace
