#pragma once
// Where a window is. Qt's widget geometry is the truth; these functions
// give it in Win32 terms:
//  - a child window's widget covers its whole window rectangle (non-client
//    edges included), placed in its parent's client area;
//  - a top-level window's widget is its client area; its frame is whatever
//    the window system adds around it.

#include <windows.h>

#include "window.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace host::user {

// Widths of the non-client edges around the client area.
QMargins NonClientMargins(const Window& window);
// The client area's size.
QSize ClientSize(const Window& window);
// The client area's origin in screen coordinates.
QPoint ClientOriginOnScreen(const Window& window);
// The window rectangle in screen coordinates.
QRect WindowRectOnScreen(const Window& window);
// The window rectangle in its parent's client coordinates (screen
// coordinates for a top-level window).
QRect WindowRectInParent(const Window& window);

// Places the window: `rect` in parent client coordinates (screen for a
// top-level window), outer size. Sends WM_MOVE / WM_SIZE when they change
// and invalidates what the class asks for.
void PlaceWindow(HWND hwnd, const QRect& rect);

// SIZE_MINIMIZED, SIZE_MAXIMIZED or SIZE_RESTORED, as the window stands.
int SizeTypeOf(const Window& window);

// Sends WM_SIZE and WM_MOVE for the window's current place, each only when
// it differs from what was last sent. `force` sends both regardless.
void ReportSizeAndMove(HWND hwnd, bool force = false);

// Keeps the backing buffer the size of the client area; the part that stays
// keeps its pixels, the rest is invalidated (all of it for CS_HREDRAW /
// CS_VREDRAW classes).
void FitBufferToClient(Window& window);

// The screen's size in pixels.
QSize ScreenSize();

}  // namespace host::user
