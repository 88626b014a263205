#include "sampling/prefetcher.h"

namespace {

constexpr LPCWSTR kPrefetchParametersKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";
constexpr DWORD kGenericRead = 0x80000000;
constexpr DWORD kGenericReadAndConnect = 0x80000001;
// Running, continue pending, pause pending and paused all have this bit.
constexpr DWORD kRunningStateBit = 0x4;

}  // namespace

LONG ReadSuperFetchSetting() {
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kPrefetchParametersKey, &key) != ERROR_SUCCESS) return 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LSTATUS status =
        RegQueryValueExW(key, L"EnableSuperFetch", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<LONG>(value) : -1;
}

bool IsSysMainRunning() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, kGenericReadAndConnect);
    if (!manager) return false;
    SC_HANDLE service = OpenServiceW(manager, L"SysMain", kGenericRead);
    if (!service) {
        CloseServiceHandle(manager);
        return false;
    }
    SERVICE_STATUS status{};
    const bool running = QueryServiceStatus(service, &status) && (status.dwCurrentState & kRunningStateBit) != 0;
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return running;
}
