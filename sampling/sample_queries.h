#pragma once
// The kernel queries of one refresh, in their fixed order, with the
// fallbacks of each.

#include <windows.h>

#include "sampling/memory_sample.h"

namespace KernelIf {
class CKernelIf;
}

// The global memory status and the basic, file-cache, performance,
// paging-file and memory-list records.
void QuerySystemRecords(const KernelIf::CKernelIf& kernel, MemorySample& sample);

// The memory counters of a process opened for limited query access. A
// process that cannot be opened leaves `counters` zero and answers status 0
// with `opened` false; a missing query entry point answers -1.
NTSTATUS QueryProcessCounters(const KernelIf::CKernelIf& kernel, DWORD pid, ULONGLONG creationTime,
                              nt::VM_COUNTERS* counters, bool* opened);
