#pragma once
// Opening a process that the target list names. Process ids are reused: the
// list keeps each process's creation time beside its id, and a process that
// now has that id but another creation time is a different process, which
// is treated as one that cannot be opened.

#include <windows.h>

// The creation time of the process behind `process`, in FILETIME units;
// false when it cannot be read.
bool ProcessCreationTime(HANDLE process, ULONGLONG* creationTime);

// Opens process `pid` with `access` (handle inheritable) when it is still the
// instance created at `creationTime`; null otherwise. A creation time of 0
// means "not known" and accepts any instance. A process that reports no
// creation time of its own (the System process) is the one listed: the
// snapshot shows such processes as started at boot, and their ids are the
// kernel's, never handed to another process.
HANDLE OpenListedProcess(DWORD access, DWORD pid, ULONGLONG creationTime);
