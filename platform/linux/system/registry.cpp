// The registry, read-only: opening keys by path under the predefined hives
// and reading values, with the Win32 buffer rules. Registry functions
// return their error code and leave the thread's last error alone.

#include <windows.h>

#include "object_table.h"
#include "system_host.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace host::system {

namespace {

bool IsPredefined(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE ||
           key == HKEY_USERS || key == HKEY_CURRENT_CONFIG;
}

// The hive and path a key handle stands for.
std::optional<RegistryKeyObject> ResolveKey(HKEY key) {
    if (IsPredefined(key)) return RegistryKeyObject{key, L""};
    if (const RegistryKeyObject* k = FindObject<RegistryKeyObject>(HandleValue(key))) return *k;
    return std::nullopt;
}

std::wstring JoinPath(const std::wstring& base, std::wstring sub) {
    while (!sub.empty() && sub.back() == L'\\') sub.pop_back();
    if (base.empty()) return sub;
    if (sub.empty()) return base;
    return base + L'\\' + sub;
}

LSTATUS OpenKey(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    const std::optional<RegistryKeyObject> parent = ResolveKey(hKey);
    if (!parent) return ERROR_INVALID_HANDLE;
    const std::wstring sub = lpSubKey ? lpSubKey : L"";
    if (!sub.empty() && sub.front() == L'\\') return ERROR_BAD_PATHNAME;
    RegistryKeyObject key{parent->hive, JoinPath(parent->path, sub)};
    if (const DWORD error = Services().OpenRegistryKey(key.hive, key.path); error != ERROR_SUCCESS) return error;
    *phkResult = reinterpret_cast<HKEY>(AddObject(std::move(key)));
    return ERROR_SUCCESS;
}

}  // namespace

}  // namespace host::system

using namespace host::system;

LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    return OpenKey(hKey, lpSubKey, phkResult);
}

LSTATUS WINAPI RegOpenKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
    // With no subkey the key itself comes back, not a new handle.
    if (phkResult && (!lpSubKey || !*lpSubKey) && ResolveKey(hKey)) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    return OpenKey(hKey, lpSubKey, phkResult);
}

LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
    const std::optional<RegistryKeyObject> key = ResolveKey(hKey);
    if (!key) return ERROR_INVALID_HANDLE;
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    const DWORD error =
        Services().QueryRegistryValue(key->hive, key->path, lpValueName ? lpValueName : L"", &type, &data);
    if (error != ERROR_SUCCESS) return error;
    if (lpType) *lpType = type;
    const DWORD size = static_cast<DWORD>(data.size());
    if (!lpcbData) return ERROR_SUCCESS;
    const DWORD room = *lpcbData;
    *lpcbData = size;
    if (!lpData) return ERROR_SUCCESS;  // the caller asked for the size only
    if (room < size) return ERROR_MORE_DATA;
    if (size) std::memcpy(lpData, data.data(), size);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey)) return ERROR_SUCCESS;
    if (!FindObject<RegistryKeyObject>(HandleValue(hKey))) return ERROR_INVALID_HANDLE;
    RemoveObject(HandleValue(hKey));
    return ERROR_SUCCESS;
}
