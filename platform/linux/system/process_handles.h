#pragma once
// Resolving a process handle: an opened process, or the current process's
// pseudo handle (GetCurrentProcess), which carries every access right.

#include "object_table.h"

#include <windows.h>

#include <optional>

namespace host::system {

// The process and access behind `handle`, or nothing (with the Win32 error
// in `error`: ERROR_INVALID_HANDLE for anything but a process handle).
std::optional<ProcessObject> ResolveProcess(HANDLE handle, DWORD* error);

// Whether `access` holds any of the rights in `anyOf`.
inline bool HasAnyAccess(DWORD access, DWORD anyOf) { return (access & anyOf) != 0; }

// Whether `access` grants querying (full or limited).
inline bool CanQuery(DWORD access) {
    return HasAnyAccess(access, PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION);
}

}  // namespace host::system
