#pragma once
// Records of the native system-information query (NtQuerySystemInformation)
// and the memory-list commands of NtSetSystemInformation, laid out as the
// 64-bit kernel returns them and as the program reads them. Every offset
// the program relies on is checked below at compile time.
//
// In namespace nt: the SDK's <winternl.h> declares shorter, partly opaque
// records under some of the same names, and these must sit beside it.

#include <winternl.h>

#include <cstddef>

namespace nt {

// Information classes and a status that the SDK's <winternl.h> leaves out;
// every ntdll knows them. (Sizes and records are below, by class.)
inline constexpr auto SystemPageFileInformation = static_cast<SYSTEM_INFORMATION_CLASS>(18);
inline constexpr auto SystemFileCacheInformation = static_cast<SYSTEM_INFORMATION_CLASS>(21);
inline constexpr auto SystemMemoryListInformation = static_cast<SYSTEM_INFORMATION_CLASS>(80);
// STATUS_INFO_LENGTH_MISMATCH, which only <ntstatus.h> defines.
inline constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

// ---- class 0: SystemBasicInformation --------------------------------------
// The program passes 56 bytes. A 64-bit kernel's record goes on with a 1-byte
// processor count (64 bytes with padding) and may refuse the shorter buffer;
// the program then falls back on GetSystemInfo.
struct SYSTEM_BASIC_INFORMATION {
    ULONG Reserved;
    ULONG TimerResolution;
    ULONG PageSize;
    ULONG NumberOfPhysicalPages;
    ULONG LowestPhysicalPageNumber;
    ULONG HighestPhysicalPageNumber;
    ULONG AllocationGranularity;
    ULONG_PTR MinimumUserModeAddress;
    ULONG_PTR MaximumUserModeAddress;
    ULONG_PTR ActiveProcessorsAffinityMask;
};
static_assert(sizeof(SYSTEM_BASIC_INFORMATION) == 56);
static_assert(offsetof(SYSTEM_BASIC_INFORMATION, PageSize) == 8);
static_assert(offsetof(SYSTEM_BASIC_INFORMATION, NumberOfPhysicalPages) == 12);
static_assert(offsetof(SYSTEM_BASIC_INFORMATION, MinimumUserModeAddress) == 32);

// ---- class 2: SystemPerformanceInformation --------------------------------
// The first 328 bytes, with the three commit counts as 32-bit fields (0x30 to
// 0x38) so that every later count sits where the program reads it. Kernels
// that return a longer record refuse a 328-byte buffer; the program then asks
// again with kSystemPerformanceInformationRetryLength bytes and keeps the
// first 328.
struct SYSTEM_PERFORMANCE_INFORMATION {
    LARGE_INTEGER IdleProcessTime;
    LARGE_INTEGER IoReadTransferCount;
    LARGE_INTEGER IoWriteTransferCount;
    LARGE_INTEGER IoOtherTransferCount;
    ULONG IoReadOperationCount;
    ULONG IoWriteOperationCount;
    ULONG IoOtherOperationCount;
    ULONG AvailablePages;
    ULONG CommittedPages;
    ULONG CommitLimit;
    ULONG PeakCommitment;
    ULONG PageFaultCount;
    ULONG CopyOnWriteCount;
    ULONG TransitionCount;
    ULONG CacheTransitionCount;
    ULONG DemandZeroCount;
    ULONG PageReadCount;
    ULONG PageReadIoCount;
    ULONG CacheReadCount;
    ULONG CacheIoCount;
    ULONG DirtyPagesWriteCount;
    ULONG DirtyWriteIoCount;
    ULONG MappedPagesWriteCount;
    ULONG MappedWriteIoCount;
    ULONG PagedPoolPages;
    ULONG NonPagedPoolPages;
    ULONG PagedPoolAllocs;
    ULONG PagedPoolFrees;
    ULONG NonPagedPoolAllocs;
    ULONG NonPagedPoolFrees;
    ULONG FreeSystemPtes;
    ULONG ResidentSystemCodePage;
    ULONG TotalSystemDriverPages;
    ULONG TotalSystemCodePages;
    ULONG NonPagedPoolLookasideHits;
    ULONG PagedPoolLookasideHits;
    ULONG AvailablePagedPoolPages;
    ULONG ResidentSystemCachePage;
    ULONG ResidentPagedPoolPage;
    ULONG ResidentSystemDriverPage;
    ULONG CcFastReadNoWait;
    ULONG CcFastReadWait;
    ULONG CcFastReadResourceMiss;
    ULONG CcFastReadNotPossible;
    ULONG CcFastMdlReadNoWait;
    ULONG CcFastMdlReadWait;
    ULONG CcFastMdlReadResourceMiss;
    ULONG CcFastMdlReadNotPossible;
    ULONG CcMapDataNoWait;
    ULONG CcMapDataWait;
    ULONG CcMapDataNoWaitMiss;
    ULONG CcMapDataWaitMiss;
    ULONG CcPinMappedDataCount;
    ULONG CcPinReadNoWait;
    ULONG CcPinReadWait;
    ULONG CcPinReadNoWaitMiss;
    ULONG CcPinReadWaitMiss;
    ULONG CcCopyReadNoWait;
    ULONG CcCopyReadWait;
    ULONG CcCopyReadNoWaitMiss;
    ULONG CcCopyReadWaitMiss;
    ULONG CcMdlReadNoWait;
    ULONG CcMdlReadWait;
    ULONG CcMdlReadNoWaitMiss;
    ULONG CcMdlReadWaitMiss;
    ULONG CcReadAheadIos;
    ULONG CcLazyWriteIos;
    ULONG CcLazyWritePages;
    ULONG CcDataFlushes;
    ULONG CcDataPages;
    ULONG ContextSwitches;
    ULONG FirstLevelTbFills;
    ULONG SecondLevelTbFills;
    ULONG SystemCalls;
    ULONGLONG CcTotalDirtyPages;
    ULONGLONG CcDirtyPageThreshold;
};
constexpr ULONG kSystemPerformanceInformationLength = 328;
constexpr ULONG kSystemPerformanceInformationRetryLength = 344;
static_assert(sizeof(SYSTEM_PERFORMANCE_INFORMATION) == kSystemPerformanceInformationLength);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, AvailablePages) == 0x2C);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CommittedPages) == 0x30);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, PageFaultCount) == 0x3C);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, TransitionCount) == 0x44);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, DemandZeroCount) == 0x4C);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, PageReadCount) == 0x50);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, DirtyPagesWriteCount) == 0x60);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, NonPagedPoolPages) == 0x74);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, PagedPoolAllocs) == 0x78);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, PagedPoolFrees) == 0x7C);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, NonPagedPoolAllocs) == 0x80);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, NonPagedPoolFrees) == 0x84);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, ResidentSystemCachePage) == 0xA4);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, ResidentPagedPoolPage) == 0xA8);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcFastReadNoWait) == 0xB0);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcFastMdlReadNoWait) == 0xC0);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcMapDataNoWait) == 0xD0);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcMapDataNoWaitMiss) == 0xD8);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcPinReadNoWait) == 0xE4);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcPinReadNoWaitMiss) == 0xEC);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcCopyReadNoWait) == 0xF4);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcCopyReadNoWaitMiss) == 0xFC);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcMdlReadNoWait) == 0x104);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcMdlReadNoWaitMiss) == 0x10C);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcReadAheadIos) == 0x114);
static_assert(offsetof(SYSTEM_PERFORMANCE_INFORMATION, CcLazyWritePages) == 0x11C);

