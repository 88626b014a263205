#pragma once
// Process records of the native queries, 64-bit layout: the process list
// (NtQuerySystemInformation class 5) and a process's memory counters
// (NtQueryInformationProcess class 3). Offsets checked at compile time.
//
// Image names are UNICODE_STRINGs whose characters are the platform's WCHAR:
// Length counts bytes, characters × sizeof(WCHAR), without the terminator.

#include <winternl.h>

#include <cstddef>

namespace nt {

// The memory-counters class of NtQueryInformationProcess, which the SDK's
// <winternl.h> leaves out.
inline constexpr auto ProcessVmCounters = static_cast<PROCESSINFOCLASS>(3);

// ProcessVmCounters: sizes in bytes.
struct VM_COUNTERS {
    SIZE_T PeakVirtualSize;
    SIZE_T VirtualSize;
    ULONG PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
};
static_assert(sizeof(VM_COUNTERS) == 88);
static_assert(offsetof(VM_COUNTERS, WorkingSetSize) == 32);

// One record of the process list. Records lie back to back in the caller's
// buffer, each NextEntryOffset bytes after the one before (0 on the last);
// the image name's characters follow their record in the same buffer.
struct SYSTEM_PROCESS_INFORMATION {
    ULONG NextEntryOffset;
    ULONG NumberOfThreads;
    LARGE_INTEGER WorkingSetPrivateSize;
    ULONG HardFaultCount;
    ULONG NumberOfThreadsHighWatermark;
    ULONGLONG CycleTime;
    LARGE_INTEGER CreateTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER KernelTime;
    UNICODE_STRING ImageName;
    LONG BasePriority;
    HANDLE UniqueProcessId;
    HANDLE InheritedFromUniqueProcessId;
    ULONG HandleCount;
    ULONG SessionId;
    ULONG_PTR UniqueProcessKey;
    SIZE_T PeakVirtualSize;
    SIZE_T VirtualSize;
    ULONG PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
    SIZE_T PrivatePageCount;
    LARGE_INTEGER ReadOperationCount;
    LARGE_INTEGER WriteOperationCount;
    LARGE_INTEGER OtherOperationCount;
    LARGE_INTEGER ReadTransferCount;
    LARGE_INTEGER WriteTransferCount;
    LARGE_INTEGER OtherTransferCount;
};
static_assert(sizeof(SYSTEM_PROCESS_INFORMATION) == 256);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, NextEntryOffset) == 0);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, CreateTime) == 32);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) == 56);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) + offsetof(UNICODE_STRING, Buffer) == 64);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId) == 80);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, PeakVirtualSize) == 112);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, WorkingSetSize) == 144);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, PrivatePageCount) == 200);

}  // namespace nt
