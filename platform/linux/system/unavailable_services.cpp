#include "unavailable_services.h"

namespace host::system {

void UnavailableServices::SystemInfo(SYSTEM_INFO* info) {
    // GetSystemInfo cannot fail: it answers the figures every x86-64 Windows
    // machine shares, with one processor.
    *info = SYSTEM_INFO{};
    info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    info->dwPageSize = 4096;
    info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(ULONG_PTR{0x10000});
    info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(ULONG_PTR{0x7FFFFFFEFFFF});
    info->dwActiveProcessorMask = 1;
    info->dwNumberOfProcessors = 1;
    info->dwAllocationGranularity = 65536;
}

}  // namespace host::system
