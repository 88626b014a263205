#pragma once
// The kernel side of a Machine (Machine::System()): the figures, processes,
// token, registry, services, counters and commands that the host's
// Win32-style system services ask for. The host (platform/linux/system)
// keeps the Win32 semantics — handles, buffer sizes, last-error codes,
// reference counts — and asks the machine only what the computer itself
// knows; a LiveLinuxMachine answers from /proc and /sys, a ScriptedMachine
// from a scenario.
//
// Conventions:
// - Methods that return DWORD return a Win32 error code: ERROR_SUCCESS when
//   the call succeeded, otherwise the code GetLastError() reports.
//   NTSTATUS and PDH_STATUS results follow their own conventions (>= 0 and
//   0 respectively mean success).
// - Names arrive as the program wrote them, except module names, which
//   arrive lower-case, without a directory, with their extension
//   ("ntdll.dll", "psapi.dll"). Machines compare names without regard to
//   letter case, as Windows does, except export names, which GetProcAddress
//   matches exactly.
// - Times are in the FILETIME form: 100-ns intervals since 1601-01-01 UTC.
// - The host logs every command the program gives (Machine::LogAction):
//   memory-list commands, working sets emptied, cache sizes set, privileges
//   adjusted. Machines do not log these themselves, so that the log reads
//   the same whatever machine runs.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>
#include <ntstatus.h>
#include <pdh.h>
#include <pdhmsg.h>
#include <winternl.h>

#include <nt/process_information.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// What a native query answers: its status and the length it reports.
struct NativeResult {
    NTSTATUS status = STATUS_NOT_IMPLEMENTED;
    ULONG returnedLength = 0;
};

// One process instance: its id and creation time together, so that a
// handle kept across the process's exit is not taken for a new process
// that reuses the id.
struct ProcessIdentity {
    DWORD pid = 0;
    ULONGLONG creationTime = 0;
};

// One process as the process list shows it.
struct ProcessRecord {
    DWORD pid = 0;
    DWORD parentPid = 0;
    std::wstring imageName;  // empty for the idle process
    ULONGLONG creationTime = 0;
    ULONG threadCount = 0;
    ULONG handleCount = 0;
    ULONG sessionId = 0;
    LONG basePriority = 8;
    nt::VM_COUNTERS vm{};  // also what ProcessVmCounters answers
};

// One paging file as class 18 shows it; sizes in pages.
struct PageFileRecord {
    std::wstring name;
    ULONG totalPages = 0;
    ULONG pagesInUse = 0;
    ULONG peakPagesInUse = 0;
};

class SystemServices {
public:
    virtual ~SystemServices() = default;

    // ---- modules and their exports ----------------------------------------
    // Whether LoadLibraryW finds the module.
    virtual bool ModuleLoads(std::wstring_view module) = 0;
    // Whether the module exports `name` (asked only of modules that load).
    virtual bool HasExport(std::wstring_view module, std::string_view name) = 0;

    // ---- native queries and commands ---------------------------------------
    // NtQuerySystemInformation: fills the first `length` bytes of `buffer`
    // (null only when length is 0) with the record of `infoClass` and
    // answers the status and the length written or needed. Classes the
    // program asks: 0, 2, 3, 5, 18, 21, 80. A buffer too small for the
    // record answers STATUS_INFO_LENGTH_MISMATCH with the length needed.
    virtual NativeResult QuerySystemInformation(ULONG infoClass, void* buffer, ULONG length) = 0;
    // NtSetSystemInformation: class 80 takes one 32-bit command (2 empty all
    // working sets, 3 write out the modified list, 4 purge the standby
    // lists, 5 purge the lowest-priority standby list).
    virtual NTSTATUS SetSystemInformation(ULONG infoClass, const void* data, ULONG length) = 0;

    // ---- processes --------------------------------------------------------
    virtual DWORD CurrentProcessId() = 0;
    virtual DWORD CurrentThreadId() = 0;
    // The processes running now, in the order the process list gives them.
    virtual std::vector<ProcessRecord> Processes() = 0;
    // OpenProcess: ERROR_SUCCESS and the instance opened, ERROR_INVALID_PARAMETER
    // for an id that names no process, ERROR_ACCESS_DENIED when the
    // requested access is refused. The host has checked nothing but the
    // arguments; the current process always opens.
    virtual DWORD OpenProcessById(DWORD pid, DWORD access, ProcessIdentity* opened) = 0;
    // NtQueryInformationProcess on an opened process, after the host has
    // checked the handle's access. ProcessVmCounters (3) answers a VM_COUNTERS.
    virtual NativeResult QueryProcessInformation(const ProcessIdentity& process, ULONG infoClass, void* buffer,
                                                 ULONG length) = 0;
    // EmptyWorkingSet on an opened process.
    virtual DWORD EmptyProcessWorkingSet(const ProcessIdentity& process) = 0;

    // ---- memory, processors, version, boot time -----------------------------
    // GlobalMemoryStatusEx: fills every field but dwLength.
    virtual DWORD MemoryStatus(MEMORYSTATUSEX* status) = 0;
    // GetSystemInfo: page size, processor count, address range, granularity.
    virtual void SystemInfo(SYSTEM_INFO* info) = 0;
    // GetLogicalProcessorInformation: every record, or a failure (for
    // example ERROR_CALL_NOT_IMPLEMENTED) that the call reports whatever the
    // buffer.
    virtual DWORD LogicalProcessorInformation(std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>* records) = 0;
    // GetVersionExW: fills every field but dwOSVersionInfoSize.
    virtual DWORD OsVersion(OSVERSIONINFOEXW* version) = 0;
    virtual ULONGLONG BootTime() = 0;

