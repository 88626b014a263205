// EmptyWorkingSetOf: pages a process's memory out through a pidfd.

#include "memory_commands.h"

#include "host/linux_proc.h"
#include "proc_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#ifndef MADV_PAGEOUT
#define MADV_PAGEOUT 21  // Linux 5.4
#endif

namespace host::linux_proc {

namespace {

// process_madvise truncates a call's ranges beyond about 2 GiB in all, so
// every call stays below 1 GiB and longer mappings are taken in pieces.
constexpr std::uint64_t kMaxCallBytes = 1ull << 30;
constexpr std::size_t kMaxRangesPerCall = 1024;  // UIO_MAXIOV

class PidFd {
public:
    explicit PidFd(int pid) : fd_(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {}
    ~PidFd() {
        if (fd_ >= 0) close(fd_);
    }
    PidFd(const PidFd&) = delete;
    PidFd& operator=(const PidFd&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

std::vector<MemoryRange> SplitIntoPieces(const std::vector<MemoryRange>& ranges) {
    std::vector<MemoryRange> pieces;
    pieces.reserve(ranges.size());
    for (MemoryRange range : ranges) {
        while (range.end - range.start > kMaxCallBytes) {
            pieces.push_back({range.start, range.start + kMaxCallBytes});
            range.start += kMaxCallBytes;
        }
        pieces.push_back(range);
    }
    return pieces;
}

// The pieces from `first` that fit one call.
std::vector<iovec> NextCall(const std::vector<MemoryRange>& pieces, std::size_t first) {
    std::vector<iovec> call;
    std::uint64_t bytes = 0;
    for (std::size_t i = first; i < pieces.size() && call.size() < kMaxRangesPerCall; ++i) {
        const std::uint64_t length = pieces[i].end - pieces[i].start;
        if (!call.empty() && bytes + length > kMaxCallBytes) break;
        call.push_back({reinterpret_cast<void*>(pieces[i].start), static_cast<std::size_t>(length)});
        bytes += length;
    }
    return call;
}

bool IsFatal(int error) { return error == EPERM || error == ESRCH || error == ENOSYS || error == EBADF; }

// Pages out every piece. The kernel stops a call at the first range it
// refuses (locked or special memory, or a mapping gone since maps was
// read), so that range is passed over and the rest asked again. 0, or the
// errno that ends the whole attempt.
int PageOut(int pidfd, const std::vector<MemoryRange>& pieces) {
    std::size_t next = 0;
    while (next < pieces.size()) {
        const std::vector<iovec> call = NextCall(pieces, next);
        const long done = syscall(SYS_process_madvise, pidfd, call.data(), call.size(), MADV_PAGEOUT, 0u);
        if (done < 0) {
            if (errno == EINTR) continue;
            if (IsFatal(errno)) return errno;
            ++next;  // the first range was refused
            continue;
        }
        std::uint64_t advised = static_cast<std::uint64_t>(done);
        std::size_t k = 0;
        while (k < call.size() && advised >= call[k].iov_len) advised -= call[k++].iov_len;
        next += k == call.size() ? k : k + 1;  // pass over the refused range
    }
    return 0;
}

std::string Describe(int pid, const char* what) { return "pid " + std::to_string(pid) + ": " + what; }

// Windows answers a process that has exited as one that is terminating:
// access denied.
WorkingSetResult Gone(int pid) { return {ERROR_ACCESS_DENIED, true, Describe(pid, "gone")}; }

}  // namespace

WorkingSetResult EmptyWorkingSetOf(int pid, std::uint64_t startTicks) {
    // The pidfd holds on to this very process: whatever happens to the pid
    // later, the pages-out below act on it or on nothing.
    const PidFd pidfd(pid);
    if (pidfd.Get() < 0) {
        if (errno == ENOSYS) return {ERROR_CALL_NOT_IMPLEMENTED, false, Describe(pid, "pidfd_open not supported")};
        return Gone(pid);
    }
    char path[64];
    std::string text;
    std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
    const auto stat = ReadFile(path, text) ? ParseProcStat(text) : std::nullopt;
    if (!stat || stat->startTicks != startTicks) return Gone(pid);

    std::snprintf(path, sizeof path, "/proc/%d/maps", pid);
    if (!ReadFile(path, text)) {
        if (errno == EACCES) return {ERROR_ACCESS_DENIED, false, Describe(pid, "refused: maps not readable")};
        return Gone(pid);
    }
    const int error = PageOut(pidfd.Get(), SplitIntoPieces(ParseMapsRanges(text)));
    switch (error) {
        case 0:
            return {ERROR_SUCCESS, false, Describe(pid, "process_madvise(MADV_PAGEOUT): ok")};
        case ENOSYS:
            return {ERROR_CALL_NOT_IMPLEMENTED, false, Describe(pid, "process_madvise not supported")};
        case ESRCH:
            return Gone(pid);
        default:  // EPERM: no CAP_SYS_NICE
            return {ERROR_ACCESS_DENIED, false, Describe(pid, "refused")};
    }
}

}  // namespace host::linux_proc
