// The native services the program reaches by name in "ntdll.dll".

#include <winternl.h>
#include <ntstatus.h>

#include "host/ntdll.h"

#include <nt/system_information.h>

#include "process_handles.h"
#include "system_host.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

namespace host::system {

namespace {

// A caller's buffer the kernel could not write to.
bool BadBuffer(const void* buffer, ULONG length) { return buffer == nullptr && length != 0; }

std::string MemoryListCommandName(ULONG command) {
    static const char* const kNames[nt::MemoryCommandMax] = {
        "MemoryCaptureAccessedBits", "MemoryCaptureAndResetAccessedBits", "MemoryEmptyWorkingSets",
        "MemoryFlushModifiedList",   "MemoryPurgeStandbyList",            "MemoryPurgeLowPriorityStandbyList",
    };
    return command < nt::MemoryCommandMax ? kNames[command] : "command " + std::to_string(command);
}

// How a set-information call reads in the action log.
std::string DescribeSet(ULONG infoClass, const void* data, ULONG length) {
    if (infoClass == nt::SystemMemoryListInformation && data && length == sizeof(ULONG)) {
        ULONG command = 0;
        std::memcpy(&command, data, sizeof command);
        return "SystemMemoryListInformation, " + MemoryListCommandName(command);
    }
    return "class " + std::to_string(infoClass) + ", " + std::to_string(length) + " bytes";
}

}  // namespace

}  // namespace host::system

using namespace host::system;

NTSTATUS NTAPI NtQuerySystemInformation(SYSTEM_INFORMATION_CLASS SystemInformationClass, PVOID SystemInformation,
                                        ULONG SystemInformationLength, PULONG ReturnLength) {
    if (BadBuffer(SystemInformation, SystemInformationLength)) return STATUS_ACCESS_VIOLATION;
    const host::NativeResult result =
        Services().QuerySystemInformation(SystemInformationClass, SystemInformation, SystemInformationLength);
    if (ReturnLength) *ReturnLength = result.returnedLength;
    return result.status;
}

NTSTATUS NTAPI NtSetSystemInformation(SYSTEM_INFORMATION_CLASS SystemInformationClass, PVOID SystemInformation,
                                      ULONG SystemInformationLength) {
    NTSTATUS status = STATUS_ACCESS_VIOLATION;
    if (!BadBuffer(SystemInformation, SystemInformationLength))
        status = Services().SetSystemInformation(SystemInformationClass, SystemInformation, SystemInformationLength);
    LogAction("NtSetSystemInformation(" +
              DescribeSet(SystemInformationClass, SystemInformation, SystemInformationLength) + ") -> " +
              Hex32(static_cast<DWORD>(status)));
    return status;
}

NTSTATUS NTAPI NtQueryInformationProcess(HANDLE ProcessHandle, PROCESSINFOCLASS ProcessInformationClass,
                                         PVOID ProcessInformation, ULONG ProcessInformationLength,
                                         PULONG ReturnLength) {
    DWORD error = ERROR_SUCCESS;
    const std::optional<ProcessObject> process = ResolveProcess(ProcessHandle, &error);
    if (!process) return STATUS_INVALID_HANDLE;
    if (!CanQuery(process->access)) return STATUS_ACCESS_DENIED;
    if (BadBuffer(ProcessInformation, ProcessInformationLength)) return STATUS_ACCESS_VIOLATION;
    const host::NativeResult result = Services().QueryProcessInformation(
        process->process, ProcessInformationClass, ProcessInformation, ProcessInformationLength);
    if (ReturnLength) *ReturnLength = result.returnedLength;
    return result.status;
}

VOID NTAPI RtlInitUnicodeString(PUNICODE_STRING DestinationString, PCWSTR SourceString) {
    if (!DestinationString) return;
    // A UNICODE_STRING counts bytes in 16 bits: longer text is cut to fit.
    constexpr std::size_t kMaxChars = 0xFFFF / sizeof(WCHAR) - 1;
    const std::size_t chars = SourceString ? std::min(std::wcslen(SourceString), kMaxChars) : 0;
    DestinationString->Length = static_cast<USHORT>(chars * sizeof(WCHAR));
    DestinationString->MaximumLength = SourceString ? static_cast<USHORT>((chars + 1) * sizeof(WCHAR)) : 0;
    DestinationString->Buffer = const_cast<PWSTR>(SourceString);
}
