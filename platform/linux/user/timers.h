#pragma once
// Window timers. On a machine with a virtual clock they run on that clock
// (and fire while it is advanced); otherwise on QTimer, one shared by all
// the timers of an interval, none faster than a 16 ms clock tick. A tick is
// dispatched at once: WM_TIMER through the window procedure, or the
// TIMERPROC.

#include <windows.h>

#include "host/user.h"

namespace host::user {

// Stops every timer of the window (it is being destroyed).
void KillWindowTimers(HWND hwnd);
// Stops every timer (the host going down).
void KillAllTimers();

}  // namespace host::user
