#include "afx_state.h"

namespace afx_internal {
namespace {

// Set when this thread's state has been destroyed; plain data, so it can
// still be read by destructors that run afterwards.
thread_local bool t_stateGone = false;

struct StateHolder {
    ThreadState state;
    ~StateHolder() { t_stateGone = true; }
};

thread_local StateHolder t_holder;

}  // namespace

ThreadState* CurrentThreadState() { return t_stateGone ? nullptr : &t_holder.state; }

void PurgeTemporaries() {
    ThreadState* state = CurrentThreadState();
    if (state == nullptr) return;
    // The checks below may set the last error; the caller's must survive.
    const DWORD lastError = ::GetLastError();
    state->windows.PurgeTemporaries([](HWND hWnd) { return ::IsWindow(hWnd) != FALSE; });
    state->dcs.PurgeTemporaries([](HDC hDC) { return ::GetObjectType(hDC) != 0; });
    state->gdiObjects.PurgeTemporaries([](HGDIOBJ hObject) { return ::GetObjectType(hObject) != 0; });
    state->menus.PurgeTemporaries([](HMENU hMenu) { return ::GetMenuItemCount(hMenu) >= 0; });
    ::SetLastError(lastError);
}

}  // namespace afx_internal

BOOL AFXAPI AfxUnlockTempMaps(BOOL bDeleteTemps) {
    if (bDeleteTemps) afx_internal::PurgeTemporaries();
    return TRUE;
}
