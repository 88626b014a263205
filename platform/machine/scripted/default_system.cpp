// The scripted machine before a scenario changes it: a Windows 10 computer
// with 8 GiB of memory in 4 KiB pages, 4 cores of 2 threads, one 2 GiB
// paging file. Its figures add up: available = zeroed + free + standby, the
// cache working set is what the cache record and the counters say, and the
// counters are the lists' pages in bytes.

#include "host/scripted_system.h"

#include "logical_processors.h"

#include <array>
#include <numeric>

namespace host {

namespace {

constexpr ULONG kPageSize = 4096;
constexpr ULONG kPhysicalPages = 2097152;  // 8 GiB
constexpr ULONG kZeroPages = 65536;
constexpr ULONG kFreePages = 131072;
constexpr ULONG kModifiedPages = 32768;
constexpr ULONG kModifiedNoWritePages = 256;
constexpr std::array<ULONG, 8> kStandbyByPriority = {16384, 8192, 131072, 16384, 8192, 262144, 65536, 32768};
constexpr std::array<ULONG, 8> kRepurposedByPriority = {5120, 2048, 40960, 0, 0, 1024, 0, 0};
constexpr ULONG kCachePages = 98304;  // 384 MiB
constexpr ULONG kCommittedPages = 1200000;
constexpr ULONG kCommitLimit = 2621440;
constexpr ULONGLONG kBoot = 134116992000000000ULL;  // 2026-01-01, the scripted clock's tick 0
constexpr ULONGLONG kSecond = 10000000ULL;

ULONG StandbyPages(unsigned first, unsigned last) {
    return std::accumulate(kStandbyByPriority.begin() + first, kStandbyByPriority.begin() + last + 1, 0u);
}

constexpr ULONG AvailablePages() { return kZeroPages + kFreePages + 540672; }
static_assert(540672 == 16384 + 8192 + 131072 + 16384 + 8192 + 262144 + 65536 + 32768);

nt::SYSTEM_BASIC_INFORMATION Basic() {
    nt::SYSTEM_BASIC_INFORMATION b{};
    b.TimerResolution = 156250;
    b.PageSize = kPageSize;
    b.NumberOfPhysicalPages = kPhysicalPages;
    b.LowestPhysicalPageNumber = 1;
    b.HighestPhysicalPageNumber = kPhysicalPages + 131071;
    b.AllocationGranularity = 65536;
    b.MinimumUserModeAddress = 0x10000;
    b.MaximumUserModeAddress = 0x7FFFFFFEFFFF;
    b.ActiveProcessorsAffinityMask = 0xFF;
    return b;
}

nt::SYSTEM_PERFORMANCE_INFORMATION Performance() {
    nt::SYSTEM_PERFORMANCE_INFORMATION p{};
    p.AvailablePages = AvailablePages();
    p.CommittedPages = kCommittedPages;
    p.CommitLimit = kCommitLimit;
    p.PeakCommitment = 1400000;
    p.PageFaultCount = 98765432;
    p.CopyOnWriteCount = 123456;
    p.TransitionCount = 1234567;
    p.CacheTransitionCount = 345678;
    p.DemandZeroCount = 2345678;
    p.PageReadCount = 345678;
    p.PageReadIoCount = 45678;
    p.DirtyPagesWriteCount = 12345;
    p.DirtyWriteIoCount = 1234;
    p.PagedPoolPages = 98304;
    p.NonPagedPoolPages = 65536;
    p.PagedPoolAllocs = 87654321;
    p.PagedPoolFrees = 87600000;
    p.NonPagedPoolAllocs = 7654321;
    p.NonPagedPoolFrees = 7600000;
    p.ResidentSystemCachePage = kCachePages;
    p.ResidentPagedPoolPage = 90112;
    p.CcFastReadNoWait = 400000;
    p.CcFastReadWait = 250000;
    p.CcFastReadResourceMiss = 120;
    p.CcFastReadNotPossible = 3400;
    p.CcMapDataNoWait = 5000;
    p.CcMapDataWait = 900000;
    p.CcMapDataNoWaitMiss = 40;
    p.CcMapDataWaitMiss = 21000;
    p.CcPinReadNoWait = 300;
    p.CcPinReadWait = 78000;
    p.CcPinReadNoWaitMiss = 2;
    p.CcPinReadWaitMiss = 1500;
    p.CcCopyReadNoWait = 60000;
    p.CcCopyReadWait = 320000;
    p.CcCopyReadNoWaitMiss = 700;
    p.CcCopyReadWaitMiss = 9000;
    p.CcMdlReadNoWait = 10;
    p.CcMdlReadWait = 4200;
    p.CcMdlReadNoWaitMiss = 0;
    p.CcMdlReadWaitMiss = 310;
    p.CcReadAheadIos = 23456;
    p.CcLazyWriteIos = 3456;
    p.CcLazyWritePages = 45678;
    p.ContextSwitches = 123456789;
    p.SystemCalls = 987654321;
    return p;
}

nt::SYSTEM_FILECACHE_INFORMATION FileCache() {
    nt::SYSTEM_FILECACHE_INFORMATION c{};
    c.CurrentSize = SIZE_T{kCachePages} * kPageSize;
    c.PeakSize = SIZE_T{131072} * kPageSize;
    c.PageFaultCount = 456789;
    c.MinimumWorkingSet = 256;                 // 1 MiB
    c.MaximumWorkingSet = SIZE_T{1} << 28;     // 1 TiB
    c.CurrentSizeIncludingTransitionInPages = kCachePages + 1024;
    c.PeakSizeIncludingTransitionInPages = 140000;
    return c;
}

nt::SYSTEM_MEMORY_LIST_INFORMATION_EX MemoryList() {
    nt::SYSTEM_MEMORY_LIST_INFORMATION_EX m{};
    m.ZeroPageCount = kZeroPages;
    m.FreePageCount = kFreePages;
    m.ModifiedPageCount = kModifiedPages;
    m.ModifiedNoWritePageCount = kModifiedNoWritePages;
    for (int i = 0; i < 8; ++i) {
        m.PageCountByPriority[i] = kStandbyByPriority[i];
        m.RepurposedPagesByPriority[i] = kRepurposedByPriority[i];
    }
    m.ModifiedPageCountPageFile = kModifiedPages / 2;
    return m;
}

ScriptedProcess Process(DWORD pid, DWORD parent, const wchar_t* name, ULONGLONG startedSeconds, SIZE_T workingSet,
                        ULONG threads) {
    ScriptedProcess p;
    ProcessRecord& r = p.record;
    r.pid = pid;
    r.parentPid = parent;
    r.imageName = name;
    r.creationTime = pid == 0 ? 0 : kBoot + startedSeconds * kSecond;
    r.threadCount = threads;
    r.handleCount = threads * 25;
    r.sessionId = pid < 700 ? 0 : 1;
    r.vm.WorkingSetSize = workingSet;
    r.vm.PeakWorkingSetSize = workingSet + workingSet / 4;
    r.vm.VirtualSize = workingSet * 8;
    r.vm.PeakVirtualSize = workingSet * 9;
    r.vm.PagefileUsage = workingSet / 2;
    r.vm.PeakPagefileUsage = workingSet / 2 + workingSet / 8;
    r.vm.PageFaultCount = static_cast<ULONG>(workingSet / kPageSize * 3);
    return p;
}

std::vector<ScriptedProcess> Processes() {
    constexpr SIZE_T MiB = 1 << 20;
    std::vector<ScriptedProcess> list = {
        Process(0, 0, L"", 0, 8 * 1024, 8),
        Process(4, 0, L"System", 0, 3 * MiB, 180),
        Process(108, 4, L"Registry", 1, 80 * MiB, 4),
        Process(380, 4, L"smss.exe", 2, 1 * MiB, 2),
        Process(612, 520, L"services.exe", 5, 9 * MiB, 8),
        Process(700, 520, L"lsass.exe", 5, 22 * MiB, 9),
        Process(2345, 4, L"Memory Compression", 20, 256 * MiB, 30),
        Process(1234, 612, L"svchost.exe", 8, 30 * MiB, 20),
        Process(4321, 4300, L"explorer.exe", 40, 120 * MiB, 70),
        Process(4444, 4321, L"Palisk.exe", 300, 12 * MiB, 1),
    };
    return list;
}

std::vector<ScriptedPageFile> PageFiles() {
    ScriptedPageFile f;
    f.file = PageFileRecord{L"\\??\\C:\\pagefile.sys", 524288, 16384, 32768};
    return {f};
}

MEMORYSTATUSEX MemoryStatus() {
    MEMORYSTATUSEX m{};
    m.dwLength = sizeof m;
    const ULONGLONG total = ULONGLONG{kPhysicalPages} * kPageSize;
    const ULONGLONG available = ULONGLONG{AvailablePages()} * kPageSize;
    m.dwMemoryLoad = static_cast<DWORD>((total - available) * 100 / total);
    m.ullTotalPhys = total;
    m.ullAvailPhys = available;
    m.ullTotalPageFile = ULONGLONG{kCommitLimit} * kPageSize;
    m.ullAvailPageFile = ULONGLONG{kCommitLimit - kCommittedPages} * kPageSize;
    m.ullTotalVirtual = 0x7FFFFFFE0000ULL;
    m.ullAvailVirtual = 0x7FFFFFFE0000ULL - 0x40000000ULL;
    return m;
}

SYSTEM_INFO SystemInfo() {
    SYSTEM_INFO s{};
    s.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    s.dwPageSize = kPageSize;
    s.lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(ULONG_PTR{0x10000});
    s.lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(ULONG_PTR{0x7FFFFFFEFFFF});
    s.dwActiveProcessorMask = 0xFF;
    s.dwNumberOfProcessors = 8;
    s.dwProcessorType = 8664;
    s.dwAllocationGranularity = 65536;
    s.wProcessorLevel = 6;
    s.wProcessorRevision = 0x9E0A;
    return s;
}

OSVERSIONINFOEXW Version() {
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwMajorVersion = 10;
    v.dwMinorVersion = 0;
    v.dwBuildNumber = 19045;
    v.dwPlatformId = VER_PLATFORM_WIN32_NT;
    v.wSuiteMask = 0x100;  // single-user terminal services
    v.wProductType = VER_NT_WORKSTATION;
    return v;
}

std::map<std::string, ScriptedModule> Modules() {
    std::map<std::string, ScriptedModule> modules;
    for (const char* name : {"ntdll.dll", "kernel32.dll", "psapi.dll", "wtsapi32.dll", "iphlpapi.dll"})
        modules[name] = ScriptedModule{true, DefaultExports(name)};
    return modules;
}

std::vector<ScriptedPrivilege> Privileges() {
    // An elevated administrator holds these; only change-notify is enabled.
    return {
        {L"SeChangeNotifyPrivilege", true, true, ERROR_SUCCESS},
        {L"SeDebugPrivilege", true, false, ERROR_SUCCESS},
        {L"SeIncreaseQuotaPrivilege", true, false, ERROR_SUCCESS},
        {L"SeProfileSingleProcessPrivilege", true, false, ERROR_SUCCESS},
        {L"SeShutdownPrivilege", true, false, ERROR_SUCCESS},
        {L"SeIncreaseWorkingSetPrivilege", true, false, ERROR_SUCCESS},
    };
}

ScriptedRegistryValue DwordValue(DWORD value) {
    ScriptedRegistryValue v;
    v.type = REG_DWORD;
    v.data.resize(sizeof value);
    for (std::size_t i = 0; i < sizeof value; ++i) v.data[i] = static_cast<BYTE>(value >> (8 * i));
    return v;
}

std::vector<ScriptedRegistryKey> Registry() {
    ScriptedRegistryKey prefetch;
    prefetch.path =
        L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\"
        L"PrefetchParameters";
    prefetch.values[L"enablesuperfetch"] = DwordValue(3);
    return {prefetch};
}

std::vector<ScriptedCounter> Counters() {
    auto bytes = [](ULONGLONG pages) { return static_cast<LONGLONG>(pages * kPageSize); };
    return {
        {L"\\Memory\\Free & Zero Page List Bytes", bytes(kZeroPages + kFreePages)},
        {L"\\Memory\\Cache Bytes", bytes(kCachePages)},
        {L"\\Memory\\Modified Page List Bytes", bytes(kModifiedPages)},
        {L"\\Memory\\Standby Cache Core Bytes", bytes(StandbyPages(6, 7))},
        {L"\\Memory\\Standby Cache Normal Priority Bytes", bytes(StandbyPages(4, 5))},
        {L"\\Memory\\Standby Cache Reserve Bytes", bytes(StandbyPages(0, 3))},
        {L"\\Memory\\System Cache Resident Bytes", bytes(kCachePages)},
    };
}

}  // namespace

ScriptedSystemState DefaultScriptedSystem() {
    ScriptedSystemState s;
    s.modules = Modules();
    s.basic = Basic();
    s.performance = Performance();
    s.fileCache = FileCache();
    s.memoryList = MemoryList();
    s.pageFiles = PageFiles();
    s.processes = Processes();
    s.Query(SystemBasicInformation).recordLength = sizeof(nt::SYSTEM_BASIC_INFORMATION);
    s.Query(SystemPerformanceInformation).recordLength = nt::kSystemPerformanceInformationLength;
    s.Query(SystemTimeOfDayInformation).recordLength = sizeof(nt::SYSTEM_TIMEOFDAY_INFORMATION);
    s.Query(nt::SystemFileCacheInformation).recordLength = sizeof(nt::SYSTEM_FILECACHE_INFORMATION);
    s.Query(nt::SystemMemoryListInformation).recordLength = sizeof(nt::SYSTEM_MEMORY_LIST_INFORMATION);
    s.memoryStatus = MemoryStatus();
    s.systemInfo = SystemInfo();
    s.logicalProcessors = MakeLogicalProcessors(4, 2);
    s.version = Version();
    s.cacheMinimum = SIZE_T{256} * kPageSize;
    s.cacheMaximum = (SIZE_T{1} << 28) * kPageSize;
    s.privileges = Privileges();
    s.registry = Registry();
    s.services = {ScriptedService{L"SysMain", SERVICE_RUNNING, ERROR_SUCCESS, ERROR_SUCCESS}};
    s.counters = Counters();
    return s;
}

}  // namespace host
