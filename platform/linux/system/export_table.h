#pragma once
// The host functions that stand behind the exports GetProcAddress hands out.

#include <windows.h>

#include <string_view>

namespace host::system {

// The function behind `name` in `module` (a canonical module name), for an
// export the machine says the module has. Services the host implements
// answer their own function; the others an honest stub that fails the way
// the service reports failure (STATUS_NOT_IMPLEMENTED, or
// ERROR_CALL_NOT_IMPLEMENTED). Never null.
FARPROC ExportedFunction(std::wstring_view module, std::string_view name);

}  // namespace host::system
