#pragma once
// Milestones of the program's start, for measuring it from outside: with
// PALISK_TRACE_STARTUP set in the environment, the first time each
// milestone is reached it is written to standard error as
//
//   palisk: startup first-refresh 1733781234567890123
//
// (nanoseconds of the real-time clock), so that a script that noted the
// time it started the program can tell how long each took. Without the
// variable nothing is written. The milestones, in order: "main" (the
// program's code begins), "window-system" (Qt is up), "first-refresh" (the
// first refresh reads the page lists), "window-shown" (the main window's
// first paint).
//
// Host-only: the system's own code never includes this header.

namespace host {

void TraceStartup(const char* milestone);

}  // namespace host
