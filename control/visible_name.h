#pragma once
// Process names are chosen by whoever starts the process, so a name may
// hold characters that hide or reorder text: a right-to-left override that
// turns "[5934]" into "[4395]", a tab or line break that pushes the id out
// of sight, characters that draw nothing at all. Shown escaped, a name can
// disguise neither itself nor the id beside it.

#include <afxwin.h>

// `name` (`length` characters) with every such character written as an
// escape, and nothing else changed:
//   \\  a backslash (so that an escape always means what it says);
//   \t \n \r  tab, line feed, carriage return;
//   \xNN  another C0 control or DEL (NN below 80), or a byte that is not
//         text (NN 80 to FF): hosts whose names are bytes pass such a byte
//         on as the unpaired surrogate U+DC80 + (byte − 0x80);
//   \uXXXX or \UXXXXXXXX  a C1 control, a format or bidirectional control,
//         a character that draws nothing, a line or paragraph separator, a
//         noncharacter, another unpaired surrogate, or a value beyond
//         Unicode.
CString VisibleName(LPCWSTR name, int length);
