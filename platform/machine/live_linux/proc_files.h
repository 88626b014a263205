#pragma once
// The thin layer that reads the kernel's files. Everything here is I/O;
// the parsing is done by the pure parsers of host/linux_proc.h.

#include <optional>
#include <string>

namespace host::linux_proc {

// A system-wide file kept open and re-read from its start with pread: the
// kernel regenerates /proc and /sys text on every read at offset 0, so one
// descriptor serves every refresh without an open and a close each time.
class KeptFile {
public:
    explicit KeptFile(std::string path);
    ~KeptFile();
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    // The whole file into `text` (its buffer is reused). False when the
    // file cannot be opened or read; a later call tries to open it again.
    bool Read(std::string& text);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

// Reads a whole file opened relative to `dirFd` (AT_FDCWD for a plain path)
// and closes it again: the per-process files, whose process may go at any
// moment. False when it cannot be opened or read (the process has gone).
bool ReadFileAt(int dirFd, const char* path, std::string& text);
bool ReadFile(const std::string& path, std::string& text);

// The target of a symbolic link, or nothing.
std::optional<std::string> ReadLinkAt(int dirFd, const char* path);

// Writes `text` to an existing file in one write; the errno of the failure,
// or 0. Never creates a file.
int WriteExistingFile(const std::string& path, const std::string& text);

}  // namespace host::linux_proc
