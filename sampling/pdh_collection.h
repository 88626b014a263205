#pragma once
// Reading the counter query at a refresh.

#include <pdh.h>

#include "sampling/memory_sample.h"

struct CounterHandles {
    PDH_HQUERY query;
    PDH_HCOUNTER freeZero;
    PDH_HCOUNTER modified;
    PDH_HCOUNTER standbyCore;
    PDH_HCOUNTER standbyNormalPriority;
    PDH_HCOUNTER standbyReserve;
};

// Collects the query and reads the five counters that feed figures. False
// when the collection fails (no counter is read then); a counter that
// cannot be read leaves its figure 0.
bool CollectCounters(const CounterHandles& handles, CounterFigures* figures);
