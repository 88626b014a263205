// The service control manager, read-only: connecting, opening a service by
// name and querying its state.

#include <windows.h>

#include "object_table.h"
#include "system_host.h"

namespace host::system {

namespace {

// What GENERIC_READ and GENERIC_ALL grant on a service.
constexpr DWORD kServiceGenericRead =
    READ_CONTROL | SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS | SERVICE_INTERROGATE |
    SERVICE_ENUMERATE_DEPENDENTS;

DWORD ServiceRights(DWORD access) {
    if (access & GENERIC_ALL) return SERVICE_ALL_ACCESS;
    if (access & GENERIC_READ) access |= kServiceGenericRead;
    return access;
}

SC_HANDLE Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

}  // namespace

}  // namespace host::system

using namespace host::system;

SC_HANDLE WINAPI OpenSCManagerW(LPCWSTR lpMachineName, LPCWSTR lpDatabaseName, DWORD dwDesiredAccess) {
    // Only this computer's manager answers, and only its active database.
    if (lpMachineName && *lpMachineName) return Fail(RPC_S_SERVER_UNAVAILABLE);
    if (lpDatabaseName && !host::SameName(lpDatabaseName, SERVICES_ACTIVE_DATABASEW))
        return Fail(ERROR_DATABASE_DOES_NOT_EXIST);
    if (const DWORD error = Services().ConnectServiceManager(dwDesiredAccess); error != ERROR_SUCCESS)
        return Fail(error);
    return reinterpret_cast<SC_HANDLE>(AddObject(ServiceManagerObject{dwDesiredAccess}));
}

SC_HANDLE WINAPI OpenServiceW(SC_HANDLE hSCManager, LPCWSTR lpServiceName, DWORD dwDesiredAccess) {
    if (!FindObject<ServiceManagerObject>(HandleValue(hSCManager))) return Fail(ERROR_INVALID_HANDLE);
    if (!lpServiceName) return Fail(ERROR_INVALID_ADDRESS);
    if (!*lpServiceName) return Fail(ERROR_INVALID_NAME);
    if (const DWORD error = Services().OpenServiceByName(lpServiceName, dwDesiredAccess); error != ERROR_SUCCESS)
        return Fail(error);
    return reinterpret_cast<SC_HANDLE>(AddObject(ServiceObject{lpServiceName, ServiceRights(dwDesiredAccess)}));
}

BOOL WINAPI QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpServiceStatus) {
    const ServiceObject* service = FindObject<ServiceObject>(HandleValue(hService));
    DWORD error = ERROR_SUCCESS;
    if (!service) error = ERROR_INVALID_HANDLE;
    else if (!(service->access & SERVICE_QUERY_STATUS)) error = ERROR_ACCESS_DENIED;
    else if (!lpServiceStatus) error = ERROR_INVALID_ADDRESS;
    else error = Services().ServiceStatus(service->name, lpServiceStatus);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI CloseServiceHandle(SC_HANDLE hSCObject) {
    const std::uintptr_t value = HandleValue(hSCObject);
    if (!FindObject<ServiceManagerObject>(value) && !FindObject<ServiceObject>(value)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    RemoveObject(value);
    return TRUE;
}
