#pragma once
// What the live command tests share: a scratch file whose pages the test
// puts in the page cache (and can count there), a child process that maps
// such a file, and the figures as the system reads them through the surface.

#include "host/linux_processes.h"
#include "host/machine.h"
#include "host/ntdll.h"

#include <gtest/gtest.h>
#include <nt/process_information.h>
#include <nt/system_information.h>
#include <windows.h>
#include <winternl.h>
#include <ntstatus.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace live_test {

constexpr std::uint64_t kMiB = 1u << 20;
inline const std::uint64_t kPageBytes = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));

// Makes `machine` the one the surface answers from, for one test.
class ActiveMachineScope {
public:
    explicit ActiveMachineScope(host::Machine& machine) { host::SetActiveMachine(&machine); }
    ~ActiveMachineScope() { host::SetActiveMachine(nullptr); }
    ActiveMachineScope(const ActiveMachineScope&) = delete;
    ActiveMachineScope& operator=(const ActiveMachineScope&) = delete;
};

// ---- the page cache of one file ------------------------------------------------

// A file's page-cache state, from cachestat (Linux 6.5). Not in every
// kernel header yet, hence the local layout.
struct FileCacheState {
    std::uint64_t cached = 0, dirty = 0, writeback = 0, evicted = 0, recentlyEvicted = 0;
};
#ifndef SYS_cachestat
#define SYS_cachestat 451  // the same number on every architecture
#endif

