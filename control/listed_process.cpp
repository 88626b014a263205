#include "control/listed_process.h"

bool ProcessCreationTime(HANDLE process, ULONGLONG* creationTime) {
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (!GetProcessTimes(process, &creation, &exit, &kernel, &user)) return false;
    *creationTime = (static_cast<ULONGLONG>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
    return true;
}

HANDLE OpenListedProcess(DWORD access, DWORD pid, ULONGLONG creationTime) {
    HANDLE process = OpenProcess(access, TRUE, pid);
    if (process == nullptr || creationTime == 0) return process;
    ULONGLONG actual = 0;
    if (!ProcessCreationTime(process, &actual) || (actual != creationTime && actual != 0)) {
        CloseHandle(process);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return process;
}
