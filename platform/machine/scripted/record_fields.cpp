#include "record_fields.h"

#include <nt/process_information.h>
#include <nt/system_information.h>

#include <cstring>
#include <string>

namespace host::scenario {

namespace {

template <class T>
constexpr bool kSigned = std::is_signed_v<T>;

// A scalar field (integers, LARGE_INTEGER, pointers).
#define PALISK_FIELD(Record, member)                                                                         \
    FieldSpec {                                                                                              \
        #member, offsetof(Record, member), sizeof(Record::member), 1,                                        \
            std::is_same_v<decltype(Record::member), LARGE_INTEGER> ||                                       \
                (std::is_integral_v<decltype(Record::member)> && std::is_signed_v<decltype(Record::member)>) \
    }
// An array field.
#define PALISK_ARRAY_FIELD(Record, member)                                                                 \
    FieldSpec {                                                                                            \
        #member, offsetof(Record, member), sizeof(Record::member[0]),                                      \
            sizeof(Record::member) / sizeof(Record::member[0]), false                                      \
    }

using nt::SYSTEM_BASIC_INFORMATION;
using nt::SYSTEM_FILECACHE_INFORMATION;
using nt::SYSTEM_MEMORY_LIST_INFORMATION_EX;
using nt::SYSTEM_PERFORMANCE_INFORMATION;
using nt::SYSTEM_TIMEOFDAY_INFORMATION;
using nt::VM_COUNTERS;

const FieldSpec kBasic[] = {
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, Reserved),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, TimerResolution),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, PageSize),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, NumberOfPhysicalPages),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, LowestPhysicalPageNumber),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, HighestPhysicalPageNumber),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, AllocationGranularity),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, MinimumUserModeAddress),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, MaximumUserModeAddress),
    PALISK_FIELD(SYSTEM_BASIC_INFORMATION, ActiveProcessorsAffinityMask),
};

#define PALISK_PERF(member) PALISK_FIELD(SYSTEM_PERFORMANCE_INFORMATION, member)
const FieldSpec kPerformance[] = {
    PALISK_PERF(IdleProcessTime), PALISK_PERF(IoReadTransferCount), PALISK_PERF(IoWriteTransferCount),
    PALISK_PERF(IoOtherTransferCount), PALISK_PERF(IoReadOperationCount), PALISK_PERF(IoWriteOperationCount),
    PALISK_PERF(IoOtherOperationCount), PALISK_PERF(AvailablePages), PALISK_PERF(CommittedPages),
    PALISK_PERF(CommitLimit), PALISK_PERF(PeakCommitment), PALISK_PERF(PageFaultCount),
    PALISK_PERF(CopyOnWriteCount), PALISK_PERF(TransitionCount), PALISK_PERF(CacheTransitionCount),
    PALISK_PERF(DemandZeroCount), PALISK_PERF(PageReadCount), PALISK_PERF(PageReadIoCount),
    PALISK_PERF(CacheReadCount), PALISK_PERF(CacheIoCount), PALISK_PERF(DirtyPagesWriteCount),
    PALISK_PERF(DirtyWriteIoCount), PALISK_PERF(MappedPagesWriteCount), PALISK_PERF(MappedWriteIoCount),
    PALISK_PERF(PagedPoolPages), PALISK_PERF(NonPagedPoolPages), PALISK_PERF(PagedPoolAllocs),
    PALISK_PERF(PagedPoolFrees), PALISK_PERF(NonPagedPoolAllocs), PALISK_PERF(NonPagedPoolFrees),
    PALISK_PERF(FreeSystemPtes), PALISK_PERF(ResidentSystemCodePage), PALISK_PERF(TotalSystemDriverPages),
    PALISK_PERF(TotalSystemCodePages), PALISK_PERF(NonPagedPoolLookasideHits), PALISK_PERF(PagedPoolLookasideHits),
    PALISK_PERF(AvailablePagedPoolPages), PALISK_PERF(ResidentSystemCachePage), PALISK_PERF(ResidentPagedPoolPage),
    PALISK_PERF(ResidentSystemDriverPage), PALISK_PERF(CcFastReadNoWait), PALISK_PERF(CcFastReadWait),
    PALISK_PERF(CcFastReadResourceMiss), PALISK_PERF(CcFastReadNotPossible), PALISK_PERF(CcFastMdlReadNoWait),
    PALISK_PERF(CcFastMdlReadWait), PALISK_PERF(CcFastMdlReadResourceMiss), PALISK_PERF(CcFastMdlReadNotPossible),
    PALISK_PERF(CcMapDataNoWait), PALISK_PERF(CcMapDataWait), PALISK_PERF(CcMapDataNoWaitMiss),
    PALISK_PERF(CcMapDataWaitMiss), PALISK_PERF(CcPinMappedDataCount), PALISK_PERF(CcPinReadNoWait),
    PALISK_PERF(CcPinReadWait), PALISK_PERF(CcPinReadNoWaitMiss), PALISK_PERF(CcPinReadWaitMiss),
    PALISK_PERF(CcCopyReadNoWait), PALISK_PERF(CcCopyReadWait), PALISK_PERF(CcCopyReadNoWaitMiss),
    PALISK_PERF(CcCopyReadWaitMiss), PALISK_PERF(CcMdlReadNoWait), PALISK_PERF(CcMdlReadWait),
    PALISK_PERF(CcMdlReadNoWaitMiss), PALISK_PERF(CcMdlReadWaitMiss), PALISK_PERF(CcReadAheadIos),
    PALISK_PERF(CcLazyWriteIos), PALISK_PERF(CcLazyWritePages), PALISK_PERF(CcDataFlushes),
    PALISK_PERF(CcDataPages), PALISK_PERF(ContextSwitches), PALISK_PERF(FirstLevelTbFills),
    PALISK_PERF(SecondLevelTbFills), PALISK_PERF(SystemCalls), PALISK_PERF(CcTotalDirtyPages),
    PALISK_PERF(CcDirtyPageThreshold),
};
#undef PALISK_PERF

