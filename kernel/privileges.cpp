#include "kernel/privileges.h"

#include <windows.h>

namespace KernelIf {

namespace {

// The token-privileges record: room for two entries, of which one is used.
constexpr DWORD kPrivilegesRecordBytes = 28;
// The buffer that receives the privileges' previous state (not kept).
constexpr DWORD kPreviousStateBytes = 400;

// Enables `name` in the current process's token. Whatever fails releases
// what was acquired before it, in reverse order; only the adjust call
// decides the result.
bool EnablePrivilege(LPCWSTR name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token)) return false;

    const HANDLE heap = GetProcessHeap();
    auto* privileges = static_cast<PTOKEN_PRIVILEGES>(HeapAlloc(heap, HEAP_ZERO_MEMORY, kPrivilegesRecordBytes));
    if (!privileges) {
        CloseHandle(token);
        return false;
    }
    privileges->PrivilegeCount = 1;
    privileges->Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;

    auto* previous = static_cast<PTOKEN_PRIVILEGES>(HeapAlloc(heap, HEAP_ZERO_MEMORY, kPreviousStateBytes));
    DWORD previousLength = kPreviousStateBytes;
    if (!previous) {
        HeapFree(heap, 0, privileges);
        CloseHandle(token);
        return false;
    }

    bool result = false;
    if (LookupPrivilegeValueW(nullptr, name, &privileges->Privileges[0].Luid)) {
        result = AdjustTokenPrivileges(token, FALSE, privileges, kPrivilegesRecordBytes, previous,
                                       &previousLength) != FALSE;
    }

    HeapFree(heap, 0, previous);
    HeapFree(heap, 0, privileges);
    CloseHandle(token);
    return result;
}

}  // namespace

bool EnableDebugPrivilege() { return EnablePrivilege(SE_DEBUG_NAME); }

bool EnableIncreaseQuotaPrivilege() { return EnablePrivilege(SE_INCREASE_QUOTA_NAME); }

bool EnableProfileSingleProcessPrivilege() { return EnablePrivilege(SE_PROF_SINGLE_PROCESS_NAME); }

}  // namespace KernelIf
