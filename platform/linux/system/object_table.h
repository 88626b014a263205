#pragma once
// The objects behind the handles the system services hand out: opened
// processes and tokens, registry keys, service-manager and service handles,
// counter queries and counters. One table, so that a handle of one kind is
// never taken for another; values are never reused, so a stale handle fails
// as an invalid one instead of reaching a newer object.

#include "host/system_services.h"

#include <pdh.h>
#include <windows.h>
#include <pdhmsg.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace host::system {

struct ProcessObject {
    ProcessIdentity process;
    DWORD access = 0;
};

struct TokenObject {
    DWORD pid = 0;
    DWORD access = 0;
};

struct RegistryKeyObject {
    HKEY hive = nullptr;
    std::wstring path;  // under the hive, no leading or trailing backslash
};

struct ServiceManagerObject {
    DWORD access = 0;
};

struct ServiceObject {
    std::wstring name;
    DWORD access = 0;
};

struct CounterObject {
    std::uintptr_t query = 0;
    std::wstring path;
    bool collected = false;
    PDH_STATUS status = PDH_CSTATUS_INVALID_DATA;
    LONGLONG value = 0;
};

struct QueryObject {
    std::vector<std::uintptr_t> counters;
};

using Object = std::variant<ProcessObject, TokenObject, RegistryKeyObject, ServiceManagerObject, ServiceObject,
                            CounterObject, QueryObject>;

// All open objects by handle value. The services run on the window's
// thread only, as the program calls them; the table takes no lock.
std::unordered_map<std::uintptr_t, Object>& Objects();

// Adds an object and answers its handle value.
std::uintptr_t AddObject(Object object);
bool RemoveObject(std::uintptr_t handle);

// The object behind a handle value if it is of kind T, else null. The
// pointer stays valid until that object is removed.
template <class T>
T* FindObject(std::uintptr_t handle) {
    auto it = Objects().find(handle);
    return it == Objects().end() ? nullptr : std::get_if<T>(&it->second);
}

// How many objects of kind T are open.
template <class T>
std::size_t CountObjects() {
    std::size_t n = 0;
    for (const auto& entry : Objects()) n += std::holds_alternative<T>(entry.second) ? 1 : 0;
    return n;
}

template <class H>
std::uintptr_t HandleValue(H handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace host::system
