// The memory commands acting on this very computer, as root: each test
// puts pages of its own on the list the command empties (a cached file, a
// dirty file, a child's working set), runs the command through the surface
// the system calls, and sees the figure the system reads fall by at least
// half of what the test put there. Other work on the computer moves the
// figures too, so no test compares exact figures.

#include "app/palisk_dlg.h"
#include "host/live_linux_machine.h"
#include "host/user.h"
#include "live_commands_support.h"
#include "program_resources.h"

#include <psapi.h>
#include <ntstatus.h>

namespace {

using namespace live_test;

constexpr std::uint64_t kFileBytes = 64 * kMiB;

class RootCommands : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root: run this suite as root (ctest -L live-root)";
        ASSERT_TRUE(scratch_.Ok()) << "no scratch directory";
    }

    // Enables the privilege every memory-list command needs, as the
    // program does at start-up.
    void EnableMemoryListPrivilege() {
        ASSERT_EQ(EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME), static_cast<DWORD>(ERROR_SUCCESS))
            << "root holds SeProfileSingleProcessPrivilege";
    }

    // A container may keep /proc/sys read-only or drop CAP_SYS_ADMIN even
    // for root; any other failure is the command's own.
    bool KernelRefusedDropCaches(std::size_t logged) const {
        for (const char* reason : {"Permission denied", "Operation not permitted", "Read-only file system"})
            if (CountLogged(machine_, std::string("drop_caches: failed: ") + reason, logged) == 1) return true;
        return false;
    }

    host::LiveLinuxMachine machine_;
    ActiveMachineScope active_{machine_};
    ScratchDir scratch_{PALISK_LIVE_SCRATCH_DIR};
};

TEST_F(RootCommands, PurgingTheStandbyListDropsACachedFile) {
    const CachedFile file(scratch_.NewFile("standby"), kFileBytes, CachedFile::State::Clean);
    ASSERT_TRUE(file.Ok()) << "cannot write " << file.Path();
    ASSERT_GE(file.ResidentBytes(), kFileBytes * 9 / 10) << "the page cache did not keep the file it read";
    EnableMemoryListPrivilege();

    const std::int64_t before = StandbyBytes();
    ASSERT_GE(before, static_cast<std::int64_t>(kFileBytes / 2)) << "the file's pages are not counted as standby";
    const std::size_t logged = machine_.Actions().size();
    const NTSTATUS status = SendMemoryListCommand(nt::MemoryPurgeStandbyList);
    if (status != STATUS_SUCCESS && KernelRefusedDropCaches(logged)) {
        GTEST_SKIP() << "the kernel refuses drop_caches here (a container?):\n" << LogFrom(machine_, logged);
    }
    ASSERT_EQ(status, STATUS_SUCCESS) << LogFrom(machine_, logged);
    const std::int64_t after = StandbyBytes();
    ShowFigures("standby", before, after);

    EXPECT_GE(before - after, static_cast<std::int64_t>(kFileBytes / 2));
    EXPECT_LE(file.ResidentBytes(), kFileBytes / 10) << "the file's own pages stayed cached";
    EXPECT_EQ(CountLogged(machine_, "write \"1\" to /proc/sys/vm/drop_caches: ok", logged), 1)
        << LogFrom(machine_, logged);
}

TEST_F(RootCommands, WritingOutTheModifiedListCleansADirtyFile) {
    const CachedFile file(scratch_.NewFile("modified"), kFileBytes, CachedFile::State::Dirty);
    ASSERT_TRUE(file.Ok()) << "cannot write " << file.Path();
    EnableMemoryListPrivilege();

    const std::int64_t before = ModifiedBytes();
    ASSERT_GE(before, static_cast<std::int64_t>(kFileBytes / 2))
        << "the file's pages were written out before the command (is vm.dirty_background_bytes tiny?)";
    const std::size_t logged = machine_.Actions().size();
    ASSERT_EQ(SendMemoryListCommand(nt::MemoryFlushModifiedList), STATUS_SUCCESS) << LogFrom(machine_, logged);
    const std::int64_t after = ModifiedBytes();
    ShowFigures("modified", before, after);

    EXPECT_GE(before - after, static_cast<std::int64_t>(kFileBytes / 2));
    if (const std::optional<std::uint64_t> own = file.ModifiedBytes()) {
        EXPECT_EQ(*own, 0u) << "sync() returned with pages of the file still dirty";
    }
    EXPECT_EQ(CountLogged(machine_, "sync(): ok", logged), 1) << LogFrom(machine_, logged);
}

TEST_F(RootCommands, EmptyingAChildsWorkingSetDropsTheFilePagesItMapped) {
    const CachedFile file(scratch_.NewFile("mapped"), kFileBytes, CachedFile::State::Clean);
    ASSERT_TRUE(file.Ok()) << "cannot write " << file.Path();
    const FileMappingChild child(file);
    ASSERT_TRUE(child.Ready()) << "the child did not start or read its mapping";

    // The access the program's flush asks for.
    const HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, TRUE, child.Id());
    ASSERT_NE(process, nullptr) << "error " << GetLastError();
    const std::int64_t before = WorkingSetBytes(process);
    ASSERT_GE(before, static_cast<std::int64_t>(kFileBytes)) << "the child's working set lacks the pages it read";

    const std::size_t logged = machine_.Actions().size();
    const BOOL emptied = EmptyWorkingSet(process);
    const DWORD error = emptied ? ERROR_SUCCESS : GetLastError();
    const std::int64_t after = WorkingSetBytes(process);
    CloseHandle(process);
    if (error == ERROR_CALL_NOT_IMPLEMENTED) {
        GTEST_SKIP() << "this kernel has no process_madvise (Linux 5.10):\n" << LogFrom(machine_, logged);
    }
    ASSERT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS)) << LogFrom(machine_, logged);
    ShowFigures("child's working set", before, after);

    EXPECT_GE(before - after, static_cast<std::int64_t>(kFileBytes / 2));
    EXPECT_LE(file.ResidentBytes(), kFileBytes / 2) << "the child's file pages were not reclaimed";
    EXPECT_EQ(CountLogged(machine_, "pid " + std::to_string(child.Pid()) + ": process_madvise(MADV_PAGEOUT): ok",
                          logged),
              1)
        << LogFrom(machine_, logged);
}

// The program itself, as root: Linux has no file-cache size functions, so
// the start-up never enables the memory commands' privilege on its way to
// them; root's token must hold it already for the buttons to act.
TEST_F(RootCommands, TheMainDialogsButtonActsWithoutAnyEnablingOfItsOwn) {
    host::RegisterProgramResources();
    auto* dialog = new CPaliskDlg;
    ASSERT_TRUE(dialog->Create(IDD_PALISK_DIALOG));
    const std::size_t logged = machine_.Actions().size();
    EXPECT_TRUE(host::user::Click(GetDlgItem(dialog->GetSafeHwnd(), IDC_FLUSH_MOD_PG_LIST)));
    host::user::ProcessEvents();
    dialog->DestroyWindow();
    delete dialog;
    EXPECT_EQ(CountLogged(machine_, "sync(): ok", logged), 1) << LogFrom(machine_, logged);
}

}  // namespace
