#pragma once
// The built-in controls: each makes the Qt widget that stands for it and
// keeps that widget in step with the control's Win32 state.

#include <windows.h>

#include "window.h"

#include <QSize>

#include <string>

class QWidget;

namespace host::user {

// The widget for a new control of the window's class, a child of `parent`.
QWidget* CreateButtonWidget(Window& window, QWidget* parent);
QWidget* CreateStaticWidget(Window& window, QWidget* parent);
QWidget* CreateComboBoxWidget(Window& window, QWidget* parent);
QWidget* CreateProgressWidget(Window& window, QWidget* parent);

// Brings the control's widget in step with its style, text and state (after
// creation, and when SetWindowLongPtrW changes the style).
void SyncControl(Window& window);
void ApplyButtonStyle(Window& window);
void ApplyStaticStyle(Window& window);
void ApplyComboBoxStyle(Window& window);
void ApplyProgressStyle(Window& window);

// The size a control takes when asked for `requested` (a drop-down combo
// box keeps the height of its selection field; the rest is its list).
QSize ControlPlacementSize(Window& window, QSize requested);

// WM_SETFONT / WM_GETFONT, which every control answers the same way: the
// widget takes the font's Qt twin. True when `msg` was one of them.
bool HandleControlFont(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

// A combo box's selection field follows its font's height.
void RefitComboField(Window& window);

// The text answered to WM_GETTEXT by a combo box: its selection.
std::wstring ComboText(const Window& window);

// WM_PAINT reaching a control's own class procedure: Qt draws the control,
// unless the message comes with a DC or the control's replaced procedure
// has begun painting, when `drawWithGdi` draws it on that DC instead.
LRESULT ControlPaint(HWND hwnd, WPARAM wParam, void (*drawWithGdi)(Window& window, HDC hdc));

}  // namespace host::user
