// Processes and threads: opening processes by id, the handle of the current
// process and thread, closing handles, and emptying a working set.

#include <psapi.h>
#include <windows.h>

#include "object_table.h"
#include "process_handles.h"
#include "system_host.h"

#include <string>

namespace host::system {

namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

}  // namespace

std::optional<ProcessObject> ResolveProcess(HANDLE handle, DWORD* error) {
    if (handle == kCurrentProcess) {
        ProcessObject self;
        self.access = PROCESS_ALL_ACCESS;
        const DWORD pid = Services().CurrentProcessId();
        *error = Services().OpenProcessById(pid, PROCESS_ALL_ACCESS, &self.process);
        if (*error != ERROR_SUCCESS) return std::nullopt;
        return self;
    }
    if (const ProcessObject* p = FindObject<ProcessObject>(HandleValue(handle))) return *p;
    *error = ERROR_INVALID_HANDLE;
    return std::nullopt;
}

}  // namespace host::system

using namespace host::system;

HANDLE WINAPI GetCurrentProcess(void) { return kCurrentProcess; }

DWORD WINAPI GetCurrentProcessId(void) { return Services().CurrentProcessId(); }

HANDLE WINAPI GetCurrentThread(void) { return kCurrentThread; }

DWORD WINAPI GetCurrentThreadId(void) { return Services().CurrentThreadId(); }

DWORD WINAPI GetThreadId(HANDLE Thread) {
    // The program has one thread and no thread handles but the pseudo one.
    if (Thread == kCurrentThread) return Services().CurrentThreadId();
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

BOOL WINAPI IsWow64Process(HANDLE hProcess, PBOOL Wow64Process) {
    DWORD error = ERROR_SUCCESS;
    if (!ResolveProcess(hProcess, &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (!Wow64Process) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *Wow64Process = FALSE;  // every process here is a native 64-bit one
    return TRUE;
}

HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL, DWORD dwProcessId) {
    // The idle process cannot be opened, whatever the access asked.
    if (dwProcessId == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ProcessObject opened;
    opened.access = dwDesiredAccess;
    const DWORD error = Services().OpenProcessById(dwProcessId, dwDesiredAccess, &opened.process);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HANDLE>(AddObject(opened));
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (hObject == kCurrentProcess || hObject == kCurrentThread) return TRUE;  // pseudo handles close as no-ops
    const std::uintptr_t value = HandleValue(hObject);
    if (!FindObject<ProcessObject>(value) && !FindObject<TokenObject>(value)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    RemoveObject(value);
    return TRUE;
}

BOOL WINAPI EmptyWorkingSet(HANDLE hProcess) {
    DWORD error = ERROR_SUCCESS;
    const std::optional<ProcessObject> process = ResolveProcess(hProcess, &error);
    std::string target = "invalid handle";
    if (process) {
        target = "pid " + std::to_string(process->process.pid);
        if (!CanQuery(process->access) || !HasAnyAccess(process->access, PROCESS_SET_QUOTA))
            error = ERROR_ACCESS_DENIED;
        else
            error = Services().EmptyProcessWorkingSet(process->process);
    }
    LogAction("EmptyWorkingSet(" + target + ") -> " +
              (error == ERROR_SUCCESS ? "ok" : "error " + std::to_string(error)));
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetProcessTimes(HANDLE hProcess, LPFILETIME lpCreationTime, LPFILETIME lpExitTime,
                            LPFILETIME lpKernelTime, LPFILETIME lpUserTime) {
    DWORD error = ERROR_SUCCESS;
    const std::optional<ProcessObject> process = ResolveProcess(hProcess, &error);
    if (process && !CanQuery(process->access)) error = ERROR_ACCESS_DENIED;
    if (!process || error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    if (!lpCreationTime || !lpExitTime || !lpKernelTime || !lpUserTime) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    // The creation time identifies the process instance the handle was
    // opened on; the machines keep no CPU times, and a process that can be
    // opened has not exited.
    const ULONGLONG created = process->process.creationTime;
    lpCreationTime->dwLowDateTime = static_cast<DWORD>(created);
    lpCreationTime->dwHighDateTime = static_cast<DWORD>(created >> 32);
    *lpExitTime = FILETIME{};
    *lpKernelTime = FILETIME{};
    *lpUserTime = FILETIME{};
    return TRUE;
}
