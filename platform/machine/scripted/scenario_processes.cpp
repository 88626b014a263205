// The "processes" section: the whole list, or changes to it by process id.
//
//   "processes": [ {...}, {...} ]                  the list, replaced
//   "processes": { "list": [...],                  the same
//                  "update": [ {"pid": 4321, ...} ], changes (or additions) by id
//                  "remove": [ 4321 ] }             processes that exit

#include "record_fields.h"
#include "scenario_sections.h"

#include <algorithm>

namespace host::scenario {

namespace {

DWORD U32(const Node& n) { return static_cast<DWORD>(ReadUnsigned(n, 32)); }

void ApplyProcessFields(const Node& node, ScriptedProcess& p) {
    ProcessRecord& r = p.record;
    node.Dispatch({
        {"pid", [&](const Node& n) { r.pid = U32(n); }},
        {"parentPid", [&](const Node& n) { r.parentPid = U32(n); }},
        {"name", [&](const Node& n) { r.imageName = ReadText(n); }},
        {"creationTime", [&](const Node& n) { r.creationTime = ReadFileTime(n); }},
        {"threads", [&](const Node& n) { r.threadCount = U32(n); }},
        {"handles", [&](const Node& n) { r.handleCount = U32(n); }},
        {"sessionId", [&](const Node& n) { r.sessionId = U32(n); }},
        {"basePriority", [&](const Node& n) { r.basePriority = static_cast<LONG>(ReadSigned(n, 32)); }},
        {"vm", [&](const Node& n) { ApplyRecord(n, &r.vm, VmCounterFields()); }},
        {"opens", [&](const Node& n) { p.opens = ReadBool(n); }},
        {"allowedAccess", [&](const Node& n) { p.allowedAccess = U32(n); }},
        {"openError", [&](const Node& n) { p.openError = ReadWin32Error(n); }},
        {"vmCountersStatus",
         [&](const Node& n) {
             p.vmCountersStatus = n.IsNull() ? std::nullopt : std::optional<NTSTATUS>(ReadNtStatus(n));
         }},
        {"emptyWorkingSetError", [&](const Node& n) { p.emptyWorkingSetError = ReadWin32Error(n); }},
        // Handled after the others, so that it also lifts a peak set with it.
        {"workingSet", [](const Node&) {}},
    });
    if (node.Json().contains("workingSet")) {
        r.vm.WorkingSetSize = ReadUnsigned(node.Member("workingSet"), 64);
        r.vm.PeakWorkingSetSize = std::max(r.vm.PeakWorkingSetSize, r.vm.WorkingSetSize);
    }
}

DWORD RequiredPid(const Node& node) {
    node.RequireObject();
    if (!node.Json().contains("pid")) node.Fail("a process needs a \"pid\"");
    return U32(node.Member("pid"));
}

void ReplaceList(const Node& node, ScriptedSystemState& s) {
    std::vector<ScriptedProcess> list;
    node.ForEachElement([&](const Node& e) {
        const DWORD pid = RequiredPid(e);
        for (const ScriptedProcess& p : list)
            if (p.record.pid == pid) e.Member("pid").Fail("process " + std::to_string(pid) + " is listed twice");
        ScriptedProcess p;
        ApplyProcessFields(e, p);
        list.push_back(std::move(p));
    });
    s.processes = std::move(list);
}

void UpdateProcesses(const Node& node, ScriptedSystemState& s) {
    node.ForEachElement([&](const Node& e) {
        ScriptedProcess* p = s.FindProcess(RequiredPid(e));
        if (!p) {
            s.processes.emplace_back();
            p = &s.processes.back();
        }
        ApplyProcessFields(e, *p);
    });
}

void RemoveProcesses(const Node& node, ScriptedSystemState& s) {
    node.ForEachElement([&](const Node& e) {
        const DWORD pid = U32(e);
        auto it = std::find_if(s.processes.begin(), s.processes.end(),
                               [pid](const ScriptedProcess& p) { return p.record.pid == pid; });
        if (it == s.processes.end()) e.Fail("no process " + std::to_string(pid) + " to remove");
        s.processes.erase(it);
    });
}

}  // namespace

void ApplyProcesses(const Node& node, ScriptedSystemState& s) {
    if (node.Json().is_array()) {
        ReplaceList(node, s);
        return;
    }
    node.Dispatch({
        {"list", [&](const Node& n) { ReplaceList(n, s); }},
        {"update", [&](const Node& n) { UpdateProcesses(n, s); }},
        {"remove", [&](const Node& n) { RemoveProcesses(n, s); }},
    });
}

}  // namespace host::scenario