// A private directory on a disk-backed file system (tmpfs pages are shared
// memory, never standby or modified): $TMPDIR or /tmp when they are on
// disk, else `fallback`. Readable by everyone, so that a child that drops
// to an ordinary user can reach it. Removed with everything in it.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& fallback) {
        const char* tmp = std::getenv("TMPDIR");
        std::string base = tmp && *tmp ? tmp : "/tmp";
        if (!OnDisk(base) || access(base.c_str(), W_OK) != 0) base = fallback;
        std::string pattern = base + "/palisk-live-XXXXXX";
        if (mkdtemp(pattern.data())) {
            path_ = pattern;
            chmod(path_.c_str(), 0755);
        }
    }
    ~ScratchDir() {
        for (const std::string& file : files_) unlink(file.c_str());
        if (!path_.empty()) rmdir(path_.c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    bool Ok() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    std::string NewFile(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }

private:
    static bool OnDisk(const std::string& dir) {
        struct statfs fs{};
        constexpr long kTmpfsMagic = 0x01021994;
        return statfs(dir.c_str(), &fs) == 0 && fs.f_type != kTmpfsMagic;
    }

    std::string path_;
    std::vector<std::string> files_;
};

// A file of `bytes` the test wrote. Clean: written, flushed to disk and read
// back, so that its pages sit in the page cache as standby. Dirty: written
// and left for the kernel to write out later, so that they are modified.
class CachedFile {
public:
    enum class State { Clean, Dirty };

    CachedFile(std::string path, std::uint64_t bytes, State state) : path_(std::move(path)), bytes_(bytes) {
        fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) return;
        fchmod(fd_, 0644);  // whatever the umask, a dropped child reads it too
        if (!Fill(state)) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~CachedFile() {
        if (fd_ >= 0) close(fd_);
    }
    CachedFile(const CachedFile&) = delete;
    CachedFile& operator=(const CachedFile&) = delete;

    bool Ok() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    std::uint64_t Bytes() const { return bytes_; }
    const std::string& Path() const { return path_; }

    // How much of the file is in the page cache now (mincore over a mapping
    // that is never touched, so that counting brings nothing in).
    std::uint64_t ResidentBytes() const {
        void* map = mmap(nullptr, bytes_, PROT_READ, MAP_SHARED, fd_, 0);
        if (map == MAP_FAILED) return 0;
        std::vector<unsigned char> pages((bytes_ + kPageBytes - 1) / kPageBytes);
        std::uint64_t resident = 0;
        if (mincore(map, bytes_, pages.data()) == 0) {
            for (unsigned char page : pages) resident += page & 1;
        }
        munmap(map, bytes_);
        return resident * kPageBytes;
    }

    // The file's dirty and under-writeback pages, or nothing on kernels
    // without cachestat.
    std::optional<std::uint64_t> ModifiedBytes() const {
        struct {
            std::uint64_t offset, length;
        } range{0, 0};  // length 0: to the end of the file
        FileCacheState state;
        if (syscall(SYS_cachestat, fd_, &range, &state, 0u) != 0) return std::nullopt;
        return (state.dirty + state.writeback) * kPageBytes;
    }

private:
    bool Fill(State state) {
        std::vector<char> block(kMiB);
        for (std::uint64_t done = 0; done < bytes_; done += block.size()) {
            std::memset(block.data(), static_cast<int>(done / kMiB) | 1, block.size());
            if (write(fd_, block.data(), block.size()) != static_cast<ssize_t>(block.size())) return false;
        }
        if (state == State::Dirty) return true;
        if (fsync(fd_) != 0) return false;
        for (std::uint64_t done = 0; done < bytes_; done += block.size()) {
            if (pread(fd_, block.data(), block.size(), static_cast<off_t>(done)) <= 0) return false;
        }
        return true;
    }

    std::string path_;
    std::uint64_t bytes_;
    int fd_ = -1;
};

// A child that maps a file shared and reads every page of it, so that the
// pages are in its working set and in no other process's; it then waits for
// its pipe to close. The mapping is made before the fork: the child only
// reads and waits, which is safe in a forked copy of a threaded process.
// Killed and reaped whatever happens to the test.
class FileMappingChild {
public:
    explicit FileMappingChild(const CachedFile& file) : bytes_(file.Bytes()) {
        map_ = mmap(nullptr, bytes_, PROT_READ, MAP_SHARED, file.Fd(), 0);
        int ready[2];
        if (map_ == MAP_FAILED || pipe2(hold_, O_CLOEXEC) != 0 || pipe2(ready, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(hold_[1]);
            close(ready[0]);
            volatile unsigned char sum = 0;
            const auto* bytes = static_cast<const unsigned char*>(map_);
            for (std::uint64_t at = 0; at < bytes_; at += kPageBytes) sum = sum + bytes[at];
            const char byte = 1;
            if (write(ready[1], &byte, 1) != 1) _exit(2);
            char sink;
            while (read(hold_[0], &sink, 1) > 0) {
            }
            _exit(0);
        }
        close(hold_[0]);
        close(ready[1]);
        char byte = 0;
        touched_ = pid_ > 0 && read(ready[0], &byte, 1) == 1;
        close(ready[0]);
    }
    ~FileMappingChild() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (hold_[1] >= 0) close(hold_[1]);
        if (map_ != MAP_FAILED) munmap(map_, bytes_);
    }
    FileMappingChild(const FileMappingChild&) = delete;
    FileMappingChild& operator=(const FileMappingChild&) = delete;

    // Whether the child runs and has read every page.
    bool Ready() const { return touched_; }
    pid_t Pid() const { return pid_; }
    DWORD Id() const { return host::linux_proc::IdForLinuxPid(pid_); }

private:
    std::uint64_t bytes_;
    void* map_ = MAP_FAILED;
    int hold_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool touched_ = false;
};

// ---- figures and commands through the surface ----------------------------------

// The page lists as the system reads them.
inline nt::SYSTEM_MEMORY_LIST_INFORMATION MemoryLists() {
    nt::SYSTEM_MEMORY_LIST_INFORMATION lists{};
    ULONG returned = 0;
    const NTSTATUS status = NtQuerySystemInformation(nt::SystemMemoryListInformation, &lists, sizeof lists, &returned);
    EXPECT_EQ(status, STATUS_SUCCESS) << "the memory lists could not be read";
    return lists;
}

inline std::int64_t StandbyBytes() {
    const nt::SYSTEM_MEMORY_LIST_INFORMATION lists = MemoryLists();
    std::uint64_t pages = 0;
    for (ULONG_PTR count : lists.PageCountByPriority) pages += count;
    return static_cast<std::int64_t>(pages * kPageBytes);
}

inline std::int64_t ModifiedBytes() { return static_cast<std::int64_t>(MemoryLists().ModifiedPageCount * kPageBytes); }

// A process's working set, read from an open handle as the sampling reads it.
inline std::int64_t WorkingSetBytes(HANDLE process) {
    nt::VM_COUNTERS counters{};
    const NTSTATUS status = NtQueryInformationProcess(process, nt::ProcessVmCounters, &counters, sizeof counters, nullptr);
    EXPECT_EQ(status, STATUS_SUCCESS) << "the process's memory counters could not be read";
    return static_cast<std::int64_t>(counters.WorkingSetSize);
}

inline NTSTATUS SendMemoryListCommand(ULONG command) {
    return NtSetSystemInformation(nt::SystemMemoryListInformation, &command, sizeof command);
}

// Enables a privilege in our own token, as the program does at start-up:
// the adjust call's success and then GetLastError, which says
// ERROR_NOT_ALL_ASSIGNED when the token does not hold the privilege.
inline DWORD EnablePrivilege(LPCWSTR name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token)) return GetLastError();
    TOKEN_PRIVILEGES request{};
    request.PrivilegeCount = 1;
    request.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Either call's failure, or after a successful adjust ERROR_SUCCESS or
    // ERROR_NOT_ALL_ASSIGNED.
    if (LookupPrivilegeValueW(nullptr, name, &request.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &request, sizeof request, nullptr, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(token);
    return error;
}

// How many lines of the machine's action log, from line `from` on, hold
// `fragment`.
inline int CountLogged(const host::Machine& machine, const std::string& fragment, std::size_t from = 0) {
    int count = 0;
    const auto& actions = machine.Actions();
    for (std::size_t i = from; i < actions.size(); ++i)
        if (actions[i].find(fragment) != std::string::npos) ++count;
    return count;
}

inline std::string LogFrom(const host::Machine& machine, std::size_t from) {
    std::string text;
    const auto& actions = machine.Actions();
    for (std::size_t i = from; i < actions.size(); ++i) text += "  " + actions[i] + "\n";
    return text;
}

// The figures a test measured, shown in the test's output.
inline void ShowFigures(const char* what, std::int64_t before, std::int64_t after) {
    std::printf("[ figures  ] %s: before %lld KiB, after %lld KiB, change %+lld KiB\n", what,
                static_cast<long long>(before / 1024), static_cast<long long>(after / 1024),
                static_cast<long long>((after - before) / 1024));
}

}  // namespace live_test
