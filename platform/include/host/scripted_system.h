#pragma once
// The kernel side of the ScriptedMachine: every figure, status, returned
// length, process, privilege, registry value, service, counter and failure
// the system services answer, held as plain data that tests edit directly
// and scenario files describe (docs/scenarios.md).
//
// Host-only: the system's own code never includes this header.

#include "host/system_services.h"

#include <nt/process_information.h>
#include <nt/system_information.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace host {

// How one native information class answers, beyond its record.
struct ScriptedQuery {
    // The record's length on this machine; a shorter buffer is refused with
    // STATUS_INFO_LENGTH_MISMATCH and this length (classes with a record).
    ULONG recordLength = 0;
    // Answered instead of the usual status. A negative one fills nothing and
    // reports a returned length of 0 unless returnedLength says otherwise.
    std::optional<NTSTATUS> status;
    // Reported instead of the true length.
    std::optional<ULONG> returnedLength;
    // Answered first, one per call, before `status` or the usual answer.
    std::deque<NTSTATUS> upcoming;
    // The buffer length of every call so far, in order.
    std::vector<ULONG> lengthsAsked;
};

struct ScriptedProcess {
    ProcessRecord record;
    bool opens = true;
    // The rights an open may ask for; asking for more is refused.
    DWORD allowedAccess = PROCESS_ALL_ACCESS;
    DWORD openError = ERROR_ACCESS_DENIED;  // what a refused open reports
    std::optional<NTSTATUS> vmCountersStatus;  // answered instead of the counters
    DWORD emptyWorkingSetError = ERROR_SUCCESS;
};

struct ScriptedPageFile {
    PageFileRecord file;
    std::optional<ULONG> nextEntryOffset;  // written instead of the true offset
};

struct ScriptedModule {
    bool loads = true;
    std::set<std::string> exports;  // exact names, as GetProcAddress matches them
};

struct ScriptedPrivilege {
    std::wstring name;
    bool held = true;
    bool enabled = false;
    DWORD lookupError = ERROR_SUCCESS;  // LookupPrivilegeValueW fails with this
};

struct ScriptedRegistryValue {
    DWORD type = REG_DWORD;
    std::vector<BYTE> data;
};

struct ScriptedRegistryKey {
    std::wstring path;  // with its hive: "HKEY_LOCAL_MACHINE\SYSTEM\..."
    DWORD openError = ERROR_SUCCESS;
    std::map<std::wstring, ScriptedRegistryValue> values;  // names lower-case
};

struct ScriptedService {
    std::wstring name;
    DWORD state = SERVICE_RUNNING;
    DWORD openError = ERROR_SUCCESS;
    DWORD queryError = ERROR_SUCCESS;
};

struct ScriptedCounter {
    std::wstring path;
    LONGLONG value = 0;
    PDH_STATUS addStatus = ERROR_SUCCESS;
    PDH_STATUS readStatus = ERROR_SUCCESS;
};

struct ScriptedSystemState {
    // ---- the program's own process ----
    DWORD selfPid = 4444;
    DWORD selfThreadId = 4448;

    // ---- modules ----
    std::map<std::string, ScriptedModule> modules;  // lower-case names

    // ---- native queries ----
    nt::SYSTEM_BASIC_INFORMATION basic{};
    nt::SYSTEM_PERFORMANCE_INFORMATION performance{};
    nt::SYSTEM_TIMEOFDAY_INFORMATION timeOfDay{};  // boot and current time are filled in
    nt::SYSTEM_FILECACHE_INFORMATION fileCache{};
    nt::SYSTEM_MEMORY_LIST_INFORMATION_EX memoryList{};
    std::vector<ScriptedPageFile> pageFiles;
    PageFileNames pageFileNames = PageFileNames::AfterAllEntries;  // where their names lie
    std::vector<ScriptedProcess> processes;
    std::map<ULONG, ScriptedQuery> queries;  // by information class
    // Statuses of the memory-list commands (class 80), by command; others succeed.
    std::map<ULONG, NTSTATUS> memoryListCommands;

    // ---- memory, processors, version, time ----
    MEMORYSTATUSEX memoryStatus{};
    DWORD memoryStatusError = ERROR_SUCCESS;
    SYSTEM_INFO systemInfo{};
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> logicalProcessors;
    DWORD logicalProcessorsError = ERROR_SUCCESS;
    OSVERSIONINFOEXW version{};
    DWORD versionError = ERROR_SUCCESS;
    std::optional<ULONGLONG> bootTime;  // unset: the time at tick 0

    // ---- file cache limits (bytes) ----
    SIZE_T cacheMinimum = 0;
    SIZE_T cacheMaximum = 0;
    DWORD cacheFlags = 0;
    DWORD cacheGetError = ERROR_SUCCESS;
    DWORD cacheSetError = ERROR_SUCCESS;

    // ---- token ----
    DWORD tokenOpenError = ERROR_SUCCESS;
    DWORD adjustError = ERROR_SUCCESS;
    std::vector<ScriptedPrivilege> privileges;

    // ---- registry and services ----
    std::vector<ScriptedRegistryKey> registry;
    DWORD serviceManagerError = ERROR_SUCCESS;
    std::vector<ScriptedService> services;

