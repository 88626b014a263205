#pragma once
// The figures of one refresh: the records the kernel returned for one
// moment, the status of each query, and the figures derived from them. The
// report and the chart feeds read nothing else.

#include <windows.h>
#include <winternl.h>

#include <nt/process_information.h>
#include <nt/system_information.h>

// Page-list figures in bytes from the performance counters. A figure whose
// counter could not be read this refresh is 0.
struct CounterFigures {
    LONGLONG freeZeroBytes = 0;
    LONGLONG modifiedBytes = 0;
    LONGLONG standbyCoreBytes = 0;
    LONGLONG standbyNormalPriorityBytes = 0;
    LONGLONG standbyReserveBytes = 0;
};

// The largest paging-file list the refresh reads: 16 entries of 32 bytes.
constexpr ULONG kPageFileBufferLength = 512;
constexpr int kMaxPageFileEntries = 16;

struct MemorySample {
    // ---- query statuses: negative is a failure; -1 a missing entry point ----
    NTSTATUS basicStatus = -1;
    NTSTATUS fileCacheStatus = -1;
    NTSTATUS performanceStatus = -1;
    NTSTATUS pageFileStatus = -1;
    NTSTATUS memoryListStatus = -1;
    NTSTATUS systemProcessStatus = 0;  // 0 when the process could not be opened
    NTSTATUS targetStatus = 0;         // 0 when no target is selected or it is gone
    NTSTATUS compressionStatus = 0;    // 0 when there is none or it cannot be opened
    ULONG memoryListReturnLength = 0;  // what the last memory-list query reported
    ULONG pageFileReturnLength = 0;    // bytes of paging-file entries the query wrote

    // ---- records ----
    MEMORYSTATUSEX globalStatus{};
    nt::SYSTEM_BASIC_INFORMATION basic{};
    union {
        nt::SYSTEM_FILECACHE_INFORMATION fileCache;
        BYTE fileCacheBuffer[nt::kSystemFileCacheInformationLength];
    };
    nt::SYSTEM_PERFORMANCE_INFORMATION performance{};
    alignas(8) BYTE pageFileBuffer[kPageFileBufferLength]{};
    nt::SYSTEM_MEMORY_LIST_INFORMATION memoryList{};
    nt::VM_COUNTERS systemProcess{};
    nt::VM_COUNTERS target{};
    nt::VM_COUNTERS compression{};

    // ---- counters, cache-size flags, prefetcher ----
    CounterFigures counters;
    DWORD cacheSizeFlags = 0;
    bool cacheSizeFlagsObtained = false;
    LONG superFetchSetting = 0;
    bool sysMainRunning = false;

    // ---- derived figures (DeriveFigures) ----
    ULONG pageSize = 0;
    ULONGLONG physicalPages = 0;
    ULONGLONG totalRamBytes = 0;
    ULONGLONG availableBytes = 0;
    ULONGLONG usedBytes = 0;
    ULONGLONG zeroedPages = 0;
    ULONGLONG freePages = 0;
    ULONGLONG badPages = 0;
    ULONGLONG cacheWorkingSetBytes = 0;
    ULONGLONG pageFileInUseBytes = 0;

    MemorySample() : fileCacheBuffer{} {}
};

// The sum of the in-use pages of the paging-file entries, walking from the
// first. Each entry's next-entry offset says where the next one starts (a
// paging file's name may lie between two entries); an offset of 0 marks the
// last. The walk never reads past the length the query returned nor past
// the buffer, stops at an offset too short to hold an entry, and reads at
// most 16 entries.
ULONGLONG PageFilePagesInUse(const MemorySample& sample);

// Fills the derived figures from the records. Physical pages are the total
// physical memory in whole pages, kept in 64 bits (a machine of 16 TiB or
// more has more pages than 32 bits count); the basic record's own 32-bit
// count is held at its largest value rather than wrapped. Figures that
// subtract two counts read at different instants are held at zero rather
// than wrapping.
void DeriveFigures(MemorySample& sample);

// The page size the RAM chart counts in: its bands are 4096-byte pages,
// whatever the machine's page size.
constexpr ULONG kChartPageSize = 4096;

// A count of the machine's pages as the RAM chart takes it: in 4096-byte
// pages, and held at the largest 32-bit count rather than wrapped.
ULONG ChartPageCount(ULONGLONG pages, ULONG pageSize);
