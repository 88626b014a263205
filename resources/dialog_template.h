#pragma once
// Dialog templates as data, and the builder that turns them into the
// extended template the window system creates dialogs from
// (CreateDialogIndirectParamW / DialogBoxIndirectParamW).

#include <windows.h>

#include <vector>

namespace resources {

struct DialogControl {
    LPCWSTR className;  // "Button", "Static", "ComboBox", "msctls_progress32"
    LPCWSTR caption;    // null for none
    WORD id;
    short x, y, cx, cy;  // dialog units
    DWORD style;         // WS_CHILD and the rest, exactly as created
    DWORD exStyle = 0;
    WORD iconOrdinal = 0;  // an SS_ICON static's icon resource, in place of a caption
};

struct DialogDefinition {
    WORD id;
    LPCWSTR caption;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
    WORD fontPoints;
    LPCWSTR fontFace;
    std::vector<DialogControl> controls;  // template order, which is the tab order
};

// The DLGTEMPLATEEX bytes of `dialog`: strings are arrays of WCHAR, each
// string-or-ordinal is one 0 element (none), 0xFFFF and an ordinal, or a
// zero-terminated string; the parts of the header and of each item follow
// each other without padding, and every item starts on a DWORD boundary.
// The returned vector's data is DWORD-aligned.
std::vector<DWORD> BuildDialogTemplate(const DialogDefinition& dialog);

}  // namespace resources
