#pragma once
// The minimised window's picture: the application icon in the middle of the
// client area.

#include <afxwin.h>

// Where the icon's top-left corner goes: the client area's spare width and
// height, plus one, halved with truncation toward zero, so a client smaller
// than the icon puts it at a negative place rather than one further out.
CPoint MinimisedIconPlace(const CRect& rcClient, int cxIcon, int cyIcon);

// Draws `hIcon` at that place for the system icon size (SM_CXICON, SM_CYICON).
void DrawMinimisedIcon(CDC& dc, const CRect& rcClient, HICON hIcon);
