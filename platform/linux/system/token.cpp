// The access token: opening the current process's token, looking up
// privileges, and enabling or disabling them with the Win32 rules (only
// held privileges change; the call still succeeds when some are not held,
// and says so with ERROR_NOT_ALL_ASSIGNED).

#include <windows.h>

#include "object_table.h"
#include "process_handles.h"
#include "system_host.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace host::system {

namespace {

struct PlannedAdjust {
    std::vector<LUID_AND_ATTRIBUTES> changes;   // new attributes of the privileges that change
    std::vector<LUID_AND_ATTRIBUTES> previous;  // their attributes before
    bool allAssigned = true;
};

bool SameLuid(const LUID& a, const LUID& b) { return a.LowPart == b.LowPart && a.HighPart == b.HighPart; }

bool IsEnabled(DWORD attributes) { return (attributes & SE_PRIVILEGE_ENABLED) != 0; }

// What one AdjustTokenPrivileges call changes in a token holding `held`.
PlannedAdjust PlanAdjust(const std::vector<LUID_AND_ATTRIBUTES>& held, BOOL disableAll,
                         const TOKEN_PRIVILEGES* newState) {
    PlannedAdjust plan;
    auto change = [&](const LUID_AND_ATTRIBUTES& now, DWORD wanted) {
        if (wanted == now.Attributes) return;
        plan.changes.push_back({now.Luid, wanted});
        plan.previous.push_back(now);
    };
    if (disableAll) {
        for (const LUID_AND_ATTRIBUTES& h : held)
            if (IsEnabled(h.Attributes)) change(h, h.Attributes & ~DWORD{SE_PRIVILEGE_ENABLED});
        return plan;
    }
    for (DWORD i = 0; i < newState->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& request = newState->Privileges[i];
        auto it = std::find_if(held.begin(), held.end(),
                               [&](const LUID_AND_ATTRIBUTES& h) { return SameLuid(h.Luid, request.Luid); });
        if (it == held.end()) {
            plan.allAssigned = false;
            continue;
        }
        DWORD wanted = it->Attributes & ~DWORD{SE_PRIVILEGE_ENABLED};
        if (request.Attributes & SE_PRIVILEGE_REMOVED) wanted = SE_PRIVILEGE_REMOVED;
        else if (IsEnabled(request.Attributes)) wanted |= SE_PRIVILEGE_ENABLED;
        change(*it, wanted);
    }
    return plan;
}

DWORD PreviousStateBytes(std::size_t entries) {
    return static_cast<DWORD>(offsetof(TOKEN_PRIVILEGES, Privileges) + entries * sizeof(LUID_AND_ATTRIBUTES));
}

// "SeDebugPrivilege enable, SeBackupPrivilege disable" for the action log.
std::string DescribeRequest(BOOL disableAll, const TOKEN_PRIVILEGES* newState) {
    if (disableAll) return "disable all";
    if (!newState) return "no privileges";
    std::string text;
    for (DWORD i = 0; i < newState->PrivilegeCount; ++i) {
        const LUID& luid = newState->Privileges[i].Luid;
        const std::wstring_view name = PrivilegeName(luid);
        const DWORD attributes = newState->Privileges[i].Attributes;
        text += text.empty() ? "" : ", ";
        text += name.empty() ? "LUID " + std::to_string(luid.LowPart) : std::string(name.begin(), name.end());
        text += attributes & SE_PRIVILEGE_REMOVED ? " remove" : IsEnabled(attributes) ? " enable" : " disable";
    }
    return text;
}

// The whole call short of the log: a Win32 error, ERROR_NOT_ALL_ASSIGNED
// for a success that left some privilege alone.
DWORD Adjust(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD bufferLength,
             PTOKEN_PRIVILEGES previousState, PDWORD returnLength) {
    const TokenObject* t = FindObject<TokenObject>(HandleValue(token));
    if (!t) return ERROR_INVALID_HANDLE;
    if (!(t->access & TOKEN_ADJUST_PRIVILEGES) || (previousState && !(t->access & TOKEN_QUERY)))
        return ERROR_ACCESS_DENIED;
    if (!disableAll && !newState) return ERROR_INVALID_PARAMETER;
    if (previousState && !returnLength) return ERROR_NOACCESS;
    std::vector<LUID_AND_ATTRIBUTES> held;
    if (const DWORD error = Services().HeldPrivileges(&held); error != ERROR_SUCCESS) return error;
    const PlannedAdjust plan = PlanAdjust(held, disableAll, newState);
    const DWORD needed = PreviousStateBytes(plan.previous.size());
    if (previousState && bufferLength < needed) {
        *returnLength = needed;  // nothing changes: the caller may ask again
        return ERROR_INSUFFICIENT_BUFFER;
    }
    if (const DWORD error = Services().ChangePrivileges(plan.changes); error != ERROR_SUCCESS) return error;
    if (previousState) {
        previousState->PrivilegeCount = static_cast<DWORD>(plan.previous.size());
        std::copy(plan.previous.begin(), plan.previous.end(), previousState->Privileges);
        *returnLength = needed;
    }
    return plan.allAssigned ? ERROR_SUCCESS : ERROR_NOT_ALL_ASSIGNED;
}

}  // namespace

}  // namespace host::system

using namespace host::system;

BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
    DWORD error = ERROR_SUCCESS;
    const std::optional<ProcessObject> process = ResolveProcess(ProcessHandle, &error);
    if (process && !CanQuery(process->access)) error = ERROR_ACCESS_DENIED;
    if (process && !TokenHandle) error = ERROR_NOACCESS;
    if (error == ERROR_SUCCESS) error = Services().OpenToken(process->process.pid, DesiredAccess);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    *TokenHandle = reinterpret_cast<HANDLE>(AddObject(TokenObject{process->process.pid, DesiredAccess}));
    return TRUE;
}

BOOL WINAPI LookupPrivilegeValueW(LPCWSTR lpSystemName, LPCWSTR lpName, PLUID lpLuid) {
    DWORD error = ERROR_SUCCESS;
    // Only the local system answers; no other computer can be reached.
    if (lpSystemName && *lpSystemName) error = RPC_S_SERVER_UNAVAILABLE;
    else if (!lpName || !lpLuid) error = ERROR_NOACCESS;
    else error = Services().LookupPrivilege(lpName, lpLuid);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI AdjustTokenPrivileges(HANDLE TokenHandle, BOOL DisableAllPrivileges, PTOKEN_PRIVILEGES NewState,
                                  DWORD BufferLength, PTOKEN_PRIVILEGES PreviousState, PDWORD ReturnLength) {
    const DWORD result = Adjust(TokenHandle, DisableAllPrivileges, NewState, BufferLength, PreviousState, ReturnLength);
    const bool succeeded = result == ERROR_SUCCESS || result == ERROR_NOT_ALL_ASSIGNED;
    LogAction("AdjustTokenPrivileges(" + DescribeRequest(DisableAllPrivileges, NewState) + ") -> " +
              (result == ERROR_SUCCESS            ? std::string("ok")
               : result == ERROR_NOT_ALL_ASSIGNED ? std::string("not all assigned")
                                                  : "error " + std::to_string(result)));
    SetLastError(result);
    return succeeded ? TRUE : FALSE;
}
