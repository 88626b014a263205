#pragma once
// What the host's system services hold at this moment: live heap blocks,
// open handles of each kind and module references. Tests compare these
// before and after an operation to prove it released all it acquired.
//
// Host-only: the system's own code never includes this header.

#include <cstddef>

namespace host {

struct SystemObjectCounts {
    std::size_t heapBlocks = 0;
    std::size_t processHandles = 0;
    std::size_t tokenHandles = 0;
    std::size_t registryKeys = 0;
    std::size_t serviceHandles = 0;  // managers and services
    std::size_t counterQueries = 0;
    std::size_t counters = 0;
    std::size_t moduleReferences = 0;

    bool operator==(const SystemObjectCounts&) const = default;
};

SystemObjectCounts LiveSystemObjects();

}  // namespace host