// ---- class 3: SystemTimeOfDayInformation ----------------------------------
// Times in the FILETIME form (100-ns intervals since 1601, UTC).
struct SYSTEM_TIMEOFDAY_INFORMATION {
    LARGE_INTEGER BootTime;
    LARGE_INTEGER CurrentTime;
    LARGE_INTEGER TimeZoneBias;
    ULONG TimeZoneId;
    ULONG Reserved;
};
static_assert(sizeof(SYSTEM_TIMEOFDAY_INFORMATION) == 32);
static_assert(offsetof(SYSTEM_TIMEOFDAY_INFORMATION, BootTime) == 0);

// ---- class 18: SystemPageFileInformation ----------------------------------
// One entry per paging file; sizes in pages. The file name's characters lie
// in the same buffer, after the entries.
struct SYSTEM_PAGEFILE_INFORMATION {
    ULONG NextEntryOffset;
    ULONG TotalSize;
    ULONG TotalInUse;
    ULONG PeakUsage;
    UNICODE_STRING PageFileName;
};
static_assert(sizeof(SYSTEM_PAGEFILE_INFORMATION) == 32);
static_assert(offsetof(SYSTEM_PAGEFILE_INFORMATION, TotalInUse) == 8);
static_assert(offsetof(SYSTEM_PAGEFILE_INFORMATION, PageFileName) == 16);

