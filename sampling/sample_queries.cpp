#include "sampling/sample_queries.h"

#include "control/listed_process.h"
#include "kernel/kernel_if.h"

#include <cstring>

namespace {

// Access for reading a process's memory counters.
constexpr DWORD kQueryAccess = 0x1000;
constexpr ULONG kMemoryListRetryLength = sizeof(nt::SYSTEM_MEMORY_LIST_INFORMATION_EX);
constexpr NTSTATUS kMissingEntryPoint = -1;

NTSTATUS QueryBasic(const KernelIf::CKernelIf& kernel, MemorySample& sample) {
    if (!kernel.m_pfnNtQuerySystemInformation) return kMissingEntryPoint;
    const NTSTATUS status = kernel.m_pfnNtQuerySystemInformation(SystemBasicInformation, &sample.basic,
                                                                 sizeof(sample.basic), nullptr);
    if (status >= 0) return status;
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    sample.basic.PageSize = info.dwPageSize;
    return 0;
}

// The 328-byte record, or the first 328 bytes of the 344-byte form that
// later systems insist on.
NTSTATUS QueryPerformance(const KernelIf::CKernelIf& kernel, MemorySample& sample) {
    if (!kernel.m_pfnNtQuerySystemInformation) return kMissingEntryPoint;
    NTSTATUS status = kernel.m_pfnNtQuerySystemInformation(
        SystemPerformanceInformation, &sample.performance, nt::kSystemPerformanceInformationLength, nullptr);
    if (status >= 0) return status;
    void* longer = HeapAlloc(GetProcessHeap(), 0, nt::kSystemPerformanceInformationRetryLength);
    if (!longer) return status;
    status = kernel.m_pfnNtQuerySystemInformation(SystemPerformanceInformation, longer,
                                                  nt::kSystemPerformanceInformationRetryLength, nullptr);
    std::memcpy(&sample.performance, longer, nt::kSystemPerformanceInformationLength);
    HeapFree(GetProcessHeap(), 0, longer);
    return status;
}

NTSTATUS QueryMemoryList(const KernelIf::CKernelIf& kernel, MemorySample& sample) {
    if (!kernel.m_pfnNtQuerySystemInformation) return kMissingEntryPoint;
    const NTSTATUS status = kernel.m_pfnNtQuerySystemInformation(
        nt::SystemMemoryListInformation, &sample.memoryList, sizeof(sample.memoryList), &sample.memoryListReturnLength);
    if (status >= 0) return status;
    nt::SYSTEM_MEMORY_LIST_INFORMATION_EX longer{};
    const NTSTATUS retry = kernel.m_pfnNtQuerySystemInformation(
        nt::SystemMemoryListInformation, &longer, kMemoryListRetryLength, &sample.memoryListReturnLength);
    // A failed retry leaves the first query's status: that is the one the
    // refresh reports (with the length the retry asked for).
    if (retry < 0) return status;
    // Each field to the same place; the longer form's last count is dropped.
    std::memcpy(&sample.memoryList, &longer, sizeof(sample.memoryList));
    return retry;
}

}  // namespace

void QuerySystemRecords(const KernelIf::CKernelIf& kernel, MemorySample& sample) {
    sample.globalStatus.dwLength = sizeof(sample.globalStatus);
    GlobalMemoryStatusEx(&sample.globalStatus);
    sample.basicStatus = QueryBasic(kernel, sample);

    ULONG returned = 0;
    const auto query = kernel.m_pfnNtQuerySystemInformation;
    sample.fileCacheStatus = query ? query(nt::SystemFileCacheInformation, sample.fileCacheBuffer,
                                           nt::kSystemFileCacheInformationLength, &returned)
                                   : kMissingEntryPoint;
    sample.performanceStatus = QueryPerformance(kernel, sample);
    sample.pageFileStatus = query ? query(nt::SystemPageFileInformation, sample.pageFileBuffer,
                                          kPageFileBufferLength, &sample.pageFileReturnLength)
                                  : kMissingEntryPoint;
    sample.memoryListStatus = QueryMemoryList(kernel, sample);
    // A failed query may have written part of the record: nothing of it counts.
    if (sample.memoryListStatus < 0) sample.memoryList = {};
}

NTSTATUS QueryProcessCounters(const KernelIf::CKernelIf& kernel, DWORD pid, ULONGLONG creationTime,
                              nt::VM_COUNTERS* counters, bool* opened) {
    *counters = {};
    HANDLE process = OpenListedProcess(kQueryAccess, pid, creationTime);
    *opened = process != nullptr;
    if (!process) return 0;
    NTSTATUS status = kMissingEntryPoint;
    if (kernel.m_pfnNtQueryInformationProcess) {
        ULONG returned = 0;
        status = kernel.m_pfnNtQueryInformationProcess(process, nt::ProcessVmCounters, counters, sizeof(*counters),
                                                       &returned);
    }
    CloseHandle(process);
    return status;
}
