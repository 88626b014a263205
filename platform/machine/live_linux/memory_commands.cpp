#include "memory_commands.h"

#include "host/linux_proc.h"
#include "proc_files.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace host::linux_proc {

namespace {

std::string Outcome(int error) { return error == 0 ? "ok" : std::string("failed: ") + std::strerror(error); }

// File pages that are clean and on the inactive list: the low-priority
// standby, which reclaim takes first.
std::uint64_t InactiveCleanBytes(const Meminfo& m) {
    const std::uint64_t modified = m.dirty.value_or(0) + m.writeback.value_or(0);
    const std::uint64_t inactive = m.inactiveFile.value_or(0);
    return inactive > modified ? inactive - modified : 0;
}

// "<bytes> swappiness=0": reclaim that many bytes from the file lists
// alone, never from anonymous memory.
std::string FileOnlyReclaim(std::uint64_t bytes) { return std::to_string(bytes) + " swappiness=0"; }

// A reclaim that could not free the whole amount ends with EAGAIN after
// freeing what it could: that is success here, as the standby list is
// purged as far as it goes.
int ReclaimError(int error) { return error == EAGAIN ? 0 : error; }

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace

NTSTATUS StatusFromErrno(int error) {
    switch (error) {
        case 0:
            return STATUS_SUCCESS;
        case EPERM:
        case EACCES:
            return STATUS_PRIVILEGE_NOT_HELD;
        case ENOENT:
        case ENOSYS:
        case EROFS:
        case EOPNOTSUPP:
        case EINVAL:  // an older kernel that takes no "swappiness=" key
            return STATUS_NOT_SUPPORTED;
        default:
            return STATUS_UNSUCCESSFUL;
    }
}

MemoryCommands::MemoryCommands(LinuxRoots roots) : roots_(std::move(roots)) {}

CommandResult MemoryCommands::PurgeStandby() {
    // Mode 1 drops the clean page cache only; dirty pages (the modified
    // list) and the kernel's own caches stay.
    const std::string path = roots_.proc + "/sys/vm/drop_caches";
    const int error = WriteExistingFile(path, "1");
    return {StatusFromErrno(error), "write \"1\" to " + path + ": " + Outcome(error)};
}

CommandResult MemoryCommands::FlushModifiedList() {
    sync();  // cannot fail: it starts the write-out of every dirty page
    return {STATUS_SUCCESS, "sync(): ok"};
}

CommandResult MemoryCommands::PurgeLowPriorityStandby() {
    bool nodesHaveReclaim = false;
    CommandResult result = ReclaimPerNode(nodesHaveReclaim);
    if (nodesHaveReclaim) return result;
    return ReclaimThroughCgroup();
}

CommandResult MemoryCommands::ReclaimPerNode(bool& nodesHaveReclaim) {
    const std::string nodeRoot = roots_.sys + "/devices/system/node";
    DIR* dir = opendir(nodeRoot.c_str());
    if (!dir) return {STATUS_NOT_SUPPORTED, ""};
    CommandResult result{STATUS_SUCCESS, ""};
    std::string text;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "node", 4) != 0) continue;
        const std::string node = nodeRoot + "/" + entry->d_name;
        if (!Exists(node + "/reclaim")) continue;
        nodesHaveReclaim = true;
        if (!ReadFile(node + "/meminfo", text)) continue;
        const std::uint64_t bytes = InactiveCleanBytes(ParseNodeMeminfo(text));
        if (bytes == 0) continue;  // nothing of low priority on this node
        const int error = ReclaimError(WriteExistingFile(node + "/reclaim", FileOnlyReclaim(bytes)));
        if (!result.action.empty()) result.action += "; ";
        result.action += "write \"" + FileOnlyReclaim(bytes) + "\" to " + node + "/reclaim: " + Outcome(error);
        if (error != 0 && result.status == STATUS_SUCCESS) result.status = StatusFromErrno(error);
    }
    closedir(dir);
    if (nodesHaveReclaim && result.action.empty()) result.action = "per-node reclaim: no low-priority standby";
    return result;
}

CommandResult MemoryCommands::ReclaimThroughCgroup() {
    std::string text;
    const std::optional<std::string> mount =
        ReadFile(roots_.proc + "/self/mountinfo", text) ? FindCgroup2Mount(text) : std::nullopt;
    const std::string path = mount ? *mount + "/memory.reclaim" : std::string();
    if (!mount || !Exists(path)) {
        return {STATUS_NOT_SUPPORTED, "no per-node reclaim and no cgroup v2 memory.reclaim: not supported"};
    }
    if (!ReadFile(roots_.proc + "/meminfo", text)) return {STATUS_UNSUCCESSFUL, "cannot read meminfo"};
    const std::uint64_t bytes = InactiveCleanBytes(ParseMeminfo(text));
    if (bytes == 0) return {STATUS_SUCCESS, "memory.reclaim: no low-priority standby"};
    const int error = ReclaimError(WriteExistingFile(path, FileOnlyReclaim(bytes)));
    return {StatusFromErrno(error), "write \"" + FileOnlyReclaim(bytes) + "\" to " + path + ": " + Outcome(error)};
}

CommandResult MemoryCommands::EmptyAllWorkingSets(const SnapshotContext& context) {
    // Every user process, ourselves included, as Windows does. A process
    // that refuses or has gone is passed over. The command fails only when
    // the kernel lacks the interface, or when no other process could be
    // emptied because we lack the right (our own needs none).
    const int self = getpid();
    int emptiedOthers = 0;
    int refused = 0;
    for (const LinuxProcess& process : ListProcesses(context)) {
        if (process.kind != ProcessKind::User) continue;
        const WorkingSetResult one = EmptyWorkingSetOf(process.linuxPid, process.startTicks);
        if (one.error == ERROR_CALL_NOT_IMPLEMENTED) {
            return {STATUS_NOT_SUPPORTED, "process_madvise(MADV_PAGEOUT): not supported"};
        }
        if (one.error == ERROR_SUCCESS && process.linuxPid != self) ++emptiedOthers;
        if (one.error == ERROR_ACCESS_DENIED && !one.gone) ++refused;
    }
    const std::string counts =
        std::to_string(emptiedOthers) + " others emptied, " + std::to_string(refused) + " refused";
    if (emptiedOthers == 0 && refused > 0) {
        return {STATUS_PRIVILEGE_NOT_HELD, "process_madvise(MADV_PAGEOUT): " + counts};
    }
    return {STATUS_SUCCESS, "process_madvise(MADV_PAGEOUT) on every process: " + counts};
}

}  // namespace host::linux_proc
