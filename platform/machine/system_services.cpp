#include "host/system_services.h"

#include <nt/system_information.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace host {

namespace {

constexpr ULONG kAlignment = 8;

constexpr ULONG AlignUp(ULONG n) { return (n + kAlignment - 1) / kAlignment * kAlignment; }

// Bytes a name takes in the buffer: its characters and a terminator.
ULONG NameBytes(const std::wstring& name) {
    return static_cast<ULONG>((name.size() + 1) * sizeof(WCHAR));
}

// A UNICODE_STRING over `text`, copied to `where` with its terminator.
// Names longer than a UNICODE_STRING can describe are cut to fit.
UNICODE_STRING PlaceName(const std::wstring& text, BYTE* where) {
    constexpr std::size_t kMaxChars = (0xFFFF / sizeof(WCHAR)) - 1;
    const std::size_t chars = std::min(text.size(), kMaxChars);
    std::memcpy(where, text.data(), chars * sizeof(WCHAR));
    std::memset(where + chars * sizeof(WCHAR), 0, sizeof(WCHAR));
    UNICODE_STRING s{};
    s.Length = static_cast<USHORT>(chars * sizeof(WCHAR));
    s.MaximumLength = static_cast<USHORT>((chars + 1) * sizeof(WCHAR));
    s.Buffer = reinterpret_cast<PWSTR>(where);
    return s;
}

ULONG ProcessEntryBytes(const ProcessRecord& p) {
    return AlignUp(static_cast<ULONG>(sizeof(nt::SYSTEM_PROCESS_INFORMATION)) + NameBytes(p.imageName));
}

void FillProcessRecord(const ProcessRecord& p, nt::SYSTEM_PROCESS_INFORMATION* r) {
    r->NumberOfThreads = p.threadCount;
    r->NumberOfThreadsHighWatermark = p.threadCount;
    r->CreateTime.QuadPart = static_cast<LONGLONG>(p.creationTime);
    r->BasePriority = p.basePriority;
    r->UniqueProcessId = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(p.pid));
    r->InheritedFromUniqueProcessId = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(p.parentPid));
    r->HandleCount = p.handleCount;
    r->SessionId = p.sessionId;
    r->UniqueProcessKey = p.pid;
    r->PeakVirtualSize = p.vm.PeakVirtualSize;
    r->VirtualSize = p.vm.VirtualSize;
    r->PageFaultCount = p.vm.PageFaultCount;
    r->PeakWorkingSetSize = p.vm.PeakWorkingSetSize;
    r->WorkingSetSize = p.vm.WorkingSetSize;
    r->QuotaPeakPagedPoolUsage = p.vm.QuotaPeakPagedPoolUsage;
    r->QuotaPagedPoolUsage = p.vm.QuotaPagedPoolUsage;
    r->QuotaPeakNonPagedPoolUsage = p.vm.QuotaPeakNonPagedPoolUsage;
    r->QuotaNonPagedPoolUsage = p.vm.QuotaNonPagedPoolUsage;
    r->PagefileUsage = p.vm.PagefileUsage;
    r->PeakPagefileUsage = p.vm.PeakPagefileUsage;
    r->PrivatePageCount = p.vm.PagefileUsage;
}

// Total length, or nothing when it would not fit a ULONG.
template <class T, class Size>
std::optional<ULONG> TotalLength(std::span<const T> items, Size size) {
    ULONGLONG total = 0;
    for (const T& item : items) total += size(item);
    if (total > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<ULONG>(total);
}

NativeResult Mismatch(ULONG needed) { return {STATUS_INFO_LENGTH_MISMATCH, needed}; }

}  // namespace

NativeResult WriteProcessList(std::span<const ProcessRecord> processes, void* buffer, ULONG length) {
    // An empty list cannot be: there are always the idle process and the
    // system. A machine that knows no process cannot deliver the list.
    if (processes.empty()) return {STATUS_UNSUCCESSFUL, 0};
    const std::optional<ULONG> needed = TotalLength(processes, ProcessEntryBytes);
    if (!needed) return Mismatch(0xFFFFFFFFu);
    if (!buffer || length < *needed) return Mismatch(*needed);
    BYTE* at = static_cast<BYTE*>(buffer);
    std::memset(at, 0, *needed);
    for (std::size_t i = 0; i < processes.size(); ++i) {
        auto* record = reinterpret_cast<nt::SYSTEM_PROCESS_INFORMATION*>(at);
        const ULONG bytes = ProcessEntryBytes(processes[i]);
        FillProcessRecord(processes[i], record);
        record->ImageName = PlaceName(processes[i].imageName, at + sizeof(nt::SYSTEM_PROCESS_INFORMATION));
        record->NextEntryOffset = i + 1 < processes.size() ? bytes : 0;
        at += bytes;
    }
    return {STATUS_SUCCESS, *needed};
}

std::vector<ULONG> PageFileEntryOffsets(std::span<const PageFileRecord> pageFiles, PageFileNames names) {
    std::vector<ULONG> offsets;
    ULONG at = 0;
    for (const PageFileRecord& file : pageFiles) {
        offsets.push_back(at);
        at += sizeof(nt::SYSTEM_PAGEFILE_INFORMATION);
        if (names == PageFileNames::AfterEachEntry) at += AlignUp(NameBytes(file.name));
    }
    return offsets;
}

