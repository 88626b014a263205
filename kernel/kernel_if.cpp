#include "kernel/kernel_if.h"

#include <nt/process_information.h>
#include <nt/system_information.h>

#include "kernel/privileges.h"

namespace KernelIf {

namespace {

void FreeSnapshot(LPBYTE& buffer) {
    if (buffer) HeapFree(GetProcessHeap(), 0, buffer);
    buffer = nullptr;
}

void Release(HMODULE& module) {
    if (module) FreeLibrary(module);
    module = nullptr;
}

bool WithinRange(DWORD count) { return count >= 1 && count <= kMaxProcessors; }

}  // namespace

// ---- construction and destruction -------------------------------------------

CKernelIf::CKernelIf() {
    m_hNtdll = LoadLibraryW(L"ntdll.dll");
    BindNtdll(m_hNtdll);

    m_cbSnapshotBuffer = kInitialSnapshotBufferBytes;
    m_pPrevSnapshot = nullptr;
    m_pSnapshot = nullptr;

    m_hKernel32 = LoadLibraryW(L"kernel32.dll");
    BindKernel32(m_hKernel32);

    m_hWtsapi32 = LoadLibraryW(L"Wtsapi32.dll");
    BindWtsapi32(m_hWtsapi32);

    ReadVersion();

    m_hIphlpapi = LoadLibraryW(L"IPHLPAPI.dll");
    BindIphlpapi(m_hIphlpapi);

    EnableDebugPrivilege();  // best effort: the snapshot works without it for most processes
    QueryProcessorCounts();
    ReadBootTime();
}

CKernelIf::~CKernelIf() {
    Release(m_hNtdll);
    BindNtdll(nullptr);
    Release(m_hKernel32);
    BindKernel32(nullptr);
    Release(m_hWtsapi32);
    BindWtsapi32(nullptr);
    Release(m_hIphlpapi);
    BindIphlpapi(nullptr);
    FreeSnapshot(m_pPrevSnapshot);
    FreeSnapshot(m_pSnapshot);
}

void CKernelIf::ReadVersion() {
    m_osVersionInfo = OSVERSIONINFOEXW{};
    // The size field tells GetVersionExW that the extended record is passed.
    // It is sizeof rather than Windows's 284 bytes: the record holds WCHARs,
    // which are 2 bytes on Windows and the host's wider wchar_t elsewhere.
    m_osVersionInfo.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    // A failed call leaves the major version 0, which the flag then reflects.
    GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&m_osVersionInfo));
    m_bVersion5OrLater = m_osVersionInfo.dwMajorVersion >= 5;
}

void CKernelIf::ReadBootTime() {
    if (!m_pfnNtQuerySystemInformation) return;
    nt::SYSTEM_TIMEOFDAY_INFORMATION timeOfDay{};
    const NTSTATUS status =
        m_pfnNtQuerySystemInformation(SystemTimeOfDayInformation, &timeOfDay, sizeof timeOfDay, nullptr);
    if (status >= 0) m_llBootTime = timeOfDay.BootTime.QuadPart;
}

// ---- processors ---------------------------------------------------------------

void CKernelIf::QueryProcessorCounts() {
    m_nLogicalProcessors = 1;
    if (m_pfnNtQuerySystemInformation) {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        m_nLogicalProcessors = info.dwNumberOfProcessors;
    }
    m_nProcessorCores = m_nLogicalProcessors;
    if (m_pfnGetLogicalProcessorInformation) {
        DWORD cores = 0;
        if (CountProcessorCores(&cores)) m_nProcessorCores = cores;
    }
    if (!WithinRange(m_nProcessorCores)) m_nProcessorCores = 1;
    if (!WithinRange(m_nLogicalProcessors)) m_nLogicalProcessors = 1;
}

