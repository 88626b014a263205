#include "proc_files.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace host::linux_proc {

namespace {

// Most /proc and /sys text fits; a buffer that grows for the rest keeps
// its size for the next read.
constexpr std::size_t kInitialBuffer = 4096;

// Reads from offset 0 to the end; `positional` uses pread so that a kept
// descriptor needs no seek.
bool ReadToEnd(int fd, bool positional, std::string& text) {
    text.resize(std::max(text.capacity(), kInitialBuffer));
    std::size_t used = 0;
    for (;;) {
        const std::size_t room = text.size() - used;
        const ssize_t n = positional ? pread(fd, text.data() + used, room, static_cast<off_t>(used))
                                     : read(fd, text.data() + used, room);
        if (n < 0) {
            if (errno == EINTR) continue;
            text.clear();
            return false;
        }
        // Only a read of nothing is the end: a file the kernel prints record
        // by record (/proc/PID/maps, mountinfo, zoneinfo) hands out at most
        // one page of records per read, however much room the read leaves.
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
        if (used == text.size()) text.resize(text.size() * 2);
    }
    text.resize(used);
    return true;
}

}  // namespace

KeptFile::KeptFile(std::string path) : path_(std::move(path)) {}

KeptFile::~KeptFile() {
    if (fd_ >= 0) close(fd_);
}

bool KeptFile::Read(std::string& text) {
    if (fd_ < 0) fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        text.clear();
        return false;
    }
    if (ReadToEnd(fd_, true, text)) return true;
    // A descriptor that stopped working is dropped; the next call reopens.
    close(fd_);
    fd_ = -1;
    return false;
}

bool ReadFileAt(int dirFd, const char* path, std::string& text) {
    const int fd = openat(dirFd, path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        text.clear();
        return false;
    }
    const bool ok = ReadToEnd(fd, false, text);
    const int error = errno;  // the caller may ask why it failed
    close(fd);
    errno = error;
    return ok;
}

bool ReadFile(const std::string& path, std::string& text) { return ReadFileAt(AT_FDCWD, path.c_str(), text); }

std::optional<std::string> ReadLinkAt(int dirFd, const char* path) {
    char target[4096];
    const ssize_t n = readlinkat(dirFd, path, target, sizeof target);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) return std::nullopt;
    return std::string(target, static_cast<std::size_t>(n));
}

int WriteExistingFile(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    ssize_t n;
    do {
        n = write(fd, text.data(), text.size());
    } while (n < 0 && errno == EINTR);
    const int error = n < 0 ? errno : (static_cast<std::size_t>(n) == text.size() ? 0 : EIO);
    close(fd);
    return error;
}

}  // namespace host::linux_proc
