#pragma once
// Reading DLGTEMPLATE and DLGTEMPLATEEX from memory, by Win32's layout rules
// with the platform's WCHAR: every name is a run of WCHAR elements (one 0
// for none, 0xFFFF and an ordinal, or a zero-terminated string), the header
// fields are the packed WORD-aligned ones Win32 defines, and each item
// starts on a DWORD boundary from the template's start.

#include <windows.h>

#include <string>
#include <vector>

namespace host::user {

// A template name: a string, or an ordinal (a class atom or resource id).
struct TemplateName {
    std::wstring text;
    WORD ordinal = 0;
    bool isOrdinal = false;
    bool IsEmpty() const { return !isOrdinal && text.empty(); }
};

struct DialogItemTemplate {
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    TemplateName className;
    TemplateName title;
    const void* creationData = nullptr;  // starts with its WORD size; null when none
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    TemplateName menu;
    TemplateName className;
    std::wstring title;
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = FW_DONTCARE;
    BYTE italic = 0;
    BYTE charSet = DEFAULT_CHARSET;
    std::wstring face;
    std::vector<DialogItemTemplate> items;
};

// Reads a template. Like Win32 the reader trusts the template's own counts;
// false only for a null template or a bad DLGTEMPLATEEX version.
bool ParseDialogTemplate(const void* data, DialogTemplate* out);

// The class an ordinal in a template names ("Button" for 0x0080...), or
// nothing for an unknown ordinal.
const wchar_t* ClassForOrdinal(WORD ordinal);

}  // namespace host::user
