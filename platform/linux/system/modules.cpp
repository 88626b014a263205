// Modules and their entry points, by name. A module loads when the machine
// says so; its handle stays the same for the life of the process, and
// LoadLibraryW and FreeLibrary count references on it as Windows does.

#include <windows.h>

#include "host/modules.h"

#include "export_table.h"
#include "modules.h"
#include "system_host.h"

#include <algorithm>
#include <string>
#include <vector>

namespace host::system {

namespace {

struct LoadedModule {
    std::wstring name;  // canonical
    HMODULE handle;
    std::size_t references = 0;
};

// Where the host's modules appear to be mapped: far from the program's image.
constexpr ULONG_PTR kFirstModuleBase = 0x7FF900000000ULL;
constexpr ULONG_PTR kModuleSpacing = 0x10000000ULL;

std::vector<LoadedModule>& Modules() {
    static std::vector<LoadedModule> modules;
    return modules;
}

// Every process has these two mapped from its start; they never unload.
bool AlwaysMapped(std::wstring_view name) { return name == L"ntdll.dll" || name == L"kernel32.dll"; }

LoadedModule& Entry(const std::wstring& name) {
    std::vector<LoadedModule>& modules = Modules();
    for (LoadedModule& m : modules)
        if (m.name == name) return m;
    const ULONG_PTR base = kFirstModuleBase + modules.size() * kModuleSpacing;
    modules.push_back(LoadedModule{name, reinterpret_cast<HMODULE>(base)});
    return modules.back();
}

LoadedModule* ByHandle(HMODULE handle) {
    for (LoadedModule& m : Modules())
        if (m.handle == handle) return &m;
    return nullptr;
}

bool IsMapped(const LoadedModule& m) { return m.references > 0 || AlwaysMapped(m.name); }

}  // namespace

std::size_t ModuleReferences() {
    std::size_t n = 0;
    for (const LoadedModule& m : Modules()) n += m.references;
    return n;
}

}  // namespace host::system

using namespace host::system;

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    if (!lpLibFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::wstring name = host::CanonicalModuleName(lpLibFileName);
    if (name == L".dll" || !Services().ModuleLoads(name)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    LoadedModule& module = Entry(name);
    ++module.references;
    return module.handle;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    if (hLibModule == host::ExecutableModule()) return TRUE;  // the program's own image stays
    LoadedModule* module = ByHandle(hLibModule);
    if (!module || module->references == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --module->references;
    return TRUE;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    if (!lpModuleName) return host::ExecutableModule();
    const std::wstring name = host::CanonicalModuleName(lpModuleName);
    if (AlwaysMapped(name) && Services().ModuleLoads(name)) return Entry(name).handle;
    for (const LoadedModule& m : Modules())
        if (m.name == name && m.references > 0) return m.handle;
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    const LoadedModule* module = ByHandle(hModule);
    if (!module || !IsMapped(*module)) {
        // The program's own image exports nothing.
        SetLastError(hModule == host::ExecutableModule() || !hModule ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // A name whose pointer value fits 16 bits is an ordinal; the host's
    // modules have no ordinal table.
    if (IS_INTRESOURCE(lpProcName) || !Services().HasExport(module->name, lpProcName)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return ExportedFunction(module->name, lpProcName);
}