    // ---- the system file cache's working-set limits (bytes) -----------------
    virtual DWORD FileCacheLimits(SIZE_T* minimum, SIZE_T* maximum, DWORD* flags) = 0;
    // Both sizes (SIZE_T)-1 flush the cache's working set and keep the limits.
    virtual DWORD SetFileCacheLimits(SIZE_T minimum, SIZE_T maximum, DWORD flags) = 0;

    // ---- the access token -------------------------------------------------
    // OpenProcessToken on process `pid` (the program opens its own).
    virtual DWORD OpenToken(DWORD pid, DWORD access) = 0;
    // LookupPrivilegeValueW on the local system: ERROR_NO_SUCH_PRIVILEGE for
    // an unknown name.
    virtual DWORD LookupPrivilege(std::wstring_view name, LUID* luid) = 0;
    // The privileges the token holds, with their attributes
    // (SE_PRIVILEGE_ENABLED when enabled). A privilege not listed is not held.
    virtual DWORD HeldPrivileges(std::vector<LUID_AND_ATTRIBUTES>* held) = 0;
    // Sets the attributes of held privileges: one AdjustTokenPrivileges call,
    // already checked by the host (it may be empty: nothing to change). Each
    // change is SE_PRIVILEGE_ENABLED (enable), 0 (disable) or
    // SE_PRIVILEGE_REMOVED (take it out of the token). A failure fails the
    // whole call.
    virtual DWORD ChangePrivileges(std::span<const LUID_AND_ATTRIBUTES> changes) = 0;

    // ---- registry ----------------------------------------------------------
    // `path` is the key's full path under `hive` (HKEY_LOCAL_MACHINE...),
    // components separated by single backslashes, none leading or trailing.
    // ERROR_FILE_NOT_FOUND when the key does not exist.
    virtual DWORD OpenRegistryKey(HKEY hive, std::wstring_view path) = 0;
    // ERROR_FILE_NOT_FOUND when the value does not exist.
    virtual DWORD QueryRegistryValue(HKEY hive, std::wstring_view path, std::wstring_view name, DWORD* type,
                                     std::vector<BYTE>* data) = 0;

    // ---- services ----------------------------------------------------------
    virtual DWORD ConnectServiceManager(DWORD access) = 0;
    // ERROR_SERVICE_DOES_NOT_EXIST for an unknown service.
    virtual DWORD OpenServiceByName(std::wstring_view name, DWORD access) = 0;
    virtual DWORD ServiceStatus(std::wstring_view name, SERVICE_STATUS* status) = 0;

    // ---- performance counters (values in bytes) ------------------------------
    virtual PDH_STATUS OpenCounterQuery() = 0;
    // PDH_CSTATUS_NO_OBJECT / PDH_CSTATUS_NO_COUNTER for an unknown path.
    virtual PDH_STATUS AddCounter(std::wstring_view path) = 0;
    // One collection: the moment whose values ReadCounter then answers.
    virtual PDH_STATUS CollectCounters() = 0;
    virtual PDH_STATUS ReadCounter(std::wstring_view path, LONGLONG* value) = 0;

    // ---- the process heap --------------------------------------------------
    // Asked before every HeapAlloc and HeapReAlloc: true makes it fail.
    virtual bool RefuseAllocation(SIZE_T bytes) = 0;
};

// ---- helpers both machines use (palisk_machine) ----------------------------

// Writes the process list (class 5) into `buffer`: records back to back,
// each followed by its image name (terminated, 8-byte aligned), the name's
// Buffer pointing into `buffer`. Too small a buffer (or a null one) writes
// nothing and answers STATUS_INFO_LENGTH_MISMATCH with the length needed.
NativeResult WriteProcessList(std::span<const ProcessRecord> processes, void* buffer, ULONG length);

// Where the paging files' names lie in the class 18 buffer: after all the
// entries (this host's layout, entries 32 bytes apart), or each right after
// its own entry (Windows's layout, where only the next-entry offsets tell
// where an entry starts).
enum class PageFileNames { AfterAllEntries, AfterEachEntry };

// Writes the paging-file entries (class 18) in the layout `names` asks for,
// each entry's next-entry offset leading to the next (0 on the last). No
// paging file answers STATUS_SUCCESS with length 0. Too small a buffer:
// STATUS_INFO_LENGTH_MISMATCH, length needed.
NativeResult WritePageFileList(std::span<const PageFileRecord> pageFiles, void* buffer, ULONG length,
                               PageFileNames names = PageFileNames::AfterAllEntries);

// Where each entry of such a list starts, in bytes from the buffer's start.
std::vector<ULONG> PageFileEntryOffsets(std::span<const PageFileRecord> pageFiles, PageFileNames names);

// Copies a fixed-size record: a buffer of at least sizeof(record) receives
// it; a smaller one STATUS_INFO_LENGTH_MISMATCH with the length needed.
NativeResult WriteRecord(const void* record, ULONG recordLength, void* buffer, ULONG length);

// The privileges Windows knows, by name and LUID ("SeDebugPrivilege" = 20).
std::optional<LUID> WellKnownPrivilege(std::wstring_view name);
// The name of a well-known privilege, or empty.
std::wstring_view PrivilegeName(const LUID& luid);

// A module name as LoadLibraryW finds it and machines are asked about it:
// no directory, lower-case, ".dll" added when the name has no extension.
std::wstring CanonicalModuleName(std::wstring_view name);

// Case-insensitive comparison of names (ASCII letters; others exactly).
bool SameName(std::wstring_view a, std::wstring_view b);
bool SameName(std::string_view a, std::string_view b);

}  // namespace host
