#pragma once
// Formatting with the rules of the Microsoft C runtime's wide printf family,
// which CString::Format promises whatever the host's C library does:
//
//  - %s and %c take wide arguments; %hs, %S, %hc and %C narrow ones (read as
//    UTF-8); %ls, %ws, %lc and %wc wide ones; a null string prints "(null)".
//  - Size prefixes: I64, ll and j are 64-bit; I32, l and none are 32-bit
//    (LONG and DWORD are 32 bits); I, z and t are pointer-sized; h is short
//    and hh char.
//  - %p prints the pointer as sixteen upper-case hex digits ("0X" with #).
//  - The '0' flag pads strings and characters too, and integers even when a
//    precision is given; a sign flag applies to d, i and the floating forms.
//  - Infinity and NaN print as inf, nan and nan(ind) (upper case for the
//    upper-case conversions); exponents have at least two digits.
//  - Floating-point text is exact and ignores the host's locale: the decimal
//    point is always '.'.
//  - %n writes nothing (the runtime refuses it); a conversion it does not
//    know is dropped and the text goes on from its letter.

#include <cstdarg>
#include <string>

namespace afx_internal {

void AppendMsFormat(std::wstring& out, const wchar_t* format, va_list args);

}  // namespace afx_internal
