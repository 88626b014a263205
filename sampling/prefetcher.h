#pragma once
// The prefetcher's configuration in the registry and the state of its
// service, for the prefetcher line of the report.

#include <windows.h>

// The "EnableSuperFetch" setting: -1 when the value is not there, 0 when the
// prefetch parameters key cannot be opened, otherwise the stored value.
LONG ReadSuperFetchSetting();

// Whether the "SysMain" service runs (running, continue pending, pause
// pending or paused). False when the service manager or the service cannot
// be opened or queried.
bool IsSysMainRunning();
