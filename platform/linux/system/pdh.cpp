// Performance counters: queries on live data, counters added by path,
// collections, and values read as the Win32 formats give them. A counter
// answers the value of the last collection of its query.

#include <pdh.h>
#include <pdhmsg.h>

#include "object_table.h"
#include "system_host.h"

#include <algorithm>

namespace host::system {

namespace {

// The counter type every memory counter here reports (a large raw count).
constexpr DWORD kLargeRawCount = 0x00010100;

PDH_STATUS Status(DWORD code) { return static_cast<PDH_STATUS>(code); }

QueryObject* FindQuery(PDH_HQUERY query) { return FindObject<QueryObject>(HandleValue(query)); }

// Exactly one of the value formats.
bool OneFormat(DWORD format) {
    const DWORD kinds = format & (PDH_FMT_LONG | PDH_FMT_DOUBLE | PDH_FMT_LARGE);
    return kinds == PDH_FMT_LONG || kinds == PDH_FMT_DOUBLE || kinds == PDH_FMT_LARGE;
}

}  // namespace

}  // namespace host::system

using namespace host::system;

PDH_STATUS WINAPI PdhOpenQueryW(LPCWSTR szDataSource, DWORD_PTR, PDH_HQUERY* phQuery) {
    if (!phQuery) return Status(PDH_INVALID_ARGUMENT);
    // Only live data is served: there are no counter log files here.
    if (szDataSource && *szDataSource) return Status(PDH_NOT_IMPLEMENTED);
    if (const PDH_STATUS status = Services().OpenCounterQuery(); status != ERROR_SUCCESS) return status;
    *phQuery = reinterpret_cast<PDH_HQUERY>(AddObject(QueryObject{}));
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhAddCounterW(PDH_HQUERY hQuery, LPCWSTR szFullCounterPath, DWORD_PTR, PDH_HCOUNTER* phCounter) {
    PDH_STATUS status = ERROR_SUCCESS;
    if (!FindQuery(hQuery)) status = Status(PDH_INVALID_HANDLE);
    else if (!szFullCounterPath || !phCounter) status = Status(PDH_INVALID_ARGUMENT);
    else status = Services().AddCounter(szFullCounterPath);
    if (status != ERROR_SUCCESS) {
        // The status also becomes the thread's last error, as a caller may read it there.
        SetLastError(static_cast<DWORD>(status));
        return status;
    }
    CounterObject counter;
    counter.query = HandleValue(hQuery);
    counter.path = szFullCounterPath;
    const std::uintptr_t handle = AddObject(std::move(counter));
    FindQuery(hQuery)->counters.push_back(handle);
    *phCounter = reinterpret_cast<PDH_HCOUNTER>(handle);
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhCollectQueryData(PDH_HQUERY hQuery) {
    QueryObject* query = FindQuery(hQuery);
    if (!query) return Status(PDH_INVALID_HANDLE);
    if (query->counters.empty()) return Status(PDH_NO_DATA);
    if (const PDH_STATUS status = Services().CollectCounters(); status != ERROR_SUCCESS) return status;
    for (std::uintptr_t handle : query->counters) {
        CounterObject* counter = FindObject<CounterObject>(handle);
        counter->status = Services().ReadCounter(counter->path, &counter->value);
        counter->collected = true;
    }
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhGetFormattedCounterValue(PDH_HCOUNTER hCounter, DWORD dwFormat, LPDWORD lpdwType,
                                              PPDH_FMT_COUNTERVALUE pValue) {
    const CounterObject* counter = FindObject<CounterObject>(HandleValue(hCounter));
    if (!counter) return Status(PDH_INVALID_HANDLE);
    if (!pValue || !OneFormat(dwFormat)) return Status(PDH_INVALID_ARGUMENT);
    if (lpdwType) *lpdwType = kLargeRawCount;
    if (!counter->collected || counter->status != ERROR_SUCCESS) {
        pValue->CStatus = PDH_CSTATUS_INVALID_DATA;
        return Status(PDH_INVALID_DATA);
    }
    pValue->CStatus = PDH_CSTATUS_VALID_DATA;
    if (dwFormat & PDH_FMT_LARGE) pValue->largeValue = counter->value;
    else if (dwFormat & PDH_FMT_DOUBLE) pValue->doubleValue = static_cast<double>(counter->value);
    else pValue->longValue = static_cast<LONG>(std::clamp<LONGLONG>(counter->value, INT32_MIN, INT32_MAX));
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI PdhCloseQuery(PDH_HQUERY hQuery) {
    const QueryObject* query = FindQuery(hQuery);
    if (!query) return Status(PDH_INVALID_HANDLE);
    for (std::uintptr_t counter : query->counters) RemoveObject(counter);
    RemoveObject(HandleValue(hQuery));
    return ERROR_SUCCESS;
}