bool CKernelIf::CountProcessorCores(DWORD* cores) {
    constexpr DWORD kRecordBytes = sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION);
    DWORD length = 0;
    // Only a first call that asks for a buffer leads on.
    if (m_pfnGetLogicalProcessorInformation(nullptr, &length) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    // Whole records are allocated, zeroed, so that the walk below (which
    // counts a record begun at the end of the length) stays in the buffer.
    const DWORD records = length / kRecordBytes + (length % kRecordBytes ? 1 : 0);
    auto* buffer = static_cast<PSYSTEM_LOGICAL_PROCESSOR_INFORMATION>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(records) * kRecordBytes));
    if (!buffer) return false;
    const bool read = m_pfnGetLogicalProcessorInformation(buffer, &length) != FALSE;
    if (read) {
        const DWORD walked = length / kRecordBytes + (length % kRecordBytes ? 1 : 0);
        *cores = 0;
        for (DWORD i = 0; i < walked && i < records; ++i)
            if (buffer[i].Relationship == RelationProcessorCore) ++*cores;
    }
    HeapFree(GetProcessHeap(), 0, buffer);
    return read;
}

// ---- process snapshots ---------------------------------------------------------

bool CKernelIf::TakeProcessSnapshot() {
    bool result = false;
    if (!m_bVersion5OrLater || !m_pfnNtQuerySystemInformation) {
        SetLastError(KERNELIF_ERROR_UNAVAILABLE);
    } else {
        FreeSnapshot(m_pPrevSnapshot);
        m_pPrevSnapshot = m_pSnapshot;
        m_ftPrevSnapshot = m_ftSnapshot;
        m_pSnapshot = nullptr;
        result = FetchProcessList();
    }
    if (m_bVersion5OrLater) FillMissingCreationTimes();
    return result;
}

bool CKernelIf::GrowSnapshotBuffer() {
    // Doubled while no previous list is held; otherwise a page at a time,
    // since the list seldom grows much between two snapshots.
    const DWORD growth = m_pPrevSnapshot ? kSnapshotGrowthWithPrevious : m_cbSnapshotBuffer;
    if (m_cbSnapshotBuffer > MAXDWORD - growth) return false;
    m_cbSnapshotBuffer += growth;
    return true;
}

bool CKernelIf::FetchProcessList() {
    int failures = 0;
    for (;;) {
        m_pSnapshot = static_cast<LPBYTE>(HeapAlloc(GetProcessHeap(), 0, m_cbSnapshotBuffer));
        if (!m_pSnapshot) {
            SetLastError(KERNELIF_ERROR_NO_MEMORY);
            return false;
        }
        const NTSTATUS status =
            m_pfnNtQuerySystemInformation(SystemProcessInformation, m_pSnapshot, m_cbSnapshotBuffer, nullptr);
        if (status >= 0) {
            SYSTEMTIME now;
            GetSystemTime(&now);
            SystemTimeToFileTime(&now, &m_ftSnapshot);
            return true;
        }
        FreeSnapshot(m_pSnapshot);
        if (status == nt::kStatusInfoLengthMismatch) {
            // A list too long for any buffer size a query can take cannot
            // be held: reported as the allocation it would need failing.
            if (!GrowSnapshotBuffer()) {
                SetLastError(KERNELIF_ERROR_NO_MEMORY);
                return false;
            }
            continue;
        }
        // Any other failure is asked again at the same size, a few times;
        // a service that keeps failing counts as unavailable.
        if (++failures > kSnapshotRetries) {
            SetLastError(KERNELIF_ERROR_UNAVAILABLE);
            return false;
        }
    }
}

void CKernelIf::FillMissingCreationTimes() {
    if (!m_pSnapshot) return;
    ULONGLONG offset = 0;  // wide enough that no sum of offsets wraps
    for (;;) {
        // Records that would reach past the buffer are not the kernel's.
        if (m_cbSnapshotBuffer < sizeof(nt::SYSTEM_PROCESS_INFORMATION) ||
            offset > m_cbSnapshotBuffer - sizeof(nt::SYSTEM_PROCESS_INFORMATION))
            return;
        auto* record = reinterpret_cast<nt::SYSTEM_PROCESS_INFORMATION*>(m_pSnapshot + offset);
        if (record->CreateTime.QuadPart == 0) record->CreateTime.QuadPart = m_llBootTime;
        if (record->NextEntryOffset == 0) return;
        offset += record->NextEntryOffset;
    }
}

}  // namespace KernelIf
