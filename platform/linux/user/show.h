#pragma once
// Visibility, enabled state, minimised / maximised state, focus and
// activation, and what the widgets report back about them.

#include <windows.h>

#include "window.h"

class QWindowStateChangeEvent;

namespace host::user {

// The window and all its ancestors have WS_VISIBLE.
bool IsShown(const Window& window);

// The window's top-level is disabled: it takes no input (a modal window owns
// it). The widget is left alone so that the window does not look disabled,
// as on Windows.
bool IsInputBlocked(const QWidget* widget);

// Reports from the widgets (Qt events) -----------------------------------
void OnWidgetGeometryChanged(HWND hwnd);
void OnWindowStateChanged(HWND hwnd);
// The window system's close button: a Win32 window hears SC_CLOSE.
void OnCloseRequested(HWND hwnd);
void OnFocusIn(HWND hwnd);
void OnActivated(HWND hwnd);

// Forgets focus and activation that point at `hwnd` (being destroyed).
void ForgetFocus(HWND hwnd);

}  // namespace host::user
