#pragma once
// The dialog manager: dialogs from templates, their base units, the
// default dialog procedure and the dialog keyboard (Escape, Enter, Tab).

#include <windows.h>

#include "window.h"

namespace host::user {

// Creates a dialog from a template. A modal one disables its owner (until
// EndDialog), and is not shown here: the modal loop shows it.
HWND CreateDialogFromTemplate(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC proc,
                              LPARAM param, bool modal);

// The dialog keyboard: Escape (IDCANCEL), Enter (the focused or default
// push button). True when the key was the dialog's.
bool HandleDialogKey(HWND dialog, UINT vk);

// Dialog base units of a font, measured as Win32 does: the average width of
// "A".."Z", "a".."z" and the font's height. False when it cannot be measured.
bool MeasureBaseUnits(HFONT font, int* baseX, int* baseY);

// What a dialog ended with; 0 when it has not ended.
INT_PTR DialogResult(const Window& dialog);

}  // namespace host::user
