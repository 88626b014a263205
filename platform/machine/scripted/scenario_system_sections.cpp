// Sections of the "machine" object about the program's own process, memory
// commands, memory status, processors, version, file-cache limits and heap.

#include "logical_processors.h"
#include "record_fields.h"
#include "scenario_sections.h"

#include <nt/system_information.h>

#include <array>
#include <cstring>
#include <string_view>

namespace host::scenario {

namespace {

DWORD U32(const Node& n) { return static_cast<DWORD>(ReadUnsigned(n, 32)); }

// Memory-list commands by name (as the native headers call them) or number.
std::optional<ULONG> MemoryListCommand(const std::string& key) {
    static constexpr std::array<std::string_view, nt::MemoryCommandMax> kNames = {
        "MemoryCaptureAccessedBits", "MemoryCaptureAndResetAccessedBits", "MemoryEmptyWorkingSets",
        "MemoryFlushModifiedList",   "MemoryPurgeStandbyList",            "MemoryPurgeLowPriorityStandbyList",
    };
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (key == kNames[i] || key == std::to_string(i)) return static_cast<ULONG>(i);
    return std::nullopt;
}

std::optional<LOGICAL_PROCESSOR_RELATIONSHIP> Relationship(const Node& node) {
    static constexpr std::array<std::string_view, 5> kNames = {
        "RelationProcessorCore", "RelationNumaNode", "RelationCache", "RelationProcessorPackage", "RelationGroup"};
    if (node.Json().is_string()) {
        for (std::size_t i = 0; i < kNames.size(); ++i)
            if (node.Json().get<std::string>() == kNames[i]) return static_cast<LOGICAL_PROCESSOR_RELATIONSHIP>(i);
        return std::nullopt;
    }
    return static_cast<LOGICAL_PROCESSOR_RELATIONSHIP>(ReadUnsigned(node, 16));
}

SYSTEM_LOGICAL_PROCESSOR_INFORMATION ReadProcessorRecord(const Node& node) {
    SYSTEM_LOGICAL_PROCESSOR_INFORMATION r{};
    node.Dispatch({
        {"processorMask", [&](const Node& n) { r.ProcessorMask = ReadUnsigned(n, 64); }},
        {"relationship",
         [&](const Node& n) {
             const auto relation = Relationship(n);
             if (!relation) n.Fail("expected RelationProcessorCore, RelationNumaNode, RelationCache, "
                                   "RelationProcessorPackage, RelationGroup or a number");
             r.Relationship = *relation;
         }},
        {"flags", [&](const Node& n) { r.ProcessorCore.Flags = static_cast<BYTE>(ReadUnsigned(n, 8)); }},
        {"nodeNumber", [&](const Node& n) { r.NumaNode.NodeNumber = U32(n); }},
    });
    return r;
}

}  // namespace

void ApplySelf(const Node& node, ScriptedSystemState& s) {
    node.Dispatch({
        {"pid", [&](const Node& n) { s.selfPid = U32(n); }},
        {"threadId", [&](const Node& n) { s.selfThreadId = U32(n); }},
    });
}

void ApplyMemoryListCommands(const Node& node, ScriptedSystemState& s) {
    node.ForEachMember([&](const std::string& key, const Node& n) {
        const std::optional<ULONG> command = MemoryListCommand(key);
        if (!command) n.Fail("not a memory-list command (MemoryEmptyWorkingSets, MemoryFlushModifiedList, "
                             "MemoryPurgeStandbyList, MemoryPurgeLowPriorityStandbyList...)");
        if (n.IsNull()) s.memoryListCommands.erase(*command);
        else s.memoryListCommands[*command] = ReadNtStatus(n);
    });
}

void ApplyMemoryStatus(const Node& node, ScriptedSystemState& s) {
    node.Dispatch({
        {"error", [&](const Node& n) { s.memoryStatusError = ReadWin32Error(n); }},
        {"record", [&](const Node& n) { ApplyRecord(n, &s.memoryStatus, MemoryStatusFields()); }},
    });
}

void ApplySystemInfo(const Node& node, ScriptedSystemState& s) {
    node.Dispatch({{"record", [&](const Node& n) { ApplyRecord(n, &s.systemInfo, SystemInfoFields()); }}});
}

void ApplyLogicalProcessors(const Node& node, ScriptedSystemState& s) {
    unsigned cores = 0, threads = 1;
    bool generate = false;
    node.Dispatch({
        {"error", [&](const Node& n) { s.logicalProcessorsError = ReadWin32Error(n); }},
        {"cores", [&](const Node& n) { cores = static_cast<unsigned>(ReadUnsigned(n, 16)); generate = true; }},
        {"threadsPerCore",
         [&](const Node& n) { threads = static_cast<unsigned>(ReadUnsigned(n, 8)); generate = true; }},
        {"records",
         [&](const Node& n) {
             s.logicalProcessors.clear();
             n.ForEachElement([&](const Node& e) { s.logicalProcessors.push_back(ReadProcessorRecord(e)); });
         }},
    });
    if (generate && node.Json().contains("records"))
        node.Member("records").Fail("give either cores and threadsPerCore, or records");
    if (generate) {
        if (!node.Json().contains("cores")) node.Fail("threadsPerCore needs cores");
        s.logicalProcessors = MakeLogicalProcessors(cores, threads);
    }
}

void ApplyVersion(const Node& node, ScriptedSystemState& s) {
    node.Dispatch({
        {"error", [&](const Node& n) { s.versionError = ReadWin32Error(n); }},
        {"record", [&](const Node& n) { ApplyRecord(n, &s.version, VersionFields()); }},
        {"servicePack",
         [&](const Node& n) {
             const std::wstring text = ReadText(n);
             constexpr std::size_t kCapacity = sizeof s.version.szCSDVersion / sizeof(WCHAR);
             if (text.size() >= kCapacity) n.Fail("at most " + std::to_string(kCapacity - 1) + " characters");
             std::memset(s.version.szCSDVersion, 0, sizeof s.version.szCSDVersion);
             std::memcpy(s.version.szCSDVersion, text.data(), text.size() * sizeof(WCHAR));
         }},
    });
}

void ApplyCacheLimits(const Node& node, ScriptedSystemState& s) {
    node.Dispatch({
        {"functions",
         [&](const Node& n) {
             std::set<std::string>& exports = s.modules["kernel32.dll"].exports;
             for (const char* name : {"GetSystemFileCacheSize", "SetSystemFileCacheSize"}) {
                 if (ReadBool(n)) exports.insert(name);
                 else exports.erase(name);
             }
         }},
        {"minimum", [&](const Node& n) { s.cacheMinimum = ReadUnsigned(n, 64); }},
        {"maximum", [&](const Node& n) { s.cacheMaximum = ReadUnsigned(n, 64); }},
        {"flags", [&](const Node& n) { s.cacheFlags = U32(n); }},
        {"getError", [&](const Node& n) { s.cacheGetError = ReadWin32Error(n); }},
        {"setError", [&](const Node& n) { s.cacheSetError = ReadWin32Error(n); }},
    });
}

void ApplyHeap(const Node& node, ScriptedSystemState& s) {
    // Allocations are counted afresh from here: "failAt": [1] is the next one.
    s.allocationsCounted = 0;
    node.Dispatch({
        {"failAt",
         [&](const Node& n) {
             s.failAllocationNumbers.clear();
             n.ForEachElement([&](const Node& e) {
                 const std::uint64_t number = ReadUnsigned(e, 64);
                 if (number == 0) e.Fail("allocations are counted from 1");
                 s.failAllocationNumbers.insert(number);
             });
         }},
        {"failSizes",
         [&](const Node& n) {
             s.failAllocationSizes.clear();
             n.ForEachElement([&](const Node& e) { s.failAllocationSizes.insert(ReadUnsigned(e, 64)); });
         }},
    });
}

}  // namespace host::scenario
