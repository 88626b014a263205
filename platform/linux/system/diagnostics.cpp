#include "host/system_objects.h"

#include "heap.h"
#include "modules.h"
#include "object_table.h"

namespace host {

SystemObjectCounts LiveSystemObjects() {
    using namespace system;
    SystemObjectCounts counts;
    counts.heapBlocks = LiveHeapBlocks();
    counts.processHandles = CountObjects<ProcessObject>();
    counts.tokenHandles = CountObjects<TokenObject>();
    counts.registryKeys = CountObjects<RegistryKeyObject>();
    counts.serviceHandles = CountObjects<ServiceManagerObject>() + CountObjects<ServiceObject>();
    counts.counterQueries = CountObjects<QueryObject>();
    counts.counters = CountObjects<CounterObject>();
    counts.moduleReferences = ModuleReferences();
    return counts;
}

}  // namespace host
