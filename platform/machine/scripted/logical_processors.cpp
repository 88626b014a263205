#include "logical_processors.h"

namespace host {

namespace {

// Bits first..first+count-1 of a 64-bit mask (those that fit).
ULONG_PTR MaskOf(unsigned first, unsigned count) {
    ULONG_PTR mask = 0;
    for (unsigned bit = first; bit < first + count && bit < 64; ++bit) mask |= ULONG_PTR{1} << bit;
    return mask;
}

SYSTEM_LOGICAL_PROCESSOR_INFORMATION Record(ULONG_PTR mask, LOGICAL_PROCESSOR_RELATIONSHIP relationship) {
    SYSTEM_LOGICAL_PROCESSOR_INFORMATION r{};
    r.ProcessorMask = mask;
    r.Relationship = relationship;
    return r;
}

}  // namespace

std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> MakeLogicalProcessors(unsigned cores, unsigned threadsPerCore) {
    if (threadsPerCore == 0) threadsPerCore = 1;
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records;
    for (unsigned core = 0; core < cores; ++core) {
        auto r = Record(MaskOf(core * threadsPerCore, threadsPerCore), RelationProcessorCore);
        r.ProcessorCore.Flags = threadsPerCore > 1 ? 1 : 0;
        records.push_back(r);
    }
    const ULONG_PTR all = MaskOf(0, cores * threadsPerCore);
    records.push_back(Record(all, RelationProcessorPackage));
    records.push_back(Record(all, RelationNumaNode));
    auto cache = Record(all, RelationCache);
    cache.Cache = CACHE_DESCRIPTOR{3, 16, 64, 8u << 20, CacheUnified};
    records.push_back(cache);
    return records;
}

}  // namespace host