    // ---- performance counters ----
    PDH_STATUS counterQueryStatus = ERROR_SUCCESS;
    PDH_STATUS collectStatus = ERROR_SUCCESS;
    std::deque<PDH_STATUS> upcomingCollects;
    std::vector<ScriptedCounter> counters;

    // ---- the process heap ----
    std::set<std::uint64_t> failAllocationNumbers;  // 1 = the first allocation counted
    std::set<SIZE_T> failAllocationSizes;
    std::uint64_t allocationsCounted = 0;

    // Finders, by the names the program uses (letter case ignored).
    ScriptedProcess* FindProcess(DWORD pid);
    ScriptedPrivilege* FindPrivilege(std::wstring_view name);
    ScriptedService* FindService(std::wstring_view name);
    ScriptedCounter* FindCounter(std::wstring_view path);
    ScriptedRegistryKey* FindRegistryKey(std::wstring_view path);
    ScriptedQuery& Query(ULONG infoClass) { return queries[infoClass]; }
};

// A machine as a Windows 10 computer with 8 GiB of memory shows it: all five
// modules with the exports the program resolves, records whose figures add
// up, a handful of processes (the idle process, the system, memory
// compression, the program itself...), an elevated token, the prefetch
// setting and service, the seven memory counters.
ScriptedSystemState DefaultScriptedSystem();

// The exports each of the program's modules has on such a machine.
const std::set<std::string>& DefaultExports(std::string_view module);

class ScriptedSystem : public SystemServices {
public:
    // `now` gives the machine's UTC time (FILETIME form): the current time of
    // the time-of-day record and the default boot time come from it.
    ScriptedSystem(std::function<ULONGLONG()> now, std::function<ULONGLONG()> bootOfClock);

    ScriptedSystemState& State() { return state_; }
    const ScriptedSystemState& State() const { return state_; }

    bool ModuleLoads(std::wstring_view module) override;
    bool HasExport(std::wstring_view module, std::string_view name) override;
    NativeResult QuerySystemInformation(ULONG infoClass, void* buffer, ULONG length) override;
    NTSTATUS SetSystemInformation(ULONG infoClass, const void* data, ULONG length) override;
    DWORD CurrentProcessId() override { return state_.selfPid; }
    DWORD CurrentThreadId() override { return state_.selfThreadId; }
    std::vector<ProcessRecord> Processes() override;
    DWORD OpenProcessById(DWORD pid, DWORD access, ProcessIdentity* opened) override;
    NativeResult QueryProcessInformation(const ProcessIdentity& process, ULONG infoClass, void* buffer,
                                         ULONG length) override;
    DWORD EmptyProcessWorkingSet(const ProcessIdentity& process) override;
    DWORD MemoryStatus(MEMORYSTATUSEX* status) override;
    void SystemInfo(SYSTEM_INFO* info) override { *info = state_.systemInfo; }
    DWORD LogicalProcessorInformation(std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>* records) override;
    DWORD OsVersion(OSVERSIONINFOEXW* version) override;
    ULONGLONG BootTime() override;
    DWORD FileCacheLimits(SIZE_T* minimum, SIZE_T* maximum, DWORD* flags) override;
    DWORD SetFileCacheLimits(SIZE_T minimum, SIZE_T maximum, DWORD flags) override;
    DWORD OpenToken(DWORD pid, DWORD access) override;
    DWORD LookupPrivilege(std::wstring_view name, LUID* luid) override;
    DWORD HeldPrivileges(std::vector<LUID_AND_ATTRIBUTES>* held) override;
    DWORD ChangePrivileges(std::span<const LUID_AND_ATTRIBUTES> changes) override;
    DWORD OpenRegistryKey(HKEY hive, std::wstring_view path) override;
    DWORD QueryRegistryValue(HKEY hive, std::wstring_view path, std::wstring_view name, DWORD* type,
                             std::vector<BYTE>* data) override;
    DWORD ConnectServiceManager(DWORD access) override;
    DWORD OpenServiceByName(std::wstring_view name, DWORD access) override;
    DWORD ServiceStatus(std::wstring_view name, SERVICE_STATUS* status) override;
    PDH_STATUS OpenCounterQuery() override { return state_.counterQueryStatus; }
    PDH_STATUS AddCounter(std::wstring_view path) override;
    PDH_STATUS CollectCounters() override;
    PDH_STATUS ReadCounter(std::wstring_view path, LONGLONG* value) override;
    bool RefuseAllocation(SIZE_T bytes) override;

    // How many times a process has been asked to be opened, whether or not
    // it could be: tests prove with it that a command opened nothing.
    std::size_t ProcessOpenRequests() const { return processOpenRequests_; }

private:
    NativeResult AnswerQuery(ULONG infoClass, void* buffer, ULONG length);
    const ScriptedProcess* LiveProcess(const ProcessIdentity& process) const;

    ScriptedSystemState state_;
    std::function<ULONGLONG()> now_;
    std::function<ULONGLONG()> bootOfClock_;
    std::size_t processOpenRequests_ = 0;
};

// The full path under which the scripted registry keeps a key:
// "HKEY_LOCAL_MACHINE\" + path (or the hive's name alone for an empty path).
std::wstring RegistryPathWithHive(HKEY hive, std::wstring_view path);

}  // namespace host
