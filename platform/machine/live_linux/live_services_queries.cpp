// LiveSystemServices: the native system-information queries and the
// memory-list commands.

#include "live_system_services.h"

#include "host/linux_memory_figures.h"
#include "host/startup_trace.h"

#include <algorithm>
#include <ctime>

namespace host::linux_proc {

namespace {

// The finest timer step, in 100-ns units (at least 1).
ULONG TimerResolution() {
    timespec resolution{};
    clock_getres(CLOCK_MONOTONIC, &resolution);
    const ULONGLONG nanoseconds =
        static_cast<ULONGLONG>(resolution.tv_sec) * 1000000000ull + static_cast<ULONGLONG>(resolution.tv_nsec);
    return static_cast<ULONG>(std::max<ULONGLONG>((nanoseconds + 99) / 100, 1));
}

// UTC minus local time, in 100-ns units, as Windows gives its bias.
LONGLONG TimeZoneBias() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return -static_cast<LONGLONG>(local.tm_gmtoff) * 10000000;
}

NativeResult Unavailable() { return {STATUS_UNSUCCESSFUL, 0}; }

}  // namespace

NativeResult LiveSystemServices::QuerySystemInformation(ULONG infoClass, void* buffer, ULONG length) {
    switch (infoClass) {
        case SystemBasicInformation:
            return BasicInformation(buffer, length);
        case SystemPerformanceInformation:
            return PerformanceInformation(buffer, length);
        case SystemTimeOfDayInformation:
            return TimeOfDayInformation(buffer, length);
        case SystemProcessInformation:
            return ProcessList(buffer, length);
        case nt::SystemPageFileInformation:
            return PageFileInformation(buffer, length);
        case nt::SystemFileCacheInformation:
            return FileCacheInformation(buffer, length);
        case nt::SystemMemoryListInformation:
            // The refresh reads the page lists last of the system figures.
            TraceStartup("first-refresh");
            return MemoryListInformation(buffer, length);
        default:
            return {STATUS_INVALID_INFO_CLASS, 0};
    }
}

NativeResult LiveSystemServices::BasicInformation(void* buffer, ULONG length) {
    const auto f = sampler_.Figures(KernelSampler::kMeminfoOnly);
    if (!f) return Unavailable();
    nt::SYSTEM_BASIC_INFORMATION r{};
    r.TimerResolution = TimerResolution();
    r.PageSize = static_cast<ULONG>(pageSize_);
    r.NumberOfPhysicalPages = SaturatedLevel(f->physicalPages);
    r.LowestPhysicalPageNumber = pageFrames_ ? SaturatedLevel(pageFrames_->lowest) : 0;
    r.HighestPhysicalPageNumber =
        pageFrames_ ? SaturatedLevel(pageFrames_->highest) : SaturatedLevel(FlooredDifference(f->physicalPages, 1));
    r.AllocationGranularity = static_cast<ULONG>(pageSize_);  // Linux maps at page granularity
    r.MinimumUserModeAddress = minimumUserAddress_;
    r.MaximumUserModeAddress = kHighestUserAddress;
    r.ActiveProcessorsAffinityMask = ProcessorMask(topology_.online);
    return WriteRecord(&r, sizeof r, buffer, length);
}

NativeResult LiveSystemServices::PerformanceInformation(void* buffer, ULONG length) {
    const auto f = sampler_.Figures(KernelSampler::kRunningTotals);
    if (!f) return Unavailable();
    // Every count Linux has no honest equivalent for stays 0: transition
    // and demand-zero faults, paged pool, the cache manager's read paths.
    nt::SYSTEM_PERFORMANCE_INFORMATION r{};
    r.AvailablePages = SaturatedLevel(f->availablePages);
    r.CommittedPages = SaturatedLevel(f->committedBytes / pageSize_);
    r.CommitLimit = SaturatedLevel(f->commitLimitBytes / pageSize_);
    r.PeakCommitment = SaturatedLevel(sampler_.PeakCommittedBytes() / pageSize_);
    r.PageFaultCount = WrappedTotal(f->pageFaults);
    r.PageReadCount = WrappedTotal(f->pagesReadFromSwap);
    r.DirtyPagesWriteCount = WrappedTotal(f->pagesWrittenToSwap);
    r.NonPagedPoolPages = SaturatedLevel(f->nonPagedPoolPages);
    r.ResidentSystemCachePage = SaturatedLevel(f->residentCachePages);
    r.CcLazyWritePages = WrappedTotal(f->pagesWrittenBack);
    return WriteRecord(&r, sizeof r, buffer, length);
}

