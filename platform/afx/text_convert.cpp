#include "text_convert.h"

namespace afx_internal {
namespace {

// Length of the valid UTF-8 sequence at text[0..length), and its code point;
// 0 when the bytes there are not one.
std::size_t DecodeSequence(const unsigned char* text, std::size_t length, char32_t* codePoint) {
    const unsigned char lead = text[0];
    std::size_t count;
    char32_t value;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (count > length) return 0;
    for (std::size_t i = 1; i < count; ++i) {
        if ((text[i] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (text[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are not valid UTF-8.
    if (value < minimum || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return 0;
    *codePoint = value;
    return count;
}

// Where wchar_t is 16 bits (Windows), characters past the first plane take
// two code units.
void AppendCodePoint(std::wstring& wide, char32_t codePoint) {
    if (sizeof(wchar_t) == 2 && codePoint > 0xFFFF) {
        codePoint -= 0x10000;
        wide.push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
        wide.push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        wide.push_back(static_cast<wchar_t>(codePoint));
    }
}

}  // namespace

std::wstring WidenText(const char* text, std::size_t length) {
    std::wstring wide;
    wide.reserve(length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (i < length) {
        if (bytes[i] < 0x80) {
            wide.push_back(static_cast<wchar_t>(bytes[i++]));
            continue;
        }
        char32_t codePoint = 0;
        const std::size_t used = DecodeSequence(bytes + i, length - i, &codePoint);
        if (used == 0) {
            wide.push_back(static_cast<wchar_t>(bytes[i++]));
        } else {
            AppendCodePoint(wide, codePoint);
            i += used;
        }
    }
    return wide;
}

}  // namespace afx_internal
