#include "sampling/pdh_collection.h"

namespace {

LONGLONG ReadLarge(PDH_HCOUNTER counter) {
    PDH_FMT_COUNTERVALUE value{};
    if (PdhGetFormattedCounterValue(counter, PDH_FMT_LARGE, nullptr, &value) != ERROR_SUCCESS) return 0;
    return value.largeValue;
}

}  // namespace

bool CollectCounters(const CounterHandles& handles, CounterFigures* figures) {
    *figures = {};
    if (PdhCollectQueryData(handles.query) != ERROR_SUCCESS) return false;
    figures->freeZeroBytes = ReadLarge(handles.freeZero);
    figures->modifiedBytes = ReadLarge(handles.modified);
    figures->standbyCoreBytes = ReadLarge(handles.standbyCore);
    figures->standbyNormalPriorityBytes = ReadLarge(handles.standbyNormalPriority);
    figures->standbyReserveBytes = ReadLarge(handles.standbyReserve);
    return true;
}