NativeResult LiveSystemServices::TimeOfDayInformation(void* buffer, ULONG length) {
    nt::SYSTEM_TIMEOFDAY_INFORMATION r{};
    r.BootTime.QuadPart = static_cast<LONGLONG>(BootTime());
    r.CurrentTime.QuadPart = static_cast<LONGLONG>(machine_.UtcFileTime());
    r.TimeZoneBias.QuadPart = TimeZoneBias();
    return WriteRecord(&r, sizeof r, buffer, length);
}

NativeResult LiveSystemServices::ProcessList(void* buffer, ULONG length) {
    const std::vector<ProcessRecord> processes = Processes();
    return WriteProcessList(processes, buffer, length);
}

NativeResult LiveSystemServices::PageFileInformation(void* buffer, ULONG length) {
    // A kernel built without swap has no /proc/swaps: no paging file.
    std::vector<PageFileRecord> records;
    for (const auto& file : sampler_.PagingFiles().value_or(std::vector<KernelSampler::PagingFile>{})) {
        records.push_back({WidenUtf8(file.now.path), SaturatedLevel(file.now.totalPages),
                           SaturatedLevel(file.now.inUsePages), SaturatedLevel(file.peakInUsePages)});
    }
    return WritePageFileList(records, buffer, length);
}

NativeResult LiveSystemServices::FileCacheInformation(void* buffer, ULONG length) {
    const auto f = sampler_.Figures(KernelSampler::kMeminfoOnly);
    if (!f) return Unavailable();
    // Linux sets the page cache no working-set limits: from nothing up to
    // all of physical memory.
    nt::SYSTEM_FILECACHE_INFORMATION r{};
    r.CurrentSize = f->fileCacheBytes;
    r.PeakSize = sampler_.PeakFileCacheBytes();
    r.MinimumWorkingSet = 0;
    r.MaximumWorkingSet = f->physicalPages;
    r.CurrentSizeIncludingTransitionInPages = f->fileCacheBytes / pageSize_;
    r.PeakSizeIncludingTransitionInPages = sampler_.PeakFileCacheBytes() / pageSize_;
    return WriteRecord(&r, sizeof r, buffer, length);
}

NativeResult LiveSystemServices::MemoryListInformation(void* buffer, ULONG length) {
    const auto f = sampler_.Figures(KernelSampler::kRunningTotals);
    if (!f) return Unavailable();
    nt::SYSTEM_MEMORY_LIST_INFORMATION r{};
    r.ZeroPageCount = f->zeroedPages;
    r.FreePageCount = f->freePages;
    r.ModifiedPageCount = f->modifiedPages;
    r.ModifiedNoWritePageCount = f->modifiedNoWritePages;
    r.BadPageCount = f->badPages;
    for (int p = 0; p < kStandbyPriorities; ++p) {
        r.PageCountByPriority[p] = f->standbyPages[p];
        r.RepurposedPagesByPriority[p] = f->repurposedPages[p];
    }
    return WriteRecord(&r, sizeof r, buffer, length);
}

NTSTATUS LiveSystemServices::SetSystemInformation(ULONG infoClass, const void* data, ULONG length) {
    if (infoClass != nt::SystemMemoryListInformation) return STATUS_INVALID_INFO_CLASS;
    if (length != sizeof(ULONG)) return STATUS_INFO_LENGTH_MISMATCH;
    if (!data) return STATUS_ACCESS_VIOLATION;
    return RunMemoryListCommand(*static_cast<const ULONG*>(data));
}

NTSTATUS LiveSystemServices::RunMemoryListCommand(ULONG command) {
    if (command == nt::MemoryCaptureAccessedBits || command == nt::MemoryCaptureAndResetAccessedBits) {
        return STATUS_NOT_SUPPORTED;  // Linux offers no such scan of accessed bits
    }
    if (command >= nt::MemoryCommandMax) return STATUS_INVALID_PARAMETER;
    // As on Windows, every memory-list command needs this privilege enabled.
    if (!token_.IsEnabled(SE_PROF_SINGLE_PROCESS_NAME)) {
        machine_.LogAction("linux: memory-list command " + std::to_string(command) +
                           " refused: SeProfileSingleProcessPrivilege not enabled");
        return STATUS_PRIVILEGE_NOT_HELD;
    }
    CommandResult result;
    switch (command) {
        case nt::MemoryEmptyWorkingSets:
            result = commands_.EmptyAllWorkingSets(Snapshot());
            break;
        case nt::MemoryFlushModifiedList:
            result = commands_.FlushModifiedList();
            break;
        case nt::MemoryPurgeStandbyList:
            result = commands_.PurgeStandby();
            break;
        default:
            result = commands_.PurgeLowPriorityStandby();
            break;
    }
    machine_.LogAction("linux: " + result.action);
    return result.status;
}

}  // namespace host::linux_proc
