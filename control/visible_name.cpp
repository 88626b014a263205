#include "control/visible_name.h"

namespace {

bool IsHighSurrogate(unsigned c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(unsigned c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Bidirectional controls: embeddings, overrides, isolates and marks.
bool IsBidiControl(unsigned c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Characters that draw nothing yet may sit anywhere in a name: format
// characters, fillers, joiners, variation selectors, tags (Unicode's
// default-ignorable code points), and the invisible operators.
bool IsInvisible(unsigned c) {
    return c == 0x00AD || c == 0x034F || c == 0x115F || c == 0x1160 || (c >= 0x17B4 && c <= 0x17B5) ||
           (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200D) || (c >= 0x2060 && c <= 0x2064) ||
           (c >= 0x206A && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF ||
           c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFFB) || (c >= 0x1BCA0 && c <= 0x1BCA3) ||
           (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF);
}

bool IsNoncharacter(unsigned c) { return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE; }

bool NeedsEscape(unsigned c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || IsBidiControl(c) ||
           IsInvisible(c) || IsNoncharacter(c) || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF;
}

void AppendEscape(CString& out, unsigned c) {
    CString escape;
    if (c == L'\t') escape = L"\\t";
    else if (c == L'\n') escape = L"\\n";
    else if (c == L'\r') escape = L"\\r";
    else if (c < 0x80) escape.Format(L"\\x%02X", c);
    else if (c >= 0xDC80 && c <= 0xDCFF) escape.Format(L"\\x%02X", c - 0xDC00);  // a byte that is not text
    else if (c <= 0xFFFF) escape.Format(L"\\u%04X", c);
    else escape.Format(L"\\U%08X", c);
    out += escape;
}

}  // namespace

CString VisibleName(LPCWSTR name, int length) {
    CString out;
    for (int i = 0; i < length; ++i) {
        unsigned c = static_cast<unsigned>(name[i]);
        // Where characters are UTF-16 units, a pair stands for one character.
        if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(static_cast<unsigned>(name[i + 1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<unsigned>(name[i + 1]) - 0xDC00);
            if (!NeedsEscape(c)) {
                out += name[i];
                out += name[i + 1];
                ++i;
                continue;
            }
            ++i;
        }
        if (c == L'\\') out += L"\\\\";
        else if (NeedsEscape(c)) AppendEscape(out, c);
        else out += name[i];
    }
    return out;
}
