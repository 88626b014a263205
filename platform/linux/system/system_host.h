#pragma once
// What the host's system services share: the machine they answer from, the
// action log, and the table of the objects they hand out handles to.

#include "host/system_services.h"

#include <windows.h>

#include <string>

namespace host::system {

// The active machine's kernel services, or, for a machine that has none,
// services that refuse everything cleanly (nothing loads, every query is
// STATUS_NOT_IMPLEMENTED) while the heap still works.
SystemServices& Services();

// Records a command the program gave (Machine::LogAction).
void LogAction(const std::string& line);

// "0x0000002A": a status or flags word in the log.
std::string Hex32(DWORD value);
// "0x2A": a size in the log.
std::string Hex64(ULONGLONG value);

}  // namespace host::system
