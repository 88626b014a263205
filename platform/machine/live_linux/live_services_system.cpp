// LiveSystemServices: construction, modules, memory status, processors,
// version, the token, and what Linux does not have (registry, services,
// file-cache limits).

#include "live_system_services.h"

#include "host/linux_memory_figures.h"
#include "proc_files.h"
#include "text_scan.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <sys/utsname.h>
#include <unistd.h>

namespace host::linux_proc {

namespace {

// The page size the kernel counts in: the one the roots name, else this
// computer's.
std::uint64_t SystemPageSize(const LinuxRoots& roots) {
    if (roots.pageSize != 0) return roots.pageSize;
    const long size = sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : 4096;
}

long ClockTicksPerSecond() {
    const long ticks = sysconf(_SC_CLK_TCK);
    return ticks > 0 ? ticks : 100;
}

// When /proc/stat cannot be read: now less the time since boot.
std::uint64_t BootTimeFromClocks() {
    timespec now{};
    timespec sinceBoot{};
    clock_gettime(CLOCK_REALTIME, &now);
    clock_gettime(CLOCK_BOOTTIME, &sinceBoot);
    return static_cast<std::uint64_t>(std::max<time_t>(now.tv_sec - sinceBoot.tv_sec, 0));
}

// The system modules a Windows program may load; the host resolves what it
// implements of them.
constexpr std::array<std::wstring_view, 13> kSystemModules{
    L"ntdll.dll", L"kernel32.dll", L"kernelbase.dll", L"user32.dll",   L"gdi32.dll",   L"advapi32.dll", L"psapi.dll",
    L"pdh.dll",   L"wtsapi32.dll", L"iphlpapi.dll",   L"comctl32.dll", L"shell32.dll", L"ole32.dll"};

}  // namespace

LiveSystemServices::LiveSystemServices(Machine& machine, LinuxRoots roots)
    : machine_(machine),
      roots_(std::move(roots)),
      pageSize_(SystemPageSize(roots_)),
      clockTicks_(ClockTicksPerSecond()),
      topology_(ReadProcessorTopology(roots_)),
      sampler_(roots_, pageSize_),
      token_(roots_),
      commands_(roots_),
      ownStatm_(roots_.proc + "/self/statm") {
    std::string text;
    if (ReadFile(roots_.proc + "/stat", text)) bootTimeSeconds_ = ParseBootTime(text).value_or(0);
    if (bootTimeSeconds_ == 0) bootTimeSeconds_ = BootTimeFromClocks();
    if (ReadFile(roots_.proc + "/zoneinfo", text)) pageFrames_ = ParseZoneSpan(text);
    if (ReadFile(roots_.proc + "/sys/vm/mmap_min_addr", text)) {
        minimumUserAddress_ = std::max<ULONG_PTR>(ParseUnsigned(TrimBlanks(text)).value_or(0), pageSize_);
    }
}

// ---- modules --------------------------------------------------------------

bool LiveSystemServices::ModuleLoads(std::wstring_view module) {
    return std::any_of(kSystemModules.begin(), kSystemModules.end(),
                       [&](std::wstring_view known) { return SameName(known, module); });
}

bool LiveSystemServices::HasExport(std::wstring_view module, std::string_view name) {
    // Linux has no system file-cache limit: these two are missing, as on
    // systems older than they are, and the program disables the buttons.
    if (SameName(module, std::wstring_view(L"kernel32.dll")) &&
        (name == "GetSystemFileCacheSize" || name == "SetSystemFileCacheSize")) {
        return false;
    }
    return true;
}

// ---- memory, processors, version, boot time ---------------------------------

DWORD LiveSystemServices::MemoryStatus(MEMORYSTATUSEX* status) {
    const auto f = sampler_.Figures(KernelSampler::kMeminfoOnly);
    if (!f) return ERROR_NOT_SUPPORTED;
    const std::uint64_t used = f->physicalPages - f->availablePages;
    status->dwMemoryLoad = f->physicalPages ? static_cast<DWORD>(used * 100 / f->physicalPages) : 0;
    status->ullTotalPhys = f->physicalPages * pageSize_;
    status->ullAvailPhys = f->availablePages * pageSize_;
    status->ullTotalPageFile = f->commitLimitBytes;
    status->ullAvailPageFile = FlooredDifference(f->commitLimitBytes, f->committedBytes);
    status->ullTotalVirtual = kHighestUserAddress + 1 - minimumUserAddress_;
    std::string text;
    std::uint64_t ownVirtual = 0;
    if (ownStatm_.Read(text)) {
        FieldReader fields(text);
        std::string_view pages;
        if (fields.Next(pages)) ownVirtual = ParseUnsigned(pages).value_or(0) * pageSize_;
    }
    status->ullAvailVirtual = FlooredDifference(status->ullTotalVirtual, ownVirtual);
    status->ullAvailExtendedVirtual = 0;
    return ERROR_SUCCESS;
}

void LiveSystemServices::SystemInfo(SYSTEM_INFO* info) {
    *info = SYSTEM_INFO{};
#if defined(__aarch64__)
    info->wProcessorArchitecture = 12;  // PROCESSOR_ARCHITECTURE_ARM64
#else
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    info->dwProcessorType = 8664;  // PROCESSOR_AMD_X8664
#endif
    info->dwPageSize = static_cast<DWORD>(pageSize_);
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(minimumUserAddress_);
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(kHighestUserAddress);
    info->dwActiveProcessorMask = ProcessorMask(topology_.online);
    // A Windows program sees the processors of its own group, 64 at most.
    info->dwNumberOfProcessors = static_cast<DWORD>(
        std::count_if(topology_.online.begin(), topology_.online.end(), [](unsigned cpu) { return cpu < 64; }));
    info->dwAllocationGranularity = static_cast<DWORD>(pageSize_);  // Linux maps at page granularity
    if (topology_.identity) {
        info->wProcessorLevel = static_cast<WORD>(topology_.identity->family);
        info->wProcessorRevision = static_cast<WORD>(topology_.identity->model << 8 | topology_.identity->stepping);
    }
}

DWORD LiveSystemServices::LogicalProcessorInformation(std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>* records) {
    *records = LogicalProcessorRecords(topology_);
    return ERROR_SUCCESS;
}

DWORD LiveSystemServices::OsVersion(OSVERSIONINFOEXW* version) {
    // Windows 8 and later report 6.2, build 9200, to a program whose
    // manifest does not name them; this machine does the same. The service
    // pack text names the Linux kernel underneath.
    version->dwMajorVersion = 6;
    version->dwMinorVersion = 2;
    version->dwBuildNumber = 9200;
    version->dwPlatformId = VER_PLATFORM_WIN32_NT;
    utsname names{};
    const std::wstring csd = uname(&names) == 0 ? L"Linux " + WidenUtf8(names.release) : L"Linux";
    const std::size_t chars = std::min(csd.size(), std::size(version->szCSDVersion) - 1);
    std::copy_n(csd.begin(), chars, version->szCSDVersion);
    version->szCSDVersion[chars] = L'\0';
    version->wServicePackMajor = 0;
    version->wServicePackMinor = 0;
    version->wSuiteMask = 0;
    version->wProductType = VER_NT_WORKSTATION;
    version->wReserved = 0;
    return ERROR_SUCCESS;
}

ULONGLONG LiveSystemServices::BootTime() { return CreationTime(0); }

// ---- what Linux does not have -------------------------------------------------

DWORD LiveSystemServices::FileCacheLimits(SIZE_T*, SIZE_T*, DWORD*) {
    return ERROR_CALL_NOT_IMPLEMENTED;  // not exported: no system file-cache limit
}

DWORD LiveSystemServices::SetFileCacheLimits(SIZE_T, SIZE_T, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }

DWORD LiveSystemServices::OpenRegistryKey(HKEY, std::wstring_view) {
    return ERROR_FILE_NOT_FOUND;  // no registry: the prefetch setting reads 0
}

DWORD LiveSystemServices::QueryRegistryValue(HKEY, std::wstring_view, std::wstring_view, DWORD*, std::vector<BYTE>*) {
    return ERROR_FILE_NOT_FOUND;
}

DWORD LiveSystemServices::ConnectServiceManager(DWORD) { return ERROR_SUCCESS; }

DWORD LiveSystemServices::OpenServiceByName(std::wstring_view, DWORD) {
    return ERROR_SERVICE_DOES_NOT_EXIST;  // no prefetch service ("SysMain") on Linux
}

DWORD LiveSystemServices::ServiceStatus(std::wstring_view, SERVICE_STATUS*) { return ERROR_SERVICE_DOES_NOT_EXIST; }

bool LiveSystemServices::RefuseAllocation(SIZE_T) { return false; }

// ---- the token ------------------------------------------------------------------

DWORD LiveSystemServices::OpenToken(DWORD pid, DWORD) {
    // Only our own token stands for anything here.
    return pid == CurrentProcessId() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

DWORD LiveSystemServices::LookupPrivilege(std::wstring_view name, LUID* luid) {
    const std::optional<LUID> known = WellKnownPrivilege(name);
    if (!known) return ERROR_NO_SUCH_PRIVILEGE;
    *luid = *known;
    return ERROR_SUCCESS;
}

DWORD LiveSystemServices::HeldPrivileges(std::vector<LUID_AND_ATTRIBUTES>* held) {
    *held = token_.Privileges();
    return ERROR_SUCCESS;
}

DWORD LiveSystemServices::ChangePrivileges(std::span<const LUID_AND_ATTRIBUTES> changes) {
    token_.Change(changes);
    return ERROR_SUCCESS;
}

}  // namespace host::linux_proc
