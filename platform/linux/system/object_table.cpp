#include "object_table.h"

namespace host::system {

namespace {

// Handle values step by 4, as Windows's do, from well above the pseudo
// handles and below the predefined registry keys.
constexpr std::uintptr_t kFirstHandle = 0x1000;
constexpr std::uintptr_t kHandleStep = 4;
std::uintptr_t g_nextHandle = kFirstHandle;

}  // namespace

std::unordered_map<std::uintptr_t, Object>& Objects() {
    static std::unordered_map<std::uintptr_t, Object> objects;
    return objects;
}

std::uintptr_t AddObject(Object object) {
    const std::uintptr_t handle = g_nextHandle;
    g_nextHandle += kHandleStep;
    Objects().emplace(handle, std::move(object));
    return handle;
}

bool RemoveObject(std::uintptr_t handle) { return Objects().erase(handle) != 0; }

}  // namespace host::system
