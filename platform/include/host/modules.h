#pragma once
// The program's own module: what GetModuleHandleW(NULL) answers, and where
// FindResourceW looks when it is given a null module.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>

namespace host {

inline HMODULE ExecutableModule() { return reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x140000000ULL)); }

}  // namespace host