// Boot and current time come from the machine's boot time and clock.
const FieldSpec kTimeOfDay[] = {
    PALISK_FIELD(SYSTEM_TIMEOFDAY_INFORMATION, TimeZoneBias),
    PALISK_FIELD(SYSTEM_TIMEOFDAY_INFORMATION, TimeZoneId),
    PALISK_FIELD(SYSTEM_TIMEOFDAY_INFORMATION, Reserved),
};

const FieldSpec kFileCache[] = {
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, CurrentSize),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, PeakSize),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, PageFaultCount),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, MinimumWorkingSet),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, MaximumWorkingSet),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, CurrentSizeIncludingTransitionInPages),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, PeakSizeIncludingTransitionInPages),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, TransitionRePurposeCount),
    PALISK_FIELD(SYSTEM_FILECACHE_INFORMATION, Flags),
};

const FieldSpec kMemoryList[] = {
    PALISK_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, ZeroPageCount),
    PALISK_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, FreePageCount),
    PALISK_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, ModifiedPageCount),
    PALISK_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, ModifiedNoWritePageCount),
    PALISK_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, BadPageCount),
    PALISK_ARRAY_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, PageCountByPriority),
    PALISK_ARRAY_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, RepurposedPagesByPriority),
    PALISK_FIELD(SYSTEM_MEMORY_LIST_INFORMATION_EX, ModifiedPageCountPageFile),
};

const FieldSpec kVmCounters[] = {
    PALISK_FIELD(VM_COUNTERS, PeakVirtualSize),
    PALISK_FIELD(VM_COUNTERS, VirtualSize),
    PALISK_FIELD(VM_COUNTERS, PageFaultCount),
    PALISK_FIELD(VM_COUNTERS, PeakWorkingSetSize),
    PALISK_FIELD(VM_COUNTERS, WorkingSetSize),
    PALISK_FIELD(VM_COUNTERS, QuotaPeakPagedPoolUsage),
    PALISK_FIELD(VM_COUNTERS, QuotaPagedPoolUsage),
    PALISK_FIELD(VM_COUNTERS, QuotaPeakNonPagedPoolUsage),
    PALISK_FIELD(VM_COUNTERS, QuotaNonPagedPoolUsage),
    PALISK_FIELD(VM_COUNTERS, PagefileUsage),
    PALISK_FIELD(VM_COUNTERS, PeakPagefileUsage),
};

