#pragma once
// The process heap's live blocks, for the leak checks.

#include <cstddef>

namespace host::system {

std::size_t LiveHeapBlocks();

}  // namespace host::system
