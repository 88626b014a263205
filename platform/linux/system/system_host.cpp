#include "system_host.h"

#include "host/machine.h"

#include "unavailable_services.h"

#include <cstdio>

namespace host::system {

SystemServices& Services() {
    if (SystemServices* services = ActiveMachine().System()) return *services;
    static UnavailableServices unavailable;
    return unavailable;
}

void LogAction(const std::string& line) { ActiveMachine().LogAction(line); }

std::string Hex32(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string Hex64(ULONGLONG value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace host::system
