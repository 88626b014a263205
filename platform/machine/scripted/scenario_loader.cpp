// The "machine" object of a scenario: the clock, the display, message-box
// answers, and the kernel's records, processes and modules. The token,
// registry, services, counters and the rest are read in
// scenario_loader_services.cpp.

#include "scenario_loader.h"

#include "logical_processors.h"
#include "record_fields.h"
#include "scenario_sections.h"

#include <algorithm>

namespace host::scenario {

namespace {

DWORD U32(const Node& n) { return static_cast<DWORD>(ReadUnsigned(n, 32)); }

// ---- the machine's clock, display and modal answers ---------------------------

void ApplyClock(const Node& node, MachineSettings& s) {
    node.Dispatch({
        {"startTick",
         [&](const Node& n) {
             if (s.clockHasTimers) n.Fail("the clock cannot restart while timers run on it");
             s.startTick = U32(n);
         }},
        {"utcAtBoot", [&](const Node& n) { s.utcAtBoot = ReadFileTime(n); }},
    });
}

Machine::ModalAnswer ReadModalAnswer(const Node& node, Machine::ModalAnswer answer) {
    node.Dispatch({
        {"result", [&](const Node& n) { answer.result = ReadDialogResult(n); }},
        {"openMs", [&](const Node& n) { answer.openMs = U32(n); }},
    });
    return answer;
}

void ApplyMessageBoxes(const Node& node, MachineSettings& s) {
    node.Dispatch({
        {"answers",
         [&](const Node& n) {
             s.answers.clear();
             n.ForEachElement([&](const Node& e) { s.answers.push_back(ReadModalAnswer(e, {})); });
         }},
        {"defaultAnswer", [&](const Node& n) { s.defaultAnswer = ReadModalAnswer(n, s.defaultAnswer); }},
    });
}

// ---- modules ------------------------------------------------------------------

void ApplyModule(const Node& node, ScriptedModule& module) {
    node.Dispatch({
        {"loads", [&](const Node& n) { module.loads = ReadBool(n); }},
        {"exports",
         [&](const Node& n) {
             n.ForEachElement([&](const Node& e) {
                 if (!e.Json().is_string()) e.Fail("expected an export name");
                 module.exports.insert(e.Json().get<std::string>());
             });
         }},
        {"missing",
         [&](const Node& n) {
             n.ForEachElement([&](const Node& e) {
                 if (!e.Json().is_string()) e.Fail("expected an export name");
                 module.exports.erase(e.Json().get<std::string>());
             });
         }},
    });
}

void ApplyModules(const Node& node, ScriptedSystemState& s) {
    node.ForEachMember([&](const std::string& key, const Node& n) {
        const std::wstring wide = CanonicalModuleName(Widen(key));
        if (key.empty()) n.Fail("a module needs a name");
        const std::string name(wide.begin(), wide.end());
        auto it = s.modules.find(name);
        if (it == s.modules.end()) it = s.modules.emplace(name, ScriptedModule{true, {}}).first;
        ApplyModule(n, it->second);
    });
}

// ---- native queries -------------------------------------------------------------

// The keys every information class takes, besides its own.
Node::Handlers QueryHandlers(ScriptedQuery& q) {
    return {
        {"recordLength", [&q](const Node& n) { q.recordLength = U32(n); }},
        {"status",
         [&q](const Node& n) { q.status = n.IsNull() ? std::nullopt : std::optional<NTSTATUS>(ReadNtStatus(n)); }},
        {"returnedLength",
         [&q](const Node& n) { q.returnedLength = n.IsNull() ? std::nullopt : std::optional<ULONG>(U32(n)); }},
        {"upcoming",
         [&q](const Node& n) {
             q.upcoming.clear();
             n.ForEachElement([&](const Node& e) { q.upcoming.push_back(ReadNtStatus(e)); });
         }},
    };
}

void ApplyQueryClass(const Node& node, ScriptedQuery& query, void* record, std::span<const FieldSpec> fields) {
    auto handlers = QueryHandlers(query);
    if (record) handlers.push_back({"record", [&](const Node& n) { ApplyRecord(n, record, fields); }});
    node.Dispatch(handlers);
}

ScriptedPageFile ReadPageFile(const Node& node) {
    ScriptedPageFile f;
    node.Dispatch({
        {"name", [&](const Node& n) { f.file.name = ReadText(n); }},
        {"totalPages", [&](const Node& n) { f.file.totalPages = U32(n); }},
        {"pagesInUse", [&](const Node& n) { f.file.pagesInUse = U32(n); }},
        {"peakPagesInUse", [&](const Node& n) { f.file.peakPagesInUse = U32(n); }},
        {"nextEntryOffset", [&](const Node& n) { f.nextEntryOffset = U32(n); }},
    });
    return f;
}

// "afterAllEntries" (this host's layout) or "afterEachEntry" (Windows's).
PageFileNames ReadPageFileNames(const Node& node) {
    const std::wstring text = ReadText(node);
    if (text == L"afterAllEntries") return PageFileNames::AfterAllEntries;
    if (text == L"afterEachEntry") return PageFileNames::AfterEachEntry;
    node.Fail("expected \"afterAllEntries\" or \"afterEachEntry\"");
}

void ApplyPageFiles(const Node& node, ScriptedSystemState& s) {
    auto handlers = QueryHandlers(s.Query(nt::SystemPageFileInformation));
    handlers.push_back({"files", [&](const Node& n) {
                            s.pageFiles.clear();
                            n.ForEachElement([&](const Node& e) { s.pageFiles.push_back(ReadPageFile(e)); });
                        }});
    handlers.push_back({"names", [&](const Node& n) { s.pageFileNames = ReadPageFileNames(n); }});
    node.Dispatch(handlers);
}

}  // namespace

// ---- the whole object -----------------------------------------------------------

void ApplyMachineObject(const Node& machine, MachineSettings& settings) {
    ScriptedSystemState& s = settings.system;
    machine.Dispatch({
        {"clock", [&](const Node& n) { ApplyClock(n, settings); }},
        {"display", [&](const Node& n) { n.Dispatch({{"dpi", [&](const Node& d) {
                                                          settings.dotsPerInch = static_cast<int>(ReadUnsigned(d, 16));
                                                      }}}); }},
        {"timers", [&](const Node& n) { n.Dispatch({{"refused", [&](const Node& r) {
                                                         settings.timersRefused = ReadBool(r);
                                                     }}}); }},
        {"messageBoxes", [&](const Node& n) { ApplyMessageBoxes(n, settings); }},
        {"self", [&](const Node& n) { ApplySelf(n, s); }},
        {"bootTime",
         [&](const Node& n) { s.bootTime = n.IsNull() ? std::nullopt : std::optional<ULONGLONG>(ReadFileTime(n)); }},
        {"modules", [&](const Node& n) { ApplyModules(n, s); }},
        {"basic",
         [&](const Node& n) { ApplyQueryClass(n, s.Query(SystemBasicInformation), &s.basic, BasicFields()); }},
        {"performance",
         [&](const Node& n) {
             ApplyQueryClass(n, s.Query(SystemPerformanceInformation), &s.performance, PerformanceFields());
         }},
        {"timeOfDay",
         [&](const Node& n) {
             ApplyQueryClass(n, s.Query(SystemTimeOfDayInformation), &s.timeOfDay, TimeOfDayFields());
         }},
        {"fileCache",
         [&](const Node& n) {
             ApplyQueryClass(n, s.Query(nt::SystemFileCacheInformation), &s.fileCache, FileCacheFields());
         }},
        {"memoryList",
         [&](const Node& n) {
             ApplyQueryClass(n, s.Query(nt::SystemMemoryListInformation), &s.memoryList, MemoryListFields());
         }},
        {"pageFiles", [&](const Node& n) { ApplyPageFiles(n, s); }},
        {"processList",
         [&](const Node& n) { ApplyQueryClass(n, s.Query(SystemProcessInformation), nullptr, {}); }},
        {"processes", [&](const Node& n) { ApplyProcesses(n, s); }},
        {"memoryListCommands", [&](const Node& n) { ApplyMemoryListCommands(n, s); }},
        {"memoryStatus", [&](const Node& n) { ApplyMemoryStatus(n, s); }},
        {"systemInfo", [&](const Node& n) { ApplySystemInfo(n, s); }},
        {"logicalProcessors", [&](const Node& n) { ApplyLogicalProcessors(n, s); }},
        {"version", [&](const Node& n) { ApplyVersion(n, s); }},
        {"cacheLimits", [&](const Node& n) { ApplyCacheLimits(n, s); }},
        {"token", [&](const Node& n) { ApplyToken(n, s); }},
        {"registry", [&](const Node& n) { ApplyRegistry(n, s); }},
        {"serviceManager",
         [&](const Node& n) {
             n.Dispatch({{"openError", [&](const Node& e) { s.serviceManagerError = ReadWin32Error(e); }}});
         }},
        {"services", [&](const Node& n) { ApplyServices(n, s); }},
        {"counters", [&](const Node& n) { ApplyCounters(n, s); }},
        {"heap", [&](const Node& n) { ApplyHeap(n, s); }},
    });
}

}  // namespace host::scenario
