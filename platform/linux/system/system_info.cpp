// System information: memory status, processors, version, and the file
// cache's working-set limits.

#include <windows.h>

#include "system_host.h"

#include <cstring>
#include <string>

using namespace host::system;

BOOL WINAPI GlobalMemoryStatusEx(LPMEMORYSTATUSEX lpBuffer) {
    if (!lpBuffer || lpBuffer->dwLength != sizeof(MEMORYSTATUSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD error = Services().MemoryStatus(lpBuffer);
    lpBuffer->dwLength = sizeof(MEMORYSTATUSEX);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

VOID WINAPI GetSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
    if (lpSystemInfo) Services().SystemInfo(lpSystemInfo);
}

BOOL WINAPI GetLogicalProcessorInformation(PSYSTEM_LOGICAL_PROCESSOR_INFORMATION Buffer, PDWORD ReturnedLength) {
    if (!ReturnedLength) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> records;
    if (const DWORD error = Services().LogicalProcessorInformation(&records); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    const DWORD needed = static_cast<DWORD>(records.size() * sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
    if (!Buffer || *ReturnedLength < needed) {
        *ReturnedLength = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (needed) std::memcpy(Buffer, records.data(), needed);
    *ReturnedLength = needed;
    return TRUE;
}

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation) {
    if (!lpVersionInformation) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    const DWORD size = lpVersionInformation->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (const DWORD error = Services().OsVersion(&version); error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    // The caller's record is the short or the extended form; it keeps its size.
    version.dwOSVersionInfoSize = size;
    std::memcpy(lpVersionInformation, &version, size);
    return TRUE;
}

BOOL WINAPI GetSystemFileCacheSize(PSIZE_T lpMinimumFileCacheSize, PSIZE_T lpMaximumFileCacheSize, PDWORD lpFlags) {
    if (!lpMinimumFileCacheSize || !lpMaximumFileCacheSize || !lpFlags) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    const DWORD error = Services().FileCacheLimits(lpMinimumFileCacheSize, lpMaximumFileCacheSize, lpFlags);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI SetSystemFileCacheSize(SIZE_T MinimumFileCacheSize, SIZE_T MaximumFileCacheSize, DWORD Flags) {
    const DWORD error = Services().SetFileCacheLimits(MinimumFileCacheSize, MaximumFileCacheSize, Flags);
    LogAction("SetSystemFileCacheSize(minimum " + Hex64(MinimumFileCacheSize) + ", maximum " +
              Hex64(MaximumFileCacheSize) + ", flags " + Hex64(Flags) + ") -> " +
              (error == ERROR_SUCCESS ? "ok" : "error " + std::to_string(error)));
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