// ---- class 21: SystemFileCacheInformation ---------------------------------
// Sizes in bytes, working-set limits in pages. The record is 64 bytes; the
// program passes a buffer of kSystemFileCacheInformationLength, 8 to spare.
struct SYSTEM_FILECACHE_INFORMATION {
    SIZE_T CurrentSize;
    SIZE_T PeakSize;
    ULONG PageFaultCount;
    SIZE_T MinimumWorkingSet;
    SIZE_T MaximumWorkingSet;
    SIZE_T CurrentSizeIncludingTransitionInPages;
    SIZE_T PeakSizeIncludingTransitionInPages;
    ULONG TransitionRePurposeCount;
    ULONG Flags;
};
constexpr ULONG kSystemFileCacheInformationLength = 72;
static_assert(sizeof(SYSTEM_FILECACHE_INFORMATION) == 64);
static_assert(offsetof(SYSTEM_FILECACHE_INFORMATION, PeakSize) == 8);
static_assert(offsetof(SYSTEM_FILECACHE_INFORMATION, MinimumWorkingSet) == 24);
static_assert(offsetof(SYSTEM_FILECACHE_INFORMATION, MaximumWorkingSet) == 32);

// ---- class 80: SystemMemoryListInformation --------------------------------
// Page counts of the memory manager's lists. Later kernels return the longer
// form, which adds the part of the modified list bound for the paging files
// and refuses the 168-byte buffer.
struct SYSTEM_MEMORY_LIST_INFORMATION {
    ULONG_PTR ZeroPageCount;
    ULONG_PTR FreePageCount;
    ULONG_PTR ModifiedPageCount;
    ULONG_PTR ModifiedNoWritePageCount;
    ULONG_PTR BadPageCount;
    ULONG_PTR PageCountByPriority[8];
    ULONG_PTR RepurposedPagesByPriority[8];
};
static_assert(sizeof(SYSTEM_MEMORY_LIST_INFORMATION) == 168);
static_assert(offsetof(SYSTEM_MEMORY_LIST_INFORMATION, BadPageCount) == 32);
static_assert(offsetof(SYSTEM_MEMORY_LIST_INFORMATION, PageCountByPriority) == 40);
static_assert(offsetof(SYSTEM_MEMORY_LIST_INFORMATION, RepurposedPagesByPriority) == 104);

struct SYSTEM_MEMORY_LIST_INFORMATION_EX {
    ULONG_PTR ZeroPageCount;
    ULONG_PTR FreePageCount;
    ULONG_PTR ModifiedPageCount;
    ULONG_PTR ModifiedNoWritePageCount;
    ULONG_PTR BadPageCount;
    ULONG_PTR PageCountByPriority[8];
    ULONG_PTR RepurposedPagesByPriority[8];
    ULONG_PTR ModifiedPageCountPageFile;
};
static_assert(sizeof(SYSTEM_MEMORY_LIST_INFORMATION_EX) == 176);
static_assert(offsetof(SYSTEM_MEMORY_LIST_INFORMATION_EX, RepurposedPagesByPriority) == 104);
static_assert(offsetof(SYSTEM_MEMORY_LIST_INFORMATION_EX, ModifiedPageCountPageFile) == 168);

// ---- the buffers the program passes, in bytes ------------------------------
constexpr ULONG kSystemBasicInformationLength = sizeof(SYSTEM_BASIC_INFORMATION);
constexpr ULONG kSystemTimeOfDayInformationLength = sizeof(SYSTEM_TIMEOFDAY_INFORMATION);
constexpr ULONG kSystemPageFileInformationLength = 512;  // up to 16 entries
constexpr ULONG kSystemMemoryListInformationLength = sizeof(SYSTEM_MEMORY_LIST_INFORMATION);
constexpr ULONG kSystemMemoryListInformationRetryLength = sizeof(SYSTEM_MEMORY_LIST_INFORMATION_EX);

// The 32-bit commands NtSetSystemInformation takes with class 80.
enum SYSTEM_MEMORY_LIST_COMMAND {
    MemoryCaptureAccessedBits = 0,
    MemoryCaptureAndResetAccessedBits = 1,
    MemoryEmptyWorkingSets = 2,
    MemoryFlushModifiedList = 3,
    MemoryPurgeStandbyList = 4,
    MemoryPurgeLowPriorityStandbyList = 5,
    MemoryCommandMax = 6,
};

}  // namespace nt
