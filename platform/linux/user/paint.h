#pragma once
// Win32 paint semantics over a backing buffer.
//
// A window accumulates an update region (and whether its background must be
// erased); WM_PAINT is sent when Qt paints the widget and the region is not
// empty, or at once by UpdateWindow / RedrawWindow(RDW_UPDATENOW). The
// procedure draws into the window's backing buffer through BeginPaint's DC;
// the widget then shows the buffer. Between paints Qt shows the same buffer
// again, so uncovering a window needs no WM_PAINT.
//
// Statics paint themselves through GDI, as Win32's do. The other built-in
// controls are drawn by Qt, unless their procedure was replaced by one that
// paints them itself (it calls BeginPaint on WM_PAINT): those show their
// buffer like any registered class.

#include <windows.h>

#include "window.h"

class QPaintEvent;

namespace host::user {

// Adds `region` (client coordinates) to the window's update region, if the
// window is visible and drawing is not suspended.
void InvalidateRegion(Window& window, const QRegion& region, bool erase);
// Invalidates the whole client area of the window and its visible
// descendants (the window was just shown).
void InvalidateTree(HWND hwnd);

// The window shows its backing buffer (registered classes, dialogs, statics
// and controls that paint themselves).
bool ShowsBuffer(const Window& window);

// Called by a widget's paint event. Sends WM_PAINT when one is due and
// returns true when the widget showed its buffer; false lets Qt draw.
bool PaintWidget(QWidget* widget, HWND hwnd);

// The class procedure of a built-in control asks for Qt to draw it; true
// when nobody began painting in this WM_PAINT, so Qt's drawing stands.
bool TakeNativePaint(Window& window);

// Releases every DC still given out for the window (it is being destroyed).
void ReleaseWindowDCs(HWND hwnd);

}  // namespace host::user