const FieldSpec kMemoryStatus[] = {
    PALISK_FIELD(MEMORYSTATUSEX, dwMemoryLoad),
    PALISK_FIELD(MEMORYSTATUSEX, ullTotalPhys),
    PALISK_FIELD(MEMORYSTATUSEX, ullAvailPhys),
    PALISK_FIELD(MEMORYSTATUSEX, ullTotalPageFile),
    PALISK_FIELD(MEMORYSTATUSEX, ullAvailPageFile),
    PALISK_FIELD(MEMORYSTATUSEX, ullTotalVirtual),
    PALISK_FIELD(MEMORYSTATUSEX, ullAvailVirtual),
    PALISK_FIELD(MEMORYSTATUSEX, ullAvailExtendedVirtual),
};

const FieldSpec kSystemInfo[] = {
    PALISK_FIELD(SYSTEM_INFO, wProcessorArchitecture),
    PALISK_FIELD(SYSTEM_INFO, dwPageSize),
    PALISK_FIELD(SYSTEM_INFO, lpMinimumApplicationAddress),
    PALISK_FIELD(SYSTEM_INFO, lpMaximumApplicationAddress),
    PALISK_FIELD(SYSTEM_INFO, dwActiveProcessorMask),
    PALISK_FIELD(SYSTEM_INFO, dwNumberOfProcessors),
    PALISK_FIELD(SYSTEM_INFO, dwProcessorType),
    PALISK_FIELD(SYSTEM_INFO, dwAllocationGranularity),
    PALISK_FIELD(SYSTEM_INFO, wProcessorLevel),
    PALISK_FIELD(SYSTEM_INFO, wProcessorRevision),
};

// szCSDVersion, a string, is read apart (ApplyRecord leaves it to the caller).
const FieldSpec kVersion[] = {
    PALISK_FIELD(OSVERSIONINFOEXW, dwMajorVersion),
    PALISK_FIELD(OSVERSIONINFOEXW, dwMinorVersion),
    PALISK_FIELD(OSVERSIONINFOEXW, dwBuildNumber),
    PALISK_FIELD(OSVERSIONINFOEXW, dwPlatformId),
    PALISK_FIELD(OSVERSIONINFOEXW, wServicePackMajor),
    PALISK_FIELD(OSVERSIONINFOEXW, wServicePackMinor),
    PALISK_FIELD(OSVERSIONINFOEXW, wSuiteMask),
    PALISK_FIELD(OSVERSIONINFOEXW, wProductType),
};

#undef PALISK_FIELD
#undef PALISK_ARRAY_FIELD

void WriteValue(BYTE* at, std::size_t size, std::uint64_t value) {
    // Little-endian, as the records are laid out on x86-64.
    for (std::size_t i = 0; i < size; ++i) at[i] = static_cast<BYTE>(value >> (8 * i));
}

std::uint64_t ReadElement(const Node& node, const FieldSpec& field) {
    const unsigned bits = static_cast<unsigned>(field.size * 8);
    if (field.isSigned) return static_cast<std::uint64_t>(ReadSigned(node, bits));
    return ReadUnsigned(node, bits);
}

}  // namespace

std::span<const FieldSpec> BasicFields() { return kBasic; }
std::span<const FieldSpec> PerformanceFields() { return kPerformance; }
std::span<const FieldSpec> TimeOfDayFields() { return kTimeOfDay; }
std::span<const FieldSpec> FileCacheFields() { return kFileCache; }
std::span<const FieldSpec> MemoryListFields() { return kMemoryList; }
std::span<const FieldSpec> VmCounterFields() { return kVmCounters; }
std::span<const FieldSpec> MemoryStatusFields() { return kMemoryStatus; }
std::span<const FieldSpec> SystemInfoFields() { return kSystemInfo; }
std::span<const FieldSpec> VersionFields() { return kVersion; }

void ApplyRecord(const Node& node, void* record, std::span<const FieldSpec> fields) {
    BYTE* base = static_cast<BYTE*>(record);
    node.ForEachMember([&](const std::string& key, const Node& value) {
        const FieldSpec* field = nullptr;
        for (const FieldSpec& f : fields)
            if (key == f.name) field = &f;
        if (!field) value.Fail("not a field of this record");
        if (field->count == 1) {
            WriteValue(base + field->offset, field->size, ReadElement(value, *field));
            return;
        }
        value.RequireArray();
        if (value.Size() > field->count) value.Fail("at most " + std::to_string(field->count) + " elements");
        for (std::size_t i = 0; i < value.Size(); ++i)
            WriteValue(base + field->offset + i * field->size, field->size, ReadElement(value.Element(i), *field));
    });
}

}  // namespace host::scenario
