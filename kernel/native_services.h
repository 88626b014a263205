#pragma once
// The signatures of the entry points the system calls through the kernel
// interface (and the cache-size functions the dialog resolves), as the
// platform declares them. Entry points that are resolved but never called
// stay the untyped FARPROC that GetProcAddress returns: no signature is
// claimed that nothing would check.

#include <windows.h>
#include <winternl.h>

namespace KernelIf {

typedef NTSTATUS(NTAPI* PFN_NT_QUERY_SYSTEM_INFORMATION)(SYSTEM_INFORMATION_CLASS SystemInformationClass,
                                                         PVOID SystemInformation, ULONG SystemInformationLength,
                                                         PULONG ReturnLength);
typedef NTSTATUS(NTAPI* PFN_NT_SET_SYSTEM_INFORMATION)(SYSTEM_INFORMATION_CLASS SystemInformationClass,
                                                       PVOID SystemInformation, ULONG SystemInformationLength);
typedef NTSTATUS(NTAPI* PFN_NT_QUERY_INFORMATION_PROCESS)(HANDLE ProcessHandle,
                                                          PROCESSINFOCLASS ProcessInformationClass,
                                                          PVOID ProcessInformation, ULONG ProcessInformationLength,
                                                          PULONG ReturnLength);
typedef VOID(NTAPI* PFN_RTL_INIT_UNICODE_STRING)(PUNICODE_STRING DestinationString, PCWSTR SourceString);
typedef BOOL(WINAPI* PFN_GET_LOGICAL_PROCESSOR_INFORMATION)(PSYSTEM_LOGICAL_PROCESSOR_INFORMATION Buffer,
                                                            PDWORD ReturnedLength);
typedef BOOL(WINAPI* PFN_IS_WOW64_PROCESS)(HANDLE hProcess, PBOOL Wow64Process);
typedef DWORD(WINAPI* PFN_GET_THREAD_ID)(HANDLE Thread);
typedef BOOL(WINAPI* PFN_GET_SYSTEM_FILE_CACHE_SIZE)(PSIZE_T lpMinimumFileCacheSize,
                                                     PSIZE_T lpMaximumFileCacheSize, PDWORD lpFlags);
typedef BOOL(WINAPI* PFN_SET_SYSTEM_FILE_CACHE_SIZE)(SIZE_T MinimumFileCacheSize, SIZE_T MaximumFileCacheSize,
                                                     DWORD Flags);

// An address from GetProcAddress as the entry point it is. The hop through
// void (*)() is the conversion compilers accept between function types.
template <class PFN>
PFN AsEntryPoint(FARPROC address) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(address));
}

}  // namespace KernelIf
