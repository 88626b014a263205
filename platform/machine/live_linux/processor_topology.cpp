#include "processor_topology.h"

#include "proc_files.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace host::linux_proc {

namespace {

std::optional<std::vector<unsigned>> ReadCpuList(const std::string& path, std::string& text) {
    if (!ReadFile(path, text)) return std::nullopt;
    return ParseCpuList(text);
}

// The CPUs sharing something with `cpu`, by the first of `names` that the
// kernel provides (newer names first).
std::vector<unsigned> Siblings(const std::string& cpuDir, std::initializer_list<const char*> names, unsigned cpu,
                               std::string& text) {
    for (const char* name : names) {
        if (auto list = ReadCpuList(cpuDir + "/topology/" + name, text)) return *list;
    }
    return {cpu};  // no topology: the CPU stands alone
}

void AddGroup(std::vector<std::vector<unsigned>>& groups, std::vector<unsigned> group) {
    if (std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(std::move(group));
}

std::vector<unsigned> OnlineCpus(const std::string& cpuRoot, std::string& text) {
    if (auto online = ReadCpuList(cpuRoot + "/online", text)) return *online;
    const long count = sysconf(_SC_NPROCESSORS_ONLN);
    std::vector<unsigned> cpus;
    for (long cpu = 0; cpu < std::max(count, 1L); ++cpu) cpus.push_back(static_cast<unsigned>(cpu));
    return cpus;
}

}  // namespace

ProcessorTopology ReadProcessorTopology(const LinuxRoots& roots) {
    ProcessorTopology topology;
    std::string text;
    const std::string cpuRoot = roots.sys + "/devices/system/cpu";
    topology.online = OnlineCpus(cpuRoot, text);
    for (unsigned cpu : topology.online) {
        const std::string cpuDir = cpuRoot + "/cpu" + std::to_string(cpu);
        AddGroup(topology.cores, Siblings(cpuDir, {"core_cpus_list", "thread_siblings_list"}, cpu, text));
        AddGroup(topology.packages, Siblings(cpuDir, {"package_cpus_list", "core_siblings_list"}, cpu, text));
    }
    if (ReadFile(roots.proc + "/cpuinfo", text)) topology.identity = ParseCpuIdentity(text);
    return topology;
}

ULONG_PTR ProcessorMask(const std::vector<unsigned>& cpus) {
    ULONG_PTR mask = 0;
    for (unsigned cpu : cpus) {
        if (cpu < 64) mask |= ULONG_PTR{1} << cpu;
    }
    return mask;
}

std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> LogicalProcessorRecords(const ProcessorTopology& topology) {
    constexpr BYTE kSimultaneousThreads = 1;  // LTP_PC_SMT: a core with more than one logical CPU
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records;
    for (const auto& core : topology.cores) {
        SYSTEM_LOGICAL_PROCESSOR_INFORMATION record{};
        record.ProcessorMask = ProcessorMask(core);
        if (record.ProcessorMask == 0) continue;  // wholly outside the first group
        record.Relationship = RelationProcessorCore;
        record.ProcessorCore.Flags = core.size() > 1 ? kSimultaneousThreads : 0;
        records.push_back(record);
    }
    for (const auto& package : topology.packages) {
        SYSTEM_LOGICAL_PROCESSOR_INFORMATION record{};
        record.ProcessorMask = ProcessorMask(package);
        if (record.ProcessorMask == 0) continue;
        record.Relationship = RelationProcessorPackage;
        records.push_back(record);
    }
    return records;
}

}  // namespace host::linux_proc
