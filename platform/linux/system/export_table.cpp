#include "export_table.h"

#include <pdh.h>
#include <psapi.h>
#include <winternl.h>
#include <ntstatus.h>

#include "host/ntdll.h"

#include <array>

namespace host::system {

namespace {

// Stubs for the services the host does not implement. The program resolves
// these entry points but never calls them; they are reached through pointers
// of the services' own types, and each stub's result reads as failure in
// that service's convention.
NTSTATUS NTAPI NativeServiceNotImplemented() { return STATUS_NOT_IMPLEMENTED; }

// For services that report failure with a zero result (FALSE, NULL, 0) and
// a last error.
ULONG_PTR WINAPI ServiceNotImplemented() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

// For services that return a Win32 error code (the IP helper's).
DWORD WINAPI ErrorCodeServiceNotImplemented() { return ERROR_CALL_NOT_IMPLEMENTED; }

// Entry points travel as FARPROC, whatever their type; the hop through
// void (*)() is the cast the compiler accepts between function types.
template <class F>
FARPROC Entry(F* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

struct Export {
    std::wstring_view module;
    std::string_view name;
    FARPROC function;
};

const std::array<Export, 35>& Implemented() {
    static const std::array<Export, 35> table = {{
        {L"ntdll.dll", "NtQuerySystemInformation", Entry(&NtQuerySystemInformation)},
        {L"ntdll.dll", "NtSetSystemInformation", Entry(&NtSetSystemInformation)},
        {L"ntdll.dll", "NtQueryInformationProcess", Entry(&NtQueryInformationProcess)},
        {L"ntdll.dll", "RtlInitUnicodeString", Entry(&RtlInitUnicodeString)},
        {L"ntdll.dll", "RtlCreateQueryDebugBuffer", Entry(&ServiceNotImplemented)},  // answers a pointer
        {L"kernel32.dll", "GetLogicalProcessorInformation", Entry(&GetLogicalProcessorInformation)},
        {L"kernel32.dll", "GetSystemFileCacheSize", Entry(&GetSystemFileCacheSize)},
        {L"kernel32.dll", "SetSystemFileCacheSize", Entry(&SetSystemFileCacheSize)},
        {L"kernel32.dll", "IsWow64Process", Entry(&IsWow64Process)},
        {L"kernel32.dll", "GetThreadId", Entry(&GetThreadId)},
        {L"kernel32.dll", "GlobalMemoryStatusEx", Entry(&GlobalMemoryStatusEx)},
        {L"kernel32.dll", "GetSystemInfo", Entry(&GetSystemInfo)},
        {L"kernel32.dll", "GetVersionExW", Entry(&GetVersionExW)},
        {L"kernel32.dll", "OpenProcess", Entry(&OpenProcess)},
        {L"kernel32.dll", "CloseHandle", Entry(&CloseHandle)},
        {L"kernel32.dll", "GetCurrentProcess", Entry(&GetCurrentProcess)},
        {L"kernel32.dll", "GetCurrentProcessId", Entry(&GetCurrentProcessId)},
        {L"kernel32.dll", "GetCurrentThreadId", Entry(&GetCurrentThreadId)},
        {L"kernel32.dll", "LoadLibraryW", Entry(&LoadLibraryW)},
        {L"kernel32.dll", "FreeLibrary", Entry(&FreeLibrary)},
        {L"kernel32.dll", "GetProcAddress", Entry(&GetProcAddress)},
        {L"kernel32.dll", "GetModuleHandleW", Entry(&GetModuleHandleW)},
        {L"kernel32.dll", "GetLastError", Entry(&GetLastError)},
        {L"kernel32.dll", "SetLastError", Entry(&SetLastError)},
        {L"kernel32.dll", "GetTickCount", Entry(&GetTickCount)},
        {L"kernel32.dll", "GetTickCount64", Entry(&GetTickCount64)},
        {L"kernel32.dll", "GetSystemTime", Entry(&GetSystemTime)},
        {L"kernel32.dll", "GetSystemTimeAsFileTime", Entry(&GetSystemTimeAsFileTime)},
        {L"kernel32.dll", "SystemTimeToFileTime", Entry(&SystemTimeToFileTime)},
        {L"kernel32.dll", "FileTimeToSystemTime", Entry(&FileTimeToSystemTime)},
        {L"kernel32.dll", "GetProcessHeap", Entry(&GetProcessHeap)},
        {L"kernel32.dll", "HeapAlloc", Entry(&HeapAlloc)},
        {L"kernel32.dll", "HeapReAlloc", Entry(&HeapReAlloc)},
        {L"kernel32.dll", "HeapFree", Entry(&HeapFree)},
        {L"kernel32.dll", "K32EmptyWorkingSet", Entry(&EmptyWorkingSet)},
    }};
    return table;
}

}  // namespace

FARPROC ExportedFunction(std::wstring_view module, std::string_view name) {
    if (module == L"psapi.dll" && name == "EmptyWorkingSet") return Entry(&EmptyWorkingSet);
    for (const Export& e : Implemented())
        if (e.module == module && e.name == name) return e.function;
    if (module == L"ntdll.dll") return Entry(&NativeServiceNotImplemented);
    if (module == L"iphlpapi.dll") return Entry(&ErrorCodeServiceNotImplemented);
    return Entry(&ServiceNotImplemented);
}

}  // namespace host::system
