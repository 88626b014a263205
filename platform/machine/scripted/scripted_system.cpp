#include "host/scripted_system.h"

#include <ntstatus.h>
#include <pdhmsg.h>

#include <algorithm>
#include <cstring>

namespace host {

// ---- finders ----------------------------------------------------------------

ScriptedProcess* ScriptedSystemState::FindProcess(DWORD pid) {
    for (ScriptedProcess& p : processes)
        if (p.record.pid == pid) return &p;
    return nullptr;
}

ScriptedPrivilege* ScriptedSystemState::FindPrivilege(std::wstring_view name) {
    for (ScriptedPrivilege& p : privileges)
        if (SameName(p.name, name)) return &p;
    return nullptr;
}

ScriptedService* ScriptedSystemState::FindService(std::wstring_view name) {
    for (ScriptedService& s : services)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

ScriptedCounter* ScriptedSystemState::FindCounter(std::wstring_view path) {
    for (ScriptedCounter& c : counters)
        if (SameName(c.path, path)) return &c;
    return nullptr;
}

ScriptedRegistryKey* ScriptedSystemState::FindRegistryKey(std::wstring_view path) {
    for (ScriptedRegistryKey& k : registry)
        if (SameName(k.path, path)) return &k;
    return nullptr;
}

std::wstring RegistryPathWithHive(HKEY hive, std::wstring_view path) {
    std::wstring full;
    if (hive == HKEY_LOCAL_MACHINE) full = L"HKEY_LOCAL_MACHINE";
    else if (hive == HKEY_CURRENT_USER) full = L"HKEY_CURRENT_USER";
    else if (hive == HKEY_CLASSES_ROOT) full = L"HKEY_CLASSES_ROOT";
    else if (hive == HKEY_USERS) full = L"HKEY_USERS";
    else if (hive == HKEY_CURRENT_CONFIG) full = L"HKEY_CURRENT_CONFIG";
    else return {};
    if (!path.empty()) {
        full += L'\\';
        full += path;
    }
    return full;
}

// ---- construction -----------------------------------------------------------

ScriptedSystem::ScriptedSystem(std::function<ULONGLONG()> now, std::function<ULONGLONG()> bootOfClock)
    : state_(DefaultScriptedSystem()), now_(std::move(now)), bootOfClock_(std::move(bootOfClock)) {}

// ---- modules ----------------------------------------------------------------

bool ScriptedSystem::ModuleLoads(std::wstring_view module) {
    const std::string name(module.begin(), module.end());
    auto it = state_.modules.find(name);
    return it != state_.modules.end() && it->second.loads;
}

bool ScriptedSystem::HasExport(std::wstring_view module, std::string_view name) {
    const std::string moduleName(module.begin(), module.end());
    auto it = state_.modules.find(moduleName);
    return it != state_.modules.end() && it->second.loads && it->second.exports.count(std::string(name)) != 0;
}

// ---- native queries ---------------------------------------------------------

namespace {

// A fixed-size record answered from `record`: the machine's record length
// decides whether the buffer is long enough; bytes past the record (a
// longer form the machine claims) are zero.
NativeResult AnswerFixed(const void* record, std::size_t recordSize, ULONG machineLength, void* buffer,
                         ULONG length) {
    if (!buffer || length < machineLength) return {STATUS_INFO_LENGTH_MISMATCH, machineLength};
    std::memset(buffer, 0, machineLength);
    std::memcpy(buffer, record, std::min<std::size_t>(recordSize, machineLength));
    return {STATUS_SUCCESS, machineLength};
}

}  // namespace

NativeResult ScriptedSystem::AnswerQuery(ULONG infoClass, void* buffer, ULONG length) {
    ScriptedSystemState& s = state_;
    const ULONG machineLength = s.Query(infoClass).recordLength;
    switch (infoClass) {
    case SystemBasicInformation:
        return AnswerFixed(&s.basic, sizeof s.basic, machineLength, buffer, length);
    case SystemPerformanceInformation:
        return AnswerFixed(&s.performance, sizeof s.performance, machineLength, buffer, length);
    case SystemTimeOfDayInformation: {
        nt::SYSTEM_TIMEOFDAY_INFORMATION record = s.timeOfDay;
        record.BootTime.QuadPart = static_cast<LONGLONG>(BootTime());
        record.CurrentTime.QuadPart = static_cast<LONGLONG>(now_());
        return AnswerFixed(&record, sizeof record, machineLength, buffer, length);
    }
    case SystemProcessInformation:
        return WriteProcessList(Processes(), buffer, length);
    case nt::SystemPageFileInformation: {
        std::vector<PageFileRecord> files;
        for (const ScriptedPageFile& f : s.pageFiles) files.push_back(f.file);
        NativeResult result = WritePageFileList(files, buffer, length, s.pageFileNames);
        if (result.status >= 0) {
            const std::vector<ULONG> offsets = PageFileEntryOffsets(files, s.pageFileNames);
            for (std::size_t i = 0; i < s.pageFiles.size(); ++i) {
                if (!s.pageFiles[i].nextEntryOffset) continue;
                auto* entry = reinterpret_cast<nt::SYSTEM_PAGEFILE_INFORMATION*>(static_cast<BYTE*>(buffer) + offsets[i]);
                entry->NextEntryOffset = *s.pageFiles[i].nextEntryOffset;
            }
        }
        return result;
    }
    case nt::SystemFileCacheInformation:
        return AnswerFixed(&s.fileCache, sizeof s.fileCache, machineLength, buffer, length);
    case nt::SystemMemoryListInformation:
        return AnswerFixed(&s.memoryList, sizeof s.memoryList, machineLength, buffer, length);
    default:
        return {STATUS_INVALID_INFO_CLASS, 0};
    }
}

NativeResult ScriptedSystem::QuerySystemInformation(ULONG infoClass, void* buffer, ULONG length) {
    ScriptedQuery& query = state_.Query(infoClass);
    query.lengthsAsked.push_back(length);
    std::optional<NTSTATUS> forced = query.status;
    if (!query.upcoming.empty()) {
        forced = query.upcoming.front();
        query.upcoming.pop_front();
    }
    NativeResult result;
    if (forced && *forced < 0) {
        result = {*forced, 0};
    } else {
        result = AnswerQuery(infoClass, buffer, length);
        if (forced && result.status >= 0) result.status = *forced;
    }
    if (query.returnedLength) result.returnedLength = *query.returnedLength;
    return result;
}

NTSTATUS ScriptedSystem::SetSystemInformation(ULONG infoClass, const void* data, ULONG length) {
    if (infoClass != nt::SystemMemoryListInformation) return STATUS_INVALID_INFO_CLASS;
    if (length != sizeof(ULONG)) return STATUS_INFO_LENGTH_MISMATCH;
    ULONG command = 0;
    std::memcpy(&command, data, sizeof command);
    if (command >= nt::MemoryCommandMax) return STATUS_INVALID_PARAMETER;
    auto it = state_.memoryListCommands.find(command);
    return it == state_.memoryListCommands.end() ? STATUS_SUCCESS : it->second;
}

// ---- processes --------------------------------------------------------------

std::vector<ProcessRecord> ScriptedSystem::Processes() {
    std::vector<ProcessRecord> list;
    list.reserve(state_.processes.size());
    for (const ScriptedProcess& p : state_.processes) list.push_back(p.record);
    return list;
}

DWORD ScriptedSystem::OpenProcessById(DWORD pid, DWORD access, ProcessIdentity* opened) {
    ++processOpenRequests_;
    const ScriptedProcess* p = state_.FindProcess(pid);
    if (!p) {
        if (pid != state_.selfPid) return ERROR_INVALID_PARAMETER;
        *opened = {pid, 0};  // the program itself, though the list leaves it out
        return ERROR_SUCCESS;
    }
    const bool self = pid == state_.selfPid;
    if (!self && (!p->opens || (access & ~p->allowedAccess) != 0)) return p->openError;
    *opened = {pid, p->record.creationTime};
    return ERROR_SUCCESS;
}

const ScriptedProcess* ScriptedSystem::LiveProcess(const ProcessIdentity& process) const {
    for (const ScriptedProcess& p : state_.processes)
        if (p.record.pid == process.pid && p.record.creationTime == process.creationTime) return &p;
    return nullptr;
}

NativeResult ScriptedSystem::QueryProcessInformation(const ProcessIdentity& process, ULONG infoClass, void* buffer,
                                                     ULONG length) {
    if (infoClass != nt::ProcessVmCounters) return {STATUS_INVALID_INFO_CLASS, 0};
    const ScriptedProcess* p = LiveProcess(process);
    // A handle outlives its process: the counters of a process that has gone
    // read as an empty working set, as Windows answers for an exited process.
    nt::VM_COUNTERS counters{};
    if (p) {
        if (p->vmCountersStatus && *p->vmCountersStatus < 0) return {*p->vmCountersStatus, 0};
        counters = p->record.vm;
    }
    NativeResult result = WriteRecord(&counters, sizeof counters, buffer, length);
    if (p && p->vmCountersStatus && result.status >= 0) result.status = *p->vmCountersStatus;
    return result;
}

DWORD ScriptedSystem::EmptyProcessWorkingSet(const ProcessIdentity& process) {
    const ScriptedProcess* p = LiveProcess(process);
    if (!p) return process.pid == state_.selfPid ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    return p->emptyWorkingSetError;
}

// ---- memory, processors, version, time --------------------------------------

DWORD ScriptedSystem::MemoryStatus(MEMORYSTATUSEX* status) {
    if (state_.memoryStatusError != ERROR_SUCCESS) return state_.memoryStatusError;
    const DWORD length = status->dwLength;
    *status = state_.memoryStatus;
    status->dwLength = length;
    return ERROR_SUCCESS;
}

DWORD ScriptedSystem::LogicalProcessorInformation(std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>* records) {
    if (state_.logicalProcessorsError != ERROR_SUCCESS) return state_.logicalProcessorsError;
    *records = state_.logicalProcessors;
    return ERROR_SUCCESS;
}

DWORD ScriptedSystem::OsVersion(OSVERSIONINFOEXW* version) {
    if (state_.versionError != ERROR_SUCCESS) return state_.versionError;
    const DWORD size = version->dwOSVersionInfoSize;
    *version = state_.version;
    version->dwOSVersionInfoSize = size;
    return ERROR_SUCCESS;
}

ULONGLONG ScriptedSystem::BootTime() { return state_.bootTime ? *state_.bootTime : bootOfClock_(); }

// ---- file cache limits ------------------------------------------------------

DWORD ScriptedSystem::FileCacheLimits(SIZE_T* minimum, SIZE_T* maximum, DWORD* flags) {
    if (state_.cacheGetError != ERROR_SUCCESS) return state_.cacheGetError;
    *minimum = state_.cacheMinimum;
    *maximum = state_.cacheMaximum;
    *flags = state_.cacheFlags;
    return ERROR_SUCCESS;
}

DWORD ScriptedSystem::SetFileCacheLimits(SIZE_T minimum, SIZE_T maximum, DWORD flags) {
    if (state_.cacheSetError != ERROR_SUCCESS) return state_.cacheSetError;
    const SIZE_T flush = static_cast<SIZE_T>(-1);
    if (minimum == flush && maximum == flush) return ERROR_SUCCESS;  // the limits stay
    if ((flags & FILE_CACHE_MAX_HARD_ENABLE) && (flags & FILE_CACHE_MAX_HARD_DISABLE)) return ERROR_INVALID_PARAMETER;
    if ((flags & FILE_CACHE_MIN_HARD_ENABLE) && (flags & FILE_CACHE_MIN_HARD_DISABLE)) return ERROR_INVALID_PARAMETER;
    if (minimum > maximum) return ERROR_INVALID_PARAMETER;
    state_.cacheMinimum = minimum;
    state_.cacheMaximum = maximum;
    if (flags & FILE_CACHE_MAX_HARD_ENABLE) state_.cacheFlags |= FILE_CACHE_MAX_HARD_ENABLE;
    if (flags & FILE_CACHE_MAX_HARD_DISABLE) state_.cacheFlags &= ~DWORD{FILE_CACHE_MAX_HARD_ENABLE};
    if (flags & FILE_CACHE_MIN_HARD_ENABLE) state_.cacheFlags |= FILE_CACHE_MIN_HARD_ENABLE;
    if (flags & FILE_CACHE_MIN_HARD_DISABLE) state_.cacheFlags &= ~DWORD{FILE_CACHE_MIN_HARD_ENABLE};
    // The cache record shows the new limits, in pages.
    const ULONG page = state_.systemInfo.dwPageSize ? state_.systemInfo.dwPageSize : 4096;
    state_.fileCache.MinimumWorkingSet = minimum / page;
    state_.fileCache.MaximumWorkingSet = maximum / page;
    state_.fileCache.Flags = state_.cacheFlags;
    return ERROR_SUCCESS;
}

// ---- token ------------------------------------------------------------------

DWORD ScriptedSystem::OpenToken(DWORD pid, DWORD) {
    if (state_.tokenOpenError != ERROR_SUCCESS) return state_.tokenOpenError;
    // Only the program's own token is modelled; others are out of reach.
    return pid == state_.selfPid ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

DWORD ScriptedSystem::LookupPrivilege(std::wstring_view name, LUID* luid) {
    if (const ScriptedPrivilege* p = state_.FindPrivilege(name); p && p->lookupError != ERROR_SUCCESS)
        return p->lookupError;
    const std::optional<LUID> known = WellKnownPrivilege(name);
    if (!known) return ERROR_NO_SUCH_PRIVILEGE;
    *luid = *known;
    return ERROR_SUCCESS;
}

DWORD ScriptedSystem::HeldPrivileges(std::vector<LUID_AND_ATTRIBUTES>* held) {
    held->clear();
    for (const ScriptedPrivilege& p : state_.privileges) {
        const std::optional<LUID> luid = WellKnownPrivilege(p.name);
        if (!p.held || !luid) continue;
        held->push_back({*luid, p.enabled ? DWORD{SE_PRIVILEGE_ENABLED} : 0u});
    }
    return ERROR_SUCCESS;
}

DWORD ScriptedSystem::ChangePrivileges(std::span<const LUID_AND_ATTRIBUTES> changes) {
    if (state_.adjustError != ERROR_SUCCESS) return state_.adjustError;
    for (const LUID_AND_ATTRIBUTES& change : changes) {
        ScriptedPrivilege* p = state_.FindPrivilege(PrivilegeName(change.Luid));
        if (!p || !p->held) return ERROR_NOT_ALL_ASSIGNED;  // the host asks only for held ones
        if (change.Attributes & SE_PRIVILEGE_REMOVED) p->held = false;
        p->enabled = (change.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    return ERROR_SUCCESS;
}

// ---- registry ---------------------------------------------------------------

namespace {

bool IsUnder(std::wstring_view key, std::wstring_view ancestor) {
    return key.size() > ancestor.size() && key[ancestor.size()] == L'\\' &&
           SameName(key.substr(0, ancestor.size()), ancestor);
}

std::wstring Lower(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lower;
}

}  // namespace

DWORD ScriptedSystem::OpenRegistryKey(HKEY hive, std::wstring_view path) {
    const std::wstring full = RegistryPathWithHive(hive, path);
    if (full.empty()) return ERROR_INVALID_HANDLE;
    if (path.empty()) return ERROR_SUCCESS;  // a hive always opens
    if (const ScriptedRegistryKey* key = state_.FindRegistryKey(full)) return key->openError;
    // A key that holds scripted keys exists too.
    for (const ScriptedRegistryKey& key : state_.registry)
        if (IsUnder(key.path, full)) return ERROR_SUCCESS;
    return ERROR_FILE_NOT_FOUND;
}

DWORD ScriptedSystem::QueryRegistryValue(HKEY hive, std::wstring_view path, std::wstring_view name, DWORD* type,
                                         std::vector<BYTE>* data) {
    const DWORD open = OpenRegistryKey(hive, path);
    if (open != ERROR_SUCCESS) return open;
    const ScriptedRegistryKey* key = state_.FindRegistryKey(RegistryPathWithHive(hive, path));
    if (!key) return ERROR_FILE_NOT_FOUND;
    auto it = key->values.find(Lower(name));
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    *type = it->second.type;
    *data = it->second.data;
    return ERROR_SUCCESS;
}

// ---- services ---------------------------------------------------------------

DWORD ScriptedSystem::ConnectServiceManager(DWORD) { return state_.serviceManagerError; }

DWORD ScriptedSystem::OpenServiceByName(std::wstring_view name, DWORD) {
    const ScriptedService* s = state_.FindService(name);
    return s ? s->openError : ERROR_SERVICE_DOES_NOT_EXIST;
}

DWORD ScriptedSystem::ServiceStatus(std::wstring_view name, SERVICE_STATUS* status) {
    const ScriptedService* s = state_.FindService(name);
    if (!s) return ERROR_SERVICE_DOES_NOT_EXIST;
    if (s->queryError != ERROR_SUCCESS) return s->queryError;
    *status = SERVICE_STATUS{};
    status->dwServiceType = SERVICE_WIN32_SHARE_PROCESS;
    status->dwCurrentState = s->state;
    if (s->state == SERVICE_RUNNING) status->dwControlsAccepted = SERVICE_ACCEPT_STOP;
    return ERROR_SUCCESS;
}

// ---- performance counters ---------------------------------------------------

PDH_STATUS ScriptedSystem::AddCounter(std::wstring_view path) {
    const ScriptedCounter* c = state_.FindCounter(path);
    return c ? c->addStatus : static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER);
}

PDH_STATUS ScriptedSystem::CollectCounters() {
    if (state_.upcomingCollects.empty()) return state_.collectStatus;
    const PDH_STATUS status = state_.upcomingCollects.front();
    state_.upcomingCollects.pop_front();
    return status;
}

PDH_STATUS ScriptedSystem::ReadCounter(std::wstring_view path, LONGLONG* value) {
    const ScriptedCounter* c = state_.FindCounter(path);
    if (!c) return static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER);
    if (c->readStatus != ERROR_SUCCESS) return c->readStatus;
    *value = c->value;
    return ERROR_SUCCESS;
}

// ---- heap -------------------------------------------------------------------

bool ScriptedSystem::RefuseAllocation(SIZE_T bytes) {
    const std::uint64_t number = ++state_.allocationsCounted;
    return state_.failAllocationNumbers.count(number) != 0 || state_.failAllocationSizes.count(bytes) != 0;
}

}  // namespace host
