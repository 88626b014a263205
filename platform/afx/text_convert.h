#pragma once
// Narrow text into wide text, for the places where the framework meets
// char strings (CString construction, %hs and %S in formats).

#include <cstddef>
#include <string>

namespace afx_internal {

// Decodes UTF-8. A byte that does not begin a valid sequence stands for the
// Latin-1 character of the same value, so no input is ever lost or rejected.
std::wstring WidenText(const char* text, std::size_t length);

}  // namespace afx_internal
