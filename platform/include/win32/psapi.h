#pragma once
// Process status services.

#include "windows.h"

BOOL WINAPI EmptyWorkingSet(HANDLE hProcess);
