#pragma once
// Opening a process that the target list names. Process ids are reused: the
// list keeps each process's creation time beside its id, and a process that
// now has that id but another creation time is a different process, which
// is treated as one that cannot be opened.

#include <windows.h>

// The creation time of the process behind `process`, in FILETIME units, or
// 0 when it cannot be read.
ULONGLONG ProcessCreationTime(HANDLE process);

// Opens process `pid` with `access` (handle inheritable) when it is still the
// instance created at `creationTime`; null otherwise. A creation time of 0
// means "not known" and accepts any instance.
HANDLE OpenListedProcess(DWORD access, DWORD pid, ULONGLONG creationTime);
