#include "control/listed_process.h"

ULONGLONG ProcessCreationTime(HANDLE process) {
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (!GetProcessTimes(process, &creation, &exit, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
}

HANDLE OpenListedProcess(DWORD access, DWORD pid, ULONGLONG creationTime) {
    HANDLE process = OpenProcess(access, TRUE, pid);
    if (process == nullptr || creationTime == 0) return process;
    if (ProcessCreationTime(process) != creationTime) {
        CloseHandle(process);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return process;
}
