#pragma once
// The GetLogicalProcessorInformation records of a one-package machine.

#include <windows.h>

#include <vector>

namespace host {

// One core record per core (threadsPerCore logical processors each, marked
// as sharing the core when more than one), then the package, the NUMA node
// and a shared level-3 cache. Processors beyond the 64 a mask can name
// appear in no mask, as on a Windows machine with several processor groups.
std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> MakeLogicalProcessors(unsigned cores, unsigned threadsPerCore);

}  // namespace host
