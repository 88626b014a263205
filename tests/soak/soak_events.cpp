#include "soak_events.h"

#include <winternl.h>

#include <nt/system_information.h>

#include <algorithm>
#include <array>
#include <vector>

namespace soak {

namespace {

constexpr std::array<ULONG, 7> kQueries = {SystemBasicInformation,        SystemPerformanceInformation,
                                           SystemTimeOfDayInformation,    SystemProcessInformation,
                                           nt::SystemPageFileInformation, nt::SystemFileCacheInformation,
                                           nt::SystemMemoryListInformation};

constexpr std::array<NTSTATUS, 6> kFailures = {STATUS_UNSUCCESSFUL,   STATUS_INFO_LENGTH_MISMATCH,
                                               STATUS_ACCESS_DENIED,  STATUS_NO_MEMORY,
                                               STATUS_INVALID_INFO_CLASS, STATUS_NOT_IMPLEMENTED};

constexpr std::array<PDH_STATUS, 4> kCounterFailures = {
    static_cast<PDH_STATUS>(PDH_NO_DATA), static_cast<PDH_STATUS>(PDH_INVALID_DATA),
    static_cast<PDH_STATUS>(PDH_CSTATUS_INVALID_DATA), static_cast<PDH_STATUS>(PDH_INVALID_HANDLE)};

// Names a process can give itself to disguise itself or its neighbours.
const std::array<const wchar_t*, 12> kNames = {
    L"%s%n%x%p",          L"tab\there",        L"two\nlines",     L") (",
    L"\u202Eexe.txt",     L"\u2066isolated",   L"zero\u200Bwidth", L"bad\xDCFF byte",
    L"Memory Compression", L"",                 L"long name of a process that goes on and on and on",
    L"[1234]"};

}  // namespace

void Events::ScriptFailures(host::ScriptedSystemState& state) {
    FailQueries(state);
    FailOthers(state);
    if (Chance(0.01)) ScrambleFigures(state);
}

void Events::FailQueries(host::ScriptedSystemState& state) {
    for (ULONG infoClass : kQueries) {
        host::ScriptedQuery& query = state.Query(infoClass);
        query.upcoming.clear();
        query.returnedLength.reset();
        if (Chance(0.03)) {
            query.upcoming.push_back(kFailures[static_cast<std::size_t>(Between(0, static_cast<int>(kFailures.size()) - 1))]);
            ++failuresScripted;
        }
        if (Chance(0.005)) {
            // A length that is not the record's: short, zero or absurd.
            const ULONG lengths[] = {0, 1, query.recordLength / 2, 0x7FFFFFFF, 0xFFFFFFFF};
            query.returnedLength = lengths[Between(0, 4)];
            ++failuresScripted;
        }
    }
}

void Events::FailOthers(host::ScriptedSystemState& state) {
    state.memoryStatusError = Chance(0.02) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    state.upcomingCollects.clear();
    if (Chance(0.03)) state.upcomingCollects.push_back(kCounterFailures[static_cast<std::size_t>(Between(0, 3))]);
    for (host::ScriptedCounter& counter : state.counters) {
        counter.readStatus = Chance(0.01) ? kCounterFailures[static_cast<std::size_t>(Between(0, 3))] : ERROR_SUCCESS;
    }
    if (Chance(0.03)) {
        state.failAllocationNumbers.insert(state.allocationsCounted + 1 + static_cast<std::uint64_t>(Between(0, 8)));
        ++failuresScripted;
    }
    // Allocations already counted can fail no more.
    state.failAllocationNumbers.erase(state.failAllocationNumbers.begin(),
                                      state.failAllocationNumbers.upper_bound(state.allocationsCounted));
    for (host::ScriptedProcess& process : state.processes) {
        if (process.record.pid == state.selfPid) continue;
        process.opens = !Chance(0.01);
        process.vmCountersStatus.reset();
        if (Chance(0.01)) process.vmCountersStatus = STATUS_ACCESS_DENIED;
        process.emptyWorkingSetError = Chance(0.05) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    }
}

void Events::ScrambleFigures(host::ScriptedSystemState& state) {
    ++failuresScripted;
    if (Chance(0.5)) {
        // Back to figures that add up.
        state.basic = defaults_.basic;
        state.performance = defaults_.performance;
        state.fileCache = defaults_.fileCache;
        state.memoryList = defaults_.memoryList;
        state.memoryStatus = defaults_.memoryStatus;
        return;
    }
    const std::uint64_t extremes[] = {0, 1, 0xFFFFFFFFull, 0x100000000ull, ~0ull, Any64()};
    auto pick = [&] { return extremes[Between(0, 5)]; };
    state.basic.NumberOfPhysicalPages = static_cast<ULONG>(pick());
    state.basic.PageSize = static_cast<ULONG>(Chance(0.5) ? 4096 : pick());
    state.performance.AvailablePages = static_cast<ULONG>(pick());
    state.performance.CommittedPages = static_cast<ULONG>(pick());
    state.fileCache.CurrentSize = static_cast<SIZE_T>(pick());
    state.fileCache.PeakSize = static_cast<SIZE_T>(pick());
    for (auto& count : state.memoryList.PageCountByPriority) count = static_cast<decltype(+count)>(pick());
    state.memoryList.ZeroPageCount = static_cast<decltype(+state.memoryList.ZeroPageCount)>(pick());
    state.memoryList.ModifiedPageCount = static_cast<decltype(+state.memoryList.ModifiedPageCount)>(pick());
    state.memoryStatus.ullTotalPhys = pick();
    state.memoryStatus.ullAvailPhys = pick();
}

std::wstring Events::ProcessName() { return kNames[static_cast<std::size_t>(Between(0, static_cast<int>(kNames.size()) - 1))]; }

void Events::ChurnProcesses(host::ScriptedSystemState& state) {
    if (Chance(0.05) && state.processes.size() < 200) {
        host::ScriptedProcess process;
        // Ids are reused now and then, as the kernel reuses them.
        process.record.pid = Chance(0.3) ? static_cast<DWORD>(10000 + Between(0, 63)) : nextPid_++;
        if (state.FindProcess(process.record.pid) != nullptr) return;
        process.record.imageName = ProcessName();
        process.record.creationTime = Any64() >> 8;
        process.record.vm.WorkingSetSize = static_cast<SIZE_T>(Any64() >> Between(0, 63));
        state.processes.push_back(process);
        ++processesStarted;
    }
    if (Chance(0.05)) {
        // Only those started here: never the idle process, the system or
        // the program itself.
        std::vector<std::size_t> started;
        for (std::size_t i = 0; i < state.processes.size(); ++i)
            if (state.processes[i].record.pid >= 10000 && state.processes[i].record.pid != state.selfPid)
                started.push_back(i);
        if (started.empty()) return;
        const std::size_t chosen = started[static_cast<std::size_t>(Between(0, static_cast<int>(started.size()) - 1))];
        state.processes.erase(state.processes.begin() + static_cast<std::ptrdiff_t>(chosen));
        ++processesEnded;
    }
}

nlohmann::json Events::UserStep(const View& view) {
    if (!Chance(0.02)) return nullptr;
    ++userSteps;
    if (view.minimised) return {{"restore", nlohmann::json::object()}};
    switch (Between(0, 9)) {
    case 0: {
        const int sizes[][2] = {{0, 0}, {-40, -30}, {1, 1}, {Between(100, 1600), Between(100, 1200)}, {820, 640}};
        const auto& size = sizes[Between(0, 4)];
        return {{"resize", {{"width", size[0]}, {"height", size[1]}}}};
    }
    case 1: return {{"minimize", nlohmann::json::object()}};
    case 2: return {{"click", view.visibleToggle}};
    case 3: return {{"dropdown", 1022}};
    case 4: return {{"choose", {{"id", 1022}, {"index", Between(0, std::max(0, view.targetItems - 1))}}}};
    case 5: return {{"click", 1026}};  // Flush TargetWS
    case 6: return {{"click", Between(1020, 1021)}};
    case 7: return {{"click", Between(1023, 1024)}};
    case 8: return {{"syscommand", 16 * Between(1, 4)}};
    default: return {{"click", Between(1015, 1016)}};  // the cache maximum, halved or doubled
    }
}

}  // namespace soak
