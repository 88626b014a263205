#pragma once
// Native services that every ntdll exports but the SDK's <winternl.h> does
// not declare. The program reaches them by name (GetProcAddress); the host
// defines them so that it can hand their addresses out, and tests call them
// directly.
//
// Host-only: the system's own code never includes this header.

#include <windows.h>
#include <winternl.h>

NTSTATUS NTAPI NtSetSystemInformation(SYSTEM_INFORMATION_CLASS SystemInformationClass, PVOID SystemInformation,
                                      ULONG SystemInformationLength);
