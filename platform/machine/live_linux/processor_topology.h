#pragma once
// The processors of this computer: which logical CPUs are online, how they
// group into cores and packages (from /sys/devices/system/cpu), and what
// the processor is (from /proc/cpuinfo). Read once: CPUs going on- or
// offline later are not followed, as a Windows program would not expect.

#include "host/linux_proc.h"
#include "host/live_linux_machine.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace host::linux_proc {

struct ProcessorTopology {
    std::vector<unsigned> online;                 // logical CPU numbers
    std::vector<std::vector<unsigned>> cores;     // the CPUs of each core
    std::vector<std::vector<unsigned>> packages;  // the CPUs of each package
    std::optional<CpuIdentity> identity;
};

ProcessorTopology ReadProcessorTopology(const LinuxRoots& roots);

// The bits of the CPUs numbered below 64: a Windows processor group holds
// at most 64, and a caller sees only its own group.
ULONG_PTR ProcessorMask(const std::vector<unsigned>& cpus);

// What GetLogicalProcessorInformation answers: one record per core, then
// one per package, each with the mask of its CPUs in the first group.
std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> LogicalProcessorRecords(const ProcessorTopology& topology);

}  // namespace host::linux_proc