NativeResult WritePageFileList(std::span<const PageFileRecord> pageFiles, void* buffer, ULONG length,
                               PageFileNames names) {
    if (pageFiles.empty()) return {STATUS_SUCCESS, 0};
    constexpr ULONG kEntryBytes = sizeof(nt::SYSTEM_PAGEFILE_INFORMATION);
    const ULONG entriesBytes = static_cast<ULONG>(pageFiles.size() * kEntryBytes);
    const std::optional<ULONG> namesBytes =
        TotalLength(pageFiles, [](const PageFileRecord& p) { return AlignUp(NameBytes(p.name)); });
    if (!namesBytes || *namesBytes > 0xFFFFFFFFu - entriesBytes) return Mismatch(0xFFFFFFFFu);
    const ULONG needed = entriesBytes + *namesBytes;
    if (!buffer || length < needed) return Mismatch(needed);
    BYTE* base = static_cast<BYTE*>(buffer);
    std::memset(base, 0, needed);
    const std::vector<ULONG> offsets = PageFileEntryOffsets(pageFiles, names);
    BYTE* name = base + entriesBytes;  // names after all entries
    for (std::size_t i = 0; i < pageFiles.size(); ++i) {
        auto* entry = reinterpret_cast<nt::SYSTEM_PAGEFILE_INFORMATION*>(base + offsets[i]);
        entry->NextEntryOffset = i + 1 < pageFiles.size() ? offsets[i + 1] - offsets[i] : 0;
        entry->TotalSize = pageFiles[i].totalPages;
        entry->TotalInUse = pageFiles[i].pagesInUse;
        entry->PeakUsage = pageFiles[i].peakPagesInUse;
        if (names == PageFileNames::AfterEachEntry) name = base + offsets[i] + kEntryBytes;
        entry->PageFileName = PlaceName(pageFiles[i].name, name);
        name += AlignUp(NameBytes(pageFiles[i].name));
    }
    return {STATUS_SUCCESS, needed};
}

NativeResult WriteRecord(const void* record, ULONG recordLength, void* buffer, ULONG length) {
    if (!buffer || length < recordLength) return Mismatch(recordLength);
    std::memcpy(buffer, record, recordLength);
    return {STATUS_SUCCESS, recordLength};
}

namespace {

struct NamedPrivilege {
    std::wstring_view name;
    LONG luid;
};

// The LUIDs Windows gives its privileges (they are the same on every system).
constexpr std::array<NamedPrivilege, 35> kPrivileges{{
    {L"SeCreateTokenPrivilege", 2},
    {L"SeAssignPrimaryTokenPrivilege", 3},
    {L"SeLockMemoryPrivilege", 4},
    {L"SeIncreaseQuotaPrivilege", 5},
    {L"SeMachineAccountPrivilege", 6},
    {L"SeTcbPrivilege", 7},
    {L"SeSecurityPrivilege", 8},
    {L"SeTakeOwnershipPrivilege", 9},
    {L"SeLoadDriverPrivilege", 10},
    {L"SeSystemProfilePrivilege", 11},
    {L"SeSystemtimePrivilege", 12},
    {L"SeProfileSingleProcessPrivilege", 13},
    {L"SeIncreaseBasePriorityPrivilege", 14},
    {L"SeCreatePagefilePrivilege", 15},
    {L"SeCreatePermanentPrivilege", 16},
    {L"SeBackupPrivilege", 17},
    {L"SeRestorePrivilege", 18},
    {L"SeShutdownPrivilege", 19},
    {L"SeDebugPrivilege", 20},
    {L"SeAuditPrivilege", 21},
    {L"SeSystemEnvironmentPrivilege", 22},
    {L"SeChangeNotifyPrivilege", 23},
    {L"SeRemoteShutdownPrivilege", 24},
    {L"SeUndockPrivilege", 25},
    {L"SeSyncAgentPrivilege", 26},
    {L"SeEnableDelegationPrivilege", 27},
    {L"SeManageVolumePrivilege", 28},
    {L"SeImpersonatePrivilege", 29},
    {L"SeCreateGlobalPrivilege", 30},
    {L"SeTrustedCredManAccessPrivilege", 31},
    {L"SeRelabelPrivilege", 32},
    {L"SeIncreaseWorkingSetPrivilege", 33},
    {L"SeTimeZonePrivilege", 34},
    {L"SeCreateSymbolicLinkPrivilege", 35},
    {L"SeDelegateSessionUserImpersonatePrivilege", 36},
}};

template <class Char>
Char FoldCase(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <class View>
bool SameNameImpl(View a, View b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

}  // namespace

std::optional<LUID> WellKnownPrivilege(std::wstring_view name) {
    for (const NamedPrivilege& p : kPrivileges)
        if (SameName(p.name, name)) return LUID{static_cast<DWORD>(p.luid), 0};
    return std::nullopt;
}

std::wstring_view PrivilegeName(const LUID& luid) {
    if (luid.HighPart != 0) return {};
    for (const NamedPrivilege& p : kPrivileges)
        if (static_cast<DWORD>(p.luid) == luid.LowPart) return p.name;
    return {};
}

std::wstring CanonicalModuleName(std::wstring_view name) {
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring_view::npos) name.remove_prefix(slash + 1);
    std::wstring canonical;
    for (wchar_t c : name) canonical += FoldCase(c);
    if (canonical.find(L'.') == std::wstring::npos) canonical += L".dll";
    return canonical;
}

bool SameName(std::wstring_view a, std::wstring_view b) { return SameNameImpl(a, b); }
bool SameName(std::string_view a, std::string_view b) { return SameNameImpl(a, b); }

}  // namespace host
