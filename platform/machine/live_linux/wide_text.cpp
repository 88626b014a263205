// WidenUtf8: the kernel's byte strings as the wide text the program shows.

#include "host/linux_processes.h"

namespace host::linux_proc {

namespace {

// A byte that is no part of a UTF-8 character stays recoverable: it becomes
// the unpaired surrogate U+DC80 + (byte - 0x80) (such bytes are all 0x80
// or more), which no decoded character can be. The target list shows it
// as the byte, escaped ("\xFF"), so two names that differ only in such
// bytes still look different.
wchar_t ByteNotText(unsigned char byte) { return static_cast<wchar_t>(0xDC00 + byte); }

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one sequence at `text[i]`; advances `i` past it, or past one byte
// when the sequence is malformed (overlong, surrogate, out of range, cut).
wchar_t DecodeOne(std::string_view text, std::size_t& i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++i;
        return static_cast<wchar_t>(lead);
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return ByteNotText(lead);
    }
    if (i + static_cast<std::size_t>(length) > text.size()) {
        ++i;
        return ByteNotText(lead);
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if (!IsContinuation(next)) {
            ++i;
            return ByteNotText(lead);
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return ByteNotText(lead);
    }
    i += static_cast<std::size_t>(length);
    return static_cast<wchar_t>(code);
}

}  // namespace

std::wstring WidenUtf8(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) wide.push_back(DecodeOne(text, i));
    return wide;
}

}  // namespace host::linux_proc
