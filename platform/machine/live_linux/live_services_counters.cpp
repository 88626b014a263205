// LiveSystemServices: the memory performance counters, worked out from the
// same partition as the native queries, in bytes.

#include <pdhmsg.h>
#include "live_system_services.h"

#include <limits>
#include <numeric>

namespace host::linux_proc {

namespace {

std::uint64_t StandbyPages(const MemoryFigures& f, int lowest, int highest) {
    return std::accumulate(f.standbyPages.begin() + lowest, f.standbyPages.begin() + highest + 1, std::uint64_t{0});
}

LONGLONG AsCounter(std::uint64_t bytes) {
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max());
    return static_cast<LONGLONG>(std::min(bytes, kMax));
}

constexpr std::wstring_view kMemoryObject = L"\\Memory\\";

}  // namespace

std::optional<LONGLONG> CounterValue(std::wstring_view path, const MemoryFigures& f) {
    const std::uint64_t page = f.pageSize;
    // Windows's standby classes: reserve is priorities 0 to 3, normal 4
    // and 5, core 6 and 7.
    const std::pair<std::wstring_view, std::uint64_t> counters[] = {
        {L"\\Memory\\Free & Zero Page List Bytes", (f.zeroedPages + f.freePages) * page},
        {L"\\Memory\\Modified Page List Bytes", f.modifiedPages * page},
        {L"\\Memory\\Standby Cache Reserve Bytes", StandbyPages(f, 0, 3) * page},
        {L"\\Memory\\Standby Cache Normal Priority Bytes", StandbyPages(f, 4, 5) * page},
        {L"\\Memory\\Standby Cache Core Bytes", StandbyPages(f, 6, 7) * page},
        {L"\\Memory\\Cache Bytes", f.fileCacheBytes},
        {L"\\Memory\\System Cache Resident Bytes", f.residentCachePages * page},
        {L"\\Memory\\Available Bytes", f.availablePages * page},
    };
    for (const auto& [name, bytes] : counters) {
        if (SameName(name, path)) return AsCounter(bytes);
    }
    return std::nullopt;
}

PDH_STATUS LiveSystemServices::OpenCounterQuery() { return ERROR_SUCCESS; }

PDH_STATUS LiveSystemServices::AddCounter(std::wstring_view path) {
    if (CounterValue(path, MemoryFigures{}).has_value()) return ERROR_SUCCESS;
    const bool memoryObject =
        path.size() >= kMemoryObject.size() && SameName(path.substr(0, kMemoryObject.size()), kMemoryObject);
    return static_cast<PDH_STATUS>(memoryObject ? PDH_CSTATUS_NO_COUNTER : PDH_CSTATUS_NO_OBJECT);
}

PDH_STATUS LiveSystemServices::CollectCounters() {
    collected_ = sampler_.Figures(KernelSampler::kMeminfoOnly);
    return collected_ ? ERROR_SUCCESS : static_cast<PDH_STATUS>(PDH_NO_DATA);
}

PDH_STATUS LiveSystemServices::ReadCounter(std::wstring_view path, LONGLONG* value) {
    if (!collected_) return static_cast<PDH_STATUS>(PDH_INVALID_DATA);
    const std::optional<LONGLONG> counter = CounterValue(path, *collected_);
    if (!counter) return static_cast<PDH_STATUS>(PDH_CSTATUS_NO_COUNTER);
    *value = *counter;
    return ERROR_SUCCESS;
}

}  // namespace host::linux_proc
