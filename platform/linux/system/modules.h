#pragma once
// The modules LoadLibraryW has handed out, for the leak checks.

#include <cstddef>

namespace host::system {

// References taken with LoadLibraryW and not yet given back.
std::size_t ModuleReferences();

}  // namespace host::system
