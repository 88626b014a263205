#pragma once
// The memory commands, each as the nearest honest Linux action:
//   purge standby             write "1" to /proc/sys/vm/drop_caches
//   purge low-priority standby proactive reclaim of file pages only
//   write out modified pages  sync()
//   empty working sets        process_madvise(MADV_PAGEOUT) over a process's
//                             mappings, through a pidfd
// Nothing runs through a shell, and nothing is written anywhere else.

#include "host/linux_processes.h"
#include "host/live_linux_machine.h"

#include <windows.h>
#include <ntstatus.h>

#include <cstdint>
#include <string>

namespace host::linux_proc {

// What a command did, for the machine's action log, and how it ended.
struct CommandResult {
    NTSTATUS status = STATUS_SUCCESS;
    std::string action;
};

class MemoryCommands {
public:
    explicit MemoryCommands(LinuxRoots roots);

    CommandResult PurgeStandby();
    CommandResult PurgeLowPriorityStandby();
    CommandResult FlushModifiedList();
    CommandResult EmptyAllWorkingSets(const SnapshotContext& context);

private:
    CommandResult ReclaimPerNode(bool& nodesHaveReclaim);
    CommandResult ReclaimThroughCgroup();

    LinuxRoots roots_;
};

// Empties the working set of the process `pid`, provided it is still the
// one that started at `startTicks` (a pid can be reused the moment its
// process exits). ERROR_SUCCESS, or the error Windows gives: access denied
// without the right (CAP_SYS_NICE and ptrace read access) or once the
// process has gone, ERROR_CALL_NOT_IMPLEMENTED on kernels before 5.10.
// The pidfd always names a process of this system, so the check reads the
// real /proc, whatever tree the figures come from.
struct WorkingSetResult {
    DWORD error = ERROR_SUCCESS;
    bool gone = false;  // the process had exited (not refused)
    std::string action;
};
WorkingSetResult EmptyWorkingSetOf(int pid, std::uint64_t startTicks);

// The status a Windows caller expects for a failed Linux call.
NTSTATUS StatusFromErrno(int error);

}  // namespace host::linux_proc
